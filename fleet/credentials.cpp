#include "fleet/credentials.h"

#include <algorithm>
#include <string_view>

#include "fleet/key_value_file.h"
#include "platform/kept_files.h"

namespace velmora::fleet {
namespace {

std::string Base64(std::string_view bytes) {
  constexpr std::string_view kDigits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t at = 0; at < bytes.size(); at += 3) {
    const std::size_t count = std::min<std::size_t>(3, bytes.size() - at);
    unsigned group = 0;
    for (std::size_t i = 0; i < 3; ++i) {
      group = group << 8U | (i < count ? static_cast<unsigned char>(bytes[at + i]) : 0U);
    }
    for (std::size_t i = 0; i < 4; ++i) {
      out += i <= count ? kDigits[group >> (18 - 6 * i) & 63U] : '=';
    }
  }
  return out;
}

}  // namespace

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

std::string BasicAuthorization(const Credentials& credentials) {
  return "Basic " + Base64(credentials.user + ":" + credentials.password);
}

}  // namespace velmora::fleet
