#pragma once
// Marks the inventory library's exports; everything else in it stays hidden.

#if defined(_WIN32)
// Callers declare the functions plainly, not dllimport: the import library's thunks reach
// the DLL, and code linked statically with the definitions (tests, the schema inside the
// provider) finds them too.
#if defined(VELMORA_BUILDING)
#define VELMORA_API __declspec(dllexport)
#else
#define VELMORA_API
#endif
#else
#define VELMORA_API __attribute__((visibility("default")))
#endif
