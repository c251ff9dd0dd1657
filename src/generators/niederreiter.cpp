// Niederreiter's sequence in base 2 (Bratley, Fox and Niederreiter, ACM TOMS 738) over
// the first 318 irreducible polynomials, or with direction data supplied in the seed
// words: s[0] = d, s[1] = 1, s[2] = the format, then
//   format 1: the polynomials of dimensions 1..d, built into direction numbers by the
//             same construction as the built-in table;
//   format 4: V_1..V_32 of each of dimensions 1..d.
// The first point is V_1 of every dimension: 1/2 only where the polynomial has degree 1.
#include <cstring>

#include "generators/builtin_rows.h"
#include "generators/data/niederreiter_directions.h"
#include "generators/quasi_random.h"

namespace zorn::generators {
namespace {

// Direction numbers and, behind them, the current values in chunk 10.
constexpr QuasiLayout kLayout{kNiederrMaxDimension, 10, 10};

// Where the direction numbers come from; both null: the built-in table.
struct NiederrSource {
  const uint32_t* directions = nullptr;   // format 4: 32 words per dimension
  const uint32_t* polynomials = nullptr;  // format 1: one per dimension
};

void directions_of(const void* context, uint32_t j, uint32_t v[kDirectionBits]) {
  const NiederrSource& src = *static_cast<const NiederrSource*>(context);
  if (src.polynomials != nullptr) {
    niederreiter_directions(src.polynomials[j], v);
    return;
  }
  const uint32_t* from = src.directions != nullptr ? src.directions + uint64_t{kDirectionBits} * j
                                                   : kNiederrDirections[j];
  std::memcpy(v, from, sizeof(uint32_t) * kDirectionBits);
}

// Whether the seed words hold caller direction data with all its words present.
bool caller_source(int32_t n, const uint32_t* s, NiederrSource* src) {
  if (n < 3 || s[1] != 1) return false;
  const uint64_t d = s[0], words = static_cast<uint64_t>(n);
  if (s[2] == 1 && words >= d + 3) {
    src->polynomials = s + 3;
    return true;
  }
  if (s[2] == 4 && words >= kDirectionBits * d + 3) {
    src->directions = s + 3;
    return true;
  }
  return false;
}

constexpr InitMethods<QuasiHeader> kMethods = quasi_methods<kLayout, NiederrSource, caller_source, directions_of>();

constexpr int32_t kStateSize = 84288;
constexpr int32_t kStateWords = 21056;
static_assert(quasi_state_bytes(kNiederrMaxDimension) <= kStateWords * 4);
static_assert(kStateWords * 4 + 16 <= kStateSize);

}  // namespace

extern const BuiltinRow kRowNiederr = {
    .properties = {.state_size = kStateSize, .state_words = kStateWords, .may_yield_zero = 0, .word_size = 4, .bits = 32,
                   ZORN_BRNG_OPERATIONS(Niederr)},
    .check_state = [](const void* stream) { return quasi_check_state(stream, kLayout); }};

}  // namespace zorn::generators

ZORN_DEFINE_QUASI_EXPORTS(Niederr, zorn::generators::kLayout, zorn::generators::kMethods)
