/* Data fitting: one-dimensional spline tasks, cell search, spline construction and
 * interpolation.
 *
 * A task holds a partition x[0] < ... < x[nx-1] (or, for a uniform partition, only its
 * two ends), ny functions sampled at the nodes and the description of the spline to
 * build. The caller's arrays stay the caller's: the task keeps their addresses.
 *
 * Coefficients: for each function and each cell i the `order` coefficients of the
 * powers 0, 1, 2, ... of (t - x[i]). The quadratic of spline kind 1 has nx cells
 * whose breaks are the knots tau_0 = x[0] < tau_1 < ... < tau_nx = x[nx-1] (tau_k
 * strictly between x[k-1] and x[k]: the midpoints, or entries 1 ... nx-1 of the inner
 * conditions); its cell k holds the powers of (t - tau_k).
 *
 * Design choices where the behaviour is ours to fix:
 *  - Quadratic kind 1 (knots between the nodes): the unknowns are the slopes p_k at the
 *    knots. Integrating the piecewise-linear derivative from x[k] to x[k+1] gives, for
 *    k = 0 ... nx-2, the row
 *      a^2/(2H_k) p_k + (a(2H_k-a)/(2H_k) + b(2H_{k+1}-b)/(2H_{k+1})) p_{k+1}
 *        + b^2/(2H_{k+1}) p_{k+2} = y_{k+1} - y_k,
 *    a = tau_{k+1} - x[k], b = x[k+1] - tau_{k+1}, H_k = tau_{k+1} - tau_k. The end rows
 *    are: first derivative given, p = value; second derivative S given (free end S = 0),
 *    (p_1 - p_0)/H_0 = S and (p_nx - p_{nx-1})/H_{nx-1} = S; not-a-knot, the second
 *    derivative continuous across tau_1 and tau_{nx-1} (needs nx >= 3; p_0 and p_nx are
 *    eliminated from the system, which keeps its pivots positive); periodic,
 *    p_0 = p_nx and the second derivative continuous across the seam. Bit 4 of the
 *    inner condition kind is accepted and gives the same spline.
 *  - Natural cubic, nx = 2: the 2x2 system of the two end rows; nx = 3 with
 *    not-a-knot: the parabola through the three points. Periodic: the cyclic system
 *    of nx-1 slopes, corners moved into a rank-one update (Sherman-Morrison) whose
 *    vector is solved as one more right-hand side of the same factorisation.
 *  - Default cubic end cells: free ends take M_0 = M_{nx-1} = 0; a given second
 *    derivative is M_0 or M_{nx-1}; a given first derivative uses, at its end, the
 *    end-cell formula of end condition kind 12. Not-a-knot and periodic ends (which
 *    would need a system) are refused with ZORN_DF_STATUS_BAD_END_CONDITION_KIND.
 *  - End derivatives of the local cubics (Akima, Bessel, Hermite, Hyman):
 *      first derivative given: the value;
 *      second derivative S given: m_0 = (3 delta_0 - m_1 - h_0 S/2)/2 and
 *        m_{n-1} = (3 delta_{n-2} - m_{n-2} + h_{n-2} S/2)/2 (the end row of the natural cubic);
 *      free end: the same with S = 0;
 *      not-a-knot: the slope at the end of the parabola through the three end nodes;
 *      periodic: Bessel's seam rule (Akima: its weighted mean across the seam);
 *      Akima's own rule (end condition kind 0): the two missing chord slopes beyond
 *        each end are extrapolated linearly (delta_{-1} = 2 delta_0 - delta_1, as in
 *        Akima 1970) and the weighted mean applied at nodes 0 and 1 (and n-2, n-1).
 *    Hyman filters every derivative it computes, ends included (an end node has one
 *    chord); given first derivatives are taken as they are. Hermite without inner
 *    conditions: ZORN_DF_STATUS_BAD_INNER_CONDITIONS.
 *  - Interpolation result layouts, with q the q-th computed derivative order among the
 *    nd requested, i the site and j the function (result hint 0 and 128 read as 16):
 *      16:  r[(j*nsite + i)*nd + q]   per function, per site, orders together
 *      32:  r[(i*ny + j)*nd + q]      per site, per function, orders together
 *      256: r[(j*nd + q)*nsite + i]   per function, one row of sites per order
 *      512: r[(q*ny + j)*nsite + i]   per order, one row of sites per function
 *    Derivative orders at or above the spline order give 0.
 *  - With a type word other than 4, a non-null cell array receives the cells found.
 *  - Spline kind 8 (second step function): a site in (x[i], x[i+1]] takes y[i+1];
 *    x[0] and sites left of it take y[0], sites right of the partition y[nx-1].
 *  - Evaluation by the caller's functions (order 0 with another kind, order 5 or more)
 *    is refused with ZORN_DF_STATUS_BAD_SPLINE_KIND.
 *  - A NaN site gets cell 0 in every built-in search. The uniform search multiplies
 *    by 1/h. The dispatchers narrow the default search through the task's bin table
 *    while the task still has the node count and node array the table was built for.
 *  - The sorted search and the caller-defined searches run on the calling thread (the
 *    state chains the sites; the caller's function need not be reentrant); the other
 *    methods share whole blocks of 2048 sites among the threads of the service table
 *    when the partition has more than 100 nodes.
 *  - Site hint 4 sites are generated block by block; no buffer is allocated.
 *  - Operations refuse a task whose value or coefficient address table is missing, has
 *    fewer than ny entries, holds a null entry, or whose coefficient blocks (set for an
 *    earlier order, kind or nx) are shorter than the construction needs: ZORN_DF_STATUS_NULL_VALUES / ZORN_DF_STATUS_NULL_COEFFICIENTS.
 */
#ifndef ZORN_DF_H
#define ZORN_DF_H

#include <stdint.h>

#include "zorn/export.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ZornDfTask ZornDfTask;

/* The caller's search function: (site count of the block, sites, cells, flags, the
 * caller's parameter, a word passed as 0). Returns a negative status to stop, 1000
 * when every cell of the block is final, anything else to let the library finish the
 * sites whose flag is 0. */
typedef int32_t (*zorn_df_dsearch_fn)(int64_t* n, const double* sites, int64_t* cells,
                                      int32_t* flags, void* param, void* word);
typedef int32_t (*zorn_df_ssearch_fn)(int64_t* n, const float* sites, int64_t* cells,
                                      int32_t* flags, void* param, void* word);
/* The caller's evaluation functions of an interpolation (never called: see above). */
typedef int32_t (*zorn_df_user_fn)(void);

/* ---- codes a caller passes ---- */
/* Partition hints (creation, ZORN_DF_ID_PARTITION_HINT). */
#define ZORN_DF_PARTITION_NONE 0
#define ZORN_DF_PARTITION_NON_UNIFORM 1
#define ZORN_DF_PARTITION_QUASI_UNIFORM 2
#define ZORN_DF_PARTITION_UNIFORM 4 /* x holds only the two ends */

/* Value storage (creation, ZORN_DF_ID_VALUE_STORAGE) and coefficient storage
 * (ZORN_DF_ID_COEFFICIENT_STORAGE); 0 reads as ZORN_DF_STORAGE_ROWS. */
#define ZORN_DF_STORAGE_ROWS 16     /* one function after another, nx values each */
#define ZORN_DF_STORAGE_COLUMNS 32  /* node by node: y[i*ny + j]; values only */
#define ZORN_DF_STORAGE_SEPARATE 128 /* one array per function, set by index */

/* Spline orders (coefficients per cell). */
#define ZORN_DF_ORDER_TABLE 0 /* the look-up and step kinds: stored values, no polynomial */
#define ZORN_DF_ORDER_LINEAR 2
#define ZORN_DF_ORDER_QUADRATIC 3
#define ZORN_DF_ORDER_CUBIC 4

/* Spline kinds. Order 3: ZORN_DF_KIND_DEFAULT (midpoint value given) or
 * ZORN_DF_KIND_KNOT_QUADRATIC; order 4: any accepted kind (0, 2 ... 5, 9) is evaluated as
 * the cubic the construction wrote; order 0: the three table kinds. */
#define ZORN_DF_KIND_DEFAULT 0
#define ZORN_DF_KIND_KNOT_QUADRATIC 1 /* nx cells, breaks at knots between the nodes */
#define ZORN_DF_KIND_LOOKUP 6         /* each site must be a node */
#define ZORN_DF_KIND_STEP_LEFT 7      /* a site in [x[i], x[i+1]) takes y[i] */
#define ZORN_DF_KIND_STEP_RIGHT 8     /* a site in (x[i], x[i+1]] takes y[i+1] */

/* Inner condition kinds (bit set). */
#define ZORN_DF_INNER_NONE 0
#define ZORN_DF_INNER_KNOTS 8 /* the inner conditions hold the knots (quadratic kind 1) */

/* Parameter identifiers: the address operations (EditPtr, QueryPtr, and for VALUES
 * and COEFFICIENTS the indexed ones) ... */
#define ZORN_DF_ID_NODES 1
#define ZORN_DF_ID_VALUES 2
#define ZORN_DF_ID_INNER_CONDITIONS 3
#define ZORN_DF_ID_END_CONDITIONS 4
#define ZORN_DF_ID_COEFFICIENTS 5
/* ... and the value operations (iEditVal, iQueryVal). */
#define ZORN_DF_ID_NODE_COUNT 14
#define ZORN_DF_ID_PARTITION_HINT 15
#define ZORN_DF_ID_FUNCTION_COUNT 16
#define ZORN_DF_ID_VALUE_STORAGE 17
#define ZORN_DF_ID_SPLINE_ORDER 18
#define ZORN_DF_ID_SPLINE_KIND 19
#define ZORN_DF_ID_INNER_CONDITION_KIND 20
#define ZORN_DF_ID_END_CONDITION_KIND 21
#define ZORN_DF_ID_COEFFICIENT_STORAGE 22
#define ZORN_DF_ID_AUXILIARY_FLAG 23 /* 0 or 1, stored for the caller */

/* Interpolation type word: the caller supplies the cells (no search). Any other value
 * searches, and a non-null cell array receives the cells found. */
#define ZORN_DF_TYPE_SEARCH 0
#define ZORN_DF_TYPE_CALLER_CELLS 4

/* Interpolation result layouts, named by their nesting from outermost to innermost
 * (see the layouts above; 0 and 128 read as the first). */
#define ZORN_DF_RESULT_FUNCTION_SITE_ORDER 16
#define ZORN_DF_RESULT_SITE_FUNCTION_ORDER 32
#define ZORN_DF_RESULT_FUNCTION_ORDER_SITE 256
#define ZORN_DF_RESULT_ORDER_FUNCTION_SITE 512

/* ---- tasks ---- */
ZORN_API int32_t zorn_df_kernel_dNewTask1D(ZornDfTask** task, int64_t nx, const double* x,
                                           int64_t partition_hint, int64_t ny,
                                           const double* y, int64_t value_storage,
                                           int32_t integer_width);
ZORN_API int32_t zorn_df_kernel_sNewTask1D(ZornDfTask** task, int64_t nx, const float* x,
                                           int64_t partition_hint, int64_t ny, const float* y,
                                           int64_t value_storage, int32_t integer_width);
ZORN_API int32_t zorn_df_kernel_DeleteTask(ZornDfTask** task);
ZORN_API int32_t zorn_df_kernel_dEditPtr(ZornDfTask* task, int64_t id, const double* address);
ZORN_API int32_t zorn_df_kernel_sEditPtr(ZornDfTask* task, int64_t id, const float* address);
ZORN_API int32_t zorn_df_kernel_dEditIdxPtr(ZornDfTask* task, int64_t id, int64_t index,
                                            const void* address);
ZORN_API int32_t zorn_df_kernel_sEditIdxPtr(ZornDfTask* task, int64_t id, int64_t index,
                                            const void* address);
ZORN_API int32_t zorn_df_kernel_iEditVal(ZornDfTask* task, int64_t id, int64_t value);
ZORN_API int32_t zorn_df_kernel_dEditPPSpline1D(ZornDfTask* task, int64_t order, int64_t kind,
                                                int64_t end_kind, const double* end_values,
                                                int64_t inner_kind, const double* inner_values,
                                                double* coefficients,
                                                int64_t coefficient_storage);
ZORN_API int32_t zorn_df_kernel_sEditPPSpline1D(ZornDfTask* task, int64_t order, int64_t kind,
                                                int64_t end_kind, const float* end_values,
                                                int64_t inner_kind, const float* inner_values,
                                                float* coefficients,
                                                int64_t coefficient_storage);
ZORN_API int32_t zorn_df_kernel_dQueryPtr(ZornDfTask* task, int64_t id, double** result);
ZORN_API int32_t zorn_df_kernel_sQueryPtr(ZornDfTask* task, int64_t id, float** result);
ZORN_API int32_t zorn_df_kernel_dQueryIdxPtr(ZornDfTask* task, int64_t id, int64_t index,
                                             void** result);
ZORN_API int32_t zorn_df_kernel_sQueryIdxPtr(ZornDfTask* task, int64_t id, int64_t index,
                                             void** result);
/* Writes 8 bytes when the task's integer width is non-zero, else 4. */
ZORN_API int32_t zorn_df_kernel_iQueryVal(ZornDfTask* task, int64_t id, void* result);

/* ---- cell search kernels ----
 * (nx, nodes, site count, sites, search state, node step h, three unread words, cells
 *  [, flag word]). The 32 members write int32_t cells and keep an int32_t state, the 64
 * and 64Pack members int64_t; the unsuffixed members write 32-bit cells (and state)
 * when bit 1 of the flag word is set and bit 0 clear, 64-bit otherwise. */
#define ZORN_DF_SEARCH_KERNELS(P, T)                                                        \
  ZORN_DF_SEARCH_FAMILY(P, T, Sorted)                                                       \
  ZORN_DF_SEARCH_FAMILY(P, T, Uniform)                                                      \
  ZORN_DF_SEARCH_FAMILY(P, T, QuasiUniform)                                                 \
  ZORN_DF_SEARCH_FAMILY(P, T, Hybrid)                                                       \
  ZORN_DF_SEARCH_FAMILY(P, T, Peak)                                                         \
  ZORN_DF_USER_SEARCH_FAMILY(P, T, UserDef)                                                 \
  ZORN_DF_USER_SEARCH_FAMILY(P, T, UniUserDef)
#define ZORN_DF_SEARCH_ARGS(T, I)                                                           \
  int64_t nx, const T* x, int64_t nsite, const T* sites, I* state, T h, int64_t w1,         \
      int64_t w2, int64_t w3, I* cells
#define ZORN_DF_SEARCH_FAMILY(P, T, M)                                                      \
  ZORN_API void zorn_df_kernel_##P##DF##M##Search1D32(ZORN_DF_SEARCH_ARGS(T, int32_t));     \
  ZORN_API void zorn_df_kernel_##P##DF##M##Search1D64(ZORN_DF_SEARCH_ARGS(T, int64_t));     \
  ZORN_API void zorn_df_kernel_##P##DF##M##Search1D64Pack(ZORN_DF_SEARCH_ARGS(T, int64_t)); \
  ZORN_API void zorn_df_kernel_##P##DF##M##Search1D(ZORN_DF_SEARCH_ARGS(T, void),           \
                                                    int64_t flags);
/* The caller-defined members return the status of the search (see zorn_df_dsearch_fn). */
#define ZORN_DF_USER_SEARCH_ARGS(P, T, I)                                                   \
  ZORN_DF_SEARCH_ARGS(T, I), int64_t unused, zorn_df_##P##search_fn fn, void* param,        \
      void* word, int32_t* site_flags
#define ZORN_DF_USER_SEARCH_FAMILY(P, T, M)                                                 \
  ZORN_API int32_t zorn_df_kernel_##P##DF##M##Search1D32(                                   \
      ZORN_DF_USER_SEARCH_ARGS(P, T, int32_t));                                             \
  ZORN_API int32_t zorn_df_kernel_##P##DF##M##Search1D64(                                   \
      ZORN_DF_USER_SEARCH_ARGS(P, T, int64_t));                                             \
  ZORN_API int32_t zorn_df_kernel_##P##DF##M##Search1D64Pack(                               \
      ZORN_DF_USER_SEARCH_ARGS(P, T, int64_t));                                             \
  ZORN_API int32_t zorn_df_kernel_##P##DF##M##Search1D(ZORN_DF_USER_SEARCH_ARGS(P, T, void), \
                                                       int64_t flags);
ZORN_DF_SEARCH_KERNELS(d, double)
ZORN_DF_SEARCH_KERNELS(s, float)

/* Site hints of the dispatchers and of interpolation. */
#define ZORN_DF_SITES_UNIFORM 4 /* sites holds only the first and last of nsite equally spaced sites */
#define ZORN_DF_SITES_SORTED 64

/* Dispatchers: (task, method word passed on, site count, sites, site hint, data hint or
 * null, cells (32- or 64-bit after the task's integer width), caller's search function
 * or null, its parameter, the threading service table or null). */
ZORN_API int32_t zorn_df_kernel_dDFSearch1D(ZornDfTask* task, int64_t method, int64_t nsite,
                                            const double* sites, int64_t site_hint,
                                            const double* data_hint, void* cells,
                                            zorn_df_dsearch_fn fn, void* param,
                                            void* const* threading);
ZORN_API int32_t zorn_df_kernel_sDFSearch1D(ZornDfTask* task, int64_t method, int64_t nsite,
                                            const float* sites, int64_t site_hint,
                                            const float* data_hint, void* cells,
                                            zorn_df_ssearch_fn fn, void* param,
                                            void* const* threading);

/* ---- constructions: (task, format word, method word, worker word) ---- */
#define ZORN_DF_CONSTRUCTION(P, name)                                                      \
  ZORN_API int32_t zorn_df_kernel_##P##DF##name##Spline1D(ZornDfTask* task, int64_t format, \
                                                          int64_t method, int64_t word);
#define ZORN_DF_CONSTRUCTIONS(P)         \
  ZORN_DF_CONSTRUCTION(P, Linear)        \
  ZORN_DF_CONSTRUCTION(P, Quadratic)     \
  ZORN_DF_CONSTRUCTION(P, NaturalCubic)  \
  ZORN_DF_CONSTRUCTION(P, DefaultCubic)  \
  ZORN_DF_CONSTRUCTION(P, AkimaCubic)    \
  ZORN_DF_CONSTRUCTION(P, BesselCubic)   \
  ZORN_DF_CONSTRUCTION(P, HermiteCubic)  \
  ZORN_DF_CONSTRUCTION(P, HymanCubic)
ZORN_DF_CONSTRUCTIONS(d)
ZORN_DF_CONSTRUCTIONS(s)

/* End condition kinds. */
#define ZORN_DF_END_AKIMA 0 /* Akima's own end rule (the Akima construction only) */
#define ZORN_DF_END_NOT_A_KNOT 1
#define ZORN_DF_END_FREE 2
#define ZORN_DF_END_D1_LEFT 4
#define ZORN_DF_END_D1_RIGHT 8
#define ZORN_DF_END_D2_LEFT 16
#define ZORN_DF_END_D2_RIGHT 32
#define ZORN_DF_END_PERIODIC 64
#define ZORN_DF_END_MIDPOINT 128 /* quadratic kind 0: value at the middle of cell 0 */

/* ---- interpolation ----
 * (task, type word (4: the caller supplies the cells), method word, site count, sites,
 *  site hint, number of derivative flags, flags (order k computed when flags[k] != 0),
 *  data hint or null, results, result hint, cells, three pairs of a caller's function
 *  and its parameter, caller's search function and its parameter, threading table). */
ZORN_API int32_t zorn_df_kernel_dDFInterpolate1D(
    ZornDfTask* task, int64_t type, int64_t method, int64_t nsite, const double* sites,
    int64_t site_hint, int64_t nflags, const int32_t* flags, const double* data_hint,
    double* result, int64_t result_hint, void* cells, zorn_df_user_fn f1, void* p1,
    zorn_df_user_fn f2, void* p2, zorn_df_user_fn f3, void* p3, zorn_df_dsearch_fn search,
    void* search_param, void* const* threading);
ZORN_API int32_t zorn_df_kernel_sDFInterpolate1D(
    ZornDfTask* task, int64_t type, int64_t method, int64_t nsite, const float* sites,
    int64_t site_hint, int64_t nflags, const int32_t* flags, const float* data_hint,
    float* result, int64_t result_hint, void* cells, zorn_df_user_fn f1, void* p1,
    zorn_df_user_fn f2, void* p2, zorn_df_user_fn f3, void* p3, zorn_df_ssearch_fn search,
    void* search_param, void* const* threading);

#ifdef __cplusplus
}
#endif
#endif
