// The SystemslotList reader on Linux: the expansion slots the SMBIOS table describes.

#include "harnel/linux/systemslot.h"

#include "harnel/decode/firmware_records.h"
#include "harnel/linux/dmi_id.h"

namespace harnel::linux {

nlohmann::json ProbeSystemslotList(const std::filesystem::path& root, FirmwareFacts& firmware) {
  return decode::SystemslotList(ReadSmbiosFacts(root, &firmware).slots);
}

void ExplainSystemslotList(const FirmwareFacts& firmware, findings::Reasons& why) {
  why.Absent(WhyNoFirmwareTable(firmware));
  why.EveryNode("name", "the firmware gives no designation");
  why.EveryNode("smbiosString", "the firmware gives no slot type");
}

}  // namespace harnel::linux
