#pragma once
// The storage of a document's text. Unlike a standard string it neither zeroes the units it
// gains nor copies them when it is replaced: a document writes every unit it uses before it
// reads it, and zeroing a gap that the next edits fill, in a text of hundreds of kilobytes,
// took a fill's time for nothing.

#include <cstddef>
#include <memory>
#include <utility>

#include "base/text.h"

class TextBuffer {
 public:
  // Storage for `capacity` units, none in use, plus the terminating zero.
  explicit TextBuffer(size_t capacity = 0) : units(new WChar[capacity + 1]), room(capacity) {
    units[0] = WChar();
  }

  // The units; data()[size()] is zero.
  WChar* data() const { return units.get(); }
  size_t size() const { return used; }
  size_t capacity() const { return room; }
  // Uses the first `n` units (n <= capacity()) and writes the terminating zero after them;
  // units gained this way keep whatever they held.
  void SetSize(size_t n) {
    used = n;
    units[n] = WChar();
  }
  void swap(TextBuffer& other) noexcept {
    units.swap(other.units);
    std::swap(used, other.used);
    std::swap(room, other.room);
  }

 private:
  std::unique_ptr<WChar[]> units;
  size_t used = 0;
  size_t room = 0;
};
