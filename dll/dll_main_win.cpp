// The inventory library's load-time entry. The one file outside platform/ that includes the
// system header: the loader calls this entry by its Windows signature.

#include <windows.h>

// The library has no threads and no per-thread state, so it asks the loader not to call it
// for every thread the host starts and ends; it has nothing else to set up.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
