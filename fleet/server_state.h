#pragma once
// What the agent remembers of each server between runs, one file per server in its state folder.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace velmora::fleet {

// Times are seconds since 1970-01-01 UTC; 0: never.
struct ServerState {
  std::string digest;                   // DocumentDigest of the last document the server accepted
  std::int64_t acceptedAt = 0;          // when it accepted it
  std::optional<long> expirationHours;  // the "expiration" it gave then
  int failures = 0;                     // deliveries failed in a row since
  std::int64_t quietUntil = 0;          // runs before this leave the server alone

  bool operator==(const ServerState&) const = default;
};

// The server's files in `stateFolder`: "<readable part of the URL>-<hash of the URL>" followed
// by ".state.json" (its ServerState) or ".kept.json" (the inventory kept for it).
std::filesystem::path ServerStateFile(const std::filesystem::path& stateFolder,
                                      const std::string& url);
std::filesystem::path KeptInventoryFile(const std::filesystem::path& stateFolder,
                                        const std::string& url);

// The state kept in `file` for the server at `url`; the state of a server never reached when
// the file is missing, unreadable or written for another URL.
ServerState LoadServerState(const std::filesystem::path& file, const std::string& url);

// Replaces `file` with `state` durably; returns an empty string or why it failed, on one line.
std::string SaveServerState(const std::filesystem::path& file, const std::string& url,
                            const ServerState& state);

}  // namespace velmora::fleet
