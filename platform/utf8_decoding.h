#pragma once
// UTF-8 to UTF-16 by our own code for the input that needs no judgement: well-formed text,
// perhaps cut short at its end. Everything else is left to the system's converter, so that
// invalid bytes keep the system's answers.

#include <cstddef>

#include "base/text.h"

namespace platform {

// Appends `bytes` decoded to `units` and returns true when they are well-formed UTF-8 (no
// overlong form, no surrogate, nothing above U+10FFFF) up to at most one sequence that the
// end cuts short, which becomes one U+FFFD. Returns false, with `units` unspecified, for any
// other input.
bool DecodeWellFormedUtf8(const char* bytes, std::size_t byteCount, WString& units);

}  // namespace platform
