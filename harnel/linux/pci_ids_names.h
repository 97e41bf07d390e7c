#pragma once
// Reading names from lines of the pci.ids database: vendors with their models, device classes
// with their subclasses.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace harnel::probe {

// The names that pci.ids lines give, by their IDs.
struct PciIdsNames {
  std::map<std::uint16_t, std::string> vendors;
  std::map<std::uint32_t, std::string> models;  // by vendor << 16 | device
  std::map<std::uint8_t, std::string> classes;
  std::map<std::uint16_t, std::string> subclasses;  // by class << 8 | subclass
};

// The names in the pci.ids text `lines`, read as lspci reads them: a line ends at its line
// feed, carriage return or NUL byte, loses one trailing space or tab, and gives an ID (four hex
// digits for vendors and models, "C " and two for classes, two for subclasses), white space,
// then the name. Blank lines and comments give nothing, nor do lines two tabs in (subsystems,
// programming interfaces) or blocks of other kinds ("S 1234", "X ...").
//
// Where lspci's reader gives up on the whole database (and ends its process), this one goes
// on: a malformed line (an ID cut short or followed by no white space, no name, more tabs than
// the format has) gives no name, and a malformed vendor or class line gives none to the lines
// below it either, their owner being unknown. Of an ID given twice, the first line holds. Lines
// may be of any length, and every byte sequence is read to its end.
PciIdsNames ReadPciIdsNames(std::string_view lines);

// The number in the `digits` hex digits at the start of `text`; nullopt when they are not all
// hex digits.
std::optional<std::uint32_t> LeadingHex(std::string_view text, std::size_t digits);

}  // namespace harnel::probe
