// other.xml: input devices, modems, printers and system slots. Input devices take their
// ids from a running number that every filled device of any of the four kinds advances.

#include "filler/category_walk.h"
#include "filler/device_types.h"
#include "filler/fill_tables.h"
#include "filler/template_fill.h"
#include "provider/record_guard.h"

namespace velmora {
namespace {

using InputDeviceList = RecordGuard<InputdeviceNode, GetInputdeviceList, FreeInputdeviceList>;
using ModemList = RecordGuard<ModemNode, GetModemList, FreeModemList>;
using PrinterList = RecordGuard<PrinterNode, GetPrinterList, FreePrinterList>;
using SystemSlotList = RecordGuard<SystemslotNode, GetSystemslotList, FreeSystemslotList>;

constexpr int32_t kFirstRunningNumber = 500701;
constexpr int32_t kModemId = 500703;
constexpr int32_t kPrinterId = 500704;
constexpr int32_t kSystemSlotId = 500705;

// Expands one fixed-id list category, counting its devices into `runningNumber`.
template <class Guard, class Node>
void ExpandFixedIdList(XmlDoc& doc, int32_t id, std::span<const FillRow<Node>> table,
                       int32_t& runningNumber) {
  ExpandListCategory<Guard>(doc, [&](XmlDoc& c, const Node& node) {
    FillCopy<Node>(c, node, id, nullptr, table);
    ++runningNumber;
  });
}

}  // namespace

FillOutcome FillOtherTemplate(XmlDoc& doc) {
  int32_t runningNumber = kFirstRunningNumber;
  WalkCategories(doc, [&runningNumber](XmlDoc& d, const WString& id) {
    if (id == WTEXT("1")) {
      ExpandListCategory<InputDeviceList>(
          d, [&runningNumber](XmlDoc& c, const InputdeviceNode& node) {
            const WString caption = DeviceTypeName(node.deviceType);
            FillCopy<InputdeviceNode>(c, node, runningNumber, caption.c_str(), kInputDeviceTable);
            ++runningNumber;
          });
    } else if (id == WTEXT("2")) {
      ExpandFixedIdList<ModemList, ModemNode>(d, kModemId, kModemTable, runningNumber);
    } else if (id == WTEXT("3")) {
      ExpandFixedIdList<PrinterList, PrinterNode>(d, kPrinterId, kPrinterTable, runningNumber);
    } else if (id == WTEXT("4")) {
      ExpandFixedIdList<SystemSlotList, SystemslotNode>(d, kSystemSlotId, kSystemSlotTable,
                                                        runningNumber);
    } else {
      return;
    }
    // Every expansion, with or without devices, starts the walk again at the first category;
    // expanded copies carry six-digit ids that no rule matches.
    d.ResetPosition();
  });
  return FillOutcome::kDocument;
}

}  // namespace velmora
