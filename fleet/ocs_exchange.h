#pragma once
// The exchange with an OCS Inventory communication server: the PROLOG, the INVENTORY, and what
// the server's replies say.

#include <optional>
#include <string>
#include <string_view>

#include "fleet/delivery.h"
#include "platform/http_client.h"

namespace velmora::fleet {

// What a reply of the server says: its RESPONSE (SEND, STOP, ACCOUNT_UPDATE, NO_ACCOUNT_UPDATE,
// ...) and, on a PROLOG, PROLOG_FREQ, the hours until it wants the next inventory.
struct OcsReply {
  std::string response;
  std::optional<long> prologFreq;
};

// The unescaped text of the first element `name` of the XML text `xml` (no attributes, no
// child); empty when there is none. Enough for the server's flat replies and our own documents.
std::string XmlElementText(std::string_view xml, std::string_view name);

// The reply in an answer that came: its body inflated as zlib (the server's "x-compressed"),
// or as it is when it is not zlib. None, with `why` set, when it says no RESPONSE.
std::optional<OcsReply> ReadOcsReply(const platform::HttpAnswer& answer, std::string& why);

// Sends the PROLOG for the device `delivery.document` names, and on SEND the document itself.
// Accepted when the server takes the inventory, its RESPONSE in `reply` and its PROLOG_FREQ as
// the expiration; refused on STOP (retry after PROLOG_FREQ), on another RESPONSE and on an HTTP
// error; unreached as Deliver says.
Receipt DeliverOcs(const Delivery& delivery);

}  // namespace velmora::fleet
