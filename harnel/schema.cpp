#include "harnel/schema.h"

#include <array>

#include "provider/provider.h"

namespace harnel {
namespace {

// The fields of `Record` as the records' readers and writers take them: by name and offset.
template <class Record>
constexpr auto ErasedFields() {
  const auto& typed = RecordFields<Record>::fields;
  std::array<FieldSchema, std::size(RecordFields<Record>::fields)> fields{};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fields[i] = {typed[i].name,
                 typed[i].text != nullptr ? FieldKind::FieldText : FieldKind::FieldInt32,
                 typed[i].offset};
  }
  return fields;
}

template <class Record>
constexpr auto kFields = ErasedFields<Record>();

template <class Record, void (*Get)(Record**)>
void* Fetch() {
  Record* record = nullptr;
  Get(&record);
  return record;
}

template <class Record, void (*Free)(Record**)>
void Release(void* record) {
  Record* held = static_cast<Record*>(record);
  Free(&held);
}

// A list's nodes are linked by their `next` field; a single record has none.
template <class Record, void (*Get)(Record**), void (*Free)(Record**)>
constexpr RecordSchema Describe(std::string_view title) {
  if constexpr (requires { &Record::next; }) {
    return {RecordFields<Record>::key,
            true,
            sizeof(Record),
            offsetof(Record, next),
            kFields<Record>,
            Fetch<Record, Get>,
            Release<Record, Free>,
            title};
  } else {
    return {
        RecordFields<Record>::key, false, sizeof(Record), 0, kFields<Record>, Fetch<Record, Get>,
        Release<Record, Free>,     title};
  }
}

#define HARNEL_DESCRIBE_KIND(Name, Record, title) Describe<Record, Get##Name, Free##Name>(title),
const RecordSchema kRecordSchemas[] = {HARNEL_RECORD_KINDS(HARNEL_DESCRIBE_KIND)};
#undef HARNEL_DESCRIBE_KIND
static_assert(std::size(kRecordSchemas) == kRecordKinds);

}  // namespace

std::span<const RecordSchema> RecordSchemas() { return kRecordSchemas; }

const RecordSchema* FindRecordSchema(std::string_view key) {
  for (const RecordSchema& schema : kRecordSchemas) {
    if (schema.key == key) return &schema;
  }
  return nullptr;
}

std::size_t RecordIndex(const RecordSchema& schema) {
  return static_cast<std::size_t>(&schema - kRecordSchemas);
}

}  // namespace harnel
