#pragma once
// The labels of the fourteen pair exports and the field behind each, in output order.
// Every label ends in the full-width colon U+FF1A; a unit stands in the label, in
// full-width parentheses, never in the value.

#include <span>

#include "harnel/schema.h"
#include "pairs/pair_row.h"
#include "provider/records.h"

namespace velmora {

inline constexpr PairRow<OSInfo> kOSPairRows[] = {
    {WTEXT("操作系统名称："), &OSInfo::osName, nullptr},
    {WTEXT("操作系统类型："), &OSInfo::osType, nullptr},
    {WTEXT("操作系统版本："), &OSInfo::osVersion, nullptr},
    {WTEXT("系统上最新服务包："), &OSInfo::servicePack, nullptr},
    {WTEXT("操作系统描述："), &OSInfo::osDescription, nullptr},
    {WTEXT("注册公司名称："), &OSInfo::registeredCompany, nullptr},
    {WTEXT("注册用户名："), &OSInfo::registeredUser, nullptr},
    {WTEXT("序列号："), &OSInfo::serialNumber, nullptr},
};

// biosName is left out on purpose: only the XML templates show it.
inline constexpr PairRow<BIOSInfo> kBIOSPairRows[] = {
    {WTEXT("主板制造商："), &BIOSInfo::boardManufacturer, nullptr},
    {WTEXT("主板名称："), &BIOSInfo::boardName, nullptr},
    {WTEXT("主板序列号："), &BIOSInfo::boardSerialNumber, nullptr},
    {WTEXT("机子类型："), &BIOSInfo::machineType, nullptr},
    {WTEXT("BIOS制造商："), &BIOSInfo::biosManufacturer, nullptr},
    {WTEXT("BIOS版本："), &BIOSInfo::biosVersion, nullptr},
    {WTEXT("BIOS发行日期："), &BIOSInfo::biosReleaseDate, nullptr},
};

inline constexpr PairRow<ProcessorInfo> kProcessorPairRows[] = {
    {WTEXT("处理器名称："), &ProcessorInfo::name, nullptr},
    {WTEXT("处理器最快速度："), nullptr, &ProcessorInfo::maxClockSpeed},
    {WTEXT("处理器制造商："), &ProcessorInfo::manufacturer, nullptr},
    {WTEXT("处理器ID："), &ProcessorInfo::processorId, nullptr},
    {WTEXT("处理器描述："), &ProcessorInfo::description, nullptr},
};

inline constexpr PairRow<MemoryInfo> kMemoryPairRows[] = {
    {WTEXT("物理内存总大小（MB）："), nullptr, &MemoryInfo::totalPhysicalMB},
    {WTEXT("内存分页文件总大小（MB）："), nullptr, &MemoryInfo::totalPageFileMB},
};

inline constexpr PairRow<UserInfo> kUserinfoPairRows[] = {
    {WTEXT("当前登录用户名："), &UserInfo::currentUser, nullptr},
    {WTEXT("上次登录用户名："), &UserInfo::lastUser, nullptr},
    {WTEXT("域的名称："), &UserInfo::domainName, nullptr},
};

inline constexpr PairRow<InputdeviceNode> kInputdevicePairRows[] = {
    {WTEXT("对象的简短文字描述："), &InputdeviceNode::caption, nullptr},
    {WTEXT("设备类型："), &InputdeviceNode::deviceType, nullptr},
    {WTEXT("设备制造商："), &InputdeviceNode::manufacturer, nullptr},
    {WTEXT("提供对象的简短文字描述："), &InputdeviceNode::description, nullptr},
};

inline constexpr PairRow<ModemNode> kModemPairRows[] = {
    {WTEXT("Modem名称："), &ModemNode::name, nullptr},
    {WTEXT("设备类型："), &ModemNode::deviceType, nullptr},
};

inline constexpr PairRow<MonitorNode> kMonitorPairRows[] = {
    {WTEXT("设备制造商："), &MonitorNode::manufacturer, nullptr},
    {WTEXT("监视器类型："), &MonitorNode::monitorType, nullptr},
};

inline constexpr PairRow<NetworkadapterNode> kNetworkadapterPairRows[] = {
    {WTEXT("网络适配器描述："), &NetworkadapterNode::description, nullptr},
    {WTEXT("网络适配器类型："), &NetworkadapterNode::adapterType, nullptr},
    {WTEXT("MAC地址："), &NetworkadapterNode::macAddress, nullptr},
    {WTEXT("IP地址："), &NetworkadapterNode::ipAddress, nullptr},
    {WTEXT("子网掩码："), &NetworkadapterNode::subnetMask, nullptr},
};

inline constexpr PairRow<PrinterNode> kPrinterPairRows[] = {
    {WTEXT("打印机名称："), &PrinterNode::name, nullptr},
    {WTEXT("打印机型号："), &PrinterNode::model, nullptr},
    {WTEXT("打印机数据传输端口："), &PrinterNode::port, nullptr},
};

inline constexpr PairRow<StorageNode> kStoragePairRows[] = {
    {WTEXT("设备名称："), &StorageNode::name, nullptr},
    {WTEXT("存储类型："), &StorageNode::mediaType, nullptr},
    {WTEXT("存储设备制造商："), &StorageNode::manufacturer, nullptr},
    {WTEXT("磁盘驱动器的型号："), &StorageNode::model, nullptr},
    {WTEXT("总大小（MB）："), nullptr, &StorageNode::sizeMB},
    {WTEXT("设备描述："), &StorageNode::description, nullptr},
};

inline constexpr PairRow<SystemcontrollerNode> kSystemcontrollerPairRows[] = {
    {WTEXT("控制器名称："), &SystemcontrollerNode::name, nullptr},
    {WTEXT("控制器类型："), &SystemcontrollerNode::controllerType, nullptr},
    {WTEXT("控制器设备制造商："), &SystemcontrollerNode::manufacturer, nullptr},
};

inline constexpr PairRow<SystemslotNode> kSystemslotPairRows[] = {
    {WTEXT("插槽名称："), &SystemslotNode::name, nullptr},
    {WTEXT("SMBIOS字符串："), &SystemslotNode::smbiosString, nullptr},
};

// The adapter's manufacturer, DAC type, refresh rate and driver fields are for the XML
// templates only. The blanks and asterisk of the resolution label are ASCII.
inline constexpr PairRow<VideoadapterNode> kVideoadapterPairRows[] = {
    {WTEXT("视频适配器名称："), &VideoadapterNode::name, nullptr},
    {WTEXT("视频处理器描述："), &VideoadapterNode::videoProcessor, nullptr},
    {WTEXT("视频适配器的内存大小（MB）："), nullptr, &VideoadapterNode::memoryMB},
    {WTEXT("水平像素 * 纵向像素："), &VideoadapterNode::resolution, nullptr},
};

// The pair rows of each kind of record, found by its type; none for a kind no pair export
// shows. Every row must read a field the record's schema describes.
template <class Record>
inline constexpr std::span<const PairRow<Record>> kPairRowsOf{};

#define VELMORA_PAIR_ROWS(Record, rows)                                                         \
  static_assert(harnel::RowsReadSchemaFields(rows), "a pair row reads no field of the schema"); \
  template <>                                                                                   \
  inline constexpr std::span<const PairRow<Record>> kPairRowsOf<Record> = rows

VELMORA_PAIR_ROWS(OSInfo, kOSPairRows);
VELMORA_PAIR_ROWS(BIOSInfo, kBIOSPairRows);
VELMORA_PAIR_ROWS(ProcessorInfo, kProcessorPairRows);
VELMORA_PAIR_ROWS(MemoryInfo, kMemoryPairRows);
VELMORA_PAIR_ROWS(UserInfo, kUserinfoPairRows);
VELMORA_PAIR_ROWS(InputdeviceNode, kInputdevicePairRows);
VELMORA_PAIR_ROWS(ModemNode, kModemPairRows);
VELMORA_PAIR_ROWS(MonitorNode, kMonitorPairRows);
VELMORA_PAIR_ROWS(NetworkadapterNode, kNetworkadapterPairRows);
VELMORA_PAIR_ROWS(PrinterNode, kPrinterPairRows);
VELMORA_PAIR_ROWS(StorageNode, kStoragePairRows);
VELMORA_PAIR_ROWS(SystemcontrollerNode, kSystemcontrollerPairRows);
VELMORA_PAIR_ROWS(SystemslotNode, kSystemslotPairRows);
VELMORA_PAIR_ROWS(VideoadapterNode, kVideoadapterPairRows);

#undef VELMORA_PAIR_ROWS

}  // namespace velmora
