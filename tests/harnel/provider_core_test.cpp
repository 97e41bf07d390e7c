#include "harnel/provider_core.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "harnel/profile.h"
#include "provider/records.h"
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

TEST_F(ProfileFiles, UnusableProfilesSayWhy) {
  // Files that cannot be read are refused at once, before anything is read: nothing that
  // names the file waits or reads more than the bound.
  fs::create_directories(dir_ / "folder");
  fs::resize_file(dir_.Write("large.json", ""),
                  harnel::kProfileLimit + 1);  // sparse, read as zeros
#ifndef _WIN32
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
#endif
  struct Case {
    const char* name;
    const char* text;  // written to the file; null: the file is as made above, or missing
    std::string problem;
  };
  const Case cases[] = {
      {"missing.json", nullptr, "No such file or directory"},
      {"large.json", nullptr, "larger than 64 MB (67108865 bytes); not read"},
#ifdef _WIN32
      {"folder", nullptr, "Permission denied"},
#else
      {"folder", nullptr, "Is a directory"},
      {"fifo", nullptr, "not a regular file (a FIFO, socket or device)"},
#endif
      {"p.json", "{\"OS\": ", "parse error at line 1, column 8"},
      {"p.json", "[]", "the top level is not a JSON object"},
      {"p.json", "{\"StorageList\": {}}", "StorageList: expected an array of objects"},
      // A record's text ends at its first zero unit, so a capture could not give it back.
      {"p.json", "{\"OS\": {\"osName\": \"a\\u0000b\"}}", "OS.osName: a text cannot hold U+0000"},
      // Kept shallow: what lies deeper than a list's nodes is kept as an empty container.
      {"p.json", "{\"StorageList\": [{\"name\": [[\"deep\"]]}]}",
       "StorageList[0].name: expected a string or null"},
      // The Machine key's n-th disk adds to the n-th disk: one lost on either side would give
      // each later disk its neighbour's facts.
      {"p.json",
       R"({"StorageList": [{"name": "b"}], "Machine": {"StorageList": [{"serialNumber": "A"},
          {"serialNumber": "B", "deep": [[[[1]]]]}]}})",
       "the number of entries of Machine.StorageList (2) differs from that of StorageList (1)"},
      // No key may hold more levels than any profile needs, not even one that is ignored.
      {"p.json", "{\"unknown\": [[[[[[[[1]]]]]]]], \"OS\": {}}", "nested deeper than 8 levels"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.problem);
    const fs::path path = c.text == nullptr ? dir_ / c.name : dir_.Write(c.name, c.text);
    const harnel::LoadedProfile loaded = harnel::LoadProfile(path);
    EXPECT_TRUE(loaded.records.is_null());
    EXPECT_TRUE(loaded.problem.starts_with(c.problem)) << loaded.problem;
  }
  const harnel::LoadedProfile loaded = harnel::LoadProfile(
      dir_.Write("ok.json", R"({"OS": {}, "unknown": [[[[1]]]], "StorageList": [{}],
                               "Machine": {"StorageList": [{"firmware": [[[1]]]}]}})"));
  EXPECT_EQ(loaded.problem, "");
  EXPECT_EQ(loaded.records, nlohmann::json::parse(R"({"OS": {}, "StorageList": [{}]})"));
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
