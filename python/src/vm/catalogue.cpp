#include "catalogue.h"

#include "tess_frame/entry_signatures.h"
#include "zorn/tess_functions.h"

namespace zorn_python {
namespace {

#define VM_KERNEL(f) reinterpret_cast<TessKernel>(&f)
#define VM_ROW(Func, shape, t)                                                    \
  {#Func, Shape::shape, ElementType::t,                                           \
   {VM_KERNEL(TESS_ENTRY_NAME_LA(t, Func##I)), VM_KERNEL(_tess##t##Func##I##_HA), \
    VM_KERNEL(TESS_ENTRY_NAME_EP(t, Func##I))}},
// Element-wise shapes become rows; the pack and unpack functions (index and mask
// gathers, which numpy's indexing already offers) do not.
#define VM_SHAPE_ONE(Func, t) VM_ROW(Func, ONE, t)
#define VM_SHAPE_TWO(Func, t) VM_ROW(Func, TWO, t)
#define VM_SHAPE_POWX(Func, t) VM_ROW(Func, POWX, t)
#define VM_SHAPE_ONE_TWO(Func, t) VM_ROW(Func, ONE_TWO, t)
#define VM_SHAPE_ORDER(Func, t) VM_ROW(Func, ORDER, t)
#define VM_SHAPE_LINEAR_FRAC(Func, t) VM_ROW(Func, LINEAR_FRAC, t)
#define VM_SHAPE_TO_REAL(Func, t) VM_ROW(Func, TO_REAL, t)
#define VM_SHAPE_CIS(Func, t) VM_ROW(Func, CIS, t)
#define VM_SHAPE_PACK_I(Func, t)
#define VM_SHAPE_PACK_M(Func, t)
#define VM_SHAPE_PACK_V(Func, t)
#define VM_SHAPE_UNPACK_I(Func, t)
#define VM_SHAPE_UNPACK_M(Func, t)
#define VM_SHAPE_UNPACK_V(Func, t)
// A type letter's frame column: X means the function has no kernel of that type.
#define VM_TYPE_H(Func, shape, t) VM_SHAPE_##shape(Func, t)
#define VM_TYPE_P(Func, shape, t) VM_SHAPE_##shape(Func, t)
#define VM_TYPE_N(Func, shape, t) VM_SHAPE_##shape(Func, t)
#define VM_TYPE_X(Func, shape, t)
#define TESS_FUNCTION(Func, family, shape, constants, sharing, fs, fd, fc, fz) \
  VM_TYPE_##fs(Func, shape, s) VM_TYPE_##fd(Func, shape, d)                   \
  VM_TYPE_##fc(Func, shape, c) VM_TYPE_##fz(Func, shape, z)

const VmEntry kEntries[] = {
#include "tess_frame/functions.def"
};

}  // namespace

std::span<const VmEntry> vm_catalogue() { return kEntries; }

}  // namespace zorn_python
