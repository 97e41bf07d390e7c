#include "cli/device_identity.h"

#include <array>
#include <string_view>

namespace velmora::cli {
namespace {

// One or two field names; an unused place is empty. A constructor fills both places rather than
// the rows leaving one to its default: GCC 12 cannot read a place an aggregate's initializer left
// out in a constant expression, which the rows' check below is.
struct Fields {
  constexpr Fields(std::string_view first, std::string_view second = {}) : names{first, second} {}
  std::array<std::string_view, 2> names;
};

// The fields that stay with a device while it is in the machine; the others may change and are
// reported as changed. A disk's name alone can pass to another disk between two boots, so its
// model goes with it; a network adapter keeps its MAC address, a memory module its slot, a
// monitor its model (two of a model pair in list order). Where the first field is null the
// fallback names the device, and where that is null too, the whole node does.
struct IdentityRow {
  std::string_view recordKey;
  Fields fields;
  Fields fallback;
};
constexpr IdentityRow kIdentities[] = {
    {harnel::kProfileKey<InputdeviceNode>,
     {"caption", "deviceType"},
     {"description", "deviceType"}},
    {harnel::kProfileKey<ModemNode>, {"name"}, {"deviceType"}},
    {harnel::kProfileKey<MonitorNode>, {"monitorType"}, {"manufacturer"}},
    {harnel::kProfileKey<NetworkadapterNode>, {"macAddress"}, {"description"}},
    {harnel::kProfileKey<PrinterNode>, {"name"}, {"model", "port"}},
    {harnel::kProfileKey<StorageNode>, {"name", "model"}, {"model"}},
    {harnel::kProfileKey<SystemcontrollerNode>,
     {"name", "manufacturer"},
     {"controllerType", "manufacturer"}},
    {harnel::kProfileKey<SystemslotNode>, {"name"}, {"smbiosString"}},
    {harnel::kProfileKey<VideoadapterNode>, {"name"}, {"videoProcessor"}},
    {harnel::kProfileKey<PhyMemoryNode>, {"deviceLocator"}, {"moduleName"}},
};

// Whether `fields` names a first field and only fields the record under `recordKey` has of its
// own: a name of none would throw at the first node compared, and what the Machine key adds to a
// node does not name the device.
constexpr bool NamesRecordFields(std::string_view recordKey, const Fields& fields) {
  if (fields.names[0].empty()) return false;
  for (std::string_view field : fields.names) {
    if (!field.empty() && !harnel::IsRecordField(recordKey, field)) return false;
  }
  return true;
}

constexpr bool RowsNameRecordFields() {
  for (const IdentityRow& row : kIdentities) {
    if (!NamesRecordFields(row.recordKey, row.fields) ||
        !NamesRecordFields(row.recordKey, row.fallback)) {
      return false;
    }
  }
  return true;
}
static_assert(RowsNameRecordFields(), "an identity row names a field its record lacks");

nlohmann::ordered_json Pick(const nlohmann::ordered_json& node, const Fields& fields) {
  nlohmann::ordered_json identity = nlohmann::ordered_json::object();
  for (std::string_view field : fields.names) {
    if (!field.empty()) identity[std::string(field)] = node.at(std::string(field));
  }
  return identity;
}

}  // namespace

nlohmann::ordered_json DeviceIdentity(const harnel::RecordSchema& schema,
                                      const nlohmann::ordered_json& node) {
  for (const IdentityRow& row : kIdentities) {
    if (row.recordKey != schema.key) continue;
    if (!node.at(std::string(row.fields.names[0])).is_null()) return Pick(node, row.fields);
    if (!node.at(std::string(row.fallback.names[0])).is_null()) return Pick(node, row.fallback);
    break;
  }
  // The record's own fields: what the Machine key adds to a node does not name it.
  nlohmann::ordered_json all = nlohmann::ordered_json::object();
  for (const harnel::FieldSchema& field : schema.fields) {
    all[std::string(field.name)] = node.at(std::string(field.name));
  }
  return all;
}

}  // namespace velmora::cli
