// Splitting, trimming and reading numbers from kernel and firmware text without throwing.

#include "harnel/decode/text_util.h"

#include <charconv>

#include "base/utf8.h"

namespace harnel::decode {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\0';
}

}  // namespace

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::vector<std::string_view> SplitWords(std::string_view text, char separator) {
  std::vector<std::string_view> words;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(separator, start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view word = Trim(text.substr(start, end - start));
    if (!word.empty()) words.push_back(word);
    start = end + 1;
  }
  return words;
}

std::optional<std::uint64_t> ParseUnsigned(std::string_view text, int base) {
  text = Trim(text);
  if (base == 16 && (StartsWith(text, "0x") || StartsWith(text, "0X"))) text.remove_prefix(2);
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::uint64_t> ParseLeadingUnsigned(std::string_view text) {
  text = Trim(text);
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  return value;
}

std::string ToValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const unicode::Utf8Sequence sequence = unicode::NextUtf8Sequence(text);
    if (sequence.kind != unicode::Utf8Sequence::kWellFormed) {
      out.append("\xEF\xBF\xBD");
    } else if (sequence.value >= 0x20 || sequence.value == '\t') {
      out.append(text.substr(0, sequence.length));
    }
    text.remove_prefix(sequence.length);
  }
  return out;
}

}  // namespace harnel::decode
