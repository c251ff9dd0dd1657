"""Vector math over numpy arrays.

Every real and complex function of the library is a function here, named in snake case
(``exp``, ``ln``, ``cdf_norm_inv``, ``sin_cos``), choosing its kernel by the argument's
dtype (float32, float64, complex64, complex128; integers are taken as float64)::

    y = zorn.vm.exp(x, out=None, accuracy="ha")   # "la", "ha" or "ep"

Arrays of any strides are read in place when their elements are equally spaced and
copied once otherwise; ``out`` (two arrays for ``sin_cos``, ``modf``...) is written in
place. Element errors follow numpy's error state (``np.errstate``, ``np.seterr``): a
domain error is "invalid", a singularity "divide", then "over" and "under"; the message
names the first element index. Under "raise" the exception is VectorMathError (a
FloatingPointError).
"""
import warnings

import numpy as np

from . import _vm
from .errors import VectorMathError

# The Python signature of each argument shape; the extension's functions take every
# argument positionally.
_SIGNATURES = {
    "ONE": "x, out=None, *, accuracy='ha'",
    "TO_REAL": "x, out=None, *, accuracy='ha'",
    "CIS": "x, out=None, *, accuracy='ha'",
    "ONE_TWO": "x, out=None, *, accuracy='ha'",
    "TWO": "a, b, out=None, *, accuracy='ha'",
    "POWX": "a, b, out=None, *, accuracy='ha'",
    "ORDER": "n, x, out=None, *, accuracy='ha'",
    "LINEAR_FRAC": "a, b, scalea, shifta, scaleb, shiftb, out=None, *, accuracy='ha'",
}
_RESULTS = {"ONE_TWO": "a tuple of two arrays (out: a tuple of two arrays too)",
            "TO_REAL": "the real type's array", "CIS": "the complex type's array"}


def _define(name, shape):
    signature = _SIGNATURES[shape]
    arguments = ", ".join(p.split("=")[0].strip() for p in signature.split(",") if p.strip() != "*")
    namespace = {"_kernel": getattr(_vm, name)}
    exec(f"def {name}({signature}):\n    return _kernel({arguments})\n", namespace)
    function = namespace[name]
    function.__module__ = __name__
    function.__doc__ = (f"{name}({signature}): element-wise, by the argument's dtype; returns "
                        f"{_RESULTS.get(shape, 'an array of the argument type')}.")
    return function


for _name, _shape in _vm.function_shapes.items():
    globals()[_name] = _define(_name, _shape)

__all__ = list(_vm.function_shapes) + ["log", "power", "arctan2", "absolute", "conjugate"]

# numpy's names where the library's differ.
log = ln  # noqa: F821  (defined by the loop above)
power = pow  # noqa: F821
arctan2 = atan2  # noqa: F821
absolute = abs  # noqa: F821
conjugate = conj  # noqa: F821

# Element status -> numpy's error category and its words.
_CATEGORIES = {1: ("invalid", "invalid value"), 2: ("divide", "divide by zero"),
               3: ("over", "overflow"), 4: ("under", "underflow")}


def _element_error(function, status, name, text, index):
    """Reports one element status of a call of `function` as numpy's error state says."""
    category, words = _CATEGORIES[status]
    action = np.geterr()[category]
    if action == "ignore":
        return
    where = f" at index {index}" if index >= 0 else ""
    message = f"{words} encountered in {function}{where} ({name}: {text})"
    if action == "raise":
        raise VectorMathError(message, status, name, text)
    if action == "warn":
        warnings.warn(message, RuntimeWarning, stacklevel=3)
    elif action == "call":
        np.geterrcall()(words, status)
    elif action == "print":
        print("Warning: " + message)
    elif action == "log":
        np.geterrcall().write("Warning: " + message + "\n")
