// Sobol's sequence in base 2 with the Bratley-Fox direction numbers (ACM TOMS 659) of
// dimensions 1 to 40, or with direction data supplied in the seed words.
//
// Seed words, when the caller supplies direction data: s[0] = d, s[1] = 1, s[2] = the
// format, then
//   format 1: polynomials of dimensions 2..d (d <= 40); the built-in initial values of
//             each dimension;
//   format 2: s[3] = L, then L initial values m_1..m_L for each of dimensions 2..d
//             (d <= 40); the built-in polynomials;
//   format 3: polynomials of dimensions 2..d, L, then L initial values for each;
//   format 11: as format 3 for dimensions 1..d;
//   format 4: V_1..V_32 of each of dimensions 1..d.
// Dimension 1 is the van der Corput sequence unless format 4 or 11 says otherwise. A
// polynomial of degree s takes m_1..m_s from its initial values (1 beyond those given).
#include <algorithm>
#include <cstring>

#include "generators/builtin_rows.h"
#include "generators/data/sobol_initial_directions.h"
#include "generators/quasi_random.h"

namespace zorn::generators {
namespace {

// Direction numbers in chunk 9, current values in chunk 13.
constexpr QuasiLayout kLayout{kSobolMaxDimension, 9, 13};

// Where the direction numbers of each dimension come from; null fields: built-in.
struct SobolSource {
  const uint32_t* directions = nullptr;   // format 4: 32 words per dimension
  const uint32_t* polynomials = nullptr;  // one per dimension from `first`
  const uint32_t* initial = nullptr;      // `count` words per dimension from `first`
  uint64_t count = 0;
  uint32_t first = 0;  // dimensions below it are built-in
};

void directions_of(const void* context, uint32_t j, uint32_t v[kDirectionBits]) {
  const SobolSource& src = *static_cast<const SobolSource*>(context);
  if (src.directions != nullptr) {
    std::memcpy(v, src.directions + uint64_t{kDirectionBits} * j, sizeof(uint32_t) * kDirectionBits);
    return;
  }
  const bool builtin = j < src.first;
  const SobolInitialDirections* table = j < kSobolMaxDimension ? &kSobolInitialDirections[j] : nullptr;
  const uint32_t polynomial = builtin || src.polynomials == nullptr ? table->polynomial : src.polynomials[j - src.first];
  if (builtin || src.initial == nullptr) {
    sobol_directions(polynomial, table->m, table->degree, v);
  } else {
    const uint64_t count = std::min<uint64_t>(src.count, kDirectionBits);
    sobol_directions(polynomial, src.initial + (j - src.first) * src.count, static_cast<uint32_t>(count), v);
  }
}

// Whether the seed words hold caller direction data of one of the formats with all its
// words present; every length is checked before a word past s[3] is read.
bool caller_source(int32_t n, const uint32_t* s, SobolSource* src) {
  if (n < 4 || s[1] != 1) return false;
  const uint64_t d = s[0], words = static_cast<uint64_t>(n);
  switch (s[2]) {
    case 1:
      if (d > kSobolMaxDimension || words < d + 2) return false;
      *src = {.polynomials = s + 3, .first = 1};
      return true;
    case 2:
      if (d > kSobolMaxDimension || words < (d - 1) * s[3] + 4) return false;
      *src = {.initial = s + 4, .count = s[3], .first = 1};
      return true;
    case 3:
      if (words < d + 3 || words < (uint64_t{s[d + 2]} + 1) * (d - 1) + 4) return false;
      *src = {.polynomials = s + 3, .initial = s + d + 3, .count = s[d + 2], .first = 1};
      return true;
    case 4:
      if (words < kDirectionBits * d + 3) return false;
      *src = {.directions = s + 3};
      return true;
    case 11:
      if (words < d + 4 || words < (uint64_t{s[d + 3]} + 1) * d + 4) return false;
      *src = {.polynomials = s + 3, .initial = s + d + 4, .count = s[d + 3], .first = 0};
      return true;
    default:
      return false;
  }
}

constexpr InitMethods<QuasiHeader> kMethods = quasi_methods<kLayout, SobolSource, caller_source, directions_of>();

constexpr int32_t kStateSize = 11712;
constexpr int32_t kStateWords = 2900;
static_assert(quasi_state_bytes(kSobolMaxDimension) <= kStateWords * 4);
static_assert(kStateWords * 4 + 16 <= kStateSize);

}  // namespace

extern const BuiltinRow kRowSobol = {
    .properties = {.state_size = kStateSize, .state_words = kStateWords, .may_yield_zero = 0, .word_size = 4, .bits = 32,
                   ZORN_BRNG_OPERATIONS(Sobol)},
    .check_state = [](const void* stream) { return quasi_check_state(stream, kLayout); }};

}  // namespace zorn::generators

ZORN_DEFINE_QUASI_EXPORTS(Sobol, zorn::generators::kLayout, zorn::generators::kMethods)
