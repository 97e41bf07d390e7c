#pragma once
// What the host program needs from the operating system beyond the standard library.

#include <cstddef>
#include <string>

namespace platform {

// True when standard output is a terminal (not a pipe or a file).
bool StandardOutputIsTerminal();

// Makes standard output write bytes unchanged (Windows would turn "\n" into "\r\n").
void UseBinaryStandardOutput();

// Sets an environment variable of this process, replacing its value.
void SetEnvironment(const std::string& name, const std::string& value);

// Brings in the next `heapBytes` of the heap and `stackBytes` of stack below the caller in one
// system call each, where a virtual machine makes every first touch of a page dear (a fault
// costs three to four times the page's share of one populating call). Sets the allocator to
// keep freed memory for this process; for a short-lived host only. Does nothing where the
// system has no such call.
void PrepareMemory(std::size_t heapBytes, std::size_t stackBytes);

}  // namespace platform
