#pragma once
// A decoder that shares no code with the file reader, to compare its results with: iconv on
// Linux, the system's MultiByteToWideChar on Windows, each called directly.

#include <string>

#include "base/text.h"

namespace independent_decoder {

// Decodes all of `bytes` from the charset named `charset` (UTF-8, UTF-16LE, UTF-16BE,
// WINDOWS-1252 or a name from an XML declaration) into `text`. False when the decoder does not
// know the charset or the bytes are not valid in it.
bool Decode(const std::string& charset, const std::string& bytes, WString& text);

}  // namespace independent_decoder
