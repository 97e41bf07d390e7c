// Collecting why a record, a list or a field is empty.

#include "harnel/findings/reasons.h"

namespace harnel::findings {

std::string FirmwareSays(std::string_view placeholder) {
  return "the firmware says '" + std::string(placeholder) + "'";
}

const std::string* Reasons::FieldReason(std::size_t node, std::string_view field) const {
  for (const FieldWhy& entry : fields_) {
    if (entry.node == node && entry.field == field) return &entry.why;
  }
  return nullptr;
}

const std::string* Reasons::ReasonFor(std::size_t node, std::string_view field) const {
  if (const std::string* reason = FieldReason(node, field)) return reason;
  if (const std::string* reason = FieldReason(kEveryNode, field)) return reason;
  return otherwise_.empty() ? nullptr : &otherwise_;
}

void Reasons::Put(std::size_t node, std::string_view field, std::string why) {
  for (FieldWhy& entry : fields_) {
    if (entry.node == node && entry.field == field) {
      entry.why = std::move(why);
      return;
    }
  }
  fields_.push_back({node, field, std::move(why)});
}

}  // namespace harnel::findings
