// Listing the displays on the graphics connectors in /sys/class/drm, with their EDID.

#include "harnel/linux/drm.h"

#include "harnel/decode/text_util.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {
namespace {

constexpr std::string_view kDrmClassFolder = "/sys/class/drm";
constexpr std::size_t kEdidLimit = 32768;

bool IsConnectorName(std::string_view name) {
  return decode::StartsWith(name, "card") && name.find('-') != std::string_view::npos;
}

std::optional<DrmConnector> ReadConnector(const std::filesystem::path& root,
                                          const std::string& folder, const std::string& name) {
  if (ReadMachineText(root, folder + "/status") != "connected") return std::nullopt;
  DrmConnector connector;
  connector.name = name;
  if (auto modes = ReadMachineFile(root, folder + "/modes", 1 << 16)) {
    std::vector<std::string_view> lines = decode::SplitLines(*modes);
    if (!lines.empty() && !decode::Trim(lines.front()).empty()) {
      connector.mode = std::string(decode::Trim(lines.front()));
    }
  }
  if (auto bytes = ReadMachineFile(root, folder + "/edid", kEdidLimit)) {
    connector.edid = decode::ParseEdid(*bytes);
  }
  return connector;
}

}  // namespace

std::vector<DrmConnector> ReadConnectedDisplays(const std::filesystem::path& root,
                                                SourceFact* listing) {
  std::vector<DrmConnector> connectors;
  for (const std::string& name : ListMachineDir(root, kDrmClassFolder, listing)) {
    if (!IsConnectorName(name)) continue;
    const std::string folder = std::string(kDrmClassFolder) + "/" + name;
    if (auto connector = ReadConnector(root, folder, name)) connectors.push_back(*connector);
  }
  return connectors;
}

std::vector<DrmConnector> ReadDeviceDisplays(const std::filesystem::path& root,
                                             const std::string& deviceFolder) {
  std::vector<DrmConnector> connectors;
  const std::string drmFolder = deviceFolder + "/drm";
  for (const std::string& card : ListMachineDir(root, drmFolder)) {
    if (!decode::StartsWith(card, "card") || IsConnectorName(card)) continue;
    const std::string cardFolder = drmFolder + "/" + card;
    for (const std::string& name : ListMachineDir(root, cardFolder)) {
      if (!IsConnectorName(name)) continue;
      if (auto connector = ReadConnector(root, cardFolder + "/" + name, name)) {
        connectors.push_back(*connector);
      }
    }
  }
  return connectors;
}

}  // namespace harnel::linux
