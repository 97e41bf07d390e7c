#pragma once
// Where a template file lies: in the folder `hardinfo` beside the host program.

#include "base/text.h"

namespace velmora {

// The path of template `fileName` ("os.xml") beside the host program at `hostPath`: the
// host path cut at its last separator, then the separator, "hardinfo", the separator and
// the file name. Empty when `hostPath` holds no separator (no folder to look in).
WString TemplatePath(WStringView hostPath, const WChar* fileName);

}  // namespace velmora
