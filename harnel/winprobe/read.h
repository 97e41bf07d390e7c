#pragma once
// The Windows readers' system calls: each gathers the raw data (raw_values.h) that its parser
// (parse.h) turns into a record. Nothing is written, started or waited for without bound, no
// COM apartment is set up and no thread is made; what a call cannot read is left out.

#include <string_view>

#include <nlohmann/json.hpp>

namespace harnel::winprobe {

// The raw data of the record stored under the profile key `key`; null for unknown keys.
nlohmann::json ReadWindowsRecord(std::string_view key);

// One reader per record kind, as ReadWindowsRecord dispatches them.
nlohmann::json ReadOS();
nlohmann::json ReadSmbios();  // BIOS, SystemslotList and PhyMemoryList
nlohmann::json ReadProcessor();
nlohmann::json ReadMemory();
nlohmann::json ReadUserinfo();
nlohmann::json ReadInputdeviceList();
nlohmann::json ReadModemList();
nlohmann::json ReadMonitorList();
nlohmann::json ReadNetworkadapterList();
nlohmann::json ReadPrinterList();
nlohmann::json ReadStorageList();
nlohmann::json ReadSystemcontrollerList();
nlohmann::json ReadVideoadapterList();

}  // namespace harnel::winprobe
