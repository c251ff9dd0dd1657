// The search dispatchers: the method from the task and hints, then the sites in blocks.
#include "data_fitting/search_plan.h"
#include "zorn/df.h"

namespace zorn::df {
namespace {

template <class T>
int32_t dispatch(Task* t, int64_t nsite, const T* sites, int64_t site_hint, const T* data_hint,
                 void* cells, UserSearchFn<T> fn, void* param, void* const* threading) {
  if (t == nullptr) return kNullTask;
  SearchPlan<T> plan;
  if (int32_t st = choose_search(*t, site_hint, data_hint, fn, param, plan); st != kOk) return st;
  if (nsite <= 0) return kOk;
  if (sites == nullptr || cells == nullptr) return kNullResult;
  const SiteSource<T> source = SiteSource<T>::make(sites, nsite, site_hint);
  const bool wide = t->integer_width != 0;
  int64_t state = 0;
  int32_t status = kOk;
  const bool builtin = plan.method != SearchMethod::kUser && plan.method != SearchMethod::kUniformUser;
  for_site_blocks(nsite, kSiteBlock, plan.may_split(), threading, [&](int64_t first, int64_t n) {
    T buffer[kSiteBlock];
    int64_t found[kSiteBlock];
    const T* block = source.block(first, n, buffer);
    if (builtin) {
      // Built-in methods cannot fail: their cells go straight to the caller's array.
      int64_t block_state = state;
      if (wide) {
        int64_t* out = static_cast<int64_t*>(cells) + first;
        search_builtin(plan.method, plan.partition, n, block, block_state, [out](int64_t i, int64_t c) { out[i] = c; });
      } else {
        int32_t* out = static_cast<int32_t*>(cells) + first;
        search_builtin(plan.method, plan.partition, n, block, block_state, [out](int64_t i, int64_t c) { out[i] = int32_t(c); });
      }
      if (!plan.may_split()) state = block_state;
      return;
    }
    if (status < 0) return;
    const int32_t st = search_block(plan, n, block, found, state);
    if (st < 0) {
      status = st;
      return;
    }
    store_cells(cells, wide, first, n, found);
    if (st != kOk) status = st;
  });
  return status;
}

}  // namespace
}  // namespace zorn::df

using namespace zorn::df;

extern "C" {

int32_t zorn_df_kernel_dDFSearch1D(ZornDfTask* task, int64_t, int64_t nsite, const double* sites,
                                   int64_t site_hint, const double* data_hint, void* cells,
                                   zorn_df_dsearch_fn fn, void* param, void* const* threading) {
  return dispatch(task, nsite, sites, site_hint, data_hint, cells, fn, param, threading);
}

int32_t zorn_df_kernel_sDFSearch1D(ZornDfTask* task, int64_t, int64_t nsite, const float* sites,
                                   int64_t site_hint, const float* data_hint, void* cells,
                                   zorn_df_ssearch_fn fn, void* param, void* const* threading) {
  return dispatch(task, nsite, sites, site_hint, data_hint, cells, fn, param, threading);
}

}  // extern "C"
