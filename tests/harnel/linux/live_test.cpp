// The machine the tests run on: only what holds on every Linux machine, container or not.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "harnel/linux/networkadapter.h"
#include "harnel/probe.h"

namespace harnel {
namespace {

using nlohmann::json;

TEST(LiveMachineTest, ReadsTheProcessorIdAndEachAddressWithItsMask) {
#if defined(__x86_64__) || defined(__i386__)
  EXPECT_TRUE(ProbeMachine("Processor", "/").contains("processorId"));  // CPUID, tables or not
#endif
  for (const auto& [name, found] : linux::ReadLiveAddresses()) {  // IPv6 ones with their masks
    EXPECT_EQ(found.addresses.size(), found.masks.size()) << name;
  }
}

// Every record has the profile's shape: objects of texts and int32 numbers, lists of at least
// one such object, and text that serialises (valid UTF-8). Every Linux machine names its system
// and has memory.
TEST(LiveMachineTest, EveryRecordHasTheProfileShape) {
  // The laptop fixture's expected records name every key.
  std::ifstream file(std::filesystem::path(MACHINE_FIXTURES) / "records-laptop.json");
  const json keys = json::parse(file, nullptr, true, true);
  json profile = json::object();
  for (const auto& [key, ignored] : keys.items()) {
    SCOPED_TRACE(key);
    const json record = ProbeMachine(key, "/");
    if (record.is_null()) continue;
    ASSERT_EQ(record.is_array(), key.ends_with("List"));
    ASSERT_FALSE(record.empty());
    const std::vector<json> nodes =
        record.is_array() ? std::vector<json>(record.begin(), record.end()) : std::vector{record};
    for (const json& node : nodes) {
      ASSERT_TRUE(node.is_object());
      for (const auto& [field, value] : node.items()) {
        SCOPED_TRACE(field);
        if (value.is_string()) {
          EXPECT_FALSE(value.get<std::string>().empty());
        } else {
          ASSERT_TRUE(value.is_number_integer());
          EXPECT_GE(value.get<std::int64_t>(), std::numeric_limits<std::int32_t>::min());
          EXPECT_LE(value.get<std::int64_t>(), std::numeric_limits<std::int32_t>::max());
        }
      }
    }
    profile[key] = record;
  }
  EXPECT_NO_THROW(static_cast<void>(profile.dump()));
  EXPECT_TRUE(profile["OS"].value("osType", "").starts_with("Linux")) << profile["OS"];
  EXPECT_TRUE(profile["OS"].contains("osName")) << profile["OS"];
  EXPECT_GT(profile["Memory"].value("totalPhysicalMB", 0), 0);
}

}  // namespace
}  // namespace harnel
