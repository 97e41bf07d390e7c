// The Linux readers, one row per kind of record, keyed by kind in the schema's order: the reader,
// which notes beside the record what it found at its sources, and the explainer, which says from
// those facts alone why the record is empty where it is.

#include <iterator>

#include "harnel/disposable_json.h"
#include "harnel/linux/bios.h"
#include "harnel/linux/inputdevice.h"
#include "harnel/linux/memory.h"
#include "harnel/linux/modem.h"
#include "harnel/linux/monitor.h"
#include "harnel/linux/networkadapter.h"
#include "harnel/linux/os.h"
#include "harnel/linux/phymemory.h"
#include "harnel/linux/printer.h"
#include "harnel/linux/processor.h"
#include "harnel/linux/storage.h"
#include "harnel/linux/systemcontroller.h"
#include "harnel/linux/systemslot.h"
#include "harnel/linux/userinfo.h"
#include "harnel/linux/videoadapter.h"
#include "harnel/read_record.h"

namespace harnel {
namespace {

using findings::Reasons;

// The facts a reader notes: the type of its second parameter.
template <class Facts>
Facts FactsOf(nlohmann::json (*)(const std::filesystem::path&, Facts&));

// One kind: `Read` reads the record and, when reasons are asked for, `Explain` tells them from
// the facts of that same read.
template <auto Read, auto Explain>
nlohmann::json ReadAndExplain(const std::filesystem::path& root, findings::Reasons* why) {
  decltype(FactsOf(Read)) facts;
  DisposableJson record = Read(root, facts);
  if (why != nullptr) Explain(facts, *why);
  return nlohmann::json(std::move(record));
}

using KindReader = nlohmann::json (*)(const std::filesystem::path& root, findings::Reasons* why);

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
    Kind<OSInfo, linux::ProbeOS, linux::ExplainOS>(),
    Kind<BIOSInfo, linux::ProbeBIOS, linux::ExplainBIOS>(),
    Kind<ProcessorInfo, linux::ProbeProcessor, linux::ExplainProcessor>(),
    Kind<MemoryInfo, linux::ProbeMemory, linux::ExplainMemory>(),
    Kind<UserInfo, linux::ProbeUserinfo, linux::ExplainUserinfo>(),
    Kind<InputdeviceNode, linux::ProbeInputdeviceList, linux::ExplainInputdeviceList>(),
    Kind<ModemNode, linux::ProbeModemList, linux::ExplainModemList>(),
    Kind<MonitorNode, linux::ProbeMonitorList, linux::ExplainMonitorList>(),
    Kind<NetworkadapterNode, linux::ProbeNetworkadapterList, linux::ExplainNetworkadapterList>(),
    Kind<PrinterNode, linux::ProbePrinterList, linux::ExplainPrinterList>(),
    Kind<StorageNode, linux::ProbeStorageList, linux::ExplainStorageList>(),
    Kind<SystemcontrollerNode, linux::ProbeSystemcontrollerList,
         linux::ExplainSystemcontrollerList>(),
    Kind<SystemslotNode, linux::ProbeSystemslotList, linux::ExplainSystemslotList>(),
    Kind<VideoadapterNode, linux::ProbeVideoadapterList, linux::ExplainVideoadapterList>(),
    Kind<PhyMemoryNode, linux::ProbePhyMemoryList, linux::ExplainPhyMemoryList>(),
};
static_assert(FirstRowOutOfPlace(kKinds) == kRecordKinds,
              "one reader per kind of record, in the schema's order");

}  // namespace

nlohmann::json ReadRecord(const RecordSchema& schema, const std::filesystem::path& root,
                          findings::Reasons* why) {
  return kKinds[RecordIndex(schema)].read(root, why);
}

}  // namespace harnel
