#pragma once
// The form check of an element name given to the finds.

#include <cstdint>

#include "base/text.h"

// Kinds of path; only "any" and a plain first name take part in a search.
enum PathKind : int32_t {
  PathInvalid = -1,
  PathAny = 0,       // none, or the empty string
  PathName = 1,      // a name, optionally with a bracket condition and further steps
  PathAbsolute = 2,  // "/" followed by a path
  PathDeep = 3,      // "//" followed by one step
};

// A checked name: its kind and where its first name begins.
struct ElementPath {
  int32_t kind = PathAny;
  const WChar* firstName = nullptr;  // points into the checked string
  int32_t firstNameLength = 0;       // units up to the first one that ends a path name
};

// Checks `name` (zero-terminated, or null) and classifies it.
ElementPath CheckElementPath(const WChar* name);
