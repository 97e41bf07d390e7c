#pragma once
// The profile form of every record: which key holds it and where each field lies.
// Replay builds records from this table and capture writes them back from it, so the two
// cannot disagree.

#include <cstddef>
#include <span>
#include <string_view>

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

// The fifteen records in provider order: OS, BIOS, ..., PhyMemoryList.
std::span<const RecordSchema> RecordSchemas();

// The record stored under `key`; null for a key no record uses.
const RecordSchema* FindRecordSchema(std::string_view key);

}  // namespace harnel
