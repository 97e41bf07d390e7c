// The BIOS record's source: the SMBIOS table, which holds all that the record is made of.

#include "harnel/windows/read.h"

namespace harnel::windows {

DisposableJson ReadBIOS() { return ReadSmbios(); }

}  // namespace harnel::windows
