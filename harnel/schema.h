#pragma once
// The one description of every kind of record: its place among the kinds, its profile key,
// its title and where each field lies. Replay builds records from it and capture writes them
// back from it, so the two cannot disagree; every other table of the kinds or of their fields
// names them by this description's keys and is checked against it when it compiles.

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
  std::string_view title = {};  // what the records of this kind are, for a heading
};

// Every kind of record in provider order, as X(Name, Record, title): the provider's functions
// are Get<Name> and Free<Name>, its profile key is "<Name>". This is the one list of the kinds;
// the code that needs each of them expands it, and the tables of each system's readers are
// checked against it row by row.
#define HARNEL_RECORD_KINDS(X)                                        \
  X(OS, OSInfo, "Operating system")                                   \
  X(BIOS, BIOSInfo, "Mainboard and BIOS")                             \
  X(Processor, ProcessorInfo, "Processor")                            \
  X(Memory, MemoryInfo, "Memory")                                     \
  X(Userinfo, UserInfo, "Users")                                      \
  X(InputdeviceList, InputdeviceNode, "Input devices")                \
  X(ModemList, ModemNode, "Modems")                                   \
  X(MonitorList, MonitorNode, "Monitors")                             \
  X(NetworkadapterList, NetworkadapterNode, "Network adapters")       \
  X(PrinterList, PrinterNode, "Printers")                             \
  X(StorageList, StorageNode, "Storage devices")                      \
  X(SystemcontrollerList, SystemcontrollerNode, "System controllers") \
  X(SystemslotList, SystemslotNode, "System slots")                   \
  X(VideoadapterList, VideoadapterNode, "Video adapters")             \
  X(PhyMemoryList, PhyMemoryNode, "Physical memory modules")

// The profile keys of the kinds, in provider order: the row order of every table of them.
#define HARNEL_KIND_KEY(Name, Record, title) std::string_view(#Name),
inline constexpr std::string_view kRecordKeys[] = {HARNEL_RECORD_KINDS(HARNEL_KIND_KEY)};
#undef HARNEL_KIND_KEY

// How many kinds of record there are; every table of them has this many rows, in the order
// of RecordSchemas().
inline constexpr std::size_t kRecordKinds = std::size(kRecordKeys);

// Calls `visit.template operator()<Record>()` for each record type in provider order; true when
// every call returned true (it stops at the first false).
template <class Visit>
constexpr bool EachRecordType(Visit&& visit) {
#define HARNEL_VISIT_KIND(Name, Record, title) &&visit.template operator()<Record>()
  return true HARNEL_RECORD_KINDS(HARNEL_VISIT_KIND);
#undef HARNEL_VISIT_KIND
}

// The place of the first row of `rows` (a table with a row per kind whose `kind` member is the
// kind's profile key) that does not hold the kind the schema has there, a missing or extra row
// included; kRecordKinds when every kind has its row in provider order. Each system's reader
// table is checked so, its rows being found by their place: a row out of place would read one
// kind for another. A failed check names the place in the compiler's note.
template <class Row, std::size_t N>
consteval std::size_t FirstRowOutOfPlace(const Row (&rows)[N]) {
  for (std::size_t i = 0; i < N && i < kRecordKinds; ++i) {
    if (rows[i].kind != kRecordKeys[i]) return i;
  }
  return N;
}

// The records in provider order, as HARNEL_RECORD_KINDS lists them.
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

// Each record's fields are described under the key its kind has in the list of kinds.
#define HARNEL_KEY_MATCHES(Name, Record, title) \
  static_assert(RecordFields<Record>::key == #Name, "a record's fields under another kind's key");
HARNEL_RECORD_KINDS(HARNEL_KEY_MATCHES)
#undef HARNEL_KEY_MATCHES

// The profile key of the records of type `Record` ("StorageList" for StorageNode), for tables
// that name a kind of record.
template <class Record>
inline constexpr std::string_view kProfileKey = RecordFields<Record>::key;

// Whether the record under the profile key `key` has a field `name` of its own; false for a key
// no record uses. Tables that name fields by their profile names are checked with it when they
// compile; it compares names only, never a pointer, so that it holds in a constant expression
// in the sanitized build too.
constexpr bool IsRecordField(std::string_view key, std::string_view name) {
  return !EachRecordType([&]<class Record>() {
    if (RecordFields<Record>::key != key) return true;
    for (const auto& field : RecordFields<Record>::fields) {
      if (field.name == name) return false;
    }
    return true;
  });
}

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
// The title the list of kinds gives the records of type `Record`.
template <class Record>
constexpr std::string_view TitleOf() {
  std::string_view title;
#define HARNEL_KIND_TITLE(Name, Kind, text) \
  if constexpr (std::is_same_v<Record, Kind>) title = text;
  HARNEL_RECORD_KINDS(HARNEL_KIND_TITLE)
#undef HARNEL_KIND_TITLE
  return title;
}

template <class Record>
inline constexpr RecordSchema kRecordShape = [] {
  if constexpr (requires { &Record::next; }) {
    return RecordSchema{RecordFields<Record>::key, true,    sizeof(Record), offsetof(Record, next),
                        kFieldSchemas<Record>,     nullptr, nullptr,        TitleOf<Record>()};
  } else {
    return RecordSchema{RecordFields<Record>::key, false,   sizeof(Record), 0,
                        kFieldSchemas<Record>,     nullptr, nullptr,        TitleOf<Record>()};
  }
}();

// The schema of the records of type `Record`.
template <class Record>
const RecordSchema& SchemaOf() {
  return *FindRecordSchema(RecordFields<Record>::key);
}

// The place of `member` among the fields of `Record`; the size of the fields when no field is it.
template <class Record, class Member>
constexpr std::size_t FieldIndex(Member Record::*member) {
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

// Whether a pair or fill row of `Record` (exactly one of `text` and `number` set) reads a field
// the schema describes. A member the profile does not carry, such as a provider's spare field,
// would show a value no profile can give.
template <class Record>
constexpr bool ReadsSchemaField(const WChar* Record::*text, int32_t Record::*number) {
  if ((text == nullptr) == (number == nullptr)) return false;
  const std::size_t field = text != nullptr ? FieldIndex(text) : FieldIndex(number);
  return field < std::size(RecordFields<Record>::fields);
}

// Whether every row of the pair or fill table `rows` reads a field the schema describes.
template <class Rows>
consteval bool RowsReadSchemaFields(const Rows& rows) {
  for (const auto& row : rows) {
    if (!ReadsSchemaField(row.text, row.number)) return false;
  }
  return true;
}

}  // namespace harnel
