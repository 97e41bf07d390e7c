#pragma once
// Compressing a document as a zlib stream (RFC 1950), as servers take an upload.

#include <string>
#include <string_view>

namespace platform {

// `bytes` compressed at zlib's default level: the same bytes give the same stream.
std::string ZlibCompress(std::string_view bytes);

}  // namespace platform
