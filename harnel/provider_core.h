#pragma once
// What stands behind the thirty exported functions: where records come from and which of
// them are out with a caller.

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/disposable_json.h"
#include "harnel/file_identity.h"
#include "harnel/record_json.h"
#include "harnel/schema.h"

namespace harnel {

// Every member function may be called from several threads at once. Memory exhaustion
// (std::bad_alloc) passes out of Hand with nothing held and nothing leaked; nothing else does.
class ProviderCore {
 public:
  // Replays the profile at `profile` when it is set, otherwise probes the machine whose file
  // system is rooted at `root` (on Windows the running machine, whatever `root` says). The
  // profile is read at the first Hand; an unusable one is reported on standard error, gives
  // no record, and is read again only once the file has changed.
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

  // Whether the records come from a profile rather than from the machine.
  bool Replays() const { return profilePath_.has_value(); }
  // The folder the machine is read under while it is probed.
  const std::filesystem::path& Root() const { return root_; }
  // The replayed profile's Machine key as its file gives it now, read by the same reader as
  // the records; null when the profile has none or is unusable, and while the machine is probed.
  DisposableOrderedJson ReplayedMachine();

 private:
  struct Held {
    const RecordSchema* schema;
    HeldRecord record;
  };

  HeldRecord Replay(const RecordSchema& schema);
  HeldRecord Probe(const RecordSchema& schema) const;
  // The profile's records, read now if they have not been; null while it is unusable.
  const nlohmann::json* Profile();

  std::optional<std::filesystem::path> profilePath_;
  std::filesystem::path root_;

  std::mutex profileMutex_;   // held while the profile is read
  bool profileRead_ = false;  // once set, profile_ never changes again
  DisposableJson profile_;
  std::optional<FileIdentity> unusableFile_;  // the version of the file that was unusable

  mutable std::mutex mutex_;
  std::map<const void*, Held> held_;
};

}  // namespace harnel
