// TxbVariant: storing, converting between types, text shaping, comparing.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/rtl/sysutils.h"
#include "tables/base/xb_dates.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xb_settings.h"
#include "tables/base/xb_variant.h"

namespace {

TxbVariant Text(const AnsiString& s) {
  TxbVariant v;
  v.PutString(s);
  return v;
}
TxbVariant Number(double d) {
  TxbVariant v;
  v.PutNumber(d);
  return v;
}
TxbVariant Date(std::int32_t day) {
  TxbVariant v;
  v.PutDate(day);
  return v;
}
TxbVariant Logical(bool b) {
  TxbVariant v;
  v.PutBoolean(b);
  return v;
}
TxbVariant Raw(const std::string& bytes) {
  TxbVariant v;
  v.PutRaw(bytes.data(), static_cast<int>(bytes.size()));
  return v;
}

TEST(VariantStore, PutsSetTypeAndLengthAndAssignCopies) {
  EXPECT_EQ(Text("abc").Type(), TxbVariant::xbvtText);
  EXPECT_EQ(Text("abc").Length(), 3);
  EXPECT_EQ(Number(1.5).Length(), 8);
  EXPECT_EQ(Date(5).Length(), 4);
  EXPECT_EQ(Logical(true).Length(), 1);
  EXPECT_EQ(Raw(std::string("\0\1", 2)).Type(), TxbVariant::xbvtRaw);

  TxbVariant v(100);
  EXPECT_GE(v.Capacity(), 100);
  v.PutPChar("xy");
  v.AppendRaw("z", 1);
  EXPECT_EQ(v.Type(), TxbVariant::xbvtRaw);
  EXPECT_EQ(std::string(v.GetPChar()), "xyz");

  TxbVariant copy;
  copy.Assign(Number(2.25));
  EXPECT_EQ(copy.Type(), TxbVariant::xbvtNumber);
  EXPECT_EQ(copy.GetNumber(), 2.25);
  copy.Clear();
  EXPECT_EQ(copy.Length(), 0);
  EXPECT_EQ(copy.GetNumber(), 0);
  EXPECT_EQ(copy.GetString(), "");
  EXPECT_FALSE(copy.GetBoolean());
}

TEST(VariantGet, ConvertsFromEveryStoredType) {
  const std::int32_t day = xbDBFDate.CTOD("20010309");
  // text
  EXPECT_EQ(Text("12.5").GetNumber(), 12.5);
  EXPECT_EQ(Text("20010309").GetDate(), day);
  EXPECT_TRUE(Text("yes").GetBoolean());
  EXPECT_TRUE(Text("J").GetBoolean());
  EXPECT_FALSE(Text("no").GetBoolean());
  EXPECT_FALSE(Text("x").GetBoolean());
  EXPECT_THROW(Text("twelve").GetNumber(), EConvertError);
  // number
  EXPECT_EQ(Number(0.1 + 0.2).GetString(), "0.3");
  EXPECT_EQ(Number(-7).GetString(), "-7");
  EXPECT_EQ(Number(day + 0.75).GetDate(), day);
  EXPECT_EQ(Number(0).GetDate(), 0);
  EXPECT_EQ(Number(-3).GetDate(), 0);
  EXPECT_EQ(Number(1e300).GetDate(), 0);
  EXPECT_TRUE(Number(1.9).GetBoolean());
  EXPECT_TRUE(Number(-1).GetBoolean());
  EXPECT_FALSE(Number(0.9).GetBoolean());  // truncates to 0
  // date
  EXPECT_EQ(Date(day).GetNumber(), day);
  EXPECT_EQ(Date(day).GetDate(), day);
  EXPECT_FALSE(Date(day).GetBoolean());
  EXPECT_EQ(Date(day).GetString(), xbDBFDate.DTOC(day));
  // logical: the first true or false letter
  EXPECT_EQ(Logical(true).GetString(), "T");
  EXPECT_EQ(Logical(false).GetString(), "F");
  EXPECT_EQ(Logical(true).GetNumber(), 1);
  EXPECT_EQ(Logical(true).GetDate(), 0);
  const AnsiString saved = xbTrueLetters;
  xbTrueLetters = "JjTtYy";
  EXPECT_EQ(Logical(true).GetString(), "J");
  xbTrueLetters = saved;
}

TEST(VariantGet, RawReadsPadShortBuffersWithZeros) {
  double d = 3.5;
  std::string eight(reinterpret_cast<const char*>(&d), 8);
  EXPECT_EQ(Raw(eight).GetNumber(), 3.5);
  EXPECT_EQ(Raw(std::string("\x10\x01", 2)).GetDate(), 0x0110);
  EXPECT_EQ(Raw(std::string("\x01", 1)).GetNumber(), std::bit_cast<double>(std::uint64_t{1}));
  EXPECT_TRUE(Raw("\x01").GetBoolean());
  EXPECT_FALSE(Raw(std::string("\0", 1)).GetBoolean());
  EXPECT_EQ(Raw("ab").GetString(), "ab");
  EXPECT_EQ(Raw("").GetDate(), 0);
}

TEST(VariantText, TranslateLengthAndTrimTouchTextOnly) {
  TxbVariant t = Text("abc\xE0\xFF");  // "abcая" in code page 1251
  t.Translate(nullptr);
  EXPECT_EQ(t.GetString(), "ABC\xC0\xDF");
  std::uint8_t table[256];
  for (int i = 0; i < 256; ++i) table[i] = static_cast<std::uint8_t>(i == 'A' ? 'z' : i);
  t.Translate(table);
  EXPECT_EQ(t.GetString(), "zBC\xC0\xDF");

  t.SetTextLength(7);
  EXPECT_EQ(t.GetString(), "zBC\xC0\xDF  ");
  t.TrimRight();
  EXPECT_EQ(t.GetString(), "zBC\xC0\xDF");
  t.SetTextLength(2);
  EXPECT_EQ(t.GetString(), "zB");
  t.SetTextLength(-4);
  EXPECT_EQ(t.Length(), 0);

  TxbVariant n = Number(1);
  n.SetTextLength(20);
  n.TrimRight();
  n.Translate(nullptr);
  EXPECT_EQ(n.Length(), 8);
  EXPECT_EQ(n.GetNumber(), 1);
}

TEST(VariantCompare, OrdersEachTypeAndEmptySides) {
  struct Case {
    TxbVariant a, b;
    int expected;
  };
  const Case cases[] = {
      {Number(-2), Number(1), -1},
      {Number(3), Number(3), 0},
      {Date(10), Date(9), 1},
      {Logical(true), Logical(false), 1},
      {Logical(false), Logical(true), -1},
      {Logical(true), Logical(true), 0},
      {Text("abc"), Text("abd"), -1},
      {Text("\xE0"), Text("b"), 1},  // unsigned bytes
      {Text("abcd"), Text("abc"), 1},
      {Text(""), Text("a"), -1},
      {Text(""), Text(""), 0},
      {Number(5), TxbVariant(), 1},  // a side without data is smaller
      {Raw("ab"), Text("ab"), 0},    // raw takes the other side's type
      {Raw(std::string(reinterpret_cast<const char*>(&"\0\0\0\0\0\0\x10\x40"[0]), 8)), Number(4), 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.a.Compare(c.b), c.expected) << c.a.GetString() << " vs " << c.b.GetString();
    EXPECT_EQ(c.b.Compare(c.a), -c.expected) << c.b.GetString() << " vs " << c.a.GetString();
  }
}

TEST(VariantCompare, PartialResultLengthAndPosition) {
  int position = -1;
  // A shorter text on the left that matches gives the partial result.
  EXPECT_EQ(Text("ab").Compare(Text("abc"), 0, position, 0), 0);
  EXPECT_EQ(position, 2);
  EXPECT_EQ(Text("ab").Compare(Text("abc"), 0, position, -1), -1);
  EXPECT_EQ(Text("abx").Compare(Text("abc"), 0, position, 0), 1);
  EXPECT_EQ(position, 3);
  // Raw left sides are not partial keys.
  TxbVariant raw = Raw("ab");
  TxbVariant rawLong = Raw("abc");
  EXPECT_EQ(raw.Compare(rawLong, 0, position, 0), -1);
  // A length cuts both sides.
  EXPECT_EQ(Text("abcz").Compare(Text("abcd"), 3, position, -1), 0);
  EXPECT_EQ(position, 3);
}

TEST(VariantCompare, MismatchedTypesRaise) {
  try {
    Text("1").Compare(Number(1));
    FAIL() << "no exception";
  } catch (const EXBaseError& e) { EXPECT_EQ(e.Message(), "Variant types mismatch for compare"); }
  EXPECT_THROW(Date(1).Compare(Logical(true)), EXBaseError);
}

TEST(VariantCompare, RawVariantComparesNumbersAsBytes) {
  int position = 0;
  // 2.0 and 0.5 as little-endian doubles: byte 6 (0x00 vs 0xE0) decides,
  // against their values.
  EXPECT_EQ(Number(2.0).CompareRaw(Number(0.5), 0, position, -1), -1);
  EXPECT_EQ(position, 7);
  EXPECT_EQ(Number(2.0).Compare(Number(0.5)), 1);
  EXPECT_EQ(Number(-1.0).CompareRaw(Number(1.0), 0, position, -1), 1);  // sign byte
  EXPECT_EQ(Number(-1.0).Compare(Number(1.0)), -1);
}

}  // namespace
