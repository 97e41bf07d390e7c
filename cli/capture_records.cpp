#include "cli/capture_records.h"

#include "harnel/record_json.h"
#include "harnel/schema.h"

namespace velmora::cli {

nlohmann::ordered_json CaptureRecords() {
  nlohmann::ordered_json profile = nlohmann::ordered_json::object();
  for (const harnel::RecordSchema& schema : harnel::RecordSchemas()) {
    void* record = schema.get();
    try {
      profile[std::string(schema.key)] = harnel::RecordToJson(schema, record);
    } catch (...) {
      if (record != nullptr) schema.release(record);
      throw;
    }
    if (record != nullptr) schema.release(record);
  }
  return profile;
}

}  // namespace velmora::cli
