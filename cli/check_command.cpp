#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "harnel/decode/utf16.h"
#include "xmldoc/text_file.h"
#include "xmldoc/xml_doc.h"

namespace velmora::cli {
namespace {

// Loads and parses `path` exactly as a template is loaded; true when it is well-formed.
// A file that cannot be read is not parsed, as the template filler gives up on it too.
bool CheckFile(const WString& path, WString& log) {
  XmlDoc doc;
  WString text;
  const bool loaded = LoadTextFile(path.c_str(), text, &doc.resultLog, &doc.flags);
  doc.SetText(std::move(text));
  const bool wellFormed = loaded && doc.ParseDocument();
  log = doc.resultLog;
  return wellFormed;
}

}  // namespace

Action AddCheckCommand(CLI::App& app, const Context& context) {
  auto files = std::make_shared<std::vector<std::string>>();
  CLI::App* command = app.add_subcommand(
      "check", "Load each FILE as a template is loaded, parse it, and print the verdict and log");
  command->add_option("FILE", *files, "Template files to check")->required();
  command->fallthrough();

  return [command, files, &context] {
    (void)context;
    if (!command->parsed()) return -1;
    bool allWellFormed = true;
    for (const std::string& file : *files) {
      WString log;
      bool wellFormed = CheckFile(harnel::Utf8ToUtf16(file), log);
      allWellFormed = allWellFormed && wellFormed;
      Context::Print(file + (wellFormed ? ": well-formed\n" : ": ill-formed\n") + ToUtf8(log) +
                     "\n");
    }
    return allWellFormed ? 0 : 1;
  };
}

}  // namespace velmora::cli
