#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "dll/velmora.h"

namespace velmora::cli {

Action AddXmlCommand(CLI::App* command, const Context& context) {
  auto category = std::make_shared<int>(0);
  command
      ->add_option("CATEGORY", *category,
                   "0 the catalogue, 5001 OS, 5002 BIOS, 5003 storage, 5004 video, 5005 "
                   "network, 5006 controllers, anything else the other devices")
      ->required();

  return [command, category, &context] {
    (void)context;
    if (!command->parsed()) return -1;
    WString document;
    if (GetDeviceXMLBuffer(*category, document) != 0) {
      // The export says no more than that; `check` tells which.
      std::fprintf(stderr,
                   "velmora: the template for category %d could not be loaded, or not filled "
                   "within the document engine's limits\n",
                   *category);
      return 1;
    }
    // The document as it stands: no byte-order mark, no line break added.
    Context::Print(ToUtf8(document));
    return 0;
  };
}

}  // namespace velmora::cli
