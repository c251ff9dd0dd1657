// The saved-stream image, little-endian: a 24-byte header (or the older 20-byte one,
// read only), the generator state, then each chunk as id, 16-byte key, size and data.
#pragma once

#include <cstdint>
#include <cstring>

namespace zorn::streams {

constexpr uint8_t kImageVersion = 2;
constexpr uint32_t kImageMagic = 0x00474E52;  // "R", "N", "G", 0
constexpr uint16_t kImageHeaderLength = 24;
constexpr int32_t kLegacyHeaderLength = 20;
constexpr int32_t kImagePrefix = 8;           // read first, to tell the layouts apart
constexpr int32_t kChunkRecordHeader = 24;    // id, key, size

// Offsets in the current header.
constexpr int kOffMagic = 4, kOffHeaderLength = 8, kOffStateLength = 12, kOffChunkCount = 16,
              kOffBrngId = 20;
// Offsets in the older header.
constexpr int kLegacyOffStateLength = 10, kLegacyOffChunkCount = 12, kLegacyOffBrngId = 16;

template <typename T>
T load_le(const unsigned char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);  // x86-64 is little-endian
  return v;
}
template <typename T>
void store_le(unsigned char* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

}  // namespace zorn::streams
