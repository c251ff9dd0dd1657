// The output an abstract stream is asked for in a type it does not hold: one function,
// exported under the six names of those combinations, that ignores its arguments.
#include "streams/status.h"
#include "zorn/pavo.h"

extern "C" {

int32_t __pavodBRngiAbstract(void*, int32_t, double*, double, double) {
  return zorn::streams::kStatusAbstractWrongType;
}

// The aliases have other parameter lists; the stub reads none of its arguments, and
// under the x86-64 calling convention ignoring them is the same for every list.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattribute-alias"
int32_t __pavosBRngiAbstract(void*, int32_t, float*, float, float) ZORN_ALIAS(__pavodBRngiAbstract);
int32_t __pavodBRngsAbstract(void*, int32_t, double*, double, double) ZORN_ALIAS(__pavodBRngiAbstract);
int32_t __pavoiBRngsAbstract(void*, int32_t, uint32_t*) ZORN_ALIAS(__pavodBRngiAbstract);
int32_t __pavoiBRngdAbstract(void*, int32_t, uint32_t*) ZORN_ALIAS(__pavodBRngiAbstract);
int32_t __pavosBRngdAbstract(void*, int32_t, float*, float, float) ZORN_ALIAS(__pavodBRngiAbstract);
#pragma GCC diagnostic pop

}  // extern "C"
