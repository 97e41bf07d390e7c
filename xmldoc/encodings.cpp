#include "xmldoc/encodings.h"

#include <cstring>

#include "platform/code_page_conversion.h"
#include "xmldoc/encoding_alias_table.h"

namespace {

// Longer names are never looked up, which bounds the folding buffer.
constexpr int kMaxNameLength = 99;
constexpr int kLengthDigits = 2;
constexpr int kCodePageDigits = 5;

int ReadDecimal(const WChar* digits, int count) {
  int value = 0;
  for (int i = 0; i < count; ++i) value = value * 10 + (digits[i] - '0');
  return value;
}

int LookUpAlias(const WChar* folded, int length, unsigned sum) {
  const WChar* entry = kEncodingAliasBuckets[sum % kEncodingAliasBucketCount];
  while (*entry != 0) {
    int entryLength = ReadDecimal(entry, kLengthDigits);
    const WChar* name = entry + kLengthDigits + kCodePageDigits;
    if (entryLength == length && std::memcmp(name, folded, length * sizeof(WChar)) == 0) {
      return ReadDecimal(entry + kLengthDigits, kCodePageDigits);
    }
    entry = name + entryLength;
  }
  return CodePageUnknown;
}

// UTF-32 values to UTF-16. The values are taken as they come, without range checks; at most
// `room` units are written, and a pair that does not fit whole is left out.
int Utf32ToUtf16(const void* source, int32_t count, WChar* destination, int32_t room) {
  const unsigned char* bytes = static_cast<const unsigned char*>(source);
  int32_t units = 0;
  for (int32_t i = 0; i < count; ++i) {
    uint32_t value;
    std::memcpy(&value, bytes + i * sizeof value, sizeof value);  // the block may be unaligned
    int width = value > 0xFFFF ? 2 : 1;
    if (destination != nullptr) {
      if (units + width > room) break;
      if (width == 2) {
        destination[units] = static_cast<WChar>(0xD800 | ((value - 0x10000) >> 10 & 0x3FF));
        destination[units + 1] = static_cast<WChar>(0xDC00 | ((value - 0x10000) & 0x3FF));
      } else {
        destination[units] = static_cast<WChar>(value);
      }
    }
    units += width;
  }
  return units;
}

}  // namespace

int CodePageOfName(const WChar* name) {
  int length = 0;
  while (name[length] != 0 && length <= kMaxNameLength) ++length;
  if (length == 0) return CodePageAnsi;
  static constexpr WChar kUtf32[] = {'U', 'T', 'F', '-', '3', '2'};
  if (length >= 6 && std::memcmp(name, kUtf32, sizeof kUtf32) == 0) return CodePageUtf32;
  if (length > kMaxNameLength) return CodePageUnknown;
  WChar folded[kMaxNameLength];
  unsigned sum = 0;
  for (int i = 0; i < length; ++i) {
    WChar c = name[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<WChar>(c - 'A' + 'a');
    folded[i] = c;
    sum += c;
  }
  return LookUpAlias(folded, length, sum);
}

int Transcode(TranscodeContext& context, WChar* destination, const WChar* targetName) {
  if (targetName != nullptr) context.targetName = targetName;
  int sourceCodePage = CodePageOfName(context.sourceName.c_str());
  if (sourceCodePage == CodePageUnknown) sourceCodePage = CodePageAnsi;
  int32_t room = destination != nullptr ? context.resultLength : 0;
  // UTF-16 is read without a conversion (there is none from UTF-16 to itself): no units.
  int32_t units = 0;
  if (sourceCodePage == CodePageUtf32) {
    units = Utf32ToUtf16(context.source, context.sourceLength, destination, room);
  } else if (sourceCodePage != CodePageUtf16) {
    units = platform::ConvertToUtf16(sourceCodePage, static_cast<const char*>(context.source),
                                     context.sourceLength, destination, room);
  }
  context.resultLength = units;
  return units;
}
