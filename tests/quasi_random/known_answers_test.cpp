// The first points of Sobol and Niederreiter against GSL's gsl_qrng_sobol (Bratley-Fox,
// 30 bits) and gsl_qrng_niederreiter_2 (TOMS 738, 31 bits, dimensions up to 12). GSL
// keeps fewer bits: its coordinates are ours with the low bits dropped. GSL's
// Niederreiter starts at point 0, which ours never produces.
#include <gsl/gsl_qrng.h>
#include <gtest/gtest.h>

#include <cmath>

#include "common/stream_handle.h"

namespace {

struct PeerCase {
  uint32_t brng;
  const gsl_qrng_type* const* peer;
  uint32_t dimension;
  int peer_bits;
  int peer_skips;  // points of GSL's sequence before our point 1
};

TEST(QuasiRandomKnownAnswers, FirstPointsMatchGsl) {
  const PeerCase cases[] = {
      {PAVO_BRNG_SOBOL, &gsl_qrng_sobol, 1, 30, 0},          {PAVO_BRNG_SOBOL, &gsl_qrng_sobol, 3, 30, 0},
      {PAVO_BRNG_SOBOL, &gsl_qrng_sobol, 17, 30, 0},         {PAVO_BRNG_SOBOL, &gsl_qrng_sobol, 40, 30, 0},
      {PAVO_BRNG_NIEDERR, &gsl_qrng_niederreiter_2, 2, 31, 1}, {PAVO_BRNG_NIEDERR, &gsl_qrng_niederreiter_2, 12, 31, 1},
  };
  constexpr int kPoints = 1 << 13;
  for (const PeerCase& c : cases) {
    gsl_qrng* peer = gsl_qrng_alloc(*c.peer, c.dimension);
    ASSERT_NE(peer, nullptr);
    std::vector<double> point(c.dimension);
    for (int i = 0; i < c.peer_skips; ++i) gsl_qrng_get(peer, point.data());
    Stream ours(c.brng, {c.dimension});
    const std::vector<uint32_t> got = ours.ints(kPoints * static_cast<int32_t>(c.dimension));
    for (int i = 0; i < kPoints; ++i) {
      gsl_qrng_get(peer, point.data());
      for (uint32_t j = 0; j < c.dimension; ++j) {
        const uint32_t want = static_cast<uint32_t>(std::ldexp(point[j], c.peer_bits));
        ASSERT_EQ(got[i * c.dimension + j] >> (32 - c.peer_bits), want)
            << c.brng << " d=" << c.dimension << " point " << i + 1 << " coordinate " << j;
      }
    }
    gsl_qrng_free(peer);
  }
}

}  // namespace
