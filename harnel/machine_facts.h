#pragma once
// What a profile's "Machine" key holds, read from the machine itself: the system's identity and
// virtualization, and the facts of its devices that no record holds. The host program asks for
// it beside the records; the provider library does not export it.

#include <filesystem>

#include <nlohmann/json.hpp>

namespace harnel {

// The key and, in its shape, why what it lacks is absent; both from one read, so the reasons
// describe the values shown.
struct MachineFacts {
  nlohmann::ordered_json key, reasons;
};

// Reads the machine whose file system is rooted at `root` (on Windows the running machine,
// `root` having no meaning there). Never throws for what it cannot read; memory exhaustion
// passes to the caller.
MachineFacts ReadMachineFacts(const std::filesystem::path& root);

}  // namespace harnel
