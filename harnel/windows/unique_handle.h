#pragma once
// Ownership of a system handle: whatever `Traits` says to release it with is done once, when
// the owner goes.

namespace harnel::windows {

// `Traits` gives the handle type `Handle`, `IsValid(handle)` and `Release(handle)`.
template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() {
    if (IsOpen()) Traits::Release(handle_);
  }
  bool IsOpen() const { return Traits::IsValid(handle_); }
  Handle get() const { return handle_; }

 private:
  Handle handle_;
};

}  // namespace harnel::windows
