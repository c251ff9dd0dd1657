// Raising one floating-point exception through the x87 unit, as a flag or as a trap.
#pragma once

#include <cstdint>

namespace zorn {

// x87 exception flag bits (the same positions in the control word's mask field).
constexpr uint16_t kX87Invalid = 0x01;
constexpr uint16_t kX87DivideByZero = 0x04;
constexpr uint16_t kX87Overflow = 0x08;
constexpr uint16_t kX87Underflow = 0x10;
constexpr uint16_t kX87AllExceptions = 0x3F;

// Sets `flag` as the only pending x87 exception with the masks of `unmask` cleared, so
// that an unmasked flag traps; then leaves the unit with every exception masked and
// `flag` added to the caller's status word. MXCSR is not touched.
void raise_x87_exception(uint16_t flag, uint16_t unmask);

}  // namespace zorn
