#include "platform/zlib_stream.h"

#include <new>

#include <zlib.h>

namespace platform {

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

}  // namespace platform
