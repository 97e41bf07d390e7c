#include "harnel/profile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

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

// Opens `path` to read bytes; Windows names files in UTF-16.
std::FILE* OpenForReading(const std::filesystem::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"rb");
#else
  return std::fopen(path.c_str(), "rb");
#endif
}

struct CloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The bytes of the file at `path`, or why there are none. Read through the C library: the
// C++ file streams would bring the C++ locale machinery into the provider, and every process
// that loads it would set that up.
std::optional<std::string> ReadProfileText(const std::filesystem::path& path,
                                           std::string& problem) {
  errno = 0;
  const std::unique_ptr<std::FILE, CloseFile> file(OpenForReading(path));
  if (!file) {
    problem = errno != 0 ? std::strerror(errno) : "cannot be opened";
    return std::nullopt;
  }
  std::string text;
  char buffer[16384];
  std::size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, count);
  if (std::ferror(file.get())) {
    problem = "cannot be read";
    return std::nullopt;
  }
  return text;
}

}  // namespace

LoadedProfile LoadProfile(const std::filesystem::path& path) {
  LoadedProfile result;
  const std::optional<std::string> text = ReadProfileText(path, result.problem);
  if (!text) return result;
  nlohmann::json records;
  try {
    records = nlohmann::json::parse(*text);
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
