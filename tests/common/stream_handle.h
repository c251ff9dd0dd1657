// A stream that deletes itself, draws of each output type, and the saved image of a stream.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "zorn/pavo.h"

struct Stream {
  void* p = nullptr;
  Stream() = default;
  Stream(uint32_t brng_id, std::vector<uint32_t> seeds) {
    EXPECT_EQ(__pavoNewStreamEx(&p, brng_id, static_cast<int32_t>(seeds.size()), seeds.data()), 0);
  }
  ~Stream() { __pavoDeleteStream(&p); }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  const PavoBrngProperties& row() const {
    int32_t r = 0, sub = 0;
    return __pavoGetBrngBaseOffset(static_cast<const PavoStreamHeader*>(p)->brng_id, &r, &sub)[r];
  }
  // n output words of word_size bytes, as 32-bit words.
  std::vector<uint32_t> ints(int32_t n) {
    std::vector<uint32_t> r(static_cast<size_t>(n) * row().word_size / 4);
    EXPECT_EQ(row().gen_int(p, n, r.data()), 0);
    return r;
  }
  std::vector<double> doubles(int32_t n, double a = 0, double b = 1) {
    std::vector<double> r(n);
    EXPECT_EQ(row().gen_double(p, n, r.data(), a, b), 0);
    return r;
  }
  std::vector<float> floats(int32_t n, float a = 0, float b = 1) {
    std::vector<float> r(n);
    EXPECT_EQ(row().gen_single(p, n, r.data(), a, b), 0);
    return r;
  }
};

inline std::vector<char> saved_image(const void* stream) {
  std::vector<char> image(static_cast<size_t>(__pavoGetStreamSize(stream)));
  EXPECT_EQ(__pavoSaveStreamM(stream, image.data()), 0);
  return image;
}
