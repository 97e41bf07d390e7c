#pragma once
// Building records from their profile form and writing them back to it.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/text.h"
#include "harnel/schema.h"

namespace harnel {

// The memory of one handed-out record or list: its nodes and every string they point to.
// Move-only; everything stays where it is until the HeldRecord is destroyed.
class HeldRecord {
 public:
  // The record or first node; null when the profile had none.
  void* first() const { return nodes_.empty() ? nullptr : nodes_.front().get(); }

 private:
  friend HeldRecord BuildRecord(const RecordSchema&, const nlohmann::json&);
  std::vector<std::unique_ptr<std::byte[]>> nodes_;
  std::vector<std::unique_ptr<WChar[]>> strings_;
};

// Why `value` cannot stand under `schema.key` in a profile ("StorageList[1].sizeMB: ...");
// empty when it can. Null, an empty list and unknown keys are fine.
std::string CheckRecordJson(const RecordSchema& schema, const nlohmann::json& value);

// The record or list `value` describes; `value` must have passed CheckRecordJson. Absent or
// null text fields stay null pointers, absent integers are 0.
HeldRecord BuildRecord(const RecordSchema& schema, const nlohmann::json& value);

// The profile form of a record or list laid out as `schema` says: every field in table
// order, a null text as null; null when `first` is null.
nlohmann::ordered_json RecordToJson(const RecordSchema& schema, const void* first);

}  // namespace harnel
