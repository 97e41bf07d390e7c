#include "harnel/winprobe/parse.h"

#include <array>

namespace harnel::winprobe {
namespace {

struct Parser {
  std::string_view key;
  nlohmann::json (*parse)(const nlohmann::json&);
};

constexpr std::array<Parser, 15> kParsers = {{
    {"OS", ParseOS},
    {"BIOS", ParseBIOS},
    {"Processor", ParseProcessor},
    {"Memory", ParseMemory},
    {"Userinfo", ParseUserinfo},
    {"InputdeviceList", ParseInputdeviceList},
    {"ModemList", ParseModemList},
    {"MonitorList", ParseMonitorList},
    {"NetworkadapterList", ParseNetworkadapterList},
    {"PrinterList", ParsePrinterList},
    {"StorageList", ParseStorageList},
    {"SystemcontrollerList", ParseSystemcontrollerList},
    {"SystemslotList", ParseSystemslotList},
    {"VideoadapterList", ParseVideoadapterList},
    {"PhyMemoryList", ParsePhyMemoryList},
}};

}  // namespace

nlohmann::json ParseWindowsRecord(std::string_view key, const nlohmann::json& raw) {
  for (const Parser& parser : kParsers) {
    if (parser.key == key) return parser.parse(raw);
  }
  return nullptr;
}

}  // namespace harnel::winprobe
