#include "xmldoc/text_file.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/system_error.h"
#include "xmldoc/encodings.h"
#include "xmldoc/parser.h"
#include "xmldoc/result_log.h"

// UTF-16 blocks are read straight into 16-bit units, which gives little-endian files their
// values and big-endian ones (swapped afterwards) theirs only on a little-endian machine.
static_assert(std::endian::native == std::endian::little);

namespace {

// Enough of the start of a file to hold its XML declaration or HTML meta tag.
constexpr int32_t kProbeBytes = 1024;

// The system's message buffer holds this many units, terminator included; a longer message
// does not fit and is left out.
constexpr size_t kMessageRoom = 100;

struct ByteOrderMark {
  const char* bytes;
  int32_t length;
  const WChar* encoding;
  uint32_t flag;
};

// Tried in this order; there is no UTF-32 mark.
constexpr ByteOrderMark kBomTable[] = {
    {"\xEF\xBB\xBF", 3, WTEXT("UTF-8"), Utf8BomFlag},
    {"\xFF\xFE", 2, WTEXT("UTF-16LE"), Utf16LeFlag},
    {"\xFE\xFF", 2, WTEXT("UTF-16BE"), Utf16BeFlag},
};

constexpr uint32_t kNone = 0xFFFFFFFF;  // no number

// Moves the non-zero units down over the zero ones, keeping their order; returns how many
// were removed.
template <typename Unit>
int32_t RemoveZeroUnits(Unit* units, int32_t count) {
  Unit* end = std::remove(units, units + count, Unit{0});
  return static_cast<int32_t>(units + count - end);
}

// The lead-byte rules of the detection: bit 5 clear, one continuation byte; else bit 4 clear,
// two; else bit 3 clear, three; else invalid. Continuation bytes need their top bit set.
bool LooksLikeUtf8(const unsigned char* bytes, int32_t count) {
  int32_t i = 0;
  while (i < count) {
    unsigned char lead = bytes[i++];
    if (lead < 0x80) continue;
    int continuations = (lead & 0x20) == 0   ? 1
                        : (lead & 0x10) == 0 ? 2
                        : (lead & 0x08) == 0 ? 3
                                             : 0;
    if (continuations == 0) return false;
    for (int k = 0; k < continuations; ++k, ++i) {
      if (i >= count || (bytes[i] & 0x80) == 0) return false;
    }
  }
  return true;
}

}  // namespace

bool TextFile::ReportFileError() {
  int code = platform::LastSystemError();
  WString message = platform::SystemErrorMessage(code);
  if (message.size() >= kMessageRoom) message.clear();
  message.erase(std::min(message.size(), message.find_first_of(WTEXT("\r\n"))));
  AddResult(resultLog, WTEXT("file_error"), message.c_str(), ResultMsg | ResultN,
            static_cast<uint32_t>(code), kNone);
  return false;
}

bool TextFile::Open(const WChar* path) {
  resultLog.clear();
  stream = platform::OpenFileForReading(path);
  if (stream == nullptr) return ReportFileError();
  charWidth = 1;

  if (std::fseek(stream.get(), 0, SEEK_END) != 0) return ReportFileError();
  long size = std::ftell(stream.get());
  if (size < 0) return ReportFileError();
  if (size > INT32_MAX) {
    errno = EFBIG;  // sizes and offsets are 32-bit
    return ReportFileError();
  }
  fileSize = static_cast<int32_t>(size);
  if (std::fseek(stream.get(), 0, SEEK_SET) != 0) return ReportFileError();
  if (fileSize == 0) {
    position = 0;
    return true;
  }

  char probe[kProbeBytes];
  int32_t probeLength = std::min(kProbeBytes, fileSize);
  if (std::fread(probe, static_cast<size_t>(probeLength), 1, stream.get()) != 1) {
    return ReportFileError();
  }

  flags &= ~(Utf16LeFlag | Utf8BomFlag);
  int32_t bomLength = 0;
  for (const ByteOrderMark& bom : kBomTable) {
    if (probeLength >= bom.length && std::memcmp(probe, bom.bytes, bom.length) == 0) {
      flags |= bom.flag;
      if (bom.length == 2) charWidth = 2;
      encoding = bom.encoding;
      bomLength = bom.length;
      break;
    }
  }
  if (probeLength > bomLength && std::fseek(stream.get(), bomLength, SEEK_SET) != 0) {
    return ReportFileError();
  }

  if (bomLength == 0) {
    // UTF-8 gives at most one unit per byte, so the probe's length is room enough.
    WChar declarationText[kProbeBytes + 1];
    TranscodeContext context;
    context.sourceName = WTEXT("UTF-8");
    context.source = probe;
    context.sourceLength = probeLength;
    context.resultLength = probeLength;
    int units = Transcode(context, declarationText, WTEXT("UTF-16"));
    declarationText[units] = 0;
    encoding = FindDeclaredEncoding(declarationText);
  }
  if (encoding.empty() && probe[0] == '<') encoding = WTEXT("UTF-8");

  position = bomLength;
  if (bomLength != 0) AddResult(resultLog, WTEXT("bom"), nullptr, 0, kNone, kNone);
  return true;
}

bool TextFile::ReadBlock(void* buffer) {
  size_t read = std::fread(buffer, static_cast<size_t>(blockBytes), 1, stream.get());
  unitCount = blockBytes / charWidth;
  if (read != 1) return ReportFileError();
  position += blockBytes;
  AddResult(resultLog, WTEXT("read"), encoding.c_str(), ResultEncoding | ResultLength,
            static_cast<uint32_t>(unitCount), kNone);

  int32_t removed = charWidth == 2 ? RemoveZeroUnits(static_cast<WChar*>(buffer), unitCount)
                                   : RemoveZeroUnits(static_cast<char*>(buffer), unitCount);
  if (removed != 0) {
    AddResult(resultLog, WTEXT("nulls_removed"), nullptr, ResultCount,
              static_cast<uint32_t>(removed), kNone);
    unitCount -= removed;
  }

  if (charWidth == 2 && (flags & Utf16BeFlag) != 0) {
    WChar* units = static_cast<WChar*>(buffer);
    for (int32_t i = 0; i < unitCount; ++i) {
      units[i] = static_cast<WChar>(units[i] << 8 | units[i] >> 8);
    }
    AddResult(resultLog, WTEXT("endian_swap"), nullptr, 0, kNone, kNone);
  }
  return true;
}

bool TextFile::ReadText(WString& text) {
  resultLog.clear();
  if (blockBytes == 0) {
    AddResult(resultLog, WTEXT("read"), encoding.c_str(), ResultEncoding | ResultLength, 0, kNone);
    return true;
  }
  blockBytes = std::min(blockBytes, fileSize - position);

  // The extra hundredth leaves room for the values that the template filler writes later.
  if ((flags & (Utf16LeFlag | Utf16BeFlag)) != 0) {
    size_t units = static_cast<size_t>(blockBytes / 2);
    WString buffer(units + units / 100 + 1, WChar{});
    text.reserve(units + units / 100);
    if (!ReadBlock(buffer.data())) return false;
    text.assign(buffer.data(), static_cast<size_t>(unitCount));
    return true;
  }

  std::string block(static_cast<size_t>(blockBytes), '\0');
  if (!ReadBlock(block.data())) return false;

  if (encoding.empty()) {
    if (LooksLikeUtf8(reinterpret_cast<const unsigned char*>(block.data()), unitCount)) {
      encoding = WTEXT("UTF-8");
      AddResult(resultLog, WTEXT("read"), encoding.c_str(), ResultEncoding | ResultUpdate, kNone,
                kNone);
    }
    AddResult(resultLog, WTEXT("utf8_detection"), nullptr, 0, kNone, kNone);
  }

  TranscodeContext context;
  context.sourceName = encoding;
  context.source = block.data();
  // UTF-32 takes four bytes per value; never hand over more values than the block holds.
  context.sourceLength =
      CodePageOfName(encoding.c_str()) == CodePageUtf32 ? unitCount / 4 : unitCount;
  int32_t count = Transcode(context, nullptr, WTEXT("UTF-16"));
  size_t units = static_cast<size_t>(count);
  WString converted(units + units / 100 + 1, WChar{});
  text.reserve(units + units / 100);
  context.resultLength = count;
  int32_t written = Transcode(context, converted.data(), nullptr);
  text.assign(converted.data(), static_cast<size_t>(written));
  AddResult(resultLog, WTEXT("converted_to"), WTEXT("UTF-16"), ResultEncoding | ResultLength,
            static_cast<uint32_t>(count), kNone);
  return true;
}

bool LoadTextFile(const WChar* path, WString& text, WString* log, uint32_t* flags) {
  TextFile file;
  file.flags = (flags != nullptr ? *flags : 0) | ReadMode;
  bool opened = file.Open(path);
  if (log != nullptr) *log = file.resultLog;
  text.clear();
  if (!opened) return false;

  file.blockBytes = file.fileSize - file.position;
  bool read = file.ReadText(text);
  if (std::fclose(file.stream.release()) != 0) file.ReportFileError();
  file.flags &= ~static_cast<uint32_t>(OpenModeFlags);
  if (log != nullptr) *log += file.resultLog;
  if (flags != nullptr) *flags = file.flags;
  return read;
}
