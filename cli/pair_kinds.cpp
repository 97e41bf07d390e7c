#include "cli/pair_kinds.h"

#include "dll/velmora.h"

namespace velmora::cli {
namespace {

const PairKind kPairKinds[] = {
    {"os", "Operating system", GetOSPair, 0},
    {"bios", "Mainboard and BIOS", GetBIOSPair, 0},
    {"processor", "Processor", GetProcessorPair, 0},
    {"memory", "Memory", GetMemoryPair, 0},
    {"userinfo", "Users", GetUserinfoPair, 0},
    {"inputdevice", "Input devices", GetInputdeviceListPair, 4},
    {"modem", "Modems", GetModemListPair, 2},
    {"monitor", "Monitors", GetMonitorListPair, 2},
    {"networkadapter", "Network adapters", GetNetworkadapterListPair, 5},
    {"printer", "Printers", GetPrinterListPair, 3},
    {"storage", "Storage devices", GetStorageListPair, 6},
    {"systemcontroller", "System controllers", GetSystemcontrollerListPair, 3},
    {"systemslot", "System slots", GetSystemslotListPair, 2},
    {"videoadapter", "Video adapters", GetVideoadapterListPair, 4},
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
