#include <cstdio>

#include "cli/commands.h"
#include "dll/velmora.h"

namespace velmora::cli {

int RunXml(const Context& /*context*/, int category) {
  WString document;
  if (GetDeviceXMLBuffer(category, document) != 0) {
    std::fprintf(stderr, "velmora: no template for category %d could be loaded\n", category);
    return 1;
  }
  // The document as it stands: no byte-order mark, no line break added.
  Context::Print(ToUtf8(document));
  return 0;
}

}  // namespace velmora::cli
