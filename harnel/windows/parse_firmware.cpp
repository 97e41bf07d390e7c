// The records that come from the SMBIOS table alone; they are built as on Linux.

#include "harnel/decode/firmware_records.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/smbios_blob.h"

namespace harnel::windows {

void ExplainFirmwareRecord(const nlohmann::json& raw, findings::Reasons& why) {
  why.Absent(WhyNoFirmware(raw));
  why.Otherwise("the firmware table gives none");
}

nlohmann::json ParseBIOS(const nlohmann::json& raw) {
  return decode::BiosRecord(decode::BiosFieldsFromSmbios(SmbiosFactsOf(raw)));
}

nlohmann::json ParseSystemslotList(const nlohmann::json& raw) {
  return decode::SystemslotList(SmbiosFactsOf(raw).slots);
}

nlohmann::json ParsePhyMemoryList(const nlohmann::json& raw) {
  return decode::MemoryModuleList(SmbiosFactsOf(raw).memoryDevices);
}

}  // namespace harnel::windows
