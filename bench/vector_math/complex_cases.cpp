#include "vector_math/complex_cases.h"

namespace bench::complex_math {
namespace {

template <class R>
using Cx = std::complex<R>;

// The peer's loop around `expr` in a, b (the elements i, of parts Real); `out`
// is where it goes.
#define ZORN_PEER(R, out, expr)                                \
  [](const Cx<R>* a_, const Cx<R>* b_, Cx<R>* r_, int64_t n) { \
    using Real [[maybe_unused]] = R;                           \
    for (int64_t i = 0; i < n; ++i) {                          \
      [[maybe_unused]] const Cx<R> a = a_[i], b = b_[i];       \
      out = expr;                                              \
    }                                                          \
  }
#define ZORN_PEERS(out, expr) ZORN_PEER(float, out, expr), ZORN_PEER(double, out, expr)
#define ZORN_CX(expr) ZORN_PEERS(r_[i], expr)
#define ZORN_REAL(expr) ZORN_PEERS(reinterpret_cast<Real*>(r_)[i], expr)

constexpr const char* kGlibc = "glibc_scalar";
constexpr const char* kOperator = "c99_operator";

}  // namespace

const ComplexCase kComplexCases[] = {
    {"Exp", 0, 10, 1, ZORN_CX(std::exp(a)), kGlibc},
    {"Ln", 0, 10, 1, ZORN_CX(std::log(a)), kGlibc},
    {"Log10", 0, 10, 1, ZORN_CX(std::log10(a)), kGlibc},
    {"Sqrt", 0, 10, 1, ZORN_CX(std::sqrt(a)), kGlibc},
    {"Sin", 0, 10, 1, ZORN_CX(std::sin(a)), kGlibc},
    {"Cos", 0, 10, 1, ZORN_CX(std::cos(a)), kGlibc},
    {"Tan", 0, 10, 1, ZORN_CX(std::tan(a)), kGlibc},
    {"Sinh", 0, 10, 1, ZORN_CX(std::sinh(a)), kGlibc},
    {"Cosh", 0, 10, 1, ZORN_CX(std::cosh(a)), kGlibc},
    {"Tanh", 0, 10, 1, ZORN_CX(std::tanh(a)), kGlibc},
    {"Asin", 0, 2, 1, ZORN_CX(std::asin(a)), kGlibc},
    {"Acos", 0, 2, 1, ZORN_CX(std::acos(a)), kGlibc},
    {"Atan", 0, 2, 1, ZORN_CX(std::atan(a)), kGlibc},
    {"Asinh", 0, 2, 1, ZORN_CX(std::asinh(a)), kGlibc},
    {"Acosh", 0, 2, 1, ZORN_CX(std::acosh(a)), kGlibc},
    {"Atanh", 0, 2, 1, ZORN_CX(std::atanh(a)), kGlibc},
    {"Pow", 2.5, 2, 2, ZORN_CX(std::pow(a, b)), kGlibc},
    {"Powx", 2.5, 2, kArrayAndElement, ZORN_CX(std::pow(a, b_[0])), kGlibc},
    {"Abs", 0, 10, 1, ZORN_REAL(std::abs(a)), kGlibc},
    {"Arg", 0, 10, 1, ZORN_REAL(std::arg(a)), kGlibc},
    {"CIS", 0, 10, 1, ZORN_CX(std::polar(Real(1), reinterpret_cast<const Real*>(a_)[i])), kGlibc},
    {"Mul", 0, 1e3, 2, ZORN_CX(a* b), kOperator},
    {"MulByConj", 0, 1e3, 2, ZORN_CX(a* std::conj(b)), kOperator},
    {"Div", 0, 1e3, 2, ZORN_CX(a / b), kOperator},
};
const int kComplexCaseCount = static_cast<int>(std::size(kComplexCases));

}  // namespace bench::complex_math
