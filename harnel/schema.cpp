#include "harnel/schema.h"

#include "provider/provider.h"

namespace harnel {
namespace {

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

// The record's shape with the provider's own Get and Free for it, type-erased.
template <class Record, void (*Get)(Record**), void (*Free)(Record**)>
constexpr RecordSchema WithFunctions() {
  RecordSchema schema = kRecordShape<Record>;
  schema.get = Fetch<Record, Get>;
  schema.release = Release<Record, Free>;
  return schema;
}

#define HARNEL_DESCRIBE_KIND(Name, Record, title) WithFunctions<Record, Get##Name, Free##Name>(),
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
