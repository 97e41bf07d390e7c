// The provider's two ways into the machine, the same on every system: a record, or a record's
// reasons, each from one read by the system's table of readers.

#include "harnel/disposable_json.h"
#include "harnel/explain.h"
#include "harnel/findings/reasons_json.h"
#include "harnel/probe.h"
#include "harnel/read_record.h"

namespace harnel {

nlohmann::json ProbeMachine(std::string_view key, const std::filesystem::path& root) {
  const RecordSchema* schema = FindRecordSchema(key);
  if (schema == nullptr) return nullptr;
  return ReadOrLeaveOut([&] { return ReadRecord(*schema, root, nullptr); });
}

nlohmann::json ExplainMachine(std::string_view key, const std::filesystem::path& root) {
  const RecordSchema* schema = FindRecordSchema(key);
  if (schema == nullptr) return nullptr;
  findings::Reasons why;
  const DisposableJson record = ReadOrLeaveOut([&] { return ReadRecord(*schema, root, &why); });
  return findings::ReasonsToJson(*schema, record, why);
}

}  // namespace harnel
