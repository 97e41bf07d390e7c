#include <memory>
#include <new>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "cli/commands.h"
#include "dll/velmora.h"

namespace velmora::cli {
namespace {

struct ReleaseText {
  void operator()(WChar* text) const { VelmoraFreeText(text); }
};

// Loads and parses `path` exactly as a template is loaded, through the library; true when it
// is well-formed.
bool CheckFile(const WString& path, WString& log) {
  WChar* given = nullptr;
  const int verdict = VelmoraCheckTemplate(path.c_str(), &given);
  const std::unique_ptr<WChar, ReleaseText> text(given);
  if (verdict == VELMORA_CHECK_FAILED) throw std::bad_alloc();
  log = text == nullptr ? WString() : WString(text.get());
  return verdict == VELMORA_CHECK_WELL_FORMED;
}

}  // namespace

Action AddCheckCommand(CLI::App* command, const Context& context) {
  auto files = std::make_shared<std::vector<std::string>>();
  command->add_option("FILE", *files, "Template files to check")->required();

  return [command, files, &context] {
    (void)context;
    if (!command->parsed()) return -1;
    bool allWellFormed = true;
    for (const std::string& file : *files) {
      WString log;
      bool wellFormed = CheckFile(unicode::Utf8ToUtf16(file), log);
      allWellFormed = allWellFormed && wellFormed;
      Context::Print(file + (wellFormed ? ": well-formed\n" : ": ill-formed\n") + ToUtf8(log) +
                     "\n");
    }
    return allWellFormed ? 0 : 1;
  };
}

}  // namespace velmora::cli
