// The PrinterList reader on Linux: the local CUPS scheduler's queues.

#include "harnel/linux/printer.h"

#include <cups/cups.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <memory>
#include <string_view>

#include "harnel/decode/put_fields.h"
#include "harnel/linux/machine_files.h"
#include "harnel/linux/shared_library.h"
#include "harnel/linux/source_reasons.h"

namespace harnel::linux {
namespace {

constexpr std::string_view kSocketPaths[] = {"/run/cups/cups.sock", "/var/run/cups/cups.sock"};
// A scheduler on the local socket answers in milliseconds; these limits only guard against one
// that is stuck.
constexpr int kConnectMilliseconds = 500;
constexpr double kRequestSeconds = 1.0;
constexpr std::array<const char*, 3> kAttributes = {"printer-name", "printer-make-and-model",
                                                    "device-uri"};

constexpr const char* kLibraryName = "libcups.so.2";

// libcups is opened only when a scheduler socket exists: loading it and the libraries it
// pulls in costs more than reading the whole rest of the machine.
class Cups {
 public:
  // RTLD_NODELETE: libcups keeps per-thread state with destructors that run at thread exit,
  // so its code must stay mapped once it has run.
  Cups() : library_(kLibraryName, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE) {
    loaded_ = library_.Opened() && library_.Load(httpConnect2_, "httpConnect2") &&
              library_.Load(httpClose_, "httpClose") &&
              library_.Load(httpSetTimeout_, "httpSetTimeout") &&
              library_.Load(ippNewRequest_, "ippNewRequest") &&
              library_.Load(ippAddStrings_, "ippAddStrings") &&
              library_.Load(cupsDoRequest_, "cupsDoRequest") &&
              library_.Load(ippDelete_, "ippDelete") &&
              library_.Load(ippFirstAttribute_, "ippFirstAttribute") &&
              library_.Load(ippNextAttribute_, "ippNextAttribute") &&
              library_.Load(ippGetName_, "ippGetName") &&
              library_.Load(ippGetGroupTag_, "ippGetGroupTag") &&
              library_.Load(ippGetString_, "ippGetString");
  }
  bool Loaded() const { return loaded_; }

  decltype(&::httpConnect2) httpConnect2_ = nullptr;
  decltype(&::httpClose) httpClose_ = nullptr;
  decltype(&::httpSetTimeout) httpSetTimeout_ = nullptr;
  decltype(&::ippNewRequest) ippNewRequest_ = nullptr;
  decltype(&::ippAddStrings) ippAddStrings_ = nullptr;
  decltype(&::cupsDoRequest) cupsDoRequest_ = nullptr;
  decltype(&::ippDelete) ippDelete_ = nullptr;
  decltype(&::ippFirstAttribute) ippFirstAttribute_ = nullptr;
  decltype(&::ippNextAttribute) ippNextAttribute_ = nullptr;
  decltype(&::ippGetName) ippGetName_ = nullptr;
  decltype(&::ippGetGroupTag) ippGetGroupTag_ = nullptr;
  decltype(&::ippGetString) ippGetString_ = nullptr;

 private:
  SharedLibrary library_;
  bool loaded_ = false;
};

// Returning 0 makes the library give up instead of waiting again.
int GiveUp(http_t*, void*) { return 0; }

nlohmann::json AskScheduler(const Cups& cups, const std::filesystem::path& socket) {
  auto closeHttp = [&cups](http_t* http) { cups.httpClose_(http); };
  std::unique_ptr<http_t, decltype(closeHttp)> http(
      cups.httpConnect2_(socket.c_str(), 0, nullptr, AF_LOCAL, HTTP_ENCRYPTION_NEVER, 1,
                         kConnectMilliseconds, nullptr),
      closeHttp);
  if (!http) return nullptr;
  cups.httpSetTimeout_(http.get(), kRequestSeconds, GiveUp, nullptr);

  ipp_t* request = cups.ippNewRequest_(IPP_OP_CUPS_GET_PRINTERS);
  cups.ippAddStrings_(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                      static_cast<int>(kAttributes.size()), nullptr, kAttributes.data());
  // cupsDoRequest takes the request and frees it.
  auto deleteIpp = [&cups](ipp_t* ipp) { cups.ippDelete_(ipp); };
  std::unique_ptr<ipp_t, decltype(deleteIpp)> response(
      cups.cupsDoRequest_(http.get(), request, "/"), deleteIpp);
  if (!response) return nullptr;

  DisposableJson list = nlohmann::json::array();
  DisposableJson node = nlohmann::json::object();
  auto finish = [&] {
    if (node.contains("name")) list.push_back(std::move(node));
    node = nlohmann::json::object();
  };
  for (ipp_attribute_t* attribute = cups.ippFirstAttribute_(response.get()); attribute;
       attribute = cups.ippNextAttribute_(response.get())) {
    const char* name = cups.ippGetName_(attribute);
    // Printers are separated by an unnamed separator attribute.
    if (!name || cups.ippGetGroupTag_(attribute) != IPP_TAG_PRINTER) {
      finish();
      continue;
    }
    const char* value = cups.ippGetString_(attribute, 0, nullptr);
    if (!value) continue;
    const std::string_view key(name);
    if (key == "printer-name") decode::PutText(node, "name", value);
    if (key == "printer-make-and-model") decode::PutText(node, "model", value);
    if (key == "device-uri") decode::PutText(node, "port", value);
  }
  finish();
  return decode::ListOrNull(std::move(list));
}

}  // namespace

std::optional<std::filesystem::path> FindSchedulerSocket(const std::filesystem::path& root,
                                                         SourceFact* places) {
  for (std::string_view path : kSocketPaths) {
    const std::filesystem::path full = UnderRoot(root, path);
    struct stat info {};
    const bool there = ::stat(full.c_str(), &info) == 0;
    if (places != nullptr) {
      SourceFact place;
      place.path = path;
      place.error = there ? 0 : errno;
      places->Candidate(std::move(place));
    }
    if (there && S_ISSOCK(info.st_mode)) return full;
  }
  return std::nullopt;
}

nlohmann::json ProbePrinterList(const std::filesystem::path& root, SourceFact& places) {
  std::optional<std::filesystem::path> socket = FindSchedulerSocket(root, &places);
  if (!socket) return nullptr;
  const Cups cups;
  if (!cups.Loaded()) return nullptr;
  return AskScheduler(cups, *socket);
}

void ExplainPrinterList(const SourceFact& places, findings::Reasons& why) {
  why.Absent(places.Missing() ? "no CUPS scheduler: " + WhyUnread(places)
                              : "the CUPS scheduler lists no printer, or libcups is not installed");
  why.EveryNode("model", "the scheduler gives no make and model");
  why.EveryNode("port", "the scheduler gives no device URI");
}

}  // namespace harnel::linux
