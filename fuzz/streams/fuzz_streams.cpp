// Fuzzes stream loading with arbitrary images. The memory loader is driven through the
// internal reader bounded by the input's size (the exported form has no length), the
// file loader through a temporary file. A stream that loads must save to the same
// state, load again, and generate.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "streams/image_io.h"
#include "streams/status.h"
#include "zorn/pavo.h"

using namespace zorn::streams;

namespace {

void exercise(void* stream) {
  int32_t row = 0, sub = 0;
  const PavoBrngProperties& p = __pavoGetBrngBaseOffset(__pavoGetStreamStateBrng(stream), &row, &sub)[row];
  std::vector<uint32_t> words(64 * 4);
  std::vector<double> reals(64);
  p.gen_int(stream, 64, words.data());
  p.gen_double(stream, 64, reals.data(), 0.0, 1.0);

  std::vector<char> image(static_cast<size_t>(__pavoGetStreamSize(stream)));
  __pavoSaveStreamM(stream, image.data());
  MemoryReader again(image.data(), image.size());
  void* reloaded = nullptr;
  if (load_image(again, {kStatusMemoryBadImage, kStatusMemoryBadImage}, &reloaded) < 0) __builtin_trap();
  void* copy = nullptr;
  __pavoCopyStream(&copy, reloaded);
  __pavoDeleteStream(&copy);
  __pavoDeleteStream(&reloaded);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  void* stream = nullptr;
  MemoryReader in(reinterpret_cast<const char*>(data), size);
  if (load_image(in, {kStatusMemoryBadImage, kStatusMemoryBadImage}, &stream) >= 0 && stream != nullptr) {
    exercise(stream);
    __pavoDeleteStream(&stream);
  }

  static char path[64];
  if (path[0] == '\0') std::snprintf(path, sizeof path, "/tmp/fuzz_streams_%d.rng", static_cast<int>(getpid()));
  if (std::FILE* f = std::fopen(path, "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    if (__pavoLoadStreamF(&stream, path, -1) >= 0) __pavoDeleteStream(&stream);
  }
  return 0;
}
