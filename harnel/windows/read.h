#pragma once
// The Windows readers' system calls: each gathers the raw data (raw_values.h) that its parser
// (parse.h) turns into a record. Nothing is written, started or waited for without bound, no
// COM apartment is set up and no thread is made; what a call cannot read is left out. Memory
// running out passes to the caller (std::bad_alloc), so the data is handed on as DisposableJson.

#include <string_view>

#include "harnel/disposable_json.h"
#include "harnel/schema.h"

namespace harnel::windows {

// The raw data of the record stored under the profile key `key`; null for unknown keys.
DisposableJson ReadWindowsRecord(std::string_view key);

// One reader per kind of record, named after its profile key, in read_<kind>.cpp:
//   DisposableJson ReadOS();
//   DisposableJson ReadStorageList();
// and so on for every kind the schema lists. The table of the kinds (kinds.cpp) pairs each with
// its parser.
#define HARNEL_WINDOWS_READER(Name, Record, title) DisposableJson Read##Name();
HARNEL_RECORD_KINDS(HARNEL_WINDOWS_READER)
#undef HARNEL_WINDOWS_READER

// The SMBIOS table as the firmware-table call hands it out: all that the firmware kinds' readers
// gather, and a part of what the processor's and the Machine key's do.
DisposableJson ReadSmbios();

}  // namespace harnel::windows
