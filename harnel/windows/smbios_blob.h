#pragma once
// The SMBIOS table as Windows hands it out (GetSystemFirmwareTable 'RSMB'): an 8-byte header
// (calling method, major and minor version, DMI revision, table length) before the structures.

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/decode/smbios_identity.h"
#include "harnel/decode/smbios_records.h"
#include "harnel/findings/reasons.h"

namespace harnel::windows {

// The facts of the table whose whole blob, header included, is `blob`; empty for a blob too
// short for its header. A length past the blob's end is cut to the blob.
decode::SmbiosFacts ParseSmbiosBlob(std::string_view blob);

// The identity the same blob gives (see ParseSmbiosIdentity).
decode::SmbiosIdentity ParseSmbiosIdentityBlob(std::string_view blob);

// The facts of the blob stored under "smbios" in a record's raw data.
decode::SmbiosFacts SmbiosFactsOf(const nlohmann::json& raw);

// Why the firmware table of a record's raw data gave nothing: there is none at all, or it
// lacks what was looked for.
std::string WhyNoFirmware(const nlohmann::json& raw);

// Why a record made of the table alone is empty where it is: each field the table leaves
// empty, it gives none of. The firmware kinds' explainers all say this.
void ExplainFirmwareRecord(const nlohmann::json& raw, findings::Reasons& why);

}  // namespace harnel::windows
