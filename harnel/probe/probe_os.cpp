#include "harnel/probe/probe_os.h"

#include <sys/utsname.h>

#include "harnel/probe/machine_files.h"
#include "harnel/probe/record_formats.h"
#include "harnel/probe/record_json.h"
#include "harnel/probe/text_util.h"

namespace harnel::probe {
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
  value = Trim(value);
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
                                     std::initializer_list<std::string_view> paths) {
  for (std::string_view path : paths) {
    if (auto text = ReadMachineText(root, path)) return text;
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

std::optional<std::string> OsName(const std::filesystem::path& root) {
  for (std::string_view path : kOsReleasePaths) {
    std::optional<std::string> text = ReadMachineFile(root, path, 1 << 16);
    if (!text) continue;
    OsRelease release = ParseOsRelease(*text);
    if (release.prettyName) return release.prettyName;
    if (release.name && release.version) return *release.name + " " + *release.version;
    if (release.name) return release.name;
  }
  return std::nullopt;
}

std::optional<std::string> UpTime(const std::filesystem::path& root) {
  std::optional<std::string> text = ReadMachineFile(root, kUptimePath, 256);
  if (!text) return std::nullopt;
  std::optional<std::int64_t> seconds = ParseUptimeSeconds(*text);
  if (!seconds) return std::nullopt;
  return FormatUptime(*seconds);
}

}  // namespace

OsRelease ParseOsRelease(std::string_view text) {
  OsRelease release;
  for (std::string_view line : SplitLines(text)) {
    line = Trim(line);
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
  std::optional<std::uint64_t> seconds = ParseLeadingUnsigned(text);
  if (!seconds) return std::nullopt;
  return static_cast<std::int64_t>(*seconds);
}

nlohmann::json ProbeOS(const std::filesystem::path& root) {
  DisposableJson record = nlohmann::json::object();
  // Two fields each take the kernel's name and release: each file is read once.
  const std::optional<std::string> type = ReadMachineText(root, kOsTypePath);
  const std::optional<std::string> release = ReadMachineText(root, kOsReleaseKernelPath);
  PutText(record, "osName", OsName(root));
  PutText(record, "osType", OsType(root, type));
  PutText(record, "osVersion", release);
  PutText(record, "osDescription", OsDescription(root, type, release));
  PutText(record, "serialNumber", ReadMachineText(root, kMachineIdPath));
  PutText(record, "computerName", FirstText(root, {kHostNamePaths[0], kHostNamePaths[1]}));
  PutText(record, "upTime", UpTime(root));
  return RecordOrNull(std::move(record));
}

}  // namespace harnel::probe
