// Stored key forms, the "GENERAL" collation and the compact leaf layout of
// compound index pages, checked byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "tables/index/cdx/cdx_collation.h"
#include "tables/index/cdx/cdx_keys.h"
#include "tables/index/cdx/cdx_page.h"

namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int x : b) s.push_back(static_cast<char>(x));
  return s;
}

TEST(CdxKeyForm, NumbersMapToOrderPreservingBytes) {
  EXPECT_EQ(vx::CdxNumberKey(0.0), Bytes({0x80}));
  EXPECT_EQ(vx::CdxNumberKey(-0.0), Bytes({0x80}));
  EXPECT_EQ(vx::CdxNumberKey(1.0), Bytes({0xBF, 0xF0}));
  // Negative values keep all 8 bytes.
  EXPECT_EQ(vx::CdxNumberKey(-1.0), Bytes({0x40, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(vx::CdxNumberKey(2001.005).size(), 8u);
  EXPECT_EQ(vx::CdxDateKey(2451545), vx::CdxNumberKey(2451545.0));
}

TEST(CdxKeyForm, NumberKeysSortAndDecodeExactly) {
  std::mt19937 rng(7);
  std::vector<double> values = {0,
                                -0.5,
                                0.5,
                                -1,
                                1,
                                -1.00390625,
                                -42,
                                42,
                                1e300,
                                -1e300,
                                2001.005,
                                2001,
                                std::numeric_limits<double>::denorm_min(),
                                -std::numeric_limits<double>::denorm_min()};
  std::uniform_real_distribution<double> d(-1e6, 1e6);
  for (int i = 0; i < 2000; ++i) values.push_back(std::round(d(rng) * 1000) / 1000);
  for (double a : values) {
    EXPECT_EQ(vx::CdxNumberFromKey(vx::CdxNumberKey(a)), a);
    for (int j = 0; j < 3; ++j) {
      const double b = values[rng() % values.size()];
      const int c = CompareIndexKeys(vx::CdxNumberKey(a), vx::CdxNumberKey(b), XBKeyType::Number, false);
      EXPECT_EQ(c, a < b ? -1 : (a > b ? 1 : 0)) << a << " vs " << b;
    }
  }
}

TEST(CdxKeyForm, ShortNumberKeyIsNotAPrefixMatch) {
  // 2001 is stored as C0 9F 44, a byte prefix of 2001.005; whole keys differ.
  const std::string whole = vx::CdxNumberKey(2001);
  const std::string longer = vx::CdxNumberKey(2001.005);
  ASSERT_EQ(longer.compare(0, whole.size(), whole), 0);
  EXPECT_EQ(CompareIndexKeys(whole, longer, XBKeyType::Number, true), -1);
  EXPECT_EQ(CompareIndexKeys("AB", "ABC", XBKeyType::Character, true), 0);
  EXPECT_EQ(CompareIndexKeys("AB", "ABC", XBKeyType::Character, false), -1);
}

TEST(CdxCollation, GeneralKeys) {
  struct Case {
    std::string text;
    std::string key;
  } cases[] = {
      {"\xC6", Bytes({0x60, 0x66})},
      {"\xE6", Bytes({0x60, 0x66})},
      {"\xDF", Bytes({0x0C})},
      {"ab", Bytes({0x60, 0x61})},
      {"\xE0"
       "b",
       Bytes({0x60, 0x61, 0xF2})},
      {"\x9C", Bytes({0x72, 0x66})},
  };
  for (const auto& c : cases) EXPECT_EQ(vx::GeneralCollationKey(c.text), c.key);
  EXPECT_EQ(vx::GeneralCollationKey("Hello World"), vx::GeneralCollationKey("hello world"));
  EXPECT_LT(vx::GeneralCollationKey("ab"), vx::GeneralCollationKey("\xE0"
                                                                   "b"));
  EXPECT_LT(vx::GeneralCollationKey("\xE0"
                                    "b"),
            vx::GeneralCollationKey("ac"));
}

TEST(CdxLeafParams, WidthsFollowKeyLengthAndRecordCount) {
  struct Case {
    int keyLength;
    uint32_t highest;
    int n, r, b;
    uint32_t mask;
  } cases[] = {
      {8, 65535, 3, 16, 4, 0xFFFF}, {8, 65536, 4, 24, 4, 0xFFFFFF}, {10, 100, 3, 16, 4, 0xFFFF},
      {240, 100, 3, 8, 8, 0xFF},    {240, 256, 4, 16, 8, 0xFFFF},   {8, 16777216, 5, 31, 4, 0x7FFFFFFF},
  };
  for (const auto& c : cases) {
    const vx::CdxLeafParams p = vx::CdxChooseLeafParams(c.keyLength, c.highest);
    EXPECT_EQ(p.entryBytes, c.n) << c.keyLength << "/" << c.highest;
    EXPECT_EQ(p.recordBits, c.r);
    EXPECT_EQ(p.dupBits, c.b);
    EXPECT_EQ(p.trailBits, c.b);
    EXPECT_EQ(p.recordMask, c.mask);
  }
}

TEST(CdxLeafPage, PacksEntriesAndTextsByteForByte) {
  const vx::CdxKeyLayout layout{8, XBKeyType::Number, false};
  const vx::CdxLeafParams p = vx::CdxChooseLeafParams(8, 100);
  std::vector<XBobjIndexKeyData> keys = {
      {vx::CdxNumberKey(1.0), 1, 1}, {vx::CdxNumberKey(2.0), 2, 2}, {vx::CdxNumberKey(2.5), 3, 3}};
  uint8_t page[512];
  std::memset(page, 0xAA, sizeof page);
  ASSERT_TRUE(vx::CdxPackLeaf(page, keys, p, layout, false));
  EXPECT_EQ(page[2], 3);
  EXPECT_EQ(page[3], 0);
  const uint8_t head[] = {0xDB, 0x01, 0xFF, 0xFF, 0x00, 0x00, 0x0F, 0x0F, 16, 4, 4, 3};
  EXPECT_EQ(0, std::memcmp(page + 12, head, sizeof head));  // free 475, masks, widths, N
  // 1.0 = BF F0: no shared bytes, 6 trailing; 2.0 = C0: 7 trailing;
  // 2.5 = C0 04: shares 1 byte with C0, 6 trailing.
  const uint8_t entries[] = {0x01, 0x00, 0x60, 0x02, 0x00, 0x70, 0x03, 0x00, 0x61};
  EXPECT_EQ(0, std::memcmp(page + 24, entries, sizeof entries));
  EXPECT_EQ(page[511], 0xF0);
  EXPECT_EQ(page[510], 0xBF);
  EXPECT_EQ(page[509], 0xC0);
  EXPECT_EQ(page[508], 0x04);
  EXPECT_EQ(page[507], 0x00);
  std::vector<XBobjIndexKeyData> back;
  ASSERT_TRUE(vx::CdxUnpackLeaf(page, layout, back));
  ASSERT_EQ(back.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(back[i].value, keys[i].value);
    EXPECT_EQ(back[i].link, keys[i].link);
    EXPECT_EQ(back[i].record, keys[i].link);
  }
}

TEST(CdxLeafPage, RoundTripsCharacterAndGeneralKeys) {
  for (bool general : {false, true}) {
    const vx::CdxKeyLayout layout{20, XBKeyType::Character, general};
    const vx::CdxLeafParams p = vx::CdxChooseLeafParams(20, 70000);
    std::vector<XBobjIndexKeyData> keys;
    const char* texts[] = {"", "A", "AB", "ABC", "ABD", "B", "BBBBBBBBBBBBBBBBBBBB"};
    int rec = 1;
    for (const char* t : texts) {
      std::string k = general ? vx::GeneralCollationKey(t) : std::string(t);
      keys.emplace_back(k.substr(0, 20), rec, rec);
      rec += 20000;
    }
    uint8_t page[512];
    for (bool nibbles : {false, true}) {
      ASSERT_TRUE(vx::CdxPackLeaf(page, keys, p, layout, nibbles));
      std::vector<XBobjIndexKeyData> back;
      ASSERT_TRUE(vx::CdxUnpackLeaf(page, layout, back));
      ASSERT_EQ(back.size(), keys.size());
      for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(back[i].value, keys[i].value) << i << " general " << general << " nibbles " << nibbles;
        EXPECT_EQ(back[i].link, keys[i].link);
      }
    }
  }
}

TEST(CdxLeafPage, RefusesPagesThatContradictThemselves) {
  const vx::CdxKeyLayout layout{8, XBKeyType::Number, false};
  const vx::CdxLeafParams p = vx::CdxChooseLeafParams(8, 100);
  // A full page of equal keys: every entry after the first is all shared bytes.
  std::vector<XBobjIndexKeyData> keys;
  for (int i = 1; i <= 150; ++i) keys.emplace_back(vx::CdxNumberKey(7), i, i);
  uint8_t page[512];
  ASSERT_TRUE(vx::CdxPackLeaf(page, keys, p, layout, false));
  std::vector<XBobjIndexKeyData> back;
  ASSERT_TRUE(vx::CdxUnpackLeaf(page, layout, back));
  EXPECT_EQ(back.size(), 150u);

  uint8_t bad[512];
  struct Damage {
    int offset;
    uint8_t value;
  } damages[] = {{2, 0xFF}, {3, 0x7F}, {23, 0}, {23, 9}, {21, 30}, {24, 0xFF}, {26, 0xFF}};
  for (const auto& d : damages) {
    std::memcpy(bad, page, sizeof bad);
    bad[d.offset] = d.value;
    std::vector<XBobjIndexKeyData> out;
    (void)vx::CdxUnpackLeaf(bad, layout, out);  // may be refused, must not read past the page
  }
  std::memcpy(bad, page, sizeof bad);
  bad[2] = 200;  // 200 entries of 3 bytes exceed the key area
  EXPECT_FALSE(vx::CdxUnpackLeaf(bad, layout, back));
}

// Eight-byte entries without trailing-count bits used to shift a 64-bit
// entry by 64 (undefined behaviour) when unpacking.
TEST(CdxLeafPage, EightByteEntriesWithoutCountBitsUnpack) {
  const vx::CdxKeyLayout layout{8, XBKeyType::Character, false};
  uint8_t page[512] = {};
  page[2] = 1;                                       // one entry
  page[14] = page[15] = page[16] = page[17] = 0xFF;  // record mask
  page[23] = 8;                                      // N; no duplicate or trailing bits
  page[24] = 42;
  std::memcpy(page + 504, "ABCDEFGH", 8);
  std::vector<XBobjIndexKeyData> keys;
  ASSERT_TRUE(vx::CdxUnpackLeaf(page, layout, keys));
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].value, "ABCDEFGH");
  EXPECT_EQ(keys[0].record, 42);
}

TEST(CdxInteriorPage, RoundTripsWithBigEndianLinks) {
  const vx::CdxKeyLayout layout{8, XBKeyType::Number, false};
  std::vector<XBobjIndexKeyData> keys = {{vx::CdxNumberKey(5), 1024, 7}, {vx::CdxNumberKey(-3), 0x01020304, 9}};
  uint8_t page[512] = {};
  ASSERT_TRUE(vx::CdxPackInterior(page, keys, layout));
  EXPECT_EQ(page[12], 0xC0);
  EXPECT_EQ(page[13], 0x14);
  EXPECT_EQ(page[14], 0x00);
  const uint8_t recordThenChild[] = {0, 0, 0, 7, 0, 0, 4, 0};
  EXPECT_EQ(0, std::memcmp(page + 20, recordThenChild, 8));
  std::vector<XBobjIndexKeyData> back;
  ASSERT_TRUE(vx::CdxUnpackInterior(page, layout, back));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[1].value, keys[1].value);
  EXPECT_EQ(back[1].link, 0x01020304);
  EXPECT_EQ(back[1].record, 9);
  EXPECT_EQ(vx::CdxInteriorCapacity(8), 31);
  page[2] = 40;  // 40 entries of 16 bytes do not fit a page
  EXPECT_FALSE(vx::CdxUnpackInterior(page, layout, back));
}

}  // namespace
