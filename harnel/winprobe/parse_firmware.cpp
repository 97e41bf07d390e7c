// The records that come from the SMBIOS table alone; they are built as on Linux.

#include "harnel/probe/firmware_records.h"
#include "harnel/winprobe/parse.h"
#include "harnel/winprobe/smbios_blob.h"

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
