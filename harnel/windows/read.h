#pragma once
// The Windows readers' system calls: each gathers the raw data (raw_values.h) that its parser
// (parse.h) turns into a record. Nothing is written, started or waited for without bound, no
// COM apartment is set up and no thread is made; what a call cannot read is left out. Memory
// running out passes to the caller (std::bad_alloc), so the data is handed on as DisposableJson.

#include <string_view>

#include "harnel/disposable_json.h"

namespace harnel::windows {

// The raw data of the record stored under the profile key `key`; null for unknown keys.
DisposableJson ReadWindowsRecord(std::string_view key);

// One reader per record kind, as the table of the kinds (kinds.cpp) pairs them with their
// parsers.
DisposableJson ReadOS();
DisposableJson ReadSmbios();  // BIOS, SystemslotList and PhyMemoryList
DisposableJson ReadProcessor();
DisposableJson ReadMemory();
DisposableJson ReadUserinfo();
DisposableJson ReadInputdeviceList();
DisposableJson ReadModemList();
DisposableJson ReadMonitorList();
DisposableJson ReadNetworkadapterList();
DisposableJson ReadPrinterList();
DisposableJson ReadStorageList();
DisposableJson ReadSystemcontrollerList();
DisposableJson ReadVideoadapterList();

}  // namespace harnel::windows
