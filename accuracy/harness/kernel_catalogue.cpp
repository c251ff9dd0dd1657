#include "harness/kernel_catalogue.h"

namespace zorn_accuracy {
namespace {

// Maps the shape names of the function list; the pack shapes map to nothing and are
// left out with the strided tables.
#define ZORN_SHAPE_ONE Shape::kOne
#define ZORN_SHAPE_TWO Shape::kTwo
#define ZORN_SHAPE_POWX Shape::kPowx
#define ZORN_SHAPE_ONE_TWO Shape::kOneTwo
#define ZORN_SHAPE_ORDER Shape::kOrder
#define ZORN_SHAPE_LINEAR_FRAC Shape::kLinearFrac
#define ZORN_SHAPE_TO_REAL Shape::kToReal
#define ZORN_SHAPE_CIS Shape::kCis

#define ZORN_VALUE_TABLE_ONE(t, Name, Func, shape) {#t[0], #Func, ZORN_SHAPE_##shape, &zorn_tess_kernel_##t##Name##_ttab},
#define ZORN_VALUE_TABLE_TWO ZORN_VALUE_TABLE_ONE
#define ZORN_VALUE_TABLE_POWX ZORN_VALUE_TABLE_ONE
#define ZORN_VALUE_TABLE_ONE_TWO ZORN_VALUE_TABLE_ONE
#define ZORN_VALUE_TABLE_ORDER ZORN_VALUE_TABLE_ONE
#define ZORN_VALUE_TABLE_LINEAR_FRAC ZORN_VALUE_TABLE_ONE
#define ZORN_VALUE_TABLE_TO_REAL ZORN_VALUE_TABLE_ONE
#define ZORN_VALUE_TABLE_CIS ZORN_VALUE_TABLE_ONE
#define ZORN_VALUE_TABLE_PACK_I(...)
#define ZORN_VALUE_TABLE_PACK_M(...)
#define ZORN_VALUE_TABLE_PACK_V(...)
#define ZORN_VALUE_TABLE_UNPACK_I(...)
#define ZORN_VALUE_TABLE_UNPACK_M(...)
#define ZORN_VALUE_TABLE_UNPACK_V(...)
#define ZORN_STRIDED_0(t, Name, Func, shape) ZORN_VALUE_TABLE_##shape(t, Name, Func, shape)
#define ZORN_STRIDED_1(...)

const std::vector<KernelTable> kTables = {
#define TESS_TABLE(t, Name, Func, shape, strided, constants, sharing, frame) \
  ZORN_STRIDED_##strided(t, Name, Func, shape)
#include "tess_frame/each_table.h"
};

}  // namespace

const std::vector<KernelTable>& kernel_catalogue() { return kTables; }

}  // namespace zorn_accuracy
