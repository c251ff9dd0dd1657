// Spline construction and evaluation, ours next to GSL's gsl_spline.
#include <gsl/gsl_errno.h>
#include <gsl/gsl_spline.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "common/ratio_reporter.h"
#include "zorn/core.h"
#include "zorn/df.h"

namespace {

struct Data {
  std::vector<double> x, y;
  explicit Data(int64_t n) : x(static_cast<size_t>(n)), y(static_cast<size_t>(n)) {
    std::mt19937_64 gen(42);
    std::uniform_real_distribution<double> step(0.1, 1.0), value(-1, 1);
    double pos = 0;
    for (size_t i = 0; i < x.size(); ++i) {
      x[i] = pos += step(gen);
      y[i] = std::sin(x[i]) + 0.1 * value(gen);
    }
  }
};

const Data& data(int64_t n) {
  static const Data small(1000), large(1000000);
  return n == 1000 ? small : large;
}

// A task with its coefficients, built by `construct`.
struct OurSpline {
  std::vector<double> c;
  ZornDfTask* task = nullptr;
  OurSpline(const Data& d, int64_t kind, int64_t end_kind) : c(4 * (d.x.size() - 1)) {
    zorn_df_kernel_dNewTask1D(&task, int64_t(d.x.size()), d.x.data(), 1, 1, d.y.data(), 16, 1);
    zorn_df_kernel_dEditPPSpline1D(task, 4, kind, end_kind, nullptr, 0, nullptr, c.data(), 0);
  }
  ~OurSpline() { zorn_df_kernel_DeleteTask(&task); }
};

using Construct = int32_t (*)(ZornDfTask*, int64_t, int64_t, int64_t);

void build_ours(benchmark::State& state, Construct construct, int64_t kind, int64_t end_kind) {
  const Data& d = data(state.range(0));
  OurSpline s(d, kind, end_kind);
  for (auto _ : state) {
    if (construct(s.task, 0, 0, 0) != 0) state.SkipWithError("construction failed");
    benchmark::DoNotOptimize(s.c.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void build_gsl(benchmark::State& state, const gsl_interp_type* type) {
  const Data& d = data(state.range(0));
  gsl_spline* s = gsl_spline_alloc(type, d.x.size());
  for (auto _ : state) {
    gsl_spline_init(s, d.x.data(), d.y.data(), d.x.size());
    benchmark::DoNotOptimize(s);
  }
  gsl_spline_free(s);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

constexpr int64_t kSites = 10000000;

const std::vector<double>& sites(bool sorted) {
  static const std::vector<double> random = [] {
    const Data& d = data(1000);
    std::vector<double> t(kSites);
    std::mt19937_64 gen(7);
    std::uniform_real_distribution<double> u(d.x.front(), d.x.back());
    for (double& v : t) v = u(gen);
    return t;
  }();
  static const std::vector<double> ascending = [] {
    std::vector<double> t = random;
    std::sort(t.begin(), t.end());
    return t;
  }();
  return sorted ? ascending : random;
}

void eval_ours(benchmark::State& state, bool sorted, bool threads) {
  OurSpline s(data(1000), 2, 2);
  zorn_df_kernel_dDFNaturalCubicSpline1D(s.task, 0, 0, 0);
  const std::vector<double>& t = sites(sorted);
  std::vector<double> r(2 * t.size());
  const int32_t orders[2] = {1, 1};
  for (auto _ : state) {
    zorn_df_kernel_dDFInterpolate1D(s.task, 0, 0, kSites, t.data(), sorted ? ZORN_DF_SITES_SORTED : 0,
                                    2, orders, nullptr, r.data(), 16, nullptr, nullptr, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                    threads ? zorn_core_threading_service() : nullptr);
    benchmark::DoNotOptimize(r.data());
  }
  state.SetItemsProcessed(state.iterations() * kSites);
}

void eval_gsl(benchmark::State& state, bool sorted, bool accelerated) {
  const Data& d = data(1000);
  gsl_spline* s = gsl_spline_alloc(gsl_interp_cspline, d.x.size());
  gsl_spline_init(s, d.x.data(), d.y.data(), d.x.size());
  gsl_interp_accel* acc = accelerated ? gsl_interp_accel_alloc() : nullptr;
  const std::vector<double>& t = sites(sorted);
  std::vector<double> r(2 * t.size());
  for (auto _ : state) {
    for (size_t i = 0; i < t.size(); ++i) {
      r[2 * i] = gsl_spline_eval(s, t[i], acc);
      r[2 * i + 1] = gsl_spline_eval_deriv(s, t[i], acc);
    }
    benchmark::DoNotOptimize(r.data());
  }
  if (acc != nullptr) gsl_interp_accel_free(acc);
  gsl_spline_free(s);
  state.SetItemsProcessed(state.iterations() * kSites);
}

void uniform_search_ours(benchmark::State& state) {
  const double ends[2] = {0, 1000};
  ZornDfTask* task = nullptr;
  zorn_df_kernel_dNewTask1D(&task, 1001, ends, 4, 0, nullptr, 0, 1);
  std::vector<double> t(kSites);
  for (size_t i = 0; i < t.size(); ++i) t[i] = 1000.0 * double((i * 7919) % kSites) / kSites;
  std::vector<int64_t> cells(t.size());
  for (auto _ : state) {
    zorn_df_kernel_dDFSearch1D(task, 0, kSites, t.data(), 0, nullptr, cells.data(), nullptr, nullptr, nullptr);
    benchmark::DoNotOptimize(cells.data());
  }
  zorn_df_kernel_DeleteTask(&task);
  state.SetItemsProcessed(state.iterations() * kSites);
}

// Memory speed: reading the sites and writing one 8-byte word per site.
void uniform_search_copy(benchmark::State& state) {
  std::vector<double> t(kSites, 0.5);
  std::vector<int64_t> cells(t.size());
  for (auto _ : state) {
    for (size_t i = 0; i < t.size(); ++i) cells[i] = int64_t(t[i]);
    benchmark::DoNotOptimize(cells.data());
  }
  state.SetItemsProcessed(state.iterations() * kSites);
}

void register_all() {
  for (int64_t n : {int64_t(1000), int64_t(1000000)}) {
    const std::string size = n == 1000 ? "1e3" : "1e6";
    benchmark::RegisterBenchmark(("build natural cubic " + size + " | zorn").c_str(), build_ours,
                                 zorn_df_kernel_dDFNaturalCubicSpline1D, 2, 2)->Arg(n);
    benchmark::RegisterBenchmark(("build natural cubic " + size + " | gsl cspline").c_str(), build_gsl,
                                 gsl_interp_cspline)->Arg(n);
    benchmark::RegisterBenchmark(("build akima " + size + " | zorn").c_str(), build_ours,
                                 zorn_df_kernel_dDFAkimaCubicSpline1D, 0, 0)->Arg(n);
    benchmark::RegisterBenchmark(("build akima " + size + " | gsl akima").c_str(), build_gsl,
                                 gsl_interp_akima)->Arg(n);
  }
  for (bool sorted : {false, true}) {
    const std::string c = sorted ? "value+d1 1e7 sorted sites" : "value+d1 1e7 random sites";
    benchmark::RegisterBenchmark((c + " | zorn").c_str(), eval_ours, sorted, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((c + " | zorn threaded").c_str(), eval_ours, sorted, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((c + " | gsl accel").c_str(), eval_gsl, sorted, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((c + " | gsl no accel").c_str(), eval_gsl, sorted, false)->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("uniform search 1e7 sites | zorn", uniform_search_ours)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("uniform search 1e7 sites | read+write loop", uniform_search_copy)->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
  gsl_set_error_handler_off();
  register_all();
  return bench::run_with_ratios(argc, argv);
}
