// MemoryInfo's source: the system's memory status.

#include <windows.h>

#include "harnel/windows/read.h"

namespace harnel::windows {

DisposableJson ReadMemory() {
  DisposableJson raw = nlohmann::json::object();
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return raw;
  raw["totalPhys"] = status.ullTotalPhys;
  raw["totalPageFile"] = status.ullTotalPageFile;
  return raw;
}

}  // namespace harnel::windows
