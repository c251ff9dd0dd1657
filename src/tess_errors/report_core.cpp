// The core reporter: C error number, numbered messages through the core library, and
// the floating-point exception of the status.
#include <atomic>
#include <cerrno>
#include <cstring>

#include "core_interface/sibling.h"
#include "platform/platform.h"
#include "tess_errors/reporters.h"
#include "tess_errors/x87_exception.h"
#include "tess_frame/mode.h"
#include "tess_frame/thread_state.h"

namespace zorn {

// The error-number accessor, looked up once per process. Every thread that races on
// the first lookup finds and stores the same accessor.
std::atomic<uint8_t> tess_errno_resolved{0};
std::atomic<platform::ErrorNumberAccessor> tess_errno_fn{nullptr};

namespace {

constexpr int32_t kMessageBadArgument = 748;
constexpr int32_t kMessageAccessDenied = 749;
constexpr int32_t kMessageDomain = 750;  // 750..753 for statuses 1..4
constexpr int32_t kMessageUnknown = 754;
constexpr int32_t kMessageOneArgOneResult = 755;
constexpr int32_t kMessageOneArgTwoResults = 757;
constexpr int32_t kMessageTwoArgsOneResult = 760;
constexpr int32_t kMessageTwoArgsTwoResults = 763;

int error_number_of(int32_t status) {
  switch (status) {
    case 0: return 0;
    case TESS_STATUS_DOMAIN: return EDOM;
    case TESS_STATUS_SINGULARITY:
    case TESS_STATUS_OVERFLOW:
    case TESS_STATUS_UNDERFLOW: return ERANGE;
    case kStatusBadArgument: return EINVAL;
    case kStatusAccessDenied: return EACCES;
    default: return EFAULT;
  }
}

void set_error_number(int32_t status) {
  if (tess_errno_resolved.load(std::memory_order_acquire) == 0) {
    tess_errno_fn.store(platform::find_error_number_accessor(), std::memory_order_relaxed);
    tess_errno_resolved.store(1, std::memory_order_release);
  }
  if (int* (*accessor)() = tess_errno_fn.load(std::memory_order_relaxed)) {
    *accessor() = error_number_of(status);
  }
}

bool same_bits(double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; }

void print_report(const TessErrorContext& c) {
  auto print = zorn::sibling::zorn_serv_print();
  switch (c.status) {
    case kStatusAccessDenied: print(1, kMessageAccessDenied, 1, c.func_name); return;
    case kStatusBadArgument: print(1, kMessageBadArgument, 2, c.func_name, c.index); return;
    case 0: return;
    case TESS_STATUS_DOMAIN:
    case TESS_STATUS_SINGULARITY:
    case TESS_STATUS_OVERFLOW:
    case TESS_STATUS_UNDERFLOW:
      print(1, kMessageDomain + c.status - 1, 1, c.func_name);
      break;
    default: print(1, kMessageUnknown, 1, c.func_name); break;
  }
  const bool second_arg = !same_bits(c.arg2, c.arg1) && c.arg2 != 0.0;
  const bool second_result = !same_bits(c.res2, c.res1) && c.res2 != 0.0;
  const double values[4] = {c.arg1, c.arg2, c.res1, c.res2};
  const bool present[4] = {true, second_arg, true, second_result};
  int32_t message = second_arg ? (second_result ? kMessageTwoArgsTwoResults
                                                : kMessageTwoArgsOneResult)
                               : (second_result ? kMessageOneArgTwoResults
                                                : kMessageOneArgOneResult);
  for (int k = 0; k < 4; ++k) {
    if (!present[k]) continue;
    print(1, message++, 2, c.index, values[k]);
  }
}

uint16_t exception_flag_of(int32_t status) {
  switch (status) {
    case TESS_STATUS_DOMAIN: return kX87Invalid;
    case TESS_STATUS_SINGULARITY: return kX87DivideByZero;
    case TESS_STATUS_OVERFLOW: return kX87Overflow;
    case TESS_STATUS_UNDERFLOW: return kX87Underflow;
    default: return 0;
  }
}

uint16_t unmasked_by(uint32_t mode) {
  uint16_t unmask = 0;
  if (mode & TESS_TRAP_INVALID) unmask |= kX87Invalid;
  if (mode & TESS_TRAP_DIVBYZERO) unmask |= kX87DivideByZero;
  if (mode & TESS_TRAP_OVERFLOW) unmask |= kX87Overflow;
  if (mode & TESS_TRAP_UNDERFLOW) unmask |= kX87Underflow;
  return unmask;
}

}  // namespace

void tess_report_core(const TessErrorContext* context) {
  const uint32_t mode = current_mode(tess_get_thread_state());
  if (mode & TESS_ERRMODE_ERRNO) set_error_number(context->status);
  if (mode & TESS_ERRMODE_STDERR) print_report(*context);
  if (mode & TESS_ERRMODE_EXCEPT) {
    raise_x87_exception(exception_flag_of(context->status), unmasked_by(mode));
  }
}

}  // namespace zorn
