// VideoadapterNode from the display adapters in the device installation database, their
// driver keys, and the display mode of the desktop each one drives.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "harnel/decode/put_fields.h"
#include "harnel/decode/record_formats.h"
#include "harnel/decode/text_util.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/raw_values.h"

namespace harnel::windows {
namespace {

// A refresh rate of 0 or 1 stands for the hardware's default, which names no rate.
constexpr std::uint64_t kLowestRealRefreshHz = 2;

bool SameId(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) ==
           std::toupper(static_cast<unsigned char>(y));
  });
}

// The desktop display the adapter drives: the display device names the adapter by its
// first hardware ID.
const nlohmann::json* DisplayOf(const nlohmann::json& adapter, const nlohmann::json& displays) {
  const nlohmann::json& ids = RawRows(adapter, "HardwareID");
  for (const nlohmann::json& display : displays) {
    std::optional<std::string> id = RawText(display, "DeviceID");
    for (const nlohmann::json& hardwareId : ids) {
      if (id && hardwareId.is_string() && SameId(*id, hardwareId.get_ref<const std::string&>())) {
        return &display;
      }
    }
  }
  return nullptr;
}

// Drivers keep the size as a QWORD, or as a DWORD or its four bytes.
std::optional<std::int64_t> MemoryMB(const nlohmann::json& driver) {
  std::optional<std::uint64_t> bytes = RawNumber(driver, "HardwareInformation.qwMemorySize");
  if (!bytes) bytes = RawNumber(driver, "HardwareInformation.MemorySize");
  if (const std::string data = RawBytes(driver, "HardwareInformation.MemorySize");
      !bytes && data.size() == 4) {
    bytes = 0;
    for (std::size_t i = 4; i-- > 0;) *bytes = *bytes << 8 | static_cast<unsigned char>(data[i]);
  }
  if (!bytes || *bytes == 0) return std::nullopt;
  return static_cast<std::int64_t>(*bytes >> 20);
}

// The driver's date "1-18-2022" (month, day, year) as "01/18/2022", the form of the BIOS date.
std::optional<std::string> DriverDate(const nlohmann::json& driver) {
  std::optional<std::string> date = RawText(driver, "DriverDate");
  if (!date) return std::nullopt;
  const std::vector<std::string_view> parts = decode::SplitWords(*date, '-');
  std::optional<std::uint64_t> month, day, year;
  if (parts.size() == 3) {
    month = decode::ParseUnsigned(parts[0]), day = decode::ParseUnsigned(parts[1]);
    year = decode::ParseUnsigned(parts[2]);
  }
  if (!month || !day || !year || *month > 12 || *day > 31 || *year > 9999) return date;
  char text[16];
  std::snprintf(text, sizeof text, "%02u/%02u/%04u", static_cast<unsigned>(*month),
                static_cast<unsigned>(*day), static_cast<unsigned>(*year));
  return std::string(text);
}

void PutMode(nlohmann::json& node, const nlohmann::json* display) {
  if (display == nullptr) return;
  const std::optional<std::uint64_t> width = RawNumber(*display, "width");
  const std::optional<std::uint64_t> height = RawNumber(*display, "height");
  const std::optional<std::uint64_t> hertz = RawNumber(*display, "frequency");
  if (width && height && *width > 0 && *height > 0 && *width <= 65535 && *height <= 65535) {
    decode::PutText(node, "resolution",
                    decode::FormatResolution(static_cast<int>(*width), static_cast<int>(*height)));
  }
  if (hertz && *hertz >= kLowestRealRefreshHz) {
    decode::PutInt(node, "refreshRateHz", static_cast<std::int64_t>(*hertz));
  }
}

}  // namespace

nlohmann::json ParseVideoadapterList(const nlohmann::json& raw) {
  DisposableJson list = nlohmann::json::array();
  for (const nlohmann::json& adapter : RawRows(raw, "devices")) {
    const nlohmann::json& driver = RawObject(adapter, "driver");
    DisposableJson node = nlohmann::json::object();
    decode::PutText(node, "name", DeviceName(adapter));
    decode::PutText(node, "videoProcessor",
                    RawRegistryText(driver, "HardwareInformation.ChipType"));
    decode::PutInt(node, "memoryMB", MemoryMB(driver));
    decode::PutText(node, "manufacturer", RawText(adapter, "Mfg"));
    decode::PutText(node, "dacType", RawRegistryText(driver, "HardwareInformation.DacType"));
    decode::PutText(node, "driverVersion", RawText(driver, "DriverVersion"));
    decode::PutText(node, "driverDate", DriverDate(driver));
    PutMode(node, DisplayOf(adapter, RawRows(raw, "displays")));
    list.push_back(std::move(node));
  }
  return decode::ListOrNull(std::move(list));
}

void ExplainVideoadapterList(const nlohmann::json& /*raw*/, findings::Reasons& why) {
  why.Absent("no device of the Display class");
  why.EveryNode("memoryMB", "the driver key gives no memory size");
  why.EveryNode("driverVersion", "the driver key gives no version");
  why.EveryNode("driverDate", "the driver key gives no date");
  why.EveryNode("dacType", "the driver key gives no DAC type");
  why.EveryNode("resolution", "no display attached");
  why.EveryNode("refreshRateHz", "no display attached");
  why.Otherwise(kFromDatabase);
}

}  // namespace harnel::windows
