// Rows of the built-in generators that this build does not implement yet. Each holds
// the generator's properties and operations that refuse with kStatusGeneratorNotBuilt,
// so that no caller ever reaches a null operation. A generator that lands defines its row
// in its own file and its row here is deleted (rows are plain definitions: weak ones do
// not resolve across object files with every linker the library is built with).
#include "generators/builtin_rows.h"
#include "streams/status.h"

namespace zorn::generators {
namespace {

using streams::kStatusGeneratorNotBuilt;

int32_t not_built_init(uint32_t, void*, int32_t, const void*) { return kStatusGeneratorNotBuilt; }
int32_t not_built_single(void*, int32_t, float*, float, float) { return kStatusGeneratorNotBuilt; }
int32_t not_built_double(void*, int32_t, double*, double, double) { return kStatusGeneratorNotBuilt; }
int32_t not_built_int(void*, int32_t, uint32_t*) { return kStatusGeneratorNotBuilt; }

constexpr BuiltinRow pending(int32_t state_size, int32_t state_words, int32_t may_yield_zero,
                             int32_t word_size, int32_t bits) {
  return {.properties = {.state_size = state_size, .state_words = state_words, .may_yield_zero = may_yield_zero,
                         .word_size = word_size, .bits = bits, .init_stream = not_built_init,
                         .gen_single = not_built_single, .gen_double = not_built_double, .gen_int = not_built_int}};
}

// The abstract rows already carry the real wrong-type stub in the slots of the types
// their streams do not hold.
constexpr BuiltinRow pending_abstract(int32_t state_size, PavoBrngGenSingle gen_single,
                                      PavoBrngGenDouble gen_double, PavoBrngGenInt gen_int) {
  return {.properties = {.state_size = state_size, .state_words = 0, .may_yield_zero = 1, .word_size = 4,
                         .bits = 32, .init_stream = not_built_init, .gen_single = gen_single,
                         .gen_double = gen_double, .gen_int = gen_int}};
}

}  // namespace

extern const BuiltinRow kRowIAbstract =
    pending_abstract(48, __pavosBRngiAbstract, __pavodBRngiAbstract, not_built_int);
extern const BuiltinRow kRowDAbstract =
    pending_abstract(64, __pavosBRngdAbstract, not_built_double, __pavoiBRngdAbstract);
extern const BuiltinRow kRowSAbstract =
    pending_abstract(56, not_built_single, __pavodBRngsAbstract, __pavoiBRngsAbstract);
extern const BuiltinRow kRowNondeterm = pending(24, 1, 1, 4, 32);
extern const BuiltinRow kRowARS5 = pending(72, 13, 1, 4, 32);
extern const BuiltinRow kRowPhilox4x32x10 = pending(64, 11, 1, 4, 32);

}  // namespace zorn::generators
