#include "harnel/schema.h"

#include "provider/provider.h"

namespace harnel {
namespace {

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

// The record's shape with the provider's own Get and Free for it, type-erased.
template <class Record, void (*Get)(Record**), void (*Free)(Record**)>
constexpr RecordSchema WithFunctions() {
  RecordSchema schema = kRecordShape<Record>;
  schema.get = Fetch<Record, Get>;
  schema.release = Release<Record, Free>;
  return schema;
}

const RecordSchema kRecordSchemas[] = {
    WithFunctions<OSInfo, GetOS, FreeOS>(),
    WithFunctions<BIOSInfo, GetBIOS, FreeBIOS>(),
    WithFunctions<ProcessorInfo, GetProcessor, FreeProcessor>(),
    WithFunctions<MemoryInfo, GetMemory, FreeMemory>(),
    WithFunctions<UserInfo, GetUserinfo, FreeUserinfo>(),
    WithFunctions<InputdeviceNode, GetInputdeviceList, FreeInputdeviceList>(),
    WithFunctions<ModemNode, GetModemList, FreeModemList>(),
    WithFunctions<MonitorNode, GetMonitorList, FreeMonitorList>(),
    WithFunctions<NetworkadapterNode, GetNetworkadapterList, FreeNetworkadapterList>(),
    WithFunctions<PrinterNode, GetPrinterList, FreePrinterList>(),
    WithFunctions<StorageNode, GetStorageList, FreeStorageList>(),
    WithFunctions<SystemcontrollerNode, GetSystemcontrollerList, FreeSystemcontrollerList>(),
    WithFunctions<SystemslotNode, GetSystemslotList, FreeSystemslotList>(),
    WithFunctions<VideoadapterNode, GetVideoadapterList, FreeVideoadapterList>(),
    WithFunctions<PhyMemoryNode, GetPhyMemoryList, FreePhyMemoryList>(),
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
