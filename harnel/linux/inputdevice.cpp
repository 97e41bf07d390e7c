// The InputdeviceList reader on Linux: keyboards and pointing devices the kernel lists.

#include "harnel/linux/inputdevice.h"

#include <array>

#include "harnel/decode/put_fields.h"
#include "harnel/decode/text_util.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/source_reasons.h"

namespace harnel::linux {
namespace {

constexpr std::string_view kInputDevicesPath = "/proc/bus/input/devices";
constexpr std::uint64_t kEventRepeatBit = std::uint64_t{1} << 20;  // EV_REP
// How far up from the input node a USB or Bluetooth device's own attributes sit.
constexpr int kParentLevels = 6;

struct BusName {
  std::uint32_t bus;
  std::string_view name;
};
constexpr std::array<BusName, 7> kBusNames = {{{0x03, "USB"},
                                               {0x05, "Bluetooth"},
                                               {0x06, "Virtual"},
                                               {0x11, "PS/2"},
                                               {0x18, "I2C"},
                                               {0x19, "Built-in"},
                                               {0x1C, "SPI"}}};

std::string_view BusText(std::uint32_t bus) {
  for (const BusName& entry : kBusNames) {
    if (entry.bus == bus) return entry.name;
  }
  return {};
}

std::optional<std::string> Description(const InputDevice& device) {
  std::string kind = device.deviceType == "Keyboard" ? "keyboard" : "pointing device";
  std::string_view bus = BusText(device.bus);
  if (bus.empty()) return "Input " + kind;
  return std::string(bus) + " " + kind;
}

// The manufacturer string of the nearest parent device that has one (USB devices do).
std::optional<std::string> Manufacturer(const std::filesystem::path& root,
                                        std::string_view sysfsPath) {
  if (sysfsPath.empty()) return std::nullopt;
  std::filesystem::path folder = std::filesystem::path("/sys") / sysfsPath.substr(1);
  for (int level = 0; level < kParentLevels && folder.has_relative_path(); ++level) {
    if (auto text = ReadMachineText(root, (folder / "manufacturer").string())) return text;
    folder = folder.parent_path();
  }
  return std::nullopt;
}

void Classify(InputDevice& device, std::string_view handlers, std::uint64_t events) {
  bool keyboard = false, mouse = false;
  for (std::string_view handler : decode::SplitWords(handlers)) {
    keyboard = keyboard || handler == "kbd";
    mouse = mouse || decode::StartsWith(handler, "mouse");
  }
  if (mouse) {
    device.deviceType = "Pointing";
  } else if (keyboard && (events & kEventRepeatBit)) {
    device.deviceType = "Keyboard";
  }
}

}  // namespace

std::vector<InputDevice> ParseInputDevices(std::string_view text) {
  std::vector<InputDevice> devices;
  InputDevice current;
  std::string_view handlers;
  std::uint64_t events = 0;
  bool open = false;
  auto finish = [&] {
    if (open) {
      Classify(current, handlers, events);
      if (!current.deviceType.empty()) devices.push_back(current);
    }
    current = InputDevice{};
    handlers = {};
    events = 0;
    open = false;
  };
  for (std::string_view line : decode::SplitLines(text)) {
    if (decode::Trim(line).empty()) {
      finish();
      continue;
    }
    if (line.size() < 3 || line[1] != ':') continue;
    open = true;
    const std::string_view body = decode::Trim(line.substr(2));
    switch (line[0]) {
      case 'I':
        for (std::string_view word : decode::SplitWords(body)) {
          if (decode::StartsWith(word, "Bus=")) {
            current.bus =
                static_cast<std::uint32_t>(decode::ParseUnsigned(word.substr(4), 16).value_or(0));
          }
        }
        break;
      case 'N':
        if (decode::StartsWith(body, "Name=")) {
          std::string_view name = body.substr(5);
          if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
            name = name.substr(1, name.size() - 2);
          }
          current.name = std::string(name);
        }
        break;
      case 'S':
        if (decode::StartsWith(body, "Sysfs=")) current.sysfsPath = std::string(body.substr(6));
        break;
      case 'H':
        if (decode::StartsWith(body, "Handlers=")) handlers = body.substr(9);
        break;
      case 'B':
        if (decode::StartsWith(body, "EV="))
          events = decode::ParseUnsigned(body.substr(3), 16).value_or(0);
        break;
      default:
        break;
    }
  }
  finish();
  return devices;
}

nlohmann::json ProbeInputdeviceList(const std::filesystem::path& root, SourceFact& devices) {
  const std::optional<std::string> text =
      ReadMachineFile(root, kInputDevicesPath, std::size_t{1} << 22, &devices);
  if (!text) return nullptr;
  DisposableJson list = nlohmann::json::array();
  for (const InputDevice& device : ParseInputDevices(*text)) {
    DisposableJson node = nlohmann::json::object();
    decode::PutText(node, "caption", device.name);
    decode::PutText(node, "deviceType", device.deviceType);
    decode::PutText(node, "manufacturer", Manufacturer(root, device.sysfsPath));
    decode::PutText(node, "description", Description(device));
    list.push_back(std::move(node));
  }
  return decode::ListOrNull(std::move(list));
}

void ExplainInputdeviceList(const SourceFact& devices, findings::Reasons& why) {
  why.Absent(devices.read ? devices.path + " lists no keyboard or pointing device"
                          : WhyUnread(devices));
  why.EveryNode("manufacturer", "no manufacturer attribute (only USB devices have one)");
  why.EveryNode("description", "the kernel gives no bus or handler for it");
}

}  // namespace harnel::linux
