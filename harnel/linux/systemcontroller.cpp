// The SystemcontrollerList reader on Linux: the PCI functions no other list holds.

#include "harnel/linux/systemcontroller.h"

#include "harnel/decode/put_fields.h"
#include "harnel/linux/pci.h"
#include "harnel/linux/source_reasons.h"

namespace harnel::linux {
namespace {

constexpr std::uint8_t kNetworkClass = 0x02;
constexpr std::uint8_t kDisplayClass = 0x03;
constexpr std::uint16_t kModemSubclass = 0x0703;

}  // namespace

nlohmann::json ProbeSystemcontrollerList(const std::filesystem::path& root, SourceFact& listing) {
  std::vector<PciDevice> devices = ReadPciDevices(root, &listing);
  if (devices.empty()) return nullptr;
  const PciNames names = PciNames::ForRoot(root, devices);
  DisposableJson list = nlohmann::json::array();
  for (const PciDevice& device : devices) {
    if (device.BaseClass() == kNetworkClass || device.BaseClass() == kDisplayClass ||
        device.ClassAndSubclass() == kModemSubclass) {
      continue;
    }
    DisposableJson node = nlohmann::json::object();
    std::optional<std::string> type = names.Class(device.classCode);
    std::optional<std::string> model = names.Device(device.vendor, device.device);
    decode::PutText(node, "name", model ? model : type);
    decode::PutText(node, "controllerType", type);
    decode::PutText(node, "manufacturer", names.Vendor(device.vendor));
    list.push_back(std::move(node));
  }
  return decode::ListOrNull(std::move(list));
}

void ExplainSystemcontrollerList(const SourceFact& listing, findings::Reasons& why) {
  why.Absent(WhyNoNode(listing, "no PCI device besides network and display"));
  why.Otherwise(kNamedByPciIds);
}

}  // namespace harnel::linux
