#include "tess_errors/x87_exception.h"

namespace zorn {
namespace {

// The 28-byte protected-mode x87 environment of fnstenv/fldenv.
struct X87Environment {
  uint16_t control, unused0;
  uint16_t status, unused1;
  uint16_t tag, unused2;
  uint32_t rest[4];
};
static_assert(sizeof(X87Environment) == 28);

}  // namespace

void raise_x87_exception(uint16_t flag, uint16_t unmask) {
  X87Environment saved;
  asm volatile("fnstenv %0" : "=m"(saved));
  X87Environment working = saved;
  working.control = static_cast<uint16_t>(working.control & ~unmask);
  working.status = static_cast<uint16_t>((working.status & ~kX87AllExceptions) | flag);
  if ((flag & unmask) != 0) working.status |= 0x8080;  // error summary and busy: pending
  // fwait delivers a pending unmasked exception as the processor's floating-point trap.
  asm volatile("fldenv %0\n\tfwait" : : "m"(working));
  saved.control |= kX87AllExceptions;
  saved.status = static_cast<uint16_t>(saved.status | flag);
  asm volatile("fldenv %0" : : "m"(saved));
}

}  // namespace zorn
