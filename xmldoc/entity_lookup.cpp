#include "xmldoc/entity_table.h"

uint32_t LookUpEntity(const WChar* name, int32_t length) {
  uint32_t sum = 0;
  for (int32_t i = 0; i < length; ++i) sum += name[i];
  for (const WChar* entry = kEntityBuckets[sum % kEntityBucketCount]; *entry != 0;) {
    const int32_t n = *entry - '0';
    const WChar* entryName = entry + 5;
    bool same = n == length;
    for (int32_t i = 0; same && i < n; ++i) same = entryName[i] == name[i];
    if (same) {
      uint32_t value = 0;
      for (int32_t i = 1; i <= 4; ++i) value = value * 10 + (entry[i] - '0');
      return value;
    }
    entry = entryName + n;
  }
  return 0;
}
