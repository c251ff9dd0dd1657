#include "tess_kernels/trig/scaled_trig.h"

#include <cmath>

#include "tess_kernels/frame/double_double.h"

namespace zorn::tess {
namespace {

enum class Kind { kSin, kCos, kTan };

struct Unit {
  double half_turn;  // 1 or 180: the angle of pi radians in this unit
  double to_radians_hi, to_radians_lo;
};
constexpr Unit kHalfTurns{1.0, 3.141592653589793116, 1.2246467991473532e-16};
constexpr Unit kDegrees{180.0, 0.017453292519943295, 2.9486522708701687e-19};

const Unit& unit_of(AngleUnit u) { return u == AngleUnit::kHalfTurns ? kHalfTurns : kDegrees; }

// f(a) for |a| at most a quarter half turn, f = sin, cos or tan of a in `unit`.
double evaluate(Kind kind, double a, const Unit& unit, bool high_accuracy) {
  if (!high_accuracy) {
    const double t = a * unit.to_radians_hi;
    return kind == Kind::kSin ? std::sin(t) : kind == Kind::kCos ? std::cos(t) : std::tan(t);
  }
  const DoubleDouble p = two_product(a, unit.to_radians_hi);
  const double lo = p.lo + a * unit.to_radians_lo;
  switch (kind) {
    case Kind::kSin: return std::sin(p.hi) + lo * std::cos(p.hi);
    case Kind::kCos: return std::cos(p.hi) - lo * std::sin(p.hi);
    case Kind::kTan: {
      const double t = std::tan(p.hi);
      return t + lo * (1.0 + t * t);
    }
  }
  return 0.0;
}

}  // namespace

double scaled_sin(double x, AngleUnit u, bool high_accuracy) {
  if (!std::isfinite(x)) return x - x;
  const Unit& unit = unit_of(u);
  const double half = unit.half_turn * 0.5, quarter = unit.half_turn * 0.25;
  // r in [-half_turn, half_turn], exact; sin is odd with period two half turns.
  double r = std::remainder(x, 2.0 * unit.half_turn);
  if (r == 0 || std::fabs(r) == unit.half_turn) return std::copysign(0.0, x);
  if (std::fabs(r) > half) r = std::copysign(unit.half_turn, r) - r;  // sin(pi - a) = sin a
  if (std::fabs(r) <= quarter) return evaluate(Kind::kSin, r, unit, high_accuracy);
  return std::copysign(evaluate(Kind::kCos, half - std::fabs(r), unit, high_accuracy), r);
}

double scaled_cos(double x, AngleUnit u, bool high_accuracy) {
  if (!std::isfinite(x)) return x - x;
  const Unit& unit = unit_of(u);
  const double half = unit.half_turn * 0.5, quarter = unit.half_turn * 0.25;
  const double a = std::fabs(std::remainder(x, 2.0 * unit.half_turn));  // in [0, half_turn]
  if (a == half) return 0.0;
  if (a <= quarter) return evaluate(Kind::kCos, a, unit, high_accuracy);
  if (a < half + quarter) {
    // cos a = sin(half - a); half - a is exact for a in (quarter, half + quarter).
    return evaluate(Kind::kSin, half - a, unit, high_accuracy);
  }
  return -evaluate(Kind::kCos, unit.half_turn - a, unit, high_accuracy);
}

double scaled_tan(double x, AngleUnit u, bool high_accuracy) {
  if (!std::isfinite(x)) return x - x;
  const Unit& unit = unit_of(u);
  const double half = unit.half_turn * 0.5, quarter = unit.half_turn * 0.25;
  const double r = std::remainder(x, unit.half_turn);  // in [-half, half]; tan has period 1
  const double a = std::fabs(r);
  if (high_accuracy) {
    // The reduced angle is scaled to radians, its tangent (or cotangent of the exact
    // complement) taken and the reciprocal formed all in extended precision, so that only
    // the final conversion rounds to double.
    using W = long double;
    constexpr W kRadiansPerUnit[] = {3.141592653589793238462643383279502884L,
                                     0.01745329251994329576923690768488612713L};
    const W c = kRadiansPerUnit[u == AngleUnit::kHalfTurns ? 0 : 1];
    W t;
    if (a <= quarter) {
      t = std::tan(static_cast<W>(a) * c);
    } else if (a == half) {
      t = INFINITY;  // the pole
    } else {
      t = 1.0L / std::tan(static_cast<W>(half - a) * c);
    }
    return std::copysign(static_cast<double>(t), r);
  }
  double t;
  if (a <= quarter) {
    t = evaluate(Kind::kTan, a, unit, high_accuracy);
  } else if (a == half) {
    t = INFINITY;  // the pole
  } else {
    t = 1.0 / evaluate(Kind::kTan, half - a, unit, high_accuracy);
  }
  return std::copysign(t, r);
}

}  // namespace zorn::tess
