// Section: vector functions over arrays, an error callback that names the bad element,
// and the accuracy switched between high accuracy and enhanced performance.
#include <cmath>
#include <cstdio>

#include "tour.h"
#include "zorn/tess_functions.h"

namespace {

int32_t report_bad_element(TessErrorContext* context) {
  std::printf("  callback: %s, element %d, argument %g: status %d, result replaced by 0\n",
              context->func_name, context->index, context->arg1, context->status);
  context->res1 = 0.0;
  return 0;  // not handled completely: the library writes res1 back
}

}  // namespace

TOUR_SECTION(20, "Vector math: a function over an array, errors, accuracy modes") {
  const double x[6] = {0.5, 1.0, 2.0, -3.0, 10.0, 100.0};
  double ln[6], e[6];
  _tessdExp(6, x, e);
  std::printf("  exp: ");
  for (double v : e) std::printf("%.6g ", v);
  std::printf("\n");

  const uint32_t old_mode = _tessGetMode();
  const TessErrorCallBack old_callback = _tessSetErrorCallBack(report_bad_element);
  _tessdLn(6, x, ln);  // element 3 is outside the logarithm's domain
  std::printf("  ln:  ");
  for (double v : ln) std::printf("%.6g ", v);
  std::printf("\n  error status of the thread: %d\n", _tessGetErrStatus());
  _tessClearErrStatus();
  _tessSetErrorCallBack(old_callback);

  // The mode names the slot a caller picks from a function table.
  const float angle[4] = {0.25f, 1.0f / 3.0f, 0.5f, 10.125f};
  for (uint32_t accuracy : {TESS_MODE_HA, TESS_MODE_EP}) {
    _tessSetMode(accuracy);
    using Kernel = void (*)(int32_t, const float*, float*);
    const int32_t slot = zorn_tess_kernel_GetTTableIndex();
    const auto sinpi = reinterpret_cast<Kernel>(zorn_tess_kernel_sSinpi_ttab.slot[slot]);
    float s[4];
    sinpi(4, angle, s);
    std::printf("  %s (slot %d) sin(pi x): %.9g %.9g %.9g %.9g\n",
                accuracy == TESS_MODE_HA ? "HA" : "EP", slot, s[0], s[1], s[2], s[3]);
  }
  _tessSetMode(old_mode);
}
