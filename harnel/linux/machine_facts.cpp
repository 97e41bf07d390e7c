// The Machine key's facts on Linux: the system's facts, then its devices'.

#include "harnel/machine_facts.h"

#include "harnel/linux/machine_readers.h"

namespace harnel {

MachineFacts ReadMachineFacts(const std::filesystem::path& root) {
  findings::MachineReading reading;
  const linux::CpuInfoRead cpu = linux::ReadCpuInfo(root);
  reading.system = linux::ReadSystemFacts(root, cpu);
  reading.processor = linux::ReadProcessorFacts(root, cpu);
  reading.memoryModules = linux::ReadModuleFacts(root);
  reading.disks = linux::ReadDiskFacts(root);
  reading.monitors = linux::ReadMonitorFacts(root);
  reading.adapters = linux::ReadAdapterFacts(root);
  return {findings::MachineKeyOf(reading), findings::MachineReasonsOf(reading)};
}

}  // namespace harnel
