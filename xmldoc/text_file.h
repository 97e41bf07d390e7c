#pragma once
// Reading a text file of unknown encoding (byte-order mark, declared charset, or a UTF-8
// test) whole into UTF-16, leaving a result record for every step.

#include <cstdint>

#include "base/text.h"
#include "platform/open_file.h"

// The flag word of a TextFile; XmlDoc's flags share the layout.
enum TextFileFlags : uint32_t {
  Utf16LeFlag = 0x01,    // UTF-16 little-endian, from the byte-order mark
  Utf8BomFlag = 0x04,    // starts with the UTF-8 byte-order mark
  ReadMode = 0x10,       // open for reading
  OpenModeFlags = 0x70,  // ReadMode and the two other open-mode bits, all cleared at close
  Utf16BeFlag = 0x80,    // UTF-16 big-endian, from the byte-order mark
};

// One file being read. Lives within one LoadTextFile call; the stream is closed with it.
struct TextFile {
  platform::FileStream stream;  // the open file; null when closed
  uint32_t flags = 0;           // TextFileFlags
  int32_t blockBytes = 0;       // bytes that the next block read takes
  int32_t fileSize = 0;         // measured at open
  int32_t position = 0;         // bytes consumed so far, byte-order mark included
  int32_t charWidth = 0;        // bytes per code unit in the file: 1, or 2 for UTF-16
  int32_t unitCount = 0;        // code units in the block last read
  WString resultLog;            // the records of the last operation
  WString encoding;             // charset of the file as far as known; empty when unknown

  // Opens `path` (zero-terminated) and finds the encoding from the first bytes; the stream is
  // left just after any byte-order mark. Clears resultLog first. False after a failed file call.
  bool Open(const WChar* path);

  // Reads blockBytes bytes into `buffer` (at least that large), removes zero units and swaps
  // big-endian UTF-16; adds to resultLog. False after a failed read.
  bool ReadBlock(void* buffer);

  // Reads the next blockBytes bytes (at most what is left) into `text` as UTF-16, with room
  // for a hundredth more. Clears resultLog first. False after a failed read.
  bool ReadText(WString& text);

  // Adds a "file_error" record with the last system error and its message; returns false.
  bool ReportFileError();
};

// Reads the file at `path` whole into `text` (emptied first). `log` (null: not wanted)
// receives the records of opening and reading. `flags` (null: none) gives the starting flags
// and, when the file was opened, receives the file's flags without the open-mode bits.
// True when the file was opened and read.
bool LoadTextFile(const WChar* path, WString& text, WString* log, uint32_t* flags);
