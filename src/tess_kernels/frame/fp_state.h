// Entry and exit of the floating-point state around a kernel: the x87 control word and
// MXCSR are written only when they differ from what the kernel needs and restored only
// when they were written.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "tess_frame/mode.h"
#include "tess_frame/thread_state.h"

namespace zorn::tess {

enum class FrameKind {
  kHonoursDenormals,  // reads the mode: flush-to-zero and denormals-are-zero on request
  kPlain,             // only masks the exceptions; the caller's rounding stays
  kNone,              // moves bits only
};

constexpr uint32_t kMxcsrExceptionMasks = 0x1F80;
constexpr uint32_t kMxcsrExceptionFlags = 0x003F;
constexpr uint32_t kMxcsrControlBits = 0xFFC0;            // DAZ, masks, rounding, FTZ
constexpr uint32_t kMxcsrNearestMasked = 0x1F80;          // all masked, to nearest
constexpr uint32_t kMxcsrNearestMaskedFlushing = 0x9FC0;  // ... with FTZ and DAZ
constexpr uint16_t kX87ExceptionMasks = 0x3F;

// When the x87 unit is set up: at entry, or only before the first scalar code of the
// call (a callout or a report) in loops whose fast path is vector code, which runs no
// x87 instruction.
enum class X87Entry { kAtEntry, kBeforeScalarCode };

// The x87 half of a frame: the six exceptions masked, pending ones cleared, when the
// caller left any unmasked, and the control word put back on destruction.
class X87Masking {
 public:
  // `ready`: nothing to set up (frames that move bits only).
  explicit X87Masking(bool ready) : ready_(ready) {}

  // The first call only does anything.
  void mask_x87_exceptions() {
    if (ready_) return;
    ready_ = true;
    uint16_t control;
    asm volatile("fnstcw %0" : "=m"(control));
    if ((control & kX87ExceptionMasks) != kX87ExceptionMasks) {
      saved_ = control;
      changed_ = true;
      const uint16_t masked = control | kX87ExceptionMasks;
      asm volatile("fnclex\n\tfldcw %0" : : "m"(masked));
    }
  }

  // The control word goes through a local: a member named by the asm would keep the whole
  // frame in memory, where the compiler can no longer see that nothing changed it.
  ~X87Masking() {
    if (changed_) {
      const uint16_t saved = saved_;
      asm volatile("fldcw %0" : : "m"(saved));
    }
  }

  X87Masking(const X87Masking&) = delete;
  X87Masking& operator=(const X87Masking&) = delete;

 protected:
  bool x87_ready() const { return ready_; }

 private:
  uint16_t saved_ = 0;
  bool ready_;
  bool changed_ = false;
};

// Invalid, divide-by-zero and overflow: what a kernel's vector code may raise on the
// special lanes it hands on (a huge argument's conversions and products), whose slower
// paths and callouts then raise the right ones.
constexpr uint32_t kVectorPathFlags =
    _MM_EXCEPT_INVALID | _MM_EXCEPT_DIV_ZERO | _MM_EXCEPT_OVERFLOW;

// A kernel whose vector code raises none of them on the lanes it keeps declares
// `static constexpr bool kSpecialLanesRaiseNoFlag = true;`: its frame then clears those
// its vector code raised on a group's special lanes before settling them.
template <class Op>
concept SpecialLanesRaiseNoFlag = requires { requires Op::kSpecialLanesRaiseNoFlag; };

// Clears the vector path flags not in `standing_flags` (those at entry and those that
// settling special lanes raised so far): the vector code's on special lanes, in this
// group and in a contiguous block that stopped before it. Out of line, so that the loops
// keep their code.
[[gnu::noinline]] inline void clear_vector_path_flags(uint32_t standing_flags) {
  const uint32_t mxcsr = _mm_getcsr();
  const uint32_t spurious = mxcsr & kVectorPathFlags & ~standing_flags;
  if (spurious != 0) _mm_setcsr(mxcsr & ~spurious);
}

// A frame calls these around settling a group's special lanes (slower paths, callouts,
// reports), when it has any; they do something only for a kernel Op of which
// SpecialLanesRaiseNoFlag holds.
template <class Op>
[[gnu::always_inline]] inline void before_special_lanes(uint32_t standing_flags) {
  if constexpr (SpecialLanesRaiseNoFlag<Op>) clear_vector_path_flags(standing_flags);
}
template <class Op>
[[gnu::always_inline]] inline void after_special_lanes(uint32_t& standing_flags) {
  if constexpr (SpecialLanesRaiseNoFlag<Op>) standing_flags |= _mm_getcsr() & kVectorPathFlags;
}

// What the out-of-line rest of a contiguous loop takes from the frame, by value, so that
// the frame stays in registers: the error mode, whether its own X87Masking has nothing
// to set up, and the exception flags MXCSR held at entry.
struct LoopEntry {
  uint32_t error_mode;
  bool x87_ready;
  uint32_t entry_flags;
};

// Names the frame of kind K that a contiguous loop sets up itself, in place of its entry.
template <FrameKind K>
struct OwnFrame {};

class FpFrame : public X87Masking {
 public:
  explicit FpFrame(FrameKind kind, X87Entry x87 = X87Entry::kAtEntry)
      : X87Masking(kind == FrameKind::kNone) {
    if (kind == FrameKind::kNone) return;
    if (x87 == X87Entry::kAtEntry) mask_x87_exceptions();
    const uint32_t mxcsr = _mm_getcsr();
    entry_flags_ = mxcsr & kMxcsrExceptionFlags;
    if (kind == FrameKind::kHonoursDenormals) {
      const uint32_t mode = current_mode(tess_get_thread_state());
      error_mode_ = mode & TESS_MODE_ERRMODE_MASK;
      const uint32_t target =
          mode_flushes_denormals(mode) ? kMxcsrNearestMaskedFlushing : kMxcsrNearestMasked;
      if ((mxcsr & kMxcsrControlBits) != target) {
        write_mxcsr(mxcsr, target | (mxcsr & ~kMxcsrControlBits));
      }
    } else if ((mxcsr & kMxcsrExceptionMasks) != kMxcsrExceptionMasks) {
      write_mxcsr(mxcsr, mxcsr | kMxcsrExceptionMasks);
    }
  }

  ~FpFrame() {
    if (mxcsr_changed_) {
      _mm_setcsr(saved_mxcsr_ | (_mm_getcsr() & kMxcsrExceptionFlags));
    }
  }

  FpFrame(const FpFrame&) = delete;
  FpFrame& operator=(const FpFrame&) = delete;

  // The error-mode field; read only by frames that honour the denormal field.
  uint32_t error_mode() const { return error_mode_; }

  LoopEntry loop_entry() const { return {error_mode_, x87_ready(), entry_flags_}; }

  // The exception flags MXCSR held at entry (all of them for a frame that does not read it).
  uint32_t entry_flags() const { return entry_flags_; }

 private:
  void write_mxcsr(uint32_t old_value, uint32_t new_value) {
    saved_mxcsr_ = old_value;
    mxcsr_changed_ = true;
    _mm_setcsr(new_value);
  }

  uint32_t saved_mxcsr_ = 0;
  uint32_t error_mode_ = 0;
  uint32_t entry_flags_ = kMxcsrExceptionFlags;
  bool mxcsr_changed_ = false;
};

}  // namespace zorn::tess
