// The C signatures and names of the entry points, by shape, strided flag and type
// letter: the library defines its entry points with them and the catalogue tool prints
// the literal prototypes of zorn/tess_functions.h from them.
#pragma once

#include <stdint.h>

#include "zorn/tess_function_types.h"

/* Element type and its real part type, per type letter. */
#define TESS_ELEMENT_s float
#define TESS_ELEMENT_d double
#define TESS_ELEMENT_c TessComplex8
#define TESS_ELEMENT_z TessComplex16
#define TESS_REAL_s float
#define TESS_REAL_d double
#define TESS_REAL_c float
#define TESS_REAL_z double

/* Argument lists of the entry points, by shape and strided flag. */
#define TESS_PARAMS_ONE_0(T, R) (int32_t n, const T* a, T* r)
#define TESS_PARAMS_ONE_1(T, R) (int32_t n, const T* a, int32_t inca, T* r, int32_t incr)
#define TESS_PARAMS_TWO_0(T, R) (int32_t n, const T* a, const T* b, T* r)
#define TESS_PARAMS_TWO_1(T, R) \
  (int32_t n, const T* a, int32_t inca, const T* b, int32_t incb, T* r, int32_t incr)
#define TESS_PARAMS_POWX_0(T, R) (int32_t n, const T* a, T b, T* r)
#define TESS_PARAMS_POWX_1(T, R) (int32_t n, const T* a, int32_t inca, T b, T* r, int32_t incr)
#define TESS_PARAMS_ONE_TWO_0(T, R) (int32_t n, const T* a, T* r1, T* r2)
#define TESS_PARAMS_ONE_TWO_1(T, R) \
  (int32_t n, const T* a, int32_t inca, T* r1, int32_t incr1, T* r2, int32_t incr2)
#define TESS_PARAMS_ORDER_0(T, R) (int32_t n, const T* a, T order, T* r)
#define TESS_PARAMS_ORDER_1(T, R) \
  (int32_t n, const T* a, int32_t inca, T order, T* r, int32_t incr)
#define TESS_PARAMS_LINEAR_FRAC_0(T, R) \
  (int32_t n, const T* a, const T* b, T scalea, T shifta, T scaleb, T shiftb, T* r)
#define TESS_PARAMS_LINEAR_FRAC_1(T, R)                                                  \
  (int32_t n, const T* a, int32_t inca, const T* b, int32_t incb, T scalea, T shifta, \
   T scaleb, T shiftb, T* r, int32_t incr)
#define TESS_PARAMS_TO_REAL_0(T, R) (int32_t n, const T* a, R* r)
#define TESS_PARAMS_TO_REAL_1(T, R) (int32_t n, const T* a, int32_t inca, R* r, int32_t incr)
#define TESS_PARAMS_CIS_0(T, R) (int32_t n, const R* a, T* r)
#define TESS_PARAMS_CIS_1(T, R) (int32_t n, const R* a, int32_t inca, T* r, int32_t incr)
#define TESS_PARAMS_PACK_I_0(T, R) (int32_t n, const T* a, int32_t inca, T* y)
#define TESS_PARAMS_PACK_M_0(T, R) (int32_t n, const T* a, const int32_t* mask, T* y)
#define TESS_PARAMS_PACK_V_0(T, R) (int32_t n, const T* a, const int32_t* ix, T* y)
#define TESS_PARAMS_UNPACK_I_0(T, R) (int32_t n, const T* a, T* y, int32_t incy)
#define TESS_PARAMS_UNPACK_M_0(T, R) (int32_t n, const T* a, T* y, const int32_t* mask)
#define TESS_PARAMS_UNPACK_V_0(T, R) (int32_t n, const T* a, T* y, const int32_t* ix)
#define TESS_PARAMS(shape, strided, t) \
  TESS_PARAMS_##shape##_##strided(TESS_ELEMENT_##t, TESS_REAL_##t)

/* Suffixes of the slot 0 and slot 2 entry points, per type letter. */
#define TESS_SUFFIX_LA_s _21
#define TESS_SUFFIX_LA_c _21
#define TESS_SUFFIX_LA_d _50
#define TESS_SUFFIX_LA_z _50
#define TESS_SUFFIX_EP_s _11
#define TESS_SUFFIX_EP_c _11
#define TESS_SUFFIX_EP_d _26
#define TESS_SUFFIX_EP_z _26
#define TESS_PASTE_(a, b) a##b
#define TESS_PASTE(a, b) TESS_PASTE_(a, b)
#define TESS_ENTRY_NAME_LA(t, Name) TESS_PASTE(_tess##t##Name, TESS_SUFFIX_LA_##t)
#define TESS_ENTRY_NAME_EP(t, Name) TESS_PASTE(_tess##t##Name, TESS_SUFFIX_EP_##t)
