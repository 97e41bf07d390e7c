#pragma once
// The text type that every Velmora interface speaks: UTF-16 on both platforms. It lies at the
// bottom of the source tree, below the provider, the document engine and the platform layer,
// so that each of them can speak it without knowing the others.

#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
using WChar = wchar_t;  // 16-bit on Windows
#define WTEXT(s) L##s
#else
using WChar = char16_t;
#define WTEXT(s) u##s
#endif

using WString = std::basic_string<WChar>;
using WStringView = std::basic_string_view<WChar>;

// The caller-owned list the pair exports append to: first the label, then the value.
// Its exact type is part of the exported names, so it must not change.
using PairList = std::vector<std::pair<WString, WString>>;

static_assert(sizeof(WChar) == 2, "all text is UTF-16");
