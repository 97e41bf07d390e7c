#include "fleet/glpi_tables.h"

#include "fleet/section_check.h"
#include "fleet/section_records.h"
#include "harnel/machine_key.h"

namespace velmora::fleet {
namespace {

using enum GlpiValue;
using enum GlpiEntries;
namespace machine = harnel::machine;

using namespace section_records;

constexpr GlpiField kHardware[] = {
    {"name", kOS, "computerName", GlpiText},
    {"memory", kMemory, "totalPhysicalMB", GlpiNumber},
    {"swap", kMemory, "totalPageFileMB", GlpiNumber},
    {"uuid", kSystem, machine::kUuid, GlpiText},
    {"vmsystem", kSystem, machine::kVirtualization, GlpiText},
    {"chassis_type", kBIOS, "machineType", GlpiText},
    {"workgroup", kUsers, "domainName", GlpiText},
    {"lastloggeduser", kUsers, "currentUser", GlpiLogin},
    {"lastloggeduser", kUsers, "lastUser", GlpiLogin},
    {"winowner", kOS, "registeredUser", GlpiText},
    {"wincompany", kOS, "registeredCompany", GlpiText},
    {"description", kOS, "osDescription", GlpiText},
};

constexpr GlpiField kBios[] = {
    {"bdate", kBIOS, "biosReleaseDate", GlpiDate},
    {"bmanufacturer", kBIOS, "biosManufacturer", GlpiText},
    {"bversion", kBIOS, "biosVersion", GlpiText},
    {"mmanufacturer", kBIOS, "boardManufacturer", GlpiText},
    {"mmodel", kBIOS, "boardName", GlpiText},
    {"msn", kBIOS, "boardSerialNumber", GlpiText},
    {"smanufacturer", kSystem, machine::kManufacturer, GlpiText},
    {"smodel", kSystem, machine::kProduct, GlpiText},
    {"ssn", kSystem, machine::kSerial, GlpiText},
    {"skunumber", kSystem, machine::kSku, GlpiText},
    {"assettag", kSystem, machine::kAssetTag, GlpiText},
    {"enclosureserial", kSystem, machine::kChassisSerial, GlpiText},
};

constexpr GlpiField kOperatingSystem[] = {
    {"full_name", kOS, "osName", GlpiText},         {"kernel_name", kOS, "osType", GlpiKernelName},
    {"kernel_name", kOS, "osName", GlpiKernelName}, {"kernel_version", kOS, "osVersion", GlpiText},
    {"service_pack", kOS, "servicePack", GlpiText}, {"arch", kOS, "osType", GlpiSystemArch},
    {"boot_time", kOS, "upTime", GlpiBootTime},     {"dns_domain", kUsers, "domainName", GlpiText},
};

constexpr GlpiField kCpus[] = {
    {"name", kProcessor, "name", GlpiText},
    {"manufacturer", kProcessor, "manufacturer", GlpiText},
    {"speed", kProcessor, "maxClockSpeed", GlpiNumber},
    {"id", kProcessor, "processorId", GlpiText},
    {"description", kProcessor, "description", GlpiText},
    {"core", kProcessor, machine::kCores, GlpiNumber},
    {"thread", kProcessor, machine::kThreads, GlpiThreadsPerCore, machine::kCores},
    {"arch", kProcessor, "description", GlpiProcessorArch},
};

constexpr GlpiField kMemories[] = {
    {"caption", kModules, "deviceLocator", GlpiText},
    {"description", kModules, "description", GlpiText},
    {"capacity", kModules, "capacityMB", GlpiNumber},
    {"speed", kModules, "speedMHz", GlpiNumberText},
    {"type", kModules, "memoryType", GlpiText},
    {"manufacturer", kModules, "manufacturer", GlpiText},
    {"serialnumber", kModules, machine::kSerialNumber, GlpiText},
    {"model", kModules, machine::kPartNumber, GlpiText},
};

constexpr GlpiField kStorages[] = {
    {"name", kStorage, "name", GlpiText},
    {"type", kStorage, "mediaType", GlpiStorageKind},
    {"description", kStorage, "description", GlpiText},
    {"manufacturer", kStorage, "manufacturer", GlpiText},
    {"model", kStorage, "model", GlpiText},
    {"disksize", kStorage, "sizeMB", GlpiNumber},
    {"serial", kStorage, machine::kSerialNumber, GlpiText},
    {"firmware", kStorage, machine::kFirmware, GlpiText},
    {"interface", kStorage, machine::kInterface, GlpiStorageBus},
};

// An entry's address list and mask list hold one item each (see GlpiAddresses).
constexpr GlpiField kNetworks[] = {
    {"description", kAdapters, machine::kInterfaceName, GlpiText},
    {"description", kAdapters, "description", GlpiText},
    {"mac", kAdapters, "macAddress", GlpiText},
    {"ipaddress", kAdapters, "ipAddress", GlpiIpv4Address},
    {"ipmask", kAdapters, "subnetMask", GlpiIpv4Mask, "ipAddress"},
    {"ipsubnet", kAdapters, "ipAddress", GlpiIpv4Subnet, "subnetMask"},
    {"ipaddress6", kAdapters, "ipAddress", GlpiIpv6Address},
    {"type", kAdapters, machine::kKind, GlpiNetworkKind},
    {"type", kAdapters, "adapterType", GlpiAdapterKind},
    {"status", kAdapters, machine::kStatus, GlpiNetworkStatus},
    {"mtu", kAdapters, machine::kMtu, GlpiNumber},
};

constexpr GlpiField kMonitors[] = {
    {"caption", kMonitorList, "monitorType", GlpiText},
    {"name", kMonitorList, "monitorType", GlpiText},
    {"manufacturer", kMonitorList, "manufacturer", GlpiText},
    {"serial", kMonitorList, machine::kSerialNumber, GlpiText},
    {"description", kMonitorList, machine::kManufactureWeek, GlpiManufactureDate,
     machine::kManufactureYear},
};

constexpr GlpiField kVideos[] = {
    {"name", kVideoList, "name", GlpiText},
    {"chipset", kVideoList, "videoProcessor", GlpiText},
    {"memory", kVideoList, "memoryMB", GlpiNumber},
    {"resolution", kVideoList, "resolution", GlpiResolution},
};

constexpr GlpiField kInputs[] = {
    {"name", kInputList, "caption", GlpiText},
    {"caption", kInputList, "caption", GlpiText},
    {"description", kInputList, "description", GlpiText},
    {"manufacturer", kInputList, "manufacturer", GlpiText},
    {"type", kInputList, "deviceType", GlpiText},
};

constexpr GlpiField kPrinters[] = {
    {"name", kPrinterList, "name", GlpiText},
    {"driver", kPrinterList, "model", GlpiText},
    {"port", kPrinterList, "port", GlpiText},
};

constexpr GlpiField kSlots[] = {
    {"name", kSlotList, "name", GlpiText},
    {"description", kSlotList, "smbiosString", GlpiText},
    {"status", kSlotList, "smbiosString", GlpiSlotStatus},
};

constexpr GlpiField kUserEntries[] = {
    {"login", kUsers, "currentUser", GlpiLogin},
    {"domain", kUsers, "currentUser", GlpiDomain},
};

constexpr GlpiField kModems[] = {
    {"name", kModemList, "name", GlpiText},
    {"type", kModemList, "deviceType", GlpiText},
};

constexpr GlpiField kControllers[] = {
    {"name", kControllerList, "name", GlpiText},
    {"type", kControllerList, "controllerType", GlpiText},
    {"manufacturer", kControllerList, "manufacturer", GlpiText},
};

constexpr GlpiSection kSections[] = {
    {"hardware", "", GlpiSingle, "", kHardware},
    {"bios", "", GlpiSingle, "", kBios},
    {"operatingsystem", "", GlpiSingle, "", kOperatingSystem},
    {"cpus", kProcessor, GlpiPackages, "", kCpus},
    {"memories", kModules, GlpiNodes, "", kMemories},
    {"storages", kStorage, GlpiNodes, "", kStorages},
    {"networks", kAdapters, GlpiAddresses, "description", kNetworks},
    {"monitors", kMonitorList, GlpiNodes, "", kMonitors},
    {"videos", kVideoList, GlpiNodes, "", kVideos},
    {"inputs", kInputList, GlpiNodes, "", kInputs},
    {"printers", kPrinterList, GlpiNodes, "name", kPrinters},
    {"slots", kSlotList, GlpiNodes, "name", kSlots},
    {"users", kUsers, GlpiRecord, "login", kUserEntries},
    {"modems", kModemList, GlpiNodes, "", kModems},
    {"controllers", kControllerList, GlpiNodes, "", kControllers},
};

static_assert(RowsMatchSchema(kSections));

}  // namespace

std::span<const GlpiSection> GlpiSections() { return kSections; }

}  // namespace velmora::fleet
