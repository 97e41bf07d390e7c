#include "harnel/explain.h"

#include <array>

#include "harnel/probe.h"
#include "harnel/probe/explainers.h"
#include "harnel/probe/reasons_json.h"
#include "harnel/schema.h"

namespace harnel {
namespace {

struct KindExplainer {
  std::string_view key;
  probe::Explainer explain;
};

constexpr std::array<KindExplainer, 15> kExplainers = {{
    {"OS", probe::ExplainOS},
    {"BIOS", probe::ExplainBIOS},
    {"Processor", probe::ExplainProcessor},
    {"Memory", probe::ExplainMemory},
    {"Userinfo", probe::ExplainUserinfo},
    {"InputdeviceList", probe::ExplainInputdeviceList},
    {"ModemList", probe::ExplainModemList},
    {"MonitorList", probe::ExplainMonitorList},
    {"NetworkadapterList", probe::ExplainNetworkadapterList},
    {"PrinterList", probe::ExplainPrinterList},
    {"StorageList", probe::ExplainStorageList},
    {"SystemcontrollerList", probe::ExplainSystemcontrollerList},
    {"SystemslotList", probe::ExplainSystemslotList},
    {"VideoadapterList", probe::ExplainVideoadapterList},
    {"PhyMemoryList", probe::ExplainPhyMemoryList},
}};

}  // namespace

nlohmann::json ExplainMachine(std::string_view key, const std::filesystem::path& root) {
  const RecordSchema* schema = FindRecordSchema(key);
  if (schema == nullptr) return nullptr;
  const DisposableJson record = ProbeMachine(key, root);
  probe::Reasons why;
  for (const KindExplainer& explainer : kExplainers) {
    if (explainer.key == key) explainer.explain(root, record, why);
  }
  return probe::ReasonsToJson(*schema, record, why);
}

}  // namespace harnel
