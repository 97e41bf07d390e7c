// The system's identity and virtualization, and the processors' topology, on Linux.

#include <cctype>
#include <cerrno>
#include <cstring>
#include <set>

#include "harnel/decode/firmware_facts.h"
#include "harnel/decode/smbios_identity.h"
#include "harnel/decode/text_util.h"
#include "harnel/decode/virtual_machines.h"
#include "harnel/findings/reasons.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/machine_readers.h"
#include "harnel/machine_key.h"

namespace harnel::linux {
namespace {

constexpr std::string_view kTablePath = "/sys/firmware/dmi/tables/DMI";
constexpr std::string_view kDmiIdFolder = "/sys/class/dmi/id";
constexpr std::string_view kCpuInfoPath = "/proc/cpuinfo";

// The attribute of the dmi folder that stands in for each system field when the table is
// closed (most of them are root-only too).
struct DmiAttribute {
  std::string_view field, attribute;
};
constexpr DmiAttribute kDmiAttributes[] = {
    {machine::kManufacturer, "sys_vendor"},
    {machine::kProduct, "product_name"},
    {machine::kSerial, "product_serial"},
    {machine::kUuid, "product_uuid"},
    {machine::kSku, "product_sku"},
    {machine::kAssetTag, "chassis_asset_tag"},
    {machine::kChassisSerial, "chassis_serial"},
};

// Files whose presence marks a container, and the runtime that leaves each.
struct ContainerMark {
  std::string_view path, kind;
};
constexpr ContainerMark kContainerFiles[] = {
    {"/.dockerenv", "Docker"},
    {"/run/.containerenv", "Podman"},
};
// Runtimes as init's `container=` names them, or as words of its control group's path.
constexpr ContainerMark kContainerNames[] = {
    {"docker", "Docker"},
    {"podman", "Podman"},
    {"libpod", "Podman"},
    {"lxc", "lxc"},
    {"systemd-nspawn", "systemd-nspawn"},
    {"kubepods", "Kubernetes"},
};

std::optional<std::string> ContainerNamed(std::string_view text) {
  for (const ContainerMark& mark : kContainerNames) {
    if (text.find(mark.path) != std::string_view::npos) return std::string(mark.kind);
  }
  return std::nullopt;
}

// The container this machine is, from its runtimes' marks; OpenVZ shows its containers
// /proc/vz without the host's /proc/bc.
std::optional<std::string> ContainerOf(const std::filesystem::path& root) {
  for (const ContainerMark& mark : kContainerFiles) {
    if (MachineFileExists(root, mark.path)) return std::string(mark.kind);
  }
  if (auto environment = ReadMachineFile(root, "/proc/1/environ", 1 << 16)) {
    for (std::string_view entry : decode::SplitWords(*environment, '\0')) {
      if (decode::StartsWith(entry, "container=")) {
        if (auto kind = ContainerNamed(entry.substr(10))) return kind;
        return std::string(entry.substr(10));
      }
    }
  }
  if (auto groups = ReadMachineFile(root, "/proc/1/cgroup", 1 << 16)) {
    if (auto kind = ContainerNamed(*groups)) return kind;
  }
  if (MachineFileExists(root, "/proc/vz") && !MachineFileExists(root, "/proc/bc")) {
    return std::string("Virtuozzo");
  }
  return std::nullopt;
}

std::optional<std::int64_t> Number(std::string_view text) {
  const std::optional<std::uint64_t> value = decode::ParseUnsigned(text);
  if (!value || *value == 0) return std::nullopt;
  return static_cast<std::int64_t>(*value);
}

}  // namespace

std::optional<std::string> ReadNoted(const std::filesystem::path& root, std::string_view path,
                                     findings::Fact& fact) {
  if (std::optional<std::string> text = ReadMachineText(root, path)) return text;
  NoteUnread(root, path, fact);
  return std::nullopt;
}

void NoteUnread(const std::filesystem::path& root, std::string_view path, findings::Fact& fact) {
  const MachineFile file(root, path);
  const int error = errno;
  if (file.IsOpen()) {
    fact.Miss(path, findings::SourceAnswer::SourceSilent);
  } else if (error == ENOENT || error == ENOTDIR) {
    fact.Miss(path, findings::SourceAnswer::SourceMissing);
  } else if (error == EACCES || error == EPERM) {
    fact.Miss(path, findings::SourceAnswer::SourceRootOnly);
  } else {
    fact.Miss(path, findings::SourceAnswer::SourceUnreadable, std::strerror(error));
  }
}

CpuTopology ParseCpuTopology(std::string_view cpuinfo) {
  CpuTopology cpu;
  std::set<std::string_view> packages;
  for (std::string_view line : decode::SplitLines(cpuinfo)) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view key = decode::Trim(line.substr(0, colon));
    const std::string_view value = decode::Trim(line.substr(colon + 1));
    if (key == "physical id") packages.insert(value);
    if (key == "siblings" && !cpu.threads) cpu.threads = Number(value);
    if (key == "cpu cores" && !cpu.cores) cpu.cores = Number(value);
    if (key == "flags" && !cpu.hypervisor) {
      cpu.hypervisor = false;
      for (std::string_view flag : decode::SplitWords(value)) {
        if (flag == "hypervisor") cpu.hypervisor = true;
      }
    }
  }
  if (!packages.empty()) cpu.packages = static_cast<std::int64_t>(packages.size());
  return cpu;
}

CpuInfoRead ReadCpuInfo(const std::filesystem::path& root) {
  CpuInfoRead read;
  if (auto text = ReadMachineFile(root, kCpuInfoPath)) {
    read.topology = ParseCpuTopology(*text);
  } else {
    NoteUnread(root, kCpuInfoPath, read.file);
  }
  return read;
}

findings::FactSet ReadSystemFacts(const std::filesystem::path& root, const CpuInfoRead& cpu) {
  findings::FactSet system;
  const bool anyFirmware =
      MachineFileExists(root, kTablePath) || MachineFileExists(root, kDmiIdFolder);
  if (!anyFirmware) {
    for (const DmiAttribute& source : kDmiAttributes) {
      system[source.field].Miss({}, findings::SourceAnswer::SourceSays,
                                findings::kNoFirmwareTables);
    }
  } else {
    // The table first: it is what both systems read. The dmi folder holds the same texts.
    findings::Fact table;
    if (std::optional<std::string> bytes = ReadMachineFile(root, kTablePath)) {
      decode::TakeSystemFromTable(decode::ParseSmbiosIdentity(*bytes), system);
    } else {
      NoteUnread(root, kTablePath, table);
      for (const DmiAttribute& source : kDmiAttributes) system[source.field].misses = table.misses;
    }
    for (const DmiAttribute& source : kDmiAttributes) {
      findings::Fact& fact = system[source.field];
      if (fact.Known()) continue;
      const std::string path = std::string(kDmiIdFolder) + "/" + std::string(source.attribute);
      std::optional<std::string> text = ReadNoted(root, path, fact);
      // The kernel writes the UUID in lower case; the table's text is upper case.
      if (text && source.field == machine::kUuid) {
        for (char& c : *text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      }
      if (text) decode::TakeFirmwareText(fact, text, path);
    }
  }

  decode::VirtualizationClues clues;
  clues.container = ContainerOf(root);
  for (std::string_view field : {machine::kManufacturer, machine::kProduct}) {
    const findings::Fact& fact = system[field];
    if (!fact.Known()) continue;
    clues.firmwareNamesSystem = true;
    if (!clues.namedMachine)
      clues.namedMachine = decode::VirtualMachineNamedBy(fact.value.get<std::string>());
  }
  if (!clues.namedMachine) {
    if (auto bios = ReadMachineText(root, std::string(kDmiIdFolder) + "/bios_vendor")) {
      clues.namedMachine = decode::VirtualMachineNamedBy(*bios);
    }
  }
  if (!clues.namedMachine && ReadMachineText(root, "/sys/hypervisor/type") == "xen") {
    clues.namedMachine = "Xen";
  }
  clues.hypervisorFlag = cpu.topology.hypervisor;
  findings::Fact& virtualization = system[machine::kVirtualization];
  decode::TakeVirtualization(clues, virtualization);
  if (!virtualization.Known() && !clues.hypervisorFlag) {
    virtualization.misses = cpu.file.misses;
    if (cpu.file.misses.empty()) {
      virtualization.Miss(kCpuInfoPath, findings::SourceAnswer::SourceSays,
                          std::string(kCpuInfoPath) + " lists no processor flags");
    }
    virtualization.Miss({}, findings::SourceAnswer::SourceSays,
                        anyFirmware ? "the firmware names no system" : findings::kNoFirmwareTables);
  }
  return system;
}

findings::FactSet ReadProcessorFacts(const std::filesystem::path& root, const CpuInfoRead& cpu) {
  findings::FactSet processor;
  struct Count {
    std::string_view field, line;
    std::optional<std::int64_t> value;
  };
  for (const Count& count : {Count{machine::kPackages, "physical id", cpu.topology.packages},
                             Count{machine::kCores, "cpu cores", cpu.topology.cores},
                             Count{machine::kThreads, "siblings", cpu.topology.threads}}) {
    findings::Fact& fact = processor[count.field];
    if (count.value) {
      fact.Take(*count.value);
    } else if (!cpu.file.misses.empty()) {
      fact.misses = cpu.file.misses;
    } else {
      fact.Miss({}, findings::SourceAnswer::SourceSays,
                std::string(kCpuInfoPath) + " gives no " + std::string(count.line));
    }
  }
  if (processor[machine::kPackages].Known() && processor[machine::kCores].Known() &&
      processor[machine::kThreads].Known()) {
    return processor;
  }
  if (!MachineFileExists(root, kTablePath) && !MachineFileExists(root, kDmiIdFolder)) {
    for (std::string_view field : machine::kProcessorFields) {
      processor[field].Miss({}, findings::SourceAnswer::SourceSays, findings::kNoFirmwareTables);
    }
  } else if (std::optional<std::string> bytes = ReadMachineFile(root, kTablePath)) {
    decode::TakeSocketsFromTable(decode::ParseSmbiosIdentity(*bytes).sockets, processor);
  } else {
    for (std::string_view field : machine::kProcessorFields) {
      NoteUnread(root, kTablePath, processor[field]);
    }
  }
  return processor;
}

}  // namespace harnel::linux
