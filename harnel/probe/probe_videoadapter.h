#pragma once
// VideoadapterNode: display controllers on the PCI bus.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

namespace harnel::probe {

// The largest prefetchable memory window of a PCI "resource" attribute, in MB: the card's
// video memory aperture.
std::optional<std::int64_t> ParseLargestPrefetchWindowMB(std::string_view text);

// The VideoadapterList of the machine under `root`.
nlohmann::json ProbeVideoadapterList(const std::filesystem::path& root);

}  // namespace harnel::probe
