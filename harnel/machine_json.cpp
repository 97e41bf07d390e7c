#include "harnel/machine_json.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "harnel/disposable_json.h"
#include "harnel/explain.h"
#include "harnel/machine_facts.h"
#include "harnel/machine_key.h"
#include "harnel/record_json.h"
#include "harnel/schema.h"

namespace harnel {
namespace {

// True when `reasons` explains something: a record's absence, or a field of it or of a node.
template <class Json>
bool SaysAnything(const Json& reasons) {
  if (reasons.is_string() || reasons.is_object()) return !reasons.empty();
  if (!reasons.is_array()) return false;
  for (const Json& node : reasons) {
    if (SaysAnything(node)) return true;
  }
  return false;
}

// A failure of a reader that it did not foresee leaves its part out, not the answer.
void ReportLeftOut(const std::string& what, const std::exception& e) {
  const std::string line = "velmora: " + what + ": " + e.what() + "; none shown\n";
  std::fputs(line.c_str(), stderr);
}

// The record `schema` describes, through the provider's own exported Get and Free, so that the
// host sees what any caller of them sees.
nlohmann::ordered_json RecordNow(const RecordSchema& schema) {
  void* record = schema.get();
  try {
    nlohmann::ordered_json json = RecordToJson(schema, record);
    if (record != nullptr) schema.release(record);
    return json;
  } catch (...) {
    if (record != nullptr) schema.release(record);
    throw;
  }
}

// Why the record under `key` is empty where it is; null while a profile is replayed.
nlohmann::ordered_json RecordReasons(ProviderCore& core, std::string_view key) {
  if (core.Replays()) return nullptr;  // a replayed machine has nothing to read again
  try {
    const DisposableJson reasons = ExplainMachine(key, core.Root());
    // A firmware's placeholder is quoted as the firmware wrote it, which need not be UTF-8:
    // such bytes become U+FFFD here, so that every later output of the reasons succeeds.
    return nlohmann::ordered_json::parse(
        reasons.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    ReportLeftOut("reasons for " + std::string(key), e);
    return nullptr;
  }
}

// The Machine key and, while the machine is probed, why it lacks what it lacks: both from one
// read, so that the reasons describe the values given.
MachineFacts MachineKeyNow(ProviderCore& core) {
  if (core.Replays()) return {core.ReplayedMachine(), nullptr};
  try {
    return ReadMachineFacts(core.Root());
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    ReportLeftOut("the machine's facts", e);
    return {};
  }
}

// Every record's reasons and the Machine key's that say anything.
nlohmann::ordered_json ReasonsThatSayAnything(ProviderCore& core,
                                              nlohmann::ordered_json machineReasons) {
  nlohmann::ordered_json all = nlohmann::ordered_json::object();
  for (const RecordSchema& schema : RecordSchemas()) {
    nlohmann::ordered_json reasons = RecordReasons(core, schema.key);
    if (SaysAnything(reasons)) all[std::string(schema.key)] = std::move(reasons);
  }
  if (SaysAnything(machineReasons)) all[std::string(kMachineKey)] = std::move(machineReasons);
  return all;
}

nlohmann::ordered_json WholeProfile(ProviderCore& core, MachineParts parts) {
  nlohmann::ordered_json profile = nlohmann::ordered_json::object();
  if (parts.values) {
    for (const RecordSchema& schema : RecordSchemas()) {
      profile[std::string(schema.key)] = RecordNow(schema);
    }
  }
  MachineFacts machine = MachineKeyNow(core);
  if (parts.values && !machine.key.is_null()) {
    profile[std::string(kMachineKey)] = std::move(machine.key);
  }
  if (!parts.reasons) return profile;
  nlohmann::ordered_json reasons = ReasonsThatSayAnything(core, std::move(machine.reasons));
  if (!parts.values) return reasons;
  // Beside the records, under a key that replay does not know and so leaves alone.
  if (!reasons.empty()) profile["Reasons"] = std::move(reasons);
  return profile;
}

}  // namespace

std::optional<nlohmann::ordered_json> MachineJson(ProviderCore& core, std::string_view section,
                                                  MachineParts parts) {
  if (!parts.values && !parts.reasons) return std::nullopt;
  if (section.empty()) return WholeProfile(core, parts);
  if (parts.values && parts.reasons) return std::nullopt;
  if (section == kMachineKey) {
    MachineFacts machine = MachineKeyNow(core);
    return parts.values ? std::move(machine.key) : std::move(machine.reasons);
  }
  const RecordSchema* schema = FindRecordSchema(section);
  if (schema == nullptr) return std::nullopt;
  return parts.values ? RecordNow(*schema) : RecordReasons(core, section);
}

}  // namespace harnel
