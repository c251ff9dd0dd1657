#include "harness/domains.h"

namespace zorn_accuracy {

Range argument_range(const Domain& domain, char type, bool second) {
  switch (type) {
    case 's': return second && !domain.bs.empty() ? domain.bs : domain.s;
    case 'd': return second && !domain.bd.empty() ? domain.bd : domain.d;
    case 'c': return domain.c.empty() ? Range{-10, 10} : domain.c;
    default:
      if (!domain.z.empty()) return domain.z;
      return domain.c.empty() ? Range{-10, 10} : domain.c;
  }
}

}  // namespace zorn_accuracy
