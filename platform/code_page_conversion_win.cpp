#include "platform/code_page_conversion.h"

#include <windows.h>

namespace platform {

int ConvertToUtf16(int codePage, const char* bytes, int byteCount, WChar* destination, int room) {
  if (bytes == nullptr || byteCount <= 0) return 0;
  // Flags 0: invalid bytes are replaced, never rejected. Code page 0 is CP_ACP, the system's
  // ANSI code page.
  const UINT source = static_cast<UINT>(codePage);
  int units = MultiByteToWideChar(source, 0, bytes, byteCount, nullptr, 0);
  if (units <= 0) return 0;
  if (destination == nullptr) return units;
  // The system fills what fits before it fails, so room is checked first: too little room
  // writes nothing.
  if (units > room) return 0;
  units = MultiByteToWideChar(source, 0, bytes, byteCount, destination, room);
  return units > 0 ? units : 0;
}

}  // namespace platform
