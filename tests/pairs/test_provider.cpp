#include "tests/pairs/test_provider.h"

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
