#pragma once
// "Allocation k of the call fails, for k = 1, 2, ... until the call succeeds", once or from k on
// (memory gone), in test programs that link failing_allocator.cpp:
//   for (EachAllocationFailure failure(andAfter); failure.Next();) {
//     SCOPED_TRACE(failure.Name());  // and what the call needs, made with allocations succeeding
//     const bool threw = failure.Run([&] { ...the call... });  // std::bad_alloc came out of it
//   }
// The loop ends after the first call that succeeds; one that still fails at `limit` fails the test.

#include <new>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/failing_allocator.h"

class EachAllocationFailure {
 public:
  explicit EachAllocationFailure(bool andAfter = false, long limit = 100000)
      : andAfter_(andAfter), limit_(limit) {}

  bool Next() {
    if (!succeeded_ && k_ == limit_) ADD_FAILURE() << "the call still fails: " << Name();
    return !succeeded_ && ++k_ <= limit_;
  }

  template <class Call>
  bool Run(Call&& call) {
    failing_allocator::FailAt(k_, andAfter_);
    try {
      call();
    } catch (const std::bad_alloc&) {
      failing_allocator::Stop();
      return ++failures_ > 0;
    }
    failing_allocator::Stop();
    succeeded_ = true;
    return false;
  }

  std::string Name() const {
    return "allocation " + std::to_string(k_) + (andAfter_ ? " on" : "") + " fails";
  }
  // How many calls threw: none when the call allocates nothing.
  long Failures() const { return failures_; }

 private:
  bool andAfter_;
  long limit_;
  long k_ = 0;
  long failures_ = 0;
  bool succeeded_ = false;
};
