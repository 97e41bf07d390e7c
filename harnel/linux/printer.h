#pragma once
// PrinterNode: the print queues of the local CUPS scheduler.

#include <filesystem>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {

// The scheduler's socket under `root` when one exists there; nullopt otherwise. `places`, when
// given, notes the first of the socket's places where anything is.
std::optional<std::filesystem::path> FindSchedulerSocket(const std::filesystem::path& root,
                                                         SourceFact* places = nullptr);

// The PrinterList of the machine under `root`: asked of the scheduler over its local socket
// with short time limits; null at once when there is no socket or nobody answers. `places`
// notes where the socket was looked for.
nlohmann::json ProbePrinterList(const std::filesystem::path& root, SourceFact& places);

// Why the PrinterList is empty, from what ProbePrinterList found.
void ExplainPrinterList(const SourceFact& places, findings::Reasons& why);

}  // namespace harnel::linux
