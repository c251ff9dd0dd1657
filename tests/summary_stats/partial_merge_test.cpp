// The public merge of partial results: a data set cut into parts (empty parts and
// single observations included), each part summarised by a task into the flat partial
// layout, the parts merged in order, against the long double two-pass reference over
// the whole set.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ss_test_support.h"
#include "zorn/ss_merge.h"

namespace {

using ss_test::DataSet;

// One task over observations [begin, end) of d writing into the flat partial s.
void summarise(const DataSet& d, const std::vector<double>* weights, int64_t begin, int64_t end,
               std::vector<double>& s) {
  int64_t p = d.p, n = end - begin, storage = PAVO_SS_STORAGE_COLUMNS,
          cp_storage = PAVO_SS_MATRIX_FULL;
  s.assign(zorn_ss_partial_size(p), 0.0);
  if (n == 0) return;
  PAVO_SS_TASK task = nullptr;
  ASSERT_EQ(__pavodSSNewTask(&task, &p, &n, &storage, d.x.data() + begin * p,
                             weights ? weights->data() + begin : nullptr, nullptr, 1),
            0);
  double* m = s.data();
  ASSERT_EQ(__pavodSSEditTask(task, PAVO_SS_ID_ACCUMULATED_WEIGHTS, m + ZORN_SS_PARTIAL_WEIGHTS), 0);
  ASSERT_EQ(__pavodSSEditSums(task, nullptr, nullptr, nullptr, nullptr,
                              m + zorn_ss_partial_central_sum_at(p, 2),
                              m + zorn_ss_partial_central_sum_at(p, 3),
                              m + zorn_ss_partial_central_sum_at(p, 4)),
            0);
  ASSERT_EQ(__pavodSSEditCP(task, m + ZORN_SS_PARTIAL_MEAN, nullptr,
                            m + zorn_ss_partial_cross_product_at(p), &cp_storage),
            0);
  const uint64_t mask = PAVO_SS_MEAN | PAVO_SS_CENTRAL_SUM_2 | PAVO_SS_CENTRAL_SUM_3 |
                        PAVO_SS_CENTRAL_SUM_4 | PAVO_SS_CROSS_PRODUCT;
  EXPECT_EQ(_pavodSSBasic(task, mask, PAVO_SS_METHOD_ONE_PASS, nullptr), 0);
  __pavoSSDeleteTask(&task);
}

struct MergeCase {
  const char* name;
  double offset, scale;
  bool weighted;
  std::vector<int64_t> cuts;  // part boundaries inside [0, n]
  // Relative tolerance of the second-order results: a mean 10^7 times the spread costs
  // a double one-pass method (whole or merged) about that factor times 2^-53.
  double tolerance;
};

TEST(PartialMerge, PartsMergedInOrderEqualTheWholeSet) {
  const int64_t p = 3, n = 4000;
  const std::vector<MergeCase> cases = {
      {"even halves", 0, 1, false, {2000}, 1e-12},
      {"empty and single parts", 5, 2, false, {0, 0, 1, 1, 2, 1999, 3999}, 1e-12},
      {"weighted, uneven", -3, 0.5, true, {7, 700, 701, 3000}, 1e-12},
      {"huge mean, small spread", 1e8, 10, true, {1, 1000, 2500}, 1e-9},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const DataSet d = ss_test::gaussian_data(p, n, PAVO_SS_STORAGE_COLUMNS, c.offset, c.scale, 7);
    std::vector<double> weights(n);
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> u(0.1, 10);
    for (double& w : weights) w = u(rng);
    const std::vector<double>* wp = c.weighted ? &weights : nullptr;

    std::vector<int64_t> bounds = {0};
    bounds.insert(bounds.end(), c.cuts.begin(), c.cuts.end());
    bounds.push_back(n);
    std::vector<double> merged(zorn_ss_partial_size(p), 0.0), part;
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
      summarise(d, wp, bounds[k], bounds[k + 1], part);
      zorn_ss_partial_merge(p, merged.data(), part.data());
    }

    for (int64_t i = 0; i < p; ++i) {
      const ss_test::Reference r = ss_test::reference_of(d, i, wp);
      EXPECT_DOUBLE_EQ(merged[0], static_cast<double>(r.W));
      EXPECT_NEAR(merged[1], static_cast<double>(r.V), 1e-12 * static_cast<double>(r.V));
      EXPECT_NEAR(zorn_ss_partial_mean(merged.data(), i), static_cast<double>(r.mean),
                  1e-15 * std::fabs(static_cast<double>(r.mean)) + 1e-13 * c.scale);
      EXPECT_NEAR(zorn_ss_partial_variance(merged.data(), p, i), r.variance(),
                  c.tolerance * r.variance());
      // M3 may cancel to near zero: its error is measured against the size of M2^1.5.
      EXPECT_NEAR(zorn_ss_partial_skewness(merged.data(), p, i), r.skewness(), 100 * c.tolerance);
      EXPECT_NEAR(zorn_ss_partial_kurtosis(merged.data(), p, i), r.kurtosis(), 100 * c.tolerance);
    }
    // Covariance against the two-pass sum of products of deviations.
    std::vector<ss_test::Reference> refs;
    for (int64_t i = 0; i < p; ++i) refs.push_back(ss_test::reference_of(d, i, wp));
    for (int64_t i = 0; i < p; ++i)
      for (int64_t l = 0; l < p; ++l) {
        long double cross = 0;
        for (int64_t j = 0; j < n; ++j)
          cross += (wp ? weights[j] : 1.0L) * (d.at(i, j) - refs[i].mean) * (d.at(l, j) - refs[l].mean);
        const double expected = static_cast<double>(cross * refs[0].W / (refs[0].W * refs[0].W - refs[0].V));
        const double scale = std::sqrt(refs[i].variance() * refs[l].variance());
        EXPECT_NEAR(zorn_ss_partial_covariance(merged.data(), p, i, l), expected, c.tolerance * scale);
      }
  }
}

}  // namespace
