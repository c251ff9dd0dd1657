// Section: a five-dimensional integral by quasi-random points (Sobol, Niederreiter)
// against pseudo-random ones (MT19937): the error as the number of points grows.
#include <cmath>
#include <cstdio>
#include <vector>

#include "tour.h"
#include "zorn/pavo.h"

namespace {

constexpr uint32_t kDimension = 5;
constexpr double kPi = 3.14159265358979323846;

// The product of (pi / 2) sin(pi x_j) over the coordinates: its integral over the unit
// cube is exactly 1.
double integrand(const double* x) {
  double f = 1;
  for (uint32_t j = 0; j < kDimension; ++j) f *= kPi / 2 * std::sin(kPi * x[j]);
  return f;
}

// Running means of the integrand over the first points of one stream, read at each of
// the given counts.
std::vector<double> running_means(uint32_t id, const std::vector<int>& counts) {
  const uint32_t seed[] = {id == PAVO_BRNG_MT19937 ? 2026u : kDimension};
  void* stream = nullptr;
  PavoBrngProperties row{};
  std::vector<double> means;
  if (__pavoNewStreamEx(&stream, id, 1, seed) == 0 && __pavoGetBrngProperties(id, &row) == 0) {
    std::vector<double> x(kDimension * 1024);
    double sum = 0;
    for (int done = 0; done < counts.back(); done += 1024) {
      row.gen_double(stream, static_cast<int32_t>(x.size()), x.data(), 0.0, 1.0);
      for (int p = 0; p < 1024; ++p) {
        sum += integrand(&x[kDimension * p]);
        if (done + p + 1 == counts[means.size()]) means.push_back(sum / (done + p + 1));
      }
    }
  }
  __pavoDeleteStream(&stream);
  return means;
}

}  // namespace

TOUR_SECTION(36, "Quasi-random points: a 5-dimensional integral, error against pseudo-random") {
  std::vector<int> counts;
  for (int n = 1 << 8; n <= 1 << 18; n <<= 2) counts.push_back(n);
  const auto sobol = running_means(PAVO_BRNG_SOBOL, counts);
  const auto niederr = running_means(PAVO_BRNG_NIEDERR, counts);
  const auto mt = running_means(PAVO_BRNG_MT19937, counts);
  if (sobol.size() != counts.size() || niederr.size() != counts.size() || mt.size() != counts.size()) {
    std::printf("  a stream could not be created\n");
    return;
  }
  std::printf("  integral of prod (pi/2) sin(pi x_j) over [0,1)^5 (exactly 1): |error| after n points\n");
  std::printf("  %8s %12s %14s %12s\n", "n", "Sobol", "Niederreiter", "MT19937");
  for (size_t i = 0; i < counts.size(); ++i)
    std::printf("  %8d %12.2e %14.2e %12.2e\n", counts[i], std::fabs(sobol[i] - 1), std::fabs(niederr[i] - 1),
                std::fabs(mt[i] - 1));
  std::printf("  quasi-random errors fall nearly as 1/n, pseudo-random ones as 1/sqrt(n)\n");
}
