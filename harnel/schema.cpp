#include "harnel/schema.h"

#include <array>

#include "provider/provider.h"

namespace harnel {
namespace {

// The fields of `Record` as the records' readers and writers take them: by name and offset.
template <class Record>
constexpr auto ErasedFields() {
  const auto& typed = RecordFields<Record>::fields;
  std::array<FieldSchema, std::size(RecordFields<Record>::fields)> fields{};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fields[i] = {typed[i].name,
                 typed[i].text != nullptr ? FieldKind::FieldText : FieldKind::FieldInt32,
                 typed[i].offset};
  }
  return fields;
}

template <class Record>
constexpr auto kFields = ErasedFields<Record>();

template <class Record, void (*Get)(Record**)>
void* Fetch() {
  Record* record = nullptr;
  Get(&record);
  return record;
}

template <class Record, void (*Free)(Record**)>
void Release(void* record) {
  Record* held = static_cast<Record*>(record);
  Free(&held);
}

template <class Record, void (*Get)(Record**), void (*Free)(Record**)>
constexpr RecordSchema Single() {
  return {RecordFields<Record>::key, false, sizeof(Record), 0, kFields<Record>, Fetch<Record, Get>,
          Release<Record, Free>};
}

template <class Node, void (*Get)(Node**), void (*Free)(Node**)>
constexpr RecordSchema List() {
  return {RecordFields<Node>::key, true,          sizeof(Node),
          offsetof(Node, next),    kFields<Node>, Fetch<Node, Get>,
          Release<Node, Free>};
}

const RecordSchema kRecordSchemas[] = {
    Single<OSInfo, GetOS, FreeOS>(),
    Single<BIOSInfo, GetBIOS, FreeBIOS>(),
    Single<ProcessorInfo, GetProcessor, FreeProcessor>(),
    Single<MemoryInfo, GetMemory, FreeMemory>(),
    Single<UserInfo, GetUserinfo, FreeUserinfo>(),
    List<InputdeviceNode, GetInputdeviceList, FreeInputdeviceList>(),
    List<ModemNode, GetModemList, FreeModemList>(),
    List<MonitorNode, GetMonitorList, FreeMonitorList>(),
    List<NetworkadapterNode, GetNetworkadapterList, FreeNetworkadapterList>(),
    List<PrinterNode, GetPrinterList, FreePrinterList>(),
    List<StorageNode, GetStorageList, FreeStorageList>(),
    List<SystemcontrollerNode, GetSystemcontrollerList, FreeSystemcontrollerList>(),
    List<SystemslotNode, GetSystemslotList, FreeSystemslotList>(),
    List<VideoadapterNode, GetVideoadapterList, FreeVideoadapterList>(),
    List<PhyMemoryNode, GetPhyMemoryList, FreePhyMemoryList>(),
};
static_assert(std::size(kRecordSchemas) == kRecordKinds);

}  // namespace

std::span<const RecordSchema> RecordSchemas() { return kRecordSchemas; }

const RecordSchema* FindRecordSchema(std::string_view key) {
  for (const RecordSchema& schema : kRecordSchemas) {
    if (schema.key == key) return &schema;
  }
  return nullptr;
}

std::size_t RecordIndex(const RecordSchema& schema) {
  return static_cast<std::size_t>(&schema - kRecordSchemas);
}

}  // namespace harnel
