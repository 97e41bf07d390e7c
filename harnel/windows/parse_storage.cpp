// StorageNode from the disk and CD-ROM drives in the device installation database and what
// each drive answers to storage queries.

#include <array>

#include "harnel/decode/put_fields.h"
#include "harnel/decode/record_formats.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/raw_values.h"

namespace harnel::windows {
namespace {

struct Bus {
  std::uint64_t busType;  // STORAGE_BUS_TYPE
  std::string_view description;
};
constexpr std::array<Bus, 12> kBuses = {{
    {1, "SCSI disk drive"},
    {3, "IDE disk drive"},
    {7, "USB disk drive"},
    {8, "RAID disk drive"},
    {9, "iSCSI disk drive"},
    {10, "SAS disk drive"},
    {11, "SATA disk drive"},
    {12, "MMC/SD card"},
    {13, "MMC/SD card"},
    {14, "Virtual disk drive"},
    {15, "Virtual disk drive"},
    {17, "NVMe disk drive"},
}};

bool IsOptical(const nlohmann::json& drive) { return RawText(drive, "Class") == "CDROM"; }

// The device name programs open: "\\.\PHYSICALDRIVE0", "\\.\CDROM0".
std::optional<std::string> DriveName(const nlohmann::json& drive) {
  std::optional<std::uint64_t> number = RawNumber(drive, "deviceNumber");
  if (!number) return std::nullopt;
  return (IsOptical(drive) ? "\\\\.\\CDROM" : "\\\\.\\PHYSICALDRIVE") + std::to_string(*number);
}

// As the disk-drive class computes a size: from the geometry, whole cylinders only.
std::optional<std::int64_t> SizeMB(const nlohmann::json& geometry) {
  std::uint64_t bytes = 1;
  for (const char* name : {"cylinders", "tracksPerCylinder", "sectorsPerTrack", "bytesPerSector"}) {
    std::optional<std::uint64_t> factor = RawNumber(geometry, name);
    if (!factor) return std::nullopt;
    bytes *= *factor;
  }
  return static_cast<std::int64_t>(bytes >> 20);
}

std::string Description(const nlohmann::json& drive) {
  if (IsOptical(drive)) return "CD-ROM drive";
  const std::optional<std::uint64_t> busType = RawNumber(drive, "busType");
  for (const Bus& bus : kBuses) {
    if (busType == bus.busType) return std::string(bus.description);
  }
  return "Disk drive";
}

}  // namespace

nlohmann::json ParseStorageList(const nlohmann::json& raw) {
  DisposableJson list = nlohmann::json::array();
  for (const nlohmann::json& drive : RawRows(raw, "devices")) {
    DisposableJson node = nlohmann::json::object();
    decode::PutText(node, "name", DriveName(drive));
    decode::PutText(node, "mediaType",
                    decode::MediaTypeText(IsOptical(drive), RawFlag(drive, "removable")));
    decode::PutText(node, "manufacturer", RawText(drive, "Mfg"));
    decode::PutText(node, "model", DeviceName(drive));
    decode::PutInt(node, "sizeMB", SizeMB(RawObject(drive, "geometry")));
    decode::PutText(node, "description", Description(drive));
    list.push_back(std::move(node));
  }
  return decode::ListOrNull(std::move(list));
}

void ExplainStorageList(const nlohmann::json& /*raw*/, findings::Reasons& why) {
  why.Absent("no disk drive or CD-ROM drive in the device database");
  why.EveryNode("sizeMB", "the drive gives no size: no medium in it");
  why.Otherwise(kFromDatabase);
}

}  // namespace harnel::windows
