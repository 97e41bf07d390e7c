#pragma once
// How one line of the pci.ids database reads. The names and the selection of the lines a
// machine needs both follow these rules, so a line means the same to both.

#include <cstdint>
#include <string_view>

namespace harnel::linux {

// What the lines one tab in below a top-level line name.
enum class PciIdsBlock { None, Vendor, Class };

// Where a line stands: nowhere (blank, white space only, a comment), at the top (a vendor, a
// class, a block of another kind, or a malformed line in their place), one tab in (a model or
// a subclass), or deeper (subsystems, programming interfaces).
enum class PciIdsLevel { Ignored, Top, Member, Deeper };

// One line as read: its level and, where it is an entry, its ID and name.
struct PciIdsLine {
  PciIdsLevel level = PciIdsLevel::Ignored;
  // A top-level line: the block it heads, None for other kinds and malformed lines.
  PciIdsBlock opens = PciIdsBlock::None;
  std::uint32_t id = 0;
  // Empty when the line gives no name; else a part of the line read.
  std::string_view name;

  bool Names() const { return !name.empty(); }
};

// The line `line` (its bytes up to, not including, its line feed) inside a block of `block`,
// read as lspci reads it: the line ends at a carriage return or NUL byte and loses one
// trailing space or tab; an entry is an ID (four hex digits for vendors and models, "C " and
// two for classes, two for subclasses), white space, then the name. Blank lines and comments
// stand nowhere, so they neither end a block nor belong to one: only the next top-level line
// ends it. A malformed line (an ID cut short or followed by no white space, no name, more
// tabs than the format has) gives no name, and a malformed top-level line heads no block.
// Lines may be of any length.
PciIdsLine ReadPciIdsLine(std::string_view line, PciIdsBlock block);

// Whether a line that starts with `first` can be a top-level line: one that starts with a tab
// or a comment sign never is, whatever follows.
constexpr bool MayBeTopLevel(char first) { return first != '\t' && first != '#'; }

}  // namespace harnel::linux
