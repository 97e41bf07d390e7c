#include "filler/template_path.h"

namespace velmora {
namespace {

#ifdef _WIN32
constexpr WChar kPathSeparator = '\\';
#else
constexpr WChar kPathSeparator = '/';
#endif

}  // namespace

WString TemplatePath(WStringView hostPath, const WChar* fileName) {
  const size_t cut = hostPath.rfind(kPathSeparator);
  if (cut == WStringView::npos) return WString();
  WString path(hostPath.substr(0, cut));
  path += kPathSeparator;
  path += WTEXT("hardinfo");
  path += kPathSeparator;
  path += fileName;
  return path;
}

}  // namespace velmora
