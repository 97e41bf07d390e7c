// The records that come from the SMBIOS table alone; they are built as on Linux.

#include "harnel/decode/firmware_records.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/smbios_blob.h"

namespace harnel::winprobe {

void ExplainFirmwareRecord(const nlohmann::json& raw, probe::Reasons& why) {
  why.Absent(WhyNoFirmware(raw));
  why.Otherwise("the firmware table gives none");
}

nlohmann::json ParseBIOS(const nlohmann::json& raw) {
  return probe::BiosRecord(probe::BiosFieldsFromSmbios(SmbiosFactsOf(raw)));
}

nlohmann::json ParseSystemslotList(const nlohmann::json& raw) {
  return probe::SystemslotList(SmbiosFactsOf(raw).slots);
}

nlohmann::json ParsePhyMemoryList(const nlohmann::json& raw) {
  return probe::MemoryModuleList(SmbiosFactsOf(raw).memoryDevices);
}

}  // namespace harnel::winprobe
