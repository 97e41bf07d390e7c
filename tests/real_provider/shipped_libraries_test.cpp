// Every export from many threads at once through the shipped libraries, loaded as a host loads
// them: this program is linked against the inventory library as the host program is, and the
// provider it loads chooses its machine from the environment at the first call.

#include <stdlib.h>

#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/every_export.h"

namespace {

TEST(RealProviderConcurrencyTest, ThroughTheShippedLibraries) {
  // The laptop's tree, or on Windows the example profile: what one thread gets stays the same.
#ifdef _WIN32
  ASSERT_EQ(_putenv_s("HARNEL_PROFILE", VELMORA_SOURCE_DIR "/examples/workstation.json"), 0);
#else
  ASSERT_EQ(::setenv("HARNEL_ROOT", VELMORA_SOURCE_DIR "/tests/harnel/linux/data/laptop", 1), 0);
#endif
  every_export::ExpectEveryThreadGetsWhatOneThreadGets(
      {std::begin(every_export::kEveryExport), std::end(every_export::kEveryExport)});
}

}  // namespace
