#include "harnel/provider_core.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "harnel/profile.h"
#include "provider/records.h"

namespace {

namespace fs = std::filesystem;
using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

class ProfileFiles : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("harnel-test-" +
            std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
            std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Write(const std::string& name, const std::string& text) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  fs::path dir_;
};

const harnel::RecordSchema& Schema(std::string_view key) { return *harnel::FindRecordSchema(key); }

TEST_F(ProfileFiles, UnusableProfilesSayWhy) {
  // Files that cannot be read are refused at once, before anything is read: nothing that
  // names the file waits or reads more than the bound.
  fs::create_directories(dir_ / "folder");
  fs::resize_file(Write("large.json", ""), harnel::kProfileLimit + 1);  // sparse, read as zeros
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
      {"p.json", "{\"StorageList\": [{\"name\": [[[\"deep\"]]]}]}",
       "StorageList[0].name: expected a string or null"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.problem);
    const fs::path path = c.text == nullptr ? dir_ / c.name : Write(c.name, c.text);
    const harnel::LoadedProfile loaded = harnel::LoadProfile(path);
    EXPECT_TRUE(loaded.records.is_null());
    EXPECT_TRUE(loaded.problem.starts_with(c.problem)) << loaded.problem;
  }
  const harnel::LoadedProfile loaded =
      harnel::LoadProfile(Write("ok.json", R"({"OS": {}, "unknown": [[[[1]]]]})"));
  EXPECT_EQ(loaded.problem, "");
  EXPECT_EQ(loaded.records, nlohmann::json::parse(R"({"OS": {}})"));
}

TEST_F(ProfileFiles, UnusableProfileIsReportedOnceAndReadAgainOnlyOnceChanged) {
  const fs::path path = Write("bad.json", "{ not json");
  CaptureStderr();
  {
    harnel::ProviderCore core(path, "/");
    for (const harnel::RecordSchema& schema : harnel::RecordSchemas()) {
      EXPECT_EQ(core.Hand(schema), nullptr) << schema.key;
    }
    Write("bad.json", R"({"OS": {"osName": "fixed"}})");
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
  const fs::path path = Write("p.json", R"({
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
  const fs::path path = Write("p.json", R"({"OS": {}, "BIOS": {}})");
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

#ifdef _WIN32
TEST(ProviderCoreTest, WithoutAProfileTheRunningWindowsIsRead) {
  // Whatever the root: every Windows machine, Wine's included, has an OS, a processor and
  // memory; every record handed out is taken back.
  harnel::ProviderCore core(std::nullopt, fs::current_path());
  for (const harnel::RecordSchema& schema : harnel::RecordSchemas()) {
    SCOPED_TRACE(schema.key);
    void* record = core.Hand(schema);
    if (schema.key == "OS" || schema.key == "Processor" || schema.key == "Memory") {
      EXPECT_NE(record, nullptr);
    }
    if (record) {
      EXPECT_TRUE(core.Take(schema, record));
    }
  }
}
#else
TEST(ProviderCoreTest, WithoutAProfileTheMachineIsRead) {
  // The bare-container fixture tree of the machine readers: an OS, a processor and memory.
  const fs::path container = fs::path(VELMORA_SOURCE_DIR) / "tests/probe/data/container";
  harnel::ProviderCore core(std::nullopt, container);
  for (const harnel::RecordSchema& schema : harnel::RecordSchemas()) {
    SCOPED_TRACE(schema.key);
    void* record = core.Hand(schema);
    const bool present = schema.key == "OS" || schema.key == "Processor" || schema.key == "Memory";
    EXPECT_EQ(record != nullptr, present);
    if (record) {
      EXPECT_TRUE(core.Take(schema, record));
    }
  }
  auto* os = static_cast<OSInfo*>(core.Hand(Schema("OS")));
  ASSERT_NE(os, nullptr);
  EXPECT_EQ(WString(os->osName), WTEXT("Alpine Linux v3.19"));
  EXPECT_EQ(os->servicePack, nullptr);
  EXPECT_TRUE(core.Take(Schema("OS"), os));
}
#endif

}  // namespace
