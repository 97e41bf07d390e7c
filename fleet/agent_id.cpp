#include "fleet/agent_id.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>
#include <vector>

#include "platform/state_places.h"

namespace velmora::fleet {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kUuidLength = 36;

bool IsUuid(const std::string& text) {
  if (text.size() != kUuidLength) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? text[i] != '-' : std::isxdigit(static_cast<unsigned char>(text[i])) == 0) {
      return false;
    }
  }
  return true;
}

// A version 4 (random) UUID.
std::string NewUuid() {
  std::random_device source;
  unsigned char bytes[16];
  for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(source() & 0xFF);
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);
  char text[kUuidLength + 1];
  std::snprintf(text, sizeof text,
                "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", bytes[0],
                bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8],
                bytes[9], bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
  return text;
}

std::vector<fs::path> Places() {
  if (const char* file = std::getenv("VELMORA_AGENT_ID_FILE"); file != nullptr && file[0] != '\0') {
    return {fs::path(file)};
  }
  std::vector<fs::path> places;
  for (const fs::path& folder : platform::StateFolders("velmora")) {
    places.push_back(folder / "agent-id");
  }
  return places;
}

}  // namespace

std::string AgentId() {
  const std::vector<fs::path> places = Places();
  for (const fs::path& place : places) {
    std::ifstream file(place);
    std::string id;
    if (file >> id && IsUuid(id)) return id;
  }
  const std::string id = NewUuid();
  for (const fs::path& place : places) {
    std::error_code ignored;
    fs::create_directories(place.parent_path(), ignored);
    std::ofstream file(place, std::ios::trunc);
    if (file << id << '\n' && file.flush()) return id;
  }
  return id;
}

}  // namespace velmora::fleet
