#include "fleet/credentials.h"

#include <algorithm>
#include <fstream>

#include "platform/file_permissions.h"

namespace velmora::fleet {
namespace {

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

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
  const std::string name = path.string();
  const std::optional<bool> ownerOnly = platform::OnlyOwnerMayRead(path);
  std::ifstream file(path);
  if (!ownerOnly || !file) {
    why = name + ": cannot be read";
    return std::nullopt;
  }
  if (!*ownerOnly) {
    why = name + ": others than its owner may read it; make it readable by its owner only";
    return std::nullopt;
  }
  Credentials credentials;
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    const std::string_view text = Trimmed(line);
    if (text.empty() || text.starts_with('#') || text.starts_with(';')) continue;
    const std::size_t equals = text.find('=');
    const std::string where = name + ":" + std::to_string(number) + ": ";
    // A line without "=" is not repeated: it may be a password on its own.
    if (equals == std::string_view::npos) {
      why = where + "not a key = value line";
      return std::nullopt;
    }
    const std::string_view key = Trimmed(text.substr(0, equals));
    const std::string_view value = Trimmed(text.substr(equals + 1));
    if (key == "user") {
      credentials.user = value;
    } else if (key == "password") {
      credentials.password = value;
    } else {
      why = where + "unknown key \"" + std::string(key) + "\" (user or password)";
      return std::nullopt;
    }
  }
  if (credentials.user.empty()) {
    why = name + ": no user = line";
    return std::nullopt;
  }
  return credentials;
}

std::string BasicAuthorization(const Credentials& credentials) {
  return "Basic " + Base64(credentials.user + ":" + credentials.password);
}

}  // namespace velmora::fleet
