// The eight reporter front ends: apply the thread's error mode to one element, fill the
// context record, run the callback and the core, and write the record's results back.
#include <cstring>

#include "tess_errors/reporters.h"
#include "tess_frame/mode.h"
#include "tess_frame/thread_state.h"

namespace zorn {
namespace {

void put_value(double& field, double& /*imag*/, float v) { field = v; }
void put_value(double& field, double& /*imag*/, double v) { field = v; }
void put_value(double& field, double& imag, ComplexFloat v) {
  field = v.real();
  imag = v.imag();
}
void put_value(double& field, double& imag, ComplexDouble v) {
  field = v.real();
  imag = v.imag();
}
void get_value(double field, double /*imag*/, float& v) { v = static_cast<float>(field); }
void get_value(double field, double /*imag*/, double& v) { v = field; }
void get_value(double field, double imag, ComplexFloat& v) {
  v = ComplexFloat(static_cast<float>(field), static_cast<float>(imag));
}
void get_value(double field, double imag, ComplexDouble& v) { v = ComplexDouble(field, imag); }

template <class T>
void report_element(int32_t status, int32_t index, const T* a, int32_t inca, const T* b,
                    int32_t incb, T* r1, int32_t incr1, T* r2, int32_t incr2,
                    const char* name) {
  TessThreadState* state = tess_get_thread_state();
  const uint32_t mode = current_mode(state);
  const uint32_t error_mode = mode & TESS_MODE_ERRMODE_MASK;
  if (error_mode == TESS_ERRMODE_NOERR) return;
  state->ErrStatus = status;
  if (error_mode == TESS_ERRMODE_IGNORE) return;

  TessErrorContext context{};
  context.status = status;
  context.index = index;
  if (state->InterfInputVectorPointer != nullptr) {
    const uintptr_t bytes = reinterpret_cast<uintptr_t>(a) -
                            reinterpret_cast<uintptr_t>(state->InterfInputVectorPointer);
    context.index += static_cast<int32_t>(static_cast<uint32_t>(bytes / sizeof(T)));
  }
  const size_t length = strnlen(name, kMaxReportedNameLength);
  std::memcpy(context.func_name, name, length);
  context.func_name[length] = '\0';
  context.func_name_len = static_cast<int32_t>(length);

  const bool has_values = status != kStatusBadArgument && status != kStatusAccessDenied;
  const int64_t i = index;
  if (has_values) {
    put_value(context.arg1, context.arg1_im, a[i * inca]);
    put_value(context.arg2, context.arg2_im, b[i * incb]);
    put_value(context.res1, context.res1_im, r1[i * incr1]);
    put_value(context.res2, context.res2_im, r2[i * incr2]);
  }
  if ((mode & TESS_ERRMODE_CALLBACK) != 0 && state->ErrorCallBack != nullptr &&
      state->ErrorCallBack(&context) != 0) {
    return;
  }
  if ((mode & 0x2F00u) != 0) tess_report_core(&context);
  if (has_values) {
    // r1 last: when both results are one vector, res1 is what remains.
    get_value(context.res2, context.res2_im, r2[i * incr2]);
    get_value(context.res1, context.res1_im, r1[i * incr1]);
  }
}

}  // namespace

void tess_report_s(int32_t status, int32_t index, const float* a, const float* b, float* r1,
                   float* r2, const char* name) {
  report_element(status, index, a, 1, b, 1, r1, 1, r2, 1, name);
}
void tess_report_d(int32_t status, int32_t index, const double* a, const double* b,
                   double* r1, double* r2, const char* name) {
  report_element(status, index, a, 1, b, 1, r1, 1, r2, 1, name);
}
void tess_report_c(int32_t status, int32_t index, const ComplexFloat* a, const ComplexFloat* b,
                   ComplexFloat* r1, ComplexFloat* r2, const char* name) {
  report_element(status, index, a, 1, b, 1, r1, 1, r2, 1, name);
}
void tess_report_z(int32_t status, int32_t index, const ComplexDouble* a,
                   const ComplexDouble* b, ComplexDouble* r1, ComplexDouble* r2,
                   const char* name) {
  report_element(status, index, a, 1, b, 1, r1, 1, r2, 1, name);
}
void tess_report_s_inc(int32_t status, int32_t index, const float* a, int32_t inca,
                       const float* b, int32_t incb, float* r1, int32_t incr1, float* r2,
                       int32_t incr2, const char* name) {
  report_element(status, index, a, inca, b, incb, r1, incr1, r2, incr2, name);
}
void tess_report_d_inc(int32_t status, int32_t index, const double* a, int32_t inca,
                       const double* b, int32_t incb, double* r1, int32_t incr1, double* r2,
                       int32_t incr2, const char* name) {
  report_element(status, index, a, inca, b, incb, r1, incr1, r2, incr2, name);
}
void tess_report_c_inc(int32_t status, int32_t index, const ComplexFloat* a, int32_t inca,
                       const ComplexFloat* b, int32_t incb, ComplexFloat* r1, int32_t incr1,
                       ComplexFloat* r2, int32_t incr2, const char* name) {
  report_element(status, index, a, inca, b, incb, r1, incr1, r2, incr2, name);
}
void tess_report_z_inc(int32_t status, int32_t index, const ComplexDouble* a, int32_t inca,
                       const ComplexDouble* b, int32_t incb, ComplexDouble* r1,
                       int32_t incr1, ComplexDouble* r2, int32_t incr2, const char* name) {
  report_element(status, index, a, inca, b, incb, r1, incr1, r2, incr2, name);
}

}  // namespace zorn
