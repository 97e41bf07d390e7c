#include "harnel/profile.h"

#include <vector>

#include "harnel/disposable_json.h"
#include "harnel/machine_key.h"
#include "harnel/profile_file.h"
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

// Builds the profile as it is parsed, keeping only what a profile can use: the records' keys
// and the Machine key at the top, and under them at most three levels of containers (the top-level
// object, a list's array, its nodes). A container deeper than that is kept empty, so the record
// check still says what stands there, and an unknown top-level key is dropped with its value. So
// the value stays shallow enough to be taken apart without allocating (EmptyJson), and the memory
// it takes is no more than the records' text.
class ProfileBuilder {
 public:
  explicit ProfileBuilder(nlohmann::json& root) : root_(root) {}

  bool null() { return Put(nullptr); }
  bool boolean(bool value) { return Put(value); }
  bool number_integer(nlohmann::json::number_integer_t value) { return Put(value); }
  bool number_unsigned(nlohmann::json::number_unsigned_t value) { return Put(value); }
  bool number_float(nlohmann::json::number_float_t value, const std::string&) { return Put(value); }
  bool string(std::string& value) { return Put(std::move(value)); }
  bool binary(nlohmann::json::binary_t& value) { return Put(std::move(value)); }
  bool start_object(std::size_t) { return Open(nlohmann::json::object()); }
  bool start_array(std::size_t) { return Open(nlohmann::json::array()); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }
  bool key(std::string& name) {
    key_ = std::move(name);
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::json::exception& error) {
    problem_ = WithoutExceptionTag(error.what());
    return false;
  }

  const std::string& Problem() const { return problem_; }

 private:
  static constexpr std::size_t kKeptDepth = 3;

  // Where the next value goes; null when it is dropped.
  nlohmann::json* Slot() {
    if (skipped_ > 0) return nullptr;
    if (open_.empty()) return &root_;
    nlohmann::json& parent = *open_.back();
    if (parent.is_array()) return &parent.emplace_back();
    if (open_.size() == 1 && FindRecordSchema(key_) == nullptr && key_ != kMachineKey) {
      return nullptr;
    }
    nlohmann::json& slot = parent[key_];
    EmptyJson(slot);  // a key given twice: the later value stands
    return &slot;
  }

  template <class Value>
  bool Put(Value&& value) {
    if (nlohmann::json* slot = Slot()) *slot = std::forward<Value>(value);
    return true;
  }

  bool Open(nlohmann::json&& container) {
    nlohmann::json* slot = Slot();
    if (slot != nullptr) *slot = std::move(container);
    // Only the open containers are pointed at; each is the last child of the one before,
    // and nothing is added to a container while a child of it is open.
    if (slot == nullptr || open_.size() == kKeptDepth) {
      ++skipped_;
    } else {
      open_.push_back(slot);
    }
    return true;
  }

  bool Close() {
    if (skipped_ > 0) {
      --skipped_;
    } else {
      open_.pop_back();
    }
    return true;
  }

  nlohmann::json& root_;
  std::vector<nlohmann::json*> open_;
  std::size_t skipped_ = 0;  // how deep inside a dropped or emptied container the parser is
  std::string key_;
  std::string problem_;
};

}  // namespace

LoadedProfile LoadProfile(const std::filesystem::path& path) {
  LoadedProfile result;
  ProfileBytes file = ReadProfileFile(path, kProfileLimit);
  result.identity = file.identity;
  if (file.tooLarge) {
    result.problem = "larger than " + std::to_string(kProfileLimit >> 20) + " MB (" +
                     std::to_string(file.identity.size) + " bytes); not read";
    return result;
  }
  if (!file.problem.empty()) {
    result.problem = std::move(file.problem);
    return result;
  }
  DisposableJson records;
  ProfileBuilder builder(records);
  if (!nlohmann::json::sax_parse(file.bytes, &builder)) {
    result.problem = builder.Problem();
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
  // The Machine key is kept only to count its lists against the records; replay uses none of
  // it. Its entries are kept empty, so its lists take a few bytes an entry.
  if (std::string problem = CheckMachineCounts(records); !problem.empty()) {
    result.problem = std::move(problem);
    return result;
  }
  if (const auto machine = records.find(kMachineKey); machine != records.end()) {
    EmptyJson(*machine);
    records.erase(machine);
  }
  result.records = std::move(records);
  return result;
}

}  // namespace harnel
