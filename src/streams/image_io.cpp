// The file reader and the path argument of the file forms.
#include "streams/image_io.h"

#include <limits>

#include "core_interface/sibling.h"

namespace zorn::streams {

// The bytes left in the file bound every size field of the image. A source whose size
// cannot be measured (a pipe), or whose measured end is not where reading ends (a
// character device such as /dev/zero reports an end of 0 yet always delivers), is
// bounded only by what reads deliver, so that its bytes are judged as the header's.
FileReader::FileReader(std::FILE* file) : file_(file), left_(std::numeric_limits<uint64_t>::max()) {
  const long start = std::ftell(file);
  if (start < 0 || std::fseek(file, 0, SEEK_END) != 0) return;
  const long end = std::ftell(file);
  const bool ends_there = std::fgetc(file) == EOF;
  std::clearerr(file);
  if (std::fseek(file, start, SEEK_SET) != 0) {
    left_ = 0;  // lost our place: read nothing more
    return;
  }
  if (ends_there && end >= start) left_ = static_cast<uint64_t>(end - start);
}

bool FileReader::read(void* destination, uint64_t bytes) {
  if (bytes > left_) return false;
  if (bytes != 0 && std::fread(destination, 1, bytes, file_) != bytes) return false;
  left_ -= bytes;
  return true;
}

PathArgument::PathArgument(const char* path, int64_t length) : path_(path) {
  if (length < 0) return;
  copy_ = static_cast<char*>(sibling::allocate(static_cast<uint64_t>(length) + 1));
  path_ = copy_;
  if (copy_ == nullptr) return;
  std::memcpy(copy_, path, static_cast<size_t>(length));
  copy_[length] = '\0';
}

PathArgument::~PathArgument() { sibling::deallocate(copy_); }

}  // namespace zorn::streams
