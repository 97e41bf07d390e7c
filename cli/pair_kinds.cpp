#include "cli/pair_kinds.h"

#include "dll/velmora.h"

namespace velmora::cli {
namespace {

const PairKind kPairKinds[] = {
    {"os", "Operating system", "OS", GetOSPair, 0},
    {"bios", "Mainboard and BIOS", "BIOS", GetBIOSPair, 0},
    {"processor", "Processor", "Processor", GetProcessorPair, 0},
    {"memory", "Memory", "Memory", GetMemoryPair, 0},
    {"userinfo", "Users", "Userinfo", GetUserinfoPair, 0},
    {"inputdevice", "Input devices", "InputdeviceList", GetInputdeviceListPair, 4},
    {"modem", "Modems", "ModemList", GetModemListPair, 2},
    {"monitor", "Monitors", "MonitorList", GetMonitorListPair, 2},
    {"networkadapter", "Network adapters", "NetworkadapterList", GetNetworkadapterListPair, 5},
    {"printer", "Printers", "PrinterList", GetPrinterListPair, 3},
    {"storage", "Storage devices", "StorageList", GetStorageListPair, 6},
    {"systemcontroller", "System controllers", "SystemcontrollerList", GetSystemcontrollerListPair,
     3},
    {"systemslot", "System slots", "SystemslotList", GetSystemslotListPair, 2},
    {"videoadapter", "Video adapters", "VideoadapterList", GetVideoadapterListPair, 4},
};

}  // namespace

std::span<const PairKind> PairKinds() { return kPairKinds; }

const PairKind* FindPairKind(std::string_view name) {
  for (const PairKind& kind : kPairKinds) {
    if (kind.name == name) return &kind;
  }
  return nullptr;
}

}  // namespace velmora::cli
