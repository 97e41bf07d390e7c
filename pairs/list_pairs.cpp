// The nine exports that describe every device of a list.

#include "dll/velmora.h"
#include "pairs/pair_frame.h"
#include "pairs/pair_tables.h"

using velmora::ListPairs;

int GetInputdeviceListPair(PairList& pairs) {
  return ListPairs<InputdeviceNode, GetInputdeviceList, FreeInputdeviceList>(
      pairs, velmora::kInputdevicePairRows);
}

int GetModemListPair(PairList& pairs) {
  return ListPairs<ModemNode, GetModemList, FreeModemList>(pairs, velmora::kModemPairRows);
}

int GetMonitorListPair(PairList& pairs) {
  return ListPairs<MonitorNode, GetMonitorList, FreeMonitorList>(pairs, velmora::kMonitorPairRows);
}

int GetNetworkadapterListPair(PairList& pairs) {
  return ListPairs<NetworkadapterNode, GetNetworkadapterList, FreeNetworkadapterList>(
      pairs, velmora::kNetworkadapterPairRows);
}

int GetPrinterListPair(PairList& pairs) {
  return ListPairs<PrinterNode, GetPrinterList, FreePrinterList>(pairs, velmora::kPrinterPairRows);
}

int GetStorageListPair(PairList& pairs) {
  return ListPairs<StorageNode, GetStorageList, FreeStorageList>(pairs, velmora::kStoragePairRows);
}

int GetSystemcontrollerListPair(PairList& pairs) {
  return ListPairs<SystemcontrollerNode, GetSystemcontrollerList, FreeSystemcontrollerList>(
      pairs, velmora::kSystemcontrollerPairRows);
}

int GetSystemslotListPair(PairList& pairs) {
  return ListPairs<SystemslotNode, GetSystemslotList, FreeSystemslotList>(
      pairs, velmora::kSystemslotPairRows);
}

int GetVideoadapterListPair(PairList& pairs) {
  return ListPairs<VideoadapterNode, GetVideoadapterList, FreeVideoadapterList>(
      pairs, velmora::kVideoadapterPairRows);
}
