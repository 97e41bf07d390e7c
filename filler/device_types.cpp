#include "filler/device_types.h"

namespace velmora {
namespace {

struct DeviceType {
  const WChar* typeText;
  const WChar* name;
  int32_t id;
};

// Compared exactly: the fixed-disk text holds one tab between "Fixed" and "hard".
constexpr DeviceType kDeviceTypes[] = {
    {WTEXT("Keyboard"), WTEXT("键盘"), 500701},
    {WTEXT("Pointing"), WTEXT("鼠标"), 500702},
    {WTEXT("Fixed\thard disk media"), WTEXT("磁盘驱动器"), 500302},
    {WTEXT("CD-ROM"), WTEXT("光盘驱动器"), 500303},
};

// Compared unit by unit as both texts run, without measuring the provider's text first:
// a list expansion asks this twice per device, and most texts differ at the first unit.
bool SameText(const WChar* a, const WChar* b) {
  for (; *a == *b; ++a, ++b) {
    if (*a == 0) return true;
  }
  return false;
}

const DeviceType* FindDeviceType(const WChar* typeText) {
  if (typeText == nullptr) return nullptr;
  for (const DeviceType& type : kDeviceTypes) {
    if (SameText(typeText, type.typeText)) return &type;
  }
  return nullptr;
}

}  // namespace

WString DeviceTypeName(const WChar* typeText) {
  const DeviceType* type = FindDeviceType(typeText);
  return type != nullptr ? WString(type->name) : WString();
}

int32_t DeviceTypeId(const WChar* typeText) {
  const DeviceType* type = FindDeviceType(typeText);
  return type != nullptr ? type->id : 0;
}

}  // namespace velmora
