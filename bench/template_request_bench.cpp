// Whole GetDeviceXMLBuffer calls as a host makes them, with the real provider replaying a
// profile: storage.xml for a machine of 8 memory modules and 16 storage devices, other.xml
// for one with 64 input devices. Beside each whole call stand its parts (reading the file,
// reading and parsing it, the provider's records alone), so that the fill's own share is
// the whole minus those.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "dll/velmora.h"
#include "platform/host_path.h"
#include "platform/host_process.h"
#include "provider/provider.h"
#include "provider/record_guard.h"
#include "xmldoc/text_file.h"
#include "xmldoc/xml_doc.h"

namespace {

using nlohmann::json;

std::filesystem::path BenchFolder() {
  const WString host = platform::HostProgramPath();
  return std::filesystem::path(std::u16string(host.begin(), host.end())).parent_path();
}

json Machine() {
  json profile = json::object();
  profile["Memory"] = {{"totalPhysicalMB", 131072}, {"totalPageFileMB", 8192}};
  for (int i = 0; i < 8; ++i) {
    profile["PhyMemoryList"].push_back({{"moduleName", "Physical Memory"},
                                        {"description", "物理内存"},
                                        {"deviceLocator", "DIMM_" + std::to_string(i)},
                                        {"capacityMB", 16384},
                                        {"speedMHz", 3200},
                                        {"manufacturer", "Kingston & Co"},
                                        {"dataWidth", 64},
                                        {"memoryType", "DDR4"}});
  }
  for (int i = 0; i < 16; ++i) {
    profile["StorageList"].push_back(
        {{"name", "\\\\.\\PHYSICALDRIVE" + std::to_string(i)},
         {"mediaType", i % 4 == 3 ? "CD-ROM" : "Fixed\thard disk media"},
         {"manufacturer", "(标准磁盘驱动器)"},
         {"model", "Disk <model> " + std::to_string(i)},
         {"sizeMB", 953867},
         {"description", "磁盘驱动器"}});
  }
  for (int i = 0; i < 64; ++i) {
    profile["InputdeviceList"].push_back({{"caption", "HID device " + std::to_string(i)},
                                          {"deviceType", i % 2 == 0 ? "Keyboard" : "Pointing"},
                                          {"manufacturer", "(标准键盘)"},
                                          {"description", "HID \"standard\" device"}});
  }
  return profile;
}

// Writes the profile once and points the provider at it before its first call.
void UseMachineProfile() {
  static const bool ready = [] {
    const std::filesystem::path path = BenchFolder() / "template_request_profile.json";
    std::ofstream(path, std::ios::binary) << Machine().dump();
    platform::SetEnvironment("HARNEL_PROFILE", path.string());
    return true;
  }();
  (void)ready;
}

WString TemplatePath(const char* fileName) {
  const std::u16string path = (BenchFolder() / "hardinfo" / fileName).u16string();
  return WString(path.begin(), path.end());
}

void WholeCall(benchmark::State& state, int category) {
  UseMachineProfile();
  for (auto _ : state) {
    WString out;
    if (GetDeviceXMLBuffer(category, out) != 0) state.SkipWithError("no template");
    benchmark::DoNotOptimize(out.data());
  }
}

void LoadOnly(benchmark::State& state, const char* fileName) {
  const WString path = TemplatePath(fileName);
  for (auto _ : state) {
    XmlDoc doc;
    WString text;
    if (!LoadTextFile(path.c_str(), text, &doc.resultLog, &doc.flags)) {
      state.SkipWithError("no template");
    }
    doc.SetText(std::move(text));
    benchmark::DoNotOptimize(doc.Text().data());
  }
}

void LoadAndParse(benchmark::State& state, const char* fileName) {
  const WString path = TemplatePath(fileName);
  for (auto _ : state) {
    XmlDoc doc;
    WString text;
    LoadTextFile(path.c_str(), text, &doc.resultLog, &doc.flags);
    doc.SetText(std::move(text));
    if (!doc.ParseDocument()) state.SkipWithError("template not well-formed");
  }
}

void BM_Storage_WholeCall(benchmark::State& state) { WholeCall(state, 5003); }
void BM_Storage_Load(benchmark::State& state) { LoadOnly(state, "storage.xml"); }
void BM_Storage_LoadParse(benchmark::State& state) { LoadAndParse(state, "storage.xml"); }
void BM_Storage_ProviderRecords(benchmark::State& state) {
  UseMachineProfile();
  for (auto _ : state) {
    velmora::RecordGuard<MemoryInfo, GetMemory, FreeMemory> memory;
    velmora::RecordGuard<PhyMemoryNode, GetPhyMemoryList, FreePhyMemoryList> modules;
    velmora::RecordGuard<StorageNode, GetStorageList, FreeStorageList> disks;
    benchmark::DoNotOptimize(disks.get());
  }
}

void BM_Other_WholeCall(benchmark::State& state) { WholeCall(state, 5007); }
void BM_Other_Load(benchmark::State& state) { LoadOnly(state, "other.xml"); }
void BM_Other_LoadParse(benchmark::State& state) { LoadAndParse(state, "other.xml"); }
void BM_Other_ProviderRecords(benchmark::State& state) {
  UseMachineProfile();
  for (auto _ : state) {
    velmora::RecordGuard<InputdeviceNode, GetInputdeviceList, FreeInputdeviceList> input;
    velmora::RecordGuard<ModemNode, GetModemList, FreeModemList> modems;
    velmora::RecordGuard<PrinterNode, GetPrinterList, FreePrinterList> printers;
    velmora::RecordGuard<SystemslotNode, GetSystemslotList, FreeSystemslotList> slots;
    benchmark::DoNotOptimize(input.get());
  }
}

BENCHMARK(BM_Storage_WholeCall);
BENCHMARK(BM_Storage_Load);
BENCHMARK(BM_Storage_LoadParse);
BENCHMARK(BM_Storage_ProviderRecords);
BENCHMARK(BM_Other_WholeCall);
BENCHMARK(BM_Other_Load);
BENCHMARK(BM_Other_LoadParse);
BENCHMARK(BM_Other_ProviderRecords);

}  // namespace

BENCHMARK_MAIN();
