// Each conversion of the fleet inventory tables, row by row with edge values.
#include <algorithm>
#include <ctime>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "fleet/glpi_values.h"
#include "tests/support/case_file.h"

namespace velmora::fleet {
namespace {

using Json = nlohmann::json;
using enum GlpiValue;

// The kinds in the order GlpiValue declares them, by the names data/glpi_values.txt gives them.
constexpr std::string_view kKinds[] = {
    "GlpiText",           "GlpiNumber",          "GlpiNumberText",  "GlpiDate",
    "GlpiBootTime",       "GlpiResolution",      "GlpiNetworkKind", "GlpiAdapterKind",
    "GlpiNetworkStatus",  "GlpiStorageKind",     "GlpiStorageBus",  "GlpiSlotStatus",
    "GlpiThreadsPerCore", "GlpiManufactureDate", "GlpiKernelName",  "GlpiSystemArch",
    "GlpiProcessorArch",  "GlpiLogin",           "GlpiDomain",      "GlpiIpv4Address",
    "GlpiIpv4Mask",       "GlpiIpv4Subnet",      "GlpiIpv6Address"};
static_assert(std::size(kKinds) == static_cast<size_t>(GlpiIpv6Address) + 1);

// Field `i` as JSON: a text in quotes, or a bare JSON value; nullopt for "-".
std::optional<Json> JsonOf(const CaseRow& row, size_t i) {
  if (row.quoted.at(i)) return Json(row.Bytes(i));
  return row.Text(i) ? std::optional<Json>(Json::parse(row.Bytes(i))) : std::nullopt;
}

// Every row of data/glpi_values.txt: the kind, the value and the second source, and what the
// conversion gives.
TEST(GlpiValuesTest, EachConversionRowByRow) {
  for (const CaseRow& row : ReadCaseFile(VELMORA_TEST_DATA "glpi_values.txt", 4)) {
    SCOPED_TRACE(row.where);
    const auto kind = std::find(std::begin(kKinds), std::end(kKinds), row.Bytes(0));
    ASSERT_NE(kind, std::end(kKinds));
    const auto converted =
        GlpiConvert(static_cast<GlpiValue>(kind - kKinds), JsonOf(row, 1).value(),
                    JsonOf(row, 2).value(), std::nullopt);
    const std::optional<Json> expected = JsonOf(row, 3);
    EXPECT_EQ(converted ? converted->dump() : "", expected ? expected->dump() : "");
  }
}

// The address and the mask are read within their views' bounds, not up to the next non-digit.
TEST(GlpiValuesTest, SubnetReadsOnlyTheViewsGiven) {
  const std::string_view address = std::string_view("10.1.2.345").substr(0, 9);
  const std::string_view mask = std::string_view("255.255.255.2550").substr(0, 15);
  EXPECT_EQ(Ipv4Subnet(address, mask), "10.1.2.34");
}

// The start is the uptime before the time it was read at, in local time.
TEST(GlpiValuesTest, BootTimeIsTheUptimeBeforeTheReading) {
  const std::time_t now = 1'700'000'000;
  const auto localText = [](std::time_t at) {
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&at));
    return Json(std::string(text)).dump();
  };
  const struct {
    std::string uptime, expected;
  } cases[] = {
      {"3 days 04:05:06", localText(now - (((3 * 24 + 4) * 60 + 5) * 60 + 6))},
      {"1 day 00:00:09", localText(now - (24 * 3600 + 9))},
      {"0 days 23:59:59", localText(now - (24 * 3600 - 1))},
      {"04:05:06", ""},
      {"3 days 4:05:06", ""},
      {"x days 04:05:06", ""},
      {"3 days x4:05:06", ""},
      {"3 days 04:05:0x", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.uptime);
    const auto converted = GlpiConvert(GlpiBootTime, c.uptime, nullptr, now);
    EXPECT_EQ(converted ? converted->dump() : std::string(), c.expected);
  }
  EXPECT_FALSE(GlpiConvert(GlpiBootTime, "3 days 04:05:06", nullptr, std::nullopt));
}

}  // namespace
}  // namespace velmora::fleet
