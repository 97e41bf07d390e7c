#pragma once
// Sets the locale variables for one test and puts the previous values back afterwards.
// Windows takes its ANSI code page from the system, not from these variables.

#include <array>
#include <cstdlib>
#include <optional>
#include <string>

// Replaces LC_ALL, LC_CTYPE and LANG (null: unset) until destroyed.
class LocaleEnvironment {
 public:
  LocaleEnvironment(const char* lcAll, const char* lcCtype, const char* lang) {
    const std::array<const char*, 3> values = {lcAll, lcCtype, lang};
    for (size_t i = 0; i < kNames.size(); ++i) {
      if (const char* old = std::getenv(kNames[i])) saved_[i] = old;
      Set(kNames[i], values[i]);
    }
  }
  LocaleEnvironment(const LocaleEnvironment&) = delete;
  LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;
  ~LocaleEnvironment() {
    for (size_t i = 0; i < kNames.size(); ++i) {
      Set(kNames[i], saved_[i] ? saved_[i]->c_str() : nullptr);
    }
  }

 private:
  static constexpr std::array<const char*, 3> kNames = {"LC_ALL", "LC_CTYPE", "LANG"};

  static void Set(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value != nullptr ? value : "");  // an empty value removes the variable
#else
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
#endif
  }

  std::array<std::optional<std::string>, 3> saved_;
};
