#pragma once
// What the benchmarks need to have pugixml hand back a whole document as our engine does.

#include <cstddef>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace benchtext {

// A filled template keeps its declaration, and the white space and line breaks between
// elements as they were. pugixml's default parse drops all three, so it is told to keep them.
inline constexpr unsigned kKeepWholeText =
    (pugi::parse_default & ~pugi::parse_eol) | pugi::parse_declaration | pugi::parse_ws_pcdata;

// The whole document as UTF-8, written without formatting.
inline std::string SaveWhole(const pugi::xml_document& doc) {
  struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override {
      out.append(static_cast<const char*>(data), size);
    }
  } writer;
  doc.save(writer, PUGIXML_TEXT("  "), pugi::format_raw, pugi::encoding_utf8);
  return std::move(writer.out);
}

// `text` with every `from` replaced by `to`.
inline void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// Our filled text as pugixml writes the same document: pugixml leaves ">" and "'" in values
// unescaped and keeps no white space outside the root element.
inline std::string AsPugixmlWritesIt(std::string ours) {
  ReplaceAll(ours, "&gt;", ">");
  ReplaceAll(ours, "&apos;", "'");
  ReplaceAll(ours, "?>\r\n<", "?><");
  if (!ours.empty() && ours.back() == '\n') ours.pop_back();
  if (!ours.empty() && ours.back() == '\r') ours.pop_back();
  return ours;
}

}  // namespace benchtext
