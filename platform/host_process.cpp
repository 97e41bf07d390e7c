#include "platform/host_process.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include <malloc.h>
#include <sys/mman.h>

#include <unistd.h>

namespace platform {

// POSIX streams never translate line breaks.
void UseBinaryStandardOutput() {}

bool StandardOutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

void SetEnvironment(const std::string& name, const std::string& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

void PrepareMemory(std::size_t heapBytes, std::size_t stackBytes) {
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto populate = [page](std::uintptr_t begin, std::uintptr_t end) {
    begin = (begin + page - 1) & ~(page - 1);
    end &= ~(page - 1);
    // Kernels before 5.14 refuse the advice; the pages then come one fault at a time.
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
  };
  if (heapBytes > 0) {
    // The block must come from the heap's top and go back to it unshrunk, so that the next
    // allocations land on the pages made here: no separate mapping for it, no trimming.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(std::max<std::size_t>(heapBytes * 2, 1 << 20)));
    mallopt(M_TRIM_THRESHOLD, 1 << 24);
    if (void* block = std::malloc(heapBytes)) {
      const auto begin = reinterpret_cast<std::uintptr_t>(block);
      populate(begin, begin + heapBytes);
      std::free(block);
    }
  }
  if (stackBytes > 0) {
    // Below the caller's frame, inside the stack the kernel set up at exec (at least 128 KB).
    const auto top = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    populate(top - stackBytes, top & ~(page - 1));
  }
}

}  // namespace platform
