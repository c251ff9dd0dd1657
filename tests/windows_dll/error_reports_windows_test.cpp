// Error reports of zorn_generic.dll reach the caller's C runtime and processor: the
// error number is the one this program reads as errno (the DLL finds "_errno" in the
// loaded C runtime module), and a report whose mode carries a trap bit ends in the
// floating-point exception, delivered to a vectored exception handler.
#include <atomic>
#include <cerrno>
#include <cmath>

#include "windows_dll/loaded_library.h"

namespace {

using namespace dll_test;

constexpr uint32_t kErrnoOnly = 0x200;  // error mode: set the C error number only
constexpr uint32_t kDefaultMode = 0x1A02;
constexpr uint32_t kTrapInvalid = 0x1000000, kTrapDivideByZero = 0x2000000;

TEST(DllErrorReports, ErrorNumberIsTheCallersErrno) {
  if (ran_in_fresh_process()) return;
  Library library(generic_dll());
  auto set_mode = library.function<SetModeFn>("_tessSetMode");
  auto ln = library.function<RealVectorFn>("_tessdLn");
  ASSERT_NE(set_mode, nullptr);
  ASSERT_NE(ln, nullptr);
  set_mode(kErrnoOnly | 0x2);
  struct Case {
    double argument;
    int error_number;
  };
  for (const Case& c : {Case{0.0, ERANGE}, Case{-1.0, EDOM}}) {
    errno = 0;
    double result = 0;
    ln(1, &c.argument, &result);
    EXPECT_EQ(errno, c.error_number) << "ln(" << c.argument << ")";
  }
  double one = 1, result = -1;
  errno = 0;
  ln(1, &one, &result);
  EXPECT_EQ(result, 0.0);
  EXPECT_EQ(errno, 0) << "a clean element set errno";
}

// The exception code the vectored handler saw, and the x87 state it leaves behind: all
// exceptions masked and the flags cleared, so that the faulting fwait then completes.
std::atomic<DWORD> g_floating_point_exception{0};

LONG CALLBACK record_floating_point_exception(EXCEPTION_POINTERS* info) {
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  if (code != EXCEPTION_FLT_DIVIDE_BY_ZERO && code != EXCEPTION_FLT_INVALID_OPERATION &&
      code != EXCEPTION_FLT_OVERFLOW && code != EXCEPTION_FLT_UNDERFLOW)
    return EXCEPTION_CONTINUE_SEARCH;
  g_floating_point_exception = code;
  info->ContextRecord->FltSave.ControlWord |= 0x3F;
  info->ContextRecord->FltSave.StatusWord &= static_cast<WORD>(~0x80BF);
  return EXCEPTION_CONTINUE_EXECUTION;
}

uint16_t x87_status_word() {
  uint16_t status;
  asm volatile("fnstsw %0" : "=m"(status));
  return status;
}

TEST(DllErrorReports, TrapBitEndsInTheFloatingPointException) {
  if (ran_in_fresh_process()) return;
  Library library(generic_dll());
  auto set_mode = library.function<SetModeFn>("_tessSetMode");
  auto ln = library.function<RealVectorFn>("_tessdLn");
  ASSERT_NE(ln, nullptr);
  PVOID handler = AddVectoredExceptionHandler(1, record_floating_point_exception);
  ASSERT_NE(handler, nullptr);
  struct Case {
    uint32_t trap;
    double argument;
    DWORD exception;
  };
  for (const Case& c : {Case{kTrapDivideByZero, 0.0, EXCEPTION_FLT_DIVIDE_BY_ZERO},
                        Case{kTrapInvalid, -1.0, EXCEPTION_FLT_INVALID_OPERATION}}) {
    g_floating_point_exception = 0;
    set_mode(kDefaultMode | c.trap);
    double result = 0;
    ln(1, &c.argument, &result);
    EXPECT_EQ(g_floating_point_exception.load(), c.exception) << "ln(" << c.argument << ")";
    EXPECT_TRUE(c.argument == 0 ? result == -INFINITY : std::isnan(result));
  }
  // Without a trap bit the report only leaves the division-by-zero flag raised.
  g_floating_point_exception = 0;
  set_mode(kDefaultMode);
  asm volatile("fnclex");
  const double zero = 0;
  double result = 0;
  ln(1, &zero, &result);
  EXPECT_EQ(g_floating_point_exception.load(), 0u);
  EXPECT_EQ(x87_status_word() & 0x3F, 0x04) << "division-by-zero flag";
  RemoveVectoredExceptionHandler(handler);
}

}  // namespace
