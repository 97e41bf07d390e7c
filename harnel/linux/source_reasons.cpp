// Telling why a machine file or folder gave no value, from what reading it found.

#include "harnel/linux/source_reasons.h"

#include <cerrno>
#include <cstring>

#include "harnel/findings/reasons.h"

namespace harnel::linux {

std::string ReasonForError(int error, std::string_view path) {
  if (error == ENOENT || error == ENOTDIR) return "no " + std::string(path);
  if (error == EACCES || error == EPERM) return std::string(findings::kRootOnly);
  if (error == EISDIR || error == ESPIPE) return std::string(path) + " is not a regular file";
  return std::string(path) + ": " + std::strerror(error);
}

std::string WhyUnread(const SourceFact& source) {
  if (source.error != 0) return ReasonForError(source.error, source.path);
  if (source.blank) return source.path + " is empty";
  return source.path + " holds no usable value";
}

std::string WhyNoNode(const SourceFact& source, std::string_view none) {
  return source.Missing() ? WhyUnread(source) : std::string(none);
}

std::string WhyNotIn(const SourceFact& source, std::string_view lacks) {
  return source.read ? source.path + " gives no " + std::string(lacks) : WhyUnread(source);
}

}  // namespace harnel::linux
