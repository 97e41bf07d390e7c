#pragma once
// The profile form of every record: which key holds it and where each field lies.
// Replay builds records from this table and capture writes them back from it, so the two
// cannot disagree. The readers of each system keep one table of their own in the same order.

#include <array>
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

#define HARNEL_TEXT(field) \
  RecordField<Record> { #field, &Record::field, nullptr, offsetof(Record, field) }
#define HARNEL_INT32(field) \
  RecordField<Record> { #field, nullptr, &Record::field, offsetof(Record, field) }
#define HARNEL_RECORD(Type, profileKey, ...)                       \
  template <>                                                      \
  struct RecordFields<Type> {                                      \
    using Record = Type;                                           \
    static constexpr std::string_view key = profileKey;            \
    static constexpr RecordField<Record> fields[] = {__VA_ARGS__}; \
  }

HARNEL_RECORD(OSInfo, "OS", HARNEL_TEXT(osName), HARNEL_TEXT(osType), HARNEL_TEXT(osVersion),
              HARNEL_TEXT(servicePack), HARNEL_TEXT(osDescription), HARNEL_TEXT(registeredCompany),
              HARNEL_TEXT(registeredUser), HARNEL_TEXT(serialNumber), HARNEL_TEXT(computerName),
              HARNEL_TEXT(upTime));
HARNEL_RECORD(BIOSInfo, "BIOS", HARNEL_TEXT(boardManufacturer), HARNEL_TEXT(boardName),
              HARNEL_TEXT(boardSerialNumber), HARNEL_TEXT(machineType), HARNEL_TEXT(biosName),
              HARNEL_TEXT(biosManufacturer), HARNEL_TEXT(biosVersion),
              HARNEL_TEXT(biosReleaseDate));
HARNEL_RECORD(ProcessorInfo, "Processor", HARNEL_TEXT(name), HARNEL_INT32(maxClockSpeed),
              HARNEL_TEXT(manufacturer), HARNEL_TEXT(processorId), HARNEL_TEXT(description),
              HARNEL_TEXT(slotName), HARNEL_INT32(l2CacheKB));
HARNEL_RECORD(MemoryInfo, "Memory", HARNEL_INT32(totalPhysicalMB), HARNEL_INT32(totalPageFileMB));
HARNEL_RECORD(UserInfo, "Userinfo", HARNEL_TEXT(currentUser), HARNEL_TEXT(lastUser),
              HARNEL_TEXT(domainName));
HARNEL_RECORD(InputdeviceNode, "InputdeviceList", HARNEL_TEXT(caption), HARNEL_TEXT(deviceType),
              HARNEL_TEXT(manufacturer), HARNEL_TEXT(description));
HARNEL_RECORD(ModemNode, "ModemList", HARNEL_TEXT(name), HARNEL_TEXT(deviceType));
// The spare field is the provider's own and stays null: profiles do not carry it.
HARNEL_RECORD(MonitorNode, "MonitorList", HARNEL_TEXT(manufacturer), HARNEL_TEXT(monitorType));
HARNEL_RECORD(NetworkadapterNode, "NetworkadapterList", HARNEL_TEXT(description),
              HARNEL_TEXT(adapterType), HARNEL_TEXT(macAddress), HARNEL_TEXT(ipAddress),
              HARNEL_TEXT(subnetMask));
HARNEL_RECORD(PrinterNode, "PrinterList", HARNEL_TEXT(name), HARNEL_TEXT(model), HARNEL_TEXT(port));
HARNEL_RECORD(StorageNode, "StorageList", HARNEL_TEXT(name), HARNEL_TEXT(mediaType),
              HARNEL_TEXT(manufacturer), HARNEL_TEXT(model), HARNEL_INT32(sizeMB),
              HARNEL_TEXT(description));
HARNEL_RECORD(SystemcontrollerNode, "SystemcontrollerList", HARNEL_TEXT(name),
              HARNEL_TEXT(controllerType), HARNEL_TEXT(manufacturer));
HARNEL_RECORD(SystemslotNode, "SystemslotList", HARNEL_TEXT(name), HARNEL_TEXT(smbiosString));
HARNEL_RECORD(VideoadapterNode, "VideoadapterList", HARNEL_TEXT(name), HARNEL_TEXT(videoProcessor),
              HARNEL_INT32(memoryMB), HARNEL_TEXT(manufacturer), HARNEL_TEXT(dacType),
              HARNEL_INT32(refreshRateHz), HARNEL_TEXT(driverVersion), HARNEL_TEXT(driverDate),
              HARNEL_TEXT(resolution));
HARNEL_RECORD(PhyMemoryNode, "PhyMemoryList", HARNEL_TEXT(moduleName), HARNEL_TEXT(description),
              HARNEL_TEXT(deviceLocator), HARNEL_INT32(capacityMB), HARNEL_INT32(speedMHz),
              HARNEL_TEXT(manufacturer), HARNEL_INT32(dataWidth), HARNEL_TEXT(memoryType));

#undef HARNEL_RECORD
#undef HARNEL_TEXT
#undef HARNEL_INT32

// The profile key of the records of type `Record` ("StorageList" for StorageNode), for tables
// that name a kind of record.
template <class Record>
inline constexpr std::string_view kProfileKey = RecordFields<Record>::key;

// The fields of `Record` as the records' readers and writers take them: by name and offset.
template <class Record>
inline constexpr auto kFieldSchemas = [] {
  const auto& typed = RecordFields<Record>::fields;
  std::array<FieldSchema, std::size(RecordFields<Record>::fields)> fields{};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fields[i] = {typed[i].name,
                 typed[i].text != nullptr ? FieldKind::FieldText : FieldKind::FieldInt32,
                 typed[i].offset};
  }
  return fields;
}();

// What `Record` is without the provider's functions (get and release are null): what a host
// needs to read and compare the records it is given as profile JSON, kept as data so that
// it calls nothing of the provider's.
template <class Record>
inline constexpr RecordSchema kRecordShape = [] {
  if constexpr (requires { &Record::next; }) {
    return RecordSchema{RecordFields<Record>::key, true,    sizeof(Record), offsetof(Record, next),
                        kFieldSchemas<Record>,     nullptr, nullptr};
  } else {
    return RecordSchema{RecordFields<Record>::key, false,   sizeof(Record), 0,
                        kFieldSchemas<Record>,     nullptr, nullptr};
  }
}();

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
