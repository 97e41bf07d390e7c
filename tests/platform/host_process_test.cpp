// The host's memory preparation: the heap it prepares is in memory before the next
// allocations first write to it.

#include "platform/host_process.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOwnAllocator = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kOwnAllocator = true;
#else
constexpr bool kOwnAllocator = false;
#endif
#else
constexpr bool kOwnAllocator = false;
#endif

// How many of the whole pages inside [begin, begin + size) are in memory.
std::size_t ResidentPages(const void* begin, std::size_t size, std::size_t& pages) {
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) & ~(page - 1);
  const std::uintptr_t last = (reinterpret_cast<std::uintptr_t>(begin) + size) & ~(page - 1);
  pages = (last - first) / page;
  std::vector<unsigned char> resident(pages);
  if (::mincore(reinterpret_cast<void*>(first), last - first, resident.data()) != 0) return 0;
  std::size_t count = 0;
  for (const unsigned char flags : resident) count += flags & 1u;
  return count;
}

TEST(HostProcessTest, PreparedHeapIsInMemoryBeforeItsFirstUse) {
  if (kOwnAllocator) GTEST_SKIP() << "the sanitizer's allocator keeps a heap of its own";
  // Larger than anything this test program allocated before, so that it comes from memory
  // the process never touched.
  constexpr std::size_t kBytes = 1536 * 1024;
  platform::PrepareMemory(kBytes, 64 * 1024);
  void* block = std::malloc(kBytes - 64 * 1024);
  ASSERT_NE(block, nullptr);
  std::size_t pages = 0;
  const std::size_t resident = ResidentPages(block, kBytes - 64 * 1024, pages);
  std::free(block);
  EXPECT_GT(pages, 300u);
  EXPECT_EQ(resident, pages);
}

}  // namespace
