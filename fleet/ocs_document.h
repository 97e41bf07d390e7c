#pragma once
// A machine's inventory as OCS Inventory's agents send it: an XML document in UTF-8, and the
// PROLOG request that comes before it.

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace velmora::fleet {

struct OcsOptions {
  std::string deviceId;  // the document's DEVICEID; empty: OcsDeviceId
  std::string client;    // VERSIONCLIENT: the program and its version
  std::string tag;       // the TAG account field, which routes the machine; empty: none
};

// The INVENTORY request for `profile` (records and the Machine key, in the profile form): every
// section its tables fill, absent values and empty sections left out; HARDWARE always, with a
// CHECKSUM that asks the server to take every section anew.
std::string OcsDocument(const nlohmann::json& profile, const OcsOptions& options);

// The PROLOG request with which a delivery begins, for the device `deviceId`.
std::string OcsProlog(std::string_view deviceId);

// The device id a machine is known by when none is given. The server takes only a name followed
// by a stamp "-YYYY-MM-DD-hh-mm-ss" (its agents stamp the time of their first run); ours is the
// computer name ("unknown" without one) and a stamp drawn from the system UUID (the name without
// one), so that one machine keeps its id from run to run without a file to remember it.
std::string OcsDeviceId(const nlohmann::json& profile);

}  // namespace velmora::fleet
