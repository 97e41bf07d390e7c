#pragma once
// zlib streams (RFC 1950), gzip members (RFC 1952) and raw deflate (RFC 1951): compressing a
// document as servers take an upload, and inflating an answer with a bound on what it grows to.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// `bytes` compressed at zlib's default level: the same bytes give the same stream.
std::string ZlibCompress(std::string_view bytes);

enum class Compression {
  CompressionNone,
  CompressionZlib,     // a zlib stream
  CompressionGzip,     // a gzip member
  CompressionDeflate,  // raw deflate, without header or check
};

enum class InflateStatus {
  InflateOk,
  InflateTooLarge,  // it would grow past the limit; inflating stopped there
  InflateCorrupt,   // not such a stream, or cut short
};

struct Inflated {
  InflateStatus status = InflateStatus::InflateOk;
  std::string bytes;  // the inflated bytes when InflateOk, empty otherwise
};

// `bytes` inflated as `compression` says (as they are for CompressionNone). Memory never grows
// past `limit` bytes of output, however small the input: a stream that inflates to more is
// refused as soon as it passes the limit.
Inflated Inflate(std::string_view bytes, Compression compression, std::size_t limit);

}  // namespace platform
