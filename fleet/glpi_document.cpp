#include "fleet/glpi_document.h"

#include "fleet/glpi_tables.h"
#include "fleet/machine_facts_of.h"
#include "fleet/section_fill.h"
#include "harnel/machine_key.h"

namespace velmora::fleet {

using Json = nlohmann::ordered_json;

std::string DefaultDeviceId(const nlohmann::json& profile) {
  const nlohmann::json& name =
      ProfileMember(ProfileMember(profile, harnel::kProfileKey<OSInfo>), "computerName");
  const nlohmann::json& uuid =
      ProfileMember(MachineFactsOf(profile, harnel::kMachineSystemKey, 0), harnel::machine::kUuid);
  std::string id;
  for (const nlohmann::json* part : {&name, &uuid}) {
    if (!part->is_string() || part->get_ref<const std::string&>().empty()) continue;
    if (!id.empty()) id += '-';
    id += part->get_ref<const std::string&>();
  }
  return id.empty() ? "unknown" : id;
}

nlohmann::ordered_json GlpiDocument(const nlohmann::json& profile, const GlpiOptions& options) {
  Json content = Json::object();
  content["versionclient"] = options.client;
  FillSections(profile, GlpiSections(), options.readAt, content);
  Json document{
      {"action", "inventory"},
      {"deviceid", options.deviceId.empty() ? DefaultDeviceId(profile) : options.deviceId},
      {"itemtype", "Computer"}};
  if (!options.tag.empty()) document["tag"] = options.tag;
  document["content"] = std::move(content);
  return document;
}

}  // namespace velmora::fleet
