/* Every status the library returns, by name and meaning, and every code a caller's
 * own routine returns to it. Each subsystem's statuses are one list of (name, value,
 * meaning): the names are C enumerators, and zorn_status_text() and zorn_status_name()
 * (header only, no exported symbol) give the meaning and the name of a value.
 *
 * Statuses are 0 for success, negative for a failure and, for the vector functions,
 * positive for an element error; the same number means different things in different
 * subsystems, so a lookup names the subsystem. */
#ifndef ZORN_STATUS_H
#define ZORN_STATUS_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Vector math: the element statuses a kernel reports (and _tessGetErrStatus keeps),
 * and the two statuses a caller may pass to the reporters. */
#define ZORN_TESS_STATUSES(X) \
  X(TESS_STATUS_OK, 0, "success") \
  X(TESS_STATUS_DOMAIN, 1, "an argument lies outside the function's domain") \
  X(TESS_STATUS_SINGULARITY, 2, "a finite argument gives an infinite result") \
  X(TESS_STATUS_OVERFLOW, 3, "the exact result is too large for the type") \
  X(TESS_STATUS_UNDERFLOW, 4, "the exact result is below the normal range") \
  X(TESS_STATUS_BAD_ARGUMENT, -1, "an invalid argument was reported") \
  X(TESS_STATUS_ACCESS_DENIED, -2, "access was denied")

/* Random streams, generators and distributions. A distribution also passes on the
 * status of its last uniform draw. NULL_OPERATION and ABSTRACT_NO_BUFFER share -5. */
#define ZORN_PAVO_STATUSES(X) \
  X(PAVO_STATUS_OK, 0, "success") \
  X(PAVO_STATUS_BAD_METHOD, -2, "the method number is out of range") \
  X(PAVO_STATUS_BAD_ARGUMENT, -3, "a null address, an empty buffer or an empty interval") \
  X(PAVO_STATUS_NO_MEMORY, -4, "memory could not be allocated") \
  X(PAVO_STATUS_NULL_OPERATION, -5, "a generator record lacks an operation, or an abstract stream holds no buffer") \
  X(PAVO_STATUS_ABSTRACT_NO_BUFFER, -5, "an abstract stream holds no buffer") \
  X(PAVO_STATUS_INVALID_BRNG, -1000, "the identifier names no valid generator") \
  X(PAVO_STATUS_LEAPFROG_UNSUPPORTED, -1002, "the generator does not offer leapfrog") \
  X(PAVO_STATUS_SKIP_AHEAD_UNSUPPORTED, -1003, "the generator does not offer skip-ahead") \
  X(PAVO_STATUS_SKIP_AHEAD_EX_UNSUPPORTED, -1004, "the generator does not offer multi-word skip-ahead") \
  X(PAVO_STATUS_BAD_STATE_SIZE, -1008, "a registered generator's state size is out of range") \
  X(PAVO_STATUS_BAD_WORD_SIZE, -1009, "a registered generator's word size is out of range") \
  X(PAVO_STATUS_BAD_STATE_WORDS, -1010, "a registered generator's number of state words is out of range") \
  X(PAVO_STATUS_BAD_BITS, -1011, "a registered generator's number of bits is out of range") \
  X(PAVO_STATUS_QUASI_EXHAUSTED, -1012, "the quasi-random sequence has no more points") \
  X(PAVO_STATUS_BAD_LEAPFROG_COUNT, -1013, "the leapfrog stream count or index is out of range") \
  X(PAVO_STATUS_NO_FIXED_WORDS, -1014, "the generator's output cannot be cut into 32- or 64-bit words") \
  X(PAVO_STATUS_REGISTRY_FULL, -1015, "the generator registry has no room for another generator") \
  X(PAVO_STATUS_CLOSE_FAILED, -1100, "the file could not be closed") \
  X(PAVO_STATUS_OPEN_FAILED, -1101, "the file could not be opened") \
  X(PAVO_STATUS_SHORT_WRITE, -1102, "the file could not be written in full") \
  X(PAVO_STATUS_SHORT_READ, -1103, "the file could not be read in full") \
  X(PAVO_STATUS_FILE_BAD_HEADER, -1110, "the file holds no valid stream image") \
  X(PAVO_STATUS_FILE_BAD_VERSION, -1111, "the file's stream image has an unsupported version") \
  X(PAVO_STATUS_ABSTRACT_BAD_REFILL, -1120, "the abstract stream's callback returned a negative or too large count") \
  X(PAVO_STATUS_ABSTRACT_EMPTY_REFILL, -1121, "the abstract stream's callback delivered no value") \
  X(PAVO_STATUS_ABSTRACT_WRONG_TYPE, -1122, "the abstract stream delivers another type than the one requested") \
  X(PAVO_STATUS_NO_RDRAND, -1130, "the processor has no RDRAND instruction") \
  X(PAVO_STATUS_RDRAND_FAILED, -1131, "RDRAND failed on every attempt") \
  X(PAVO_STATUS_NO_AES, -1140, "the processor has no AES instructions") \
  X(PAVO_STATUS_MEMORY_BAD_IMAGE, -1200, "the buffer holds no valid stream image, or one of an unsupported version") \
  X(PAVO_STATUS_ENTRY_NOT_FOUND, -3000, "no shared read-only data entry has this key") \
  X(PAVO_STATUS_TABLE_FULL, -3001, "the shared read-only data table is full") \
  X(PAVO_STATUS_CHUNK_SIZE_CONFLICT, -3002, "a chunk would share a block of another size than its own")

/* Summary-statistics tasks and computations. */
#define ZORN_SS_STATUSES(X) \
  X(PAVO_SS_STATUS_OK, 0, "success") \
  X(PAVO_SS_STATUS_BAD_PARAMETER_ID, -3, "the parameter identifier is not known") \
  X(PAVO_SS_STATUS_NO_MEMORY, -4000, "memory could not be allocated") \
  X(PAVO_SS_STATUS_BAD_DIMENSION, -4001, "the dimension is missing or below one") \
  X(PAVO_SS_STATUS_BAD_OBSERVATION_COUNT, -4002, "the observation count is missing or below one") \
  X(PAVO_SS_STATUS_BAD_STORAGE, -4003, "the storage code is not known") \
  X(PAVO_SS_STATUS_NULL_SELECTION, -4004, "the task has no address for the selection") \
  X(PAVO_SS_STATUS_NULL_WEIGHTS, -4005, "the task has no address for the weights") \
  X(PAVO_SS_STATUS_NULL_MEAN, -4006, "the task has no address for the mean") \
  X(PAVO_SS_STATUS_NULL_RAW_MOMENT_2, -4007, "the task has no address for the raw moment of order 2") \
  X(PAVO_SS_STATUS_NULL_RAW_MOMENT_3, -4008, "the task has no address for the raw moment of order 3") \
  X(PAVO_SS_STATUS_NULL_RAW_MOMENT_4, -4009, "the task has no address for the raw moment of order 4") \
  X(PAVO_SS_STATUS_NULL_CENTRAL_MOMENT_2, -4010, "the task has no address for the central moment of order 2") \
  X(PAVO_SS_STATUS_NULL_CENTRAL_MOMENT_3, -4011, "the task has no address for the central moment of order 3") \
  X(PAVO_SS_STATUS_NULL_CENTRAL_MOMENT_4, -4012, "the task has no address for the central moment of order 4") \
  X(PAVO_SS_STATUS_NULL_KURTOSIS, -4013, "the task has no address for the kurtosis") \
  X(PAVO_SS_STATUS_NULL_SKEWNESS, -4014, "the task has no address for the skewness") \
  X(PAVO_SS_STATUS_NULL_MINIMUM, -4015, "the task has no address for the minimum") \
  X(PAVO_SS_STATUS_NULL_MAXIMUM, -4016, "the task has no address for the maximum") \
  X(PAVO_SS_STATUS_NULL_VARIATION, -4017, "the task has no address for the variation") \
  X(PAVO_SS_STATUS_NULL_COVARIANCE, -4018, "the task has no address for the covariance") \
  X(PAVO_SS_STATUS_NULL_CORRELATION, -4019, "the task has no address for the correlation") \
  X(PAVO_SS_STATUS_NULL_ACCUMULATED_WEIGHTS, -4020, "the task has no address for the accumulated weights") \
  X(PAVO_SS_STATUS_NULL_QUANTILE_ORDERS, -4021, "the task has no address for the quantile orders") \
  X(PAVO_SS_STATUS_BAD_QUANTILE_ORDERS, -4022, "the quantile order count is missing or negative, or an order lies outside [0, 1]") \
  X(PAVO_SS_STATUS_NULL_QUANTILES, -4023, "the task has no address for the quantiles") \
  X(PAVO_SS_STATUS_NULL_ORDER_STATISTICS, -4024, "the task has no address for the order statistics") \
  X(PAVO_SS_STATUS_NULL_ROBUST_COVARIANCE, -4027, "the task has no address for the robust covariance") \
  X(PAVO_SS_STATUS_NULL_ROBUST_MEAN, -4028, "the task has no address for the robust mean") \
  X(PAVO_SS_STATUS_BAD_METHOD, -4029, "the method is not known, or cannot give a requested estimate") \
  X(PAVO_SS_STATUS_NULL_TASK, -4031, "the task is null") \
  X(PAVO_SS_STATUS_NULL_OBSERVATIONS, -4032, "the task has no address for the observations") \
  X(PAVO_SS_STATUS_NULL_POOLED_COVARIANCE, -4034, "the task has no address for the pooled covariance") \
  X(PAVO_SS_STATUS_NULL_POOLED_MEAN, -4035, "the task has no address for the pooled mean") \
  X(PAVO_SS_STATUS_NULL_GROUP_COVARIANCES, -4036, "the task has no address for the group covariances") \
  X(PAVO_SS_STATUS_NULL_GROUP_MEANS, -4037, "the task has no address for the group means") \
  X(PAVO_SS_STATUS_NULL_GROUP_INDICES, -4038, "the task has no address for the group indices") \
  X(PAVO_SS_STATUS_NULL_OUTLIER_PARAMETERS, -4039, "the task has no address for the outlier parameters") \
  X(PAVO_SS_STATUS_NULL_OUTLIER_PARAMETER_COUNT, -4040, "the task has no address for the outlier parameter count") \
  X(PAVO_SS_STATUS_NULL_OUTLIER_WEIGHTS, -4041, "the task has no address for the outlier weights") \
  X(PAVO_SS_STATUS_NULL_ROBUST_PARAMETERS, -4042, "the task has no address for the robust parameters") \
  X(PAVO_SS_STATUS_NULL_ROBUST_PARAMETER_COUNT, -4043, "the task has no address for the robust parameter count") \
  X(PAVO_SS_STATUS_NULL_STORAGE, -4044, "the task has no address for the storage") \
  X(PAVO_SS_STATUS_NULL_PARTIAL_INDICES, -4045, "the task has no address for the partial indices") \
  X(PAVO_SS_STATUS_NULL_PARTIAL_COVARIANCE, -4046, "the task has no address for the partial covariance") \
  X(PAVO_SS_STATUS_NULL_PARTIAL_CORRELATION, -4047, "the task has no address for the partial correlation") \
  X(PAVO_SS_STATUS_NULL_MISSING_VALUE_PARAMETERS, -4048, "the task has no address for the missing value parameters") \
  X(PAVO_SS_STATUS_NULL_MISSING_VALUE_PARAMETER_COUNT, -4049, "the task has no address for the missing value parameter count") \
  X(PAVO_SS_STATUS_NULL_INITIAL_ESTIMATE_COUNT, -4052, "the task has no address for the initial estimate count") \
  X(PAVO_SS_STATUS_NULL_INITIAL_ESTIMATES, -4053, "the task has no address for the initial estimates") \
  X(PAVO_SS_STATUS_NULL_SIMULATIONS, -4054, "the task has no address for the simulations") \
  X(PAVO_SS_STATUS_NULL_SIMULATION_COUNT, -4055, "the task has no address for the simulation count") \
  X(PAVO_SS_STATUS_NULL_MISSING_ESTIMATE_COUNT, -4056, "the task has no address for the missing estimate count") \
  X(PAVO_SS_STATUS_NULL_MISSING_ESTIMATES, -4057, "the task has no address for the missing estimates") \
  X(PAVO_SS_STATUS_NULL_PRIOR_COUNT, -4061, "the task has no address for the prior count") \
  X(PAVO_SS_STATUS_NULL_PRIOR, -4062, "the task has no address for the prior") \
  X(PAVO_SS_STATUS_NULL_STREAM_QUANTILE_PARAMETERS, -4065, "the task has no address for the stream quantile parameters") \
  X(PAVO_SS_STATUS_NULL_STREAM_QUANTILE_PARAMETER_COUNT, -4066, "the task has no address for the stream quantile parameter count") \
  X(PAVO_SS_STATUS_NULL_STREAM_QUANTILE_ORDERS, -4068, "the task has no address for the stream quantile orders") \
  X(PAVO_SS_STATUS_NULL_STREAM_QUANTILE_ORDER_COUNT, -4069, "the task has no address for the stream quantile order count") \
  X(PAVO_SS_STATUS_NULL_STREAM_QUANTILES, -4070, "the task has no address for the stream quantiles") \
  X(PAVO_SS_STATUS_NULL_PARAMETRIZED_CORRELATION, -4071, "the task has no address for the parametrized correlation") \
  X(PAVO_SS_STATUS_NULL_SUM_1, -4074, "the task has no address for the sum of order 1") \
  X(PAVO_SS_STATUS_NULL_RAW_SUM_2, -4075, "the task has no address for the raw sum of order 2") \
  X(PAVO_SS_STATUS_NULL_RAW_SUM_3, -4076, "the task has no address for the raw sum of order 3") \
  X(PAVO_SS_STATUS_NULL_RAW_SUM_4, -4077, "the task has no address for the raw sum of order 4") \
  X(PAVO_SS_STATUS_NULL_CENTRAL_SUM_2, -4078, "the task has no address for the central sum of order 2") \
  X(PAVO_SS_STATUS_NULL_CENTRAL_SUM_3, -4079, "the task has no address for the central sum of order 3") \
  X(PAVO_SS_STATUS_NULL_CENTRAL_SUM_4, -4080, "the task has no address for the central sum of order 4") \
  X(PAVO_SS_STATUS_NULL_CROSS_PRODUCT, -4081, "the task has no address for the cross product") \
  X(PAVO_SS_STATUS_NULL_MEDIAN_ABS_DEVIATION, -4082, "the task has no address for the median abs deviation") \
  X(PAVO_SS_STATUS_NULL_MEAN_ABS_DEVIATION, -4083, "the task has no address for the mean abs deviation") \
  X(PAVO_SS_STATUS_NULL_SORTED_OBSERVATIONS, -4084, "the task has no address for the sorted observations")

/* Data-fitting (spline) tasks, construction, search and interpolation. */
#define ZORN_DF_STATUSES(X) \
  X(ZORN_DF_STATUS_OK, 0, "success") \
  X(ZORN_DF_STATUS_NULL_TASK, -1000, "the task is null") \
  X(ZORN_DF_STATUS_NO_MEMORY, -1001, "memory could not be allocated") \
  X(ZORN_DF_STATUS_BAD_METHOD, -1002, "the construction or search method is not known") \
  X(ZORN_DF_STATUS_BAD_NODE_COUNT, -1004, "fewer than two nodes, or a count out of range") \
  X(ZORN_DF_STATUS_NULL_NODES, -1005, "the nodes' address is null") \
  X(ZORN_DF_STATUS_BAD_PARTITION_HINT, -1006, "the partition hint is not known") \
  X(ZORN_DF_STATUS_BAD_FUNCTION_COUNT, -1007, "the number of functions is below one") \
  X(ZORN_DF_STATUS_NULL_VALUES, -1008, "the function values' address is null") \
  X(ZORN_DF_STATUS_BAD_VALUE_STORAGE, -1009, "the function values' storage code is not known") \
  X(ZORN_DF_STATUS_BAD_SPLINE_ORDER, -1010, "the spline order is not known") \
  X(ZORN_DF_STATUS_BAD_SPLINE_KIND, -1011, "the spline kind is not known for its order") \
  X(ZORN_DF_STATUS_BAD_INNER_CONDITION_KIND, -1012, "the internal condition kind is not known") \
  X(ZORN_DF_STATUS_BAD_INNER_CONDITIONS, -1013, "the internal conditions are missing or wrong") \
  X(ZORN_DF_STATUS_BAD_END_CONDITION_KIND, -1014, "the boundary condition kind is not known for the spline") \
  X(ZORN_DF_STATUS_NULL_END_CONDITIONS, -1015, "the boundary condition values are missing") \
  X(ZORN_DF_STATUS_NULL_COEFFICIENTS, -1016, "the coefficients' address is null") \
  X(ZORN_DF_STATUS_BAD_COEFFICIENT_STORAGE, -1017, "the coefficients' storage code is not known") \
  X(ZORN_DF_STATUS_NOT_PERIODIC, -1018, "periodic conditions need equal first and last values") \
  X(ZORN_DF_STATUS_UNKNOWN_IDENTIFIER, -1019, "the parameter identifier is not known") \
  X(ZORN_DF_STATUS_BAD_FUNCTION_INDEX, -1020, "the function index is out of range") \
  X(ZORN_DF_STATUS_SITE_NOT_A_NODE, -1022, "a site of the search is not a node where one is required") \
  X(ZORN_DF_STATUS_BAD_DATA_HINT, -1026, "the data hint is wrong") \
  X(ZORN_DF_STATUS_BAD_RESULT_HINT, -1028, "the result storage hint is not known") \
  X(ZORN_DF_STATUS_BAD_AUXILIARY_FLAG, -1036, "the auxiliary flag is neither 0 nor 1") \
  X(ZORN_DF_STATUS_NULL_RESULT, -1037, "the result address is null") \
  X(ZORN_DF_STATUS_SOLVER_FAILED, -1500, "the linear system of the construction could not be solved")

#define ZORN_STATUS_ENUMERATOR(name, value, text) name = value,
enum { ZORN_TESS_STATUSES(ZORN_STATUS_ENUMERATOR) };
enum { ZORN_PAVO_STATUSES(ZORN_STATUS_ENUMERATOR) };
enum { ZORN_SS_STATUSES(ZORN_STATUS_ENUMERATOR) };
enum { ZORN_DF_STATUSES(ZORN_STATUS_ENUMERATOR) };

/* A caller's cell-search routine returns this when every cell of its block is final. */
#define ZORN_DF_USER_CELLS_FINAL 1000

/* The subsystem whose statuses a lookup reads. */
enum {
  ZORN_SUBSYSTEM_TESS = 1,
  ZORN_SUBSYSTEM_PAVO = 2,
  ZORN_SUBSYSTEM_SS = 3,
  ZORN_SUBSYSTEM_DF = 4
};

typedef struct ZornStatusEntry {
  int32_t value;
  const char* name;
  const char* text;
} ZornStatusEntry;

#define ZORN_STATUS_ENTRY(name, value, text) {value, #name, text},

/* The entry of `status` in `subsystem`'s list (the first of equal values), or null. */
static inline const ZornStatusEntry* zorn_status_entry(int32_t subsystem, int32_t status) {
  static const ZornStatusEntry tess[] = {ZORN_TESS_STATUSES(ZORN_STATUS_ENTRY)};
  static const ZornStatusEntry pavo[] = {ZORN_PAVO_STATUSES(ZORN_STATUS_ENTRY)};
  static const ZornStatusEntry ss[] = {ZORN_SS_STATUSES(ZORN_STATUS_ENTRY)};
  static const ZornStatusEntry df[] = {ZORN_DF_STATUSES(ZORN_STATUS_ENTRY)};
  const ZornStatusEntry* list = 0;
  size_t count = 0;
  switch (subsystem) {
    case ZORN_SUBSYSTEM_TESS: list = tess; count = sizeof tess / sizeof *tess; break;
    case ZORN_SUBSYSTEM_PAVO: list = pavo; count = sizeof pavo / sizeof *pavo; break;
    case ZORN_SUBSYSTEM_SS: list = ss; count = sizeof ss / sizeof *ss; break;
    case ZORN_SUBSYSTEM_DF: list = df; count = sizeof df / sizeof *df; break;
    default: return 0;
  }
  for (size_t i = 0; i < count; ++i)
    if (list[i].value == status) return &list[i];
  return 0;
}

/* The meaning of a status, or "unknown status". */
static inline const char* zorn_status_text(int32_t subsystem, int32_t status) {
  const ZornStatusEntry* e = zorn_status_entry(subsystem, status);
  return e ? e->text : "unknown status";
}

/* The name of a status (for example "PAVO_STATUS_INVALID_BRNG"), or "unknown status". */
static inline const char* zorn_status_name(int32_t subsystem, int32_t status) {
  const ZornStatusEntry* e = zorn_status_entry(subsystem, status);
  return e ? e->name : "unknown status";
}

#ifdef __cplusplus
}
#endif

#endif
