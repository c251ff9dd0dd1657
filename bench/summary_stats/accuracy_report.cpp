// Relative errors of the basic statistics on ill-conditioned data, against references
// summed exactly enough in long double (data shifted by one of their values, two
// passes). Prints one table per data set: methods 0x2, 0x100 and 0x1, and for
// comparison a plain two-pass loop and the raw-moment formula in double.
//
//   build-stats/bin/ss_accuracy
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "summary_stats/ss_test_support.h"

namespace {

using ss_test::DataSet;
using ss_test::Reference;

struct Errors {
  double mean = 0, variance = 0, skewness = 0, kurtosis = 0, covariance = 0;
  void worst(const Errors& o) {
    mean = std::max(mean, o.mean);
    variance = std::max(variance, o.variance);
    skewness = std::max(skewness, o.skewness);
    kurtosis = std::max(kurtosis, o.kurtosis);
    covariance = std::max(covariance, o.covariance);
  }
};

struct Exact {
  std::vector<Reference> moments;
  std::vector<long double> covariance;  // p*p
};

Exact exact_of(const DataSet& d, const std::vector<double>* w) {
  Exact e;
  for (int64_t i = 0; i < d.p; ++i) e.moments.push_back(ss_test::reference_of(d, i, w));
  e.covariance.resize(d.p * d.p);
  const long double f = 1 / (e.moments[0].W - e.moments[0].V / e.moments[0].W);
  for (int64_t i = 0; i < d.p; ++i)
    for (int64_t l = i; l < d.p; ++l)
      e.covariance[i * d.p + l] = ss_test::reference_cross(d, i, l, w) * f;
  return e;
}

// Worst relative error over the variables (and the upper triangle of the covariance).
Errors errors_of(const DataSet& d, const Exact& e, const double* mean, const double* var,
                 const double* skew, const double* kurt, const double* cov) {
  Errors out;
  for (int64_t i = 0; i < d.p; ++i) {
    const Reference& r = e.moments[i];
    Errors one;
    one.mean = ss_test::relative_error(mean[i], r.mean);
    one.variance = ss_test::relative_error(var[i], r.variance());
    one.skewness = ss_test::relative_error(skew[i], r.skewness());
    one.kurtosis = ss_test::relative_error(kurt[i], r.kurtosis());
    if (cov != nullptr)
      for (int64_t l = i; l < d.p; ++l)
        one.covariance = std::max(one.covariance, ss_test::relative_error(cov[i * d.p + l],
                                                                          e.covariance[i * d.p + l]));
    out.worst(one);
  }
  return out;
}

Errors ours(const DataSet& d, const Exact& e, const std::vector<double>* w, int32_t method) {
  ss_test::Task task(d, w ? w->data() : nullptr);
  std::vector<double> mean(d.p), r2(d.p), r3(d.p), r4(d.p), c2(d.p), c3(d.p), c4(d.p),
      kurt(d.p), skew(d.p), cov(d.p * d.p), weights(2);
  int32_t full = PAVO_SS_MATRIX_FULL;
  __pavodSSEditMoments(task.handle, mean.data(), r2.data(), r3.data(), r4.data(), c2.data(),
                       c3.data(), c4.data());
  __pavodSSEditCovCor(task.handle, nullptr, cov.data(), &full, nullptr, nullptr);
  __pavodSSEditTask(task.handle, PAVO_SS_ID_KURTOSIS, kurt.data());
  __pavodSSEditTask(task.handle, PAVO_SS_ID_SKEWNESS, skew.data());
  __pavodSSEditTask(task.handle, PAVO_SS_ID_ACCUMULATED_WEIGHTS, weights.data());
  const uint64_t mask = PAVO_SS_MEAN | PAVO_SS_CENTRAL_MOMENT_2 | PAVO_SS_KURTOSIS |
                        PAVO_SS_SKEWNESS | PAVO_SS_COVARIANCE;
  if (_pavodSSBasic(task.handle, mask, method, ss_test::real_service()) != 0) std::abort();
  return errors_of(d, e, mean.data(), c2.data(), skew.data(), kurt.data(), cov.data());
}

// The textbook loops in double: two passes, or the raw-moment formulas of one pass.
Errors plain(const DataSet& d, const Exact& e, const std::vector<double>* w, bool raw) {
  std::vector<double> mean(d.p), var(d.p), skew(d.p), kurt(d.p);
  for (int64_t i = 0; i < d.p; ++i) {
    double W = 0, V = 0, s[5] = {};
    for (int64_t j = 0; j < d.n; ++j) {
      const double wj = w ? (*w)[j] : 1, x = d.at(i, j);
      W += wj, V += wj * wj;
      s[1] += wj * x, s[2] += wj * x * x, s[3] += wj * x * x * x, s[4] += wj * x * x * x * x;
    }
    const double m = s[1] / W;
    double m2, m3, m4;
    if (raw) {
      const double r2 = s[2] / W, r3 = s[3] / W, r4 = s[4] / W;
      m2 = (r2 - m * m) * W;
      m3 = (r3 - 3 * m * r2 + 2 * m * m * m) * W;
      m4 = (r4 - 4 * m * r3 + 6 * m * m * r2 - 3 * m * m * m * m) * W;
    } else {
      m2 = m3 = m4 = 0;
      for (int64_t j = 0; j < d.n; ++j) {
        const double wj = w ? (*w)[j] : 1, dv = d.at(i, j) - m;
        m2 += wj * dv * dv, m3 += wj * dv * dv * dv, m4 += wj * dv * dv * dv * dv;
      }
    }
    mean[i] = m;
    var[i] = m2 / (W - V / W);
    skew[i] = (m3 / W) / std::pow(var[i], 1.5);
    kurt[i] = (m4 / W) / (var[i] * var[i]) - 3;
  }
  return errors_of(d, e, mean.data(), var.data(), skew.data(), kurt.data(), nullptr);
}

void report(const char* title, const DataSet& d, const std::vector<double>* w) {
  const Exact e = exact_of(d, w);
  std::printf("\n%s (p = %lld, n = %lld%s)\n", title, static_cast<long long>(d.p),
              static_cast<long long>(d.n), w ? ", weighted" : "");
  std::printf("  %-26s %10s %10s %10s %10s %10s\n", "method", "mean", "variance", "skewness",
              "kurtosis", "covariance");
  auto row = [](const char* name, const Errors& r, bool cov) {
    std::printf("  %-26s %10.1e %10.1e %10.1e %10.1e ", name, r.mean, r.variance, r.skewness,
                r.kurtosis);
    if (cov) std::printf("%10.1e\n", r.covariance);
    else std::printf("%10s\n", "-");
  };
  row("0x2 blocked one-pass", ours(d, e, w, 0x2), true);
  row("0x100 per observation", ours(d, e, w, 0x100), true);
  row("0x1 fast (raw moments)", ours(d, e, w, 0x1), true);
  row("plain two-pass loop", plain(d, e, w, false), false);
  row("raw-moment formula", plain(d, e, w, true), false);
}

}  // namespace

int main() {
  std::printf("Worst relative error against long double references\n");
  const DataSet offset = ss_test::gaussian_data(1, 1000000, PAVO_SS_STORAGE_ROWS, 1e9, 1.0, 1);
  report("Large mean, tiny spread: 1e9 + N(0, 1)", offset, nullptr);

  // Mixed signs and magnitudes: N(0, 1) scaled by 2^k, k uniform in [-20, 20).
  DataSet mixed = ss_test::gaussian_data(1, 1000000, PAVO_SS_STORAGE_ROWS, 0.0, 1.0, 2);
  std::mt19937_64 rng(3);
  for (double& x : mixed.x) x = std::ldexp(x, static_cast<int>(rng() % 40) - 20);
  report("Mixed signs and magnitudes", mixed, nullptr);

  std::vector<double> w(offset.n);
  for (double& v : w) v = std::uniform_real_distribution<double>(0.1, 10.0)(rng);
  report("Large mean, tiny spread, weights U(0.1, 10)", offset, &w);

  const DataSet wide = ss_test::gaussian_data(100, 20000, PAVO_SS_STORAGE_COLUMNS, 1e6, 1.0, 4);
  report("p = 100 variables, means 1e6 .. 1e8, correlated", wide, nullptr);
  return 0;
}
