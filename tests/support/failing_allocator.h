#pragma once
// Allocation-failure injection for the test program that links failing_allocator.cpp: it
// replaces the global operator new so that a chosen allocation throws std::bad_alloc.

namespace failing_allocator {

// Counts allocations from now on and makes the k-th one (1-based) throw; with `andAfter`, every
// one from the k-th on, as when memory has run out.
void FailAt(long k, bool andAfter = false);
// Stops counting; allocations succeed again.
void Stop();

}  // namespace failing_allocator
