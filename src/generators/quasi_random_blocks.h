// Whole points of a quasi-random sequence as reals, a block of L = 2^m points at a time.
//
// From a point c0 that is a multiple of L, gray(c0 + i) = gray(c0) ^ gray(i) for i < L,
// so point c0 + i is point c0 XOR G[i], with G[i] the XOR of V_(b+1) over the bits b of
// gray(i): a table built once per call. Every coordinate of a block is then independent
// of the others, and the integer-to-real conversion runs four at a time.
#pragma once

#include <cstdint>

namespace zorn::generators {

// The tables of a stream as the engine holds them: values[j] is coordinate j of the
// current point, V_(k+1) of dimension j is directions[k * stride + j].
struct QuasiTables {
  uint32_t* values;
  const uint32_t* directions;
  uint32_t stride;
};

// Writes `points` whole points from point `counter` on (all coordinates, d of them per
// point) as x * scale + a, x the coordinate read as unsigned, the product and the sum
// rounded apart, into r, and leaves values at the point after them. Needs
// point_block_length(d) != 0 and counter + points <= 2^32 - 1; pays off from a block on.
void draw_point_blocks(const QuasiTables& t, uint32_t d, uint32_t counter, uint32_t points, double* r,
                       double scale, double a);
void draw_point_blocks(const QuasiTables& t, uint32_t d, uint32_t counter, uint32_t points, float* r, float scale,
                       float a);

// The block length for dimension d; 0 when d is too large for blocks.
uint32_t point_block_length(uint32_t d);

}  // namespace zorn::generators
