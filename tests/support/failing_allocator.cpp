#include "tests/support/failing_allocator.h"

#include <cstdlib>
#include <new>

namespace failing_allocator {
namespace {

// Counting is on only inside a call under test, so GoogleTest's own allocations pass.
bool counting = false;
long allocations = 0;
long failAt = 0;
bool failAfter = false;

}  // namespace

void FailAt(long k, bool andAfter) {
  allocations = 0;
  failAt = k;
  failAfter = andAfter;
  counting = true;
}

void Stop() { counting = false; }

bool ShouldFail() {
  if (!counting) return false;
  ++allocations;
  return allocations == failAt || (failAfter && allocations > failAt);
}

}  // namespace failing_allocator

// Default visibility, so that code in shared libraries allocates through these too. The
// pair is malloc/free underneath, which GCC cannot see through.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
__attribute__((visibility("default"))) void* operator new(std::size_t size) {
  if (failing_allocator::ShouldFail()) throw std::bad_alloc();
  void* memory = std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) throw std::bad_alloc();
  return memory;
}

__attribute__((visibility("default"))) void operator delete(void* memory) noexcept {
  std::free(memory);
}
__attribute__((visibility("default"))) void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
#pragma GCC diagnostic pop
