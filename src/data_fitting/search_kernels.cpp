// The exported search kernels: each method in its cell widths, both precisions.
#include "data_fitting/search_engine.h"

// The three words after h (and the word after the cells) are part of the interface
// and unread.
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "zorn/df.h"

namespace zorn::df {
namespace {

// 64Pack cells are the 32-bit cell sign-extended.
template <class O, bool kPack>
inline O narrow(int64_t c) {
  if constexpr (kPack) return O(int32_t(c));
  return O(c);
}

// Bit 1 set with bit 0 clear asks the unsuffixed members for 32-bit cells.
inline bool wants_32bit_cells(int64_t flags) { return (flags & 3) == 2; }

template <SearchMethod M, class T, class O, bool kPack>
void builtin_kernel(int64_t nx, const T* x, int64_t nsite, const T* sites, O* state, T h,
                    O* cells) {
  if (nx < 2 || x == nullptr || nsite <= 0 || sites == nullptr || cells == nullptr) return;
  const Partition<T> p = make_partition(x, nx, M == SearchMethod::kUniform, h);
  int64_t s = state != nullptr ? int64_t(*state) : 0;
  search_sites<M>(p, nsite, sites, s,
                  [&](int64_t i, int64_t c) { cells[i] = narrow<O, kPack>(c); });
  if (M == SearchMethod::kSorted && state != nullptr) *state = narrow<O, kPack>(s);
}

template <SearchMethod M, class T, class O, bool kPack>
int32_t user_kernel(int64_t nx, const T* x, int64_t nsite, const T* sites, T h, O* cells,
                    UserSearchFn<T> fn, void* param, void* word, int32_t* flags) {
  if (nx < 2 || x == nullptr || nsite <= 0 || sites == nullptr || cells == nullptr) return kOk;
  constexpr bool kUniform = M == SearchMethod::kUniformUser;
  const Partition<T> p = make_partition(x, nx, kUniform, h);
  return search_user<kUniform>(p, nsite, sites, fn, param, word, flags,
                               [&](int64_t i, int64_t c) { cells[i] = narrow<O, kPack>(c); });
}

}  // namespace
}  // namespace zorn::df

using namespace zorn::df;

#define ZORN_DF_DEFINE_BUILTIN(P, T, M, E)                                                    \
  void zorn_df_kernel_##P##DF##M##Search1D32(ZORN_DF_SEARCH_ARGS(T, int32_t)) {               \
    builtin_kernel<SearchMethod::E, T, int32_t, false>(nx, x, nsite, sites, state, h, cells); \
  }                                                                                           \
  void zorn_df_kernel_##P##DF##M##Search1D64(ZORN_DF_SEARCH_ARGS(T, int64_t)) {               \
    builtin_kernel<SearchMethod::E, T, int64_t, false>(nx, x, nsite, sites, state, h, cells); \
  }                                                                                           \
  void zorn_df_kernel_##P##DF##M##Search1D64Pack(ZORN_DF_SEARCH_ARGS(T, int64_t)) {           \
    builtin_kernel<SearchMethod::E, T, int64_t, true>(nx, x, nsite, sites, state, h, cells);  \
  }                                                                                           \
  void zorn_df_kernel_##P##DF##M##Search1D(ZORN_DF_SEARCH_ARGS(T, void), int64_t flags) {     \
    if (wants_32bit_cells(flags))                                                             \
      builtin_kernel<SearchMethod::E, T, int32_t, false>(                                     \
          nx, x, nsite, sites, static_cast<int32_t*>(state), h, static_cast<int32_t*>(cells)); \
    else                                                                                      \
      builtin_kernel<SearchMethod::E, T, int64_t, false>(                                     \
          nx, x, nsite, sites, static_cast<int64_t*>(state), h, static_cast<int64_t*>(cells)); \
  }

#define ZORN_DF_USER_CALL(E, T, O, pack, c) \
  user_kernel<SearchMethod::E, T, O, pack>(nx, x, nsite, sites, h, c, fn, param, word, site_flags)

#define ZORN_DF_DEFINE_USER(P, T, M, E, pack64)                                                  \
  int32_t zorn_df_kernel_##P##DF##M##Search1D32(ZORN_DF_USER_SEARCH_ARGS(P, T, int32_t)) {       \
    return ZORN_DF_USER_CALL(E, T, int32_t, false, cells);                                       \
  }                                                                                              \
  int32_t zorn_df_kernel_##P##DF##M##Search1D64(ZORN_DF_USER_SEARCH_ARGS(P, T, int64_t)) {       \
    return ZORN_DF_USER_CALL(E, T, int64_t, false, cells);                                       \
  }                                                                                              \
  pack64                                                                                         \
  int32_t zorn_df_kernel_##P##DF##M##Search1D(ZORN_DF_USER_SEARCH_ARGS(P, T, void),              \
                                              int64_t flags) {                                   \
    if (wants_32bit_cells(flags))                                                                \
      return ZORN_DF_USER_CALL(E, T, int32_t, false, static_cast<int32_t*>(cells));              \
    return ZORN_DF_USER_CALL(E, T, int64_t, false, static_cast<int64_t*>(cells));                \
  }

// The caller-defined 64Pack member is the 64 member under a second name; the uniform
// one packs like the built-in methods.
#define ZORN_DF_USER_PACK_ALIAS(P, T)                                                      \
  int32_t zorn_df_kernel_##P##DFUserDefSearch1D64Pack(ZORN_DF_USER_SEARCH_ARGS(P, T, int64_t)) \
      ZORN_ALIAS(zorn_df_kernel_##P##DFUserDefSearch1D64);
#define ZORN_DF_UNI_USER_PACK(P, T)                                                          \
  int32_t zorn_df_kernel_##P##DFUniUserDefSearch1D64Pack(                                    \
      ZORN_DF_USER_SEARCH_ARGS(P, T, int64_t)) {                                             \
    return ZORN_DF_USER_CALL(kUniformUser, T, int64_t, true, cells);                         \
  }

#define ZORN_DF_DEFINE_ALL(P, T)                                                 \
  ZORN_DF_DEFINE_BUILTIN(P, T, Sorted, kSorted)                                  \
  ZORN_DF_DEFINE_BUILTIN(P, T, Uniform, kUniform)                                \
  ZORN_DF_DEFINE_BUILTIN(P, T, QuasiUniform, kQuasiUniform)                      \
  ZORN_DF_DEFINE_BUILTIN(P, T, Hybrid, kHybrid)                                  \
  ZORN_DF_DEFINE_BUILTIN(P, T, Peak, kPeak)                                      \
  ZORN_DF_DEFINE_USER(P, T, UserDef, kUser, )                                    \
  ZORN_DF_USER_PACK_ALIAS(P, T)                                                  \
  ZORN_DF_DEFINE_USER(P, T, UniUserDef, kUniformUser, ZORN_DF_UNI_USER_PACK(P, T))

extern "C" {
ZORN_DF_DEFINE_ALL(d, double)
ZORN_DF_DEFINE_ALL(s, float)
}
