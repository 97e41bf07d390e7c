// SystemslotList from the SMBIOS table alone, built as on Linux, and why it is empty where it is.

#include "harnel/decode/firmware_records.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/smbios_blob.h"

namespace harnel::windows {

nlohmann::json ParseSystemslotList(const nlohmann::json& raw) {
  return decode::SystemslotList(SmbiosFactsOf(raw).slots);
}

void ExplainSystemslotList(const nlohmann::json& raw, findings::Reasons& why) {
  ExplainFirmwareRecord(raw, why);
}

}  // namespace harnel::windows
