#include "fleet/server_state.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "fleet/document_digest.h"
#include "platform/kept_files.h"

namespace velmora::fleet {
namespace {

constexpr std::size_t kLargestStateFile = 64 * 1024;
// Enough of the URL for a person looking at the folder to tell the servers apart.
constexpr std::size_t kReadableLength = 48;

// The URL's host and path with every character a file name could not hold replaced, then a
// hash of the whole URL, which tells apart URLs that differ only in what was replaced or cut.
std::string FileStem(const std::string& url) {
  std::string readable = url.substr(url.find("://") == std::string::npos ? 0 : url.find("://") + 3);
  if (readable.size() > kReadableLength) readable.resize(kReadableLength);
  for (char& c : readable) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.';
    if (!plain) c = '_';
  }
  char hash[24];
  std::snprintf(hash, sizeof hash, "-%016llx", static_cast<unsigned long long>(Fnv1a64(url)));
  return readable + hash;
}

}  // namespace

std::filesystem::path ServerStateFile(const std::filesystem::path& stateFolder,
                                      const std::string& url) {
  return stateFolder / (FileStem(url) + ".state.json");
}

std::filesystem::path KeptInventoryFile(const std::filesystem::path& stateFolder,
                                        const std::string& url) {
  return stateFolder / (FileStem(url) + ".kept.json");
}

ServerState LoadServerState(const std::filesystem::path& file, const std::string& url) {
  std::string why;
  const std::optional<std::string> text = platform::ReadKeptFile(file, kLargestStateFile, why);
  if (!text) return {};
  const nlohmann::json saved = nlohmann::json::parse(*text, nullptr, false);
  ServerState state;
  // A field of the wrong type (a hand-edited file) throws: the state is then that of a new server.
  try {
    if (!saved.is_object() || saved.value("server", "") != url) return {};
    state.digest = saved.value("digest", "");
    state.acceptedAt = saved.value("accepted_at", std::int64_t{0});
    if (saved.contains("expiration_hours") && saved["expiration_hours"].is_number_integer()) {
      state.expirationHours = saved["expiration_hours"].get<long>();
    }
    state.failures = saved.value("failures", 0);
    state.quietUntil = saved.value("quiet_until", std::int64_t{0});
  } catch (const nlohmann::json::exception&) {
    return {};
  }
  return state;
}

std::string SaveServerState(const std::filesystem::path& file, const std::string& url,
                            const ServerState& state) {
  nlohmann::ordered_json saved{
      {"server", url}, {"digest", state.digest}, {"accepted_at", state.acceptedAt}};
  if (state.expirationHours) saved["expiration_hours"] = *state.expirationHours;
  saved["failures"] = state.failures;
  saved["quiet_until"] = state.quietUntil;
  return platform::ReplaceFileDurably(file, saved.dump(2) + "\n");
}

}  // namespace velmora::fleet
