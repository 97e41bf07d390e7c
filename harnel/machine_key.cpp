#include "harnel/machine_key.h"

namespace harnel {
namespace {

constexpr bool EachSystemFieldHeld() {
  for (const FieldSchema& field : kSystemFields) {
    if (!IsProfileField(kMachineSystemKey, field.name)) return false;
  }
  return true;
}
static_assert(EachSystemFieldHeld());

}  // namespace
}  // namespace harnel
