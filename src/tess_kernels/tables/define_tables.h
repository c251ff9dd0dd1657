// Defines, for the type letters the including file enables with TESS_IF_<t>, every
// function table, constant table and entry point of tess_frame/functions.def.
#include "tess_frame/entry_signatures.h"
#include "tess_kernels/basics/ops.h"
#include "tess_kernels/complex/ops.h"
#include "tess_kernels/exp_log/ops.h"
#include "tess_kernels/inv_trig_hyp/ops.h"
#include "tess_kernels/pow_root/ops.h"
#include "tess_kernels/special/ops.h"
#include "tess_kernels/tables/kernel_shapes.h"
#include "tess_kernels/trig/ops.h"

#define TESS_CONSTANTS_C3 {3.0f, 3.0f, 3.0f}
#define TESS_CONSTANTS_C111 {111.3f, 111.3f, 111.3f}
#define TESS_CONSTANTS_CPI {111.2f, 111.3f, 111.1f}
#define TESS_CONSTANTS_C1 {1.0f, 1.0f, 1.0f}

#define TESS_FRAME_H ::zorn::tess::FrameKind::kHonoursDenormals
#define TESS_FRAME_P ::zorn::tess::FrameKind::kPlain

// Reported names: strided real kernels report the function's own name, strided complex
// kernels the name with a final I.
#define TESS_NAME_0(t, Func) "v" #t #Func
#define TESS_NAME_1(t, Func) TESS_STRIDED_NAME_##t(Func)
#define TESS_STRIDED_NAME_s(Func) "vs" #Func
#define TESS_STRIDED_NAME_d(Func) "vd" #Func
#define TESS_STRIDED_NAME_c(Func) "vc" #Func "I"
#define TESS_STRIDED_NAME_z(Func) "vz" #Func "I"

// The kernel of one slot for the ordinary shapes; the operation type comes last, since
// it may hold commas.
#define TESS_SHAPE_KERNEL(t, Func, shape, strided, frame, ...)                   \
  ::zorn::tess::Shape##shape<__VA_ARGS__, TESS_ELEMENT_##t, TESS_FRAME_##frame, \
                             TESS_NAME_##strided(t, Func)>
#define TESS_KERNEL_0(t, Func, shape, frame, slot, ...) \
  ::zorn::tess::erase(&TESS_SHAPE_KERNEL(t, Func, shape, 0, frame, __VA_ARGS__)::contiguous)
#define TESS_KERNEL_1(t, Func, shape, frame, slot, ...)                    \
  ::zorn::tess::erase(&TESS_SHAPE_KERNEL(t, Func, shape, 1, frame, __VA_ARGS__)::template \
                          strided<&zorn_tess_kernel_##t##Func##_ttab, slot>)

// Kernels per slot: one kernel for all slots, or one per slot.
#define TESS_SLOTS_SHARED(t, Func, shape, strided, frame)                     \
  TESS_KERNEL_##strided(t, Func, shape, frame, 1, ::zorn::tess::ops::Func),   \
  TESS_KERNEL_##strided(t, Func, shape, frame, 1, ::zorn::tess::ops::Func),   \
  TESS_KERNEL_##strided(t, Func, shape, frame, 1, ::zorn::tess::ops::Func)
#define TESS_SEPARATE_OP(t, Func, strided, slot) \
  ::zorn::tess::ops::Func<slot>
#define TESS_SLOTS_SEPARATE(t, Func, shape, strided, frame)                          \
  TESS_KERNEL_##strided(t, Func, shape, frame, 0, TESS_SEPARATE_OP(t, Func, strided, 0)), \
  TESS_KERNEL_##strided(t, Func, shape, frame, 1, TESS_SEPARATE_OP(t, Func, strided, 1)), \
  TESS_KERNEL_##strided(t, Func, shape, frame, 2, TESS_SEPARATE_OP(t, Func, strided, 2))

// Pack and unpack kernels move bytes; the mask kernels of one element size are shared.
#define TESS_PACK_KERNEL(t, fn, Owner)                                                    \
  ::zorn::tess::erase(&::zorn::tess::PackKernels<sizeof(TESS_ELEMENT_##t), Owner>::fn),   \
  ::zorn::tess::erase(&::zorn::tess::PackKernels<sizeof(TESS_ELEMENT_##t), Owner>::fn),   \
  ::zorn::tess::erase(&::zorn::tess::PackKernels<sizeof(TESS_ELEMENT_##t), Owner>::fn)

#define TESS_KERNELS(t, Func, shape, strided, sharing, frame) \
  TESS_KERNELS_##shape(t, Func, shape, strided, sharing, frame)
#define TESS_KERNELS_GENERAL(t, Func, shape, strided, sharing, frame) \
  TESS_SLOTS_##sharing(t, Func, shape, strided, frame)
#define TESS_KERNELS_ONE TESS_KERNELS_GENERAL
#define TESS_KERNELS_TWO TESS_KERNELS_GENERAL
#define TESS_KERNELS_POWX TESS_KERNELS_GENERAL
#define TESS_KERNELS_ONE_TWO TESS_KERNELS_GENERAL
#define TESS_KERNELS_ORDER TESS_KERNELS_GENERAL
#define TESS_KERNELS_LINEAR_FRAC TESS_KERNELS_GENERAL
#define TESS_KERNELS_TO_REAL TESS_KERNELS_GENERAL
#define TESS_KERNELS_CIS TESS_KERNELS_GENERAL
#define TESS_KERNELS_PACK_I(t, ...) TESS_PACK_KERNEL(t, pack_i, TESS_ELEMENT_##t)
#define TESS_KERNELS_PACK_M(t, ...) TESS_PACK_KERNEL(t, pack_m, void)
#define TESS_KERNELS_PACK_V(t, ...) TESS_PACK_KERNEL(t, pack_v, TESS_ELEMENT_##t)
#define TESS_KERNELS_UNPACK_I(t, ...) TESS_PACK_KERNEL(t, unpack_i, TESS_ELEMENT_##t)
#define TESS_KERNELS_UNPACK_M(t, ...) TESS_PACK_KERNEL(t, unpack_m, void)
#define TESS_KERNELS_UNPACK_V(t, ...) TESS_PACK_KERNEL(t, unpack_v, TESS_ELEMENT_##t)

// Argument names of the entry points, by shape.
#define TESS_ARGS_ONE_0 n, a, r
#define TESS_ARGS_ONE_1 n, a, inca, r, incr
#define TESS_ARGS_TWO_0 n, a, b, r
#define TESS_ARGS_TWO_1 n, a, inca, b, incb, r, incr
#define TESS_ARGS_POWX_0 n, a, b, r
#define TESS_ARGS_POWX_1 n, a, inca, b, r, incr
#define TESS_ARGS_ONE_TWO_0 n, a, r1, r2
#define TESS_ARGS_ONE_TWO_1 n, a, inca, r1, incr1, r2, incr2
#define TESS_ARGS_ORDER_0 n, a, order, r
#define TESS_ARGS_ORDER_1 n, a, inca, order, r, incr
#define TESS_ARGS_LINEAR_FRAC_0 n, a, b, scalea, shifta, scaleb, shiftb, r
#define TESS_ARGS_LINEAR_FRAC_1 n, a, inca, b, incb, scalea, shifta, scaleb, shiftb, r, incr
#define TESS_ARGS_TO_REAL_0 TESS_ARGS_ONE_0
#define TESS_ARGS_TO_REAL_1 TESS_ARGS_ONE_1
#define TESS_ARGS_CIS_0 TESS_ARGS_ONE_0
#define TESS_ARGS_CIS_1 TESS_ARGS_ONE_1
#define TESS_ARGS_PACK_I_0 n, a, inca, y
#define TESS_ARGS_PACK_M_0 n, a, mask, y
#define TESS_ARGS_PACK_V_0 n, a, ix, y
#define TESS_ARGS_UNPACK_I_0 n, a, y, incy
#define TESS_ARGS_UNPACK_M_0 n, a, y, mask
#define TESS_ARGS_UNPACK_V_0 n, a, y, ix

#define TESS_FORWARD_ONE forward
#define TESS_FORWARD_TWO forward
#define TESS_FORWARD_POWX forward_powx
#define TESS_FORWARD_ONE_TWO forward
#define TESS_FORWARD_ORDER forward
#define TESS_FORWARD_LINEAR_FRAC forward
#define TESS_FORWARD_TO_REAL forward
#define TESS_FORWARD_CIS forward
#define TESS_FORWARD_PACK_I forward_pack
#define TESS_FORWARD_PACK_M forward_pack
#define TESS_FORWARD_PACK_V forward_pack
#define TESS_FORWARD_UNPACK_I forward_pack
#define TESS_FORWARD_UNPACK_M forward_pack
#define TESS_FORWARD_UNPACK_V forward_pack

#define TESS_ENTRY(t, Name, shape, strided, index, entry_name)                           \
  void entry_name TESS_PARAMS(shape, strided, t) {                                       \
    ::zorn::tess::TESS_FORWARD_##shape(zorn_tess_kernel_##t##Name##_ttab.slot[index],    \
                                       TESS_ARGS_##shape##_##strided);                   \
  }

#define TESS_DEFINE_TABLE(t, Name, Func, shape, strided, constants, sharing, frame)       \
  const TessFunctionTable zorn_tess_kernel_##t##Name##_ttab = {                          \
      {TESS_KERNELS(t, Func, shape, strided, sharing, frame)}};                           \
  const TessConstantTable zorn_tess_kernel_##t##Name##_ctab = {TESS_CONSTANTS_##constants}; \
  TESS_ENTRY(t, Name, shape, strided, 1, _tess##t##Name)                                   \
  void _tess##t##Name##_HA TESS_PARAMS(shape, strided, t) ZORN_ALIAS(_tess##t##Name);     \
  TESS_ENTRY(t, Name, shape, strided, 0, TESS_ENTRY_NAME_LA(t, Name))                      \
  TESS_ENTRY(t, Name, shape, strided, 2, TESS_ENTRY_NAME_EP(t, Name))

extern "C" {
#define TESS_TABLE(t, Name, Func, shape, strided, constants, sharing, frame) \
  TESS_IF_##t(TESS_DEFINE_TABLE(t, Name, Func, shape, strided, constants, sharing, frame))
#include "tess_frame/each_table.h"
}
