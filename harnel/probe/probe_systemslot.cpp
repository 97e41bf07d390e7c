#include "harnel/probe/probe_systemslot.h"

#include "harnel/probe/record_json.h"
#include "harnel/probe/smbios_records.h"

namespace harnel::probe {

nlohmann::json ProbeSystemslotList(const std::filesystem::path& root) {
  DisposableJson list = nlohmann::json::array();
  for (const SmbiosSlot& slot : ReadSmbiosFacts(root).slots) {
    DisposableJson node = nlohmann::json::object();
    PutText(node, "name", slot.designation);
    PutText(node, "smbiosString", slot.summary);
    list.push_back(std::move(node));
  }
  return ListOrNull(std::move(list));
}

}  // namespace harnel::probe
