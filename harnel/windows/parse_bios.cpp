// The BIOS record from the SMBIOS table alone, built as on Linux.

#include "harnel/decode/firmware_records.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/smbios_blob.h"

namespace harnel::windows {

nlohmann::json ParseBIOS(const nlohmann::json& raw) {
  return decode::BiosRecord(decode::BiosFieldsFromSmbios(SmbiosFactsOf(raw)));
}

}  // namespace harnel::windows
