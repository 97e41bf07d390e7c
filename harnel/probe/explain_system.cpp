// Why the operating system, processor, memory and user records lack a value.

#include "harnel/probe/explainers.h"
#include "harnel/probe/machine_files.h"
#include "harnel/probe/reasons_json.h"
#include "harnel/probe/source_reasons.h"

namespace harnel::probe {
namespace {

constexpr std::string_view kCpuInfo = "/proc/cpuinfo";
constexpr std::string_view kMemInfo = "/proc/meminfo";
constexpr std::string_view kCacheFolder = "/sys/devices/system/cpu/cpu0/cache";
constexpr std::string_view kWtmp = "/var/log/wtmp";
constexpr std::string_view kResolvConf = "/etc/resolv.conf";

// Each field with the files its reader takes it from, the first that is there counting.
struct FieldSources {
  std::string_view field;
  std::initializer_list<std::string_view> paths;
};

void ExplainFromSources(const std::filesystem::path& root, const nlohmann::json& record,
                        std::initializer_list<FieldSources> fields, Reasons& why) {
  for (const FieldSources& source : fields) {
    if (NoValue(record, source.field)) why.Field(source.field, WhyUnread(root, source.paths));
  }
}

// What the reader's source said when it was read, or why it could not be.
std::string WhyNotIn(const std::filesystem::path& root, std::string_view path,
                     std::string_view lacks) {
  if (!ReadMachineFile(root, path, 1 << 16)) return WhyUnread(root, path);
  return std::string(path) + " gives no " + std::string(lacks);
}

}  // namespace

void ExplainOS(const std::filesystem::path& root, const nlohmann::json& record, Reasons& why) {
  // Service packs and the registered owner and company are Windows' own.
  for (std::string_view field : {"servicePack", "registeredCompany", "registeredUser"}) {
    why.Field(field, kNotOnThisSystem);
  }
  ExplainFromSources(root, record,
                     {{"osName", {"/etc/os-release", "/usr/lib/os-release"}},
                      {"osType", {"/proc/sys/kernel/ostype"}},
                      {"osVersion", {"/proc/sys/kernel/osrelease"}},
                      {"osDescription", {"/proc/sys/kernel/ostype"}},
                      {"serialNumber", {"/etc/machine-id"}},
                      {"computerName", {"/proc/sys/kernel/hostname", "/etc/hostname"}},
                      {"upTime", {"/proc/uptime"}}},
                     why);
}

void ExplainProcessor(const std::filesystem::path& root, const nlohmann::json& record,
                      Reasons& why) {
  const bool wantsTable = NoValue(record, "processorId") || NoValue(record, "slotName");
  const std::string table = wantsTable ? WhyNoFirmwareTable(root) : std::string();
  if (NoValue(record, "processorId")) {
    // CPUID answers for the processor running this code, which is not the one of a root
    // that stands for another machine.
    why.Field("processorId",
              IsLiveRoot(root) ? table : table + "; CPUID describes only the running machine");
  }
  why.Field("slotName", table);
  if (NoValue(record, "name")) why.Field("name", WhyNotIn(root, kCpuInfo, "model name"));
  if (NoValue(record, "manufacturer")) {
    why.Field("manufacturer", WhyNotIn(root, kCpuInfo, "vendor_id"));
  }
  if (NoValue(record, "description")) {
    why.Field("description", WhyNotIn(root, kCpuInfo, "cpu family, model and stepping"));
  }
  why.Field("maxClockSpeed", "no cpufreq maximum, firmware speed or cpu MHz");
  if (NoValue(record, "l2CacheKB")) {
    why.Field("l2CacheKB", MachineFileExists(root, kCacheFolder)
                               ? std::string(kCacheFolder) + " lists no level 2 data cache"
                               : "no " + std::string(kCacheFolder));
  }
}

void ExplainMemory(const std::filesystem::path& root, const nlohmann::json& record, Reasons& why) {
  if (!ReadMachineFile(root, kMemInfo, 1 << 16)) {
    why.Absent(WhyUnread(root, kMemInfo));
    return;
  }
  why.Field("totalPhysicalMB", std::string(kMemInfo) + " gives no MemTotal");
  if (NoValue(record, "totalPageFileMB")) why.Field("totalPageFileMB", "no swap space");
}

void ExplainUserinfo(const std::filesystem::path& root, const nlohmann::json& record,
                     Reasons& why) {
  if (NoValue(record, "currentUser")) {
    const bool anyUtmp =
        MachineFileExists(root, "/run/utmp") || MachineFileExists(root, "/var/run/utmp");
    std::string reason = WhyUnread(root, {"/run/utmp", "/var/run/utmp"});
    // A utmp that reads well but names nobody: no one is logged on.
    if (anyUtmp && reason.ends_with("holds no usable value")) reason = "nobody is logged on";
    why.Field("currentUser", reason);
  }
  if (NoValue(record, "lastUser")) {
    std::string reason = WhyUnread(root, kWtmp);
    if (reason.ends_with("holds no usable value")) reason = "no earlier logon in /var/log/wtmp";
    why.Field("lastUser", reason);
  }
  if (NoValue(record, "domainName")) {
    const bool resolv = MachineFileExists(root, kResolvConf);
    why.Field("domainName", "no domain name: no NIS domain, and " +
                                (resolv ? std::string(kResolvConf) + " names none"
                                        : "no " + std::string(kResolvConf)));
  }
}

}  // namespace harnel::probe
