#include "platform/url_reference.h"

#include <cctype>
#include <optional>

namespace platform {
namespace {

struct UrlParts {
  std::optional<std::string> scheme, authority, query;
  std::string path;
};

bool IsScheme(std::string_view text) {
  if (text.empty() || std::isalpha(static_cast<unsigned char>(text[0])) == 0) return false;
  for (const char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '+' && c != '-' && c != '.') {
      return false;
    }
  }
  return true;
}

UrlParts Split(std::string_view url) {
  UrlParts parts;
  url = url.substr(0, url.find('#'));
  if (const std::size_t colon = url.find(':');
      colon != std::string_view::npos && IsScheme(url.substr(0, colon))) {
    parts.scheme = std::string(url.substr(0, colon));
    url.remove_prefix(colon + 1);
  }
  if (url.starts_with("//")) {
    url.remove_prefix(2);
    const std::size_t end = url.find_first_of("/?");
    parts.authority = std::string(url.substr(0, end));
    url.remove_prefix(end == std::string_view::npos ? url.size() : end);
  }
  const std::size_t question = url.find('?');
  parts.path = std::string(url.substr(0, question));
  if (question != std::string_view::npos) parts.query = std::string(url.substr(question + 1));
  return parts;
}

void DropLastSegment(std::string& out) {
  const std::size_t slash = out.rfind('/');
  out.erase(slash == std::string::npos ? 0 : slash);
}

std::string RemoveDotSegments(std::string_view input) {
  std::string out;
  while (!input.empty()) {
    if (input.starts_with("../")) {
      input.remove_prefix(3);
    } else if (input.starts_with("./") || input.starts_with("/./")) {
      input.remove_prefix(2);
    } else if (input == "/.") {
      input = "/";
    } else if (input.starts_with("/../")) {
      input.remove_prefix(3);
      DropLastSegment(out);
    } else if (input == "/..") {
      input = "/";
      DropLastSegment(out);
    } else if (input == "." || input == "..") {
      input = {};
    } else {
      const std::size_t end = input.find('/', 1);
      const std::size_t length = end == std::string_view::npos ? input.size() : end;
      out.append(input.substr(0, length));
      input.remove_prefix(length);
    }
  }
  return out;
}

std::string Merge(const UrlParts& base, const std::string& path) {
  if (base.authority && base.path.empty()) return "/" + path;
  const std::size_t slash = base.path.rfind('/');
  return slash == std::string::npos ? path : base.path.substr(0, slash + 1) + path;
}

std::string Join(const UrlParts& parts) {
  std::string url;
  if (parts.scheme) url += *parts.scheme + ":";
  if (parts.authority) url += "//" + *parts.authority;
  url += parts.path;
  if (parts.query) url += "?" + *parts.query;
  return url;
}

}  // namespace

std::string ResolveReference(std::string_view base, std::string_view reference) {
  const UrlParts from = Split(base);
  const UrlParts to = Split(reference);
  UrlParts target;
  if (to.scheme) {
    target = to;
    target.path = RemoveDotSegments(to.path);
    return Join(target);
  }
  target.scheme = from.scheme;
  if (to.authority) {
    target.authority = to.authority;
    target.path = RemoveDotSegments(to.path);
    target.query = to.query;
    return Join(target);
  }
  target.authority = from.authority;
  if (to.path.empty()) {
    target.path = from.path;
    target.query = to.query ? to.query : from.query;
  } else {
    target.path = RemoveDotSegments(to.path.starts_with('/') ? to.path : Merge(from, to.path));
    target.query = to.query;
  }
  return Join(target);
}

std::string OriginOf(std::string_view url) {
  const UrlParts parts = Split(url);
  if (!parts.scheme || !parts.authority) return {};
  std::string origin = *parts.scheme + "://" + *parts.authority;
  for (char& c : origin) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return origin;
}

}  // namespace platform
