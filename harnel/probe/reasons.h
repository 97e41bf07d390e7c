#pragma once
// Why a reader leaves a record, a list or a field empty. The readers of both systems say it
// beside the record they fill, only when a capture asks for it: for a plain request every call
// below returns at once, so the record costs nothing more.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace harnel::probe {

// Reasons that more than one reader gives.
inline constexpr std::string_view kNotOnThisSystem = "not on this operating system";
inline constexpr std::string_view kRootOnly = "readable by root only";
inline constexpr std::string_view kNoFirmwareTables = "no firmware tables on this machine";

// The reason for a firmware placeholder: "the firmware says 'To be filled by O.E.M.'".
std::string FirmwareSays(std::string_view placeholder);

class Reasons {
 public:
  // Gathers only when `wanted`.
  explicit Reasons(bool wanted = false) : wanted_(wanted) {}
  bool Wanted() const { return wanted_; }

  // Why field `field` of node `node` (0 for a single record) is null or 0 if it is; a later
  // reason for the same field replaces an earlier one. A reason for a field that has a value
  // in the end is not shown. `field` names a record field and so lives as long as the program.
  void Field(std::size_t node, std::string_view field, std::string_view why) {
    if (wanted_) Put(node, field, std::string(why));
  }
  void Field(std::string_view field, std::string_view why) { Field(0, field, why); }
  // As Field, with a reason that costs something to work out: `make()` gives it, and is
  // called only when reasons are wanted.
  template <class Make>
  void FieldBy(std::size_t node, std::string_view field, Make&& make) {
    if (wanted_) Put(node, field, std::string(make()));
  }
  template <class Make>
  void FieldBy(std::string_view field, Make&& make) {
    FieldBy(0, field, std::forward<Make>(make));
  }

  // Why there is no record, or no node of a list, at all.
  void Absent(std::string_view why) {
    if (wanted_) absent_ = why;
  }
  template <class Make>
  void AbsentBy(Make&& make) {
    if (wanted_) absent_ = make();
  }

  // What was said: the reason for the record's absence (empty when none was given) and the
  // reason for one field (null when none was given).
  const std::string& AbsentReason() const { return absent_; }
  const std::string* FieldReason(std::size_t node, std::string_view field) const;

 private:
  struct FieldWhy {
    std::size_t node;
    std::string_view field;
    std::string why;
  };
  void Put(std::size_t node, std::string_view field, std::string why);

  bool wanted_;
  std::string absent_;
  std::vector<FieldWhy> fields_;
};

}  // namespace harnel::probe
