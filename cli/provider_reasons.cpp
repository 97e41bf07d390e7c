#include "cli/provider_reasons.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "harnel/disposable_json.h"
#include "harnel/explain.h"
#include "harnel/machine_source.h"

namespace velmora::cli {

nlohmann::json ProviderReasons(std::string_view recordKey) {
  const harnel::MachineSource source = harnel::MachineSourceFromEnvironment();
  if (source.profile) return nullptr;  // a replayed machine has nothing to read again
  try {
    const harnel::DisposableJson reasons = harnel::ExplainMachine(recordKey, source.root);
    // A firmware's placeholder is quoted as the firmware wrote it, which need not be UTF-8:
    // such bytes become U+FFFD here, so that every later output of the reasons succeeds.
    return nlohmann::json::parse(
        reasons.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora: reasons for %.*s: %s; none shown\n",
                 static_cast<int>(recordKey.size()), recordKey.data(), e.what());
    return nullptr;
  }
}

std::string FieldReason(const nlohmann::json& reasons, std::size_t node, std::string_view field) {
  const nlohmann::json* fields = &reasons;
  if (reasons.is_array()) {
    if (node >= reasons.size()) return {};
    fields = &reasons[node];
  }
  if (!fields->is_object()) return {};
  const auto it = fields->find(std::string(field));
  return it != fields->end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::string RecordReason(const nlohmann::json& reasons) {
  return reasons.is_string() ? reasons.get<std::string>() : std::string();
}

}  // namespace velmora::cli
