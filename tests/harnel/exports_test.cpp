// The provider as a host meets it: the exported functions replaying the example profile.

#include <cstdlib>

#include <gtest/gtest.h>

#include "provider/provider.h"

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

// The provider picks its source at its first call, so the profile is named before any.
class ExampleProfile : public testing::Environment {
 public:
  void SetUp() override {
#ifdef _WIN32
    _putenv_s("HARNEL_PROFILE", VELMORA_SOURCE_DIR "/examples/workstation.json");
#else
    setenv("HARNEL_PROFILE", VELMORA_SOURCE_DIR "/examples/workstation.json", 1);
#endif
  }
};
const auto* const kExampleProfile = testing::AddGlobalTestEnvironment(new ExampleProfile);

TEST(HarnelExportsTest, RecordsStayValidUntilTheirOwnFree) {
  StorageNode* storage = nullptr;
  GetStorageList(&storage);
  ASSERT_NE(storage, nullptr);
  OSInfo* os = nullptr;
  GetOS(&os);
  ASSERT_NE(os, nullptr);
  ModemNode* modems = nullptr;
  GetModemList(&modems);
  EXPECT_EQ(modems, nullptr);

  int count = 0;
  for (const StorageNode* node = storage; node != nullptr; node = node->next) ++count;
  EXPECT_EQ(count, 3);
  EXPECT_EQ(WString(storage->next->next->mediaType), WTEXT("CD-ROM"));
  EXPECT_EQ(storage->sizeMB, 953867);
  // The registered user's family name is outside the BMP: one surrogate pair.
  EXPECT_EQ(WString(os->registeredUser).substr(0, 3), (WString{0xD842, 0xDFB7, 0x7530}));

  CaptureStderr();
  StorageNode* walker = storage->next;
  FreeStorageList(&walker);  // not what Get handed out: reported, nothing released
  FreeOS(&os);
  FreeOS(&os);  // a second Free: reported, ignored
  FreeStorageList(&storage);
  const std::string errors = GetCapturedStderr();
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
  EXPECT_NE(errors.find("FreeStorageList("), std::string::npos) << errors;
  EXPECT_NE(errors.find("FreeOS("), std::string::npos) << errors;
}

}  // namespace
