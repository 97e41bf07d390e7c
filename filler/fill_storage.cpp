// storage.xml: the memory summary in place, memory modules and storage devices as lists.

#include "filler/category_walk.h"
#include "filler/device_types.h"
#include "filler/fill_tables.h"
#include "filler/template_fill.h"
#include "provider/record_guard.h"

namespace velmora {
namespace {

// The summary and the modules share one output id.
constexpr int32_t kMemoryId = 500301;

using MemoryGuard = RecordGuard<MemoryInfo, GetMemory, FreeMemory>;
using MemoryModuleList = RecordGuard<PhyMemoryNode, GetPhyMemoryList, FreePhyMemoryList>;
using StorageList = RecordGuard<StorageNode, GetStorageList, FreeStorageList>;

void FillMemorySummary(XmlDoc& doc) {
  // Without a record the category keeps its id "1", so a restarted walk asks again.
  MemoryGuard memory;
  if (!memory) return;
  WriteNumberAttribute(doc, doc.mainPos, kIdAttribute, WTEXT("%d"), kMemoryId);
  FillItems<MemoryInfo>(doc, kMemoryTable, *memory.get());
}

bool ExpandMemoryModules(XmlDoc& doc) {
  return ExpandListCategory<MemoryModuleList>(doc, [](XmlDoc& d, const PhyMemoryNode& node) {
    FillCopy<PhyMemoryNode>(d, node, kMemoryId, nullptr, kMemoryModuleTable);
  });
}

bool ExpandStorageDevices(XmlDoc& doc) {
  return ExpandListCategory<StorageList>(doc, [](XmlDoc& d, const StorageNode& node) {
    // The media type names the copy, even when that name is empty.
    const WString caption = DeviceTypeName(node.mediaType);
    FillCopy<StorageNode>(d, node, DeviceTypeId(node.mediaType), caption.c_str(), kStorageTable);
  });
}

}  // namespace

FillOutcome FillStorageTemplate(XmlDoc& doc) {
  WalkCategories(doc, [](XmlDoc& d, const WString& id) {
    if (id == WTEXT("1")) {
      FillMemorySummary(d);
    } else if (id == WTEXT("2")) {
      if (ExpandMemoryModules(d)) d.ResetPosition();
    } else if (id == WTEXT("3")) {
      if (ExpandStorageDevices(d)) d.ResetPosition();
    }
  });
  return FillOutcome::kDocument;
}

}  // namespace velmora
