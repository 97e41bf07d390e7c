// The machine the tests run on: only what holds on every Linux machine, container or not.

#include <gtest/gtest.h>

#include <limits>

#include "harnel/probe.h"

namespace harnel {
namespace {

using nlohmann::json;

constexpr const char* kKeys[] = {"OS",
                                 "BIOS",
                                 "Processor",
                                 "Memory",
                                 "Userinfo",
                                 "InputdeviceList",
                                 "ModemList",
                                 "MonitorList",
                                 "NetworkadapterList",
                                 "PrinterList",
                                 "StorageList",
                                 "SystemcontrollerList",
                                 "SystemslotList",
                                 "VideoadapterList",
                                 "PhyMemoryList"};

TEST(LiveMachineTest, NamesItsSystemAndMemory) {
  const json os = ProbeMachine("OS", "/");
  ASSERT_TRUE(os.is_object());
  ASSERT_TRUE(os.contains("osName"));
  EXPECT_FALSE(os["osName"].get<std::string>().empty());
  EXPECT_EQ(os.value("osType", "").rfind("Linux", 0), 0u);

  const json memory = ProbeMachine("Memory", "/");
  ASSERT_TRUE(memory.is_object());
  EXPECT_GT(memory.value("totalPhysicalMB", 0), 0);
}

// Every record has the profile's shape: objects of texts and int32 numbers, lists of at least
// one such object, and text that serialises (valid UTF-8).
TEST(LiveMachineTest, EveryRecordHasTheProfileShape) {
  json profile = json::object();
  for (const char* key : kKeys) {
    SCOPED_TRACE(key);
    const json record = ProbeMachine(key, "/");
    const bool list = std::string_view(key).ends_with("List");
    std::vector<json> nodes;
    if (record.is_null()) continue;
    if (list) {
      ASSERT_TRUE(record.is_array());
      ASSERT_FALSE(record.empty());
      nodes.assign(record.begin(), record.end());
    } else {
      ASSERT_TRUE(record.is_object());
      ASSERT_FALSE(record.empty());
      nodes.push_back(record);
    }
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
}

}  // namespace
}  // namespace harnel
