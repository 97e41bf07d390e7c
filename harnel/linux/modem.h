#pragma once
// ModemNode: modems the kernel knows as such, without talking to any serial port.

#include <filesystem>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {

// The ModemList of the machine under `root`: PCI modem functions and USB communication
// interfaces that speak AT commands (the cdc-acm ttyACM ports).
// `folders` notes the listing of the PCI bus and of the tty class, the first that is there.
nlohmann::json ProbeModemList(const std::filesystem::path& root, SourceFact& folders);

// Why the ModemList is empty, from what ProbeModemList found.
void ExplainModemList(const SourceFact& folders, findings::Reasons& why);

}  // namespace harnel::linux
