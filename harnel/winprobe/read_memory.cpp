// MemoryInfo's source: the system's memory status.

#include <windows.h>

#include "harnel/winprobe/read.h"

namespace harnel::winprobe {

nlohmann::json ReadMemory() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return nlohmann::json::object();
  return {{"totalPhys", status.ullTotalPhys}, {"totalPageFile", status.ullTotalPageFile}};
}

}  // namespace harnel::winprobe
