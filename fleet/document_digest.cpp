#include "fleet/document_digest.h"

#include <cstdint>
#include <cstdio>

#include <nlohmann/json.hpp>

namespace velmora::fleet {
namespace {

// The fields left out, by section and field: they move while the machine stays the same.
struct Volatile {
  const char* section;
  const char* field;
};
constexpr Volatile kVolatileFields[] = {
    {"operatingsystem", "boot_time"},
    {"hardware", "datelastloggeduser"},
    {"accesslog", "logdate"},
};

}  // namespace

std::uint64_t Fnv1a64(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 1099511628211ULL;
  }
  return hash;
}

std::string DocumentDigest(const std::string& documentText) {
  nlohmann::ordered_json document = nlohmann::ordered_json::parse(documentText, nullptr, false);
  std::string canonical = documentText;
  if (!document.is_discarded()) {
    if (document.is_object() && document.contains("content") && document["content"].is_object()) {
      nlohmann::ordered_json& content = document["content"];
      for (const Volatile& field : kVolatileFields) {
        const auto section = content.find(field.section);
        if (section != content.end() && section->is_object()) section->erase(field.field);
      }
    }
    canonical = document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  }
  char text[32];
  std::snprintf(text, sizeof text, "fnv1a64:%016llx",
                static_cast<unsigned long long>(Fnv1a64(canonical)));
  return text;
}

}  // namespace velmora::fleet
