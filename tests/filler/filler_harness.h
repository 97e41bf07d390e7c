#pragma once
// What the template tests share: templates written beside the test program, a call of the
// export, and readings of the returned document.

#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace fillertest {

std::string Utf8(const WString& text);

// Writes `utf8` as the template `fileName` into the `hardinfo` folder beside this program.
void WriteTemplate(const char* fileName, std::string_view utf8);
// Removes the template `fileName` from that folder, if it is there.
void RemoveTemplate(const char* fileName);

struct FillResult {
  int code;
  std::string text;  // the caller's string afterwards, in UTF-8
};

// Calls GetDeviceXMLBuffer with a caller string that holds `initial` beforehand.
FillResult Fill(int category, std::string_view initial = "before");

// The `id` of every `category` element in document order ("" where it has none).
std::vector<std::string> CategoryIds(const std::string& xml);
// The `name` of every `category` element in document order.
std::vector<std::string> CategoryNames(const std::string& xml);
// The `value` of every `item` whose `name` is `itemName`, in document order.
std::vector<std::string> ItemValues(const std::string& xml, std::string_view itemName);

}  // namespace fillertest
