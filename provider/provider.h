#pragma once
// The provider's thirty functions, in fifteen Get/Free pairs, with unmangled names; and, added
// in ABI 1.1, three functions that give the machine and profile files as profile JSON.
//
// Protocol: the caller sets its pointer variable to null and passes its address to Get.
// A variable still null afterwards means no data, and then no Free is called. Otherwise it
// points at one record or at the first node of a list (null `next` ends it), valid until
// the caller passes the same variable, still holding what Get stored, to the matching Free.
//
// Memory: when memory runs out while Get builds a record, Get throws std::bad_alloc (the one
// exception that leaves these functions) after releasing everything it had made: the variable
// stays null, nothing is held and nothing is to be freed. It does not answer "no data" instead,
// which would describe a machine without that device. Free never throws. Any function may be
// called from several threads at once.

#include "provider/records.h"

#if defined(_WIN32)
// Callers declare the functions plainly, not dllimport: the import library's thunks reach
// the DLL, and code linked statically with the definitions (tests, the schema inside the
// provider) finds them too.
#if defined(HARNEL_BUILDING)
#define HARNEL_API __declspec(dllexport)
#else
#define HARNEL_API
#endif
#else
#define HARNEL_API __attribute__((visibility("default")))
#endif

extern "C" {
HARNEL_API void GetOS(OSInfo** record);
HARNEL_API void FreeOS(OSInfo** record);
HARNEL_API void GetBIOS(BIOSInfo** record);
HARNEL_API void FreeBIOS(BIOSInfo** record);
HARNEL_API void GetProcessor(ProcessorInfo** record);
HARNEL_API void FreeProcessor(ProcessorInfo** record);
HARNEL_API void GetMemory(MemoryInfo** record);
HARNEL_API void FreeMemory(MemoryInfo** record);
HARNEL_API void GetUserinfo(UserInfo** record);
HARNEL_API void FreeUserinfo(UserInfo** record);
HARNEL_API void GetInputdeviceList(InputdeviceNode** list);
HARNEL_API void FreeInputdeviceList(InputdeviceNode** list);
HARNEL_API void GetModemList(ModemNode** list);
HARNEL_API void FreeModemList(ModemNode** list);
HARNEL_API void GetMonitorList(MonitorNode** list);
HARNEL_API void FreeMonitorList(MonitorNode** list);
HARNEL_API void GetNetworkadapterList(NetworkadapterNode** list);
HARNEL_API void FreeNetworkadapterList(NetworkadapterNode** list);
HARNEL_API void GetPrinterList(PrinterNode** list);
HARNEL_API void FreePrinterList(PrinterNode** list);
HARNEL_API void GetStorageList(StorageNode** list);
HARNEL_API void FreeStorageList(StorageNode** list);
HARNEL_API void GetSystemcontrollerList(SystemcontrollerNode** list);
HARNEL_API void FreeSystemcontrollerList(SystemcontrollerNode** list);
HARNEL_API void GetSystemslotList(SystemslotNode** list);
HARNEL_API void FreeSystemslotList(SystemslotNode** list);
HARNEL_API void GetVideoadapterList(VideoadapterNode** list);
HARNEL_API void FreeVideoadapterList(VideoadapterNode** list);
HARNEL_API void GetPhyMemoryList(PhyMemoryNode** list);
HARNEL_API void FreePhyMemoryList(PhyMemoryNode** list);

/* Added in 1.1 (symbol version HARNEL_1.1). Plain C: text in and out is UTF-8, every text given
   out is the caller's to release with HarnelFreeText, and nothing is thrown, memory running out
   included. A host that calls them reaches the same provider, with the same records and
   caches, as the thirty functions above. */

/* The results of the functions below. */
#define HARNEL_JSON_GIVEN 0        /* *json holds the answer */
#define HARNEL_JSON_UNUSABLE 1     /* *json holds one line saying why the file is unusable */
#define HARNEL_JSON_BAD_REQUEST -1 /* an argument is not one the function knows; *json is null */
#define HARNEL_JSON_FAILED -2      /* memory ran out, or the answer failed; *json is null */

/* The parts HarnelGetMachineJson gives: the values, and why they are empty where they are. */
#define HARNEL_JSON_VALUES 1u
#define HARNEL_JSON_REASONS 2u

/* The machine the provider reads now (the profile it replays, or the machine itself) as JSON.
   `section` NULL: the whole profile, as a file that replay reads back: every record under its
   key in the order of the functions above (a missing record as null), then "Machine", what is
   known of the machine beyond the records, when anything is. With HARNEL_JSON_REASONS as well,
   "Reasons" after them: why each record and the Machine key are empty where they are, for those
   where anything is; HARNEL_JSON_REASONS alone gives that object by itself.
   `section` a record's key ("StorageList", a Get function's name without "Get") or "Machine":
   that part alone, its values or its reasons (not both). A replayed machine has no reasons:
   they are null. */
HARNEL_API int HarnelGetMachineJson(const char* section, unsigned int parts, char** json);

/* Reads the profile file at `path` (UTF-8) as replay reads it, never waiting on it: its records
   and its Machine key as JSON (other keys left out), or HARNEL_JSON_UNUSABLE and the reason.
   A file the provider refuses here is one it would not replay. */
HARNEL_API int HarnelReadProfileJson(const char* path, char** json);

/* Releases a text given out by the functions above; null is ignored. */
HARNEL_API void HarnelFreeText(char* text);
}
