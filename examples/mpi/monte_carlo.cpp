// A Monte Carlo estimate on any number of MPI ranks that gives the same answer, to
// rounding, whatever the number of ranks.
//
// The N samples are cut into U work units (U fixed, independent of the rank count);
// unit u covers samples [u N / U, (u + 1) N / U) and draws its normals from
//   - "skip":   one logical stream (MRG32K3A or Philox), skipped ahead to the unit's
//               first uniform, so every sample is the one a single stream would give;
//   - "family": MT2203 member u (6024 independent generators), one per unit.
// Rank r runs units [r U / P, (r + 1) U / P) into one statistics task (the units are
// portions of it), leaving a flat partial result (zorn/ss_merge.h). The partials are
// combined in a tree by MPI_Reduce with a non-commutative user operation, so that they
// merge in rank order. Quantiles come from the gathered samples of one variable.
//
// Each sample is a path of a lognormal asset: z1, z2 standard normals (by inversion,
// one uniform each, so that skipping 2 x samples uniforms lands on a sample boundary),
// S = exp(0.2 z1 + 0.1 z2), and the variables are z1, S and the payoff max(S - 1, 0).
//
// Usage: zorn_mpi_monte_carlo [--mode skip|family] [--generator mrg32k3a|philox]
//                             [--samples N | --samples-per-rank M] [--units U] [--check]
// --check recomputes everything on rank 0 from one stream and one task call and exits
// with status 1 unless the samples are bit-identical and the statistics agree to 1e-12.
#include <mpi.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "zorn/pavo.h"
#include "zorn/ss.h"
#include "zorn/ss_merge.h"

namespace {

constexpr int64_t kVariables = 3;
constexpr uint32_t kSeed = 20261207;
const double kQuantileOrders[] = {0.01, 0.5, 0.99};
constexpr int64_t kQuantiles = 3;

struct Options {
  bool family = false;
  uint32_t generator = PAVO_BRNG_MRG32K3A;
  int64_t samples = 1000000;
  int64_t samples_per_rank = 0;
  int64_t units = 64;
  bool check = false;
};

[[noreturn]] void fail(const char* what, int status) {
  std::fprintf(stderr, "%s failed with status %d\n", what, status);
  MPI_Abort(MPI_COMM_WORLD, 2);
  std::exit(2);
}

void require(int status, const char* what) {
  if (status < 0) fail(what, status);
}

int64_t unit_begin(const Options& o, int64_t u) { return u * o.samples / o.units; }

// The stream of unit u, positioned at the unit's first uniform.
void* unit_stream(const Options& o, int64_t u) {
  void* stream = nullptr;
  const uint32_t seed = kSeed;
  if (o.family) {
    require(__pavoNewStreamEx(&stream, PAVO_BRNG_MT2203 + static_cast<uint32_t>(u), 1, &seed),
            "new MT2203 member stream");
  } else {
    require(__pavoNewStreamEx(&stream, o.generator, 1, &seed), "new stream");
    require(__pavoSkipAheadStream(stream, static_cast<uint64_t>(2 * unit_begin(o, u))),
            "skip-ahead");
  }
  return stream;
}

// Samples [0, n) of one stream, observation-major: x[3 j .. 3 j + 2].
void draw_samples(void* stream, int64_t n, std::vector<double>& x) {
  std::vector<double> z(2 * n);
  for (int64_t done = 0; done < 2 * n;) {  // the count argument is 32-bit
    const int32_t m = static_cast<int32_t>(std::min<int64_t>(2 * n - done, 1 << 20));
    require(_pavodRngGaussian(PAVO_GAUSSIAN_ICDF, stream, m, z.data() + done, 0.0, 1.0),
            "Gaussian draw");
    done += m;
  }
  x.resize(kVariables * n);
  for (int64_t j = 0; j < n; ++j) {
    const double z1 = z[2 * j], z2 = z[2 * j + 1];
    const double s = std::exp(0.2 * z1 + 0.1 * z2);
    x[3 * j] = z1;
    x[3 * j + 1] = s;
    x[3 * j + 2] = std::max(s - 1.0, 0.0);
  }
}

// FNV-1a over the bits of the samples: what the check compares across rank counts.
uint64_t fingerprint(const std::vector<double>& x) {
  uint64_t h = 1469598103934665603ull;
  for (double v : x) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int b = 0; b < 64; b += 8) h = (h ^ ((bits >> b) & 0xFF)) * 1099511628211ull;
  }
  return h;
}

// A statistics task whose results land in the flat partial `s`; portions are added by
// pointing it at new observations and calling again.
class PartialTask {
 public:
  explicit PartialTask(std::vector<double>& s) : s_(s) {
    s_.assign(zorn_ss_partial_size(kVariables), 0.0);
    double* m = s_.data();
    require(__pavodSSNewTask(&task_, &p_, &n_, &storage_, nullptr, nullptr, nullptr, 1),
            "new statistics task");
    require(__pavodSSEditTask(task_, PAVO_SS_ID_ACCUMULATED_WEIGHTS, m + ZORN_SS_PARTIAL_WEIGHTS),
            "edit weights");
    require(__pavodSSEditSums(task_, nullptr, nullptr, nullptr, nullptr,
                              m + zorn_ss_partial_central_sum_at(kVariables, 2),
                              m + zorn_ss_partial_central_sum_at(kVariables, 3),
                              m + zorn_ss_partial_central_sum_at(kVariables, 4)),
            "edit sums");
    require(__pavodSSEditCP(task_, m + ZORN_SS_PARTIAL_MEAN, nullptr,
                            m + zorn_ss_partial_cross_product_at(kVariables), &cp_storage_),
            "edit cross-product");
  }
  ~PartialTask() { __pavoSSDeleteTask(&task_); }
  PartialTask(const PartialTask&) = delete;
  PartialTask& operator=(const PartialTask&) = delete;

  void add(std::vector<double>& x) {
    n_ = static_cast<int64_t>(x.size()) / kVariables;
    if (n_ == 0) return;
    require(__pavodSSEditTask(task_, PAVO_SS_ID_OBSERVATIONS, x.data()), "edit observations");
    const uint64_t mask = PAVO_SS_MEAN | PAVO_SS_CENTRAL_SUM_2 | PAVO_SS_CENTRAL_SUM_3 |
                          PAVO_SS_CENTRAL_SUM_4 | PAVO_SS_CROSS_PRODUCT;
    require(_pavodSSBasic(task_, mask, PAVO_SS_METHOD_ONE_PASS, nullptr), "statistics");
  }

 private:
  std::vector<double>& s_;
  PAVO_SS_TASK task_ = nullptr;
  int64_t p_ = kVariables, n_ = 0, storage_ = PAVO_SS_STORAGE_COLUMNS,
          cp_storage_ = PAVO_SS_MATRIX_FULL;
};

// Quantiles of one variable (observation-major data, variable v) by the library's task.
std::vector<double> quantiles(const std::vector<double>& values) {
  int64_t p = 1, n = static_cast<int64_t>(values.size()), storage = PAVO_SS_STORAGE_ROWS,
          count = kQuantiles;
  std::vector<double> orders(kQuantileOrders, kQuantileOrders + kQuantiles), result(kQuantiles);
  PAVO_SS_TASK task = nullptr;
  require(__pavodSSNewTask(&task, &p, &n, &storage, values.data(), nullptr, nullptr, 1),
          "new quantile task");
  require(__pavodSSEditQuantiles(task, &count, orders.data(), result.data(), nullptr, nullptr),
          "edit quantiles");
  require(_pavodSSQuantiles(task, PAVO_SS_QUANTILES, PAVO_SS_METHOD_FAST, nullptr), "quantiles");
  __pavoSSDeleteTask(&task);
  return result;
}

// MPI user operation: inout = in (lower ranks) merged with inout (higher ranks).
void merge_partials(void* in, void* inout, int* count, MPI_Datatype*) {
  const int64_t size = zorn_ss_partial_size(kVariables);
  std::vector<double> merged(size);
  for (int k = 0; k < *count; ++k) {
    const double* a = static_cast<const double*>(in) + k * size;
    double* b = static_cast<double*>(inout) + k * size;
    std::copy(a, a + size, merged.begin());
    zorn_ss_partial_merge(kVariables, merged.data(), b);
    std::copy(merged.begin(), merged.end(), b);
  }
}

struct Summary {
  std::vector<double> partial;
  std::vector<double> quantiles;
  std::vector<uint64_t> fingerprints;  // one per unit
  double setup_seconds = 0;            // making and positioning the units' streams
  int64_t units_run = 0;
};

bool parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    if (a == "--check") o.check = true;
    else if (a == "--mode" && has_value) o.family = std::string(argv[++i]) == "family";
    else if (a == "--generator" && has_value)
      o.generator = std::string(argv[++i]) == "philox" ? PAVO_BRNG_PHILOX4X32X10 : PAVO_BRNG_MRG32K3A;
    else if (a == "--samples" && has_value) o.samples = std::atoll(argv[++i]);
    else if (a == "--samples-per-rank" && has_value) o.samples_per_rank = std::atoll(argv[++i]);
    else if (a == "--units" && has_value) o.units = std::atoll(argv[++i]);
    else return false;
  }
  return o.samples > 0 && o.units > 0 && o.units <= 6024 && o.samples_per_rank >= 0;
}

// Rank r's units, their samples, its partial; then the tree merge and the gathered
// quantile variable. The result is complete on rank 0.
Summary run(const Options& o, int rank, int ranks) {
  Summary out;
  out.fingerprints.assign(o.units, 0);
  std::vector<double> payoffs, x;
  {
    PartialTask task(out.partial);
    for (int64_t u = rank * o.units / ranks; u < (rank + 1) * o.units / ranks; ++u) {
      const double before = MPI_Wtime();
      void* stream = unit_stream(o, u);
      out.setup_seconds += MPI_Wtime() - before;
      ++out.units_run;
      draw_samples(stream, unit_begin(o, u + 1) - unit_begin(o, u), x);
      __pavoDeleteStream(&stream);
      out.fingerprints[u] = fingerprint(x);
      task.add(x);
      for (size_t j = 2; j < x.size(); j += kVariables) payoffs.push_back(x[j]);
    }
  }
  MPI_Datatype partial_type;
  MPI_Type_contiguous(static_cast<int>(zorn_ss_partial_size(kVariables)), MPI_DOUBLE, &partial_type);
  MPI_Type_commit(&partial_type);
  MPI_Op merge;
  MPI_Op_create(merge_partials, /*commute=*/0, &merge);
  std::vector<double> merged(out.partial.size());
  MPI_Reduce(out.partial.data(), merged.data(), 1, partial_type, merge, 0, MPI_COMM_WORLD);
  MPI_Op_free(&merge);
  MPI_Type_free(&partial_type);
  out.partial = merged;

  std::vector<uint64_t> prints(o.units);
  MPI_Reduce(out.fingerprints.data(), prints.data(), static_cast<int>(o.units), MPI_UINT64_T,
             MPI_BXOR, 0, MPI_COMM_WORLD);
  out.fingerprints = prints;

  // Quantiles: the ranks' payoffs gathered in rank order (samples in unit order).
  const int count = static_cast<int>(payoffs.size());
  std::vector<int> counts(ranks), offsets(ranks);
  MPI_Gather(&count, 1, MPI_INT, counts.data(), 1, MPI_INT, 0, MPI_COMM_WORLD);
  std::vector<double> all;
  if (rank == 0) {
    for (int r = 1; r < ranks; ++r) offsets[r] = offsets[r - 1] + counts[r - 1];
    all.resize(static_cast<size_t>(offsets[ranks - 1]) + counts[ranks - 1]);
  }
  MPI_Gatherv(payoffs.data(), count, MPI_DOUBLE, all.data(), counts.data(), offsets.data(),
              MPI_DOUBLE, 0, MPI_COMM_WORLD);
  if (rank == 0) out.quantiles = quantiles(all);
  return out;
}

// Rank 0 alone: one stream read from the start (skip mode) or the members one after
// the other (family mode), and one task call over all samples.
Summary reference(const Options& o) {
  Summary ref;
  std::vector<double> all, x, payoffs;
  void* stream = nullptr;
  for (int64_t u = 0; u < o.units; ++u) {
    if (o.family || u == 0) stream = unit_stream(o, u);
    draw_samples(stream, unit_begin(o, u + 1) - unit_begin(o, u), x);
    if (o.family) __pavoDeleteStream(&stream);
    ref.fingerprints.push_back(fingerprint(x));
    all.insert(all.end(), x.begin(), x.end());
  }
  if (stream) __pavoDeleteStream(&stream);
  {
    PartialTask task(ref.partial);
    task.add(all);
  }
  for (size_t j = 2; j < all.size(); j += kVariables) payoffs.push_back(all[j]);
  ref.quantiles = quantiles(payoffs);
  return ref;
}

bool close(double a, double b, double scale) { return std::fabs(a - b) <= 1e-12 * scale; }

// Compares the merged run with the reference; prints each disagreement.
bool agrees(const Summary& s, const Summary& r) {
  bool ok = s.fingerprints == r.fingerprints;
  if (!ok) std::printf("samples differ from the single stream\n");
  const double* a = s.partial.data();
  const double* b = r.partial.data();
  ok &= a[0] == b[0];
  for (int64_t i = 0; i < kVariables; ++i) {
    const double sd = std::sqrt(zorn_ss_partial_variance(b, kVariables, i));
    const bool moments =
        close(zorn_ss_partial_mean(a, i),
              zorn_ss_partial_mean(b, i), sd) &&
        close(zorn_ss_partial_variance(a, kVariables, i), zorn_ss_partial_variance(b, kVariables, i),
              sd * sd) &&
        close(zorn_ss_partial_skewness(a, kVariables, i), zorn_ss_partial_skewness(b, kVariables, i), 1) &&
        close(zorn_ss_partial_kurtosis(a, kVariables, i), zorn_ss_partial_kurtosis(b, kVariables, i), 1);
    for (int64_t l = 0; l < kVariables; ++l) {
      const double sl = std::sqrt(zorn_ss_partial_variance(b, kVariables, l));
      ok &= close(zorn_ss_partial_covariance(a, kVariables, i, l),
                  zorn_ss_partial_covariance(b, kVariables, i, l), sd * sl);
    }
    if (!moments) std::printf("moments of variable %lld differ\n", static_cast<long long>(i));
    ok &= moments;
  }
  if (s.quantiles != r.quantiles) std::printf("quantiles differ\n");
  return ok && s.quantiles == r.quantiles;
}

void print(const Options& o, const Summary& s, int ranks, double seconds) {
  const double* m = s.partial.data();
  std::printf("%s, %lld samples in %lld units on %d ranks: %.3f s (slowest rank)\n",
              o.family ? "MT2203 family" : (o.generator == PAVO_BRNG_PHILOX4X32X10 ? "Philox skip-ahead" : "MRG32K3A skip-ahead"),
              static_cast<long long>(o.samples), static_cast<long long>(o.units), ranks, seconds);
  const char* names[kVariables] = {"z1", "S", "payoff"};
  std::printf("  %-7s %14s %14s %12s %12s\n", "", "mean", "variance", "skewness", "kurtosis");
  for (int64_t i = 0; i < kVariables; ++i)
    std::printf("  %-7s %14.10f %14.10f %12.8f %12.8f\n", names[i],
                zorn_ss_partial_mean(m, i),
                zorn_ss_partial_variance(m, kVariables, i), zorn_ss_partial_skewness(m, kVariables, i),
                zorn_ss_partial_kurtosis(m, kVariables, i));
  std::printf("  cov(z1, S) = %.10f, cov(S, payoff) = %.10f\n", zorn_ss_partial_covariance(m, kVariables, 0, 1),
              zorn_ss_partial_covariance(m, kVariables, 1, 2));
  std::printf("  payoff quantiles 1%%, 50%%, 99%%: %.10f %.10f %.10f\n", s.quantiles[0], s.quantiles[1],
              s.quantiles[2]);
  std::printf("  stream set-up per unit on rank 0: %.1f us\n",
              1e6 * s.setup_seconds / static_cast<double>(std::max<int64_t>(s.units_run, 1)));
}

}  // namespace

int main(int argc, char** argv) {
  MPI_Init(&argc, &argv);
  int rank = 0, ranks = 1;
  MPI_Comm_rank(MPI_COMM_WORLD, &rank);
  MPI_Comm_size(MPI_COMM_WORLD, &ranks);
  Options o;
  if (!parse(argc, argv, o)) {
    if (rank == 0) std::fprintf(stderr, "usage: see the head of examples/mpi/monte_carlo.cpp\n");
    MPI_Finalize();
    return 2;
  }
  if (o.samples_per_rank > 0) o.samples = o.samples_per_rank * ranks;  // weak scaling

  MPI_Barrier(MPI_COMM_WORLD);
  const double start = MPI_Wtime();
  const Summary s = run(o, rank, ranks);
  double seconds = MPI_Wtime() - start, slowest = 0;
  MPI_Reduce(&seconds, &slowest, 1, MPI_DOUBLE, MPI_MAX, 0, MPI_COMM_WORLD);

  int status = 0;
  if (rank == 0) {
    print(o, s, ranks, slowest);
    if (o.check) {
      const bool ok = agrees(s, reference(o));
      std::printf("check against one stream and one task call: %s\n", ok ? "agrees" : "DIFFERS");
      status = ok ? 0 : 1;
    }
  }
  MPI_Bcast(&status, 1, MPI_INT, 0, MPI_COMM_WORLD);
  MPI_Finalize();
  return status;
}
