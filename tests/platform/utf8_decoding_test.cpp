// Our UTF-8 decoding stands in for iconv's, so iconv is the reference here: whatever our code
// accepts must come out exactly as iconv (and the replacement rules around it) gives it.
#include "platform/utf8_decoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace platform {
namespace {

// All of `in` converted by iconv from `from` to `to` into `out`; 0 or iconv's errno.
int Iconv(const char* to, const char* from, const std::string& in, std::string& out) {
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return errno;
  out.assign(in.size() * 2 + 8, '\0');
  char* inPointer = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* outPointer = out.data();
  size_t outLeft = out.size();
  const bool failed = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) == size_t(-1);
  const int error = failed ? errno : 0;
  iconv_close(converter);
  out.resize(out.size() - outLeft);
  return error;
}

// iconv's UTF-8 to UTF-16 for input that is well-formed up to a cut-short end, which becomes
// one U+FFFD as the conversion layer makes it; false for anything else.
bool IconvDecode(const std::string& bytes, WString& units) {
  std::string out;
  const int error = Iconv("UTF-16LE", "UTF-8", bytes, out);
  units.clear();
  for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
    units.push_back(static_cast<WChar>(static_cast<unsigned char>(out[i]) |
                                       static_cast<unsigned char>(out[i + 1]) << 8));
  }
  if (error == EINVAL) units.push_back(0xFFFD);
  return error == 0 || error == EINVAL;
}

// Checks one input: when our decoding accepts it, iconv must accept it with the same units.
// Returns whether ours accepted.
bool AgreesWithIconv(const std::string& bytes) {
  WString ours;
  if (!DecodeWellFormedUtf8(bytes.data(), bytes.size(), ours)) return false;
  WString reference;
  EXPECT_TRUE(IconvDecode(bytes, reference));
  EXPECT_EQ(ours, reference);
  return true;
}

TEST(Utf8DecodingTest, EveryScalarValueDecodesAsIconvDecodesIt) {
  std::string scalars;  // UTF-32LE
  for (std::uint32_t value = 0; value <= 0x10FFFF; ++value) {
    if (value >= 0xD800 && value <= 0xDFFF) continue;
    for (int shift = 0; shift < 32; shift += 8) scalars += static_cast<char>(value >> shift);
  }
  std::string all;
  ASSERT_EQ(Iconv("UTF-8", "UTF-32LE", scalars, all), 0);
  EXPECT_TRUE(AgreesWithIconv(all));
  // Each cut of the last character (U+10FFFF) leaves a well-formed start: one replacement.
  for (size_t cut = 1; cut <= 3; ++cut) {
    SCOPED_TRACE(testing::Message() << "cut " << cut);
    EXPECT_TRUE(AgreesWithIconv(all.substr(0, all.size() - cut)));
  }
}

TEST(Utf8DecodingTest, ShortSequencesAgreeWithIconv) {
  // Every one- and two-byte input, and three- and four-byte inputs around each boundary of
  // the well-formed ranges: whatever ours accepts, iconv gives the same.
  int accepted = 0;
  for (int a = 0; a < 256; ++a) {
    accepted += AgreesWithIconv(std::string(1, static_cast<char>(a)));
    for (int b = 0; b < 256; ++b) {
      accepted += AgreesWithIconv({static_cast<char>(a), static_cast<char>(b)});
    }
  }
  const unsigned char edges[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF};
  for (int a = 0xC0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      for (unsigned char c : edges) {
        const char three[] = {static_cast<char>(a), static_cast<char>(b), static_cast<char>(c)};
        accepted += AgreesWithIconv(std::string(three, 3));
        for (unsigned char d : edges) {
          const char four[] = {three[0], three[1], three[2], static_cast<char>(d)};
          accepted += AgreesWithIconv(std::string(four, 4));
        }
      }
    }
  }
  // Not a test that passes by rejecting everything.
  EXPECT_GT(accepted, 40000);
}

}  // namespace
}  // namespace platform
