// The Machine key's facts: keeping a value and noting the sources that did not give it.

#include "harnel/findings/machine_reading.h"

#include "harnel/decode/text_util.h"
#include "harnel/findings/reasons.h"
#include "harnel/schema.h"

namespace harnel::findings {
namespace {

std::string NoteText(const SourceNote& note) {
  switch (note.answer) {
    case SourceAnswer::SourceMissing:
      return "no " + note.source;
    case SourceAnswer::SourceRootOnly:
      return note.source + " is " + std::string(kRootOnly);
    case SourceAnswer::SourceUnreadable:
      return note.source + ": " + note.detail;
    case SourceAnswer::SourcePlaceholder:
      return FirmwareSays(note.detail);
    case SourceAnswer::SourceSays:
      return note.detail;
    case SourceAnswer::SourceSilent:
      break;
  }
  return note.source + " gives none";
}

using ValueOf = nlohmann::ordered_json (*)(const FactSet& set);

nlohmann::ordered_json ValuesOf(const FactSet& set) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const auto& [field, fact] : set.Fields()) {
    if (fact.Known()) object[std::string(field)] = nlohmann::ordered_json(fact.value);
  }
  return object;
}

nlohmann::ordered_json ReasonsOf(const FactSet& set) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const auto& [field, fact] : set.Fields()) {
    if (!fact.Known()) object[std::string(field)] = ReasonOf(fact);
  }
  return object;
}

// Each list's nodes: kept when any node has something to show.
void PutList(nlohmann::ordered_json& key, std::string_view name, const std::vector<FactSet>& sets,
             ValueOf of) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  bool any = false;
  for (const FactSet& set : sets) {
    list.push_back(of(set));
    any = any || !list.back().empty();
  }
  if (any) key[name] = std::move(list);
}

nlohmann::ordered_json KeyOf(const MachineReading& reading, ValueOf of) {
  nlohmann::ordered_json key = nlohmann::ordered_json::object();
  for (const auto& [name, set] : {std::pair{std::string_view("System"), &reading.system},
                                  std::pair{kProfileKey<ProcessorInfo>, &reading.processor}}) {
    nlohmann::ordered_json object = of(*set);
    if (!object.empty()) key[name] = std::move(object);
  }
  PutList(key, kProfileKey<PhyMemoryNode>, reading.memoryModules, of);
  PutList(key, kProfileKey<StorageNode>, reading.disks, of);
  PutList(key, kProfileKey<MonitorNode>, reading.monitors, of);
  PutList(key, kProfileKey<NetworkadapterNode>, reading.adapters, of);
  return key;
}

}  // namespace

bool Fact::Take(nlohmann::json candidate) {
  if (Known()) return true;
  const bool text = candidate.is_string() && !candidate.get_ref<const std::string&>().empty();
  if (!text && !candidate.is_number_integer()) return false;
  // Firmware and drives hand out bytes, not always UTF-8: a profile holds valid text only.
  if (text) candidate = decode::ToValidUtf8(candidate.get_ref<const std::string&>());
  value = std::move(candidate);
  return true;
}

void Fact::Miss(std::string_view source, SourceAnswer answer, std::string_view detail) {
  // A firmware's placeholder is quoted as the firmware wrote it, which need not be UTF-8.
  if (!Known()) misses.push_back({std::string(source), answer, decode::ToValidUtf8(detail)});
}

Fact& FactSet::operator[](std::string_view field) {
  for (auto& [name, fact] : fields_) {
    if (name == field) return fact;
  }
  return fields_.emplace_back(field, Fact{}).second;
}

std::string ReasonOf(const Fact& fact) {
  std::string reason;
  for (const SourceNote& note : fact.misses) {
    const std::string text = NoteText(note);
    if (reason.find(text) != std::string::npos) continue;
    if (!reason.empty()) reason += "; ";
    reason += text;
  }
  return reason.empty() ? "no source gives it" : reason;
}

nlohmann::ordered_json MachineKeyOf(const MachineReading& reading) {
  return KeyOf(reading, ValuesOf);
}

nlohmann::ordered_json MachineReasonsOf(const MachineReading& reading) {
  return KeyOf(reading, ReasonsOf);
}

}  // namespace harnel::findings
