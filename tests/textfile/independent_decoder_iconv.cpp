#include <iconv.h>

#include "tests/textfile/independent_decoder.h"

namespace independent_decoder {

bool Decode(const std::string& charset, const std::string& bytes, WString& text) {
  iconv_t converter = iconv_open("UTF-16LE", charset.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  std::string out(bytes.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char* outPointer = out.data();
  size_t outLeft = out.size();
  size_t result = iconv(converter, &in, &inLeft, &outPointer, &outLeft);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1)) return false;
  text.clear();
  for (const char* p = out.data(); p + 1 < outPointer; p += 2) {
    text.push_back(static_cast<WChar>(static_cast<unsigned char>(p[0]) |
                                      static_cast<unsigned char>(p[1]) << 8));
  }
  return true;
}

}  // namespace independent_decoder
