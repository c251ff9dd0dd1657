/* Types of the vector-math function tables and of complex elements. */
#ifndef ZORN_TESS_FUNCTION_TYPES_H
#define ZORN_TESS_FUNCTION_TYPES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct TessComplex8 {
  float re, im;
} TessComplex8;
typedef struct TessComplex16 {
  double re, im;
} TessComplex16;

/* A kernel pointer; call it through a pointer of its shape's type. */
typedef void (*TessKernel)(void);
typedef struct TessFunctionTable {
  TessKernel slot[3]; /* LA, HA, EP */
} TessFunctionTable;
typedef struct TessConstantTable {
  float value[3];
} TessConstantTable;

#ifdef __cplusplus
}
#endif
#endif
