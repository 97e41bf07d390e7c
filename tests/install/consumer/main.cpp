// Calls one pair export and one provider pair through the installed headers and libraries.

#include <cstdio>

#include "dll/velmora.h"
#include "provider/provider.h"

int main() {
  PairList pairs;
  const int result = GetStorageListPair(pairs);
  std::printf("GetStorageListPair %d %zu\n", result, pairs.size());

  OSInfo* os = nullptr;
  GetOS(&os);
  std::printf("GetOS %s\n", os != nullptr ? "record" : "none");
  if (os != nullptr) FreeOS(&os);
  return result == 0 ? 0 : 1;
}
