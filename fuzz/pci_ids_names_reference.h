#pragma once
// The names reader as it stood before it shared its line rules with the selection.

#include <string_view>

#include "harnel/linux/pci_ids_names.h"

namespace harnel::linux::reference {

// The names in the pci.ids text `lines`, by the rules ReadPciIdsNames had then.
PciIdsNames ReadPciIdsNames(std::string_view lines);

}  // namespace harnel::linux::reference
