// StorageNode's sources: the disk and CD-ROM drives in the device installation database, and
// what each drive answers to storage queries. The drive is opened without read or write
// access, which the queries need none of (no administrator rights either); an optical drive
// is not asked its size, since that would read the medium and may spin the drive up.

#include <windows.h>

#include <setupapi.h>
#include <winioctl.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "harnel/windows/device_database.h"
#include "harnel/windows/read.h"
#include "harnel/windows/unique_handle.h"

namespace harnel::windows {
namespace {

// GUID_DEVINTERFACE_DISK and GUID_DEVINTERFACE_CDROM.
constexpr GUID kDiskInterface = {
    0x53f56307, 0xb6bf, 0x11d0, {0x94, 0xf2, 0x00, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b}};
constexpr GUID kCdromInterface = {
    0x53f56308, 0xb6bf, 0x11d0, {0x94, 0xf2, 0x00, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b}};

struct FileTraits {
  using Handle = HANDLE;
  static bool IsValid(HANDLE file) { return file != INVALID_HANDLE_VALUE; }
  static void Release(HANDLE file) { CloseHandle(file); }
};
using File = UniqueHandle<FileTraits>;

// Fills `out` from the control code `code`; false when the device does not answer it with at
// least `minimum` bytes.
template <class Out>
bool Control(const File& device, DWORD code, const void* in, DWORD inSize, Out& out,
             DWORD minimum = sizeof(Out)) {
  DWORD got = 0;
  return DeviceIoControl(device.get(), code, const_cast<void*>(in), inSize, &out, sizeof out, &got,
                         nullptr) &&
         got >= minimum;
}

// The text at `offset` of the descriptor `bytes`, up to its NUL; none for offset 0 (the drive
// gives none) or past the descriptor.
void PutDescriptorText(nlohmann::json& row, const char* name, std::string_view bytes,
                       DWORD offset) {
  if (offset == 0 || offset >= bytes.size()) return;
  std::string_view text = bytes.substr(offset);
  text = text.substr(0, text.find('\0'));
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (!text.empty()) row[name] = std::string(text);
}

void AddStorageFacts(nlohmann::json& row, const wchar_t* path, bool optical) {
  const File drive(
      CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!drive.IsOpen()) return;
  STORAGE_DEVICE_NUMBER number{};
  if (Control(drive, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, number)) {
    row["deviceNumber"] = number.DeviceNumber;
  }
  STORAGE_PROPERTY_QUERY query{};
  query.PropertyId = StorageDeviceProperty;
  query.QueryType = PropertyStandardQuery;
  // Room for the texts that follow the descriptor: some drivers fail a query that cannot
  // take them all.
  struct {
    STORAGE_DEVICE_DESCRIPTOR header;
    BYTE texts[1024];
  } descriptor{};
  if (Control(drive, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, descriptor,
              offsetof(STORAGE_DEVICE_DESCRIPTOR, RawPropertiesLength))) {
    row["busType"] = static_cast<unsigned>(descriptor.header.BusType);
    row["removable"] = descriptor.header.RemovableMedia != 0;
    const std::string_view bytes(reinterpret_cast<const char*>(&descriptor),
                                 std::min<std::size_t>(descriptor.header.Size, sizeof descriptor));
    PutDescriptorText(row, "serialNumber", bytes, descriptor.header.SerialNumberOffset);
    PutDescriptorText(row, "productRevision", bytes, descriptor.header.ProductRevisionOffset);
  }
  DISK_GEOMETRY geometry{};
  if (!optical && Control(drive, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, geometry)) {
    DisposableJson shape = nlohmann::json::object();
    shape["cylinders"] = static_cast<std::uint64_t>(geometry.Cylinders.QuadPart);
    shape["tracksPerCylinder"] = geometry.TracksPerCylinder;
    shape["sectorsPerTrack"] = geometry.SectorsPerTrack;
    shape["bytesPerSector"] = geometry.BytesPerSector;
    PutJson(row, "geometry", std::move(shape));
  }
}

// A row for every present drive that offers the device interface `interfaceClass`.
void AddDrives(const GUID& interfaceClass, bool optical, nlohmann::json& rows) {
  const DeviceSet set(SetupDiGetClassDevsW(&interfaceClass, nullptr, nullptr,
                                           DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!set.IsOpen()) return;
  SP_DEVICE_INTERFACE_DATA drive{};
  drive.cbSize = sizeof drive;
  for (DWORD index = 0;
       SetupDiEnumDeviceInterfaces(set.get(), nullptr, &interfaceClass, index, &drive); ++index) {
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailW(set.get(), &drive, nullptr, 0, &required, nullptr);
    // Whole 8-byte units keep the detail aligned.
    std::vector<ULONGLONG> buffer(required / sizeof(ULONGLONG) + 1);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiGetDeviceInterfaceDetailW(set.get(), &drive, detail,
                                          static_cast<DWORD>(buffer.size() * sizeof(ULONGLONG)),
                                          nullptr, &device)) {
      continue;
    }
    DisposableJson row = DeviceRow(set.get(), device, {}, {});
    AddStorageFacts(row, detail->DevicePath, optical);
    rows.push_back(std::move(row));
  }
}

}  // namespace

DisposableJson ReadStorageList() {
  DisposableJson rows = nlohmann::json::array();
  AddDrives(kDiskInterface, false, rows);
  AddDrives(kCdromInterface, true, rows);
  DisposableJson raw = nlohmann::json::object();
  PutJson(raw, "devices", std::move(rows));
  return raw;
}

}  // namespace harnel::windows
