// The five exports that describe one record each.

#include "dll/velmora.h"
#include "pairs/pair_frame.h"
#include "pairs/pair_tables.h"

using velmora::RecordPairs;

int GetOSPair(PairList& pairs) {
  return RecordPairs<OSInfo, GetOS, FreeOS>(pairs, velmora::kOSPairRows);
}

int GetBIOSPair(PairList& pairs) {
  return RecordPairs<BIOSInfo, GetBIOS, FreeBIOS>(pairs, velmora::kBIOSPairRows);
}

int GetProcessorPair(PairList& pairs) {
  return RecordPairs<ProcessorInfo, GetProcessor, FreeProcessor>(pairs,
                                                                 velmora::kProcessorPairRows);
}

int GetMemoryPair(PairList& pairs) {
  return RecordPairs<MemoryInfo, GetMemory, FreeMemory>(pairs, velmora::kMemoryPairRows);
}

int GetUserinfoPair(PairList& pairs) {
  return RecordPairs<UserInfo, GetUserinfo, FreeUserinfo>(pairs, velmora::kUserinfoPairRows);
}
