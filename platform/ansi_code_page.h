#pragma once
// The system's ANSI code page: off Windows, the code set that the locale environment names.

namespace platform {

// Returns the code page of the code set that the locale environment names (LC_ALL, else
// LC_CTYPE, else LANG; the first that is set and not empty), or 1252 when it names none, names
// plain ASCII or names one that cannot be converted. Never calls setlocale.
int AnsiCodePage();

// Returns the code page that a locale name such as "de_DE.ISO-8859-15@euro" stands for, with
// the same rules as AnsiCodePage; null and "" stand for no locale.
int CodePageOfLocale(const char* locale);

}  // namespace platform
