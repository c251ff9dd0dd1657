// Element-wise basics: arithmetic, absolute value, rounding, fractional parts, minimum
// and maximum, sign and neighbour functions, remainders.
#pragma once

#include "tess_kernels/basics/arithmetic.h"
#include "tess_kernels/basics/remainders.h"
#include "tess_kernels/basics/rounding.h"
#include "tess_kernels/basics/sign_and_order.h"
