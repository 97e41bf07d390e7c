// The Windows readers, one row per kind of record in the schema's order: the system calls that
// gather its raw data, the parser that makes the record of it, and the explainer that says from
// the same raw data why the record is empty where it is.

#include <iterator>

#include "harnel/disposable_json.h"
#include "harnel/read_record.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/read.h"

namespace harnel::winprobe {
namespace {

struct WindowsKind {
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
    {HARNEL_READ(ReadOS), ParseOS, ExplainOS},
    {HARNEL_READ(ReadSmbios), ParseBIOS, ExplainFirmwareRecord},
    {HARNEL_READ(ReadProcessor), ParseProcessor, ExplainProcessor},
    {HARNEL_READ(ReadMemory), ParseMemory, ExplainMemory},
    {HARNEL_READ(ReadUserinfo), ParseUserinfo, ExplainUserinfo},
    {HARNEL_READ(ReadInputdeviceList), ParseInputdeviceList, ExplainInputdeviceList},
    {HARNEL_READ(ReadModemList), ParseModemList, ExplainModemList},
    {HARNEL_READ(ReadMonitorList), ParseMonitorList, ExplainMonitorList},
    {HARNEL_READ(ReadNetworkadapterList), ParseNetworkadapterList, ExplainNetworkadapterList},
    {HARNEL_READ(ReadPrinterList), ParsePrinterList, ExplainPrinterList},
    {HARNEL_READ(ReadStorageList), ParseStorageList, ExplainStorageList},
    {HARNEL_READ(ReadSystemcontrollerList), ParseSystemcontrollerList, ExplainSystemcontrollerList},
    {HARNEL_READ(ReadSmbios), ParseSystemslotList, ExplainFirmwareRecord},
    {HARNEL_READ(ReadVideoadapterList), ParseVideoadapterList, ExplainVideoadapterList},
    {HARNEL_READ(ReadSmbios), ParsePhyMemoryList, ExplainFirmwareRecord},
};
static_assert(std::size(kKinds) == kRecordKinds);

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
                          const nlohmann::json& /*record*/, probe::Reasons& why) {
  if (const WindowsKind* kind = KindOf(key)) kind->explain(raw, why);
}

#if defined(_WIN32)
DisposableJson ReadWindowsRecord(std::string_view key) {
  const WindowsKind* kind = KindOf(key);
  return kind != nullptr ? kind->read() : DisposableJson();
}
#endif

}  // namespace harnel::winprobe

#if defined(_WIN32)
namespace harnel {

// The root folder has no meaning on Windows: the running machine is read.
nlohmann::json ReadRecord(const RecordSchema& schema, const std::filesystem::path& /*root*/,
                          probe::Reasons* why) {
  const winprobe::WindowsKind& kind = winprobe::kKinds[RecordIndex(schema)];
  const DisposableJson raw = kind.read();
  DisposableJson record = kind.parse(raw);
  if (why != nullptr) kind.explain(raw, *why);
  return nlohmann::json(std::move(record));
}

}  // namespace harnel
#endif
