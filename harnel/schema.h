#pragma once
// The profile form of every record: which key holds it and where each field lies.
// Replay builds records from this table and capture writes them back from it, so the two
// cannot disagree. The readers of each system keep one table of their own in the same order.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>
#include <type_traits>

#include "base/text.h"
#include "provider/records.h"

namespace harnel {

enum class FieldKind { FieldText, FieldInt32 };

struct FieldSchema {
  std::string_view name;  // the key inside the record's JSON object
  FieldKind kind;
  std::size_t offset;
};

struct RecordSchema {
  std::string_view key;    // the profile key: the Get function's name without "Get"
  bool isList;             // an array of nodes linked by the field at nextOffset
  std::size_t size;        // sizeof the record or node
  std::size_t nextOffset;  // lists only
  std::span<const FieldSchema> fields;
  // The provider's own Get and Free for this record, type-erased: get() returns the record
  // or first node (null: none); release() gives it back.
  void* (*get)();
  void (*release)(void*);
};

// How many kinds of record there are; every table of them has this many rows, in the order
// of RecordSchemas().
inline constexpr std::size_t kRecordKinds = 15;

// The fifteen records in provider order: OS, BIOS, ..., PhyMemoryList.
std::span<const RecordSchema> RecordSchemas();

// The record stored under `key`; null for a key no record uses.
const RecordSchema* FindRecordSchema(std::string_view key);

// The place of `schema` in RecordSchemas(), which is its row in every table of the kinds.
std::size_t RecordIndex(const RecordSchema& schema);

// One field of the record type `Record`, typed: its profile name beside the member it names, so
// that code holding a member pointer (the library's pair and fill tables) finds the field by
// comparing members. Exactly one of `text` and `number` is set.
template <class Record>
struct RecordField {
  std::string_view name;
  const WChar* Record::*text;
  int32_t Record::*number;
  std::size_t offset;
};

// The profile key and the fields of `Record`, in record order, for each of the fifteen records:
// `key` and `fields`. RecordSchemas() is made of these.
template <class Record>
struct RecordFields;

#define HARNEL_TEXT(Record, field) \
  RecordField<Record> { #field, &Record::field, nullptr, offsetof(Record, field) }
#define HARNEL_INT32(Record, field) \
  RecordField<Record> { #field, nullptr, &Record::field, offsetof(Record, field) }
#define HARNEL_RECORD(Record, profileKey, ...)                     \
  template <>                                                      \
  struct RecordFields<Record> {                                    \
    static constexpr std::string_view key = profileKey;            \
    static constexpr RecordField<Record> fields[] = {__VA_ARGS__}; \
  }

HARNEL_RECORD(OSInfo, "OS", HARNEL_TEXT(OSInfo, osName), HARNEL_TEXT(OSInfo, osType),
              HARNEL_TEXT(OSInfo, osVersion), HARNEL_TEXT(OSInfo, servicePack),
              HARNEL_TEXT(OSInfo, osDescription), HARNEL_TEXT(OSInfo, registeredCompany),
              HARNEL_TEXT(OSInfo, registeredUser), HARNEL_TEXT(OSInfo, serialNumber),
              HARNEL_TEXT(OSInfo, computerName), HARNEL_TEXT(OSInfo, upTime));
HARNEL_RECORD(BIOSInfo, "BIOS", HARNEL_TEXT(BIOSInfo, boardManufacturer),
              HARNEL_TEXT(BIOSInfo, boardName), HARNEL_TEXT(BIOSInfo, boardSerialNumber),
              HARNEL_TEXT(BIOSInfo, machineType), HARNEL_TEXT(BIOSInfo, biosName),
              HARNEL_TEXT(BIOSInfo, biosManufacturer), HARNEL_TEXT(BIOSInfo, biosVersion),
              HARNEL_TEXT(BIOSInfo, biosReleaseDate));
HARNEL_RECORD(ProcessorInfo, "Processor", HARNEL_TEXT(ProcessorInfo, name),
              HARNEL_INT32(ProcessorInfo, maxClockSpeed), HARNEL_TEXT(ProcessorInfo, manufacturer),
              HARNEL_TEXT(ProcessorInfo, processorId), HARNEL_TEXT(ProcessorInfo, description),
              HARNEL_TEXT(ProcessorInfo, slotName), HARNEL_INT32(ProcessorInfo, l2CacheKB));
HARNEL_RECORD(MemoryInfo, "Memory", HARNEL_INT32(MemoryInfo, totalPhysicalMB),
              HARNEL_INT32(MemoryInfo, totalPageFileMB));
HARNEL_RECORD(UserInfo, "Userinfo", HARNEL_TEXT(UserInfo, currentUser),
              HARNEL_TEXT(UserInfo, lastUser), HARNEL_TEXT(UserInfo, domainName));
HARNEL_RECORD(InputdeviceNode, "InputdeviceList", HARNEL_TEXT(InputdeviceNode, caption),
              HARNEL_TEXT(InputdeviceNode, deviceType), HARNEL_TEXT(InputdeviceNode, manufacturer),
              HARNEL_TEXT(InputdeviceNode, description));
HARNEL_RECORD(ModemNode, "ModemList", HARNEL_TEXT(ModemNode, name),
              HARNEL_TEXT(ModemNode, deviceType));
// The spare field is the provider's own and stays null: profiles do not carry it.
HARNEL_RECORD(MonitorNode, "MonitorList", HARNEL_TEXT(MonitorNode, manufacturer),
              HARNEL_TEXT(MonitorNode, monitorType));
HARNEL_RECORD(NetworkadapterNode, "NetworkadapterList",
              HARNEL_TEXT(NetworkadapterNode, description),
              HARNEL_TEXT(NetworkadapterNode, adapterType),
              HARNEL_TEXT(NetworkadapterNode, macAddress),
              HARNEL_TEXT(NetworkadapterNode, ipAddress),
              HARNEL_TEXT(NetworkadapterNode, subnetMask));
HARNEL_RECORD(PrinterNode, "PrinterList", HARNEL_TEXT(PrinterNode, name),
              HARNEL_TEXT(PrinterNode, model), HARNEL_TEXT(PrinterNode, port));
HARNEL_RECORD(StorageNode, "StorageList", HARNEL_TEXT(StorageNode, name),
              HARNEL_TEXT(StorageNode, mediaType), HARNEL_TEXT(StorageNode, manufacturer),
              HARNEL_TEXT(StorageNode, model), HARNEL_INT32(StorageNode, sizeMB),
              HARNEL_TEXT(StorageNode, description));
HARNEL_RECORD(SystemcontrollerNode, "SystemcontrollerList", HARNEL_TEXT(SystemcontrollerNode, name),
              HARNEL_TEXT(SystemcontrollerNode, controllerType),
              HARNEL_TEXT(SystemcontrollerNode, manufacturer));
HARNEL_RECORD(SystemslotNode, "SystemslotList", HARNEL_TEXT(SystemslotNode, name),
              HARNEL_TEXT(SystemslotNode, smbiosString));
HARNEL_RECORD(VideoadapterNode, "VideoadapterList", HARNEL_TEXT(VideoadapterNode, name),
              HARNEL_TEXT(VideoadapterNode, videoProcessor),
              HARNEL_INT32(VideoadapterNode, memoryMB), HARNEL_TEXT(VideoadapterNode, manufacturer),
              HARNEL_TEXT(VideoadapterNode, dacType), HARNEL_INT32(VideoadapterNode, refreshRateHz),
              HARNEL_TEXT(VideoadapterNode, driverVersion),
              HARNEL_TEXT(VideoadapterNode, driverDate), HARNEL_TEXT(VideoadapterNode, resolution));
HARNEL_RECORD(PhyMemoryNode, "PhyMemoryList", HARNEL_TEXT(PhyMemoryNode, moduleName),
              HARNEL_TEXT(PhyMemoryNode, description), HARNEL_TEXT(PhyMemoryNode, deviceLocator),
              HARNEL_INT32(PhyMemoryNode, capacityMB), HARNEL_INT32(PhyMemoryNode, speedMHz),
              HARNEL_TEXT(PhyMemoryNode, manufacturer), HARNEL_INT32(PhyMemoryNode, dataWidth),
              HARNEL_TEXT(PhyMemoryNode, memoryType));

#undef HARNEL_RECORD
#undef HARNEL_TEXT
#undef HARNEL_INT32

// The schema of the records of type `Record`.
template <class Record>
const RecordSchema& SchemaOf() {
  return *FindRecordSchema(RecordFields<Record>::key);
}

// The place of `member` among the fields of `Record`; the size of the fields when no field is it.
template <class Record, class Member>
std::size_t FieldIndex(Member Record::*member) {
  const auto& fields = RecordFields<Record>::fields;
  for (std::size_t i = 0; i < std::size(fields); ++i) {
    if constexpr (std::is_same_v<Member, int32_t>) {
      if (fields[i].number != nullptr && fields[i].number == member) return i;
    } else {
      if (fields[i].text != nullptr && fields[i].text == member) return i;
    }
  }
  return std::size(fields);
}

}  // namespace harnel
