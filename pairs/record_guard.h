#pragma once
// Holds one provider record (or list) from its Get call to its matching Free call.

#include "provider/provider.h"

namespace velmora {

// Calls Get on construction and, when a record came, Free exactly once on destruction,
// so every path out of an export (exceptions included) releases what it was given. Free
// receives the variable that Get filled, which for a list still holds the first node.
template <class Record, void (*Get)(Record**), void (*Free)(Record**)>
class RecordGuard {
 public:
  RecordGuard() { Get(&record_); }
  ~RecordGuard() {
    if (record_ != nullptr) Free(&record_);
  }
  RecordGuard(const RecordGuard&) = delete;
  RecordGuard& operator=(const RecordGuard&) = delete;

  // The record or first node; null when the provider gave nothing.
  const Record* get() const { return record_; }
  explicit operator bool() const { return record_ != nullptr; }

 private:
  Record* record_ = nullptr;
};

}  // namespace velmora
