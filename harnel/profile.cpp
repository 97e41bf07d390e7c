#include "harnel/profile.h"

#include <string_view>
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

// Builds the profile as it is parsed, keeping only what a profile can use: the top-level
// members that `kept` names, with at most `keptDepth` levels of containers (the top-level
// object counted). A container deeper than that is kept empty, so the record check still says
// what stands there, and any other top-level member is dropped with its value. So the value
// stays shallow enough to be taken apart without allocating (EmptyJson), and the memory it
// takes is no more than the profile's text. Nesting deeper than kProfileDepth, anywhere, ends
// the parse with a problem: no profile needs it.
template <class Json>
class ProfileBuilder {
 public:
  ProfileBuilder(Json& root, bool (*kept)(std::string_view), std::size_t keptDepth)
      : root_(root), kept_(kept), keptDepth_(keptDepth) {}

  bool null() { return Put(nullptr); }
  bool boolean(bool value) { return Put(value); }
  bool number_integer(typename Json::number_integer_t value) { return Put(value); }
  bool number_unsigned(typename Json::number_unsigned_t value) { return Put(value); }
  bool number_float(typename Json::number_float_t value, const std::string&) { return Put(value); }
  bool string(std::string& value) { return Put(std::move(value)); }
  bool binary(typename Json::binary_t& value) { return Put(std::move(value)); }
  bool start_object(std::size_t) { return Open(Json::object()); }
  bool start_array(std::size_t) { return Open(Json::array()); }
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
  // Where the next value goes; null when it is dropped.
  Json* Slot() {
    if (skipped_ > 0) return nullptr;
    if (open_.empty()) return &root_;
    Json& parent = *open_.back();
    if (parent.is_array()) return &parent.emplace_back();
    if (open_.size() == 1 && !kept_(key_)) return nullptr;
    Json& slot = parent[key_];
    EmptyJson(slot);  // a key given twice: the later value stands
    return &slot;
  }

  template <class Value>
  bool Put(Value&& value) {
    if (Json* slot = Slot()) *slot = std::forward<Value>(value);
    return true;
  }

  bool Open(Json&& container) {
    if (open_.size() + skipped_ == kProfileDepth) {
      problem_ = "nested deeper than " + std::to_string(kProfileDepth) +
                 " levels of arrays and objects, which no profile needs";
      return false;
    }
    Json* slot = Slot();
    if (slot != nullptr) *slot = std::move(container);
    // Only the open containers are pointed at; each is the last child of the one before,
    // and nothing is added to a container while a child of it is open.
    if (slot == nullptr || open_.size() == keptDepth_) {
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

  Json& root_;
  bool (*kept_)(std::string_view);
  std::size_t keptDepth_;
  std::vector<Json*> open_;
  std::size_t skipped_ = 0;  // how deep inside a dropped or emptied container the parser is
  std::string key_;
  std::string problem_;
};

// The records: the top-level object, a list's array, its nodes.
constexpr std::size_t kRecordDepth = 3;

// The records, and the Machine key to count its lists against them.
bool IsReplayKey(std::string_view key) {
  return FindRecordSchema(key) != nullptr || key == kMachineKey;
}
bool IsMachineKey(std::string_view key) { return key == kMachineKey; }

}  // namespace

LoadedProfile LoadProfile(const std::filesystem::path& path, bool machineKey) {
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
  ProfileBuilder<nlohmann::json> builder(records, IsReplayKey, kRecordDepth);
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
  // The Machine key, in its own order, from a second pass over the text: the records keep the
  // order-free form that replay takes. The first pass has checked the text and its depth.
  if (!machineKey) {
    result.records = std::move(records);
    return result;
  }
  DisposableOrderedJson machineOnly;
  ProfileBuilder<nlohmann::ordered_json> machineBuilder(machineOnly, IsMachineKey, kProfileDepth);
  nlohmann::ordered_json::sax_parse(file.bytes, &machineBuilder);
  const auto machine = machineOnly.find(kMachineKey);
  if (machine != machineOnly.end()) result.machine = std::move(*machine);
  result.records = std::move(records);
  return result;
}

}  // namespace harnel
