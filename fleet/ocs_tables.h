#pragma once
// How the records map onto OCS Inventory's XML inventory: one table per section of the document.
// The rows have the fleet tables' shape and conversions (fleet/glpi_tables.h); only the targets,
// the sections' element names, differ.

#include <span>

#include "fleet/glpi_tables.h"

namespace velmora::fleet {

// The sections in document order, each target an element name of the section.
std::span<const GlpiSection> OcsSections();

}  // namespace velmora::fleet
