#include "tests/pairs/sample_records.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "harnel/utf16.h"

namespace testprovider {
namespace {

const std::pair<const char*, int (*)(PairList&)> kExports[] = {
    {"GetOSPair", GetOSPair},
    {"GetBIOSPair", GetBIOSPair},
    {"GetProcessorPair", GetProcessorPair},
    {"GetMemoryPair", GetMemoryPair},
    {"GetUserinfoPair", GetUserinfoPair},
    {"GetInputdeviceListPair", GetInputdeviceListPair},
    {"GetModemListPair", GetModemListPair},
    {"GetMonitorListPair", GetMonitorListPair},
    {"GetNetworkadapterListPair", GetNetworkadapterListPair},
    {"GetPrinterListPair", GetPrinterListPair},
    {"GetStorageListPair", GetStorageListPair},
    {"GetSystemcontrollerListPair", GetSystemcontrollerListPair},
    {"GetSystemslotListPair", GetSystemslotListPair},
    {"GetVideoadapterListPair", GetVideoadapterListPair},
};

std::vector<ExportCase> ReadCases() {
  std::ifstream file(VELMORA_SOURCE_DIR "/tests/pairs/data/export_cases.json");
  std::vector<ExportCase> cases;
  for (const nlohmann::json& c : nlohmann::json::parse(file)) {
    const std::string key = c["key"];
    ExportCase one{c["export"], nullptr, SourceOf(key), {{key, c["record"]}}, {}};
    for (const auto& [name, run] : kExports) {
      if (one.name == name) one.run = run;
    }
    for (const nlohmann::json& pair : c["pairs"]) {
      one.expected.emplace_back(harnel::Utf8ToUtf16(pair[0].get<std::string>()),
                                harnel::Utf8ToUtf16(pair[1].get<std::string>()));
    }
    if (one.run == nullptr) throw std::runtime_error("no export " + one.name);
    cases.push_back(std::move(one));
  }
  if (cases.size() != std::size(kExports)) throw std::runtime_error("not one case per export");
  return cases;
}

}  // namespace

const std::vector<ExportCase>& ExportCases() {
  static const std::vector<ExportCase> cases = ReadCases();
  return cases;
}

}  // namespace testprovider
