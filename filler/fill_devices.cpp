// video.xml, network.xml and control.xml: every category is a list of devices with one
// fixed id per kind.

#include "filler/category_walk.h"
#include "filler/fill_tables.h"
#include "filler/template_fill.h"
#include "provider/record_guard.h"

namespace velmora {
namespace {

using VideoAdapterList = RecordGuard<VideoadapterNode, GetVideoadapterList, FreeVideoadapterList>;
using MonitorList = RecordGuard<MonitorNode, GetMonitorList, FreeMonitorList>;
using NetworkAdapterList =
    RecordGuard<NetworkadapterNode, GetNetworkadapterList, FreeNetworkadapterList>;
using ControllerList =
    RecordGuard<SystemcontrollerNode, GetSystemcontrollerList, FreeSystemcontrollerList>;

constexpr int32_t kVideoAdapterId = 500401;
constexpr int32_t kMonitorId = 500402;
constexpr int32_t kNetworkAdapterId = 500501;
constexpr int32_t kControllerId = 500601;

}  // namespace

FillOutcome FillVideoTemplate(XmlDoc& doc) {
  WalkCategories(doc, [](XmlDoc& d, const WString& id) {
    if (id == WTEXT("1")) {
      const bool listed =
          ExpandListCategory<VideoAdapterList>(d, [](XmlDoc& c, const VideoadapterNode& node) {
            FillCopy<VideoadapterNode>(c, node, kVideoAdapterId, nullptr, kVideoAdapterTable);
          });
      if (listed) d.ResetPosition();
    } else if (id == WTEXT("2")) {
      ExpandListCategory<MonitorList>(d, [](XmlDoc& c, const MonitorNode& node) {
        FillCopy<MonitorNode>(c, node, kMonitorId, nullptr, kMonitorTable);
      });
    }
  });
  return FillOutcome::kDocument;
}

FillOutcome FillNetworkTemplate(XmlDoc& doc) {
  WalkCategories(doc, [](XmlDoc& d, const WString& id) {
    if (id != WTEXT("1")) return;
    ExpandListCategory<NetworkAdapterList>(d, [](XmlDoc& c, const NetworkadapterNode& node) {
      // The description doubles as the adapter's caption; without one the caption stays.
      FillCopy<NetworkadapterNode>(c, node, kNetworkAdapterId, node.description,
                                   kNetworkAdapterTable);
    });
  });
  return FillOutcome::kDocument;
}

FillOutcome FillControlTemplate(XmlDoc& doc) {
  WalkCategories(doc, [](XmlDoc& d, const WString& id) {
    if (id != WTEXT("1")) return;
    ExpandListCategory<ControllerList>(d, [](XmlDoc& c, const SystemcontrollerNode& node) {
      FillCopy<SystemcontrollerNode>(c, node, kControllerId, node.name, kControllerTable);
    });
  });
  return FillOutcome::kDocument;
}

}  // namespace velmora
