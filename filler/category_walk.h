#pragma once
// The steps every template shares: the walk over the root's categories, filling a
// category's items from a record, and repeating a list category once per device.

#include <cstdint>
#include <span>

#include "filler/fill_table.h"
#include "pairs/format_number.h"
#include "xmldoc/xml_doc.h"

namespace velmora {

inline constexpr const WChar* kCategoryTag = WTEXT("category");
inline constexpr const WChar* kItemTag = WTEXT("item");
inline constexpr const WChar* kIdAttribute = WTEXT("id");
inline constexpr const WChar* kNameAttribute = WTEXT("name");
inline constexpr const WChar* kValueAttribute = WTEXT("value");

// Number texts are formatted into a zero-filled buffer of this many units.
inline constexpr int kNumberBufferUnits = 100;

// Visits the root's `category` children in document order, calling `rule(doc, id)` with
// each one entered (it is the current element). A rule may remove the category and insert
// copies, or reset the position so that the walk begins again at the root's first category.
template <class Rule>
void WalkCategories(XmlDoc& doc, Rule&& rule) {
  while (doc.FindChildElement(kCategoryTag)) {
    doc.EnterElement();
    rule(doc, doc.ReadAttribute(kIdAttribute));
    doc.LeaveElement();
  }
}

// Writes `value` into the attribute `name` of the element at `element`.
inline void WriteNumberAttribute(XmlDoc& doc, uint32_t element, const WChar* name,
                                 const WChar* format, int32_t value) {
  WChar buffer[kNumberBufferUnits] = {};
  FormatNumber(buffer, format, value);
  doc.WriteAttribute(element, name, buffer);
}

// Gives every `item` child of the current element whose `name` has a row in `table` the
// value of that row's field. A null text field leaves its item alone; numbers are always
// written.
template <class Record>
void FillItems(XmlDoc& doc, std::span<const FillRow<Record>> table, const Record& record) {
  while (doc.FindChildElement(kItemTag)) {
    const WString itemName = doc.ReadChildAttribute(kNameAttribute);
    for (const FillRow<Record>& row : table) {
      if (itemName != row.itemName) continue;
      if (row.number != nullptr) {
        WriteNumberAttribute(doc, doc.childPos, kValueAttribute, row.format, record.*row.number);
      } else if (const WChar* text = record.*row.text; text != nullptr) {
        doc.WriteAttribute(doc.childPos, kValueAttribute, text);
      }
      break;
    }
  }
}

// Replaces the current category by one copy per node of the list that `guard` holds (none
// when it holds none), in list order; `fillCopy(doc, node)` fills each copy while it is the
// current element. Returns whether the provider gave a list. Afterwards the current element
// is the last copy, or the element before the removed category, or none.
template <class Guard, class FillCopy>
bool ExpandListCategory(XmlDoc& doc, FillCopy&& fillCopy) {
  const WString markup = doc.ElementMarkup();
  const uint32_t before = static_cast<uint32_t>(doc.RemoveElement(doc.mainPos));
  doc.mainPos = before;
  doc.childPos = 0;
  doc.nodeKind = before != 0 ? 1 : 0;

  Guard list;
  if (!list) return false;
  for (const auto* node = list.get(); node != nullptr; node = node->next) {
    doc.InsertMarkup(markup.c_str());
    fillCopy(doc, *node);
  }
  return true;
}

// Gives the current element (a fresh list copy) its `id`, its `name` caption when `caption`
// is not null (an empty caption is still written), then fills its items from `node`.
template <class Node>
void FillCopy(XmlDoc& doc, const Node& node, int32_t id, const WChar* caption,
              std::span<const FillRow<Node>> table) {
  WriteNumberAttribute(doc, doc.mainPos, kIdAttribute, WTEXT("%d"), id);
  if (caption != nullptr) doc.WriteAttribute(doc.mainPos, kNameAttribute, caption);
  FillItems(doc, table, node);
}

}  // namespace velmora
