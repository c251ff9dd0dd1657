// Double precision operations of the exponential and logarithm family. Each supplies
// `vector_loop` over doubles: a two-lane fast path, four elements per iteration, with
// special lanes out of line to the function's callout.
#pragma once

#include "tess_kernels/exp_log/exp10_double.h"
#include "tess_kernels/exp_log/exp2_double.h"
#include "tess_kernels/exp_log/exp_double.h"
#include "tess_kernels/exp_log/expm1_double.h"
#include "tess_kernels/exp_log/log1p_double.h"
#include "tess_kernels/exp_log/log_double.h"
#include "tess_kernels/exp_log/logb_double.h"
