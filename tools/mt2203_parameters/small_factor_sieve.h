// Trial division of a dense GF(2) polynomial by every irreducible polynomial of small
// degree. A random polynomial of degree p is irreducible with probability about 1/p,
// and about nineteen in twenty candidates have a factor of degree 10 or less, so this
// cheap test spares most of the expensive x^(2^p) check.
#ifndef ZORN_TOOLS_SMALL_FACTOR_SIEVE_H
#define ZORN_TOOLS_SMALL_FACTOR_SIEVE_H

#include <array>
#include <cstdint>
#include <vector>

#include "twister_gf2/gf2_poly.h"

namespace mt2203 {

// Remainder of a (bits below 32) modulo q of degree dq, bit by bit.
inline uint32_t small_remainder(uint32_t a, uint32_t q, int dq) {
  for (int b = 31; b >= dq; --b)
    if ((a >> b) & 1u) a ^= q << (b - dq);
  return a;
}

class SmallFactorSieve {
 public:
  explicit SmallFactorSieve(int max_degree) {
    std::vector<std::pair<uint32_t, int>> irreducibles;
    for (int d = 1; d <= max_degree; ++d) {
      for (uint32_t q = 1u << d; q < (2u << d); ++q) {
        bool irreducible = true;
        for (auto [f, df] : irreducibles) {
          if (2 * df > d) break;
          if (small_remainder(q, f, df) == 0) { irreducible = false; break; }
        }
        if (irreducible) irreducibles.push_back({q, d});
      }
    }
    // Pack factors into products of degree <= 24, so that remainder plus one byte fits 32 bits.
    Group group;
    for (auto [q, d] : irreducibles) {
      if (group.degree + d > kMaxGroupDegree) { finish(group); group = Group{}; }
      uint64_t lo, hi;
      gf2::clmul_64(group.product, q, lo, hi);
      group.product = static_cast<uint32_t>(lo);
      group.degree += d;
      group.members.push_back({q, d});
    }
    finish(group);
  }

  // True when f has an irreducible factor of degree <= max_degree.
  bool has_small_factor(const gf2::Poly& f) const {
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(f.data());
    size_t count = f.size() * 8;
    for (const Group& g : groups_) {
      uint32_t r = 0, low = (1u << g.degree) - 1;
      for (size_t i = count; i-- > 0;) {
        uint32_t v = (r << 8) | bytes[i];
        r = (v & low) ^ g.table[v >> g.degree];
      }
      for (auto [q, d] : g.members)
        if (small_remainder(r, q, d) == 0) return true;
    }
    return false;
  }

 private:
  static constexpr int kMaxGroupDegree = 24;
  struct Group {
    uint32_t product = 1;
    int degree = 0;
    std::vector<std::pair<uint32_t, int>> members;
    std::array<uint32_t, 256> table{};  // (t * x^degree) mod product
  };
  void finish(Group& g) {
    if (g.members.empty()) return;
    for (uint32_t t = 0; t < 256; ++t) {
      uint64_t v = static_cast<uint64_t>(t) << g.degree;
      for (int b = g.degree + 7; b >= g.degree; --b)
        if ((v >> b) & 1u) v ^= static_cast<uint64_t>(g.product) << (b - g.degree);
      g.table[t] = static_cast<uint32_t>(v);
    }
    groups_.push_back(g);
  }
  std::vector<Group> groups_;
};

}  // namespace mt2203

#endif
