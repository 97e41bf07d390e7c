#include "harnel/probe.h"

#include <array>

#include "harnel/probe/probe_bios.h"
#include "harnel/probe/probe_inputdevice.h"
#include "harnel/probe/probe_memory.h"
#include "harnel/probe/probe_modem.h"
#include "harnel/probe/probe_monitor.h"
#include "harnel/probe/probe_networkadapter.h"
#include "harnel/probe/probe_os.h"
#include "harnel/probe/probe_phymemory.h"
#include "harnel/probe/probe_printer.h"
#include "harnel/probe/probe_processor.h"
#include "harnel/probe/probe_storage.h"
#include "harnel/probe/probe_systemcontroller.h"
#include "harnel/probe/probe_systemslot.h"
#include "harnel/probe/probe_userinfo.h"
#include "harnel/probe/probe_videoadapter.h"

namespace harnel {
namespace {

using Reader = nlohmann::json (*)(const std::filesystem::path&);

struct ProfileReader {
  std::string_view key;
  Reader read;
};

constexpr std::array<ProfileReader, 15> kReaders = {{
    {"OS", probe::ProbeOS},
    {"BIOS", probe::ProbeBIOS},
    {"Processor", probe::ProbeProcessor},
    {"Memory", probe::ProbeMemory},
    {"Userinfo", probe::ProbeUserinfo},
    {"InputdeviceList", probe::ProbeInputdeviceList},
    {"ModemList", probe::ProbeModemList},
    {"MonitorList", probe::ProbeMonitorList},
    {"NetworkadapterList", probe::ProbeNetworkadapterList},
    {"PrinterList", probe::ProbePrinterList},
    {"StorageList", probe::ProbeStorageList},
    {"SystemcontrollerList", probe::ProbeSystemcontrollerList},
    {"SystemslotList", probe::ProbeSystemslotList},
    {"VideoadapterList", probe::ProbeVideoadapterList},
    {"PhyMemoryList", probe::ProbePhyMemoryList},
}};

}  // namespace

nlohmann::json ProbeMachine(std::string_view key, const std::filesystem::path& root) {
  for (const ProfileReader& reader : kReaders) {
    if (reader.key == key) return ReadOrLeaveOut([&] { return reader.read(root); });
  }
  return nullptr;
}

}  // namespace harnel
