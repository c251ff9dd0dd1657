"""Exceptions of the zorn package: every failure status of the C layer is raised as the
subclass of ZornError of its service, with the status's value, name and meaning."""


class ZornError(Exception):
    """A failure reported by the library: `status` (the C value), `name` (for example
    "PAVO_STATUS_INVALID_BRNG") and `text` (its meaning)."""

    def __init__(self, message, status=None, name=None, text=None):
        super().__init__(message)
        self.status = status
        self.name = name
        self.text = text

    def __reduce__(self):
        return type(self), (self.args[0], self.status, self.name, self.text)


class VectorMathError(ZornError, FloatingPointError):
    """An element error of a vector function under numpy's "raise" error state, or a
    bad argument; also a FloatingPointError, as numpy raises."""


class RandomError(ZornError):
    """A failure of a random stream, generator or distribution."""


class StatsError(ZornError):
    """A failure of a summary-statistics computation."""


class InterpolateError(ZornError):
    """A failure of a spline construction or evaluation."""
