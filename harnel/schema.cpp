#include "harnel/schema.h"

#include <cstddef>

#include "provider/provider.h"

namespace harnel {
namespace {

#define HARNEL_TEXT(Record, field) \
  FieldSchema { #field, FieldKind::FieldText, offsetof(Record, field) }
#define HARNEL_INT32(Record, field) \
  FieldSchema { #field, FieldKind::FieldInt32, offsetof(Record, field) }

constexpr FieldSchema kOSFields[] = {
    HARNEL_TEXT(OSInfo, osName),         HARNEL_TEXT(OSInfo, osType),
    HARNEL_TEXT(OSInfo, osVersion),      HARNEL_TEXT(OSInfo, servicePack),
    HARNEL_TEXT(OSInfo, osDescription),  HARNEL_TEXT(OSInfo, registeredCompany),
    HARNEL_TEXT(OSInfo, registeredUser), HARNEL_TEXT(OSInfo, serialNumber),
    HARNEL_TEXT(OSInfo, computerName),   HARNEL_TEXT(OSInfo, upTime),
};
constexpr FieldSchema kBIOSFields[] = {
    HARNEL_TEXT(BIOSInfo, boardManufacturer), HARNEL_TEXT(BIOSInfo, boardName),
    HARNEL_TEXT(BIOSInfo, boardSerialNumber), HARNEL_TEXT(BIOSInfo, machineType),
    HARNEL_TEXT(BIOSInfo, biosName),          HARNEL_TEXT(BIOSInfo, biosManufacturer),
    HARNEL_TEXT(BIOSInfo, biosVersion),       HARNEL_TEXT(BIOSInfo, biosReleaseDate),
};
constexpr FieldSchema kProcessorFields[] = {
    HARNEL_TEXT(ProcessorInfo, name),         HARNEL_INT32(ProcessorInfo, maxClockSpeed),
    HARNEL_TEXT(ProcessorInfo, manufacturer), HARNEL_TEXT(ProcessorInfo, processorId),
    HARNEL_TEXT(ProcessorInfo, description),  HARNEL_TEXT(ProcessorInfo, slotName),
    HARNEL_INT32(ProcessorInfo, l2CacheKB),
};
constexpr FieldSchema kMemoryFields[] = {
    HARNEL_INT32(MemoryInfo, totalPhysicalMB),
    HARNEL_INT32(MemoryInfo, totalPageFileMB),
};
constexpr FieldSchema kUserinfoFields[] = {
    HARNEL_TEXT(UserInfo, currentUser),
    HARNEL_TEXT(UserInfo, lastUser),
    HARNEL_TEXT(UserInfo, domainName),
};
constexpr FieldSchema kInputdeviceFields[] = {
    HARNEL_TEXT(InputdeviceNode, caption),
    HARNEL_TEXT(InputdeviceNode, deviceType),
    HARNEL_TEXT(InputdeviceNode, manufacturer),
    HARNEL_TEXT(InputdeviceNode, description),
};
constexpr FieldSchema kModemFields[] = {
    HARNEL_TEXT(ModemNode, name),
    HARNEL_TEXT(ModemNode, deviceType),
};
// The spare field is the provider's own and stays null: profiles do not carry it.
constexpr FieldSchema kMonitorFields[] = {
    HARNEL_TEXT(MonitorNode, manufacturer),
    HARNEL_TEXT(MonitorNode, monitorType),
};
constexpr FieldSchema kNetworkadapterFields[] = {
    HARNEL_TEXT(NetworkadapterNode, description), HARNEL_TEXT(NetworkadapterNode, adapterType),
    HARNEL_TEXT(NetworkadapterNode, macAddress),  HARNEL_TEXT(NetworkadapterNode, ipAddress),
    HARNEL_TEXT(NetworkadapterNode, subnetMask),
};
constexpr FieldSchema kPrinterFields[] = {
    HARNEL_TEXT(PrinterNode, name),
    HARNEL_TEXT(PrinterNode, model),
    HARNEL_TEXT(PrinterNode, port),
};
constexpr FieldSchema kStorageFields[] = {
    HARNEL_TEXT(StorageNode, name),         HARNEL_TEXT(StorageNode, mediaType),
    HARNEL_TEXT(StorageNode, manufacturer), HARNEL_TEXT(StorageNode, model),
    HARNEL_INT32(StorageNode, sizeMB),      HARNEL_TEXT(StorageNode, description),
};
constexpr FieldSchema kSystemcontrollerFields[] = {
    HARNEL_TEXT(SystemcontrollerNode, name),
    HARNEL_TEXT(SystemcontrollerNode, controllerType),
    HARNEL_TEXT(SystemcontrollerNode, manufacturer),
};
constexpr FieldSchema kSystemslotFields[] = {
    HARNEL_TEXT(SystemslotNode, name),
    HARNEL_TEXT(SystemslotNode, smbiosString),
};
constexpr FieldSchema kVideoadapterFields[] = {
    HARNEL_TEXT(VideoadapterNode, name),          HARNEL_TEXT(VideoadapterNode, videoProcessor),
    HARNEL_INT32(VideoadapterNode, memoryMB),     HARNEL_TEXT(VideoadapterNode, manufacturer),
    HARNEL_TEXT(VideoadapterNode, dacType),       HARNEL_INT32(VideoadapterNode, refreshRateHz),
    HARNEL_TEXT(VideoadapterNode, driverVersion), HARNEL_TEXT(VideoadapterNode, driverDate),
    HARNEL_TEXT(VideoadapterNode, resolution),
};
constexpr FieldSchema kPhyMemoryFields[] = {
    HARNEL_TEXT(PhyMemoryNode, moduleName),    HARNEL_TEXT(PhyMemoryNode, description),
    HARNEL_TEXT(PhyMemoryNode, deviceLocator), HARNEL_INT32(PhyMemoryNode, capacityMB),
    HARNEL_INT32(PhyMemoryNode, speedMHz),     HARNEL_TEXT(PhyMemoryNode, manufacturer),
    HARNEL_INT32(PhyMemoryNode, dataWidth),    HARNEL_TEXT(PhyMemoryNode, memoryType),
};

#undef HARNEL_TEXT
#undef HARNEL_INT32

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

template <class Record, void (*Get)(Record**), void (*Free)(Record**), std::size_t N>
constexpr RecordSchema Single(std::string_view key, const FieldSchema (&fields)[N]) {
  return {key, false, sizeof(Record), 0, fields, Fetch<Record, Get>, Release<Record, Free>};
}

template <class Node, void (*Get)(Node**), void (*Free)(Node**), std::size_t N>
constexpr RecordSchema List(std::string_view key, const FieldSchema (&fields)[N]) {
  return {
      key, true, sizeof(Node), offsetof(Node, next), fields, Fetch<Node, Get>, Release<Node, Free>};
}

const RecordSchema kRecordSchemas[] = {
    Single<OSInfo, GetOS, FreeOS>("OS", kOSFields),
    Single<BIOSInfo, GetBIOS, FreeBIOS>("BIOS", kBIOSFields),
    Single<ProcessorInfo, GetProcessor, FreeProcessor>("Processor", kProcessorFields),
    Single<MemoryInfo, GetMemory, FreeMemory>("Memory", kMemoryFields),
    Single<UserInfo, GetUserinfo, FreeUserinfo>("Userinfo", kUserinfoFields),
    List<InputdeviceNode, GetInputdeviceList, FreeInputdeviceList>("InputdeviceList",
                                                                   kInputdeviceFields),
    List<ModemNode, GetModemList, FreeModemList>("ModemList", kModemFields),
    List<MonitorNode, GetMonitorList, FreeMonitorList>("MonitorList", kMonitorFields),
    List<NetworkadapterNode, GetNetworkadapterList, FreeNetworkadapterList>("NetworkadapterList",
                                                                            kNetworkadapterFields),
    List<PrinterNode, GetPrinterList, FreePrinterList>("PrinterList", kPrinterFields),
    List<StorageNode, GetStorageList, FreeStorageList>("StorageList", kStorageFields),
    List<SystemcontrollerNode, GetSystemcontrollerList, FreeSystemcontrollerList>(
        "SystemcontrollerList", kSystemcontrollerFields),
    List<SystemslotNode, GetSystemslotList, FreeSystemslotList>("SystemslotList",
                                                                kSystemslotFields),
    List<VideoadapterNode, GetVideoadapterList, FreeVideoadapterList>("VideoadapterList",
                                                                      kVideoadapterFields),
    List<PhyMemoryNode, GetPhyMemoryList, FreePhyMemoryList>("PhyMemoryList", kPhyMemoryFields),
};

}  // namespace

std::span<const RecordSchema> RecordSchemas() { return kRecordSchemas; }

const RecordSchema* FindRecordSchema(std::string_view key) {
  for (const RecordSchema& schema : kRecordSchemas) {
    if (schema.key == key) return &schema;
  }
  return nullptr;
}

}  // namespace harnel
