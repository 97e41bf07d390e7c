#include "xmldoc/reparse_check.h"

#include "xmldoc/xml_doc.h"

namespace {

std::string Describe(uint32_t edited, uint32_t fresh, const char* what) {
  return "entry " + std::to_string(edited) + " (fresh parse: " + std::to_string(fresh) +
         "): " + what;
}

// The next entry in preorder, 0 after the last.
uint32_t NextInPreorder(const XmlDoc& doc, uint32_t e) {
  if (doc.Entry(e).firstChild != 0) return doc.Entry(e).firstChild;
  while (e != 0 && doc.Entry(e).nextSibling == 0) e = doc.Entry(e).parent;
  return e == 0 ? 0 : doc.Entry(e).nextSibling;
}

}  // namespace

std::string CompareWithFreshParse(const XmlDoc& doc, bool* comparable) {
  XmlDoc fresh;
  fresh.SetText(doc.DocumentText());
  fresh.flags = doc.flags;
  fresh.ParseDocument();
  const bool repaired = fresh.Entry(0).Has(IllFormed);
  if (comparable != nullptr) *comparable = !repaired;
  if (repaired) return std::string();
  if (doc.Entry(0).length != fresh.Entry(0).length) return Describe(0, 0, "length");

  uint32_t a = doc.Entry(0).firstChild;
  uint32_t b = fresh.Entry(0).firstChild;
  while (a != 0 || b != 0) {
    if (a == 0 || b == 0) return Describe(a, b, "one tree has more elements");
    const ElementEntry& x = doc.Entry(a);
    const ElementEntry& y = fresh.Entry(b);
    if (x.start != y.start) return Describe(a, b, "start");
    if (x.length != y.length) return Describe(a, b, "length");
    if (x.tagLengths != y.tagLengths) return Describe(a, b, "tag lengths");
    if (doc.EndTagLength(a) != fresh.EndTagLength(b)) return Describe(a, b, "long end tag");
    if (x.entryFlags != y.entryFlags) return Describe(a, b, "level or flags");
    if ((x.firstChild == 0) != (y.firstChild == 0)) return Describe(a, b, "first child");
    if ((x.nextSibling == 0) != (y.nextSibling == 0)) return Describe(a, b, "next sibling");
    if ((x.parent == 0) != (y.parent == 0)) return Describe(a, b, "parent");
    if (x.parent != 0 && doc.Entry(x.parent).start != fresh.Entry(y.parent).start) {
      return Describe(a, b, "parent");
    }
    if (doc.Entry(x.prevSibling).start != fresh.Entry(y.prevSibling).start) {
      return Describe(a, b, "previous (or last) sibling");
    }
    a = NextInPreorder(doc, a);
    b = NextInPreorder(fresh, b);
  }
  return std::string();
}
