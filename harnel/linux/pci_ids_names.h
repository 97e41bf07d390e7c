#pragma once
// Reading names from lines of the pci.ids database: vendors with their models, device classes
// with their subclasses.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "harnel/linux/pci_ids_line.h"

namespace harnel::linux {

// The names that pci.ids lines give, by their IDs.
struct PciIdsNames {
  std::map<std::uint16_t, std::string> vendors;
  std::map<std::uint32_t, std::string> models;  // by vendor << 16 | device
  std::map<std::uint8_t, std::string> classes;
  std::map<std::uint16_t, std::string> subclasses;  // by class << 8 | subclass
};

// The names in the pci.ids text `lines`, each line read by ReadPciIdsLine: vendors and
// classes from the top-level lines, models and subclasses from the lines one tab in below
// them. Where lspci's reader gives up on the whole database (and ends its process), this one
// goes on: a malformed vendor or class line gives no name to the lines below it either, their
// owner being unknown. Of an ID given twice, the first line holds. Every byte sequence is read
// to its end.
PciIdsNames ReadPciIdsNames(std::string_view lines);

}  // namespace harnel::linux
