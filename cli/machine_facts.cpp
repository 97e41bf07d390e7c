#include "cli/machine_facts.h"

#include <vector>

namespace velmora::cli {
namespace {

namespace machine = harnel::machine;
constexpr std::string_view kSystemKey = harnel::kMachineSystemKey;

// The caption of each field the Machine key holds (harnel::kMachineGroups).
struct FieldCaption {
  std::string_view recordKey, field, caption;
};
constexpr FieldCaption kCaptions[] = {
    {kSystemKey, machine::kManufacturer, "系统制造商"},
    {kSystemKey, machine::kProduct, "系统型号"},
    {kSystemKey, machine::kSerial, "系统序列号"},
    {kSystemKey, machine::kUuid, "系统UUID"},
    {kSystemKey, machine::kSku, "SKU编号"},
    {kSystemKey, machine::kAssetTag, "资产标签"},
    {kSystemKey, machine::kChassisSerial, "机箱序列号"},
    {kSystemKey, machine::kVirtualization, "虚拟化环境"},
    {harnel::kProfileKey<ProcessorInfo>, machine::kPackages, "物理处理器个数"},
    {harnel::kProfileKey<ProcessorInfo>, machine::kCores, "每个处理器的核心数"},
    {harnel::kProfileKey<ProcessorInfo>, machine::kThreads, "每个处理器的线程数"},
    {harnel::kProfileKey<PhyMemoryNode>, machine::kSerialNumber, "序列号"},
    {harnel::kProfileKey<PhyMemoryNode>, machine::kPartNumber, "部件号"},
    {harnel::kProfileKey<StorageNode>, machine::kSerialNumber, "序列号"},
    {harnel::kProfileKey<StorageNode>, machine::kFirmware, "固件版本"},
    {harnel::kProfileKey<StorageNode>, machine::kInterface, "接口类型"},
    {harnel::kProfileKey<MonitorNode>, machine::kSerialNumber, "序列号"},
    {harnel::kProfileKey<MonitorNode>, machine::kManufactureWeek, "生产周"},
    {harnel::kProfileKey<MonitorNode>, machine::kManufactureYear, "生产年份"},
    {harnel::kProfileKey<NetworkadapterNode>, machine::kInterfaceName, "接口名称"},
    {harnel::kProfileKey<NetworkadapterNode>, machine::kKind, "网络类型"},
    {harnel::kProfileKey<NetworkadapterNode>, machine::kStatus, "连接状态"},
    {harnel::kProfileKey<NetworkadapterNode>, machine::kMtu, "MTU"},
};

constexpr const FieldCaption* FindCaption(std::string_view recordKey, std::string_view field) {
  for (const FieldCaption& caption : kCaptions) {
    if (caption.recordKey == recordKey && caption.field == field) return &caption;
  }
  return nullptr;
}

// Every field the key holds has a caption, and every caption names one of them.
constexpr bool EachFieldCaptioned() {
  std::size_t fields = 0;
  for (const harnel::MachineGroup& group : harnel::kMachineGroups) {
    for (std::string_view field : group.fields) {
      if (FindCaption(group.recordKey, field) == nullptr) return false;
      ++fields;
    }
  }
  return std::size(kCaptions) == fields;
}
static_assert(EachFieldCaptioned(), "a Machine field without a caption, or a caption of none");

}  // namespace

std::span<const std::string_view> MachineFields(std::string_view recordKey) {
  const harnel::MachineGroup* group = harnel::FindMachineGroup(recordKey);
  return group != nullptr ? group->fields : std::span<const std::string_view>();
}

std::string MachineFieldCaption(std::string_view recordKey, std::string_view field) {
  const FieldCaption* found = FindCaption(recordKey, field);
  return found == nullptr ? std::string() : std::string(found->caption);
}

}  // namespace velmora::cli
