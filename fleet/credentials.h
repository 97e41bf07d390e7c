#pragma once
// The user and password an agent gives a server that asks for HTTP Basic authentication.

#include <filesystem>
#include <optional>
#include <string>

namespace velmora::fleet {

struct Credentials {
  std::string user, password;
};

// The credentials in the file at `path`: "user = NAME" and "password = SECRET" lines (the
// password is the whole rest of its line). None, with `why` set to one line naming the file,
// when it cannot be read, misses either key, has another key, or may be read by anyone but
// its owner.
std::optional<Credentials> ReadCredentials(const std::filesystem::path& path, std::string& why);

// The Authorization header's value that gives `credentials`: "Basic " and base64 of
// "user:password".
std::string BasicAuthorization(const Credentials& credentials);

}  // namespace velmora::fleet
