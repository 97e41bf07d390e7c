#include "cli/machine_facts.h"

#include <vector>

namespace velmora::cli {
namespace {

constexpr std::string_view kSystemKey = harnel::kMachineSystemKey;

// The caption of each field the Machine key holds (harnel::kMachineFields).
struct FieldCaption {
  std::string_view recordKey, field, caption;
};
constexpr FieldCaption kCaptions[] = {
    {kSystemKey, "manufacturer", "系统制造商"},
    {kSystemKey, "product", "系统型号"},
    {kSystemKey, "serial", "系统序列号"},
    {kSystemKey, "uuid", "系统UUID"},
    {kSystemKey, "sku", "SKU编号"},
    {kSystemKey, "assetTag", "资产标签"},
    {kSystemKey, "chassisSerial", "机箱序列号"},
    {kSystemKey, "virtualization", "虚拟化环境"},
    {harnel::kProfileKey<ProcessorInfo>, "packages", "物理处理器个数"},
    {harnel::kProfileKey<ProcessorInfo>, "cores", "每个处理器的核心数"},
    {harnel::kProfileKey<ProcessorInfo>, "threads", "每个处理器的线程数"},
    {harnel::kProfileKey<PhyMemoryNode>, "serialNumber", "序列号"},
    {harnel::kProfileKey<PhyMemoryNode>, "partNumber", "部件号"},
    {harnel::kProfileKey<StorageNode>, "serialNumber", "序列号"},
    {harnel::kProfileKey<StorageNode>, "firmware", "固件版本"},
    {harnel::kProfileKey<StorageNode>, "interface", "接口类型"},
    {harnel::kProfileKey<MonitorNode>, "serialNumber", "序列号"},
    {harnel::kProfileKey<MonitorNode>, "manufactureWeek", "生产周"},
    {harnel::kProfileKey<MonitorNode>, "manufactureYear", "生产年份"},
    {harnel::kProfileKey<NetworkadapterNode>, "interfaceName", "接口名称"},
    {harnel::kProfileKey<NetworkadapterNode>, "kind", "网络类型"},
    {harnel::kProfileKey<NetworkadapterNode>, "status", "连接状态"},
    {harnel::kProfileKey<NetworkadapterNode>, "mtu", "MTU"},
};

constexpr const FieldCaption* FindCaption(std::string_view recordKey, std::string_view field) {
  for (const FieldCaption& caption : kCaptions) {
    if (caption.recordKey == recordKey && caption.field == field) return &caption;
  }
  return nullptr;
}

// Every field the key holds has a caption, and every caption names one of them.
constexpr bool EachFieldCaptioned() {
  for (const harnel::MachineField& field : harnel::kMachineFields) {
    if (FindCaption(field.recordKey, field.name) == nullptr) return false;
  }
  return std::size(kCaptions) == std::size(harnel::kMachineFields);
}
static_assert(EachFieldCaptioned());

// The field names of each record the Machine key adds to, in table order.
struct RecordFields {
  std::string_view recordKey;
  std::vector<std::string_view> fields;
};
const std::vector<RecordFields>& FieldsByRecord() {
  static const std::vector<RecordFields> all = [] {
    std::vector<RecordFields> out;
    for (const harnel::MachineField& added : harnel::kMachineFields) {
      if (out.empty() || out.back().recordKey != added.recordKey)
        out.push_back({added.recordKey, {}});
      out.back().fields.push_back(added.name);
    }
    return out;
  }();
  return all;
}

}  // namespace

std::span<const std::string_view> MachineFields(std::string_view recordKey) {
  for (const RecordFields& record : FieldsByRecord()) {
    if (record.recordKey == recordKey) return record.fields;
  }
  return {};
}

std::string MachineFieldCaption(std::string_view recordKey, std::string_view field) {
  const FieldCaption* found = FindCaption(recordKey, field);
  return found == nullptr ? std::string() : std::string(found->caption);
}

}  // namespace velmora::cli
