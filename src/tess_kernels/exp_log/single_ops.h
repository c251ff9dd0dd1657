// Single precision operations of the exponential and logarithm family. Each supplies
// `vector_loop` over floats: a four-lane fast path with special lanes out of line to its
// callout (frame/lane_loop_single.h).
#pragma once

#include "tess_kernels/exp_log/exp10_single.h"
#include "tess_kernels/exp_log/exp2_single.h"
#include "tess_kernels/exp_log/exp_single.h"
#include "tess_kernels/exp_log/expm1_single.h"
#include "tess_kernels/exp_log/ln_single.h"
#include "tess_kernels/exp_log/log10_single.h"
#include "tess_kernels/exp_log/log1p_single.h"
#include "tess_kernels/exp_log/log2_single.h"
#include "tess_kernels/exp_log/logb_single.h"
