// The provider's thirty exported functions.

#include <cstdio>
#include <exception>
#include <new>

#include "harnel/current_core.h"
#include "harnel/schema.h"
#include "provider/provider.h"

namespace {

const harnel::RecordSchema& Schema(std::string_view key) { return *harnel::FindRecordSchema(key); }

// Memory running out passes to the caller, as any C++ function's would: the record being built
// is released on the way and nothing is held, so the caller's pointer stays null and there is
// nothing to Free. Giving "no record" instead would tell the host that the machine has no such
// device. Any other failure is no record, and is reported.
template <class Record>
void Hand(std::string_view key, Record** out) {
  if (out == nullptr) return;
  *out = nullptr;
  try {
    *out = static_cast<Record*>(harnel::CurrentCore().Hand(Schema(key)));
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "harnel: Get%.*s: %s; no record\n", static_cast<int>(key.size()),
                 key.data(), e.what());
  }
}

// Never throws: callers release records from destructors.
template <class Record>
void Take(std::string_view key, Record** in) {
  try {
    harnel::CurrentCore().Take(Schema(key), in == nullptr ? nullptr : *in);
  } catch (const std::exception& e) {
    // Only the report of a bad Free allocates; the release itself cannot fail.
    std::fprintf(stderr, "harnel: Free%.*s: %s\n", static_cast<int>(key.size()), key.data(),
                 e.what());
  }
}

}  // namespace

#define HARNEL_EXPORT_PAIR(Name, Record, title)                       \
  extern "C" void Get##Name(Record** record) { Hand(#Name, record); } \
  extern "C" void Free##Name(Record** record) { Take(#Name, record); }

HARNEL_RECORD_KINDS(HARNEL_EXPORT_PAIR)
