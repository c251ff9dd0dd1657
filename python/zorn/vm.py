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
from ._vm import *  # noqa: F401,F403  (one function per catalogue function)
from .errors import VectorMathError

__all__ = list(_vm.function_names) + ["log", "power", "arctan2", "absolute", "conjugate"]

# numpy's names where the library's differ.
log = _vm.ln
power = _vm.pow
arctan2 = _vm.atan2
absolute = _vm.abs
conjugate = _vm.conj

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
