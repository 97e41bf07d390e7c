// The VideoadapterList reader on Linux: display controllers on the PCI bus.

#include "harnel/linux/videoadapter.h"

#include "harnel/decode/mode_name.h"
#include "harnel/decode/put_fields.h"
#include "harnel/decode/record_formats.h"
#include "harnel/decode/text_util.h"
#include "harnel/linux/drm.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/pci.h"
#include "harnel/linux/source_reasons.h"

namespace harnel::linux {
namespace {

constexpr std::uint8_t kDisplayClass = 0x03;
constexpr std::uint64_t kResourceMemory = 0x200;     // IORESOURCE_MEM
constexpr std::uint64_t kResourcePrefetch = 0x2000;  // IORESOURCE_PREFETCH
constexpr std::string_view kKernelReleasePath = "/proc/sys/kernel/osrelease";

// Cards with their own memory report it (amdgpu); elsewhere the aperture stands in.
std::optional<std::int64_t> MemoryMB(const std::filesystem::path& root, const std::string& folder) {
  if (auto vram = ReadMachineText(root, folder + "/mem_info_vram_total")) {
    if (auto bytes = decode::ParseUnsigned(*vram)) return static_cast<std::int64_t>(*bytes >> 20);
  }
  std::optional<std::string> resources = ReadMachineFile(root, folder + "/resource", 1 << 16);
  return resources ? ParseLargestPrefetchWindowMB(*resources) : std::nullopt;
}

// A module built outside the kernel carries its own version; one built with it has the
// kernel's release as its version.
std::optional<std::string> DriverVersion(const std::filesystem::path& root,
                                         const std::string& folder) {
  if (ReadMachineLink(root, folder + "/driver").empty()) return std::nullopt;
  if (auto version = ReadMachineText(root, folder + "/driver/module/version")) return version;
  return ReadMachineText(root, kKernelReleasePath);
}

// The first display's mode: the kernel lists the preferred mode first; the refresh rate comes
// from the display's own preferred timing when that is the same mode.
void ShowMode(nlohmann::json& node, const std::vector<DrmConnector>& displays) {
  if (displays.empty()) return;
  const DrmConnector& first = displays.front();
  std::optional<decode::DisplayMode> preferred =
      first.edid ? first.edid->preferredMode : std::nullopt;
  std::optional<decode::DisplayMode> mode =
      first.mode ? decode::ParseModeName(*first.mode) : preferred;
  if (!mode) return;
  if (preferred && decode::SameMode(*preferred, *mode)) mode->refreshHz = preferred->refreshHz;
  decode::PutText(node, "resolution", decode::FormatResolution(mode->width, mode->height));
  if (mode->refreshHz > 0) decode::PutInt(node, "refreshRateHz", mode->refreshHz);
}

}  // namespace

std::optional<std::int64_t> ParseLargestPrefetchWindowMB(std::string_view text) {
  std::uint64_t largest = 0;
  for (std::string_view line : decode::SplitLines(text)) {
    std::vector<std::string_view> words = decode::SplitWords(line);
    if (words.size() < 3) continue;
    auto start = decode::ParseUnsigned(words[0], 16), end = decode::ParseUnsigned(words[1], 16);
    auto flags = decode::ParseUnsigned(words[2], 16);
    if (!start || !end || !flags || *end <= *start) continue;
    if ((*flags & kResourceMemory) && (*flags & kResourcePrefetch)) {
      largest = std::max(largest, *end - *start + 1);
    }
  }
  if (largest == 0) return std::nullopt;
  return static_cast<std::int64_t>(largest >> 20);
}

nlohmann::json ProbeVideoadapterList(const std::filesystem::path& root, SourceFact& listing) {
  std::vector<PciDevice> devices = ReadPciDevices(root, &listing);
  DisposableJson list = nlohmann::json::array();
  std::optional<PciNames> names;
  for (const PciDevice& device : devices) {
    if (device.BaseClass() != kDisplayClass) continue;
    if (!names) names.emplace(PciNames::ForRoot(root, devices));
    const std::string folder = PciDeviceFolder(device);
    DisposableJson node = nlohmann::json::object();
    std::optional<std::string> model = names->Device(device.vendor, device.device);
    decode::PutText(node, "name", model ? model : names->Class(device.classCode));
    decode::PutText(node, "videoProcessor", model);
    decode::PutInt(node, "memoryMB", MemoryMB(root, folder));
    decode::PutText(node, "manufacturer", names->Vendor(device.vendor));
    ShowMode(node, ReadDeviceDisplays(root, folder));
    decode::PutText(node, "driverVersion", DriverVersion(root, folder));
    list.push_back(std::move(node));
  }
  return decode::ListOrNull(std::move(list));
}

void ExplainVideoadapterList(const SourceFact& listing, findings::Reasons& why) {
  why.Absent(WhyNoNode(listing, "no PCI display controller"));
  for (std::string_view field : {"name", "videoProcessor", "manufacturer"}) {
    why.EveryNode(field, kNamedByPciIds);
  }
  why.EveryNode("memoryMB", "no mem_info_vram_total and no prefetchable memory window");
  why.EveryNode("dacType", findings::kNotOnThisSystem);
  why.EveryNode("driverDate", findings::kNotOnThisSystem);
  why.EveryNode("driverVersion", "no driver bound to the device");
  why.EveryNode("resolution", "no display connected");
  why.EveryNode("refreshRateHz", "no display connected, or its timing gives no rate");
}

}  // namespace harnel::linux
