#pragma once
// Why a record, a list or a field is empty, as the explainers of both systems' readers say it
// from what the reader found.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace harnel::findings {

// Reasons that more than one reader gives.
inline constexpr std::string_view kNotOnThisSystem = "not on this operating system";
inline constexpr std::string_view kRootOnly = "readable by root only";
inline constexpr std::string_view kNoFirmwareTables = "no firmware tables on this machine";

// The reason for a firmware placeholder: "the firmware says 'To be filled by O.E.M.'".
std::string FirmwareSays(std::string_view placeholder);

class Reasons {
 public:
  // Why field `field` of node `node` (0 for a single record) is null or 0 if it is; a later
  // reason for the same field replaces an earlier one. A reason for a field that has a value
  // in the end is not shown. `field` names a record field and so lives as long as the program.
  void Field(std::size_t node, std::string_view field, std::string_view why) {
    Put(node, field, std::string(why));
  }
  void Field(std::string_view field, std::string_view why) { Field(0, field, why); }
  // Why field `field` of any node is null or 0 where no reason for that node is given.
  void EveryNode(std::string_view field, std::string_view why) {
    Put(kEveryNode, field, std::string(why));
  }
  // Why any field is null or 0 where nothing more particular is said.
  void Otherwise(std::string_view why) { otherwise_ = why; }

  // Why there is no record, or no node of a list, at all.
  void Absent(std::string_view why) { absent_ = why; }

  // What was said: the reason for the record's absence (empty when none was given), the
  // reason given for one field of one node (null when none was given), and the reason that
  // holds for that field, the most particular one said (null when none was).
  const std::string& AbsentReason() const { return absent_; }
  const std::string* FieldReason(std::size_t node, std::string_view field) const;
  const std::string* ReasonFor(std::size_t node, std::string_view field) const;

 private:
  struct FieldWhy {
    std::size_t node;
    std::string_view field;
    std::string why;
  };
  static constexpr std::size_t kEveryNode = static_cast<std::size_t>(-1);
  void Put(std::size_t node, std::string_view field, std::string why);

  std::string absent_;
  std::string otherwise_;
  std::vector<FieldWhy> fields_;
};

}  // namespace harnel::findings
