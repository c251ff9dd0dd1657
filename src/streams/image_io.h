// Byte sources and sinks for stream images, so that one loader and one writer serve
// both the file and the memory forms.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace zorn::streams {

class ImageReader {
 public:
  virtual ~ImageReader() = default;
  // False, having read nothing useful, when fewer than `bytes` remain.
  virtual bool read(void* destination, uint64_t bytes) = 0;
  // Bytes that can still be read; an upper bound when the source cannot tell.
  virtual uint64_t remaining() const = 0;
};

class MemoryReader final : public ImageReader {
 public:
  MemoryReader(const char* data, uint64_t size) : data_(data), left_(size) {}
  bool read(void* destination, uint64_t bytes) override {
    if (bytes > left_) return false;
    std::memcpy(destination, data_, bytes);
    data_ += bytes;
    left_ -= bytes;
    return true;
  }
  uint64_t remaining() const override { return left_; }

 private:
  const char* data_;
  uint64_t left_;
};

class FileReader final : public ImageReader {
 public:
  explicit FileReader(std::FILE* file);
  bool read(void* destination, uint64_t bytes) override;
  uint64_t remaining() const override { return left_; }

 private:
  std::FILE* file_;
  uint64_t left_;
};

// Loads an image into a new stream; on failure *stream is null and nothing is kept.
struct ImageStatuses {
  int32_t bad_header;
  int32_t bad_version;
};
int32_t load_image(ImageReader& in, const ImageStatuses& statuses, void** stream);

// A terminated copy of a path of `length` bytes, or the path itself when length < 0.
class PathArgument {
 public:
  PathArgument(const char* path, int64_t length);
  ~PathArgument();
  PathArgument(const PathArgument&) = delete;
  PathArgument& operator=(const PathArgument&) = delete;
  const char* get() const { return path_; }  // null when the copy was refused

 private:
  const char* path_;
  char* copy_ = nullptr;
};

}  // namespace zorn::streams
