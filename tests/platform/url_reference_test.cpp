#include "platform/url_reference.h"

#include <gtest/gtest.h>

#include "tests/support/case_file.h"

namespace platform {
namespace {

// Every row of data/url_references.txt: a reference resolved against the URL it came from, or
// the origin of a URL.
TEST(UrlReferenceTest, ResolvesReferencesAndFindsOrigins) {
  for (const CaseRow& row :
       ReadCaseFile(VELMORA_SOURCE_DIR "/tests/platform/data/url_references.txt", 3, 4)) {
    SCOPED_TRACE(row.where);
    if (row.Bytes(0) == "resolve") {
      EXPECT_EQ(ResolveReference(row.Bytes(1), row.Bytes(2)), row.Bytes(3));
    } else {
      EXPECT_EQ(OriginOf(row.Bytes(1)), row.Bytes(2));
    }
  }
}

}  // namespace
}  // namespace platform
