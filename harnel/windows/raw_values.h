#pragma once
// What the Windows readers hand from their system calls to their parsers: plain JSON that a
// capture can keep in a file and any system can parse again. Texts are UTF-8 strings, registry
// numbers are numbers, multi-strings arrays of strings, and bytes an object {"hex": "0a1b"}.
// The accessors never throw: a value that is missing or of another kind is no value.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/disposable_json.h"

namespace harnel::windows {

// The text under `name` in the object `raw`, trimmed; nullopt when absent, empty or no text.
std::optional<std::string> RawText(const nlohmann::json& raw, std::string_view name);

// The unsigned number under `name`; nullopt when absent or no such number.
std::optional<std::uint64_t> RawNumber(const nlohmann::json& raw, std::string_view name);

// True when `name` holds true.
bool RawFlag(const nlohmann::json& raw, std::string_view name);

// The bytes under `name`; empty when absent or not whole hex digits.
std::string RawBytes(const nlohmann::json& raw, std::string_view name);

// A registry value that drivers store either as a string or as UTF-16 bytes (the display
// driver's "HardwareInformation.*" values): its text up to the first NUL.
std::optional<std::string> RawRegistryText(const nlohmann::json& raw, std::string_view name);

// The object under `name`, or an empty object.
const nlohmann::json& RawObject(const nlohmann::json& raw, std::string_view name);

// The array under `name`, or an empty array.
const nlohmann::json& RawRows(const nlohmann::json& raw, std::string_view name);

// `bytes` in the raw form of bytes: {"hex": "..."}.
DisposableJson BytesValue(std::string_view bytes);

// UTF-16LE bytes (a registry or device property string) up to the first NUL, as UTF-8.
std::string TextFromUtf16Bytes(std::string_view bytes);

// The UTF-16LE bytes of a multi-string (texts each ended by a NUL, an empty text after the
// last) as an array of UTF-8 texts.
DisposableJson TextsFromUtf16Bytes(std::string_view bytes);

// The name a device goes by in the device installation database: its friendly name, else its
// description.
std::optional<std::string> DeviceName(const nlohmann::json& device);

}  // namespace harnel::windows
