#pragma once
// PrinterNode: the print queues of the local CUPS scheduler.

#include <filesystem>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace harnel::probe {

// The scheduler's socket under `root` when one exists there; nullopt otherwise.
std::optional<std::filesystem::path> FindSchedulerSocket(const std::filesystem::path& root);

// The PrinterList of the machine under `root`: asked of the scheduler over its local socket
// with short time limits; null at once when there is no socket or nobody answers.
nlohmann::json ProbePrinterList(const std::filesystem::path& root);

}  // namespace harnel::probe
