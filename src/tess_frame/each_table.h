/* Expands TESS_TABLE once per function table of tess_frame/functions.def, in its order:
 *
 *   TESS_TABLE(t, Name, Func, shape, strided, constants, sharing, frame)
 *
 * t is the type letter, Name the table's function name (Func or Func##I), strided 0 or
 * 1. Define TESS_TABLE, include this file, and it is undefined again afterwards. No
 * include guard: it is meant to be included many times. */
#ifndef TESS_TABLE
#error "define TESS_TABLE before including tess_frame/each_table.h"
#endif

#define TESS_EACH_TYPE_X(t, Func, shape, constants, sharing, frame)
#define TESS_EACH_TYPE_H(t, Func, shape, constants, sharing, frame) \
  TESS_EACH_TABLES(t, Func, shape, constants, sharing, frame)
#define TESS_EACH_TYPE_P TESS_EACH_TYPE_H
#define TESS_EACH_TYPE_N TESS_EACH_TYPE_H
#define TESS_EACH_TABLES(t, Func, shape, constants, sharing, frame)  \
  TESS_TABLE(t, Func, Func, shape, 0, constants, sharing, frame)     \
  TESS_EACH_STRIDED_##shape(t, Func, shape, constants, sharing, frame)

#define TESS_EACH_STRIDED(t, Func, shape, constants, sharing, frame) \
  TESS_TABLE(t, Func##I, Func, shape, 1, constants, sharing, frame)
#define TESS_EACH_STRIDED_ONE TESS_EACH_STRIDED
#define TESS_EACH_STRIDED_TWO TESS_EACH_STRIDED
#define TESS_EACH_STRIDED_POWX TESS_EACH_STRIDED
#define TESS_EACH_STRIDED_ONE_TWO TESS_EACH_STRIDED
#define TESS_EACH_STRIDED_ORDER TESS_EACH_STRIDED
#define TESS_EACH_STRIDED_LINEAR_FRAC TESS_EACH_STRIDED
#define TESS_EACH_STRIDED_TO_REAL TESS_EACH_STRIDED
#define TESS_EACH_STRIDED_CIS TESS_EACH_STRIDED
#define TESS_EACH_STRIDED_PACK_I(...)
#define TESS_EACH_STRIDED_PACK_M(...)
#define TESS_EACH_STRIDED_PACK_V(...)
#define TESS_EACH_STRIDED_UNPACK_I(...)
#define TESS_EACH_STRIDED_UNPACK_M(...)
#define TESS_EACH_STRIDED_UNPACK_V(...)

#define TESS_FUNCTION(Func, family, shape, constants, sharing, fs, fd, fc, fz) \
  TESS_EACH_TYPE_##fs(s, Func, shape, constants, sharing, fs)          \
  TESS_EACH_TYPE_##fd(d, Func, shape, constants, sharing, fd)          \
  TESS_EACH_TYPE_##fc(c, Func, shape, constants, sharing, fc)          \
  TESS_EACH_TYPE_##fz(z, Func, shape, constants, sharing, fz)
#include "tess_frame/functions.def"
#undef TESS_FUNCTION

#undef TESS_EACH_TYPE_X
#undef TESS_EACH_TYPE_H
#undef TESS_EACH_TYPE_P
#undef TESS_EACH_TYPE_N
#undef TESS_EACH_TABLES
#undef TESS_EACH_STRIDED
#undef TESS_EACH_STRIDED_ONE
#undef TESS_EACH_STRIDED_TWO
#undef TESS_EACH_STRIDED_POWX
#undef TESS_EACH_STRIDED_ONE_TWO
#undef TESS_EACH_STRIDED_ORDER
#undef TESS_EACH_STRIDED_LINEAR_FRAC
#undef TESS_EACH_STRIDED_TO_REAL
#undef TESS_EACH_STRIDED_CIS
#undef TESS_EACH_STRIDED_PACK_I
#undef TESS_EACH_STRIDED_PACK_M
#undef TESS_EACH_STRIDED_PACK_V
#undef TESS_EACH_STRIDED_UNPACK_I
#undef TESS_EACH_STRIDED_UNPACK_M
#undef TESS_EACH_STRIDED_UNPACK_V
#undef TESS_TABLE
