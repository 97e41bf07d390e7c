#pragma once
// Every template's fill table, one per kind of category, as the templates name their items.

#include <array>
#include <span>

#include "filler/fill_table.h"
#include "harnel/schema.h"
#include "provider/records.h"

namespace velmora {

// os.xml, category "500101": the computer and its registration.
inline constexpr FillRow<OSInfo> kComputerTable[] = {
    TextRow(WTEXT("计算机名称"), &OSInfo::computerName),
    TextRow(WTEXT("注册公司名称"), &OSInfo::registeredCompany),
    TextRow(WTEXT("注册用户名"), &OSInfo::registeredUser),
    TextRow(WTEXT("序列号"), &OSInfo::serialNumber),
};

// os.xml, category "500102": the operating system.
inline constexpr FillRow<OSInfo> kOperatingSystemTable[] = {
    TextRow(WTEXT("操作系统名称"), &OSInfo::osName),
    TextRow(WTEXT("操作系统类型"), &OSInfo::osType),
    TextRow(WTEXT("操作系统版本"), &OSInfo::osVersion),
    TextRow(WTEXT("系统上最新服务包"), &OSInfo::servicePack),
    TextRow(WTEXT("操作系统描述"), &OSInfo::osDescription),
    TextRow(WTEXT("系统运行时间"), &OSInfo::upTime),
};

// bios.xml, category "500201": the processor. The speed is the bare number.
inline constexpr FillRow<ProcessorInfo> kProcessorTable[] = {
    TextRow(WTEXT("处理器名称"), &ProcessorInfo::name),
    NumberRow(WTEXT("处理器最快速度"), &ProcessorInfo::maxClockSpeed, WTEXT("%d")),
    TextRow(WTEXT("处理器制造商"), &ProcessorInfo::manufacturer),
    TextRow(WTEXT("处理器ID"), &ProcessorInfo::processorId),
    TextRow(WTEXT("处理器描述"), &ProcessorInfo::description),
    TextRow(WTEXT("插槽名称"), &ProcessorInfo::slotName),
    NumberRow(WTEXT("L2-Cache"), &ProcessorInfo::l2CacheKB, WTEXT("%d KB")),
};

// bios.xml, category "500202": the mainboard.
inline constexpr FillRow<BIOSInfo> kMainboardTable[] = {
    TextRow(WTEXT("主板名称"), &BIOSInfo::boardName),
    TextRow(WTEXT("主板制造商"), &BIOSInfo::boardManufacturer),
    TextRow(WTEXT("主板序列号"), &BIOSInfo::boardSerialNumber),
    TextRow(WTEXT("机子类型"), &BIOSInfo::machineType),
};

// bios.xml, category "500203": the BIOS.
inline constexpr FillRow<BIOSInfo> kBiosTable[] = {
    TextRow(WTEXT("BIOS名称"), &BIOSInfo::biosName),
    TextRow(WTEXT("BIOS制造商"), &BIOSInfo::biosManufacturer),
    TextRow(WTEXT("BIOS版本"), &BIOSInfo::biosVersion),
    TextRow(WTEXT("BIOS发行日期"), &BIOSInfo::biosReleaseDate),
};

// storage.xml, category "1": the memory summary.
inline constexpr FillRow<MemoryInfo> kMemoryTable[] = {
    NumberRow(WTEXT("物理内存总大小"), &MemoryInfo::totalPhysicalMB, WTEXT("%d MB")),
    NumberRow(WTEXT("内存分页文件总大小"), &MemoryInfo::totalPageFileMB, WTEXT("%d MB")),
};

// storage.xml, category "2": one memory module.
inline constexpr FillRow<PhyMemoryNode> kMemoryModuleTable[] = {
    TextRow(WTEXT("内存条"), &PhyMemoryNode::moduleName),
    TextRow(WTEXT("描述"), &PhyMemoryNode::description),
    TextRow(WTEXT("设备位置"), &PhyMemoryNode::deviceLocator),
    NumberRow(WTEXT("容量"), &PhyMemoryNode::capacityMB, WTEXT("%d M")),
    NumberRow(WTEXT("频率"), &PhyMemoryNode::speedMHz, WTEXT("%d Mhz")),
    TextRow(WTEXT("制造商"), &PhyMemoryNode::manufacturer),
    NumberRow(WTEXT("数据字宽"), &PhyMemoryNode::dataWidth, WTEXT("%d bit")),
    TextRow(WTEXT("内存类型"), &PhyMemoryNode::memoryType),
};

// storage.xml, category "3": one storage device. Its media type picks the copy's id and
// caption instead of filling an item.
inline constexpr FillRow<StorageNode> kStorageTable[] = {
    TextRow(WTEXT("设备名称"), &StorageNode::name),
    TextRow(WTEXT("制造商"), &StorageNode::manufacturer),
    TextRow(WTEXT("型号"), &StorageNode::model),
    NumberRow(WTEXT("总大小"), &StorageNode::sizeMB, WTEXT("%d MB")),
    TextRow(WTEXT("设备描述"), &StorageNode::description),
};

// video.xml, category "1": one video adapter.
inline constexpr FillRow<VideoadapterNode> kVideoAdapterTable[] = {
    TextRow(WTEXT("视频适配器名称"), &VideoadapterNode::name),
    TextRow(WTEXT("视频处理器描述"), &VideoadapterNode::videoProcessor),
    NumberRow(WTEXT("视频适配器的内存大小"), &VideoadapterNode::memoryMB, WTEXT("%d MB")),
    TextRow(WTEXT("制造商"), &VideoadapterNode::manufacturer),
    TextRow(WTEXT("DAC类型"), &VideoadapterNode::dacType),
    NumberRow(WTEXT("当前刷新率"), &VideoadapterNode::refreshRateHz, WTEXT("%d Hz")),
    TextRow(WTEXT("驱动版本"), &VideoadapterNode::driverVersion),
    TextRow(WTEXT("驱动日期"), &VideoadapterNode::driverDate),
    TextRow(WTEXT("水平像素 * 纵向像素"), &VideoadapterNode::resolution),
};

// video.xml, category "2": one monitor.
inline constexpr FillRow<MonitorNode> kMonitorTable[] = {
    TextRow(WTEXT("设备制造商"), &MonitorNode::manufacturer),
    TextRow(WTEXT("监视器类型"), &MonitorNode::monitorType),
};

// network.xml, category "1": one network adapter; its description is also its name.
inline constexpr FillRow<NetworkadapterNode> kNetworkAdapterTable[] = {
    TextRow(WTEXT("网络适配器名称"), &NetworkadapterNode::description),
    TextRow(WTEXT("网络适配器类型"), &NetworkadapterNode::adapterType),
    TextRow(WTEXT("MAC地址"), &NetworkadapterNode::macAddress),
    TextRow(WTEXT("IP地址"), &NetworkadapterNode::ipAddress),
    TextRow(WTEXT("子网掩码"), &NetworkadapterNode::subnetMask),
};

// control.xml, category "1": one system controller.
inline constexpr FillRow<SystemcontrollerNode> kControllerTable[] = {
    TextRow(WTEXT("控制器名称"), &SystemcontrollerNode::name),
    TextRow(WTEXT("控制器类型"), &SystemcontrollerNode::controllerType),
    TextRow(WTEXT("设备制造商"), &SystemcontrollerNode::manufacturer),
};

// other.xml, category "1": one input device.
inline constexpr FillRow<InputdeviceNode> kInputDeviceTable[] = {
    TextRow(WTEXT("设备制造商"), &InputdeviceNode::manufacturer),
    TextRow(WTEXT("设备描述"), &InputdeviceNode::description),
};

// other.xml, category "2": one modem.
inline constexpr FillRow<ModemNode> kModemTable[] = {
    TextRow(WTEXT("Modem名称"), &ModemNode::name),
    TextRow(WTEXT("设备类型"), &ModemNode::deviceType),
};

// other.xml, category "3": one printer.
inline constexpr FillRow<PrinterNode> kPrinterTable[] = {
    TextRow(WTEXT("打印机名称"), &PrinterNode::name),
    TextRow(WTEXT("打印机型号"), &PrinterNode::model),
    TextRow(WTEXT("打印机数据传输端口"), &PrinterNode::port),
};

// other.xml, category "4": one system slot.
inline constexpr FillRow<SystemslotNode> kSystemSlotTable[] = {
    TextRow(WTEXT("插槽名称"), &SystemslotNode::name),
    TextRow(WTEXT("SMBIOS字符串"), &SystemslotNode::smbiosString),
};

// The fill tables of each kind of record, found by its type (at most two, unused places
// empty); none for a kind no template shows. Every row must read a field the record's schema
// describes.
template <class Record>
using FillTables = std::array<std::span<const FillRow<Record>>, 2>;
template <class Record>
inline constexpr FillTables<Record> kFillTablesOf{};

template <class... Tables>
consteval bool EachRowReadsSchemaField(const Tables&... tables) {
  return (harnel::RowsReadSchemaFields(tables) && ...);
}

#define VELMORA_FILL_TABLES(Record, ...)                                                          \
  static_assert(EachRowReadsSchemaField(__VA_ARGS__), "a fill row reads no field of the schema"); \
  template <>                                                                                     \
  inline constexpr FillTables<Record> kFillTablesOf<Record> {                                     \
    __VA_ARGS__                                                                                   \
  }

VELMORA_FILL_TABLES(OSInfo, kComputerTable, kOperatingSystemTable);
VELMORA_FILL_TABLES(BIOSInfo, kMainboardTable, kBiosTable);
VELMORA_FILL_TABLES(ProcessorInfo, kProcessorTable);
VELMORA_FILL_TABLES(MemoryInfo, kMemoryTable);
VELMORA_FILL_TABLES(InputdeviceNode, kInputDeviceTable);
VELMORA_FILL_TABLES(ModemNode, kModemTable);
VELMORA_FILL_TABLES(MonitorNode, kMonitorTable);
VELMORA_FILL_TABLES(NetworkadapterNode, kNetworkAdapterTable);
VELMORA_FILL_TABLES(PrinterNode, kPrinterTable);
VELMORA_FILL_TABLES(StorageNode, kStorageTable);
VELMORA_FILL_TABLES(SystemcontrollerNode, kControllerTable);
VELMORA_FILL_TABLES(SystemslotNode, kSystemSlotTable);
VELMORA_FILL_TABLES(VideoadapterNode, kVideoAdapterTable);
VELMORA_FILL_TABLES(PhyMemoryNode, kMemoryModuleTable);

#undef VELMORA_FILL_TABLES

}  // namespace velmora
