// Values of the basic statistics against long double references, in both layouts, with
// and without weights, for the three one-pass methods; portions, threads and the
// methods from stored sums.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ss_test_support.h"

namespace {

using ss_test::DataSet;
using ss_test::Reference;
using ss_test::Task;
using ss_test::relative_error;

constexpr uint64_t kMoments = PAVO_SS_MEAN | PAVO_SS_RAW_MOMENT_2 | PAVO_SS_RAW_MOMENT_3 |
                              PAVO_SS_RAW_MOMENT_4 | PAVO_SS_CENTRAL_MOMENT_2 |
                              PAVO_SS_CENTRAL_MOMENT_3 | PAVO_SS_CENTRAL_MOMENT_4 |
                              PAVO_SS_KURTOSIS | PAVO_SS_SKEWNESS | PAVO_SS_VARIATION;
constexpr uint64_t kMatrices = PAVO_SS_COVARIANCE | PAVO_SS_CORRELATION | PAVO_SS_CROSS_PRODUCT;
constexpr uint64_t kSums = PAVO_SS_SUM_1 | PAVO_SS_RAW_SUM_2 | PAVO_SS_RAW_SUM_3 |
                           PAVO_SS_RAW_SUM_4 | PAVO_SS_CENTRAL_SUM_2 | PAVO_SS_CENTRAL_SUM_3 |
                           PAVO_SS_CENTRAL_SUM_4;

// Every result array of the basic statistics, attached to a task, all zero.
template <class R>
struct Outputs {
  int64_t p;
  std::vector<R> mean, raw[3], central[3], kurtosis, skewness, variation, sum1, raw_sum[3],
      central_sum[3], cov, cor, cp, weights;
  int32_t cov_storage, cor_storage, cp_storage;
  Outputs(PAVO_SS_TASK task, int64_t p_, int32_t matrix_storage = PAVO_SS_MATRIX_FULL)
      : p(p_), cov_storage(matrix_storage), cor_storage(matrix_storage), cp_storage(matrix_storage) {
    for (auto* v : {&mean, &raw[0], &raw[1], &raw[2], &central[0], &central[1], &central[2],
                    &kurtosis, &skewness, &variation, &sum1, &raw_sum[0], &raw_sum[1],
                    &raw_sum[2], &central_sum[0], &central_sum[1], &central_sum[2]})
      v->assign(p, 0);
    for (auto* m : {&cov, &cor, &cp}) m->assign(p * p, 0);
    weights.assign(2, 0);
    edit(task);
  }
  void edit(PAVO_SS_TASK t) {
    if constexpr (sizeof(R) == 8) {
      __pavodSSEditMoments(t, mean.data(), raw[0].data(), raw[1].data(), raw[2].data(),
                           central[0].data(), central[1].data(), central[2].data());
      __pavodSSEditSums(t, sum1.data(), raw_sum[0].data(), raw_sum[1].data(), raw_sum[2].data(),
                        central_sum[0].data(), central_sum[1].data(), central_sum[2].data());
      __pavodSSEditCovCor(t, nullptr, cov.data(), &cov_storage, cor.data(), &cor_storage);
      __pavodSSEditCP(t, nullptr, nullptr, cp.data(), &cp_storage);
      __pavodSSEditTask(t, PAVO_SS_ID_KURTOSIS, kurtosis.data());
      __pavodSSEditTask(t, PAVO_SS_ID_SKEWNESS, skewness.data());
      __pavodSSEditTask(t, PAVO_SS_ID_VARIATION, variation.data());
      __pavodSSEditTask(t, PAVO_SS_ID_ACCUMULATED_WEIGHTS, weights.data());
    } else {
      __pavosSSEditMoments(t, mean.data(), raw[0].data(), raw[1].data(), raw[2].data(),
                           central[0].data(), central[1].data(), central[2].data());
      __pavosSSEditCovCor(t, nullptr, cov.data(), &cov_storage, cor.data(), &cor_storage);
      __pavosSSEditTask(t, PAVO_SS_ID_KURTOSIS, kurtosis.data());
      __pavosSSEditTask(t, PAVO_SS_ID_SKEWNESS, skewness.data());
      __pavosSSEditTask(t, PAVO_SS_ID_ACCUMULATED_WEIGHTS, weights.data());
    }
  }
  // Element (i, l) of a matrix result, whatever its storage.
  double matrix(const std::vector<R>& m, int32_t storage, int64_t i, int64_t l) const {
    if (i > l) std::swap(i, l);
    if (storage & PAVO_SS_MATRIX_PACKED) return m[i * p - i * (i - 1) / 2 + (l - i)];
    return m[i * p + l];
  }
};

// Checks every moment-type result of variable i against the reference.
template <class R>
void expect_moments(const Outputs<R>& out, int64_t i, const Reference& ref, double tol) {
  EXPECT_LE(relative_error(out.mean[i], ref.mean), tol) << "mean of " << i;
  for (int k = 0; k < 3; ++k)
    EXPECT_LE(relative_error(out.raw[k][i], ref.raw[k + 2]), tol) << "raw " << k + 2;
  EXPECT_LE(relative_error(out.central[0][i], ref.variance()), tol) << "variance of " << i;
  EXPECT_LE(relative_error(out.central[1][i], ref.c3()), tol * 100) << "c3 of " << i;
  EXPECT_LE(relative_error(out.central[2][i], ref.c4()), tol) << "c4 of " << i;
  EXPECT_LE(relative_error(out.skewness[i], ref.skewness()), tol * 100) << "skewness";
  EXPECT_LE(relative_error(out.kurtosis[i], ref.kurtosis()), tol * 10) << "kurtosis";
  EXPECT_LE(relative_error(out.variation[i], std::sqrt(ref.variance()) / ref.mean), tol);
}

struct Case {
  int32_t method;
  int64_t storage;
  bool weighted;
  int32_t matrix_storage;
};

class SSBasicValues : public ::testing::TestWithParam<Case> {};

TEST_P(SSBasicValues, MatchTwoPassLongDoubleReference) {
  const Case c = GetParam();
  const DataSet d = ss_test::gaussian_data(4, 1500, c.storage, 3.0, 2.0, 11);
  std::vector<double> w(d.n);
  std::mt19937_64 rng(5);
  for (double& v : w) v = 0.25 + std::uniform_real_distribution<double>(0, 2)(rng);
  const std::vector<double>* weights = c.weighted ? &w : nullptr;
  Task task(d, c.weighted ? w.data() : nullptr);
  Outputs<double> out(task.handle, d.p, c.matrix_storage);
  ASSERT_EQ(_pavodSSBasic(task.handle, kMoments | kMatrices | kSums, c.method,
                          ss_test::real_service()),
            0);
  // The fast method derives central statistics from raw moments and loses digits even
  // on this mildly offset data; the others must stay close to the exact values.
  const double tol = c.method == 0x1 ? 1e-9 : 1e-12;
  for (int64_t i = 0; i < d.p; ++i) {
    const Reference ref = ss_test::reference_of(d, i, weights);
    expect_moments(out, i, ref, tol);
    EXPECT_LE(relative_error(out.sum1[i], ref.mean * ref.W), 1e-12);
    EXPECT_LE(relative_error(out.raw_sum[2][i], ref.raw[4] * ref.W), 1e-12);
    EXPECT_LE(relative_error(out.central_sum[0][i], ref.central[2]), tol);
    for (int64_t l = 0; l < d.p; ++l) {
      const long double cross = ss_test::reference_cross(d, i, l, weights);
      const long double cov = cross / (ref.W - ref.V / ref.W);
      const Reference rl = ss_test::reference_of(d, l, weights);
      const long double cor = cross / std::sqrt(ref.central[2] * rl.central[2]);
      EXPECT_LE(relative_error(out.matrix(out.cov, c.matrix_storage, i, l), cov), tol);
      EXPECT_LE(relative_error(out.matrix(out.cor, c.matrix_storage, i, l), cor), tol);
      EXPECT_LE(relative_error(out.matrix(out.cp, c.matrix_storage, i, l), cross), tol);
    }
  }
  EXPECT_DOUBLE_EQ(out.weights[0], c.weighted ? static_cast<double>(ss_test::reference_of(d, 0, &w).W) : 1500.0);
  if (c.matrix_storage == PAVO_SS_MATRIX_PACKED) {  // packed storage writes p(p+1)/2 entries
    for (int64_t k = d.p * (d.p + 1) / 2; k < d.p * d.p; ++k) EXPECT_EQ(out.cov[k], 0.0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    MethodsLayoutsWeights, SSBasicValues,
    ::testing::Values(Case{0x2, PAVO_SS_STORAGE_ROWS, false, 0},
                      Case{0x2, PAVO_SS_STORAGE_COLUMNS, false, 2},
                      Case{0x2, PAVO_SS_STORAGE_ROWS, true, 2},
                      Case{0x2, PAVO_SS_STORAGE_COLUMNS, true, 0},
                      Case{0x100, PAVO_SS_STORAGE_ROWS, false, 2},
                      Case{0x100, PAVO_SS_STORAGE_COLUMNS, true, 0},
                      Case{0x100, PAVO_SS_STORAGE_ROWS, true, 0},
                      Case{0x1, PAVO_SS_STORAGE_ROWS, false, 0},
                      Case{0x1, PAVO_SS_STORAGE_COLUMNS, false, 2},
                      Case{0x1, PAVO_SS_STORAGE_COLUMNS, true, 0},
                      Case{0x1, PAVO_SS_STORAGE_ROWS, true, 2}));

// Runs the estimates over [0, split) and [split, n) as two portions of one series.
template <class Body>
void in_two_portions(const DataSet& d, int64_t split, Body body) {
  DataSet first{d.p, split, d.storage, {}}, second{d.p, d.n - split, d.storage, {}};
  for (int64_t j = 0; j < d.n; ++j)
    for (int64_t i = 0; i < d.p; ++i) {
      DataSet& part = j < split ? first : second;
      part.x.resize(d.p * part.n);
      const int64_t jj = j < split ? j : j - split;
      (d.storage == PAVO_SS_STORAGE_ROWS ? part.x[i * part.n + jj] : part.x[jj * d.p + i]) = d.at(i, j);
    }
  body(first, second);
}

TEST(SSBasicPortions, TwoUnevenWeightedPortionsEqualOneCall) {
  for (int32_t method : {0x1, 0x2, 0x100}) {
    // The fast method is checked on data it can handle; the others on a large offset.
    const double offset = method == 0x1 ? 0.5 : 1e3;
    const DataSet d = ss_test::gaussian_data(3, 1001, PAVO_SS_STORAGE_COLUMNS, offset, 1.0, 21);
    std::vector<double> w(d.n);
    for (int64_t j = 0; j < d.n; ++j) w[j] = 1 + (j % 7);
    Task whole(d, w.data());
    Outputs<double> expected(whole.handle, d.p);
    ASSERT_EQ(_pavodSSBasic(whole.handle, kMoments | kMatrices, method, nullptr), 0);

    in_two_portions(d, 137, [&](const DataSet& a, const DataSet& b) {
      std::vector<double> wa(w.begin(), w.begin() + 137), wb(w.begin() + 137, w.end());
      Task ta(a, wa.data()), tb(b, wb.data());
      Outputs<double> out(ta.handle, d.p);
      ASSERT_EQ(_pavodSSBasic(ta.handle, kMoments | kMatrices, method, nullptr), 0);
      out.edit(tb.handle);  // the same result arrays and accumulated weights continue
      ASSERT_EQ(_pavodSSBasic(tb.handle, kMoments | kMatrices, method, nullptr), 0);
      const double tol = method == 0x1 ? 1e-9 : 1e-12;
      for (int64_t i = 0; i < d.p; ++i) {
        EXPECT_NEAR(out.mean[i], expected.mean[i], tol * std::fabs(expected.mean[i]));
        EXPECT_NEAR(out.central[0][i], expected.central[0][i], tol * expected.central[0][i]);
        EXPECT_NEAR(out.kurtosis[i], expected.kurtosis[i], 1e-8) << method;
        for (int64_t l = 0; l < d.p; ++l)
          EXPECT_NEAR(out.cov[i * d.p + l], expected.cov[i * d.p + l], tol * expected.cov[0]);
      }
      EXPECT_EQ(out.weights[0], expected.weights[0]);
      EXPECT_EQ(out.weights[1], expected.weights[1]);
    });
  }
}

// Estimates whose running state has no result field of their own (M3 behind kurtosis,
// the variances behind a correlation) continue through the task's work buffer.
TEST(SSBasicPortions, KurtosisAndCorrelationAloneContinue) {
  const DataSet d = ss_test::gaussian_data(3, 800, PAVO_SS_STORAGE_ROWS, 5.0, 1.5, 3);
  double W[2] = {0, 0}, mean[3], r2[3], r3[3], r4[3], c2[3], c4[3], kurt[3], cor[9];
  auto attach = [&](PAVO_SS_TASK t) {
    __pavodSSEditMoments(t, mean, r2, r3, r4, c2, nullptr, c4);
    __pavodSSEditTask(t, PAVO_SS_ID_KURTOSIS, kurt);
    __pavodSSEditTask(t, PAVO_SS_ID_CORRELATION, cor);
    __pavodSSEditTask(t, PAVO_SS_ID_ACCUMULATED_WEIGHTS, W);
  };
  const uint64_t mask = PAVO_SS_KURTOSIS | PAVO_SS_CORRELATION;
  in_two_portions(d, 300, [&](const DataSet& a, const DataSet& b) {
    Task ta(a);
    attach(ta.handle);
    ASSERT_EQ(_pavodSSBasic(ta.handle, mask, 0x2, nullptr), 0);
    // The second portion runs on the same task, its data and count edited in.
    int32_t n = static_cast<int32_t>(b.n);
    __pavodSSEditTask(ta.handle, PAVO_SS_ID_OBSERVATIONS, const_cast<double*>(b.x.data()));
    __pavoiSSEditTask(ta.handle, PAVO_SS_ID_OBSERVATION_COUNT, &n);
    ASSERT_EQ(_pavodSSBasic(ta.handle, mask, 0x2, nullptr), 0);
  });
  for (int64_t i = 0; i < d.p; ++i) {
    const Reference ref = ss_test::reference_of(d, i, nullptr);
    EXPECT_LE(relative_error(kurt[i], ref.kurtosis()), 1e-11);
    for (int64_t l = 0; l < d.p; ++l) {
      const Reference rl = ss_test::reference_of(d, l, nullptr);
      const long double exact =
          ss_test::reference_cross(d, i, l, nullptr) / std::sqrt(ref.central[2] * rl.central[2]);
      EXPECT_LE(relative_error(cor[i * d.p + l], exact), 1e-12);
    }
  }
}

TEST(SSBasicWeights, WeightsOfTwoGiveTheUnweightedVariance) {
  const DataSet d = ss_test::gaussian_data(2, 333, PAVO_SS_STORAGE_ROWS, 10, 3, 8);
  std::vector<double> twos(d.n, 2.0);
  for (int32_t method : {0x1, 0x2, 0x100}) {
    Task plain(d), weighted(d, twos.data());
    Outputs<double> a(plain.handle, d.p), b(weighted.handle, d.p);
    ASSERT_EQ(_pavodSSBasic(plain.handle, kMoments | PAVO_SS_COVARIANCE, method, nullptr), 0);
    ASSERT_EQ(_pavodSSBasic(weighted.handle, kMoments | PAVO_SS_COVARIANCE, method, nullptr), 0);
    for (int64_t i = 0; i < d.p; ++i) {
      EXPECT_NEAR(b.central[0][i], a.central[0][i], 1e-12 * a.central[0][i]);
      EXPECT_NEAR(b.cov[i], a.cov[i], 1e-12 * a.cov[0]);
    }
    EXPECT_EQ(b.weights[0], 2 * d.n);
    EXPECT_EQ(b.weights[1], 4 * d.n);
  }
}

TEST(SSBasicThreads, SmallDataUsesOneThreadAndLargeDataSplits) {
  const DataSet small = ss_test::gaussian_data(2, 10, PAVO_SS_STORAGE_ROWS, 1, 1, 1);
  Task ts(small);
  Outputs<double> os(ts.handle, 2);
  ASSERT_EQ(_pavodSSBasic(ts.handle, kMoments, 0x2, ss_test::SpyService::table(8)), 0);
  for (int64_t count : ss_test::SpyService::counts) EXPECT_EQ(count, 1);

  const DataSet large = ss_test::gaussian_data(2, 40000, PAVO_SS_STORAGE_COLUMNS, 1, 1, 2);
  Task tl(large);
  Outputs<double> split(tl.handle, 2);
  ASSERT_EQ(_pavodSSBasic(tl.handle, kMoments | PAVO_SS_COVARIANCE, 0x2,
                          ss_test::SpyService::table(8)),
            0);
  ASSERT_EQ(ss_test::SpyService::counts, std::vector<int64_t>{8});
  Task tw(large);
  Outputs<double> whole(tw.handle, 2);
  ASSERT_EQ(_pavodSSBasic(tw.handle, kMoments | PAVO_SS_COVARIANCE, 0x2,
                          ss_test::SpyService::table(1)),
            0);
  EXPECT_TRUE(ss_test::SpyService::counts.empty());
  for (int64_t i = 0; i < 2; ++i) {
    EXPECT_NEAR(split.mean[i], whole.mean[i], 1e-14 * std::fabs(whole.mean[i]) + 1e-15);
    EXPECT_NEAR(split.central[0][i], whole.central[0][i], 1e-13 * whole.central[0][i]);
    EXPECT_NEAR(split.kurtosis[i], whole.kurtosis[i], 1e-11);
    EXPECT_NEAR(split.cov[i], whole.cov[i], 1e-13 * whole.cov[0]);
  }
}

TEST(SSBasicSelection, UnselectedVariablesDoNotReachTheResults) {
  for (int64_t storage : {PAVO_SS_STORAGE_ROWS, PAVO_SS_STORAGE_COLUMNS}) {
    DataSet d = ss_test::gaussian_data(3, 500, storage, 2, 1, 4);
    for (int64_t j = 0; j < d.n; ++j)  // variable 1, left out, holds NaNs
      (storage == PAVO_SS_STORAGE_ROWS ? d.x[1 * d.n + j] : d.x[j * 3 + 1]) = std::nan("");
    const int32_t selection[3] = {1, 0, 1};
    for (int32_t method : {0x1, 0x2, 0x100}) {
      Task task(d, nullptr, selection);
      Outputs<double> out(task.handle, d.p);
      out.mean[1] = out.cov[1 * 3 + 0] = out.cov[4] = -7;
      ASSERT_EQ(_pavodSSBasic(task.handle, kMoments | PAVO_SS_COVARIANCE, method, nullptr), 0);
      EXPECT_EQ(out.mean[1], -7);
      EXPECT_EQ(out.cov[4], -7);
      EXPECT_EQ(out.cov[3], -7);
      EXPECT_LE(relative_error(out.mean[2], ss_test::reference_of(d, 2, nullptr).mean), 1e-13);
      EXPECT_LE(relative_error(out.cov[2], ss_test::reference_cross(d, 0, 2, nullptr) / 499), 1e-12);
      EXPECT_LE(relative_error(out.kurtosis[0], ss_test::reference_of(d, 0, nullptr).kurtosis()), 1e-9);
    }
  }
}

// Integer parameters of 64 bits: p, n, the storage codes, the selection and the number
// of quantile orders are all read at the task's width.
TEST(SSBasicWidth, SixtyFourBitParameters) {
  const DataSet d = ss_test::gaussian_data(2, 300, PAVO_SS_STORAGE_COLUMNS, 1, 1, 14);
  int64_t p = 2, n = 300, storage = PAVO_SS_STORAGE_COLUMNS, packed = PAVO_SS_MATRIX_PACKED, m = 1;
  const int64_t selection[2] = {0, int64_t{1} << 32};  // only the high half is set
  double mean[2] = {-7, -7}, cov[4] = {-7, -7, -7, -7}, W[2] = {0, 0}, half = 0.5, median[1];
  PAVO_SS_TASK task = nullptr;
  ASSERT_EQ(__pavodSSNewTask(&task, &p, &n, &storage, d.x.data(), nullptr, selection, 1), 0);
  __pavodSSEditCovCor(task, mean, cov, &packed, nullptr, nullptr);
  __pavodSSEditTask(task, PAVO_SS_ID_ACCUMULATED_WEIGHTS, W);
  __pavodSSEditQuantiles(task, &m, &half, median, nullptr, nullptr);
  ASSERT_EQ(_pavodSSBasic(task, PAVO_SS_COVARIANCE, 0x2, nullptr), 0);
  ASSERT_EQ(_pavodSSQuantiles(task, PAVO_SS_QUANTILES, 0x1, nullptr), 0);
  EXPECT_EQ(mean[0], -7);
  EXPECT_LE(relative_error(mean[1], ss_test::reference_of(d, 1, nullptr).mean), 1e-14);
  // Packed upper triangle of 2 variables: (0,0), (0,1), (1,1); only (1,1) is selected.
  EXPECT_EQ(cov[0], -7);
  EXPECT_LE(relative_error(cov[2], ss_test::reference_of(d, 1, nullptr).variance()), 1e-13);
  EXPECT_EQ(cov[3], -7);
  EXPECT_EQ(W[0], 300);
  std::vector<double> values(300);
  for (int64_t j = 0; j < 300; ++j) values[j] = d.at(1, j);
  std::sort(values.begin(), values.end());
  EXPECT_NEAR(median[0], (values[149] + values[150]) / 2, 1e-15);
  __pavoSSDeleteTask(&task);
}

TEST(SSBasicStoredSums, MomentsFromSumsEqualTheDirectMoments) {
  const DataSet d = ss_test::gaussian_data(3, 600, PAVO_SS_STORAGE_COLUMNS, 4, 2, 9);
  Task direct(d);
  Outputs<double> expected(direct.handle, d.p);
  ASSERT_EQ(_pavodSSBasic(direct.handle, kMoments | kMatrices | kSums, 0x2, nullptr), 0);
  for (int32_t method : {0x200, 0x400}) {
    int32_t p = 3;
    PAVO_SS_TASK task = nullptr;
    ASSERT_EQ(__pavodSSNewTask(&task, &p, nullptr, nullptr, nullptr, nullptr, nullptr, 0), 0);
    Outputs<double> out(task, d.p);
    out.sum1 = expected.sum1;
    for (int k = 0; k < 3; ++k) out.raw_sum[k] = expected.raw_sum[k], out.central_sum[k] = expected.central_sum[k];
    out.cp = expected.cp;
    out.weights = expected.weights;
    ASSERT_EQ(_pavodSSBasic(task, kMoments | PAVO_SS_COVARIANCE | PAVO_SS_CORRELATION, method, nullptr), 0);
    for (int64_t i = 0; i < d.p; ++i) {
      EXPECT_NEAR(out.mean[i], expected.mean[i], 1e-14 * std::fabs(expected.mean[i]));
      EXPECT_NEAR(out.central[0][i], expected.central[0][i], 1e-14 * expected.central[0][i]);
      EXPECT_NEAR(out.kurtosis[i], expected.kurtosis[i], 1e-13);
      EXPECT_NEAR(out.cor[i], expected.cor[i], 1e-14);
    }
    __pavoSSDeleteTask(&task);
  }
}

TEST(SSBasicSingle, SinglePrecisionAccumulatesInDouble) {
  const DataSet d = ss_test::gaussian_data(2, 5000, PAVO_SS_STORAGE_ROWS, 100, 1, 12);
  std::vector<float> xf(d.x.begin(), d.x.end());
  DataSet rounded{d.p, d.n, d.storage, std::vector<double>(xf.begin(), xf.end())};
  int32_t p = 2, n = 5000, storage = PAVO_SS_STORAGE_ROWS;
  PAVO_SS_TASK task = nullptr;
  ASSERT_EQ(__pavosSSNewTask(&task, &p, &n, &storage, xf.data(), nullptr, nullptr, 0), 0);
  Outputs<float> out(task, 2);
  ASSERT_EQ(_pavosSSBasic(task, kMoments & ~PAVO_SS_VARIATION, 0x2, ss_test::real_service()), 0);
  for (int64_t i = 0; i < 2; ++i) {
    const Reference ref = ss_test::reference_of(rounded, i, nullptr);
    EXPECT_LE(relative_error(out.mean[i], ref.mean), 1e-7);
    EXPECT_LE(relative_error(out.central[0][i], ref.variance()), 1e-6);
    EXPECT_LE(relative_error(out.kurtosis[i], ref.kurtosis()), 1e-4);
  }
  __pavoSSDeleteTask(&task);
}

TEST(SSBasicEmpty, NoObservationsDividesByNothing) {
  DataSet d{2, 0, PAVO_SS_STORAGE_ROWS, std::vector<double>(1)};
  int32_t p = 2, n = 0, storage = PAVO_SS_STORAGE_ROWS;
  PAVO_SS_TASK task = nullptr;
  ASSERT_EQ(__pavodSSNewTask(&task, &p, &n, &storage, nullptr, nullptr, nullptr, 0), 0);
  __pavodSSEditTask(task, PAVO_SS_ID_OBSERVATIONS, d.x.data());
  Outputs<double> out(task, 2);
  ASSERT_EQ(_pavodSSBasic(task, PAVO_SS_MEAN | PAVO_SS_CENTRAL_MOMENT_2 | PAVO_SS_COVARIANCE, 0x2, nullptr), 0);
  EXPECT_EQ(out.central[0][0], 0.0);
  EXPECT_EQ(out.cov[1], 0.0);
  __pavoSSDeleteTask(&task);
}


// On one task the continued call starts from the unrounded running mean, so portions
// of data with a mean of 1e9 and unit spread keep the variance to a few ulps.
TEST(SSBasicPortions, LargeMeanPortionsOnOneTaskStayExact) {
  const DataSet d = ss_test::gaussian_data(1, 30000, PAVO_SS_STORAGE_ROWS, 1e9, 1.0, 31);
  const Reference ref = ss_test::reference_of(d, 0, nullptr);
  for (int32_t method : {0x2, 0x100}) {
    double W[2] = {0, 0}, mean = 0, r2 = 0, c2 = 0;
    int32_t p = 1, n = 0, rows = PAVO_SS_STORAGE_ROWS;
    PAVO_SS_TASK task = nullptr;
    ASSERT_EQ(__pavodSSNewTask(&task, &p, &n, &rows, nullptr, nullptr, nullptr, 0), 0);
    __pavodSSEditMoments(task, &mean, &r2, nullptr, nullptr, &c2, nullptr, nullptr);
    __pavodSSEditTask(task, PAVO_SS_ID_ACCUMULATED_WEIGHTS, W);
    for (int64_t start = 0; start < d.n; start += n) {
      n = static_cast<int32_t>(std::min<int64_t>(7001, d.n - start));
      __pavodSSEditTask(task, PAVO_SS_ID_OBSERVATIONS, const_cast<double*>(d.x.data()) + start);
      ASSERT_EQ(_pavodSSBasic(task, PAVO_SS_CENTRAL_MOMENT_2, method, nullptr), 0);
    }
    EXPECT_LE(relative_error(c2, ref.variance()), 1e-14) << method;
    EXPECT_LE(relative_error(mean, ref.mean), 1e-16) << method;
    __pavoSSDeleteTask(&task);
  }
}

}  // namespace
