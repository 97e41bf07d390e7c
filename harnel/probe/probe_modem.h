#pragma once
// ModemNode: modems the kernel knows as such, without talking to any serial port.

#include <filesystem>

#include <nlohmann/json.hpp>

namespace harnel::probe {

// The ModemList of the machine under `root`: PCI modem functions and USB communication
// interfaces that speak AT commands (the cdc-acm ttyACM ports).
nlohmann::json ProbeModemList(const std::filesystem::path& root);

}  // namespace harnel::probe
