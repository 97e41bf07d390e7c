// What the platform layer gives off Windows: the module path, error texts, the ANSI code page
// that the locale variables choose, and the host's memory preparation.

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ansi_code_page.h"
#include "platform/host_path.h"
#include "platform/host_process.h"
#include "platform/system_error.h"
#include "tests/platform/locale_environment.h"
#include "tests/support/case_file.h"

namespace platform {
namespace {

TEST(HostPathTest, IsTheRunningExecutable) {
  WString path = HostProgramPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  std::u16string expected = std::filesystem::read_symlink("/proc/self/exe").u16string();
  EXPECT_EQ(path, WString(expected.begin(), expected.end()));
  EXPECT_TRUE(path.ends_with(WTEXT("/platform_test")));
}

TEST(SystemErrorTest, MessagesAreTheSystemsTextWithoutLineBreak) {
  // The tests never select a locale, so the messages are the untranslated ones.
  EXPECT_EQ(SystemErrorMessage(ENOENT), WTEXT("No such file or directory"));
  EXPECT_EQ(SystemErrorMessage(EACCES), WTEXT("Permission denied"));
  EXPECT_EQ(SystemErrorMessage(123456), WTEXT("Unknown error 123456"));
}

// Every row of data/locale_code_pages.txt: a locale name, or the three locale variables, and
// the code page they stand for.
TEST(AnsiCodePageTest, CodeSetOfTheFirstLocaleVariableThatIsSet) {
  for (const CaseRow& row :
       ReadCaseFile(VELMORA_SOURCE_DIR "/tests/platform/data/locale_code_pages.txt", 2, 4)) {
    SCOPED_TRACE(row.where);
    const size_t last = row.fields.size() - 1;
    ASSERT_NE(last, 2u) << "a locale name or three variables";
    std::string values[3];
    const char* variables[3] = {};  // LC_ALL, LC_CTYPE, LANG; null: unset
    for (size_t i = 0; i < last; ++i) {
      values[i] = row.Bytes(i);
      if (row.Text(i) != nullptr) variables[i] = values[i].c_str();
    }
    if (last == 1) {
      EXPECT_EQ(CodePageOfLocale(variables[0]), row.Value(1));
      std::swap(variables[0], variables[2]);  // the name alone, in LANG
    }
    LocaleEnvironment environment(variables[0], variables[1], variables[2]);
    EXPECT_EQ(AnsiCodePage(), row.Value(last));
  }
}

// The host's memory preparation: the heap it prepares is in memory before the next
// allocations first write to it.
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
  PrepareMemory(kBytes, 64 * 1024);
  void* block = std::malloc(kBytes - 64 * 1024);
  ASSERT_NE(block, nullptr);
  std::size_t pages = 0;
  const std::size_t resident = ResidentPages(block, kBytes - 64 * 1024, pages);
  std::free(block);
  EXPECT_GT(pages, 300u);
  EXPECT_EQ(resident, pages);
}

}  // namespace
}  // namespace platform
