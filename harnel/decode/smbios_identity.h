#pragma once
// What the SMBIOS table says of the machine's identity beyond the records: the system (type
// 1), the enclosure's serial and asset tag (type 3) and the processors' cores and threads
// (type 4). Texts are as the firmware wrote them, placeholders included.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace harnel::decode {

struct SmbiosSystem {
  std::optional<std::string> manufacturer, product, serial, uuid, sku;
};

struct SmbiosEnclosure {
  std::optional<std::string> serial, assetTag;
};

// The populated sockets, and the cores and threads of the first one (nullopt when the table
// says "unknown").
struct SmbiosSockets {
  std::int64_t populated = 0;
  std::optional<std::int64_t> cores, threads;
};

struct SmbiosIdentity {
  std::optional<SmbiosSystem> system;
  std::optional<SmbiosEnclosure> enclosure;
  SmbiosSockets sockets;
};

// Decodes the identity from the raw table bytes `table` (see ParseSmbiosTable).
SmbiosIdentity ParseSmbiosIdentity(std::string_view table);

// The 16 UUID bytes of the system structure as text, "4C4C4544-0042-3510-8052-B4C04F4E3732":
// the first three fields little-endian, as every table since version 2.6 stores them (older
// tables are not told apart: the table file carries no version). nullopt for fewer bytes.
std::optional<std::string> SmbiosUuidText(std::string_view bytes);

// True for the UUIDs that say there is none: all zero bits (not present) or all one bits (not
// set).
bool IsUnsetUuid(std::string_view text);

}  // namespace harnel::decode
