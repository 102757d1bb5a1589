// The keyed byte transform of enciphered tables.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tables/base/xb_cipher.h"

namespace {

std::vector<std::uint8_t> Bytes(int n) {
  std::vector<std::uint8_t> v(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 37 + 11);
  return v;
}

TEST(RecordCipher, MasksEachByteWithPositionOrKey) {
  // Worked by hand: key "AB" (0x41 0x42).
  const std::uint8_t src[4] = {0x00, 0xFF, 0x10, 0x41};
  std::uint8_t dst[4] = {};
  EXPECT_EQ(xbEncryptBuffer("AB", src, dst, 4, 1), 1);
  EXPECT_EQ(dst[0], (0 | 0x41) ^ 0x00);
  EXPECT_EQ(dst[1], (1 | 0x42) ^ 0xFF);
  EXPECT_EQ(dst[2], (2 | 0x41) ^ 0x10);
  EXPECT_EQ(dst[3], (3 | 0x42) ^ 0x41);
}

TEST(RecordCipher, TwiceGivesBackTheDataInPlaceOrCopied) {
  for (const AnsiString& key : {AnsiString("k"), AnsiString("secret key"), AnsiString("\xC0\xDF\xFF")}) {
    const auto plain = Bytes(1000);
    auto work = plain;
    EXPECT_EQ(xbEncryptBuffer(key, work.data(), work.data(), 1000, 1), 1);
    EXPECT_NE(work, plain);
    std::vector<std::uint8_t> back(1000);
    EXPECT_EQ(xbEncryptBuffer(key, work.data(), back.data(), 1000, 0), -1);
    EXPECT_EQ(back, plain);
  }
}

TEST(RecordCipher, OneCharacterKeyRepeatsEvery256Bytes) {
  std::vector<std::uint8_t> zeros(600, 0), out(600);
  xbEncryptBuffer("\x10", zeros.data(), out.data(), 600, 1);
  for (int i = 0; i + 256 < 600; ++i)
    EXPECT_EQ(out[static_cast<std::size_t>(i)], out[static_cast<std::size_t>(i + 256)]);
  EXPECT_EQ(out[0], 0x10);
  EXPECT_EQ(out[0x21], 0x31);
}

TEST(RecordCipher, EmptyKeyCopiesAndReportsZero) {
  const auto plain = Bytes(50);
  std::vector<std::uint8_t> out(50, 0xAA);
  EXPECT_EQ(xbEncryptBuffer("", plain.data(), out.data(), 50, 1), 0);
  EXPECT_EQ(out, plain);
  auto same = plain;
  EXPECT_EQ(xbEncryptBuffer("", same.data(), same.data(), 50, 0), 0);
  EXPECT_EQ(same, plain);
  // A negative length moves nothing.
  std::vector<std::uint8_t> untouched(4, 0x55);
  EXPECT_EQ(xbEncryptBuffer("k", plain.data(), untouched.data(), -3, 1), 1);
  EXPECT_EQ(untouched, std::vector<std::uint8_t>(4, 0x55));
}

}  // namespace
