#pragma once
// The iconv counterpart of each Windows code page that this system can convert off Windows.

namespace platform {

// Returns the iconv charset name that decodes `codePage` as the Windows converter does, or
// null when iconv has no counterpart (the conversion then yields nothing). Static storage.
const char* IconvNameOfCodePage(int codePage);

}  // namespace platform
