// The OS reader on Linux: the operating system and the computer's identity.

#include "harnel/linux/os.h"

#include <sys/utsname.h>

#include "harnel/decode/put_fields.h"
#include "harnel/decode/record_formats.h"
#include "harnel/decode/text_util.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/source_reasons.h"

namespace harnel::linux {
namespace {

constexpr std::string_view kOsReleasePaths[] = {"/etc/os-release", "/usr/lib/os-release"};
constexpr std::string_view kOsTypePath = "/proc/sys/kernel/ostype";
constexpr std::string_view kOsReleaseKernelPath = "/proc/sys/kernel/osrelease";
constexpr std::string_view kKernelVersionPath = "/proc/sys/kernel/version";
constexpr std::string_view kArchPath = "/proc/sys/kernel/arch";
constexpr std::string_view kHostNamePaths[] = {"/proc/sys/kernel/hostname", "/etc/hostname"};
constexpr std::string_view kMachineIdPath = "/etc/machine-id";
constexpr std::string_view kUptimePath = "/proc/uptime";

// Shell-style value: double or single quotes removed, backslash escapes inside double quotes.
std::string UnquoteValue(std::string_view value) {
  value = decode::Trim(value);
  if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'') {
    return std::string(value.substr(1, value.size() - 2));
  }
  if (value.size() < 2 || value.front() != '"' || value.back() != '"') return std::string(value);
  value = value.substr(1, value.size() - 2);
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) ++i;
    out.push_back(value[i]);
  }
  return out;
}

std::optional<std::string> FirstText(const std::filesystem::path& root,
                                     std::initializer_list<std::string_view> paths,
                                     SourceFact& fact) {
  for (std::string_view path : paths) {
    SourceFact tried;
    std::optional<std::string> text = ReadMachineText(root, path, &tried);
    fact.Candidate(std::move(tried));
    if (text) return text;
  }
  return std::nullopt;
}

// The architecture: the kernel's own sysctl where it has one, else uname on the live root.
std::optional<std::string> Architecture(const std::filesystem::path& root) {
  if (auto arch = ReadMachineText(root, kArchPath)) return arch;
  if (!IsLiveRoot(root)) return std::nullopt;
  struct utsname names {};
  if (::uname(&names) != 0) return std::nullopt;
  return std::string(names.machine);
}

// The kernel's name `type` (from /proc/sys/kernel/ostype) with the machine's architecture.
std::optional<std::string> OsType(const std::filesystem::path& root,
                                  const std::optional<std::string>& type) {
  std::optional<std::string> arch = Architecture(root);
  if (type && arch) return *type + " " + *arch;
  return type;
}

// As `uname -srv` prints it: kernel name `type`, release `release` and build.
std::optional<std::string> OsDescription(const std::filesystem::path& root,
                                         const std::optional<std::string>& type,
                                         const std::optional<std::string>& release) {
  std::string description;
  for (const std::optional<std::string>& part :
       {type, release, ReadMachineText(root, kKernelVersionPath)}) {
    if (!part) continue;
    if (!description.empty()) description += ' ';
    description += *part;
  }
  if (description.empty()) return std::nullopt;
  return description;
}

std::optional<std::string> OsName(const std::filesystem::path& root, SourceFact& fact) {
  for (std::string_view path : kOsReleasePaths) {
    SourceFact tried;
    std::optional<std::string> text = ReadMachineFile(root, path, 1 << 16, &tried);
    fact.Candidate(std::move(tried));
    if (!text) continue;
    OsRelease release = ParseOsRelease(*text);
    if (release.prettyName) return release.prettyName;
    if (release.name && release.version) return *release.name + " " + *release.version;
    if (release.name) return release.name;
  }
  return std::nullopt;
}

std::optional<std::string> UpTime(const std::filesystem::path& root, SourceFact& fact) {
  std::optional<std::string> text = ReadMachineFile(root, kUptimePath, 256, &fact);
  if (!text) return std::nullopt;
  std::optional<std::int64_t> seconds = ParseUptimeSeconds(*text);
  if (!seconds) return std::nullopt;
  return decode::FormatUptime(*seconds);
}

}  // namespace

OsRelease ParseOsRelease(std::string_view text) {
  OsRelease release;
  for (std::string_view line : decode::SplitLines(text)) {
    line = decode::Trim(line);
    const std::size_t equals = line.find('=');
    if (line.empty() || line.front() == '#' || equals == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, equals);
    std::string value = UnquoteValue(line.substr(equals + 1));
    if (value.empty()) continue;
    if (key == "PRETTY_NAME") release.prettyName = std::move(value);
    if (key == "NAME") release.name = std::move(value);
    if (key == "VERSION") release.version = std::move(value);
  }
  return release;
}

std::optional<std::int64_t> ParseUptimeSeconds(std::string_view text) {
  std::optional<std::uint64_t> seconds = decode::ParseLeadingUnsigned(text);
  if (!seconds) return std::nullopt;
  return static_cast<std::int64_t>(*seconds);
}

nlohmann::json ProbeOS(const std::filesystem::path& root, OSFacts& facts) {
  DisposableJson record = nlohmann::json::object();
  // Two fields each take the kernel's name and release: each file is read once.
  const std::optional<std::string> type = ReadMachineText(root, kOsTypePath, &facts.osType);
  const std::optional<std::string> release =
      ReadMachineText(root, kOsReleaseKernelPath, &facts.kernelRelease);
  decode::PutText(record, "osName", OsName(root, facts.osRelease));
  decode::PutText(record, "osType", OsType(root, type));
  decode::PutText(record, "osVersion", release);
  decode::PutText(record, "osDescription", OsDescription(root, type, release));
  decode::PutText(record, "serialNumber", ReadMachineText(root, kMachineIdPath, &facts.machineId));
  decode::PutText(record, "computerName",
                  FirstText(root, {kHostNamePaths[0], kHostNamePaths[1]}, facts.hostName));
  decode::PutText(record, "upTime", UpTime(root, facts.uptime));
  return decode::RecordOrNull(std::move(record));
}

void ExplainOS(const OSFacts& facts, findings::Reasons& why) {
  // Service packs and the registered owner and company are Windows' own.
  for (std::string_view field : {"servicePack", "registeredCompany", "registeredUser"}) {
    why.Field(field, findings::kNotOnThisSystem);
  }
  why.Field("osName", WhyUnread(facts.osRelease));
  why.Field("osType", WhyUnread(facts.osType));
  why.Field("osVersion", WhyUnread(facts.kernelRelease));
  why.Field("osDescription", WhyUnread(facts.osType));
  why.Field("serialNumber", WhyUnread(facts.machineId));
  why.Field("computerName", WhyUnread(facts.hostName));
  why.Field("upTime", WhyUnread(facts.uptime));
}

}  // namespace harnel::linux
