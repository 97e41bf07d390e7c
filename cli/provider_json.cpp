#include "cli/provider_json.h"

#include <memory>
#include <stdexcept>

#include "provider/provider.h"

namespace velmora::cli {
namespace {

struct ReleaseText {
  void operator()(char* text) const { HarnelFreeText(text); }
};
using ProviderText = std::unique_ptr<char, ReleaseText>;

}  // namespace

nlohmann::ordered_json ProviderMachineJson(const char* section, unsigned int parts) {
  char* json = nullptr;
  const int status = HarnelGetMachineJson(section, parts, &json);
  const ProviderText text(json);
  if (status != HARNEL_JSON_GIVEN || text == nullptr) {
    throw std::runtime_error("the provider gave no JSON for " +
                             std::string(section == nullptr ? "the machine" : section) +
                             " (status " + std::to_string(status) + ")");
  }
  return nlohmann::ordered_json::parse(text.get());
}

ProfileFile ReadProfileFile(const std::string& path) {
  char* json = nullptr;
  const int status = HarnelReadProfileJson(path.c_str(), &json);
  const ProviderText text(json);
  if (status == HARNEL_JSON_GIVEN && text != nullptr) {
    return {nlohmann::ordered_json::parse(text.get()), {}};
  }
  if (status == HARNEL_JSON_UNUSABLE && text != nullptr) return {nullptr, text.get()};
  if (status == HARNEL_JSON_BAD_REQUEST) return {nullptr, "not a path"};
  throw std::runtime_error("the provider could not read the profile (status " +
                           std::to_string(status) + ")");
}

}  // namespace velmora::cli
