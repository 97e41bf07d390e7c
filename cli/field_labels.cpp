#include "cli/field_labels.h"

#include <vector>

#include "cli/text_output.h"
#include "pairs/pair_tables.h"

namespace velmora::cli {
namespace {

constexpr std::string_view kFullWidthColon = "\xEF\xBC\x9A";  // U+FF1A, which ends every label

// Fields that only the templates show, under the template's item name.
struct TemplateCaption {
  std::string_view recordKey, field, caption;
};
constexpr TemplateCaption kTemplateCaptions[] = {
    {"OS", "computerName", "计算机名称"},
    {"OS", "upTime", "系统运行时间"},
    {"BIOS", "biosName", "BIOS名称"},
    {"Processor", "slotName", "插槽名称"},
    {"Processor", "l2CacheKB", "L2-Cache（KB）"},
    {"VideoadapterList", "manufacturer", "制造商"},
    {"VideoadapterList", "dacType", "DAC类型"},
    {"VideoadapterList", "refreshRateHz", "当前刷新率（Hz）"},
    {"VideoadapterList", "driverVersion", "驱动版本"},
    {"VideoadapterList", "driverDate", "驱动日期"},
    {"PhyMemoryList", "moduleName", "内存条"},
    {"PhyMemoryList", "description", "描述"},
    {"PhyMemoryList", "deviceLocator", "设备位置"},
    {"PhyMemoryList", "capacityMB", "容量（MB）"},
    {"PhyMemoryList", "speedMHz", "频率（MHz）"},
    {"PhyMemoryList", "manufacturer", "制造商"},
    {"PhyMemoryList", "dataWidth", "数据字宽（bit）"},
    {"PhyMemoryList", "memoryType", "内存类型"},
};

// One pair export as fields: the schema field behind each pair, and the pair's caption.
struct ExportFields {
  std::string_view recordKey;
  std::vector<const harnel::FieldSchema*> fields;
  std::vector<std::string> captions;
};

// Where the field that `row` reads lies in its record: the pair tables name fields by member
// pointer, the schema by offset.
template <class Record>
std::size_t FieldOffset(const PairRow<Record>& row) {
  static const Record sample{};
  const auto* base = reinterpret_cast<const char*>(&sample);
  const auto* field = row.text != nullptr ? reinterpret_cast<const char*>(&(sample.*row.text))
                                          : reinterpret_cast<const char*>(&(sample.*row.number));
  return static_cast<std::size_t>(field - base);
}

template <class Record, std::size_t N>
ExportFields FieldsOf(std::string_view recordKey, const PairRow<Record> (&rows)[N]) {
  ExportFields out{recordKey, {}, {}};
  const harnel::RecordSchema& schema = *harnel::FindRecordSchema(recordKey);
  for (const PairRow<Record>& row : rows) {
    const std::size_t offset = FieldOffset(row);
    for (const harnel::FieldSchema& field : schema.fields) {
      if (field.offset != offset) continue;
      std::string caption = ToUtf8(row.label);
      if (caption.ends_with(kFullWidthColon))
        caption.resize(caption.size() - kFullWidthColon.size());
      out.fields.push_back(&field);
      out.captions.push_back(std::move(caption));
    }
  }
  return out;
}

const std::vector<ExportFields>& Exports() {
  static const std::vector<ExportFields> exports = {
      FieldsOf("OS", kOSPairRows),
      FieldsOf("BIOS", kBIOSPairRows),
      FieldsOf("Processor", kProcessorPairRows),
      FieldsOf("Memory", kMemoryPairRows),
      FieldsOf("Userinfo", kUserinfoPairRows),
      FieldsOf("InputdeviceList", kInputdevicePairRows),
      FieldsOf("ModemList", kModemPairRows),
      FieldsOf("MonitorList", kMonitorPairRows),
      FieldsOf("NetworkadapterList", kNetworkadapterPairRows),
      FieldsOf("PrinterList", kPrinterPairRows),
      FieldsOf("StorageList", kStoragePairRows),
      FieldsOf("SystemcontrollerList", kSystemcontrollerPairRows),
      FieldsOf("SystemslotList", kSystemslotPairRows),
      FieldsOf("VideoadapterList", kVideoadapterPairRows),
  };
  return exports;
}

const ExportFields* FindExport(std::string_view recordKey) {
  for (const ExportFields& fields : Exports()) {
    if (fields.recordKey == recordKey) return &fields;
  }
  return nullptr;
}

}  // namespace

std::string FieldCaption(std::string_view recordKey, std::string_view field) {
  if (const ExportFields* fields = FindExport(recordKey)) {
    for (std::size_t i = 0; i < fields->fields.size(); ++i) {
      if (fields->fields[i]->name == field) return fields->captions[i];
    }
  }
  for (const TemplateCaption& caption : kTemplateCaptions) {
    if (caption.recordKey == recordKey && caption.field == field) {
      return std::string(caption.caption);
    }
  }
  return {};
}

std::span<const harnel::FieldSchema* const> PairFields(std::string_view recordKey) {
  const ExportFields* fields = FindExport(recordKey);
  if (fields == nullptr) return {};
  return fields->fields;
}

}  // namespace velmora::cli
