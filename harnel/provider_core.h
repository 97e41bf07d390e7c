#pragma once
// What stands behind the thirty exported functions: where records come from and which of
// them are out with a caller.

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/record_json.h"
#include "harnel/schema.h"

namespace harnel {

class ProviderCore {
 public:
  // Replays the profile at `profile` when it is set (an unusable one is reported on
  // standard error once, and then no record comes), otherwise probes the machine whose
  // file system is rooted at `root` (on Windows the running machine, whatever `root` says).
  ProviderCore(std::optional<std::filesystem::path> profile, std::filesystem::path root);
  // Reports on standard error every record still held.
  ~ProviderCore();
  ProviderCore(const ProviderCore&) = delete;
  ProviderCore& operator=(const ProviderCore&) = delete;

  // Builds the record or list that `schema` describes and holds it until Take; null when
  // there is none.
  void* Hand(const RecordSchema& schema);
  // Releases what Hand gave out for `schema`. Anything else (null, another kind's record,
  // a record already released) is reported on standard error and ignored; returns false.
  bool Take(const RecordSchema& schema, const void* first);
  // How many records and lists are out with callers.
  std::size_t HeldCount() const;
  // Why the record that `schema` describes is empty where it is, read from the machine now
  // (harnel/explain.h); null while a profile is replayed, which has no machine to ask.
  nlohmann::json Explain(const RecordSchema& schema) const;

 private:
  struct Held {
    const RecordSchema* schema;
    HeldRecord record;
  };

  nlohmann::json Describe(const RecordSchema& schema) const;

  std::optional<std::filesystem::path> profilePath_;
  std::filesystem::path root_;
  nlohmann::json profile_;
  mutable std::mutex mutex_;
  std::map<const void*, Held> held_;
};

}  // namespace harnel
