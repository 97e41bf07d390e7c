#include "platform/zlib_stream.h"

#include <string>

#include <gtest/gtest.h>
#include <zlib.h>

namespace platform {
namespace {

// `bytes` deflated with the wrapping zlib's window bits select (15 zlib, 31 gzip, -15 raw).
std::string Deflated(const std::string& bytes, int windowBits) {
  z_stream stream{};
  deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

TEST(ZlibStreamTest, InflatesEachWrappingUpToTheLimit) {
  constexpr std::size_t kLimit = 1024 * 1024;
  const std::string json = R"({"status": "ok", "expiration": 24})";
  const std::string atLimit(kLimit, 'x');
  const std::string pastLimit(kLimit + 1, 'x');
  const std::string bomb(4 * kLimit, '\0');  // 4 MB of zeros deflate to about 4 KB
  struct Case {
    const char* name;
    Compression compression;
    int windowBits;
  };
  const Case cases[] = {{"zlib", Compression::CompressionZlib, 15},
                        {"gzip", Compression::CompressionGzip, 31},
                        {"deflate", Compression::CompressionDeflate, -15}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Inflated small = Inflate(Deflated(json, c.windowBits), c.compression, kLimit);
    EXPECT_EQ(small.status, InflateStatus::InflateOk);
    EXPECT_EQ(small.bytes, json);
    const Inflated full = Inflate(Deflated(atLimit, c.windowBits), c.compression, kLimit);
    EXPECT_EQ(full.status, InflateStatus::InflateOk);
    EXPECT_EQ(full.bytes.size(), kLimit);
    const Inflated over = Inflate(Deflated(pastLimit, c.windowBits), c.compression, kLimit);
    EXPECT_EQ(over.status, InflateStatus::InflateTooLarge);
    EXPECT_TRUE(over.bytes.empty());
    const std::string compressedBomb = Deflated(bomb, c.windowBits);
    EXPECT_LT(compressedBomb.size(), kLimit / 4);
    EXPECT_EQ(Inflate(compressedBomb, c.compression, kLimit).status,
              InflateStatus::InflateTooLarge);
    // Cut short, or another wrapping: corrupt, whatever came out before.
    const std::string whole = Deflated(json, c.windowBits);
    EXPECT_EQ(Inflate(whole.substr(0, whole.size() - 3), c.compression, kLimit).status,
              InflateStatus::InflateCorrupt);
    EXPECT_EQ(Inflate(json, c.compression, kLimit).status, InflateStatus::InflateCorrupt);
    EXPECT_EQ(Inflate("", c.compression, kLimit).status, InflateStatus::InflateCorrupt);
  }
  EXPECT_EQ(Inflate(Deflated(json, 31), Compression::CompressionZlib, kLimit).status,
            InflateStatus::InflateCorrupt);
  EXPECT_EQ(Inflate(Deflated(json, 15), Compression::CompressionGzip, kLimit).status,
            InflateStatus::InflateCorrupt);
}

TEST(ZlibStreamTest, PlainBytesPassAsTheyAreUpToTheLimit) {
  EXPECT_EQ(Inflate("<html>", Compression::CompressionNone, 6).bytes, "<html>");
  EXPECT_EQ(Inflate("<html>", Compression::CompressionNone, 5).status,
            InflateStatus::InflateTooLarge);
  EXPECT_EQ(Inflate(ZlibCompress("document"), Compression::CompressionZlib, 100).bytes, "document");
}

}  // namespace
}  // namespace platform
