// The Windows readers' parsers on machines kept as files: each data/*.json file holds where it
// comes from ("origin": captured, or written by hand), what the system calls of one machine gave
// ("raw", as capture_raw prints it) and the records that must come of it ("records", in the
// profile form; an absent key is no record), why they are empty where they are ("reasons"), and
// the Machine key that raw data give with why it lacks what it lacks ("machine").
// Each parse also runs with its k-th allocation failing, once and from k on, for every k until
// it succeeds: std::bad_alloc reaches the caller, the process goes on, and the sanitizer build
// finds no leak.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "harnel/disposable_json.h"
#include "harnel/findings/reasons_json.h"
#include "harnel/record_json.h"
#include "harnel/schema.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/parse_machine.h"
#include "harnel/windows/raw_values.h"
#include "tests/support/case_file.h"
#include "tests/support/each_allocation_failure.h"

namespace harnel::windows {
namespace {

TEST(WindowsParseTest, MachinesKeptAsFilesGiveTheirRecordsAndMachineFacts) {
  int machines = 0;
  int captured = 0;
  CaseKeys records;  // of the raw values, the records and the reasons
  for (const RecordSchema& schema : RecordSchemas()) records.optional.emplace_back(schema.key);
  for (const auto& entry : std::filesystem::directory_iterator(WINDOWS_CASES)) {
    std::ifstream in(entry.path());
    const nlohmann::json machine = nlohmann::json::parse(in);
    SCOPED_TRACE(entry.path().filename().string());
    ASSERT_EQ(WrongKeys(machine, {{"origin", "raw", "records", "machine"}, {"reasons"}}), "");
    ASSERT_EQ(WrongKeys(machine["raw"], records) + WrongKeys(machine["records"], records) +
                  WrongKeys(machine.value("reasons", nlohmann::json::object()), records) +
                  WrongKeys(machine["machine"], {{"Machine", "Reasons"}, {}}),
              "");
    ++machines;
    captured += machine["origin"].get<std::string>().starts_with("captured") ? 1 : 0;
    const findings::MachineReading reading = ParseMachineFacts(machine["raw"]);
    EXPECT_EQ(nlohmann::json(findings::MachineKeyOf(reading)), machine["machine"]["Machine"]);
    EXPECT_EQ(nlohmann::json(findings::MachineReasonsOf(reading)), machine["machine"]["Reasons"]);
    for (const RecordSchema& schema : RecordSchemas()) {
      SCOPED_TRACE(schema.key);
      const nlohmann::json raw = machine["raw"].value(std::string(schema.key), nlohmann::json());
      const nlohmann::json record = ParseWindowsRecord(schema.key, raw);
      EXPECT_EQ(record, machine["records"].value(std::string(schema.key), nlohmann::json()));
      // What a parser gives must be a record the provider can hand out.
      EXPECT_EQ(CheckRecordJson(schema, record), "");
      for (const bool andAfter : {false, true}) {
        for (EachAllocationFailure failure(andAfter); failure.Next();) {
          std::optional<DisposableJson> again;
          if (!failure.Run([&] { again.emplace(ParseWindowsRecord(schema.key, raw)); })) {
            EXPECT_EQ(*again, record) << failure.Name();
          }
        }
      }
      // Why it is empty where it is, for the machines whose file says.
      if (!machine.contains("reasons")) continue;
      findings::Reasons why;
      ExplainWindowsRecord(schema.key, raw, record, why);
      EXPECT_EQ(findings::ReasonsToJson(schema, record, why), machine["reasons"][schema.key]);
    }
  }
  EXPECT_GE(machines, 3);
  EXPECT_GE(captured, 1);
}

TEST(WindowsParseTest, RegistryMultiStringsGiveEachTextUpToTheEmptyOne) {
  const std::string units("P\0C\0\0\0U\0S\0B\0\0\0\0\0", 16);
  EXPECT_EQ(TextsFromUtf16Bytes(units), nlohmann::json({"PC", "USB"}));
}

}  // namespace
}  // namespace harnel::windows
