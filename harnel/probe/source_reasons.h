#pragma once
// Why a file of the machine gave no value, for the reasons the Linux readers give.

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace harnel::probe {

// The reason a failed system call's error number `error` gives for the machine path `path`:
// "no /etc/machine-id" for a file that is not there, "readable by root only" for one this
// user may not read, else the path with the system's message.
std::string ReasonForError(int error, std::string_view path);

// Why `path` under `root` gave no value, looked at now: the error of opening it, "/etc/hostname
// is empty" when it holds only white space, "/x is not a regular file", or, for a file that
// reads well, "/etc/os-release holds no usable value".
std::string WhyUnread(const std::filesystem::path& root, std::string_view path);

// As WhyUnread for the first of `paths` that is there; "no /run/utmp or /var/run/utmp" when
// none is.
std::string WhyUnread(const std::filesystem::path& root,
                      std::initializer_list<std::string_view> paths);

}  // namespace harnel::probe
