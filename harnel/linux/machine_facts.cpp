// The Machine key's facts on Linux: the system's facts, then its devices'.

#include "harnel/machine_facts.h"

#include "harnel/linux/machine_readers.h"

namespace harnel {

MachineFacts ReadMachineFacts(const std::filesystem::path& root) {
  probe::MachineReading reading;
  const probe::CpuInfoRead cpu = probe::ReadCpuInfo(root);
  reading.system = probe::ReadSystemFacts(root, cpu);
  reading.processor = probe::ReadProcessorFacts(root, cpu);
  reading.memoryModules = probe::ReadModuleFacts(root);
  reading.disks = probe::ReadDiskFacts(root);
  reading.monitors = probe::ReadMonitorFacts(root);
  reading.adapters = probe::ReadAdapterFacts(root);
  return {probe::MachineKeyOf(reading), probe::MachineReasonsOf(reading)};
}

}  // namespace harnel
