#include "cli/machine_facts.h"

#include <cstdio>
#include <exception>
#include <new>

#include "cli/capture_records.h"
#include "harnel/machine_facts.h"
#include "harnel/machine_source.h"
#include "harnel/profile.h"
#include "harnel/profile_file.h"

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

nlohmann::ordered_json ReadMachineKey(const std::string& path) {
  const harnel::ProfileBytes file = harnel::ReadProfileFile(path, harnel::kProfileLimit);
  const auto profile = nlohmann::ordered_json::parse(file.bytes, nullptr, false);
  if (!profile.is_object() || !profile.contains(kMachineKey)) return nullptr;
  return profile[std::string(kMachineKey)];
}

nlohmann::ordered_json CaptureMachine(const std::string& replayed,
                                      nlohmann::ordered_json* reasons) {
  nlohmann::ordered_json profile = CaptureRecords();
  const harnel::MachineSource source = harnel::MachineSourceFromEnvironment();
  const std::string file = !replayed.empty() ? replayed
                           : source.profile  ? source.profile->string()
                                             : std::string();
  if (!file.empty()) {
    nlohmann::ordered_json machine = ReadMachineKey(file);
    if (!machine.is_null()) profile[std::string(kMachineKey)] = std::move(machine);
    return profile;
  }
  try {
    harnel::MachineFacts facts = harnel::ReadMachineFacts(source.root);
    profile[std::string(kMachineKey)] = std::move(facts.key);
    if (reasons != nullptr) *reasons = std::move(facts.reasons);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    // A reader that fails in a way it did not foresee leaves the key out, not the inventory.
    std::fprintf(stderr, "velmora: the machine's facts: %s; none shown\n", e.what());
  }
  return profile;
}

}  // namespace velmora::cli
