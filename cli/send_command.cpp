#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/glpi_export.h"
#include "cli/text_output.h"
#include "fleet/credentials.h"
#include "fleet/delivery.h"
#include "platform/kept_files.h"

namespace velmora::cli {
namespace {

constexpr const char* kTokenVariable = "VELMORA_SERVER_TOKEN";
constexpr const char* kTokenFileVariable = "VELMORA_SERVER_TOKEN_FILE";

struct SendOptions {
  std::string url, deviceId, keep, file, caFile, credentials, format;
  int timeout = 30;
};

int Fail(const std::string& why) {
  std::fprintf(stderr, "velmora: send: %s\n", OneLine(why).c_str());
  return 1;
}

// A configuration that cannot be used is the caller's to fix: a usage error.
int Misconfigured(const std::string& why) {
  Fail(why);
  return 2;
}

// A kept document larger than this is no inventory of ours.
constexpr std::size_t kLargestKeptDocument = 64 * 1024 * 1024;
// A token file holds one line.
constexpr std::size_t kLargestTokenFile = 64 * 1024;

// The bearer token for servers that want one: the variable's value, else the first line of the
// file the other variable names; empty when neither is set. Never a command-line argument, which
// every user of the machine could read.
std::optional<std::string> Token() {
  if (const char* token = std::getenv(kTokenVariable); token != nullptr && token[0] != '\0') {
    return std::string(token);
  }
  const char* path = std::getenv(kTokenFileVariable);
  if (path == nullptr || path[0] == '\0') return std::string();
  std::string why;
  const std::optional<std::string> text = platform::ReadKeptFile(path, kLargestTokenFile, why);
  if (!text || text->empty()) return std::nullopt;
  std::string token = text->substr(0, text->find('\n'));
  while (!token.empty() && (token.back() == '\r' || token.back() == ' ')) token.pop_back();
  return token;
}

int Send(const SendOptions& options, const Context& context) {
  fleet::Delivery delivery;
  if (!options.credentials.empty()) {
    std::string why;
    const std::optional<fleet::Credentials> credentials =
        fleet::ReadCredentials(options.credentials, why);
    if (!credentials) return Misconfigured(why);
    delivery.basicUser = credentials->user;
    delivery.basicPassword = credentials->password;
  }
  const fleet::DeliveryFormat format = options.format.empty()
                                           ? fleet::DeliveryFormatOf(options.url)
                                           : *fleet::DeliveryFormatNamed(options.format);
  std::string document;
  if (!options.file.empty()) {
    std::string why;
    std::optional<std::string> kept =
        platform::ReadKeptFile(options.file, kLargestKeptDocument, why);
    if (!kept) return Fail(options.file + ": " + why);
    if (format == fleet::DeliveryFormat::DeliveryGlpi && !nlohmann::json::accept(*kept)) {
      return Fail(options.file + ": not a JSON document");
    }
    if (format == fleet::DeliveryFormat::DeliveryOcs && !kept->starts_with("<?xml")) {
      return Fail(options.file + ": not an XML document");
    }
    document = std::move(*kept);
  } else {
    document = ExportText(context, format, options.deviceId);
    if (!options.keep.empty()) {
      std::ofstream keep(options.keep, std::ios::binary | std::ios::trunc);
      if (!(keep << document) || !keep.flush()) return Fail(options.keep + ": cannot be written");
    }
  }
  const std::optional<std::string> token = Token();
  if (!token) return Fail(std::string(std::getenv(kTokenFileVariable)) + ": cannot be read");

  delivery.url = options.url;
  delivery.document = std::move(document);
  delivery.format = format;
  delivery.timeoutSeconds = options.timeout;
  delivery.bearerToken = *token;
  delivery.caFile = options.caFile;
  const fleet::Receipt receipt = fleet::Deliver(delivery);
  if (receipt.verdict != fleet::Verdict::VerdictAccepted) {
    if (!receipt.retryAfterSeconds) return Fail(receipt.why);
    return Fail(receipt.why + " (retry after " + std::to_string(*receipt.retryAfterSeconds) +
                " s)");
  }
  if (!receipt.reply.empty()) Context::Print("reply: " + receipt.reply + "\n");
  if (receipt.expiration) Context::Print("expiration: " + receipt.expiration->dump() + "\n");
  return 0;
}

}  // namespace

Action AddSendCommand(CLI::App* command, const Context& context) {
  auto options = std::make_shared<SendOptions>();
  command->add_option("URL", options->url, "The server's inventory URL (http:// or https://)")
      ->required();
  command->add_option("--deviceid", options->deviceId,
                      "The device id to give (default: computer name and system UUID)");
  command
      ->add_option("--format", options->format,
                   "The server's format: glpi or ocs (default: ocs for a URL ending in "
                   "/ocsinventory, else glpi)")
      ->check(CLI::IsMember({"glpi", "ocs"}));
  command->add_option("--timeout", options->timeout, "Seconds to wait for the answer (default 30)")
      ->check(CLI::Range(1, 3600));
  command
      ->add_option("--ca-file", options->caFile,
                   "Trust the certificate authorities of this PEM file instead of the system's")
      ->check(CLI::ExistingFile);
  command
      ->add_option("--credentials", options->credentials,
                   "Authenticate with the user and password of this file (user = ..., "
                   "password = ...), which only its owner may read")
      ->check(CLI::ExistingFile);
  auto* keep = command->add_option(
      "--keep", options->keep, "Also write the document to this file, to send later with --file");
  command
      ->add_option("--file", options->file,
                   "Send this kept document instead of reading the machine")
      ->check(CLI::ExistingFile)
      ->excludes(keep);
  return [command, options, &context] {
    if (!command->parsed()) return -1;
    return Send(*options, context);
  };
}

}  // namespace velmora::cli
