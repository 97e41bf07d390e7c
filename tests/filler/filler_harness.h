#pragma once
// What the template tests share: templates written beside the test program and a call of the
// export.

#include <string>
#include <string_view>

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

}  // namespace fillertest
