// Built into a Harnel.dll for one test only, never shipped: the provider's own exports and core
// with an operator new (failing_allocator.cpp) whose allocations fail from the k-th on, counted
// from the moment the DLL is loaded, when the environment sets HARNEL_FAIL_ALLOCATION=k.

#include <cstdlib>

#include "tests/support/failing_allocator.h"

namespace {

const bool armed = [] {
  const char* k = std::getenv("HARNEL_FAIL_ALLOCATION");
  if (k != nullptr) failing_allocator::FailAt(std::atol(k), true);
  return k != nullptr;
}();

}  // namespace
