// PhyMemoryList's source: the SMBIOS table, which holds all that the record is made of.

#include "harnel/windows/read.h"

namespace harnel::windows {

DisposableJson ReadPhyMemoryList() { return ReadSmbios(); }

}  // namespace harnel::windows
