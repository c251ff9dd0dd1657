// The error reporters the kernels call for one exceptional element: one front end per
// element type and layout, and the core that sets the error number, prints and raises.
#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>

#include "zorn/tess.h"

namespace zorn {

static_assert(sizeof(TessErrorContext) == 144);
static_assert(offsetof(TessErrorContext, status) == 0);
static_assert(offsetof(TessErrorContext, index) == 4);
static_assert(offsetof(TessErrorContext, arg1) == 8);
static_assert(offsetof(TessErrorContext, arg2) == 16);
static_assert(offsetof(TessErrorContext, res1) == 24);
static_assert(offsetof(TessErrorContext, res2) == 32);
static_assert(offsetof(TessErrorContext, func_name) == 40);
static_assert(offsetof(TessErrorContext, func_name_len) == 104);
static_assert(offsetof(TessErrorContext, arg1_im) == 112);
static_assert(offsetof(TessErrorContext, arg2_im) == 120);
static_assert(offsetof(TessErrorContext, res1_im) == 128);
static_assert(offsetof(TessErrorContext, res2_im) == 136);

// Statuses the reporters know besides the element statuses of zorn/tess.h.
constexpr int32_t kStatusBadArgument = TESS_STATUS_BAD_ARGUMENT;
constexpr int32_t kStatusAccessDenied = TESS_STATUS_ACCESS_DENIED;
constexpr size_t kMaxReportedNameLength = 47;

using ComplexFloat = std::complex<float>;
using ComplexDouble = std::complex<double>;

// Front ends. a and b are the argument vectors, r1 and r2 the result vectors as the
// kernel received them; index is the element's position in this call. The strided
// forms read element index * increment of each vector.
void tess_report_s(int32_t status, int32_t index, const float* a, const float* b, float* r1,
                   float* r2, const char* name);
void tess_report_d(int32_t status, int32_t index, const double* a, const double* b,
                   double* r1, double* r2, const char* name);
void tess_report_c(int32_t status, int32_t index, const ComplexFloat* a, const ComplexFloat* b,
                   ComplexFloat* r1, ComplexFloat* r2, const char* name);
void tess_report_z(int32_t status, int32_t index, const ComplexDouble* a,
                   const ComplexDouble* b, ComplexDouble* r1, ComplexDouble* r2,
                   const char* name);
void tess_report_s_inc(int32_t status, int32_t index, const float* a, int32_t inca,
                       const float* b, int32_t incb, float* r1, int32_t incr1, float* r2,
                       int32_t incr2, const char* name);
void tess_report_d_inc(int32_t status, int32_t index, const double* a, int32_t inca,
                       const double* b, int32_t incb, double* r1, int32_t incr1, double* r2,
                       int32_t incr2, const char* name);
void tess_report_c_inc(int32_t status, int32_t index, const ComplexFloat* a, int32_t inca,
                       const ComplexFloat* b, int32_t incb, ComplexFloat* r1, int32_t incr1,
                       ComplexFloat* r2, int32_t incr2, const char* name);
void tess_report_z_inc(int32_t status, int32_t index, const ComplexDouble* a, int32_t inca,
                       const ComplexDouble* b, int32_t incb, ComplexDouble* r1,
                       int32_t incr1, ComplexDouble* r2, int32_t incr2, const char* name);

// The error-number, standard-error and exception parts for a filled record.
void tess_report_core(const TessErrorContext* context);

}  // namespace zorn
