#pragma once
// The Linux readers' reasons, one explainer per kind of record: each looks again at the
// sources its reader takes the record from and says why what the reader found is empty. They
// run only when reasons are asked for, so the readers themselves cost nothing more.

#include <filesystem>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "harnel/probe/reasons.h"

namespace harnel::probe {

// What every explainer takes: the machine's root, the record its reader gave (null when none)
// and where the reasons go.
using Explainer = void (*)(const std::filesystem::path& root, const nlohmann::json& record,
                           Reasons& why);

// Why the firmware's SMBIOS table gave nothing: no firmware tables at all, the table readable
// by root only, or, when it was read, that it lists none.
std::string WhyNoFirmwareTable(const std::filesystem::path& root);

void ExplainOS(const std::filesystem::path& root, const nlohmann::json& record, Reasons& why);
void ExplainProcessor(const std::filesystem::path& root, const nlohmann::json& record,
                      Reasons& why);
void ExplainMemory(const std::filesystem::path& root, const nlohmann::json& record, Reasons& why);
void ExplainUserinfo(const std::filesystem::path& root, const nlohmann::json& record, Reasons& why);
void ExplainBIOS(const std::filesystem::path& root, const nlohmann::json& record, Reasons& why);
void ExplainSystemslotList(const std::filesystem::path& root, const nlohmann::json& record,
                           Reasons& why);
void ExplainPhyMemoryList(const std::filesystem::path& root, const nlohmann::json& record,
                          Reasons& why);
void ExplainInputdeviceList(const std::filesystem::path& root, const nlohmann::json& record,
                            Reasons& why);
void ExplainModemList(const std::filesystem::path& root, const nlohmann::json& record,
                      Reasons& why);
void ExplainMonitorList(const std::filesystem::path& root, const nlohmann::json& record,
                        Reasons& why);
void ExplainNetworkadapterList(const std::filesystem::path& root, const nlohmann::json& record,
                               Reasons& why);
void ExplainPrinterList(const std::filesystem::path& root, const nlohmann::json& record,
                        Reasons& why);
void ExplainStorageList(const std::filesystem::path& root, const nlohmann::json& record,
                        Reasons& why);
void ExplainSystemcontrollerList(const std::filesystem::path& root, const nlohmann::json& record,
                                 Reasons& why);
void ExplainVideoadapterList(const std::filesystem::path& root, const nlohmann::json& record,
                             Reasons& why);

}  // namespace harnel::probe
