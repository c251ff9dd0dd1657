// Normal variates beyond the formulas: the pending half of method 1 across calls, copies
// and saved images; the bound of inversion; the multivariate storages and the two
// full-storage multiplies of the core library.
#include <cmath>
#include <numeric>

#include "distributions/distribution_support.h"
#include "zorn/core.h"

namespace {

constexpr uint32_t kSeed = 99;

template <class T>
std::vector<T> method1(void* s, int32_t n) {
  std::vector<T> r(n);
  EXPECT_EQ(Gaussian(PAVO_GAUSSIAN_BOX_MULLER2, s, n, r.data(), 0.5, 2), 0);
  return r;
}

// Calls of these sizes in a row deliver what one call of their sum delivers.
template <class T>
void expect_split_equals_whole(std::vector<int32_t> sizes) {
  Stream split(PAVO_BRNG_MT19937, {kSeed}), whole(PAVO_BRNG_MT19937, {kSeed});
  std::vector<T> pieces;
  for (const int32_t n : sizes) {
    const auto r = method1<T>(split.p, n);
    pieces.insert(pieces.end(), r.begin(), r.end());
  }
  EXPECT_TRUE(same_bits(pieces, method1<T>(whole.p, static_cast<int32_t>(pieces.size()))));
  EXPECT_TRUE(same_bits(uniforms<T>(split.p, 3), uniforms<T>(whole.p, 3)));
}

TEST(Gaussian, PendingHalfMakesSuccessiveCallsOneSequence) {
  // n = 0 while a half is pending writes nothing and keeps the half.
  const std::vector<std::vector<int32_t>> splits = {
      {1, 1}, {3, 3}, {1, 0, 1}, {1, 2048, 1}, {1025, 1023, 7}, {0, 5}};
  for (const auto& sizes : splits) {
    expect_split_equals_whole<double>(sizes);
    expect_split_equals_whole<float>(sizes);
  }
}

template <class T>
void expect_pending_half_travels() {
  Stream s(PAVO_BRNG_MCG59, {kSeed});
  method1<T>(s.p, 1);
  Stream copy, loaded;
  ASSERT_EQ(__pavoCopyStream(&copy.p, s.p), 0);
  ASSERT_EQ(__pavoLoadStreamM(&loaded.p, saved_image(s.p).data()), 0);
  const auto original = method1<T>(s.p, 5);
  EXPECT_TRUE(same_bits(original, method1<T>(copy.p, 5)));
  EXPECT_TRUE(same_bits(original, method1<T>(loaded.p, 5)));
}

TEST(Gaussian, PendingHalfTravelsWithCopyAndSavedImage) {
  expect_pending_half_travels<double>();
  expect_pending_half_travels<float>();
}

// A chunk of the pair's identifier too small for a pair (as a damaged image would
// bring) is refused without being read.
TEST(Gaussian, PendingChunkTooSmallIsRefused) {
  Stream s(PAVO_BRNG_MT19937, {kSeed});
  void* data = zorn_serv_allocate(4, 128);
  ASSERT_EQ(__pavoAddChunk(s.p, 2, nullptr, data, 4), 0);
  double r = 7;
  EXPECT_LT(Gaussian(PAVO_GAUSSIAN_BOX_MULLER2, s.p, 1, &r, 0, 1), 0);
  EXPECT_EQ(r, 7);
}

// Method 1 relies on the cosine of a pending half equalling the one SinCos gives.
template <class T>
void expect_cos_is_sincos_cosine() {
  std::vector<T> angle(1 << 16);
  for (size_t i = 0; i < angle.size(); ++i) angle[i] = T(6.283185307179586) * T(i) / T(angle.size());
  angle.push_back(std::nextafter(T(6.283185307179586), T(0)));
  std::vector<T> sine, cosine, cos_alone = angle;
  SinCos(angle, sine, cosine);
  Cos(cos_alone);
  EXPECT_TRUE(same_bits(cosine, cos_alone));
}

TEST(Gaussian, CosAgreesWithTheCosineOfSinCos) {
  expect_cos_is_sincos_cosine<double>();
  expect_cos_is_sincos_cosine<float>();
}

// L z by exact sums, L lower triangular in row order.
std::vector<double> times_factor(const std::vector<double>& l, int32_t d, const std::vector<double>& z) {
  std::vector<double> out(z.size());
  for (size_t j = 0; j < z.size() / d; ++j) {
    for (int32_t i = 0; i < d; ++i) {
      long double sum = 0;
      for (int32_t k = 0; k <= i; ++k) sum += static_cast<long double>(l[i * d + k]) * z[j * d + k];
      out[j * d + i] = static_cast<double>(sum);
    }
  }
  return out;
}

// Full, packed and diagonal storage give a + L z (dimension 1: a plain Gaussian draw
// with mean a[0] and deviation T[0], whatever the storage); the small-dimension routine
// (d <= 10) and the general one agree. The accurate flag in the method word is dropped.
TEST(GaussianMV, EveryStorageGivesTheMeanPlusFactorTimesNormals) {
  const int32_t n = 50;
  for (const int32_t d : {1, 2, 10, 11}) {
    std::vector<double> l(d * d, 99.0), diagonal_l(d * d, 0.0), packed, diagonal, a(d);
    for (int32_t i = 0; i < d; ++i) {
      a[i] = i - 3.0;
      for (int32_t k = 0; k <= i; ++k) l[i * d + k] = 1.5 + 0.25 * i - 0.5 * k;
      diagonal.push_back(diagonal_l[i * d + i] = l[i * d + i]);
    }
    for (int32_t k = 0; k < d; ++k)
      for (int32_t i = k; i < d; ++i) packed.push_back(l[i * d + k]);
    Stream z_stream(PAVO_BRNG_MT19937, {kSeed});
    std::vector<double> z(n * d);
    ASSERT_EQ(Gaussian(1, z_stream.p, n * d, z.data(), 0, 1), 0);
    for (const int32_t storage : {PAVO_MATRIX_FULL, PAVO_MATRIX_PACKED, PAVO_MATRIX_DIAGONAL}) {
      SCOPED_TRACE(testing::Message() << "d " << d << " storage " << storage);
      const bool diag = storage == PAVO_MATRIX_DIAGONAL;
      std::vector<double> expected = times_factor(diag ? diagonal_l : l, d, z), r(n * d);
      Stream s(PAVO_BRNG_MT19937, {kSeed});
      const auto& t = storage == PAVO_MATRIX_FULL ? l : diag ? diagonal : packed;
      ASSERT_EQ(GaussianMV(PAVO_METHOD_ACCURATE | 1, s.p, n, r.data(), d, storage, a.data(), t.data()), 0);
      for (size_t i = 0; i < r.size(); ++i) {
        EXPECT_NEAR(r[i], expected[i] + a[i % d], 1e-12 * (1 + std::abs(expected[i])));
      }
    }
  }
}

// Both names of the full triangular multiply give the same bits at either dimension.
TEST(GaussianMV, BothFullMultipliesOfTheCoreLibraryAgree) {
  for (const zorn_blas_int d : {10, 11}) {
    const zorn_blas_int n = 7;
    std::vector<double> t(d * d), b(d * n);
    std::iota(t.begin(), t.end(), 0.125);
    for (size_t i = 0; i < b.size(); ++i) b[i] = std::sin(static_cast<double>(i));
    auto small = b, general = b;
    const double one = 1;
    zorn_blas_xdtrmm_4tess("L", "U", "T", "N", &d, &n, &one, t.data(), &d, small.data(), &d);
    zorn_blas4tess_dtrmm("L", "U", "T", "N", &d, &n, &one, t.data(), &d, general.data(), &d);
    EXPECT_TRUE(same_bits(small, general));
    EXPECT_FALSE(same_bits(small, b));
  }
}

}  // namespace
