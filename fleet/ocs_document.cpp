#include "fleet/ocs_document.h"

#include <cstdint>
#include <ctime>
#include <optional>

#include "fleet/document_digest.h"
#include "fleet/machine_facts_of.h"
#include "fleet/ocs_tables.h"
#include "fleet/section_fill.h"
#include "fleet/xml_text.h"
#include "harnel/machine_key.h"

namespace velmora::fleet {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n";
// Every section mask the server knows, or-ed: the server rewrites the sections whose bit is set,
// and a full document has them all.
constexpr long kEverySection = (1L << 26) - 1;
// The stamps of OcsDeviceId lie in this century, from 2000-01-01 00:00:00 UTC on.
constexpr std::int64_t kStampStart = 946684800;
constexpr std::int64_t kStampSpan = std::int64_t{100} * 365 * 24 * 3600;

std::string Text(const Json& value) {
  return value.is_string() ? value.get<std::string>() : value.dump();
}

void Element(std::string& out, std::string_view indent, std::string_view name,
             std::string_view text) {
  out.append(indent).append("<").append(name).append(">");
  out.append(XmlEscaped(text));
  out.append("</").append(name).append(">\n");
}

void Section(std::string& out, std::string_view name, const Json& fields) {
  out.append("    <").append(name).append(">\n");
  for (const auto& [field, value] : fields.items()) Element(out, "      ", field, Text(value));
  if (name == "HARDWARE") Element(out, "      ", "CHECKSUM", std::to_string(kEverySection));
  out.append("    </").append(name).append(">\n");
}

std::string Request(std::string_view content, std::string_view deviceId, std::string_view query) {
  std::string out(kHeader);
  out += "<REQUEST>\n";
  out += content;
  Element(out, "  ", "DEVICEID", deviceId);
  Element(out, "  ", "QUERY", query);
  out += "</REQUEST>\n";
  return out;
}

}  // namespace

std::string OcsDeviceId(const nlohmann::json& profile) {
  const nlohmann::json& name =
      ProfileMember(ProfileMember(profile, harnel::kProfileKey<OSInfo>), "computerName");
  const nlohmann::json& uuid =
      ProfileMember(MachineFactsOf(profile, harnel::kMachineSystemKey, 0), harnel::machine::kUuid);
  const std::string host = name.is_string() && !name.get_ref<const std::string&>().empty()
                               ? name.get<std::string>()
                               : "unknown";
  const std::string seed = uuid.is_string() && !uuid.get_ref<const std::string&>().empty()
                               ? uuid.get<std::string>()
                               : host;
  const auto stamp = static_cast<std::time_t>(
      kStampStart +
      static_cast<std::int64_t>(Fnv1a64(seed) % static_cast<std::uint64_t>(kStampSpan)));
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &stamp);
#else
  gmtime_r(&stamp, &utc);
#endif
  char text[32];
  std::strftime(text, sizeof text, "-%Y-%m-%d-%H-%M-%S", &utc);
  return host + text;
}

std::string OcsDocument(const nlohmann::json& profile, const OcsOptions& options) {
  Json sections = Json::object();
  sections["HARDWARE"] = Json::object();
  FillSections(profile, OcsSections(), std::nullopt, sections);
  std::string content = "  <CONTENT>\n";
  for (const auto& [name, section] : sections.items()) {
    if (!section.is_array()) {
      Section(content, name, section);
      continue;
    }
    for (const Json& entry : section) Section(content, name, entry);
  }
  if (!options.tag.empty()) {
    content += "    <ACCOUNTINFO>\n";
    Element(content, "      ", "KEYNAME", "TAG");
    Element(content, "      ", "KEYVALUE", options.tag);
    content += "    </ACCOUNTINFO>\n";
  }
  Element(content, "    ", "VERSIONCLIENT", options.client);
  content += "  </CONTENT>\n";
  return Request(content, options.deviceId.empty() ? OcsDeviceId(profile) : options.deviceId,
                 "INVENTORY");
}

std::string OcsProlog(std::string_view deviceId) { return Request("", deviceId, "PROLOG"); }

}  // namespace velmora::fleet
