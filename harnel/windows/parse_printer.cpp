// PrinterNode from the spooler's own registry of printers and the user's printer connections.

#include <algorithm>

#include "harnel/decode/put_fields.h"
#include "harnel/windows/parse.h"
#include "harnel/windows/raw_values.h"

namespace harnel::windows {
namespace {

// A connection's key name is the printer's path with commas for backslashes:
// ",,server,printer" for "\\server\printer".
std::optional<std::string> ConnectionName(std::optional<std::string> key) {
  if (key) std::replace(key->begin(), key->end(), ',', '\\');
  return key;
}

}  // namespace

nlohmann::json ParsePrinterList(const nlohmann::json& raw) {
  DisposableJson list = nlohmann::json::array();
  for (const nlohmann::json& printer : RawRows(raw, "printers")) {
    DisposableJson node = nlohmann::json::object();
    std::optional<std::string> name = RawText(printer, "Name");
    decode::PutText(node, "name", name ? name : RawText(printer, "key"));
    decode::PutText(node, "model", RawText(printer, "Printer Driver"));
    decode::PutText(node, "port", RawText(printer, "Port"));
    list.push_back(std::move(node));
  }
  for (const nlohmann::json& connection : RawRows(raw, "connections")) {
    DisposableJson node = nlohmann::json::object();
    decode::PutText(node, "name", ConnectionName(RawText(connection, "key")));
    list.push_back(std::move(node));
  }
  return decode::ListOrNull(std::move(list));
}

void ExplainPrinterList(const nlohmann::json& /*raw*/, findings::Reasons& why) {
  why.Absent("no printer installed");
  why.Otherwise("the print spooler gives none");
}

}  // namespace harnel::windows
