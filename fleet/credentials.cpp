#include "fleet/credentials.h"

#include "fleet/key_value_file.h"
#include "platform/kept_files.h"

namespace velmora::fleet {

std::optional<Credentials> ReadCredentials(const std::filesystem::path& path, std::string& why) {
  const auto lines = ReadKeyValueFile(path, {"user", "password"}, why);
  if (!lines) return std::nullopt;
  std::optional<std::string> user, password;
  for (const KeyValueLine& line : *lines) {
    std::optional<std::string>& field = line.key == "user" ? user : password;
    if (field) {
      why = LineProblem(path, line, "given twice");
      return std::nullopt;
    }
    field = line.value;
  }
  if (!user || user->empty() || !password) {
    why = path.string() + ": " + (!user || user->empty() ? "user" : "password") + ": missing";
    return std::nullopt;
  }
  // Basic authentication joins the two with ':', so a user name cannot hold one.
  if (user->find(':') != std::string::npos) {
    why = path.string() + ": user: holds a ':'";
    return std::nullopt;
  }
  // A secret others could read is refused, not used once more.
  if (const std::string open = platform::CheckOwnerOnly(path); !open.empty()) {
    why = path.string() + ": " + open;
    return std::nullopt;
  }
  return Credentials{*user, *password};
}

}  // namespace velmora::fleet
