// The raw values Windows readers hand to their parsers: plain JSON a capture can keep.

#include "harnel/windows/raw_values.h"

#include <algorithm>

#include "harnel/decode/text_util.h"
#include "harnel/decode/utf16.h"

namespace harnel::windows {
namespace {

const nlohmann::json* Member(const nlohmann::json& raw, std::string_view name) {
  if (!raw.is_object()) return nullptr;
  const auto found = raw.find(name);
  return found == raw.end() ? nullptr : &*found;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The UTF-16LE units of `bytes`; an odd last byte is no unit.
WString Units(std::string_view bytes) {
  WString units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<WChar>(static_cast<unsigned char>(bytes[i]) |
                                       static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return units;
}

}  // namespace

std::optional<std::string> RawText(const nlohmann::json& raw, std::string_view name) {
  const nlohmann::json* value = Member(raw, name);
  if (value == nullptr || !value->is_string()) return std::nullopt;
  const std::string_view text = decode::Trim(value->get_ref<const std::string&>());
  if (text.empty()) return std::nullopt;
  return std::string(text);
}

std::optional<std::uint64_t> RawNumber(const nlohmann::json& raw, std::string_view name) {
  const nlohmann::json* value = Member(raw, name);
  if (value == nullptr || !value->is_number_unsigned()) return std::nullopt;
  return value->get<std::uint64_t>();
}

bool RawFlag(const nlohmann::json& raw, std::string_view name) {
  const nlohmann::json* value = Member(raw, name);
  return value != nullptr && value->is_boolean() && value->get<bool>();
}

std::string RawBytes(const nlohmann::json& raw, std::string_view name) {
  const std::optional<std::string> hex = RawText(RawObject(raw, name), "hex");
  if (!hex || hex->size() % 2 != 0) return {};
  std::string bytes;
  bytes.reserve(hex->size() / 2);
  for (std::size_t i = 0; i < hex->size(); i += 2) {
    const int high = HexDigit((*hex)[i]), low = HexDigit((*hex)[i + 1]);
    if (high < 0 || low < 0) return {};
    bytes.push_back(static_cast<char>(high << 4 | low));
  }
  return bytes;
}

std::optional<std::string> RawRegistryText(const nlohmann::json& raw, std::string_view name) {
  if (std::optional<std::string> text = RawText(raw, name)) return text;
  std::string text = TextFromUtf16Bytes(RawBytes(raw, name));
  if (decode::Trim(text).empty()) return std::nullopt;
  return std::string(decode::Trim(text));
}

const nlohmann::json& RawObject(const nlohmann::json& raw, std::string_view name) {
  static const nlohmann::json kEmpty = nlohmann::json::object();
  const nlohmann::json* value = Member(raw, name);
  return value != nullptr && value->is_object() ? *value : kEmpty;
}

const nlohmann::json& RawRows(const nlohmann::json& raw, std::string_view name) {
  static const nlohmann::json kEmpty = nlohmann::json::array();
  const nlohmann::json* value = Member(raw, name);
  return value != nullptr && value->is_array() ? *value : kEmpty;
}

DisposableJson BytesValue(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char byte : bytes) {
    hex.push_back(kDigits[static_cast<unsigned char>(byte) >> 4]);
    hex.push_back(kDigits[static_cast<unsigned char>(byte) & 0x0F]);
  }
  DisposableJson value = nlohmann::json::object();
  value["hex"] = std::move(hex);
  return value;
}

std::string TextFromUtf16Bytes(std::string_view bytes) {
  const WString units = Units(bytes);
  return decode::Utf16ToUtf8(WStringView(units).substr(0, units.find(WChar{0})));
}

DisposableJson TextsFromUtf16Bytes(std::string_view bytes) {
  DisposableJson texts = nlohmann::json::array();
  const WString units = Units(bytes);
  WStringView rest(units);
  while (!rest.empty() && rest.front() != 0) {
    const std::size_t end = std::min(rest.find(WChar{0}), rest.size());
    texts.push_back(decode::Utf16ToUtf8(rest.substr(0, end)));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return texts;
}

std::optional<std::string> DeviceName(const nlohmann::json& device) {
  std::optional<std::string> friendly = RawText(device, "FriendlyName");
  return friendly ? friendly : RawText(device, "DeviceDesc");
}

}  // namespace harnel::windows
