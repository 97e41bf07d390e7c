#pragma once
// The Windows readers' parsers: what the system calls gathered (raw_values.h) in, the record
// in the machine-profile form out. They need nothing of Windows, so both builds run them on
// captured data.

#include <string_view>

#include <nlohmann/json.hpp>

namespace harnel::winprobe {

// The record or list stored under the profile key `key` ("OS", "StorageList", ...) that the
// raw data `raw` of that key describes; null when it describes none, and for unknown keys.
// Never throws for odd data: what is missing or of another kind is left out.
nlohmann::json ParseWindowsRecord(std::string_view key, const nlohmann::json& raw);

// One parser per record kind, as ParseWindowsRecord dispatches them.
nlohmann::json ParseOS(const nlohmann::json& raw);
nlohmann::json ParseBIOS(const nlohmann::json& raw);
nlohmann::json ParseProcessor(const nlohmann::json& raw);
nlohmann::json ParseMemory(const nlohmann::json& raw);
nlohmann::json ParseUserinfo(const nlohmann::json& raw);
nlohmann::json ParseInputdeviceList(const nlohmann::json& raw);
nlohmann::json ParseModemList(const nlohmann::json& raw);
nlohmann::json ParseMonitorList(const nlohmann::json& raw);
nlohmann::json ParseNetworkadapterList(const nlohmann::json& raw);
nlohmann::json ParsePrinterList(const nlohmann::json& raw);
nlohmann::json ParseStorageList(const nlohmann::json& raw);
nlohmann::json ParseSystemcontrollerList(const nlohmann::json& raw);
nlohmann::json ParseSystemslotList(const nlohmann::json& raw);
nlohmann::json ParseVideoadapterList(const nlohmann::json& raw);
nlohmann::json ParsePhyMemoryList(const nlohmann::json& raw);

// True for an adapter row of the IP helper that the NetworkadapterList holds a node for: all
// but the loopback and tunnel pseudo-interfaces.
bool IsListedAdapter(const nlohmann::json& adapter);

}  // namespace harnel::winprobe
