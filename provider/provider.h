#pragma once
// The provider's thirty functions, in fifteen Get/Free pairs, with unmangled names.
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
}
