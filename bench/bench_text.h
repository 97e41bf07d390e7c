#pragma once
// Text helpers the benchmarks share for building their generated documents.

#include <string>

#include "base/text.h"

namespace benchtext {

// UTF-16 to UTF-8 for text without surrogates, as the generated documents are, into `out`,
// whose storage is kept when it is reused.
inline void ToUtf8Into(std::string& out, WStringView text) {
  out.clear();
  for (WChar u : text) {
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
}

inline std::string ToUtf8(const WString& text) {
  std::string out;
  out.reserve(text.size() * 2);
  ToUtf8Into(out, text);
  return out;
}

// The decimal digits of n as UTF-16.
inline WString Number(int n) {
  const std::string s = std::to_string(n);
  return WString(s.begin(), s.end());
}

}  // namespace benchtext
