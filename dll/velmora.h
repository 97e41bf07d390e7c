#pragma once
// The inventory library's public interface: the pair exports.
//
// Each export asks the provider for one kind of record, appends one (label, value) pair per
// field of its table to `pairs` (after whatever `pairs` already holds; it is never cleared)
// and releases the record before returning. A list export appends one group of pairs per
// device, in list order, with no separator: the group size is fixed per export.
//
// Returns 0 when the provider gave a record, -1 when it gave none (then nothing is
// appended). A text field the provider left null gives an empty value; the pair is still
// there, so the order and the group size never change. Out of memory, the standard
// library's exception passes to the caller after the record has been released; a single-
// record export then leaves `pairs` unchanged, a list export keeps the whole groups it
// had appended.

#include "dll/export.h"
#include "provider/text.h"

// Operating system: 8 pairs.
VELMORA_API int GetOSPair(PairList& pairs);
// Mainboard and BIOS: 7 pairs.
VELMORA_API int GetBIOSPair(PairList& pairs);
// Processor: 5 pairs.
VELMORA_API int GetProcessorPair(PairList& pairs);
// Physical memory and paging file sizes in MB: 2 pairs.
VELMORA_API int GetMemoryPair(PairList& pairs);
// Current and last logged-on user, domain: 3 pairs.
VELMORA_API int GetUserinfoPair(PairList& pairs);
// Input devices: 4 pairs per device.
VELMORA_API int GetInputdeviceListPair(PairList& pairs);
// Modems: 2 pairs per device.
VELMORA_API int GetModemListPair(PairList& pairs);
// Monitors: 2 pairs per device.
VELMORA_API int GetMonitorListPair(PairList& pairs);
// Network adapters: 5 pairs per device.
VELMORA_API int GetNetworkadapterListPair(PairList& pairs);
// Printers: 3 pairs per device.
VELMORA_API int GetPrinterListPair(PairList& pairs);
// Storage devices: 6 pairs per device.
VELMORA_API int GetStorageListPair(PairList& pairs);
// System controllers: 3 pairs per device.
VELMORA_API int GetSystemcontrollerListPair(PairList& pairs);
// System slots: 2 pairs per slot.
VELMORA_API int GetSystemslotListPair(PairList& pairs);
// Video adapters: 4 pairs per adapter.
VELMORA_API int GetVideoadapterListPair(PairList& pairs);
