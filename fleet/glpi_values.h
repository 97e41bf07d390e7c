#pragma once
// The conversions of the fleet inventory tables: a record's value in the format's form.

#include <ctime>
#include <optional>

#include <nlohmann/json.hpp>

#include "fleet/glpi_tables.h"

namespace velmora::fleet {

// `value` converted as `kind` says, reading `with` beside it for the conversions of two values
// (null for the others); nullopt when it gives nothing (null, empty, zero, or a form the
// conversion does not know). `now` is the time an uptime was read at; without it there is no
// boot time.
std::optional<nlohmann::ordered_json> GlpiConvert(GlpiValue kind, const nlohmann::json& value,
                                                  const nlohmann::json& with,
                                                  std::optional<std::time_t> now);

// The IPv4 network of `address` under `mask` ("192.168.1.23", "255.255.252.0" ->
// "192.168.0.0"); empty when either is not a dotted IPv4 address.
std::string Ipv4Subnet(std::string_view address, std::string_view mask);

}  // namespace velmora::fleet
