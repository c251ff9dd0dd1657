// One block of doubles from the sibling for all work arrays of a call, sized with
// overflow checks and released on every exit.
#pragma once

#include <cstdint>

#include "core_interface/sibling.h"

namespace zorn::ss {

// Pieces of a block start at multiples of this.
constexpr uint64_t kPieceAlignment = 16;

// Adds a piece of count * size bytes, rounded up as the Carver hands it out, to total;
// false on overflow.
inline bool add_size(uint64_t* total, uint64_t count, uint64_t size) {
  uint64_t bytes;
  if (__builtin_mul_overflow(count, size, &bytes) ||
      __builtin_add_overflow(bytes, kPieceAlignment - 1, &bytes))
    return false;
  return !__builtin_add_overflow(*total, bytes & ~(kPieceAlignment - 1), total);
}

class WorkBlock {
 public:
  explicit WorkBlock(uint64_t bytes) : block_(bytes > 0 ? sibling::allocate(bytes) : nullptr) {}
  ~WorkBlock() { sibling::deallocate(block_); }
  WorkBlock(const WorkBlock&) = delete;
  WorkBlock& operator=(const WorkBlock&) = delete;
  void* get() const { return block_; }

 private:
  void* block_;
};

// Hands out consecutive pieces of a block sized by add_size, one call per piece.
class Carver {
 public:
  explicit Carver(void* block) : next_(static_cast<char*>(block)) {}
  template <class U>
  U* take(uint64_t count) {
    U* piece = reinterpret_cast<U*>(next_);
    next_ += (count * sizeof(U) + kPieceAlignment - 1) & ~(kPieceAlignment - 1);
    return piece;
  }

 private:
  char* next_;
};

}  // namespace zorn::ss
