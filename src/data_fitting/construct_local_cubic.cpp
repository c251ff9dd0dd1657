// Cubic splines from local slopes (Akima, Bessel, Hermite, Hyman): a first derivative
// m_i is fixed at every node by a local rule, then each cell is the cubic Hermite piece
// matching y and m at both ends. No system is solved.
//
// Akima, H. (1970), A new method of interpolation and smooth curve fitting based on
// local procedures, J. ACM 17(4): weights w_k = |delta_k - delta_{k-1}|, chord slopes
// beyond the ends extrapolated linearly. Hyman, J. M. (1983), Accurate monotonicity
// preserving cubic interpolation, SIAM J. Sci. Stat. Comput. 4(4): the filter
// |m_i| <= 3 min(|delta_{i-1}|, |delta_i|), m_i = 0 at a local extremum.
#include <cmath>

#include "core_interface/sibling.h"
#include "data_fitting/construct_common.h"

namespace zorn::df {
namespace {

enum class SlopeRule { kAkima, kBessel, kHermite, kHyman };

constexpr double kAkimaFlat = 1e-10;  // weight sum below which Akima takes the mean

template <class T, bool kColumns, bool kUniform>
struct LocalSlopes {
  const Job<T>& job;
  SlopeRule rule;
  Values<T, kColumns> v;
  Grid<T, kUniform> g;
  int64_t nx;
  T* chords;  // the chord slopes of the function in hand, nx-1 of them

  void load_chords(int64_t j) const {
    for (int64_t i = 0; i + 1 < nx; ++i) chords[i] = (v.at(j, i + 1) - v.at(j, i)) / g.step(i);
  }
  T delta(int64_t, int64_t i) const { return chords[i]; }

  // Chord slope k for k in [-2, nx]: inside, the data; beyond, the periodic wrap or
  // Akima's linear extrapolation.
  T chord(int64_t j, int64_t k) const {
    const int64_t last = nx - 2;
    if (k >= 0 && k <= last) return delta(j, k);
    if (job.end == kEndPeriodic) return delta(j, ((k % (last + 1)) + last + 1) % (last + 1));
    if (k < 0) return chord(j, k + 1) * T(2) - chord(j, k + 2);
    return chord(j, k - 1) * T(2) - chord(j, k - 2);
  }

  T akima(int64_t j, int64_t i) const {
    const T dm2 = chord(j, i - 2), dm1 = chord(j, i - 1), d0 = chord(j, i), d1 = chord(j, i + 1);
    const T w_after = std::fabs(d1 - d0), w_before = std::fabs(dm1 - dm2);
    const T sum = w_after + w_before;
    if (sum < T(kAkimaFlat)) return (dm1 + d0) / T(2);
    return (w_after * dm1 + w_before * d0) / sum;
  }

  // The slope at x[i] of the parabola through nodes i-1, i, i+1 (i = 0 wraps around the
  // seam of a periodic function).
  T bessel(int64_t j, int64_t i) const {
    const int64_t before = i == 0 ? nx - 2 : i - 1;
    const T hl = g.step(before), hr = g.step(i);
    return (hr * delta(j, before) + hl * delta(j, i)) / (hl + hr);
  }

  static T hyman_filter(T m, T dl, T dr) {
    if (dl * dr <= T(0)) return T(0);
    const T bound = T(3) * smaller(std::fabs(dl), std::fabs(dr));
    return std::fabs(m) > bound ? std::copysign(bound, m) : m;
  }
  // std::fmin without the call: the other operand when one is NaN.
  static T smaller(T a, T b) { return a < b || b != b ? a : b; }

  // The interior slopes m[1 .. nx-2] of function j, one loop per rule.
  void interiors(int64_t j, T* m) const {
    const int64_t last = nx - 2;
    switch (rule) {
      case SlopeRule::kAkima:
        m[1] = akima(j, 1);
        for (int64_t i = 2; i < last; ++i) m[i] = akima_inside(i);
        m[last] = akima(j, last);
        break;
      case SlopeRule::kHermite:
        for (int64_t i = 1; i <= last; ++i) m[i] = job.inner[i - 1];
        break;
      case SlopeRule::kHyman:
        for (int64_t i = 1; i <= last; ++i) m[i] = hyman_filter(bessel_inside(i), chords[i - 1], chords[i]);
        break;
      default:
        for (int64_t i = 1; i <= last; ++i) m[i] = bessel_inside(i);
        break;
    }
  }
  // akima and bessel at a node whose chords all lie inside the data (the same operations).
  T akima_inside(int64_t i) const {
    const T dm2 = chords[i - 2], dm1 = chords[i - 1], d0 = chords[i], d1 = chords[i + 1];
    const T w_after = std::fabs(d1 - d0), w_before = std::fabs(dm1 - dm2);
    const T sum = w_after + w_before;
    if (sum < T(kAkimaFlat)) return (dm1 + d0) / T(2);
    return (w_after * dm1 + w_before * d0) / sum;
  }
  T bessel_inside(int64_t i) const {
    const T hl = g.step(i - 1), hr = g.step(i);
    return (hr * chords[i - 1] + hl * chords[i]) / (hl + hr);
  }

  // End slopes from the interior neighbour m_1 (or m_{nx-2}).
  void ends(int64_t j, T* m) const {
    const int64_t l = nx - 1;
    const T d0 = delta(j, 0), dn = delta(j, l - 1);
    const T h0 = g.step(0), hn = g.step(l - 1);
    switch (job.end) {
      case kEndAkima:
        m[0] = akima(j, 0);
        m[l] = akima(j, l);
        break;
      case kEndPeriodic:
        m[0] = rule == SlopeRule::kAkima ? akima(j, 0) : bessel(j, 0);
        if (rule == SlopeRule::kHyman) m[0] = hyman_filter(m[0], dn, d0);
        m[l] = m[0];
        return;
      case kEndNotAKnot: {
        const T curvature_left = (delta(j, 1) - d0) / (h0 + g.step(1));
        const T curvature_right = (dn - delta(j, l - 2)) / (g.step(l - 2) + hn);
        m[0] = d0 - curvature_left * h0;
        m[l] = dn + curvature_right * hn;
        break;
      }
      default: {
        // A given slope, or the natural cubic's end row for a given second derivative
        // (free ends: zero).
        const T left = job.ends != nullptr ? job.ends[0] : T(0);
        const T right = job.ends != nullptr ? job.ends[1] : T(0);
        const bool free = job.end == kEndFree;
        m[0] = left_is_slope(job.end) ? left : (T(3) * d0 - m[1] - h0 * (free ? T(0) : left) / T(2)) / T(2);
        m[l] = right_is_slope(job.end) ? right : (T(3) * dn - m[l - 1] + hn * (free ? T(0) : right) / T(2)) / T(2);
        if (left_is_slope(job.end) && right_is_slope(job.end)) return;  // given, not filtered
        break;
      }
    }
    if (rule == SlopeRule::kHyman) {
      // An end node has one chord: the same filter with that chord on both sides.
      if (!left_is_slope(job.end)) m[0] = hyman_filter(m[0], d0, d0);
      if (!right_is_slope(job.end)) m[l] = hyman_filter(m[l], dn, dn);
    }
  }
};

template <class T, bool kColumns, bool kUniform>
int32_t run_local(const Job<T>& job, SlopeRule rule) {
  const Task& t = *job.task;
  const int64_t nx = t.nx;
  T* m = static_cast<T*>(sibling::allocate(2 * uint64_t(nx) * sizeof(T)));
  if (m == nullptr) return kNoMemory;
  const LocalSlopes<T, kColumns, kUniform> s{
      job, rule, {t.values, function_count(t)},
      Grid<T, kUniform>::make(static_cast<const T*>(t.x), nx), nx, m + nx};
  for (int64_t j = 0; j < function_count(t); ++j) {
    s.load_chords(j);
    s.interiors(j, m);
    s.ends(j, m);
    hermite_cells(coefficient_block<T>(t, j), s.v, j, s.g, m, nx - 1);
  }
  sibling::deallocate(m);
  return kOk;
}

template <class T>
int32_t local_cubic(Task* t, SlopeRule rule) {
  if (t == nullptr) return kNullTask;
  const int64_t least = rule == SlopeRule::kAkima ? 5 : rule == SlopeRule::kHermite ? 3 : 4;
  if (t->nx < least) return kBadNodeCount;
  if (!storage_accepted(t->value_storage)) return kBadValueStorage;
  int end = 0;
  if (int32_t st = check_end_conditions(*t, rule == SlopeRule::kAkima, end); st != kOk) return st;
  if (rule == SlopeRule::kHermite && t->inner == nullptr) return kBadInnerConditions;
  if (int32_t st = check_tables(*t, 4 * (t->nx - 1)); st != kOk) return st;
  if (end == kEndPeriodic) {
    const bool ok = is_column_storage(*t)
                        ? all_periodic(*t, Values<T, true>{t->values, function_count(*t)})
                        : all_periodic(*t, Values<T, false>{t->values, function_count(*t)});
    if (!ok) return kNotPeriodic;
  }
  const Job<T> job{t, end, static_cast<const T*>(t->end), static_cast<const T*>(t->inner)};
  using Fn = int32_t (*)(const Job<T>&, SlopeRule);
  static constexpr Fn kWorkers[2][2] = {
      {&run_local<T, false, false>, &run_local<T, false, true>},
      {&run_local<T, true, false>, &run_local<T, true, true>}};
  return kWorkers[is_column_storage(*t)][is_uniform(*t)](job, rule);
}

}  // namespace
}  // namespace zorn::df

using namespace zorn::df;

#define ZORN_DF_LOCAL_CUBIC(name, rule)                                                          \
  int32_t zorn_df_kernel_dDF##name##CubicSpline1D(ZornDfTask* task, int64_t, int64_t, int64_t) { \
    return local_cubic<double>(task, SlopeRule::rule);                                           \
  }                                                                                              \
  int32_t zorn_df_kernel_sDF##name##CubicSpline1D(ZornDfTask* task, int64_t, int64_t, int64_t) { \
    return local_cubic<float>(task, SlopeRule::rule);                                            \
  }

extern "C" {
ZORN_DF_LOCAL_CUBIC(Akima, kAkima)
ZORN_DF_LOCAL_CUBIC(Bessel, kBessel)
ZORN_DF_LOCAL_CUBIC(Hermite, kHermite)
ZORN_DF_LOCAL_CUBIC(Hyman, kHyman)
}
