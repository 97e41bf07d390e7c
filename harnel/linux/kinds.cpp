// The Linux readers, one row per kind of record, keyed by kind in the schema's order: the reader,
// which notes beside the record what it found at its sources, and the explainer, which says from
// those facts alone why the record is empty where it is.

#include <iterator>

#include "harnel/disposable_json.h"
#include "harnel/linux/probe_bios.h"
#include "harnel/linux/probe_inputdevice.h"
#include "harnel/linux/probe_memory.h"
#include "harnel/linux/probe_modem.h"
#include "harnel/linux/probe_monitor.h"
#include "harnel/linux/probe_networkadapter.h"
#include "harnel/linux/probe_os.h"
#include "harnel/linux/probe_phymemory.h"
#include "harnel/linux/probe_printer.h"
#include "harnel/linux/probe_processor.h"
#include "harnel/linux/probe_storage.h"
#include "harnel/linux/probe_systemcontroller.h"
#include "harnel/linux/probe_systemslot.h"
#include "harnel/linux/probe_userinfo.h"
#include "harnel/linux/probe_videoadapter.h"
#include "harnel/read_record.h"

namespace harnel {
namespace {

using probe::Reasons;

// The facts a reader notes: the type of its second parameter.
template <class Facts>
Facts FactsOf(nlohmann::json (*)(const std::filesystem::path&, Facts&));

// One kind: `Read` reads the record and, when reasons are asked for, `Explain` tells them from
// the facts of that same read.
template <auto Read, auto Explain>
nlohmann::json ReadAndExplain(const std::filesystem::path& root, Reasons* why) {
  decltype(FactsOf(Read)) facts;
  DisposableJson record = Read(root, facts);
  if (why != nullptr) Explain(facts, *why);
  return nlohmann::json(std::move(record));
}

using KindReader = nlohmann::json (*)(const std::filesystem::path& root, Reasons* why);

// A row names its kind by the schema's key, and the rows must follow the schema's order, so
// that a row put in another's place does not build.
struct LinuxKind {
  std::string_view kind;
  KindReader read;
};

template <class Record, auto Read, auto Explain>
constexpr LinuxKind Kind() {
  return {kProfileKey<Record>, ReadAndExplain<Read, Explain>};
}

constexpr LinuxKind kKinds[] = {
    Kind<OSInfo, probe::ProbeOS, probe::ExplainOS>(),
    Kind<BIOSInfo, probe::ProbeBIOS, probe::ExplainBIOS>(),
    Kind<ProcessorInfo, probe::ProbeProcessor, probe::ExplainProcessor>(),
    Kind<MemoryInfo, probe::ProbeMemory, probe::ExplainMemory>(),
    Kind<UserInfo, probe::ProbeUserinfo, probe::ExplainUserinfo>(),
    Kind<InputdeviceNode, probe::ProbeInputdeviceList, probe::ExplainInputdeviceList>(),
    Kind<ModemNode, probe::ProbeModemList, probe::ExplainModemList>(),
    Kind<MonitorNode, probe::ProbeMonitorList, probe::ExplainMonitorList>(),
    Kind<NetworkadapterNode, probe::ProbeNetworkadapterList, probe::ExplainNetworkadapterList>(),
    Kind<PrinterNode, probe::ProbePrinterList, probe::ExplainPrinterList>(),
    Kind<StorageNode, probe::ProbeStorageList, probe::ExplainStorageList>(),
    Kind<SystemcontrollerNode, probe::ProbeSystemcontrollerList,
         probe::ExplainSystemcontrollerList>(),
    Kind<SystemslotNode, probe::ProbeSystemslotList, probe::ExplainSystemslotList>(),
    Kind<VideoadapterNode, probe::ProbeVideoadapterList, probe::ExplainVideoadapterList>(),
    Kind<PhyMemoryNode, probe::ProbePhyMemoryList, probe::ExplainPhyMemoryList>(),
};
static_assert(FirstRowOutOfPlace(kKinds) == kRecordKinds,
              "one reader per kind of record, in the schema's order");

}  // namespace

nlohmann::json ReadRecord(const RecordSchema& schema, const std::filesystem::path& root,
                          Reasons* why) {
  return kKinds[RecordIndex(schema)].read(root, why);
}

}  // namespace harnel
