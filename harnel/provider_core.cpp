#include "harnel/provider_core.h"

#include <cstdio>
#include <string>

#include "harnel/explain.h"
#include "harnel/probe.h"
#include "harnel/profile.h"

namespace harnel {
namespace {

// Whole lines through one call, so that reports from concurrent callers do not interleave.
void Report(const std::string& line) {
  const std::string text = "harnel: " + line + "\n";
  std::fputs(text.c_str(), stderr);
}

std::string Address(const void* pointer) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%p", pointer);
  return buffer;
}

}  // namespace

ProviderCore::ProviderCore(std::optional<std::filesystem::path> profile, std::filesystem::path root)
    : profilePath_(std::move(profile)), root_(std::move(root)) {
  if (!profilePath_) return;
  LoadedProfile loaded = LoadProfile(*profilePath_);
  if (!loaded.problem.empty()) {
    Report("cannot replay profile " + profilePath_->string() + ": " + loaded.problem +
           "; no record will be given");
  }
  profile_ = std::move(loaded.records);
}

ProviderCore::~ProviderCore() {
  if (held_.empty()) return;
  std::string list;
  for (const auto& [first, held] : held_) {
    list += (list.empty() ? "" : ", ") + std::string(held.schema->key) + " " + Address(first);
  }
  Report(std::to_string(held_.size()) + " record(s) never freed, still held at unload: " + list);
}

nlohmann::json ProviderCore::Describe(const RecordSchema& schema) const {
  if (profilePath_) {
    if (!profile_.is_object()) return nullptr;
    const auto it = profile_.find(schema.key);
    return it == profile_.end() ? nlohmann::json(nullptr) : *it;
  }
  nlohmann::json probed = ProbeMachine(schema.key, root_);
  const std::string problem = CheckRecordJson(schema, probed);
  if (!problem.empty()) {
    Report("Get" + std::string(schema.key) + ": the machine gave an unusable record (" + problem +
           "); no record");
    return nullptr;
  }
  return probed;
}

void* ProviderCore::Hand(const RecordSchema& schema) {
  HeldRecord record = BuildRecord(schema, Describe(schema));
  void* first = record.first();
  if (first == nullptr) return nullptr;
  std::lock_guard lock(mutex_);
  held_.emplace(first, Held{&schema, std::move(record)});
  return first;
}

bool ProviderCore::Take(const RecordSchema& schema, const void* first) {
  {
    std::lock_guard lock(mutex_);
    const auto it = held_.find(first);
    if (it != held_.end() && it->second.schema == &schema) {
      held_.erase(it);
      return true;
    }
  }
  Report("Free" + std::string(schema.key) + "(" + Address(first) + "): not a record that Get" +
         std::string(schema.key) + " handed out, or freed already; ignored");
  return false;
}

std::size_t ProviderCore::HeldCount() const {
  std::lock_guard lock(mutex_);
  return held_.size();
}

nlohmann::json ProviderCore::Explain(const RecordSchema& schema) const {
  if (profilePath_) return nullptr;
  return ExplainMachine(schema.key, root_);
}

}  // namespace harnel
