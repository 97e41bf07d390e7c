#include "cli/record_views.h"

#include <vector>

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

// The pair exports, each with the name `velmora pairs` knows it by, keyed by the kind it shows.
struct PairExport {
  std::string_view kind, name;
  int (*run)(PairList&);
};
const PairExport kPairExports[] = {
    {harnel::kProfileKey<OSInfo>, "os", GetOSPair},
    {harnel::kProfileKey<BIOSInfo>, "bios", GetBIOSPair},
    {harnel::kProfileKey<ProcessorInfo>, "processor", GetProcessorPair},
    {harnel::kProfileKey<MemoryInfo>, "memory", GetMemoryPair},
    {harnel::kProfileKey<UserInfo>, "userinfo", GetUserinfoPair},
    {harnel::kProfileKey<InputdeviceNode>, "inputdevice", GetInputdeviceListPair},
    {harnel::kProfileKey<ModemNode>, "modem", GetModemListPair},
    {harnel::kProfileKey<MonitorNode>, "monitor", GetMonitorListPair},
    {harnel::kProfileKey<NetworkadapterNode>, "networkadapter", GetNetworkadapterListPair},
    {harnel::kProfileKey<PrinterNode>, "printer", GetPrinterListPair},
    {harnel::kProfileKey<StorageNode>, "storage", GetStorageListPair},
    {harnel::kProfileKey<SystemcontrollerNode>, "systemcontroller", GetSystemcontrollerListPair},
    {harnel::kProfileKey<SystemslotNode>, "systemslot", GetSystemslotListPair},
    {harnel::kProfileKey<VideoadapterNode>, "videoadapter", GetVideoadapterListPair},
};

// The view of `Record`: its pair export, if any, and the captions its pair and fill rows give.
template <class Record>
RecordView View() {
  const harnel::RecordSchema& schema = harnel::kRecordShape<Record>;
  RecordView view{{}, schema.title, nullptr, &schema, {}, {}};
  for (const PairExport& pairs : kPairExports) {
    if (pairs.kind == schema.key) {
      view.name = pairs.name;
      view.run = pairs.run;
    }
  }
  view.captions.resize(schema.fields.size());
  for (std::span<const FillRow<Record>> table : kFillTablesOf<Record>) {
    for (const FillRow<Record>& row : table) {
      const std::size_t field = FieldOf(row);
      if (field < schema.fields.size() && view.captions[field].empty()) {
        view.captions[field] = ToUtf8(row.itemName) + UnitOf(row.format);
      }
    }
  }
  for (const PairRow<Record>& row : kPairRowsOf<Record>) {
    const std::size_t field = FieldOf(row);
    if (field >= schema.fields.size()) continue;
    std::string caption = ToUtf8(row.label);
    if (caption.ends_with(kFullWidthColon)) caption.resize(caption.size() - kFullWidthColon.size());
    view.pairFields.push_back(&schema.fields[field]);
    view.captions[field] = std::move(caption);
  }
  return view;
}

// A view per kind of the schema, in its order.
std::span<const RecordView> Views() {
  static const std::vector<RecordView> views = [] {
    std::vector<RecordView> all;
    harnel::EachRecordType([&]<class Record>() {
      all.push_back(View<Record>());
      return true;
    });
    return all;
  }();
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
