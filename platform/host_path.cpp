#include "platform/host_path.h"

#include <unistd.h>

#include <string>

#include "platform/code_page_conversion.h"

namespace platform {

namespace {

constexpr int kUtf8CodePage = 65001;

}  // namespace

WString HostProgramPath() {
  // readlink does not say whether it truncated, so grow the buffer until the link fits.
  std::string target(256, '\0');
  for (;;) {
    ssize_t length = readlink("/proc/self/exe", target.data(), target.size());
    if (length < 0) return WString();
    if (static_cast<size_t>(length) < target.size()) {
      target.resize(static_cast<size_t>(length));
      break;
    }
    target.resize(target.size() * 2);
  }
  int byteCount = static_cast<int>(target.size());
  int units = ConvertToUtf16(kUtf8CodePage, target.data(), byteCount, nullptr, 0);
  WString path(static_cast<size_t>(units), WChar{});
  ConvertToUtf16(kUtf8CodePage, target.data(), byteCount, path.data(), units);
  return path;
}

}  // namespace platform
