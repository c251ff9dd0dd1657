// A random stream owned by a Python object: created from a generator identifier and
// seed words, copied, moved through its sequence, saved and loaded, closed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <pybind11/pybind11.h>

namespace zorn_python {

class Stream {
 public:
  Stream(uint32_t generator, const std::vector<uint32_t>& seeds);
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;
  ~Stream() { close(); }

  // The library's stream, or ValueError naming `where` once the stream is closed.
  void* get(const char* where) const;
  uint32_t generator() const;
  bool closed() const { return stream_ == nullptr; }
  void close();

  Stream* copy() const;
  void skip_ahead(const pybind11::int_& count);
  void leapfrog(uint32_t k, int32_t nstreams);
  pybind11::bytes to_bytes() const;
  static Stream* from_bytes(const pybind11::bytes& image);
  void save(const std::string& path) const;
  static Stream* load(const std::string& path);

 private:
  explicit Stream(void* adopted) : stream_(adopted) {}
  static Stream* load_file(const std::string& path, const char* where);
  void* stream_ = nullptr;
};

}  // namespace zorn_python
