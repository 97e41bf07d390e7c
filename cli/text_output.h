#pragma once
// Turning the library's UTF-16 into what a terminal or a pipe shows.

#include <string>
#include <string_view>

#include "base/text.h"

namespace velmora::cli {

// `message` on one line, for standard error: line breaks become spaces, trailing spaces go (CLI11's
// messages and servers' texts may span lines).
std::string OneLine(std::string message);

// UTF-8 for standard output.
std::string ToUtf8(WStringView text);

// Columns a monospaced terminal gives `text`: two for East Asian wide and full-width
// characters, one for the rest. It measures the library's own captions, all of them in the
// Basic Multilingual Plane, so each unit is one character.
int DisplayWidth(WStringView text);

// ANSI styles, applied only when `enabled` (a terminal, and NO_COLOR unset).
struct Style {
  bool enabled = false;
  std::string Heading(std::string_view text) const;
  std::string Dim(std::string_view text) const;
};

}  // namespace velmora::cli
