// The Linux readers, one row per kind of record in the schema's order: the reader, which notes
// beside the record what it found at its sources, and the explainer, which says from those facts
// alone why the record is empty where it is.

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

constexpr KindReader kKinds[] = {
    ReadAndExplain<probe::ProbeOS, probe::ExplainOS>,
    ReadAndExplain<probe::ProbeBIOS, probe::ExplainBIOS>,
    ReadAndExplain<probe::ProbeProcessor, probe::ExplainProcessor>,
    ReadAndExplain<probe::ProbeMemory, probe::ExplainMemory>,
    ReadAndExplain<probe::ProbeUserinfo, probe::ExplainUserinfo>,
    ReadAndExplain<probe::ProbeInputdeviceList, probe::ExplainInputdeviceList>,
    ReadAndExplain<probe::ProbeModemList, probe::ExplainModemList>,
    ReadAndExplain<probe::ProbeMonitorList, probe::ExplainMonitorList>,
    ReadAndExplain<probe::ProbeNetworkadapterList, probe::ExplainNetworkadapterList>,
    ReadAndExplain<probe::ProbePrinterList, probe::ExplainPrinterList>,
    ReadAndExplain<probe::ProbeStorageList, probe::ExplainStorageList>,
    ReadAndExplain<probe::ProbeSystemcontrollerList, probe::ExplainSystemcontrollerList>,
    ReadAndExplain<probe::ProbeSystemslotList, probe::ExplainSystemslotList>,
    ReadAndExplain<probe::ProbeVideoadapterList, probe::ExplainVideoadapterList>,
    ReadAndExplain<probe::ProbePhyMemoryList, probe::ExplainPhyMemoryList>,
};
static_assert(std::size(kKinds) == kRecordKinds);

}  // namespace

nlohmann::json ReadRecord(const RecordSchema& schema, const std::filesystem::path& root,
                          Reasons* why) {
  return kKinds[RecordIndex(schema)](root, why);
}

}  // namespace harnel
