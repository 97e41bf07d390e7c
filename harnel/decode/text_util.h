#pragma once
// Small, non-throwing helpers for kernel and firmware text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harnel::decode {

// `text` without leading and trailing white space and NUL bytes.
std::string_view Trim(std::string_view text);

// The lines of `text` without their line breaks; a final line break adds no empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

// `text` split at `separator`, pieces trimmed, empty pieces dropped.
std::vector<std::string_view> SplitWords(std::string_view text, char separator = ' ');

// The unsigned number that the whole trimmed `text` holds in `base`; a "0x" prefix is
// accepted for base 16. nullopt for anything else, overflow included.
std::optional<std::uint64_t> ParseUnsigned(std::string_view text, int base = 10);

// The leading decimal number of `text` after white space ("2694.854" gives 2694).
std::optional<std::uint64_t> ParseLeadingUnsigned(std::string_view text);

// `text` with what is not UTF-8 replaced by U+FFFD (as base/utf8.h says) and control
// characters other than tab dropped, so that it can travel in a profile.
std::string ToValidUtf8(std::string_view text);

// True when `text` starts with `prefix`.
inline bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace harnel::decode
