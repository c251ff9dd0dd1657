"""zorn: numpy-native vector math (zorn.vm), random streams and distributions
(zorn.random), summary statistics (zorn.stats) and splines (zorn.interpolate) over
libzorn_generic."""
import importlib
import os

from .errors import InterpolateError, RandomError, StatsError, VectorMathError, ZornError

__all__ = ["ZornError", "VectorMathError", "RandomError", "StatsError", "InterpolateError"]

# A submodule is imported when its file is part of this installation; an import that
# fails is an error, not an absent module.
_here = os.path.dirname(__file__)
for _name in ("vm", "random", "stats", "interpolate"):
    if os.path.exists(os.path.join(_here, _name + ".py")):
        globals()[_name] = importlib.import_module("." + _name, __name__)
        __all__.append(_name)
del _here, _name
