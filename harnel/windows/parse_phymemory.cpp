// PhyMemoryList from the SMBIOS table alone, built as on Linux, and why it is empty where it is.

#include "harnel/decode/firmware_records.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/smbios_blob.h"

namespace harnel::windows {

nlohmann::json ParsePhyMemoryList(const nlohmann::json& raw) {
  return decode::MemoryModuleList(SmbiosFactsOf(raw).memoryDevices);
}

void ExplainPhyMemoryList(const nlohmann::json& raw, findings::Reasons& why) {
  ExplainFirmwareRecord(raw, why);
}

}  // namespace harnel::windows
