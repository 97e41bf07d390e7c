#include "harnel/provider_core.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "harnel/machine_key.h"
#include "harnel/profile.h"
#include "provider/provider.h"
#include "provider/records.h"
#include "tests/support/case_file.h"
#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

class ProfileFiles : public testing::Test {
 protected:
  const velmora_test::ScratchDir dir_;
};

const harnel::RecordSchema& Schema(std::string_view key) { return *harnel::FindRecordSchema(key); }

// What the JSON export answers for the profile at `path`, which must give `status`: the profile
// or the reason, in one line.
std::string ReadProfileJson(const fs::path& path, int status) {
  char* json = nullptr;
  EXPECT_EQ(HarnelReadProfileJson(path.string().c_str(), &json), status);
  const std::string text = json == nullptr ? "(none)" : json;
  HarnelFreeText(json);
  EXPECT_EQ(text.find('\n'), std::string::npos) << text;
  return text;
}

TEST_F(ProfileFiles, UnusableProfilesSayWhy) {
  // Files that cannot be read are refused at once, before anything is read: nothing that
  // names the file waits or reads more than the bound.
  fs::create_directories(dir_ / "folder");
  fs::resize_file(dir_.Write("large.json", ""),
                  harnel::kProfileLimit + 1);  // sparse, read as zeros
#ifdef _WIN32
  const int64_t system = 2;  // as the rows name it
#else
  const int64_t system = 1;
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
#endif
  for (const CaseRow& c :
       ReadCaseFile(VELMORA_SOURCE_DIR "/tests/harnel/data/unusable_profiles.txt", 3)) {
    if ((c.Value(1, {{"linux", 1}, {"windows", 2}}) & system) == 0) continue;
    SCOPED_TRACE(c.where);
    const fs::path path = dir_ / c.Bytes(0);
    const std::string problem = c.Bytes(2);
    const harnel::LoadedProfile loaded = harnel::LoadProfile(path);
    EXPECT_TRUE(loaded.records.is_null());
    EXPECT_TRUE(loaded.problem.starts_with(problem)) << loaded.problem;
    const std::string answer = ReadProfileJson(path, HARNEL_JSON_UNUSABLE);
    EXPECT_TRUE(answer.starts_with(problem)) << answer;
  }
}

// Each profile text of data/profile_texts.json: the start of the problem that makes it unusable,
// as the load and the JSON export give it, or the records it gives and the start of what the
// export answers; and the problem of the Machine key's counts alone ("counts").
TEST_F(ProfileFiles, EachTextGivesItsProblemOrItsRecords) {
  const CaseKeys keys = {{"case", "text"}, {"problem", "records", "given", "counts"}};
  for (const nlohmann::json& c : ReadJsonCases<nlohmann::json>(
           VELMORA_SOURCE_DIR "/tests/harnel/data/profile_texts.json", keys)) {
    SCOPED_TRACE(c["case"].get<std::string>());
    const std::string text = c["text"];
    if (c.contains("counts")) {
      const std::string counts = c["counts"];
      const std::string problem = harnel::CheckMachineCounts(nlohmann::json::parse(text));
      EXPECT_TRUE(problem.starts_with(counts)) << problem;
      EXPECT_EQ(problem.empty(), counts.empty()) << problem;
    }
    if (!c.contains("problem") && !c.contains("records")) continue;
    const fs::path path = dir_.Write("p.json", text);
    const std::string problem = c.value("problem", "");
    const harnel::LoadedProfile loaded = harnel::LoadProfile(path);
    EXPECT_TRUE(loaded.problem.starts_with(problem)) << loaded.problem;
    EXPECT_EQ(loaded.problem.empty(), problem.empty()) << loaded.problem;
    EXPECT_EQ(loaded.records, c.value("records", nlohmann::json()));
    const std::string answer =
        ReadProfileJson(path, problem.empty() ? HARNEL_JSON_GIVEN : HARNEL_JSON_UNUSABLE);
    EXPECT_TRUE(answer.starts_with(c.value("given", problem))) << answer;
  }
}

TEST_F(ProfileFiles, UnusableProfileIsReportedOnceAndReadAgainOnlyOnceChanged) {
  const fs::path path = dir_.Write("bad.json", "{ not json");
  CaptureStderr();
  {
    harnel::ProviderCore core(path, "/");
    for (const harnel::RecordSchema& schema : harnel::RecordSchemas()) {
      EXPECT_EQ(core.Hand(schema), nullptr) << schema.key;
    }
    dir_.Write("bad.json", R"({"OS": {"osName": "fixed"}})");
    void* os = core.Hand(Schema("OS"));
    ASSERT_NE(os, nullptr);
    EXPECT_TRUE(core.Take(Schema("OS"), os));
  }
  const std::string errors = GetCapturedStderr();
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
  EXPECT_NE(errors.find(path.string()), std::string::npos) << errors;
  EXPECT_NE(errors.find("parse error"), std::string::npos) << errors;
}

TEST_F(ProfileFiles, ReplaysRecordsAndKeepsThemUntilTheirFree) {
  const fs::path path = dir_.Write("p.json", R"({
    "OS": {"osName": "Debian GNU/Linux 12", "upTime": null},
    "Memory": null,
    "StorageList": [{"name": "sda", "sizeMB": 476940}, {"name": "sr0", "mediaType": "CD-ROM"}],
    "PrinterList": []
  })");
  harnel::ProviderCore core(path, "/");
  auto* os = static_cast<const OSInfo*>(core.Hand(Schema("OS")));
  auto* storage = static_cast<const StorageNode*>(core.Hand(Schema("StorageList")));
  ASSERT_NE(os, nullptr);
  ASSERT_NE(storage, nullptr);
  EXPECT_EQ(core.Hand(Schema("Memory")), nullptr);
  EXPECT_EQ(core.Hand(Schema("PrinterList")), nullptr);
  EXPECT_EQ(core.Hand(Schema("BIOS")), nullptr);
  EXPECT_EQ(core.HeldCount(), 2u);

  // Two records of one kind may be out at once, each with its own strings.
  auto* second = static_cast<const OSInfo*>(core.Hand(Schema("OS")));
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second->osName, os->osName);
  EXPECT_TRUE(core.Take(Schema("OS"), second));

  EXPECT_EQ(WString(os->osName), WTEXT("Debian GNU/Linux 12"));
  EXPECT_EQ(os->upTime, nullptr);
  EXPECT_EQ(storage->sizeMB, 476940);
  ASSERT_NE(storage->next, nullptr);
  EXPECT_EQ(WString(storage->next->mediaType), WTEXT("CD-ROM"));
  EXPECT_TRUE(core.Take(Schema("OS"), os));
  EXPECT_TRUE(core.Take(Schema("StorageList"), storage));
  EXPECT_EQ(core.HeldCount(), 0u);
}

TEST_F(ProfileFiles, BadFreesAreReportedAndIgnored) {
  const fs::path path = dir_.Write("p.json", R"({"OS": {}, "BIOS": {}})");
  CaptureStderr();
  std::string errors;
  {
    harnel::ProviderCore core(path, "/");
    void* os = core.Hand(Schema("OS"));
    void* bios = core.Hand(Schema("BIOS"));
    int local = 0;
    EXPECT_FALSE(core.Take(Schema("OS"), &local));   // never handed out
    EXPECT_FALSE(core.Take(Schema("OS"), nullptr));  // nothing
    EXPECT_FALSE(core.Take(Schema("BIOS"), os));     // another kind's record
    EXPECT_TRUE(core.Take(Schema("OS"), os));
    EXPECT_FALSE(core.Take(Schema("OS"), os));  // a second Free
    EXPECT_EQ(core.HeldCount(), 1u);
    (void)bios;  // still held at the end: reported by the destructor
  }
  errors = GetCapturedStderr();
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 5) << errors;
  EXPECT_NE(errors.find("FreeBIOS("), std::string::npos) << errors;
  EXPECT_NE(errors.find("1 record(s) never freed, still held at unload: BIOS"), std::string::npos)
      << errors;
}

TEST(ProviderCoreTest, WithoutAProfileTheMachineIsRead) {
  // The bare-container fixture tree of the machine readers has an OS, a processor and memory
  // only. Windows reads the running system whatever the root: every Windows machine, Wine's
  // included, has these three at least.
  harnel::ProviderCore core(std::nullopt,
                            fs::path(VELMORA_SOURCE_DIR) / "tests/harnel/linux/data/container");
  for (const harnel::RecordSchema& schema : harnel::RecordSchemas()) {
    SCOPED_TRACE(schema.key);
    void* record = core.Hand(schema);
    const bool present = schema.key == "OS" || schema.key == "Processor" || schema.key == "Memory";
#ifdef _WIN32
    if (present) {
      EXPECT_NE(record, nullptr);
    }
#else
    EXPECT_EQ(record != nullptr, present);
#endif
    if (record) {
      EXPECT_TRUE(core.Take(schema, record));
    }
  }
#ifndef _WIN32
  auto* os = static_cast<OSInfo*>(core.Hand(Schema("OS")));
  ASSERT_NE(os, nullptr);
  EXPECT_EQ(WString(os->osName), WTEXT("Alpine Linux v3.19"));
  EXPECT_EQ(os->servicePack, nullptr);
  EXPECT_TRUE(core.Take(Schema("OS"), os));
#endif
}

}  // namespace
