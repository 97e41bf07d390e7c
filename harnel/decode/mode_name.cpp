// Matching a display mode name from a connector's mode list with an EDID timing.

#include "harnel/decode/mode_name.h"

#include <charconv>

namespace harnel::decode {
namespace {

constexpr int kLargestSide = 65535;

// The decimal number at the start of `text`, and the rest of `text` after it.
std::optional<int> TakeNumber(std::string_view& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || value <= 0 || value > kLargestSide) return std::nullopt;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return value;
}

}  // namespace

std::optional<DisplayMode> ParseModeName(std::string_view name) {
  DisplayMode mode;
  std::optional<int> width = TakeNumber(name);
  if (!width || name.empty() || name.front() != 'x') return std::nullopt;
  name.remove_prefix(1);
  std::optional<int> height = TakeNumber(name);
  if (!height) return std::nullopt;
  mode.width = *width;
  mode.height = *height;
  // The kernel marks an interlaced mode with an "i"; whatever else may follow is no part of the
  // size.
  mode.interlaced = !name.empty() && name.front() == 'i';
  return mode;
}

bool SameMode(const DisplayMode& timing, const DisplayMode& listed) {
  if (timing.width != listed.width || timing.interlaced != listed.interlaced) return false;
  return timing.height == listed.height ||
         (timing.interlaced && timing.height == 2 * listed.height);
}

}  // namespace harnel::decode
