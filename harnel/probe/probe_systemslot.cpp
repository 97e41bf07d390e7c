#include "harnel/probe/probe_systemslot.h"

#include "harnel/probe/dmi_id.h"
#include "harnel/probe/firmware_records.h"

namespace harnel::probe {

nlohmann::json ProbeSystemslotList(const std::filesystem::path& root) {
  return SystemslotList(ReadSmbiosFacts(root).slots);
}

}  // namespace harnel::probe
