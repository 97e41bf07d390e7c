#pragma once
// The facts of a profile's "Machine" key as both systems' readers gather them: each fact with
// its value and the sources that did not give it, so that the reasons for an absent fact are
// told from what the read itself met, without reading anything again.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace harnel::findings {

// How a source that did not give a fact turned out.
enum class SourceAnswer {
  SourceMissing,      // it is not there
  SourceRootOnly,     // it is there but closed to this user
  SourceUnreadable,   // opening or reading it failed; `detail` holds the system's message
  SourceSilent,       // it was read and holds no such value
  SourcePlaceholder,  // it holds a vendor's filler text, `detail`
  SourceSays          // `detail` is the whole reason, told without naming the source
};

struct SourceNote {
  std::string source;  // a path, or what answered ("the firmware table")
  SourceAnswer answer = SourceAnswer::SourceMissing;
  std::string detail;
};

// One fact: its value (a text or an integer; null when none) and, in the order they were
// asked, the sources that did not give it.
struct Fact {
  nlohmann::json value;
  std::vector<SourceNote> misses;

  bool Known() const { return !value.is_null(); }
  // Keeps `value` when it holds a non-empty text or any integer; returns whether it did.
  bool Take(nlohmann::json candidate);
  // Notes that `source` gave nothing, unless the fact is known already.
  void Miss(std::string_view source, SourceAnswer answer, std::string_view detail = {});
};

// The facts of one object of the key, by field name, in the order they were first named.
class FactSet {
 public:
  // The fact `field` (a name that lives as long as the program), added empty on first use.
  Fact& operator[](std::string_view field);
  const std::vector<std::pair<std::string_view, Fact>>& Fields() const { return fields_; }

 private:
  std::vector<std::pair<std::string_view, Fact>> fields_;
};

// Everything one read of the machine gathered for the key. Each list holds one set per node of
// the record list of the same name, in that list's order.
struct MachineReading {
  FactSet system, processor;
  std::vector<FactSet> memoryModules, disks, monitors, adapters;
};

// The "Machine" key: the known values only, objects in field order; an object or list without
// any value is left out.
nlohmann::ordered_json MachineKeyOf(const MachineReading& reading);

// Why the key lacks what it lacks, in the key's own shape: the reason of each absent fact, an
// object per node of a list ({} for a node that lacks nothing); an object or list that lacks
// nothing is left out.
nlohmann::ordered_json MachineReasonsOf(const MachineReading& reading);

// The reason told for one absent fact: its sources' answers, joined by "; ".
std::string ReasonOf(const Fact& fact);

}  // namespace harnel::findings
