#include "platform/code_page_conversion.h"

#include <iconv.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <utility>

#include "platform/ansi_code_page.h"
#include "platform/code_page_names.h"
#include "platform/utf8_decoding.h"

namespace platform {

namespace {

constexpr WChar kReplacementCharacter = 0xFFFD;
constexpr int kUtf8CodePage = 65001;

// Owns one iconv conversion descriptor.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  IconvHandle(IconvHandle&& other) noexcept : handle_(std::exchange(other.handle_, Invalid())) {}
  IconvHandle& operator=(IconvHandle&&) = delete;
  ~IconvHandle() {
    if (IsOpen()) iconv_close(handle_);
  }

  bool IsOpen() const { return handle_ != Invalid(); }
  iconv_t Get() const { return handle_; }

 private:
  static iconv_t Invalid() { return reinterpret_cast<iconv_t>(-1); }

  iconv_t handle_;
};

// Appends the little-endian UTF-16 bytes in [begin, end) to `units`.
void AppendUnits(const char* begin, const char* end, WString& units) {
  for (const char* p = begin; p + 1 < end; p += 2) {
    units.push_back(static_cast<WChar>(static_cast<unsigned char>(p[0]) |
                                       static_cast<unsigned char>(p[1]) << 8));
  }
}

// Decodes the whole input. iconv stops at the first invalid byte; the Windows converter
// replaces it instead, so each such byte becomes U+FFFD and decoding resumes after it.
WString Decode(IconvHandle& converter, const char* bytes, size_t byteCount) {
  WString units;
  char chunk[4096];
  char* in = const_cast<char*>(bytes);  // iconv's signature is not const-correct
  size_t inLeft = byteCount;
  bool flushing = false;
  for (;;) {
    char* out = chunk;
    size_t outLeft = sizeof chunk;
    // The flushing call (null input) returns a stateful decoder to its initial state.
    size_t result = flushing ? iconv(converter.Get(), nullptr, nullptr, &out, &outLeft)
                             : iconv(converter.Get(), &in, &inLeft, &out, &outLeft);
    int error = result == static_cast<size_t>(-1) ? errno : 0;
    AppendUnits(chunk, out, units);
    if (error == E2BIG) continue;
    if (error == EILSEQ) {
      units.push_back(kReplacementCharacter);
      ++in;
      --inLeft;
      continue;
    }
    // A sequence cut short by the end of the input.
    if (error == EINVAL) units.push_back(kReplacementCharacter);
    if (flushing || error != 0) break;
    flushing = true;
  }
  return units;
}

}  // namespace

int ConvertToUtf16(int codePage, const char* bytes, int byteCount, WChar* destination, int room) {
  if (bytes == nullptr || byteCount <= 0) return 0;
  if (codePage == 0) codePage = AnsiCodePage();
  WString units;
  // Well-formed UTF-8 (the templates) is decoded here: iconv would load a module for it.
  if (codePage != kUtf8CodePage ||
      !DecodeWellFormedUtf8(bytes, static_cast<size_t>(byteCount), units)) {
    const char* name = IconvNameOfCodePage(codePage);
    if (name == nullptr) return 0;
    IconvHandle converter("UTF-16LE", name);
    if (!converter.IsOpen()) return 0;
    units = Decode(converter, bytes, static_cast<size_t>(byteCount));
  }
  if (units.size() > static_cast<size_t>(INT_MAX)) return 0;
  int count = static_cast<int>(units.size());
  if (destination == nullptr) return count;
  if (count > room) return 0;
  units.copy(destination, units.size());
  return count;
}

}  // namespace platform
