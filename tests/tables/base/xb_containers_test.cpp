// TxbCollection, TxbHugeSet and the name and zero-terminated-text helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "tables/base/xb_collection.h"
#include "tables/base/xb_hugeset.h"
#include "tables/base/xb_tools.h"

namespace {

struct Counted {
  explicit Counted(int& alive) : alive_(alive) { ++alive_; }
  ~Counted() { --alive_; }
  int& alive_;
};

class Borrowing : public TxbCollection<Counted> {
 public:
  ~Borrowing() override { Clear(); }

 protected:
  void FreeItem(Counted*) override {}
};

TEST(Collection, OwnsAndFreesItsItems) {
  int alive = 0;
  {
    TxbCollection<Counted> list;
    auto* a = new Counted(alive);
    auto* b = new Counted(alive);
    list.Add(a);
    list.Add(b);
    list.Insert(0, new Counted(alive));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.IndexOf(a), 1);
    EXPECT_EQ(list.At(5), nullptr);
    list.IndexOfItem(a);  // removes and frees
    EXPECT_EQ(alive, 2);
    EXPECT_EQ(list.IndexOf(a), -1);
    Counted* taken = list.Extract(1);
    EXPECT_EQ(taken, b);
    delete taken;
    list.FreeAll();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(alive, 0);
    list.Add(new Counted(alive));
  }
  EXPECT_EQ(alive, 0);  // the destructor frees what is left

  Counted kept(alive);
  {
    Borrowing borrowed;
    borrowed.Add(&kept);
    borrowed.FreeAll();  // a borrowing list frees nothing
  }
  EXPECT_EQ(alive, 1);
}

TEST(HugeSet, SetsClearsTogglesAcrossPages) {
  TxbHugeSet set;
  const std::int64_t bits[] = {0, 7, 8, 131071, 131072, 1000000};
  for (std::int64_t n : bits) set.SetBit(n, TxbHugeSet::kSet);
  for (std::int64_t n : bits) EXPECT_TRUE(set.TestBit(n)) << n;
  EXPECT_FALSE(set.TestBit(1));
  EXPECT_FALSE(set.TestBit(999999));
  EXPECT_EQ(set.PageCount(), 1000000 / 131072 + 1);
  EXPECT_EQ(set.HighestBit(), 1000000);

  set.SetBit(7, TxbHugeSet::kToggle);
  set.SetBit(9, TxbHugeSet::kToggle);
  set.SetBit(131072, TxbHugeSet::kClear);
  EXPECT_FALSE(set.TestBit(7));
  EXPECT_TRUE(set.TestBit(9));
  EXPECT_FALSE(set.TestBit(131072));
  EXPECT_TRUE(set.TestBit(131071));

  set.Clear();
  EXPECT_EQ(set.PageCount(), 0);
  EXPECT_FALSE(set.TestBit(0));
}

TEST(HugeSet, ReadsBeyondTheHighestBitAndNegativeBitsAddNothing) {
  TxbHugeSet set;
  set.SetBit(5, TxbHugeSet::kSet);
  EXPECT_FALSE(set.TestBit(50000000));
  EXPECT_EQ(set.PageCount(), 1);
  set.SetBit(-1, TxbHugeSet::kSet);
  set.SetBit(-200000, TxbHugeSet::kToggle);
  EXPECT_FALSE(set.TestBit(-1));
  EXPECT_EQ(set.PageCount(), 1);
  EXPECT_EQ(set.HighestBit(), 5);
  set.SetBit(6, 7);  // unknown operation
  EXPECT_FALSE(set.TestBit(6));
}

TEST(Tools, FileNameHelpers) {
  EXPECT_EQ(xbDefaultExtension("DRAWS", ".DBF"), "DRAWS.DBF");
  EXPECT_EQ(xbDefaultExtension("draws", "cdx"), "draws.cdx");
  EXPECT_EQ(xbDefaultExtension("draws.tic", ".DBF"), "draws.tic");
  EXPECT_EQ(xbDefaultExtension("c:\\x.y\\draws", ".DBF"), "c:\\x.y\\draws.DBF");
  EXPECT_EQ(xbDefaultExtension("/a.b/draws", ".DBF"), "/a.b/draws.DBF");
  EXPECT_EQ(xbStripExtension("C:\\DATA\\T.DBF"), "T");
  EXPECT_EQ(xbStripExtension("/data/base.6x49.dbf"), "base.6x49");
  EXPECT_EQ(xbStripExtension("tickets\\t"), "t");
}

TEST(Tools, ZeroTerminatedTextHelpers) {
  char buf[16] = "ab";
  xbPadPChar(buf, '.', 5);
  EXPECT_STREQ(buf, "ab...");
  xbPadPChar(buf, '.', 3);
  EXPECT_STREQ(buf, "ab...");  // longer text stays
  std::strcpy(buf, "xy   ");
  xbTrimPChar(buf);
  EXPECT_STREQ(buf, "xy");
  std::strcpy(buf, "   ");
  xbTrimPChar(buf);
  EXPECT_STREQ(buf, "");

  EXPECT_EQ(xbCompareText("abc", "ABC"), 0);
  EXPECT_NE(xbCompareStr("abc", "ABC"), 0);
  EXPECT_LT(xbCompareText("abc", "abd"), 0);
  EXPECT_LT(xbCompareText(nullptr, "a"), 0);
  // Cyrillic collation: "е" (0xE5) before "ж" (0xE6) before "я" (0xFF).
  EXPECT_LT(xbCompareText("\xE5", "\xE6"), 0);
  EXPECT_LT(xbCompareText("\xE6", "\xFF"), 0);
}

}  // namespace
