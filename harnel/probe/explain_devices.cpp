// Why the lists of devices are missing, and why their devices lack a value.

#include "harnel/probe/explainers.h"
#include "harnel/probe/machine_files.h"
#include "harnel/probe/reasons_json.h"
#include "harnel/probe/source_reasons.h"

namespace harnel::probe {
namespace {

constexpr std::string_view kPciFolder = "/sys/bus/pci/devices";
constexpr std::string_view kInputDevices = "/proc/bus/input/devices";
constexpr std::string_view kNamedByPciIds = "pci.ids does not name it";

// No list: the reason when its folder is not there, else `none` (the folder lists no such
// device).
void AbsentUnless(const std::filesystem::path& root, const nlohmann::json& record,
                  std::string_view folder, std::string_view none, Reasons& why) {
  if (!record.is_null()) return;
  why.Absent(MachineFileExists(root, folder) ? std::string(none) : WhyUnread(root, folder));
}

}  // namespace

void ExplainInputdeviceList(const std::filesystem::path& root, const nlohmann::json& record,
                            Reasons& why) {
  if (record.is_null()) {
    why.Absent(ReadMachineFile(root, kInputDevices, 1)
                   ? std::string(kInputDevices) + " lists no keyboard or pointing device"
                   : WhyUnread(root, kInputDevices));
  }
  ExplainNodes(record,
               {{"manufacturer", "no manufacturer attribute (only USB devices have one)"},
                {"description", "the kernel gives no bus or handler for it"}},
               why);
}

void ExplainModemList(const std::filesystem::path& root, const nlohmann::json& record,
                      Reasons& why) {
  if (!record.is_null()) return;
  if (!MachineFileExists(root, kPciFolder) && !MachineFileExists(root, "/sys/class/tty")) {
    why.Absent("no /sys/bus/pci/devices or /sys/class/tty");
  } else {
    why.Absent("no PCI modem and no USB modem that takes AT commands");
  }
}

void ExplainMonitorList(const std::filesystem::path& root, const nlohmann::json& record,
                        Reasons& why) {
  AbsentUnless(root, record, "/sys/class/drm", "no display connected", why);
  ExplainNodes(record,
               {{"manufacturer", "the display gives no EDID"},
                {"monitorType", "the display's EDID gives no name"}},
               why);
}

void ExplainNetworkadapterList(const std::filesystem::path& root, const nlohmann::json& record,
                               Reasons& why) {
  AbsentUnless(root, record, "/sys/class/net",
               "no adapter with a device behind it (only virtual interfaces)", why);
  // The interface address list is the running machine's: a root that stands for another
  // machine has none of its own.
  const std::string_view noAddress = IsLiveRoot(root)
                                         ? "no IPv4 or IPv6 address on the interface"
                                         : "addresses are read only from the running machine";
  ExplainNodes(record,
               {{"ipAddress", noAddress},
                {"subnetMask", noAddress},
                {"description", kNamedByPciIds},
                {"macAddress", "the interface gives none"}},
               why);
}

void ExplainPrinterList(const std::filesystem::path& root, const nlohmann::json& record,
                        Reasons& why) {
  if (record.is_null()) {
    const bool socket = MachineFileExists(root, "/run/cups/cups.sock") ||
                        MachineFileExists(root, "/var/run/cups/cups.sock");
    why.Absent(socket ? "the CUPS scheduler lists no printer, or libcups is not installed"
                      : "no CUPS scheduler: no /run/cups/cups.sock or /var/run/cups/cups.sock");
  }
  ExplainNodes(record,
               {{"model", "the scheduler gives no make and model"},
                {"port", "the scheduler gives no device URI"}},
               why);
}

void ExplainStorageList(const std::filesystem::path& root, const nlohmann::json& record,
                        Reasons& why) {
  AbsentUnless(root, record, "/sys/block", "no disk or drive in /sys/block", why);
  ExplainNodes(record,
               {{"manufacturer", "the disk names no vendor beyond its bus, and pci.ids none"},
                {"model", "the disk gives no model"},
                {"sizeMB", "the drive gives no size: no medium in it"}},
               why);
}

void ExplainSystemcontrollerList(const std::filesystem::path& root, const nlohmann::json& record,
                                 Reasons& why) {
  AbsentUnless(root, record, kPciFolder, "no PCI device besides network and display", why);
  ExplainNodes(record,
               {{"name", kNamedByPciIds},
                {"controllerType", kNamedByPciIds},
                {"manufacturer", kNamedByPciIds}},
               why);
}

void ExplainVideoadapterList(const std::filesystem::path& root, const nlohmann::json& record,
                             Reasons& why) {
  AbsentUnless(root, record, kPciFolder, "no PCI display controller", why);
  ExplainNodes(record,
               {{"name", kNamedByPciIds},
                {"videoProcessor", kNamedByPciIds},
                {"manufacturer", kNamedByPciIds},
                {"memoryMB", "no mem_info_vram_total and no prefetchable memory window"},
                {"dacType", kNotOnThisSystem},
                {"driverDate", kNotOnThisSystem},
                {"driverVersion", "no driver bound to the device"},
                {"resolution", "no display connected"},
                {"refreshRateHz", "no display connected, or its timing gives no rate"}},
               why);
}

}  // namespace harnel::probe
