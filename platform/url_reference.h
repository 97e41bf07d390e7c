#pragma once
// Where a Location header points: resolving a URL reference against the URL it came from
// (RFC 3986, section 5), and the origin that decides who may see credentials.

#include <string>
#include <string_view>

namespace platform {

// `reference` (absolute, "//host/x", "/x", "x", "../x", "?q") resolved against the absolute
// `base`, without a fragment.
std::string ResolveReference(std::string_view base, std::string_view reference);

// "scheme://host:port" of an absolute URL, in lower case; empty when it has no authority.
std::string OriginOf(std::string_view url);

}  // namespace platform
