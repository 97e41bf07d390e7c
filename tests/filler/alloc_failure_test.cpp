// Makes the k-th allocation of a template call fail, for every k until the call succeeds:
// every record and list obtained is released exactly once on each of those paths, and the
// sanitizer build shows that no document leaks.

#include <new>

#include <gtest/gtest.h>

#include "dll/velmora.h"
#include "tests/filler/filler_harness.h"
#include "tests/support/failing_allocator.h"
#include "tests/support/test_provider.h"

namespace {

using testprovider::Log;
using testprovider::Source;

TEST(FillerAllocationFailureTest, EveryPathReleasesWhatItObtained) {
  fillertest::WriteTemplate(
      "storage.xml",
      "<?xml version=\"1.0\"?>\n<s>\n  <category id=\"1\"><item "
      "name=\"物理内存总大小\"/></category>\n"
      "  <category id=\"2\"><item name=\"容量\" value=\"\"/></category>\n"
      "  <category id=\"3\"><item name=\"设备名称\" value=\"\"/></category>\n</s>\n");
  const nlohmann::json profile = {
      {"Memory", {{"totalPhysicalMB", 1024}, {"totalPageFileMB", 512}}},
      {"PhyMemoryList", {nlohmann::json::object(), nlohmann::json::object()}},
      {"StorageList",
       {{{"name", "disk & co"}, {"mediaType", "CD-ROM"}}, nlohmann::json::object()}}};

  long failures = 0;
  for (long k = 1;; ++k) {
    SCOPED_TRACE(testing::Message() << "allocation " << k << " fails");
    testprovider::Reset();
    const auto held = testprovider::ProvideProfile(profile);
    WString out = WTEXT("before");
    bool threw = false;
    int result = -2;
    failing_allocator::FailAt(k);
    try {
      result = GetDeviceXMLBuffer(5003, out);
    } catch (const std::bad_alloc&) {
      threw = true;
    }
    failing_allocator::Stop();

    for (Source source : {Source::Memory, Source::PhyMemory, Source::Storage}) {
      EXPECT_EQ(Log(source).frees, Log(source).gets);
      EXPECT_EQ(Log(source).held, 0);
      EXPECT_EQ(Log(source).wrongFrees, 0);
    }
    if (!threw) {
      EXPECT_EQ(result, 0);
      EXPECT_NE(fillertest::Utf8(out).find("disk &amp; co"), std::string::npos);
      break;
    }
    ++failures;
    ASSERT_LT(k, 100000) << "the call never succeeds";
  }
  EXPECT_GT(failures, 0);
}

}  // namespace
