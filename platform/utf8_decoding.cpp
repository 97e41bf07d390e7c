#include "platform/utf8_decoding.h"

#include <string_view>

#include "base/utf8.h"

namespace platform {

bool DecodeWellFormedUtf8(const char* bytes, std::size_t byteCount, WString& units) {
  std::string_view rest(bytes, byteCount);
  units.reserve(units.size() + byteCount);
  while (!rest.empty()) {
    const unicode::Utf8Sequence sequence = unicode::NextUtf8Sequence(rest);
    if (sequence.kind == unicode::Utf8Sequence::kIllFormed) return false;
    unicode::AppendUtf16(sequence.value, units);
    rest.remove_prefix(sequence.length);
  }
  return true;
}

}  // namespace platform
