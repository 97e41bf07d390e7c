#include "harnel/provider_core.h"

#include <cstdio>
#include <string>

#include "harnel/probe.h"
#include "harnel/profile.h"
#include "harnel/profile_file.h"

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
    : profilePath_(std::move(profile)), root_(std::move(root)) {}

ProviderCore::~ProviderCore() {
  if (held_.empty()) return;
  try {
    std::string list;
    for (const auto& [first, held] : held_) {
      list += (list.empty() ? "" : ", ") + std::string(held.schema->key) + " " + Address(first);
    }
    Report(std::to_string(held_.size()) + " record(s) never freed, still held at unload: " + list);
  } catch (const std::exception&) {
    // Without memory for the report it is left out; the records are released all the same.
  }
}

const nlohmann::json* ProviderCore::Profile() {
  const std::lock_guard lock(profileMutex_);
  if (profileRead_) return &profile_;
  // An unusable file is not read again at every call, only once it has changed (or appeared).
  if (unusableFile_ && *unusableFile_ == ProfileFileIdentity(*profilePath_)) return nullptr;
  // Memory running out while reading leaves everything as it was, so the next call tries again.
  LoadedProfile loaded = LoadProfile(*profilePath_);
  if (!loaded.problem.empty()) {
    Report("cannot replay profile " + profilePath_->string() + ": " + loaded.problem +
           "; no record will be given");
    unusableFile_ = loaded.identity;
    return nullptr;
  }
  profile_ = std::move(loaded.records);
  profileRead_ = true;
  return &profile_;
}

DisposableOrderedJson ProviderCore::ReplayedMachine() {
  if (!profilePath_ || Profile() == nullptr) return DisposableOrderedJson();
  LoadedProfile loaded = LoadProfile(*profilePath_, true);
  return std::move(loaded.machine);
}

HeldRecord ProviderCore::Replay(const RecordSchema& schema) {
  // Built straight from the profile: a copy of its record would be one more value to destroy.
  const nlohmann::json* profile = Profile();
  if (profile == nullptr) return HeldRecord();
  const auto it = profile->find(schema.key);
  return it == profile->end() ? HeldRecord() : BuildRecord(schema, *it);
}

HeldRecord ProviderCore::Probe(const RecordSchema& schema) const {
  const DisposableJson probed = ProbeMachine(schema.key, root_);
  const std::string problem = CheckRecordJson(schema, probed);
  if (!problem.empty()) {
    Report("Get" + std::string(schema.key) + ": the machine gave an unusable record (" + problem +
           "); no record");
    return HeldRecord();
  }
  return BuildRecord(schema, probed);
}

void* ProviderCore::Hand(const RecordSchema& schema) {
  HeldRecord record = profilePath_ ? Replay(schema) : Probe(schema);
  void* first = record.first();
  if (first == nullptr) return nullptr;
  std::lock_guard lock(mutex_);
  // Should the map's node not be had, the record is released here and nothing is held.
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

}  // namespace harnel
