#pragma once
// Why a source of the machine gave no value, told from what its reader found there.

#include <string>
#include <string_view>

#include "harnel/linux/machine_files.h"

namespace harnel::linux {

// The reason a failed system call's error number `error` gives for the machine path `path`:
// "no /etc/machine-id" for a file that is not there, "readable by root only" for one this
// user may not read, "/x is not a regular file", else the path with the system's message.
std::string ReasonForError(int error, std::string_view path);

// Why `source` gave no value: why it could not be read, "/etc/hostname is empty" when it held
// only white space, else "/etc/os-release holds no usable value".
std::string WhyUnread(const SourceFact& source);

// Why a list read from the folder or file `source` has no node: why `source` is not there, else
// `none` (it lists no such device).
std::string WhyNoNode(const SourceFact& source, std::string_view none);

// What `source` said when it was read, or why it could not be: "/proc/cpuinfo gives no model
// name" for `lacks` "model name".
std::string WhyNotIn(const SourceFact& source, std::string_view lacks);

}  // namespace harnel::linux
