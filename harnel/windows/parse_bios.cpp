// The BIOS record from the SMBIOS table alone, built as on Linux, and why it is empty where it is.

#include "harnel/decode/firmware_records.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/smbios_blob.h"

namespace harnel::windows {

nlohmann::json ParseBIOS(const nlohmann::json& raw) {
  return decode::BiosRecord(decode::BiosFieldsFromSmbios(SmbiosFactsOf(raw)));
}

void ExplainBIOS(const nlohmann::json& raw, findings::Reasons& why) {
  ExplainFirmwareRecord(raw, why);
}

}  // namespace harnel::windows
