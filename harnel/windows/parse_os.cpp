// OSInfo from the registry's version key, the computer's name, the tick count and the
// processor architecture.

#include <array>

#include "harnel/decode/put_fields.h"
#include "harnel/decode/record_formats.h"
#include "harnel/decode/text_util.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/raw_values.h"

namespace harnel::windows {
namespace {

// Windows 11 kept "Windows 10" in the registry's product name; its builds start here.
constexpr std::uint64_t kFirstWindows11Build = 22000;
constexpr std::string_view kWindows10 = "Windows 10";
constexpr std::string_view kMaker = "Microsoft ";

struct Architecture {
  std::uint64_t code;  // PROCESSOR_ARCHITECTURE_*
  std::string_view name;
};
// As the operating-system class names the architecture.
constexpr std::array<Architecture, 3> kArchitectures = {{
    {0, "32-bit"},
    {9, "64-bit"},
    {12, "ARM 64-bit Processor"},
}};

std::optional<std::uint64_t> BuildNumber(const nlohmann::json& version) {
  std::optional<std::string> build = RawText(version, "CurrentBuildNumber");
  return build ? decode::ParseUnsigned(*build) : std::nullopt;
}

// "Microsoft Windows 11 Pro": the product name, named for the system that runs.
std::optional<std::string> OsName(const nlohmann::json& version) {
  std::optional<std::string> name = RawText(version, "ProductName");
  if (!name) return std::nullopt;
  const std::optional<std::uint64_t> build = BuildNumber(version);
  const std::size_t ten = name->find(kWindows10);
  if (build && *build >= kFirstWindows11Build && ten != std::string::npos) {
    name->replace(ten, kWindows10.size(), "Windows 11");
  }
  if (!decode::StartsWith(*name, kMaker)) name->insert(0, kMaker);
  return name;
}

// "10.0.19045". Windows 10 and later leave "6.3" in CurrentVersion for old programs and keep
// their own numbers in CurrentMajorVersionNumber and CurrentMinorVersionNumber.
std::optional<std::string> OsVersion(const nlohmann::json& version) {
  std::optional<std::string> build = RawText(version, "CurrentBuildNumber");
  if (!build) return std::nullopt;
  std::optional<std::uint64_t> major = RawNumber(version, "CurrentMajorVersionNumber");
  std::optional<std::uint64_t> minor = RawNumber(version, "CurrentMinorVersionNumber");
  if (major && minor) return std::to_string(*major) + "." + std::to_string(*minor) + "." + *build;
  std::optional<std::string> current = RawText(version, "CurrentVersion");
  if (!current) return std::nullopt;
  return *current + "." + *build;
}

std::optional<std::string> OsType(std::optional<std::uint64_t> architecture) {
  for (const Architecture& entry : kArchitectures) {
    if (architecture == entry.code) return std::string(entry.name);
  }
  return std::nullopt;
}

// Why a text that the registry's version key should hold is not there.
std::string WhyNoRegistryValue(const nlohmann::json& key, std::string_view value) {
  const std::string name(value);
  return key.is_object() && key.contains(name) ? "the registry's " + name + " is empty"
                                               : "no " + name + " in the registry";
}

std::optional<std::string> UpTime(std::optional<std::uint64_t> milliseconds) {
  if (!milliseconds) return std::nullopt;
  return decode::FormatUptime(static_cast<std::int64_t>(*milliseconds / 1000));
}

}  // namespace

nlohmann::json ParseOS(const nlohmann::json& raw) {
  const nlohmann::json& version = RawObject(raw, "CurrentVersion");
  DisposableJson record = nlohmann::json::object();
  decode::PutText(record, "osName", OsName(version));
  decode::PutText(record, "osType", OsType(RawNumber(raw, "processorArchitecture")));
  decode::PutText(record, "osVersion", OsVersion(version));
  decode::PutText(record, "servicePack", RawText(version, "CSDVersion"));
  decode::PutText(record, "osDescription", RawText(RawObject(raw, "LanmanServer"), "srvcomment"));
  decode::PutText(record, "registeredCompany", RawText(version, "RegisteredOrganization"));
  decode::PutText(record, "registeredUser", RawText(version, "RegisteredOwner"));
  decode::PutText(record, "serialNumber", RawText(version, "ProductId"));
  decode::PutText(record, "computerName", RawText(raw, "computerName"));
  decode::PutText(record, "upTime", UpTime(RawNumber(raw, "tickCount64")));
  return decode::RecordOrNull(std::move(record));
}

void ExplainOS(const nlohmann::json& raw, findings::Reasons& why) {
  const nlohmann::json& version = RawObject(raw, "CurrentVersion");
  struct FromVersion {
    std::string_view field, value;
  };
  constexpr std::array<FromVersion, 6> kFromVersion = {
      {{"osName", "ProductName"},
       {"osVersion", "CurrentBuildNumber"},
       {"servicePack", "CSDVersion"},
       {"registeredCompany", "RegisteredOrganization"},
       {"registeredUser", "RegisteredOwner"},
       {"serialNumber", "ProductId"}}};
  for (const FromVersion& source : kFromVersion) {
    why.Field(source.field, WhyNoRegistryValue(version, source.value));
  }
  why.Field("osDescription", "the server service has no computer description");
  why.Field("osType", "an unknown processor architecture");
  why.Field("computerName", "the system gives no computer name");
  why.Field("upTime", "the system gives no tick count");
}

}  // namespace harnel::windows
