#include "harnel/machine_key.h"

#include <string>

namespace harnel {
namespace {

constexpr FieldSchema kSystemFields[] = {
    {"manufacturer", FieldKind::FieldText, 0},  {"product", FieldKind::FieldText, 0},
    {"serial", FieldKind::FieldText, 0},        {"uuid", FieldKind::FieldText, 0},
    {"sku", FieldKind::FieldText, 0},           {"assetTag", FieldKind::FieldText, 0},
    {"chassisSerial", FieldKind::FieldText, 0}, {"virtualization", FieldKind::FieldText, 0},
};
constexpr RecordSchema kSystemSchema{kMachineSystemKey, false,   0,      0,
                                     kSystemFields,     nullptr, nullptr};

constexpr bool EachSystemFieldHeld() {
  for (const FieldSchema& field : kSystemFields) {
    if (!IsProfileField(kMachineSystemKey, field.name)) return false;
  }
  return true;
}
static_assert(EachSystemFieldHeld());

const nlohmann::json kNothing;

}  // namespace

const RecordSchema& SystemSchema() { return kSystemSchema; }

const nlohmann::json& MachineFactsOf(const nlohmann::json& profile, std::string_view recordKey,
                                     std::size_t index) {
  if (!profile.is_object()) return kNothing;
  const auto machine = profile.find(std::string(kMachineKey));
  if (machine == profile.end() || !machine->is_object()) return kNothing;
  if (recordKey.starts_with("Machine.")) recordKey.remove_prefix(8);
  const auto facts = machine->find(std::string(recordKey));
  if (facts == machine->end()) return kNothing;
  if (facts->is_object()) return index == 0 ? *facts : kNothing;
  if (facts->is_array() && index < facts->size() && (*facts)[index].is_object()) {
    return (*facts)[index];
  }
  return kNothing;
}

}  // namespace harnel
