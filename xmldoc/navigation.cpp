#include "xmldoc/element_path.h"
#include "xmldoc/escaping.h"
#include "xmldoc/scanner.h"
#include "xmldoc/xml_doc.h"

uint32_t XmlDoc::FindSibling(uint32_t parent, uint32_t after, const WChar* path) const {
  const ElementPath checked = CheckElementPath(path);
  if (checked.kind != PathAny && checked.kind != PathName) return 0;
  uint32_t candidate = after != 0 ? Entry(after).nextSibling : Entry(parent).firstChild;
  if (checked.kind == PathAny) return candidate;
  Scanner scanner;
  scanner.scanFlags = flags;
  for (; candidate != 0; candidate = Entry(candidate).nextSibling) {
    const size_t name = size_t(Entry(candidate).start) + 1;
    scanner.text = TextFrom(name);
    scanner.cursor = static_cast<int32_t>(name);
    if (WordEquals(scanner, checked.firstName, checked.firstNameLength)) return candidate;
  }
  return 0;
}

bool XmlDoc::FindElement(const WChar* name) {
  const uint32_t e = FindSibling(parentPos, mainPos, name);
  if (e == 0) return false;
  mainPos = e;
  childPos = 0;
  nodeKind = 1;
  parentPos = Entry(e).parent;
  return true;
}

bool XmlDoc::FindChildElement(const WChar* name) {
  if (mainPos == 0) FindElement(nullptr);
  const uint32_t e = FindSibling(mainPos, childPos, name);
  if (e == 0) return false;
  const uint32_t p = Entry(e).parent;
  mainPos = p;
  childPos = e;
  parentPos = Entry(p).parent;
  nodeKind = p != 0 ? 1 : 0;
  return true;
}

void XmlDoc::EnterElement() {
  if (mainPos == 0 || nodeKind != 1) return;
  parentPos = mainPos;
  mainPos = childPos;
  childPos = 0;
  nodeKind = mainPos != 0 ? 1 : 0;
}

void XmlDoc::LeaveElement() {
  if (parentPos == 0) return;
  childPos = mainPos;
  mainPos = parentPos;
  parentPos = Entry(parentPos).parent;
  nodeKind = 1;
}

void XmlDoc::ResetPosition() { parentPos = mainPos = childPos = nodeKind = 0; }

WString XmlDoc::ReadAttributeAt(uint32_t pos, const WChar* name) const {
  if (pos == 0 || nodeKind != 1 || name == nullptr) return WString();
  const size_t tagName = size_t(Entry(pos).start) + 1;
  Scanner scanner;
  scanner.text = TextFrom(tagName);
  scanner.cursor = static_cast<int32_t>(tagName);
  scanner.scanFlags = flags;
  if (!FindAttribute(scanner, name)) return WString();
  return UnescapeText(scanner.text + scanner.tokenStart, scanner.tokenEnd - scanner.tokenStart + 1);
}

WString XmlDoc::ReadAttribute(const WChar* name) const { return ReadAttributeAt(mainPos, name); }

WString XmlDoc::ReadChildAttribute(const WChar* name) const {
  return ReadAttributeAt(childPos, name);
}

WString XmlDoc::ElementName(uint32_t pos) const {
  if (pos == 0) return WString();
  const size_t tagName = size_t(Entry(pos).start) + 1;
  Scanner scanner;
  scanner.text = TextFrom(tagName);
  scanner.cursor = static_cast<int32_t>(tagName);
  scanner.scanFlags = flags;
  NextWord(scanner);
  return TokenText(scanner);
}

WString XmlDoc::ElementMarkup() const {
  if (mainPos == 0) return WString();
  const ElementEntry e = Entry(mainPos);
  size_t end = size_t(e.start) + e.length;
  const size_t size = TextLength();
  size_t p = end;
  while (p < size && IsWhitespace(TextUnit(p))) ++p;
  if (p == size || TextUnit(p) == '<') end = p;
  return TextRange(e.start, end);
}
