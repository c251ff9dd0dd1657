#include "stream.h"

#include "status_errors.h"
#include "zorn/pavo.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace zorn_python {

Stream::Stream(uint32_t generator, const std::vector<uint32_t>& seeds) {
  if (seeds.size() > INT32_MAX) throw py::value_error("too many seed words");
  throw_if_error(Service::random,
                 __pavoNewStreamEx(&stream_, generator, static_cast<int32_t>(seeds.size()),
                                   seeds.data()),
                 "zorn.random.Stream");
}

void* Stream::get(const char* where) const {
  if (stream_ == nullptr) throw py::value_error(std::string(where) + ": the stream is closed");
  return stream_;
}

uint32_t Stream::generator() const {
  return __pavoGetStreamStateBrng(get("zorn.random.Stream.generator"));
}

void Stream::close() {
  if (stream_ != nullptr) __pavoDeleteStream(&stream_);
  stream_ = nullptr;
}

Stream* Stream::copy() const {
  void* copied = nullptr;
  throw_if_error(Service::random, __pavoCopyStream(&copied, get("zorn.random.Stream.copy")),
                 "zorn.random.Stream.copy");
  return new Stream(copied);
}

// A count of any size, as 64-bit words low first: one word takes the single-word call.
void Stream::skip_ahead(const py::int_& count) {
  const char* where = "zorn.random.Stream.skip_ahead";
  if (count < py::int_(0)) throw py::value_error(std::string(where) + ": the count is negative");
  std::vector<uint64_t> words;
  py::int_ rest = count;
  const py::int_ zero(0), shift(64), mask(py::int_(UINT64_MAX));
  do {
    words.push_back(py::int_(rest & mask).cast<uint64_t>());
    rest = py::int_(rest >> shift);
  } while (rest > zero);
  const int32_t status =
      words.size() == 1
          ? __pavoSkipAheadStream(get(where), words[0])
          : __pavoSkipAheadStreamEx(get(where), static_cast<int32_t>(words.size()), words.data());
  throw_if_error(Service::random, status, where);
}

void Stream::leapfrog(uint32_t k, int32_t nstreams) {
  const char* where = "zorn.random.Stream.leapfrog";
  throw_if_error(Service::random, __pavoLeapfrogStream(get(where), k, nstreams), where);
}

py::bytes Stream::to_bytes() const {
  const char* where = "zorn.random.Stream.to_bytes";
  const int32_t size = __pavoGetStreamSize(get(where));
  throw_if_error(Service::random, size, where);
  std::string image(static_cast<size_t>(size), '\0');
  throw_if_error(Service::random, __pavoSaveStreamM(stream_, image.data()), where);
  return py::bytes(image);
}

// The in-memory load reads as far as the image's own fields say, without a bound; an
// image from outside is read from a file instead, where the file's end bounds every read.
Stream* Stream::from_bytes(const py::bytes& image) {
  py::module_ tempfile = py::module_::import("tempfile");
  py::object file = tempfile.attr("NamedTemporaryFile")("suffix"_a = ".zorn-stream");
  py::object closer = file.attr("close");
  try {
    file.attr("write")(image);
    file.attr("flush")();
    Stream* loaded = load_file(file.attr("name").cast<std::string>(), "zorn.random.Stream.from_bytes");
    closer();
    return loaded;
  } catch (...) {
    closer();
    throw;
  }
}

void Stream::save(const std::string& path) const {
  const char* where = "zorn.random.Stream.save";
  throw_if_error(Service::random,
                 __pavoSaveStreamF(get(where), path.c_str(), static_cast<int64_t>(path.size())),
                 where);
}

Stream* Stream::load(const std::string& path) { return load_file(path, "zorn.random.Stream.load"); }

Stream* Stream::load_file(const std::string& path, const char* where) {
  void* loaded = nullptr;
  throw_if_error(Service::random,
                 __pavoLoadStreamF(&loaded, path.c_str(), static_cast<int64_t>(path.size())), where);
  return new Stream(loaded);
}

}  // namespace zorn_python
