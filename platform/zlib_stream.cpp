#include "platform/zlib_stream.h"

#include <algorithm>
#include <new>

#include <zlib.h>

namespace platform {
namespace {

// zlib's window bits select the wrapping: 15 a zlib header and check, 16 more a gzip one,
// negative none at all.
int WindowBits(Compression compression) {
  switch (compression) {
    case Compression::CompressionGzip:
      return 15 + 16;
    case Compression::CompressionDeflate:
      return -15;
    default:
      return 15;
  }
}

class Inflater {
 public:
  explicit Inflater(Compression compression) {
    const int result = inflateInit2(&stream_, WindowBits(compression));
    if (result == Z_MEM_ERROR) throw std::bad_alloc();
    ready_ = result == Z_OK;
  }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  ~Inflater() {
    if (ready_) inflateEnd(&stream_);
  }
  bool ready() const { return ready_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ready_ = false;
};

}  // namespace

std::string ZlibCompress(std::string_view bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  std::string out(size, '\0');
  const int result = compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                               reinterpret_cast<const Bytef*>(bytes.data()),
                               static_cast<uLong>(bytes.size()), Z_DEFAULT_COMPRESSION);
  // The buffer is as large as zlib says it may need, so only memory can run out.
  if (result != Z_OK) throw std::bad_alloc();
  out.resize(size);
  return out;
}

Inflated Inflate(std::string_view bytes, Compression compression, std::size_t limit) {
  Inflated out;
  if (compression == Compression::CompressionNone) {
    if (bytes.size() > limit) {
      out.status = InflateStatus::InflateTooLarge;
    } else {
      out.bytes.assign(bytes);
    }
    return out;
  }
  Inflater inflater(compression);
  if (!inflater.ready()) {
    out.status = InflateStatus::InflateCorrupt;
    return out;
  }
  z_stream& stream = inflater.stream();
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  constexpr std::size_t kStep = 64 * 1024;
  int result = Z_OK;
  while (result == Z_OK) {
    const std::size_t had = out.bytes.size();
    if (had > limit) {
      out.status = InflateStatus::InflateTooLarge;
      out.bytes.clear();
      return out;
    }
    // One byte past the limit is room enough to see that the output passes it.
    const std::size_t room = std::min(kStep, limit + 1 - had);
    out.bytes.resize(had + room);
    stream.next_out = reinterpret_cast<Bytef*>(out.bytes.data() + had);
    stream.avail_out = static_cast<uInt>(room);
    result = inflate(&stream, Z_NO_FLUSH);
    out.bytes.resize(had + room - stream.avail_out);
    if (result == Z_MEM_ERROR) throw std::bad_alloc();
    // Z_BUF_ERROR with output room left means the input ended before the stream did.
    if (result == Z_BUF_ERROR && stream.avail_out == 0) result = Z_OK;
  }
  if (result != Z_STREAM_END) {
    out.status = InflateStatus::InflateCorrupt;
    out.bytes.clear();
  } else if (out.bytes.size() > limit) {
    out.status = InflateStatus::InflateTooLarge;
    out.bytes.clear();
  }
  return out;
}

}  // namespace platform
