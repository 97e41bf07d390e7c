#include "harnel/winprobe/read.h"

#include <array>

namespace harnel::winprobe {
namespace {

struct Reader {
  std::string_view key;
  DisposableJson (*read)();
};

constexpr std::array<Reader, 15> kReaders = {{
    {"OS", ReadOS},
    {"BIOS", ReadSmbios},
    {"Processor", ReadProcessor},
    {"Memory", ReadMemory},
    {"Userinfo", ReadUserinfo},
    {"InputdeviceList", ReadInputdeviceList},
    {"ModemList", ReadModemList},
    {"MonitorList", ReadMonitorList},
    {"NetworkadapterList", ReadNetworkadapterList},
    {"PrinterList", ReadPrinterList},
    {"StorageList", ReadStorageList},
    {"SystemcontrollerList", ReadSystemcontrollerList},
    {"SystemslotList", ReadSmbios},
    {"VideoadapterList", ReadVideoadapterList},
    {"PhyMemoryList", ReadSmbios},
}};

}  // namespace

DisposableJson ReadWindowsRecord(std::string_view key) {
  for (const Reader& reader : kReaders) {
    if (reader.key == key) return reader.read();
  }
  return {};
}

}  // namespace harnel::winprobe
