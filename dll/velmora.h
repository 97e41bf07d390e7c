#pragma once
// The inventory library's public interface: the pair exports and GetDeviceXMLBuffer, and the
// template check added in ABI 1.1.
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

#include "base/text.h"
#include "dll/export.h"

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

// One device category as an XML document: loads the category's template from the folder
// "hardinfo" beside the host program (0 list.xml, 5001 os.xml, 5002 bios.xml, 5003
// storage.xml, 5004 video.xml, 5005 network.xml, 5006 control.xml, any other value
// other.xml), fills the `value` of every item it recognises from the provider, repeats list
// categories once per device, and assigns the whole document text to `out`.
// Returns 0 on success; -1 when the template is missing, unreadable or not well-formed (then
// `out` keeps what it held). bios.xml without a BIOS record returns 0 and leaves `out` as it
// was. Every provider record is released before the call returns, an exception included.
VELMORA_API int GetDeviceXMLBuffer(int category, WString& out);

/* Added in 1.1 (symbol version VELMORA_1.1). Plain C: text is UTF-16 (WChar), every text given
   out is the caller's to release with VelmoraFreeText, and nothing is thrown, memory running out
   included. */

/* The results of VelmoraCheckTemplate. */
#define VELMORA_CHECK_WELL_FORMED 1
#define VELMORA_CHECK_ILL_FORMED 0   /* unreadable, or not well-formed */
#define VELMORA_CHECK_BAD_REQUEST -1 /* no path */
#define VELMORA_CHECK_FAILED -2      /* memory ran out; *log is null */

extern "C" {
/* Loads the file at `path` exactly as GetDeviceXMLBuffer loads a template and parses it;
   `log` (null: not wanted) receives the document engine's records of the load and the parse,
   which say what is wrong where. */
VELMORA_API int VelmoraCheckTemplate(const WChar* path, WChar** log);

/* Releases a text given out by VelmoraCheckTemplate; null is ignored. */
VELMORA_API void VelmoraFreeText(WChar* text);
}
