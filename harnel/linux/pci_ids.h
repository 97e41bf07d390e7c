#pragma once
// Looking names up in the pci.ids database without reading all of it: the database is 1.3 MB
// and a machine needs a few hundred bytes of it.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "harnel/linux/machine_files.h"

namespace harnel::linux {

struct PciDevice;

// The text of a pci.ids database, seen a window at a time: held in memory, or read from a file
// with one small read per window.
class PciIdsText {
 public:
  // Text that the caller keeps alive for as long as this object.
  explicit PciIdsText(std::string_view text) : window_(text), size_(text.size()) {}
  // The open database `file`, which must outlive this object.
  explicit PciIdsText(const MachineFile& file) : file_(&file), size_(file.Size()) {}
  PciIdsText(const PciIdsText&) = delete;
  PciIdsText& operator=(const PciIdsText&) = delete;

  std::size_t Size() const { return size_; }
  // The open database this text is read from; null for text held in memory.
  const MachineFile* File() const { return file_; }
  // How many reads of the file were made so far.
  std::size_t Reads() const { return reads_; }
  // The bytes from `offset` to the end of the window that holds them: before the end of the
  // text at least `minimum` bytes (up to 16 KB) or all that is left; none at or past the end or
  // when the file cannot be read. Valid until the next call.
  std::string_view From(std::size_t offset, std::size_t minimum = 1);
  // The bytes of the window that ends at `offset` (up to 8 KB before it), followed by the
  // `after` bytes that come next where there are any; sets `start` to the offset of the first.
  // Empty when the file cannot be read. Valid until the next call.
  std::string_view Before(std::size_t offset, std::size_t after, std::size_t& start);
  // The whole line that starts at `offset`, without its line feed, read into `spill` where it
  // is not in memory; the windows of From and Before stay as they were. Valid until `spill`
  // changes.
  std::string_view Line(std::size_t offset, std::string& spill);

 private:
  const MachineFile* file_ = nullptr;
  std::string_view window_;  // the whole text, or the part of the file read last
  std::size_t windowStart_ = 0;
  std::size_t reads_ = 0;
  std::size_t size_ = 0;
  std::array<char, 16384> buffer_;
  static constexpr std::size_t kBackTail = 16;
  std::array<char, 8192 + kBackTail> backBuffer_;  // Before's window, kept apart from From's
};

// The lines of the database `ids` that naming `devices` needs: the vendor lines of their
// vendors with the lines of their models, then the class lines of their classes with the
// lines of their subclasses, each in ascending order of ID. The database keeps that order
// (vendors, then classes, and the lines under each, sorted by ID), so every line is found by
// binary search and only a few windows of the text are read; text out of order is searched
// line by line instead. Every line reads as ReadPciIdsLine reads it: in a database in order,
// the names in the lines selected are those of the whole text. Only the next top-level line
// ends a block, and a vendor or class given again further on adds the lines of its later
// blocks. What the searches in a database file find is kept for the process while the file
// stays the same (same inode, size and modification time), so later selections (the storage,
// network and controller records of one inventory) read little of it again.
std::string SelectPciIds(PciIdsText& ids, const std::vector<PciDevice>& devices);

}  // namespace harnel::linux
