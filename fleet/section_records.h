#pragma once
// The records the rows of every format's tables read, by the short names those tables use.

#include <string_view>

#include "harnel/machine_key.h"

namespace velmora::fleet::section_records {

inline constexpr std::string_view kOS = harnel::kProfileKey<OSInfo>;
inline constexpr std::string_view kBIOS = harnel::kProfileKey<BIOSInfo>;
inline constexpr std::string_view kSystem = harnel::kMachineSystemKey;
inline constexpr std::string_view kProcessor = harnel::kProfileKey<ProcessorInfo>;
inline constexpr std::string_view kMemory = harnel::kProfileKey<MemoryInfo>;
inline constexpr std::string_view kUsers = harnel::kProfileKey<UserInfo>;
inline constexpr std::string_view kModules = harnel::kProfileKey<PhyMemoryNode>;
inline constexpr std::string_view kStorage = harnel::kProfileKey<StorageNode>;
inline constexpr std::string_view kAdapters = harnel::kProfileKey<NetworkadapterNode>;
inline constexpr std::string_view kMonitorList = harnel::kProfileKey<MonitorNode>;
inline constexpr std::string_view kVideoList = harnel::kProfileKey<VideoadapterNode>;
inline constexpr std::string_view kInputList = harnel::kProfileKey<InputdeviceNode>;
inline constexpr std::string_view kPrinterList = harnel::kProfileKey<PrinterNode>;
inline constexpr std::string_view kSlotList = harnel::kProfileKey<SystemslotNode>;
inline constexpr std::string_view kModemList = harnel::kProfileKey<ModemNode>;
inline constexpr std::string_view kControllerList = harnel::kProfileKey<SystemcontrollerNode>;

}  // namespace velmora::fleet::section_records
