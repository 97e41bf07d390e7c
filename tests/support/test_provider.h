#pragma once
// A provider for the tests: hands out records the test made and counts every call.

#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "harnel/record_json.h"
#include "provider/records.h"

namespace testprovider {

enum class Source {
  OS,
  BIOS,
  Processor,
  Memory,
  Userinfo,
  Inputdevice,
  Modem,
  Monitor,
  Networkadapter,
  Printer,
  Storage,
  Systemcontroller,
  Systemslot,
  Videoadapter,
  PhyMemory,
  Count
};

// What one Get/Free pair saw. `wrongFrees` counts Free calls that did not receive the
// variable Get filled (another pointer, or one already released).
struct SourceLog {
  const void* record = nullptr;
  int gets = 0;
  int frees = 0;
  int wrongFrees = 0;
  int held = 0;
};

// The log of one source; Provide() sets the record its Get hands out (null: none).
SourceLog& Log(Source source);
void Provide(Source source, const void* record);
// Forgets every record and zeroes every counter.
void Reset();

// The source that serves the machine-profile key `key` ("OS", "StorageList", ...).
Source SourceOf(std::string_view key);
// Builds the records of `profile` (a machine profile's top-level object) and provides each to
// its source; monitors get a spare value no reader could follow. The records live as long as
// the returned holders.
std::vector<harnel::HeldRecord> ProvideProfile(const nlohmann::json& profile);

}  // namespace testprovider
