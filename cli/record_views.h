#pragma once
// How the host program shows each kind of record: the pair export that shows it, its section of
// the whole-inventory view, and the captions of its fields. Everything but the names and
// headings comes from the library's own tables (the pair exports' rows, the templates' fill
// rows) and the provider's schema.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "harnel/schema.h"

namespace velmora::cli {

struct RecordView {
  std::string_view name;     // the KIND of `velmora pairs KIND`; empty when no export shows it
  std::string_view heading;  // the section title of the whole-inventory view
  int (*run)(PairList&);     // the pair export; null when none
  const harnel::RecordSchema* schema;
  // The field behind each pair of one record or node, in the order of the pairs.
  std::vector<const harnel::FieldSchema*> pairFields;
  // The caption of each field of the schema, in its order: the pair export's label without its
  // closing colon ("总大小（MB）"); for a field that no pair export shows, the template's item
  // name with the unit in full-width parentheses, as the labels carry units ("容量（MB）"); empty
  // for a field neither shows.
  std::vector<std::string> captions;

  // Pairs per device for a list export; 0 for a single record.
  std::size_t GroupSize() const { return schema->isList ? pairFields.size() : 0; }
};

// Every kind of record, in provider order (that of the whole-inventory view).
std::span<const RecordView> RecordViews();

// The kind whose pair export is called `name`; null when there is none.
const RecordView* FindPairExport(std::string_view name);

// The caption of `field` of the record stored under `recordKey` (see RecordView::captions).
std::string FieldCaption(std::string_view recordKey, std::string_view field);

}  // namespace velmora::cli
