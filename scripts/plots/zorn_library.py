"""The built library through ctypes, for the plot scripts: no binding to build first."""
import ctypes
import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

BUILD = sys.argv[1] if len(sys.argv) > 1 else "build"
OUT = sys.argv[2] if len(sys.argv) > 2 else "docs/plots"
lib = ctypes.CDLL(os.path.join(BUILD, "bin", "libzorn_generic.so"))

i32, i64, u32, dbl = ctypes.c_int32, ctypes.c_int64, ctypes.c_uint32, ctypes.c_double
vp = ctypes.c_void_p


def save(figure, name):
    """Writes OUT/name.svg with no date or random ids, so reruns differ only in data."""
    plt.rcParams["svg.hashsalt"] = "zorn"
    path = os.path.join(OUT, name + ".svg")
    figure.savefig(path, metadata={"Date": None}, bbox_inches="tight")
    if os.environ.get("ZORN_PLOT_PNG"):
        figure.savefig(os.path.join(os.environ["ZORN_PLOT_PNG"], name + ".png"), dpi=70)
    print("wrote", path)
