// The exported sorting and selection routines.
#include <limits>

#include "summary_stats/sort_routines.h"
#include "zorn/ss.h"

namespace zorn::ss {
namespace {

template <class T>
T select_checked(int64_t count, T* array, int64_t k) {
  if (array == nullptr || k < 0 || k >= count) return std::numeric_limits<T>::quiet_NaN();
  return quick_select(array, count, k);
}

}  // namespace
}  // namespace zorn::ss

using namespace zorn::ss;

extern "C" {

void __pavodQSort(int64_t count, double* array) {
  if (array != nullptr && count > 1) quick_sort(array, count, 1);
}
void __pavosQSort(int64_t count, float* array) {
  if (array != nullptr && count > 1) quick_sort(array, count, 1);
}
void __pavodQSortStep(int64_t count, double* array, int64_t stride) {
  if (array != nullptr && count > 1 && stride > 0) quick_sort(array, count, stride);
}
void __pavosQSortStep(int64_t count, float* array, int64_t stride) {
  if (array != nullptr && count > 1 && stride > 0) quick_sort(array, count, stride);
}
// A k outside [0, count) returns NaN and leaves the array as it is.
double __pavodQSortSelect(int64_t count, double* array, int64_t k) {
  return select_checked(count, array, k);
}
float __pavosQSortSelect(int64_t count, float* array, int64_t k) {
  return select_checked(count, array, k);
}

}  // extern "C"
