#include "harnel/explain.h"

#include "harnel/probe/reasons_json.h"
#include "harnel/schema.h"
#include "harnel/winprobe/explain_raw.h"
#include "harnel/winprobe/parse.h"
#include "harnel/winprobe/read.h"

namespace harnel {

// The root folder has no meaning on Windows: the running machine is read.
nlohmann::json ExplainMachine(std::string_view key, const std::filesystem::path& /*root*/) {
  const RecordSchema* schema = FindRecordSchema(key);
  if (schema == nullptr) return nullptr;
  const DisposableJson raw = winprobe::ReadWindowsRecord(key);
  const DisposableJson record = winprobe::ParseWindowsRecord(key, raw);
  probe::Reasons why;
  winprobe::ExplainWindowsRecord(key, raw, record, why);
  return probe::ReasonsToJson(*schema, record, why);
}

}  // namespace harnel
