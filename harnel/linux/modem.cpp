// The ModemList reader on Linux: modems the kernel knows as such.

#include "harnel/linux/modem.h"

#include "harnel/decode/put_fields.h"
#include "harnel/decode/text_util.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/pci.h"
#include "harnel/linux/source_reasons.h"

namespace harnel::linux {
namespace {

constexpr std::uint16_t kModemSubclass = 0x0703;
constexpr std::string_view kTtyClassFolder = "/sys/class/tty";
// USB communication class, abstract control model; protocols 1 to 6 are AT command sets.
constexpr std::uint64_t kCommunicationClass = 0x02;
constexpr std::uint64_t kAbstractControlSubclass = 0x02;
constexpr std::uint64_t kFirstAtProtocol = 1, kLastAtProtocol = 6;

void AddPciModems(const std::filesystem::path& root, nlohmann::json& list, SourceFact& folder) {
  const std::vector<PciDevice> devices = ReadPciDevices(root, &folder);
  std::optional<PciNames> names;
  for (const PciDevice& device : devices) {
    if (device.ClassAndSubclass() != kModemSubclass) continue;
    if (!names) names.emplace(PciNames::ForRoot(root, devices));
    DisposableJson node = nlohmann::json::object();
    decode::PutText(node, "name", names->Device(device.vendor, device.device));
    decode::PutText(node, "deviceType", std::string("Internal Modem"));
    list.push_back(std::move(node));
  }
}

std::optional<std::uint64_t> HexAt(const std::filesystem::path& root, const std::string& path) {
  std::optional<std::string> text = ReadMachineText(root, path);
  return text ? decode::ParseUnsigned(*text, 16) : std::nullopt;
}

void AddUsbModems(const std::filesystem::path& root, nlohmann::json& list, SourceFact& folder) {
  for (const std::string& tty : ListMachineDir(root, kTtyClassFolder, &folder)) {
    if (!decode::StartsWith(tty, "ttyACM")) continue;
    // device: the USB interface; its parent folder is the USB device with the product name.
    const std::string interface = std::string(kTtyClassFolder) + "/" + tty + "/device";
    if (HexAt(root, interface + "/bInterfaceClass") != kCommunicationClass ||
        HexAt(root, interface + "/bInterfaceSubClass") != kAbstractControlSubclass) {
      continue;
    }
    std::optional<std::uint64_t> protocol = HexAt(root, interface + "/bInterfaceProtocol");
    if (!protocol || *protocol < kFirstAtProtocol || *protocol > kLastAtProtocol) continue;
    DisposableJson node = nlohmann::json::object();
    decode::PutText(node, "name", ReadMachineText(root, interface + "/../product"));
    decode::PutText(node, "deviceType", std::string("External Modem"));
    list.push_back(std::move(node));
  }
}

}  // namespace

nlohmann::json ProbeModemList(const std::filesystem::path& root, SourceFact& folders) {
  DisposableJson list = nlohmann::json::array();
  SourceFact pci, tty;
  AddPciModems(root, list, pci);
  AddUsbModems(root, list, tty);
  folders.Candidate(std::move(pci));
  folders.Candidate(std::move(tty));
  return decode::ListOrNull(std::move(list));
}

void ExplainModemList(const SourceFact& folders, findings::Reasons& why) {
  why.Absent(WhyNoNode(folders, "no PCI modem and no USB modem that takes AT commands"));
}

}  // namespace harnel::linux
