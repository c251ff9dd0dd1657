// Observation layouts and matrix storage codes.
#pragma once

#include <cstdint>

namespace zorn::ss {

constexpr int64_t kStorageRows = 0x10000;     // variable i, observation j at x[i*n + j]
constexpr int64_t kStorageColumns = 0x20000;  // at x[j*p + i]
constexpr int64_t kMatrixPacked = 0x2;        // bit 1 of a matrix storage code

// Task creation accepts exactly one of the two layouts.
inline bool is_observation_storage(int64_t code) {
  return code == kStorageRows || code == kStorageColumns;
}

// The computations look only at the layout bits; rows win when both are set.
inline bool has_layout_bit(int64_t code) { return (code & (kStorageRows | kStorageColumns)) != 0; }
inline bool is_row_layout(int64_t code) { return (code & kStorageRows) != 0; }

// Position of element (i, j), i <= j, of a symmetric p x p matrix: full storage is
// row-major; packed storage keeps the upper triangle row by row.
inline int64_t matrix_index(bool packed, int64_t p, int64_t i, int64_t j) {
  return packed ? i * p - i * (i - 1) / 2 + (j - i) : i * p + j;
}

}  // namespace zorn::ss
