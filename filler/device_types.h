#pragma once
// The two provider type texts that the filler interprets: input device types and storage
// media types, each mapped to a category caption and an output id.

#include <cstdint>

#include "base/text.h"

namespace velmora {

// The caption for a known type text ("键盘" for "Keyboard", ...); empty for any other text
// and for no text (null).
WString DeviceTypeName(const WChar* typeText);

// The category id for a known type text (500701 for "Keyboard", ...); 0 for any other text
// and for no text (null).
int32_t DeviceTypeId(const WChar* typeText);

}  // namespace velmora
