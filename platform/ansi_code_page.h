#pragma once
// The system's ANSI code page: GetACP on Windows; elsewhere the code set that the locale
// environment names.

namespace platform {

// Returns the system's ANSI code page. Off Windows: the code page of the code set that the
// locale environment names (LC_ALL, else LC_CTYPE, else LANG; the first that is set and not
// empty), or 1252 when it names none, names plain ASCII or names one that cannot be
// converted. Never calls setlocale.
int AnsiCodePage();

#ifndef _WIN32
// Returns the code page that a locale name such as "de_DE.ISO-8859-15@euro" stands for, with
// the same rules as AnsiCodePage; null and "" stand for no locale.
int CodePageOfLocale(const char* locale);
#endif

}  // namespace platform
