#include "cli/record_views.h"

#include <initializer_list>
#include <type_traits>

#include "cli/text_output.h"
#include "dll/velmora.h"
#include "filler/fill_tables.h"
#include "pairs/pair_tables.h"

namespace velmora::cli {
namespace {

constexpr std::string_view kFullWidthColon = "\xEF\xBC\x9A";  // U+FF1A, which ends every label

// The templates' number formats and the unit each writes, as the pair labels spell units.
struct FormatUnit {
  WStringView format;
  std::string_view unit;
};
constexpr FormatUnit kFormatUnits[] = {
    {WTEXT("%d MB"), "MB"}, {WTEXT("%d M"), "MB"},    {WTEXT("%d KB"), "KB"},
    {WTEXT("%d Hz"), "Hz"}, {WTEXT("%d Mhz"), "MHz"}, {WTEXT("%d bit"), "bit"},
};

// "（MB）" for a row written through "%d MB"; empty for a text or a bare number.
std::string UnitOf(const WChar* format) {
  for (const FormatUnit& entry : kFormatUnits) {
    if (format != nullptr && entry.format == format) {
      return "\xEF\xBC\x88" + std::string(entry.unit) + "\xEF\xBC\x89";
    }
  }
  return {};
}

// The field of `Record` that a pair or fill row reads.
template <class Row>
std::size_t FieldOf(const Row& row) {
  return row.text != nullptr ? harnel::FieldIndex(row.text) : harnel::FieldIndex(row.number);
}

template <class Record>
RecordView View(std::string_view name, std::string_view heading, int (*run)(PairList&),
                std::span<const PairRow<Record>> pairs,
                std::initializer_list<std::span<const FillRow<Record>>> fills) {
  const harnel::RecordSchema& schema = harnel::kRecordShape<Record>;
  RecordView view{name, heading, run, &schema, {}, {}};
  view.captions.resize(schema.fields.size());
  for (std::span<const FillRow<Record>> table : fills) {
    for (const FillRow<Record>& row : table) {
      const std::size_t field = FieldOf(row);
      if (field < schema.fields.size() && view.captions[field].empty()) {
        view.captions[field] = ToUtf8(row.itemName) + UnitOf(row.format);
      }
    }
  }
  for (const PairRow<Record>& row : pairs) {
    const std::size_t field = FieldOf(row);
    if (field >= schema.fields.size()) continue;
    std::string caption = ToUtf8(row.label);
    if (caption.ends_with(kFullWidthColon)) caption.resize(caption.size() - kFullWidthColon.size());
    view.pairFields.push_back(&schema.fields[field]);
    view.captions[field] = std::move(caption);
  }
  return view;
}

std::span<const RecordView> Views() {
  static const RecordView views[] = {
      View<OSInfo>("os", "Operating system", GetOSPair, kOSPairRows,
                   {kComputerTable, kOperatingSystemTable}),
      View<BIOSInfo>("bios", "Mainboard and BIOS", GetBIOSPair, kBIOSPairRows,
                     {kMainboardTable, kBiosTable}),
      View<ProcessorInfo>("processor", "Processor", GetProcessorPair, kProcessorPairRows,
                          {kProcessorTable}),
      View<MemoryInfo>("memory", "Memory", GetMemoryPair, kMemoryPairRows, {kMemoryTable}),
      View<UserInfo>("userinfo", "Users", GetUserinfoPair, kUserinfoPairRows, {}),
      View<InputdeviceNode>("inputdevice", "Input devices", GetInputdeviceListPair,
                            kInputdevicePairRows, {kInputDeviceTable}),
      View<ModemNode>("modem", "Modems", GetModemListPair, kModemPairRows, {kModemTable}),
      View<MonitorNode>("monitor", "Monitors", GetMonitorListPair, kMonitorPairRows,
                        {kMonitorTable}),
      View<NetworkadapterNode>("networkadapter", "Network adapters", GetNetworkadapterListPair,
                               kNetworkadapterPairRows, {kNetworkAdapterTable}),
      View<PrinterNode>("printer", "Printers", GetPrinterListPair, kPrinterPairRows,
                        {kPrinterTable}),
      View<StorageNode>("storage", "Storage devices", GetStorageListPair, kStoragePairRows,
                        {kStorageTable}),
      View<SystemcontrollerNode>("systemcontroller", "System controllers",
                                 GetSystemcontrollerListPair, kSystemcontrollerPairRows,
                                 {kControllerTable}),
      View<SystemslotNode>("systemslot", "System slots", GetSystemslotListPair, kSystemslotPairRows,
                           {kSystemSlotTable}),
      View<VideoadapterNode>("videoadapter", "Video adapters", GetVideoadapterListPair,
                             kVideoadapterPairRows, {kVideoAdapterTable}),
      View<PhyMemoryNode>({}, {}, nullptr, {}, {kMemoryModuleTable}),
  };
  static_assert(std::extent_v<decltype(views)> == harnel::kRecordKinds);
  return views;
}

const RecordView* FindView(std::string_view recordKey) {
  for (const RecordView& view : Views()) {
    if (view.schema->key == recordKey) return &view;
  }
  return nullptr;
}

}  // namespace

std::span<const RecordView> RecordViews() { return Views(); }

const RecordView* FindPairExport(std::string_view name) {
  for (const RecordView& view : Views()) {
    if (view.run != nullptr && view.name == name) return &view;
  }
  return nullptr;
}

std::string FieldCaption(std::string_view recordKey, std::string_view field) {
  const RecordView* view = FindView(recordKey);
  if (view == nullptr) return {};
  for (std::size_t i = 0; i < view->captions.size(); ++i) {
    if (view->schema->fields[i].name == field) return view->captions[i];
  }
  return {};
}

}  // namespace velmora::cli
