// Raw output words of the stream's generator, and fixed 32- and 64-bit words cut from
// them through a table with one entry per built-in registry row.
#include <algorithm>
#include <cstdint>

#include "distributions/status.h"
#include "streams/registry.h"
#include "zorn/pavo.h"

namespace zorn::distributions {
namespace {

using WordOperation = int32_t (*)(const PavoBrngProperties& row, void* stream, int32_t n, void* r);

int32_t not_cut(const PavoBrngProperties&, void*, int32_t, void*) { return kStatusNoFixedWords; }

// Generators whose own words are 32 bits: 64-bit word k is output 2k (low half) and
// output 2k + 1 (high half), as the two lie in memory. The raw draw is split so that its
// count of 32-bit words stays within int32_t.
int32_t own_words(const PavoBrngProperties& row, void* stream, int32_t n, void* r) {
  return row.gen_int(stream, n, static_cast<uint32_t*>(r));
}
int32_t own_words_paired(const PavoBrngProperties& row, void* stream, int32_t n, void* r) {
  constexpr int32_t kPiece = 1 << 29;  // 64-bit words per raw draw
  auto* out = static_cast<uint32_t*>(r);
  int32_t status = kStatusOk;
  for (int32_t done = 0; done < n; done += kPiece) {
    const int32_t m = std::min(n - done, kPiece);
    status = row.gen_int(stream, 2 * m, out + 2 * int64_t{done});
    if (is_failure(status)) return status;
  }
  return status;
}

// MCG59: the 32 high bits (27 to 58) of each 59-bit output.
constexpr int kMcg59Shift = 27;
constexpr int32_t kMcg59Block = 2048;  // raw outputs per draw (16 KB)

int32_t mcg59_words(const PavoBrngProperties& row, void* stream, int32_t n, void* r) {
  uint64_t raw[kMcg59Block];
  auto* out = static_cast<uint32_t*>(r);
  int32_t status = kStatusOk;
  for (int32_t done = 0; done < n; done += kMcg59Block) {
    const int32_t m = std::min(n - done, kMcg59Block);
    status = row.gen_int(stream, m, reinterpret_cast<uint32_t*>(raw));
    if (is_failure(status)) return status;
    for (int32_t i = 0; i < m; ++i) out[done + i] = static_cast<uint32_t>(raw[i] >> kMcg59Shift);
  }
  return status;
}

int32_t mcg59_words_paired(const PavoBrngProperties& row, void* stream, int32_t n, void* r) {
  uint64_t raw[kMcg59Block];
  auto* out = static_cast<uint64_t*>(r);
  int32_t status = kStatusOk;
  for (int32_t done = 0; done < n; done += kMcg59Block / 2) {
    const int32_t m = std::min(n - done, kMcg59Block / 2);
    status = row.gen_int(stream, 2 * m, reinterpret_cast<uint32_t*>(raw));
    if (is_failure(status)) return status;
    for (int32_t k = 0; k < m; ++k)
      out[done + k] = (raw[2 * k] >> kMcg59Shift) | (raw[2 * k + 1] >> kMcg59Shift) << 32;
  }
  return status;
}

struct WordTableEntry {
  WordOperation bits32, bits64;
};
constexpr WordTableEntry kNotCut = {not_cut, not_cut};
constexpr WordTableEntry kOwn32 = {own_words, own_words_paired};

// Rows 0 MCG31M1 (31 bits), 1 R250, 2 MRG32K3A, 4 WH, 5 Sobol, 6 Niederreiter and the
// abstract rows 9 to 11 give words that are not uniform 32-bit values.
constexpr WordTableEntry kWordTable[PAVO_BUILTIN_ROWS] = {
    kNotCut, kNotCut, kNotCut, {mcg59_words, mcg59_words_paired},  // 0-3
    kNotCut, kNotCut, kNotCut, kOwn32,                               // 4-7: MT19937
    kOwn32,  kNotCut, kNotCut, kNotCut,                              // 8: MT2203
    kOwn32,  kOwn32,  kOwn32,  kOwn32};  // SFMT19937, nondeterministic, ARS5, Philox4x32x10

// The word table's operation for the stream's row; rows registered at run time have no
// entry and cannot be cut either.
int32_t fixed_words(void* stream, int32_t n, void* r, WordOperation WordTableEntry::*which) {
  const streams::BrngLookup found = streams::lookup_brng(static_cast<PavoStreamHeader*>(stream)->brng_id);
  if (found.row == nullptr) return kStatusInvalidBrng;
  if (found.row_index < 0 || found.row_index >= PAVO_BUILTIN_ROWS) return kStatusNoFixedWords;
  return (kWordTable[found.row_index].*which)(*found.row, stream, n, r);
}

}  // namespace
}  // namespace zorn::distributions

using namespace zorn::distributions;

extern "C" {

int32_t _pavoiRngUniformBits(int32_t, void* stream, int32_t n, uint32_t* r) {
  const PavoBrngProperties* row = zorn::streams::row_of_stream(stream);
  if (row == nullptr) return kStatusInvalidBrng;
  return row->gen_int(stream, n, r);
}

int32_t _pavoiRngUniformBits32(int32_t, void* stream, int32_t n, uint32_t* r) {
  return fixed_words(stream, n, r, &WordTableEntry::bits32);
}

int32_t _pavoiRngUniformBits64(int32_t, void* stream, int32_t n, uint64_t* r) {
  return fixed_words(stream, n, r, &WordTableEntry::bits64);
}
}
