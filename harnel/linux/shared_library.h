#pragma once
// A library the probe opens only when a request needs it, so that loading the provider does
// not pay for it; closed again with its owner.

#include <dlfcn.h>

namespace harnel::linux {

class SharedLibrary {
 public:
  // Opens `soname` with `flags` (RTLD_NOW | RTLD_LOCAL and what the library needs on top).
  SharedLibrary(const char* soname, int flags) : handle_(::dlopen(soname, flags)) {}
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;
  ~SharedLibrary() {
    if (handle_) ::dlclose(handle_);
  }

  // Whether the library could be opened.
  bool Opened() const { return handle_ != nullptr; }

  // Points `function` at the exported `name`; false when the library lacks it.
  template <typename Function>
  bool Load(Function& function, const char* name) const {
    function = reinterpret_cast<Function>(::dlsym(handle_, name));
    return function != nullptr;
  }

 private:
  void* handle_;
};

}  // namespace harnel::linux
