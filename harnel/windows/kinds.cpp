// The Windows readers, one row per kind of record, keyed by kind in the schema's order: the system
// calls that gather its raw data, the parser that makes the record of it, and the explainer that
// says from the same raw data why the record is empty where it is.

#include <iterator>

#include "harnel/disposable_json.h"
#include "harnel/read_record.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/read.h"

namespace harnel::windows {
namespace {

// A row names its kind by the schema's key, and the rows must follow the schema's order, so
// that a row put in another's place does not build.
struct WindowsKind {
  std::string_view kind;
  DisposableJson (*read)();  // null off Windows, where only captured raw data is parsed
  Parser parse;
  Explainer explain;
};

#if defined(_WIN32)
#define HARNEL_READ(reader) reader
#else
#define HARNEL_READ(reader) nullptr
#endif

constexpr WindowsKind kKinds[] = {
    {kProfileKey<OSInfo>, HARNEL_READ(ReadOS), ParseOS, ExplainOS},
    {kProfileKey<BIOSInfo>, HARNEL_READ(ReadBIOS), ParseBIOS, ExplainBIOS},
    {kProfileKey<ProcessorInfo>, HARNEL_READ(ReadProcessor), ParseProcessor, ExplainProcessor},
    {kProfileKey<MemoryInfo>, HARNEL_READ(ReadMemory), ParseMemory, ExplainMemory},
    {kProfileKey<UserInfo>, HARNEL_READ(ReadUserinfo), ParseUserinfo, ExplainUserinfo},
    {kProfileKey<InputdeviceNode>, HARNEL_READ(ReadInputdeviceList), ParseInputdeviceList,
     ExplainInputdeviceList},
    {kProfileKey<ModemNode>, HARNEL_READ(ReadModemList), ParseModemList, ExplainModemList},
    {kProfileKey<MonitorNode>, HARNEL_READ(ReadMonitorList), ParseMonitorList, ExplainMonitorList},
    {kProfileKey<NetworkadapterNode>, HARNEL_READ(ReadNetworkadapterList), ParseNetworkadapterList,
     ExplainNetworkadapterList},
    {kProfileKey<PrinterNode>, HARNEL_READ(ReadPrinterList), ParsePrinterList, ExplainPrinterList},
    {kProfileKey<StorageNode>, HARNEL_READ(ReadStorageList), ParseStorageList, ExplainStorageList},
    {kProfileKey<SystemcontrollerNode>, HARNEL_READ(ReadSystemcontrollerList),
     ParseSystemcontrollerList, ExplainSystemcontrollerList},
    {kProfileKey<SystemslotNode>, HARNEL_READ(ReadSystemslotList), ParseSystemslotList,
     ExplainSystemslotList},
    {kProfileKey<VideoadapterNode>, HARNEL_READ(ReadVideoadapterList), ParseVideoadapterList,
     ExplainVideoadapterList},
    {kProfileKey<PhyMemoryNode>, HARNEL_READ(ReadPhyMemoryList), ParsePhyMemoryList,
     ExplainPhyMemoryList},
};
static_assert(FirstRowOutOfPlace(kKinds) == kRecordKinds,
              "one reader per kind of record, in the schema's order");

#undef HARNEL_READ

const WindowsKind* KindOf(std::string_view key) {
  const RecordSchema* schema = FindRecordSchema(key);
  return schema != nullptr ? &kKinds[RecordIndex(*schema)] : nullptr;
}

}  // namespace

nlohmann::json ParseWindowsRecord(std::string_view key, const nlohmann::json& raw) {
  const WindowsKind* kind = KindOf(key);
  return kind != nullptr ? kind->parse(raw) : nullptr;
}

void ExplainWindowsRecord(std::string_view key, const nlohmann::json& raw,
                          const nlohmann::json& /*record*/, findings::Reasons& why) {
  if (const WindowsKind* kind = KindOf(key)) kind->explain(raw, why);
}

#if defined(_WIN32)
DisposableJson ReadWindowsRecord(std::string_view key) {
  const WindowsKind* kind = KindOf(key);
  return kind != nullptr ? kind->read() : DisposableJson();
}
#endif

}  // namespace harnel::windows

#if defined(_WIN32)
namespace harnel {

// The root folder has no meaning on Windows: the running machine is read.
nlohmann::json ReadRecord(const RecordSchema& schema, const std::filesystem::path& /*root*/,
                          findings::Reasons* why) {
  const windows::WindowsKind& kind = windows::kKinds[RecordIndex(schema)];
  const DisposableJson raw = kind.read();
  DisposableJson record = kind.parse(raw);
  if (why != nullptr) kind.explain(raw, *why);
  return nlohmann::json(std::move(record));
}

}  // namespace harnel
#endif
