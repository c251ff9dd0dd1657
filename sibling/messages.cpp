// The message catalogue behind zorn_serv_print: numbered diagnostics on standard error.
#include <cstdarg>
#include <cstdio>

#include "export.h"
#include "zorn/core.h"

namespace {

enum class Args { None, Name, NameIndex, IndexValue };

struct Message {
  int32_t number;
  Args args;
  const char* text;
};

constexpr Message kCatalogue[] = {
    {748, Args::NameIndex, "%s: parameter %d has an invalid value"},
    {749, Args::Name, "%s: memory could not be obtained"},
    {750, Args::Name, "%s: argument outside the function's domain"},
    {751, Args::Name, "%s: singularity, the result is infinite"},
    {752, Args::Name, "%s: overflow, the result is too large"},
    {753, Args::Name, "%s: underflow, the result is below the normal range"},
    {754, Args::Name, "%s: unknown error"},
    {755, Args::IndexValue, "  element %d: argument = %.17g"},
    {756, Args::IndexValue, "  element %d: result = %.17g"},
    {757, Args::IndexValue, "  element %d: argument = %.17g"},
    {758, Args::IndexValue, "  element %d: first result = %.17g"},
    {759, Args::IndexValue, "  element %d: second result = %.17g"},
    {760, Args::IndexValue, "  element %d: first argument = %.17g"},
    {761, Args::IndexValue, "  element %d: second argument = %.17g"},
    {762, Args::IndexValue, "  element %d: result = %.17g"},
    {763, Args::IndexValue, "  element %d: first argument = %.17g"},
    {764, Args::IndexValue, "  element %d: second argument = %.17g"},
    {765, Args::IndexValue, "  element %d: first result = %.17g"},
    {766, Args::IndexValue, "  element %d: second result = %.17g"},
    {773, Args::None, "the per-thread state of the vector math functions cannot be created"},
};

const Message* find_message(int32_t number) {
  for (const Message& m : kCatalogue)
    if (m.number == number) return &m;
  return nullptr;
}

}  // namespace

// The argument count is checked against what the message needs, so that a caller that
// passes fewer values than the message names makes us print less rather than read
// past its arguments.
ZORN_CORE_EXPORT void zorn_serv_print(int32_t /*first*/, int32_t number, int32_t count, ...) {
  const Message* m = find_message(number);
  va_list ap;
  va_start(ap, count);
  if (m == nullptr || (m->args != Args::None && count < 1)) {
    std::fprintf(stderr, "zorn: message %d\n", number);
  } else if (m->args == Args::None) {
    std::fprintf(stderr, "%s\n", m->text);
  } else if (m->args == Args::Name) {
    const char* name = va_arg(ap, const char*);
    std::fprintf(stderr, m->text, name ? name : "?");
    std::fputc('\n', stderr);
  } else if (m->args == Args::NameIndex) {
    const char* name = va_arg(ap, const char*);
    int index = count >= 2 ? va_arg(ap, int) : -1;
    std::fprintf(stderr, m->text, name ? name : "?", index);
    std::fputc('\n', stderr);
  } else if (count >= 2) {
    int index = va_arg(ap, int);
    double value = va_arg(ap, double);
    std::fprintf(stderr, m->text, index, value);
    std::fputc('\n', stderr);
  }
  va_end(ap);
}
