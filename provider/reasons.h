#pragma once
// One entry of the provider beyond its thirty functions: why its records are empty where they
// are. The inventory library never calls it and works with a provider that lacks it; the host
// program asks it for `velmora capture --reasons`, the whole inventory and `pairs --reasons`.

#include "provider/provider.h"

extern "C" {
// Reads the record stored under the profile key `key` ("BIOS", "StorageList", ...) from the
// machine now and writes into `buffer` (`size` bytes, ended by a NUL when `size` > 0) why it is
// empty where it is, as UTF-8 JSON text: a string when there is no record (or no node of a
// list) at all; otherwise an object of the record's null and zero fields, each with its reason
// ({"boardSerialNumber": "readable by root only"}), or for a list an array of such objects,
// one per node in list order. Returns the text's length without the NUL, so that a length of
// `size` or more means the text was cut and a larger buffer is needed; -1 when there is nothing
// to explain: an unknown key, or a provider replaying a profile (it has no machine to read).
// Memory exhaustion passes to the caller as from the Get functions.
HARNEL_API int GetReasons(const char* key, char* buffer, int size);
}
