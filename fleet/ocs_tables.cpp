#include "fleet/ocs_tables.h"

#include "fleet/section_check.h"
#include "fleet/section_records.h"
#include "harnel/machine_key.h"

namespace velmora::fleet {
namespace {

using enum GlpiValue;
using enum GlpiEntries;
namespace machine = harnel::machine;

using namespace section_records;

// The server writes MEMORY, SWAP, PROCESSORS and PROCESSORN into its SQL unquoted, so they are
// numbers or absent, never text.
constexpr GlpiField kHardware[] = {
    {"NAME", kOS, "computerName", GlpiText},
    {"OSNAME", kOS, "osName", GlpiText},
    {"OSVERSION", kOS, "osVersion", GlpiText},
    {"OSCOMMENTS", kOS, "osDescription", GlpiText},
    {"ARCH", kOS, "osType", GlpiSystemArch},
    {"WORKGROUP", kUsers, "domainName", GlpiText},
    {"USERID", kUsers, "currentUser", GlpiLogin},
    {"USERID", kUsers, "lastUser", GlpiLogin},
    {"MEMORY", kMemory, "totalPhysicalMB", GlpiNumber},
    {"SWAP", kMemory, "totalPageFileMB", GlpiNumber},
    {"PROCESSORT", kProcessor, "name", GlpiText},
    {"PROCESSORS", kProcessor, "maxClockSpeed", GlpiNumber},
    {"PROCESSORN", kProcessor, machine::kPackages, GlpiNumber},
    {"UUID", kSystem, machine::kUuid, GlpiText},
    {"VMSYSTEM", kSystem, machine::kVirtualization, GlpiText},
    {"WINOWNER", kOS, "registeredUser", GlpiText},
    {"WINCOMPANY", kOS, "registeredCompany", GlpiText},
};

constexpr GlpiField kBios[] = {
    {"SMANUFACTURER", kSystem, machine::kManufacturer, GlpiText},
    {"SMODEL", kSystem, machine::kProduct, GlpiText},
    {"SSN", kSystem, machine::kSerial, GlpiText},
    {"TYPE", kBIOS, "machineType", GlpiText},
    {"BMANUFACTURER", kBIOS, "biosManufacturer", GlpiText},
    {"BVERSION", kBIOS, "biosVersion", GlpiText},
    {"BDATE", kBIOS, "biosReleaseDate", GlpiText},
    {"ASSETTAG", kSystem, machine::kAssetTag, GlpiText},
    {"MMANUFACTURER", kBIOS, "boardManufacturer", GlpiText},
    {"MMODEL", kBIOS, "boardName", GlpiText},
    {"MSN", kBIOS, "boardSerialNumber", GlpiText},
};

constexpr GlpiField kCpus[] = {
    {"MANUFACTURER", kProcessor, "manufacturer", GlpiText},
    {"TYPE", kProcessor, "name", GlpiText},
    {"SPEED", kProcessor, "maxClockSpeed", GlpiNumber},
    {"CORES", kProcessor, machine::kCores, GlpiNumber},
    {"LOGICAL_CPUS", kProcessor, machine::kThreads, GlpiNumber},
    {"L2CACHESIZE", kProcessor, "l2CacheKB", GlpiNumber},
    {"CPUARCH", kProcessor, "description", GlpiProcessorArch},
    {"SOCKET", kProcessor, "slotName", GlpiText},
};

constexpr GlpiField kMemories[] = {
    {"CAPTION", kModules, "deviceLocator", GlpiText},
    {"DESCRIPTION", kModules, "description", GlpiText},
    {"CAPACITY", kModules, "capacityMB", GlpiNumber},
    {"TYPE", kModules, "memoryType", GlpiText},
    {"SPEED", kModules, "speedMHz", GlpiNumberText},
    {"SERIALNUMBER", kModules, machine::kSerialNumber, GlpiText},
};

constexpr GlpiField kStorages[] = {
    {"MANUFACTURER", kStorage, "manufacturer", GlpiText},
    {"NAME", kStorage, "name", GlpiText},
    {"MODEL", kStorage, "model", GlpiText},
    {"DESCRIPTION", kStorage, "description", GlpiText},
    {"TYPE", kStorage, "mediaType", GlpiText},
    {"DISKSIZE", kStorage, "sizeMB", GlpiNumber},
    {"SERIALNUMBER", kStorage, machine::kSerialNumber, GlpiText},
    {"FIRMWARE", kStorage, machine::kFirmware, GlpiText},
};

// An entry's address list and mask list hold one item each (see GlpiAddresses); the server keeps
// IPv4 addresses only.
constexpr GlpiField kNetworks[] = {
    {"DESCRIPTION", kAdapters, machine::kInterfaceName, GlpiText},
    {"DESCRIPTION", kAdapters, "description", GlpiText},
    {"TYPE", kAdapters, machine::kKind, GlpiNetworkKind},
    {"TYPE", kAdapters, "adapterType", GlpiAdapterKind},
    {"MACADDR", kAdapters, "macAddress", GlpiText},
    {"STATUS", kAdapters, machine::kStatus, GlpiNetworkStatus},
    {"IPADDRESS", kAdapters, "ipAddress", GlpiIpv4Address},
    {"IPMASK", kAdapters, "subnetMask", GlpiIpv4Mask, "ipAddress"},
    {"IPSUBNET", kAdapters, "ipAddress", GlpiIpv4Subnet, "subnetMask"},
    {"MTU", kAdapters, machine::kMtu, GlpiNumber},
};

constexpr GlpiField kMonitors[] = {
    {"MANUFACTURER", kMonitorList, "manufacturer", GlpiText},
    {"CAPTION", kMonitorList, "monitorType", GlpiText},
    {"DESCRIPTION", kMonitorList, machine::kManufactureWeek, GlpiManufactureDate,
     machine::kManufactureYear},
    {"SERIAL", kMonitorList, machine::kSerialNumber, GlpiText},
};

constexpr GlpiField kVideos[] = {
    {"NAME", kVideoList, "name", GlpiText},
    {"CHIPSET", kVideoList, "videoProcessor", GlpiText},
    {"MEMORY", kVideoList, "memoryMB", GlpiNumber},
    {"RESOLUTION", kVideoList, "resolution", GlpiResolution},
};

constexpr GlpiField kControllers[] = {
    {"MANUFACTURER", kControllerList, "manufacturer", GlpiText},
    {"NAME", kControllerList, "name", GlpiText},
    {"CAPTION", kControllerList, "name", GlpiText},
    {"TYPE", kControllerList, "controllerType", GlpiText},
};

constexpr GlpiField kSlots[] = {
    {"NAME", kSlotList, "name", GlpiText},
    {"DESIGNATION", kSlotList, "name", GlpiText},
    {"DESCRIPTION", kSlotList, "smbiosString", GlpiText},
    {"STATUS", kSlotList, "smbiosString", GlpiSlotStatus},
};

constexpr GlpiField kInputs[] = {
    {"TYPE", kInputList, "deviceType", GlpiText},
    {"MANUFACTURER", kInputList, "manufacturer", GlpiText},
    {"CAPTION", kInputList, "caption", GlpiText},
    {"DESCRIPTION", kInputList, "description", GlpiText},
};

constexpr GlpiField kModems[] = {
    {"NAME", kModemList, "name", GlpiText},
    {"TYPE", kModemList, "deviceType", GlpiText},
};

constexpr GlpiField kPrinters[] = {
    {"NAME", kPrinterList, "name", GlpiText},
    {"DRIVER", kPrinterList, "model", GlpiText},
    {"PORT", kPrinterList, "port", GlpiText},
};

constexpr GlpiSection kSections[] = {
    {"HARDWARE", "", GlpiSingle, "", kHardware},
    {"BIOS", "", GlpiSingle, "", kBios},
    {"CPUS", kProcessor, GlpiPackages, "", kCpus},
    {"MEMORIES", kModules, GlpiNodes, "", kMemories},
    {"STORAGES", kStorage, GlpiNodes, "", kStorages},
    {"NETWORKS", kAdapters, GlpiAddresses, "DESCRIPTION", kNetworks},
    {"MONITORS", kMonitorList, GlpiNodes, "", kMonitors},
    {"VIDEOS", kVideoList, GlpiNodes, "", kVideos},
    {"CONTROLLERS", kControllerList, GlpiNodes, "", kControllers},
    {"SLOTS", kSlotList, GlpiNodes, "NAME", kSlots},
    {"INPUTS", kInputList, GlpiNodes, "", kInputs},
    {"MODEMS", kModemList, GlpiNodes, "", kModems},
    {"PRINTERS", kPrinterList, GlpiNodes, "NAME", kPrinters},
};

static_assert(RowsMatchSchema(kSections));

}  // namespace

std::span<const GlpiSection> OcsSections() { return kSections; }

}  // namespace velmora::fleet
