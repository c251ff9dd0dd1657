// The generated polynomials, atan table and constants of the inverse trigonometric
// kernels (tools/tess_inverse_trig_tables).
#pragma once

namespace zorn::tess::inverse_trig::data {
#include "tess_kernels/inv_trig_hyp/data/inverse_trig_tables.inc"
}  // namespace zorn::tess::inverse_trig::data
