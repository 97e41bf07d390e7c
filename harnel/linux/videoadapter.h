#pragma once
// VideoadapterNode: display controllers on the PCI bus.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/findings/reasons.h"
#include "harnel/linux/machine_files.h"

namespace harnel::linux {

// The largest prefetchable memory window of a PCI "resource" attribute, in MB: the card's
// video memory aperture.
std::optional<std::int64_t> ParseLargestPrefetchWindowMB(std::string_view text);

// The VideoadapterList of the machine under `root`.
// `listing` notes the listing of the PCI bus.
nlohmann::json ProbeVideoadapterList(const std::filesystem::path& root, SourceFact& listing);

// Why the VideoadapterList is empty where it is, from what ProbeVideoadapterList found.
void ExplainVideoadapterList(const SourceFact& listing, findings::Reasons& why);

}  // namespace harnel::linux
