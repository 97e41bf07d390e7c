// Reading vendor, device and class names from lines of the pci.ids database.

#include "harnel/linux/pci_ids_names.h"

namespace harnel::linux {

PciIdsNames ReadPciIdsNames(std::string_view lines) {
  PciIdsNames names;
  PciIdsBlock block = PciIdsBlock::None;
  std::uint32_t owner = 0;  // the vendor or class of the block
  while (!lines.empty()) {
    const std::size_t feed = lines.find('\n');
    const PciIdsLine line = ReadPciIdsLine(lines.substr(0, feed), block);
    lines.remove_prefix(feed == std::string_view::npos ? lines.size() : feed + 1);
    if (line.level == PciIdsLevel::Top) {
      block = line.opens;
      owner = line.id;
      if (block == PciIdsBlock::Vendor) {
        names.vendors.emplace(static_cast<std::uint16_t>(owner), line.name);
      } else if (block == PciIdsBlock::Class) {
        names.classes.emplace(static_cast<std::uint8_t>(owner), line.name);
      }
    } else if (line.level == PciIdsLevel::Member && line.Names()) {
      if (block == PciIdsBlock::Vendor) {
        names.models.emplace(owner << 16 | line.id, line.name);
      } else {
        names.subclasses.emplace(static_cast<std::uint16_t>(owner << 8 | line.id), line.name);
      }
    }
  }
  return names;
}

}  // namespace harnel::linux
