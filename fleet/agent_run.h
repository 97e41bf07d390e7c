#pragma once
// One run of the agent: this machine's inventory to each server that does not have it yet.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fleet/backoff.h"
#include "fleet/delivery.h"

namespace velmora::fleet {

struct AgentRun {
  std::vector<std::string> servers;      // inventory URLs
  std::filesystem::path stateFolder;     // the servers' states and kept inventories; must exist
  std::string document;                  // this run's inventory for GLPI's servers, JSON text
  std::string ocsDocument;               // ... and for OCS Inventory's, XML text
  std::optional<DeliveryFormat> format;  // what every server takes; none: its URL says
  Delivery settings;     // what every post shares (timeout, credentials); url and document unset
  bool force = false;    // send even an unchanged inventory, even to a server left alone
  std::int64_t now = 0;  // seconds since 1970-01-01 UTC
  std::function<Receipt(const Delivery&)> deliver = Deliver;
  UniformUpTo random;  // draws the back-off's waits
};

// What a run did for one server.
struct ServerOutcome {
  std::string journal;  // one line: "sent to URL: ...", "unchanged for URL: ...", "kept for ..."
  // The server has the inventory or it is kept safely for it; false when a file could not be
  // written.
  bool settled = true;
};

// For each server: sends the inventory when it changed since the server last accepted one,
// when the server's expiration has passed, when an inventory is kept for it, or with `force`;
// a kept inventory equal to this run's but for its volatile fields goes out byte for byte as
// kept. A delivery that fails keeps the inventory for the next run, and from the second failure
// in a row runs leave the server alone for a while (BackoffSeconds), unless forced.
std::vector<ServerOutcome> RunAgent(const AgentRun& run);

}  // namespace velmora::fleet
