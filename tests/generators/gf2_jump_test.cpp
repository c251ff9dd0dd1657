// The polynomial jump: x^s mod p against closed forms and a plain computation, the
// Horner and sliding-window evaluations on a small register, and the characteristic
// polynomial tables against the generators' own output.
#include <gtest/gtest.h>

#include "generators/data/mt_twister_tables.h"
#include "generators/gf2_jump.h"
#include "generator_support.h"

namespace {

using namespace zorn::generators;

const std::vector<int32_t> kMt19937(kMt19937PolynomialExponents, kMt19937PolynomialExponents + kMt19937PolynomialTerms);
const std::vector<int32_t> kSfmt19937(kSfmt19937PolynomialExponents,
                                      kSfmt19937PolynomialExponents + kSfmt19937PolynomialTerms);

std::vector<int> as_int(const std::vector<int32_t>& e) { return std::vector<int>(e.begin(), e.end()); }

TEST(CharacteristicPolynomials, HoldTheKnownLeadingAndTrailingTerms) {
  ASSERT_EQ(kMt19937.size(), 135u);
  EXPECT_EQ(std::vector<int32_t>(kMt19937.begin(), kMt19937.begin() + 5), (std::vector<int32_t>{0, 1189, 1416, 1585, 1643}));
  EXPECT_EQ(std::vector<int32_t>(kMt19937.end() - 3, kMt19937.end()), (std::vector<int32_t>{19087, 19314, 19937}));
  ASSERT_EQ(kSfmt19937.size(), 6711u);
  EXPECT_EQ(std::vector<int32_t>(kSfmt19937.begin(), kSfmt19937.begin() + 5), (std::vector<int32_t>{0, 1041, 1195, 1197, 1232}));
  EXPECT_EQ(std::vector<int32_t>(kSfmt19937.end() - 3, kSfmt19937.end()), (std::vector<int32_t>{19393, 19437, 19968}));
}

// The tables are the minimal polynomials of the library's own output bits (one bit per
// step: every word of MT19937, every fourth word of SFMT19937).
TEST(CharacteristicPolynomials, AreTheMinimalPolynomialsOfTheOutput) {
  Stream mt(PAVO_BRNG_MT19937, {42, 43});
  EXPECT_EQ(gf2::exponents(stream_bit_polynomial(mt, kMt19937Degree, 17, 1)), as_int(kMt19937));
  Stream sfmt(PAVO_BRNG_SFMT19937, {42, 43});
  EXPECT_EQ(gf2::exponents(stream_bit_polynomial(sfmt, kSfmt19937Degree, 0, 4)), as_int(kSfmt19937));
}

std::vector<uint64_t> poly_rem(uint64_t s, const std::vector<int32_t>& p) {
  std::vector<uint64_t> out(p.back() / 64 + 1);
  EXPECT_EQ(__pavoPolyRem(s, p.back(), static_cast<int32_t>(p.size()), p.data(), static_cast<int32_t>(out.size()),
                          out.data()),
            0);
  return out;
}

// x^7 + x + 1 is primitive: x has order 127, so x^s = x^(s mod 127).
TEST(PolyRem, PowersOfXFollowTheOrderOfAPrimitivePolynomial) {
  const std::vector<int32_t> p = {0, 1, 7};
  for (uint64_t s : {0ull, 1ull, 6ull, 7ull, 8ull, 126ull, 127ull, 128ull, 1000ull, 0xFFFFFFFFFFFFFFFFull,
                     0x8000000000000001ull, 127ull * 0x0102030405060708ull + 5}) {
    const std::vector<uint64_t> r = poly_rem(s, p);
    const std::vector<uint64_t> expected = poly_rem(s % 127, p);
    EXPECT_EQ(r, expected) << s;
    if (s % 127 < 7) {
      EXPECT_EQ(r[0], uint64_t{1} << (s % 127)) << s;
    }
  }
}

// Against repeated multiplication by x, one bit at a time, for the MT19937 polynomial.
TEST(PolyRem, MatchesStepwiseMultiplicationByX) {
  const int degree = kMt19937Degree;
  gf2::Poly r{1};
  const std::vector<uint64_t> targets = {0, 1, 19936, 19937, 19938, 39873, 40000, 70001};
  size_t next = 0;
  for (uint64_t s = 0; next < targets.size(); ++s) {
    if (s == targets[next]) {
      gf2::Poly padded = r;
      padded.resize(degree / 64 + 1, 0);
      EXPECT_EQ(poly_rem(s, kMt19937), padded) << s;
      ++next;
    }
    gf2::Poly shifted;
    gf2::add_shifted(shifted, r, 1);
    if (gf2::bit(shifted, degree))
      for (int32_t e : kMt19937) gf2::set_bit(shifted, e);  // toggles x^degree off, adds the rest
    gf2::trim(shifted);
    r = shifted;
  }
}

// Large counts for both polynomials (sparse folding for MT19937, carry-less products for
// the dense SFMT19937 polynomial) against square-and-multiply with the table tools' own
// Barrett arithmetic.
TEST(PolyRem, MatchesSquareAndMultiplyForLargeCounts) {
  for (const auto* p : {&kMt19937, &kSfmt19937}) {
    const gf2::BarrettModulus mod(gf2::from_exponents(as_int(*p)));
    for (uint64_t s : {0xFFFFFFFFFFFFFFFFull, 0x8000000000000000ull, 1234567890123ull, 2000000ull}) {
      gf2::Poly r{1}, x{2};
      for (int bit = 63; bit >= 0; --bit) {
        r = mod.square_mod(r);
        if ((s >> bit) & 1u) r = mod.multiply_mod(r, x);
      }
      r.resize(p->back() / 64 + 1, 0);
      EXPECT_EQ(poly_rem(s, *p), r) << p->back() << " " << s;
    }
  }
}

TEST(PolyRem, RefusesMalformedPolynomialsAndShortOutput) {
  std::vector<uint64_t> out(2);
  const int32_t good[] = {0, 1, 7}, no_constant[] = {1, 7}, unordered[] = {0, 5, 3, 7}, short_top[] = {0, 1, 6};
  EXPECT_EQ(__pavoPolyRem(9, 7, 3, good, 2, out.data()), 0);
  EXPECT_EQ(__pavoPolyRem(9, 7, 2, no_constant, 2, out.data()), -3);
  EXPECT_EQ(__pavoPolyRem(9, 7, 4, unordered, 2, out.data()), -3);
  EXPECT_EQ(__pavoPolyRem(9, 7, 3, short_top, 2, out.data()), -3);
  EXPECT_EQ(__pavoPolyRem(9, 7, 3, good, 0, out.data()), -3);
  EXPECT_EQ(__pavoPolyRem(9, 7, 3, nullptr, 2, out.data()), -3);
  EXPECT_EQ(__pavoPolyRem(9, 0, 1, good, 2, out.data()), -3);
}

// A 7-bit shift register for x^7 + x + 1: s[t+7] = s[t+1] + s[t]. Its state after s steps
// is known in closed form from the period 127.
struct Register {
  uint32_t bits;  // s[t] .. s[t+6] in bits 0..6
  static void clear(void* p) { static_cast<Register*>(p)->bits = 0; }
  static void add(void* into, const void* from) { static_cast<Register*>(into)->bits ^= static_cast<const Register*>(from)->bits; }
  static void copy(void* to, const void* from) { *static_cast<Register*>(to) = *static_cast<const Register*>(from); }
  static void advance(void* p) {
    uint32_t& b = static_cast<Register*>(p)->bits;
    b = (b >> 1) | (((b ^ (b >> 1)) & 1u) << 6);
  }
  static void store(void* to, const void* from) { copy(to, from); }
  static uint64_t consume(void*, uint64_t s) { return s; }
  static Register stepped(Register r, uint64_t s) {
    for (uint64_t k = 0; k < s; ++k) advance(&r);
    return r;
  }
};

TEST(PolynomialJump, HornerAndSlidingWindowEqualStepping) {
  const int32_t p[] = {0, 1, 7};
  for (uint64_t s : {1ull, 2ull, 6ull, 7ull, 13ull, 126ull, 127ull, 300ull, 0xFFFFFFFFFFFFFFFFull, 0x123456789ABCull}) {
    for (uint32_t start : {1u, 0x40u, 0x5Bu}) {
      const Register expected = Register::stepped(Register{start}, s % 127);
      Register horner{start}, window{start};
      ASSERT_EQ(__pavo_SkipAheadHorner(&horner, Register::clear, Register::add, Register::copy, Register::advance,
                                       Register::store, Register::consume, s, 1, 7, sizeof(Register), 3, p),
                0);
      ASSERT_EQ(__pavo_SkipAheadSWin(&window, Register::clear, Register::add, Register::copy, Register::advance,
                                     Register::store, Register::consume, s, 1, 7, sizeof(Register), 3, p),
                0);
      EXPECT_EQ(horner.bits, expected.bits) << s;
      EXPECT_EQ(window.bits, expected.bits) << s;
    }
  }
}

}  // namespace
