#pragma once
// Display modes as the kernel names them in a connector's mode list.

#include <optional>
#include <string_view>

#include "harnel/decode/edid.h"

namespace harnel::decode {

// The size and scan of a mode name, "1920x1080" or "1920x1080i"; nullopt when it starts with
// no size. The name carries no rate: refreshHz is 0.
std::optional<DisplayMode> ParseModeName(std::string_view name);

// True when the kernel's mode `listed` is the display's timing `timing`: the same width, scan
// and height, or, for an interlaced timing, the height of one field, which the kernel keeps
// for sizes outside the television formats it knows.
bool SameMode(const DisplayMode& timing, const DisplayMode& listed);

}  // namespace harnel::decode
