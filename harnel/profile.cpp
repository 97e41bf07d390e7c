#include "harnel/profile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "harnel/record_json.h"
#include "harnel/schema.h"

namespace harnel {
namespace {

// nlohmann's messages open with "[json.exception.parse_error.101] "; the reader wants the
// rest, which says where and what.
std::string WithoutExceptionTag(const std::string& message) {
  if (message.starts_with("[json.exception.")) {
    const std::size_t end = message.find("] ");
    if (end != std::string::npos) return message.substr(end + 2);
  }
  return message;
}

}  // namespace

LoadedProfile LoadProfile(const std::filesystem::path& path) {
  LoadedProfile result;
  errno = 0;
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    result.problem = errno != 0 ? std::strerror(errno) : "cannot be opened";
    return result;
  }
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) {
    result.problem = "cannot be read";
    return result;
  }
  nlohmann::json records;
  try {
    records = nlohmann::json::parse(text.str());
  } catch (const nlohmann::json::exception& e) {
    result.problem = WithoutExceptionTag(e.what());
    return result;
  }
  if (!records.is_object()) {
    result.problem = "the top level is not a JSON object";
    return result;
  }
  for (const RecordSchema& schema : RecordSchemas()) {
    const auto it = records.find(schema.key);
    if (it == records.end()) continue;
    std::string problem = CheckRecordJson(schema, *it);
    if (!problem.empty()) {
      result.problem = std::move(problem);
      return result;
    }
  }
  result.records = std::move(records);
  return result;
}

}  // namespace harnel
