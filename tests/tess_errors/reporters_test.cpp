// The error reporters: error modes, the context record, the callback, the C error
// number, the numbered messages and the x87 exception.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <string>

#include "../tess_kernels/fp_environment.h"
#include "tess_errors/reporters.h"
#include "zorn/tess_functions.h"

namespace zorn_test {
namespace {

constexpr uint16_t kX87DivideByZeroFlag = 0x04;

thread_local TessErrorContext g_last;
thread_local int g_calls = 0;
thread_local int32_t g_callback_result = 1;
int32_t capture(TessErrorContext* c) {
  g_last = *c;
  ++g_calls;
  return g_callback_result;
}
int32_t write_five(TessErrorContext* c) {
  c->res1 = 5.0;
  return g_callback_result;
}

class Reporters : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls = 0;
    g_callback_result = 1;
    _tessClearErrStatus();
    clear_x87_flags();
  }
  TessStateGuard guard_;
};

// What each error mode does with a domain error (ln -1) and a pole (ln 0): the stored
// status, the C error number, the callback (when one is installed) and the x87
// exception flag.
TEST_F(Reporters, EachModeReportsThroughItsChannels) {
  const struct {
    uint32_t mode;
    double x;
    int32_t status;
    bool callback;
    int error_number, calls;
    bool x87_flag;
  } cases[] = {
      {TESS_ERRMODE_NOERR, -1.0, 0, true, 0, 0, false},
      {TESS_ERRMODE_IGNORE, -1.0, TESS_STATUS_DOMAIN, true, 0, 0, false},
      {TESS_ERRMODE_ERRNO, -1.0, TESS_STATUS_DOMAIN, true, EDOM, 0, false},
      {TESS_ERRMODE_ERRNO, 0.0, TESS_STATUS_SINGULARITY, true, ERANGE, 0, false},
      {TESS_ERRMODE_EXCEPT, 0.0, TESS_STATUS_SINGULARITY, true, 0, 0, true},
      {TESS_ERRMODE_CALLBACK, -1.0, TESS_STATUS_DOMAIN, true, 0, 1, false},
      {TESS_ERRMODE_DEFAULT, 0.0, TESS_STATUS_SINGULARITY, false, ERANGE, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.mode << " " << c.x);
    _tessClearErrStatus();
    clear_x87_flags();
    g_calls = 0;
    errno = 0;
    _tessSetErrorCallBack(c.callback ? capture : nullptr);
    _tessSetMode(c.mode | TESS_MODE_HA);
    double r;
    _tessdLn(1, &c.x, &r);
    if (c.x == 0.0) EXPECT_EQ(r, -INFINITY); else EXPECT_TRUE(std::isnan(r));
    EXPECT_EQ(_tessGetErrStatus(), c.status);
    EXPECT_EQ(errno, c.error_number);
    EXPECT_EQ(g_calls, c.calls);
    EXPECT_EQ((x87_status() & kX87DivideByZeroFlag) != 0, c.x87_flag);
    EXPECT_EQ(x87_status() & 0x3F & ~kX87DivideByZeroFlag, 0);
    EXPECT_EQ(x87_control() & 0x3F, 0x3F);  // all x87 exceptions masked afterwards
  }
}

void log_of_zero_with_division_trap() {
  _tessSetMode(TESS_ERRMODE_DEFAULT | TESS_TRAP_DIVBYZERO | TESS_MODE_HA);
  const double x = 0.0;
  double r;
  _tessdLn(1, &x, &r);
  std::exit(0);
}

TEST_F(Reporters, UnmaskedTrapEndsInAFloatingPointSignal) {
#if defined(__SANITIZE_ADDRESS__)
  // AddressSanitizer catches the signal itself and reports it before exiting.
  EXPECT_DEATH(log_of_zero_with_division_trap(), "FPE");
#elif !defined(_WIN32)
  EXPECT_EXIT(log_of_zero_with_division_trap(), ::testing::KilledBySignal(SIGFPE), "");
#endif
}

TEST_F(Reporters, CallbackResultIsWrittenBackUnlessItHandledTheElement) {
  _tessSetErrorCallBack(write_five);
  _tessSetMode(TESS_ERRMODE_CALLBACK | TESS_MODE_HA);
  const double x[] = {1.0, -1.0};
  double r[2];
  g_callback_result = 0;
  _tessdLn(2, x, r);
  EXPECT_EQ(r[1], 5.0);
  g_callback_result = 1;
  _tessdLn(2, x, r);
  EXPECT_TRUE(std::isnan(r[1]));
}

TEST_F(Reporters, ContextOfASinglePrecisionOverflow) {
  _tessSetErrorCallBack(capture);
  _tessSetMode(TESS_ERRMODE_CALLBACK | TESS_MODE_HA);
  const float x = 1000.0f;
  float r;
  _tesssExp(1, &x, &r);
  ASSERT_EQ(g_calls, 1);
  EXPECT_EQ(g_last.status, TESS_STATUS_OVERFLOW);
  EXPECT_EQ(g_last.index, 0);
  EXPECT_EQ(g_last.arg1, 1000.0);
  EXPECT_EQ(g_last.arg2, 1000.0);
  EXPECT_EQ(g_last.res1, INFINITY);
  EXPECT_EQ(g_last.res2, INFINITY);
  EXPECT_STREQ(g_last.func_name, "vsExp");
  EXPECT_EQ(g_last.func_name_len, 5);
}

TEST_F(Reporters, ComplexContextCarriesImaginaryParts) {
  _tessSetErrorCallBack(capture);
  _tessSetMode(TESS_ERRMODE_CALLBACK | TESS_MODE_HA);
  const TessComplex8 a = {1e30f, 2e30f}, b = {3e30f, -1e30f};
  TessComplex8 r;
  _tesscMul(1, &a, &b, &r);
  ASSERT_EQ(g_calls, 1);
  EXPECT_EQ(g_last.status, TESS_STATUS_OVERFLOW);
  EXPECT_EQ(g_last.arg1, static_cast<double>(1e30f));
  EXPECT_EQ(g_last.arg1_im, static_cast<double>(2e30f));
  EXPECT_EQ(g_last.arg2, static_cast<double>(3e30f));
  EXPECT_EQ(g_last.arg2_im, static_cast<double>(-1e30f));
  EXPECT_STREQ(g_last.func_name, "vcMul");
}

TEST_F(Reporters, StandardErrorPrintsTheStatusLineAndTheValueLines) {
  _tessSetMode(TESS_ERRMODE_STDERR | TESS_MODE_HA);
  const float x = 1000.0f;
  float r;
  ::testing::internal::CaptureStderr();
  _tesssExp(1, &x, &r);
  const std::string text = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(text.find("vsExp"), std::string::npos) << text;
  EXPECT_NE(text.find("overflow"), std::string::npos) << text;
  EXPECT_NE(text.find("1000"), std::string::npos) << text;  // line 755, the argument
  EXPECT_NE(text.find("inf"), std::string::npos) << text;   // line 756, the result
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3) << text;
}

TEST_F(Reporters, LongNamesAreCutToFortySevenCharacters) {
  _tessSetErrorCallBack(capture);
  _tessSetMode(TESS_ERRMODE_CALLBACK | TESS_MODE_HA);
  const std::string name(60, 'n');
  float a = 1.0f, r = 2.0f;
  zorn::tess_report_s(TESS_STATUS_DOMAIN, 0, &a, &a, &r, &r, name.c_str());
  EXPECT_EQ(g_last.func_name_len, 47);
  EXPECT_EQ(std::strlen(g_last.func_name), 47u);
}

TEST_F(Reporters, NegativeStatusesReadNoVectors) {
  _tessSetErrorCallBack(capture);
  _tessSetMode(TESS_ERRMODE_CALLBACK | TESS_ERRMODE_ERRNO | TESS_MODE_HA);
  errno = 0;
  zorn::tess_report_d(zorn::kStatusBadArgument, 4, nullptr, nullptr, nullptr, nullptr, "vdX");
  EXPECT_EQ(_tessGetErrStatus(), zorn::kStatusBadArgument);
  EXPECT_EQ(g_last.arg1, 0.0);
  g_callback_result = 0;
  zorn::tess_report_z_inc(zorn::kStatusAccessDenied, 1, nullptr, 2, nullptr, 2, nullptr, 2,
                          nullptr, 2, "vzX");
  EXPECT_EQ(errno, EACCES);
}

TEST_F(Reporters, StridedFrontEndReadsAndWritesAtIndexTimesIncrement) {
  _tessSetErrorCallBack(write_five);
  _tessSetMode(TESS_ERRMODE_CALLBACK | TESS_MODE_HA);
  g_callback_result = 0;
  double a[8] = {0, 1, 2, 3, 4, 5, 6, 7}, r[9] = {};
  zorn::tess_report_d_inc(TESS_STATUS_DOMAIN, 2, a, 3, a, 3, r, 4, r, 4, "vdLn");
  EXPECT_EQ(r[8], 5.0);
  EXPECT_EQ(r[2], 0.0);
}

TEST_F(Reporters, SameVectorForBothResultsKeepsResOne) {
  _tessSetErrorCallBack(write_five);
  _tessSetMode(TESS_ERRMODE_CALLBACK | TESS_MODE_HA);
  g_callback_result = 0;
  double a = 1.0, r = 2.0;
  zorn::tess_report_d(TESS_STATUS_DOMAIN, 0, &a, &a, &r, &r, "vdSinCos");
  EXPECT_EQ(r, 5.0);
}

}  // namespace
}  // namespace zorn_test
