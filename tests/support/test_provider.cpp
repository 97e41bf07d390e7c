#include "tests/support/test_provider.h"

#include <stdexcept>
#include <string>

#include "harnel/schema.h"
#include "provider/provider.h"

namespace testprovider {
namespace {

SourceLog logs[static_cast<int>(Source::Count)];

template <class Record>
void Hand(Source source, Record** out) {
  SourceLog& log = Log(source);
  ++log.gets;
  *out = static_cast<Record*>(const_cast<void*>(log.record));
  if (*out != nullptr) ++log.held;
}

template <class Record>
void Take(Source source, Record** in) {
  SourceLog& log = Log(source);
  ++log.frees;
  if (in == nullptr || *in == nullptr || *in != log.record || log.held == 0) {
    ++log.wrongFrees;
    return;
  }
  --log.held;
}

}  // namespace

SourceLog& Log(Source source) { return logs[static_cast<int>(source)]; }

void Provide(Source source, const void* record) { Log(source).record = record; }

void Reset() {
  for (SourceLog& log : logs) log = SourceLog{};
}

// The schema lists the records in the provider's order, which Source follows.
Source SourceOf(std::string_view key) {
  const harnel::RecordSchema* schema = harnel::FindRecordSchema(key);
  if (schema == nullptr) throw std::invalid_argument(std::string("no record under ").append(key));
  return static_cast<Source>(schema - harnel::RecordSchemas().data());
}

std::vector<harnel::HeldRecord> ProvideProfile(const nlohmann::json& profile) {
  std::vector<harnel::HeldRecord> held;
  for (const auto& [key, value] : profile.items()) {
    const Source source = SourceOf(key);
    const harnel::RecordSchema& schema = harnel::RecordSchemas()[static_cast<size_t>(source)];
    const std::string problem = harnel::CheckRecordJson(schema, value);
    if (!problem.empty()) throw std::invalid_argument(problem);
    held.push_back(harnel::BuildRecord(schema, value));
    if (source == Source::Monitor) {
      for (auto* node = static_cast<MonitorNode*>(held.back().first()); node; node = node->next) {
        node->spare = reinterpret_cast<const void*>(0x1);
      }
    }
    Provide(source, held.back().first());
  }
  return held;
}

}  // namespace testprovider

using testprovider::Source;

#define TEST_PROVIDER_PAIR(Name, Record, source)                               \
  extern "C" void Get##Name(Record** out) { testprovider::Hand(source, out); } \
  extern "C" void Free##Name(Record** in) { testprovider::Take(source, in); }

TEST_PROVIDER_PAIR(OS, OSInfo, Source::OS)
TEST_PROVIDER_PAIR(BIOS, BIOSInfo, Source::BIOS)
TEST_PROVIDER_PAIR(Processor, ProcessorInfo, Source::Processor)
TEST_PROVIDER_PAIR(Memory, MemoryInfo, Source::Memory)
TEST_PROVIDER_PAIR(Userinfo, UserInfo, Source::Userinfo)
TEST_PROVIDER_PAIR(InputdeviceList, InputdeviceNode, Source::Inputdevice)
TEST_PROVIDER_PAIR(ModemList, ModemNode, Source::Modem)
TEST_PROVIDER_PAIR(MonitorList, MonitorNode, Source::Monitor)
TEST_PROVIDER_PAIR(NetworkadapterList, NetworkadapterNode, Source::Networkadapter)
TEST_PROVIDER_PAIR(PrinterList, PrinterNode, Source::Printer)
TEST_PROVIDER_PAIR(StorageList, StorageNode, Source::Storage)
TEST_PROVIDER_PAIR(SystemcontrollerList, SystemcontrollerNode, Source::Systemcontroller)
TEST_PROVIDER_PAIR(SystemslotList, SystemslotNode, Source::Systemslot)
TEST_PROVIDER_PAIR(VideoadapterList, VideoadapterNode, Source::Videoadapter)
TEST_PROVIDER_PAIR(PhyMemoryList, PhyMemoryNode, Source::PhyMemory)
