#include "fleet/glpi_tables.h"

#include "harnel/schema.h"

namespace velmora::fleet {
namespace {

using enum GlpiValue;
using enum GlpiEntries;

// "System" is the Machine key's system; the other names are profile keys.
constexpr GlpiField kHardware[] = {
    {"name", "OS.computerName", GlpiText},
    {"memory", "Memory.totalPhysicalMB", GlpiNumber},
    {"swap", "Memory.totalPageFileMB", GlpiNumber},
    {"uuid", "System.uuid", GlpiText},
    {"vmsystem", "System.virtualization", GlpiText},
    {"chassis_type", "BIOS.machineType", GlpiText},
    {"workgroup", "Userinfo.domainName", GlpiText},
    {"lastloggeduser", "Userinfo.currentUser", GlpiLogin},
    {"lastloggeduser", "Userinfo.lastUser", GlpiLogin},
    {"winowner", "OS.registeredUser", GlpiText},
    {"wincompany", "OS.registeredCompany", GlpiText},
    {"description", "OS.osDescription", GlpiText},
};

constexpr GlpiField kBios[] = {
    {"bdate", "BIOS.biosReleaseDate", GlpiDate},
    {"bmanufacturer", "BIOS.biosManufacturer", GlpiText},
    {"bversion", "BIOS.biosVersion", GlpiText},
    {"mmanufacturer", "BIOS.boardManufacturer", GlpiText},
    {"mmodel", "BIOS.boardName", GlpiText},
    {"msn", "BIOS.boardSerialNumber", GlpiText},
    {"smanufacturer", "System.manufacturer", GlpiText},
    {"smodel", "System.product", GlpiText},
    {"ssn", "System.serial", GlpiText},
    {"skunumber", "System.sku", GlpiText},
    {"assettag", "System.assetTag", GlpiText},
    {"enclosureserial", "System.chassisSerial", GlpiText},
};

constexpr GlpiField kOperatingSystem[] = {
    {"full_name", "OS.osName", GlpiText},         {"kernel_name", "OS.osType", GlpiKernelName},
    {"kernel_name", "OS.osName", GlpiKernelName}, {"kernel_version", "OS.osVersion", GlpiText},
    {"service_pack", "OS.servicePack", GlpiText}, {"arch", "OS.osType", GlpiSystemArch},
    {"boot_time", "OS.upTime", GlpiBootTime},     {"dns_domain", "Userinfo.domainName", GlpiText},
};

constexpr GlpiField kCpus[] = {
    {"name", "name", GlpiText},
    {"manufacturer", "manufacturer", GlpiText},
    {"speed", "maxClockSpeed", GlpiNumber},
    {"id", "processorId", GlpiText},
    {"description", "description", GlpiText},
    {"core", "cores", GlpiNumber},
    {"thread", "threads", GlpiThreadsPerCore},
    {"arch", "description", GlpiProcessorArch},
};

constexpr GlpiField kMemories[] = {
    {"caption", "deviceLocator", GlpiText},     {"description", "description", GlpiText},
    {"capacity", "capacityMB", GlpiNumber},     {"speed", "speedMHz", GlpiNumberText},
    {"type", "memoryType", GlpiText},           {"manufacturer", "manufacturer", GlpiText},
    {"serialnumber", "serialNumber", GlpiText}, {"model", "partNumber", GlpiText},
};

constexpr GlpiField kStorages[] = {
    {"name", "name", GlpiText},
    {"type", "mediaType", GlpiStorageKind},
    {"description", "description", GlpiText},
    {"manufacturer", "manufacturer", GlpiText},
    {"model", "model", GlpiText},
    {"disksize", "sizeMB", GlpiNumber},
    {"serial", "serialNumber", GlpiText},
    {"firmware", "firmware", GlpiText},
    {"interface", "interface", GlpiStorageBus},
};

// The address fields are those of one address of the adapter (see GlpiAddresses).
constexpr GlpiField kNetworks[] = {
    {"description", "interfaceName", GlpiText},
    {"description", "description", GlpiText},
    {"mac", "macAddress", GlpiText},
    {"ipaddress", "ipv4", GlpiText},
    {"ipmask", "ipv4Mask", GlpiText},
    {"ipsubnet", "ipv4Subnet", GlpiText},
    {"ipaddress6", "ipv6", GlpiText},
    {"type", "kind", GlpiNetworkKind},
    {"type", "adapterType", GlpiAdapterKind},
    {"status", "status", GlpiNetworkStatus},
    {"mtu", "mtu", GlpiNumber},
};

constexpr GlpiField kMonitors[] = {
    {"caption", "monitorType", GlpiText},
    {"name", "monitorType", GlpiText},
    {"manufacturer", "manufacturer", GlpiText},
    {"serial", "serialNumber", GlpiText},
    {"description", "manufactureWeek", GlpiManufactureDate},
};

constexpr GlpiField kVideos[] = {
    {"name", "name", GlpiText},
    {"chipset", "videoProcessor", GlpiText},
    {"memory", "memoryMB", GlpiNumber},
    {"resolution", "resolution", GlpiResolution},
};

constexpr GlpiField kInputs[] = {
    {"name", "caption", GlpiText},
    {"caption", "caption", GlpiText},
    {"description", "description", GlpiText},
    {"manufacturer", "manufacturer", GlpiText},
    {"type", "deviceType", GlpiText},
};

constexpr GlpiField kPrinters[] = {
    {"name", "name", GlpiText},
    {"driver", "model", GlpiText},
    {"port", "port", GlpiText},
};

constexpr GlpiField kSlots[] = {
    {"name", "name", GlpiText},
    {"description", "smbiosString", GlpiText},
    {"status", "smbiosString", GlpiSlotStatus},
};

constexpr GlpiField kUsers[] = {
    {"login", "currentUser", GlpiLogin},
    {"domain", "currentUser", GlpiDomain},
};

constexpr GlpiField kModems[] = {
    {"name", "name", GlpiText},
    {"type", "deviceType", GlpiText},
};

constexpr GlpiField kControllers[] = {
    {"name", "name", GlpiText},
    {"type", "controllerType", GlpiText},
    {"manufacturer", "manufacturer", GlpiText},
};

constexpr GlpiSection kSections[] = {
    {"hardware", "", GlpiSingle, "", kHardware},
    {"bios", "", GlpiSingle, "", kBios},
    {"operatingsystem", "", GlpiSingle, "", kOperatingSystem},
    {"cpus", harnel::kProfileKey<ProcessorInfo>, GlpiPackages, "", kCpus},
    {"memories", harnel::kProfileKey<PhyMemoryNode>, GlpiNodes, "", kMemories},
    {"storages", harnel::kProfileKey<StorageNode>, GlpiNodes, "", kStorages},
    {"networks", harnel::kProfileKey<NetworkadapterNode>, GlpiAddresses, "description", kNetworks},
    {"monitors", harnel::kProfileKey<MonitorNode>, GlpiNodes, "", kMonitors},
    {"videos", harnel::kProfileKey<VideoadapterNode>, GlpiNodes, "", kVideos},
    {"inputs", harnel::kProfileKey<InputdeviceNode>, GlpiNodes, "", kInputs},
    {"printers", harnel::kProfileKey<PrinterNode>, GlpiNodes, "name", kPrinters},
    {"slots", harnel::kProfileKey<SystemslotNode>, GlpiNodes, "name", kSlots},
    {"users", harnel::kProfileKey<UserInfo>, GlpiRecord, "login", kUsers},
    {"modems", harnel::kProfileKey<ModemNode>, GlpiNodes, "", kModems},
    {"controllers", harnel::kProfileKey<SystemcontrollerNode>, GlpiNodes, "", kControllers},
};

}  // namespace

std::span<const GlpiSection> GlpiSections() { return kSections; }

}  // namespace velmora::fleet
