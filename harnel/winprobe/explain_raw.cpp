#include "harnel/winprobe/explain_raw.h"

#include <array>
#include <string>

#include "harnel/probe/reasons_json.h"
#include "harnel/schema.h"
#include "harnel/winprobe/raw_values.h"

namespace harnel::winprobe {
namespace {

using probe::ExplainNodes;
using probe::kNoFirmwareTables;
using probe::NoValue;
using probe::Reasons;

constexpr std::string_view kFromDatabase = "the device database gives none";

// Why a text that the registry's version key should hold is not there.
std::string WhyNoRegistryValue(const nlohmann::json& key, std::string_view value) {
  const std::string name(value);
  return key.is_object() && key.contains(name) ? "the registry's " + name + " is empty"
                                               : "no " + name + " in the registry";
}

// The firmware table: none at all, or one without what was looked for.
std::string WhyNoFirmware(const nlohmann::json& raw) {
  return RawBytes(raw, "smbios").empty() ? std::string(kNoFirmwareTables)
                                         : "the firmware table gives none";
}

void ExplainOS(const nlohmann::json& raw, const nlohmann::json& record, Reasons& why) {
  const nlohmann::json& version = RawObject(raw, "CurrentVersion");
  struct FromVersion {
    std::string_view field, value;
  };
  constexpr std::array<FromVersion, 5> kFromVersion = {
      {{"osName", "ProductName"},
       {"osVersion", "CurrentBuildNumber"},
       {"servicePack", "CSDVersion"},
       {"registeredCompany", "RegisteredOrganization"},
       {"registeredUser", "RegisteredOwner"}}};
  for (const FromVersion& source : kFromVersion) {
    if (NoValue(record, source.field)) {
      why.Field(source.field, WhyNoRegistryValue(version, source.value));
    }
  }
  if (NoValue(record, "serialNumber")) {
    why.Field("serialNumber", WhyNoRegistryValue(version, "ProductId"));
  }
  why.Field("osDescription", "the server service has no computer description");
  why.Field("osType", "an unknown processor architecture");
  why.Field("computerName", "the system gives no computer name");
  why.Field("upTime", "the system gives no tick count");
}

void ExplainMemory(const nlohmann::json& raw, Reasons& why) {
  if (RawNumber(raw, "totalPhys")) why.Field("totalPageFileMB", "no paging file");
  why.Absent("the system's memory status gives no size");
}

void ExplainUserinfo(const nlohmann::json& raw, Reasons& why) {
  why.Field("currentUser", RawRows(raw, "sessions").empty() ? "no session" : "nobody is logged on");
  why.Field("lastUser", "no last logged-on user in the registry (LogonUI or Winlogon)");
  why.Field("domainName", "the machine has no DNS domain");
}

// Each list of devices: why there is none, and where a field of a device comes from.
struct DeviceList {
  std::string_view key, none, source;
};
constexpr std::array<DeviceList, 8> kDeviceLists = {{
    {"InputdeviceList", "no device of the Keyboard or Mouse class", kFromDatabase},
    {"ModemList", "no device of the Modem class", kFromDatabase},
    {"MonitorList", "no device of the Monitor class", kFromDatabase},
    {"NetworkadapterList", "no network adapter besides loopback", "the adapter gives none"},
    {"PrinterList", "no printer installed", "the print spooler gives none"},
    {"StorageList", "no disk drive or CD-ROM drive in the device database", kFromDatabase},
    {"SystemcontrollerList", "no controller besides network and display adapters", kFromDatabase},
    {"VideoadapterList", "no device of the Display class", kFromDatabase},
}};

void ExplainNodesOf(std::string_view key, const nlohmann::json& record, Reasons& why) {
  if (key == "NetworkadapterList") {
    ExplainNodes(
        record,
        {{"ipAddress", "no address on the adapter"}, {"subnetMask", "no address on the adapter"}},
        why);
  } else if (key == "VideoadapterList") {
    ExplainNodes(record,
                 {{"memoryMB", "the driver key gives no memory size"},
                  {"manufacturer", kFromDatabase},
                  {"driverVersion", "the driver key gives no version"},
                  {"driverDate", "the driver key gives no date"},
                  {"dacType", "the driver key gives no DAC type"},
                  {"resolution", "no display attached"},
                  {"refreshRateHz", "no display attached"}},
                 why);
  } else if (key == "StorageList") {
    ExplainNodes(record, {{"sizeMB", "the drive gives no size: no medium in it"}}, why);
  }
}

// Every field of every node that nothing more particular explains: from `source`.
void ExplainAllFields(std::string_view key, const nlohmann::json& record, std::string_view source,
                      Reasons& why) {
  const RecordSchema* schema = FindRecordSchema(key);
  const std::size_t nodes = record.is_array() ? record.size() : 1;
  for (std::size_t i = 0; i < nodes; ++i) {
    for (const FieldSchema& field : schema->fields) {
      if (why.FieldReason(i, field.name) == nullptr) why.Field(i, field.name, source);
    }
  }
}

}  // namespace

void ExplainWindowsRecord(std::string_view key, const nlohmann::json& raw,
                          const nlohmann::json& record, Reasons& why) {
  if (key == "OS") ExplainOS(raw, record, why);
  if (key == "Memory") ExplainMemory(raw, why);
  if (key == "Userinfo") ExplainUserinfo(raw, why);
  if (key == "Processor") {
    why.Field("slotName", WhyNoFirmware(raw));
    why.Absent("no processor in the registry or the firmware table");
  }
  // The firmware table's records: each field it leaves empty, it gives none of.
  if (key == "BIOS" || key == "SystemslotList" || key == "PhyMemoryList") {
    why.Absent(WhyNoFirmware(raw));
    ExplainAllFields(key, record, "the firmware table gives none", why);
  }
  ExplainNodesOf(key, record, why);
  for (const DeviceList& list : kDeviceLists) {
    if (list.key != key) continue;
    why.Absent(list.none);
    ExplainAllFields(key, record, list.source, why);
  }
}

}  // namespace harnel::winprobe
