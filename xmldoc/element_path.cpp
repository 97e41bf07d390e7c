#include "xmldoc/element_path.h"

namespace {

// The terminator, " ", "=", "/", "[" and "]"; the first four are below 64 and take one test.
constexpr uint64_t kEndsPathNameBelow64 = 1ull | (1ull << ' ') | (1ull << '=') | (1ull << '/');

bool EndsPathName(WChar u) {
  return u < 64 ? ((kEndsPathNameBelow64 >> u) & 1) != 0 : u == '[' || u == ']';
}

const WChar* SkipName(const WChar* p) {
  while (!EndsPathName(*p)) ++p;
  return p;
}

// Reads one bracket condition starting at "["; returns the unit after its "]", or null
// when the condition is not closed.
const WChar* SkipCondition(const WChar* p) {
  ++p;
  if (*p >= '1' && *p <= '9') {
    while (*p >= '0' && *p <= '9') ++p;
  } else if (*p == '@') {
    p = SkipName(p + 1);
    if (*p == '=') {
      ++p;
      if (*p == '\'' || *p == '"') {
        const WChar quote = *p++;
        while (*p != 0 && *p != quote) ++p;
        if (*p == quote) ++p;
      } else {
        while (*p != 0 && *p != ']') ++p;
      }
    }
  } else {
    p = SkipName(p);
  }
  return *p == ']' ? p + 1 : nullptr;
}

}  // namespace

ElementPath CheckElementPath(const WChar* name) {
  ElementPath path;
  if (name == nullptr || *name == 0) return path;
  const WChar* p = name;
  if (p[0] == '/' && p[1] == '/') {
    path.kind = PathDeep;
    p += 2;
  } else if (p[0] == '/') {
    path.kind = PathAbsolute;
    p += 1;
  } else {
    path.kind = PathName;
  }
  path.firstName = p;
  if (*p == 0) return {PathInvalid, p};
  p = SkipName(p);
  path.firstNameLength = static_cast<int32_t>(p - path.firstName);

  for (;; p = SkipName(p)) {
    if (*p == '[') {
      p = SkipCondition(p);
      if (p == nullptr) return {PathInvalid, path.firstName};
    }
    if (*p == 0) return path;
    if (*p != '/' || path.kind == PathDeep) return {PathInvalid, path.firstName};
    ++p;
    if (*p == '@') {
      p = SkipName(p + 1);
      return *p == 0 ? path : ElementPath{PathInvalid, path.firstName};
    }
    if (*p == 0) return {PathInvalid, path.firstName};
  }
}
