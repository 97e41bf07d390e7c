#pragma once
// The user and password of a server's HTTP Basic authentication, kept in a file only its owner
// may read.

#include <filesystem>
#include <optional>
#include <string>

namespace velmora::fleet {

struct Credentials {
  std::string user, password;
};

// The credentials in `path`: "user = NAME" and "password = SECRET" lines, blank lines and
// comments ("#", ";") aside. nullopt with `why` (one line, never the password) when the file
// cannot be read, others than its owner may read it, a line is not one of those, or the user is
// missing.
std::optional<Credentials> ReadCredentials(const std::filesystem::path& path, std::string& why);

// The Authorization header's value that gives `credentials`: "Basic " and base64 of
// "user:password".
std::string BasicAuthorization(const Credentials& credentials);

}  // namespace velmora::fleet
