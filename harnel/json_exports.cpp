// The provider's functions added in ABI 1.1: the machine and profile files as profile JSON,
// for hosts that show, store or compare what the thirty functions give. Plain C: UTF-8 text in
// and out, every text given out freed with HarnelFreeText, and nothing thrown across.

#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "harnel/current_core.h"
#include "harnel/machine_json.h"
#include "harnel/machine_key.h"
#include "harnel/profile.h"
#include "provider/provider.h"

namespace {

// A copy of `text` that HarnelFreeText releases; null when there is no memory for it.
char* GiveText(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// The JSON text of `value`; bytes that are not UTF-8 (a firmware's own) become U+FFFD.
template <class Json>
std::string JsonText(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// Runs `answer`, which returns the status and sets `text`, and gives `text` out through `out`.
// Memory running out, or anything else thrown, is HARNEL_JSON_FAILED with nothing given out.
template <class Answer>
int Give(char** out, Answer answer) {
  if (out == nullptr) return HARNEL_JSON_BAD_REQUEST;
  *out = nullptr;
  try {
    std::string text;
    const int status = answer(text);
    if (status == HARNEL_JSON_BAD_REQUEST) return status;
    *out = GiveText(text);
    return *out == nullptr ? HARNEL_JSON_FAILED : status;
  } catch (...) {
    return HARNEL_JSON_FAILED;
  }
}

}  // namespace

extern "C" int HarnelGetMachineJson(const char* section, unsigned int parts, char** json) {
  return Give(json, [&](std::string& text) {
    const harnel::MachineParts wanted{(parts & HARNEL_JSON_VALUES) != 0,
                                      (parts & HARNEL_JSON_REASONS) != 0};
    if ((parts & ~(HARNEL_JSON_VALUES | HARNEL_JSON_REASONS)) != 0) return HARNEL_JSON_BAD_REQUEST;
    // The whole profile is asked for with null; an empty name names nothing.
    if (section != nullptr && *section == '\0') return HARNEL_JSON_BAD_REQUEST;
    const auto answer =
        harnel::MachineJson(harnel::CurrentCore(), section == nullptr ? "" : section, wanted);
    if (!answer) return HARNEL_JSON_BAD_REQUEST;
    text = JsonText(*answer);
    return HARNEL_JSON_GIVEN;
  });
}

extern "C" int HarnelReadProfileJson(const char* path, char** json) {
  return Give(json, [&](std::string& text) {
    if (path == nullptr || *path == '\0') return HARNEL_JSON_BAD_REQUEST;
    const std::u8string utf8(reinterpret_cast<const char8_t*>(path));
    const harnel::LoadedProfile loaded = harnel::LoadProfile(std::filesystem::path(utf8), true);
    if (!loaded.problem.empty()) {
      text = loaded.problem;
      return HARNEL_JSON_UNUSABLE;
    }
    nlohmann::ordered_json profile(static_cast<const nlohmann::json&>(loaded.records));
    if (!loaded.machine.is_null()) profile[std::string(harnel::kMachineKey)] = loaded.machine;
    text = JsonText(profile);
    return HARNEL_JSON_GIVEN;
  });
}

extern "C" void HarnelFreeText(char* text) { std::free(text); }
