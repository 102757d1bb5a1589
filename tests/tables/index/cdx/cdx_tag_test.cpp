// Seeking, stepping, scopes, FOR updates, descending tags, refused
// definitions, damaged headers, enciphered pages and reindex of compound
// index tags.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "tables/index/cdx/cdx_collation.h"
#include "tables/index/cdx/cdx_index.h"
#include "tables/index/cdx/cdx_keys.h"
#include "tests/support/scratch_folder.h"
#include "tests/tables/index/index_page_check.h"
#include "tests/tables/index/index_test_table.h"

namespace {

using vx::test::IndexTestTable;

std::string TestDir(const std::string& sub) { return vx::test::NamedTestFolder("cdx_tag", sub); }

IndexTestTable::Record Draw(double year, double draw) {
  return {{"YEAR", IndexTestTable::Num(year)}, {"DRAW", IndexTestTable::Num(draw)}};
}
IndexTestTable::Record Name(const std::string& s, bool keep = true) {
  std::string v = s;
  v.resize(20, ' ');
  return {{"NAME", IndexTestTable::Text(v)}, {"KEEP", IndexTestTable::Bool(keep)}};
}

std::vector<int32_t> Records(XBobjIndexTag& tag, bool backwards = false) {
  std::vector<int32_t> out;
  for (const auto& e : vx::test::WalkIndexTag(tag, backwards)) out.push_back(e.second);
  return out;
}

XBobjIndexKeyData NumKey(XBobjIndexTag& tag, double v) { return tag.MakeKey(IndexTestTable::Num(v)); }

TEST(CdxTag, DrawTagHasNumericKeysOfLengthEightAndThreeByteEntries) {
  IndexTestTable table;
  table.folder = TestDir("draw");
  for (int d = 1; d <= 300; ++d) table.Append(Draw(2000 + d / 100, d % 100 + 1));
  XBobjCDXFile file(&table);
  ASSERT_TRUE(file.Create("DRAWS", true, true, false, true));
  XBobjIndexTag* tag = file.TagAdd({"INDEX", "YEAR+(0.001*DRAW)", "", true, true});
  EXPECT_EQ(tag->KeyType(), XBKeyType::Number);
  EXPECT_EQ(tag->KeyLength(), 8);
  EXPECT_TRUE(table.structuralMarked == false);  // the file is not named like the table
  uint8_t page[512];
  XBobjIndexKey root;
  tag->LoadNode(tag->HeaderRoot(), root);
  ASSERT_TRUE(file.PageRead(root.leaf ? root.page : root.keys[0].link, page, 512));
  EXPECT_EQ(page[23], 3);  // N
  EXPECT_EQ(page[20], 16);
  // Status reports: start of reading, one per record, end, start of writing.
  ASSERT_GE(table.statusLog.size(), 303u);
  EXPECT_EQ(table.statusLog.front(), (std::array<int, 3>{-1, 1, 300}));
  EXPECT_EQ(table.statusLog[300], (std::array<int, 3>{1, 300, 0}));
  EXPECT_EQ(table.statusLog[301], (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(table.statusLog[302], (std::array<int, 3>{-1, 2, 300}));
  EXPECT_EQ(table.statusLog.back(), (std::array<int, 3>{0, 0, 0}));
}

// An entry's number key against a value tells what a key built from the
// value and compared would: trailing zero bytes present or dropped, -0.0
// stored as such, keys one bit away, longer than a number's and empty.
TEST(CdxTag, AValueGivesAKeyExactlyWhenItsBuiltKeyIsThatKey) {
  IndexTestTable table;
  table.folder = TestDir("gives");
  for (int d = 1; d <= 20; ++d) table.Append(Draw(2000, d));
  XBobjCDXFile file(&table);
  ASSERT_TRUE(file.Create("GIVES", true, true, false, true));
  XBobjIndexTag* tag = file.TagAdd({"INDEX", "YEAR+(0.001*DRAW)", "", true, true});
  const double values[] = {0, -0.0, 1, -1, 2000.001, -2000.001, 1e300, -5e-324, 0.5, 2451545};
  std::vector<std::string> keys = {"", std::string(9, '\x80'), std::string("\x7F\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8)};
  for (const double v : values) {
    const std::string key = vx::CdxNumberKey(v);
    keys.push_back(key);
    keys.push_back(key + std::string(8 - key.size(), '\0'));
    keys.push_back(key + '\0' + std::string(1, '\x01'));
    for (size_t i = 0; i < key.size(); ++i) {
      std::string changed = key;
      changed[i] = char(changed[i] ^ 1);
      keys.push_back(changed);
    }
  }
  std::vector<vx::IndexValue> given;
  for (const double v : values) given.push_back(IndexTestTable::Num(v));
  for (const int32_t day : {0, 1, -1, 2451545}) given.push_back(IndexTestTable::Day(day));
  int equal = 0;
  for (const vx::IndexValue& value : given) {
    for (const std::string& key : keys) {
      const bool gives = tag->XBobjIndexTag::ValueGivesKey(value, key);
      ASSERT_EQ(tag->ValueGivesKey(value, key), gives) << value.number << " " << value.day;
      equal += gives;
    }
  }
  EXPECT_GT(equal, int(given.size()));  // built keys with their zero bytes and without
}

TEST(CdxTag, SeeksCompareWholeNumbersButPrefixesOfTexts) {
  IndexTestTable table;
  table.folder = TestDir("seek");
  table.Append(Draw(2001, 5));  // 2001.005
  table.Append(Draw(2002, 0));  // 2002
  XBobjCDXFile file(&table);
  ASSERT_TRUE(file.Create("SEEK", true, true, false, true));
  XBobjIndexTag* num = file.TagAdd({"N", "YEAR+(0.001*DRAW)", "", false, true});
  EXPECT_EQ(num->KeyFind(NumKey(*num, 2001)), 0);  // not 2001.005
  EXPECT_EQ(num->CurrentKey().record, 1);          // soft position on the next key
  EXPECT_FALSE(num->AtEOF());
  EXPECT_EQ(num->KeyFind(NumKey(*num, 2001.005)), 1);
  EXPECT_EQ(num->KeyFind(NumKey(*num, 2002)), 2);
  EXPECT_EQ(num->KeyFind(NumKey(*num, 2003)), 0);
  EXPECT_TRUE(num->AtEOF());

  IndexTestTable texts;
  texts.folder = table.folder;
  texts.Append(Name("SMITHSON"));
  texts.Append(Name("SMITH"));
  texts.Append(Name("JONES"));
  XBobjCDXFile tfile(&texts);
  ASSERT_TRUE(tfile.Create("TEXT", true, true, false, true));
  XBobjIndexTag* txt = tfile.TagAdd({"NAME", "NAME", "", false, true});
  EXPECT_EQ(txt->KeyLength(), 20);
  EXPECT_EQ(txt->KeyFind(txt->MakeKey(IndexTestTable::Text("SMI"))), 2);
  EXPECT_EQ(txt->KeyFind(txt->MakeKey(IndexTestTable::Text("SMITHS"))), 1);
  texts.exact = true;
  EXPECT_EQ(txt->KeyFind(txt->MakeKey(IndexTestTable::Text("SMI"))), 0);
  EXPECT_EQ(txt->KeyFind(txt->MakeKey(IndexTestTable::Text("SMITH   "))), 2);
}

TEST(CdxTag, StepsOntoBothEndsOfOneKeyAndOfEqualKeys) {
  IndexTestTable table;
  table.folder = TestDir("ends");
  table.Append(Draw(7, 0));
  XBobjCDXFile file(&table);
  ASSERT_TRUE(file.Create("ENDS", true, true, false, true));
  XBobjIndexTag* tag = file.TagAdd({"T", "YEAR+(0.001*DRAW)", "", false, true});
  EXPECT_EQ(tag->KeyRead(-3), 1);
  EXPECT_FALSE(tag->AtBOF());
  EXPECT_FALSE(tag->AtEOF());
  EXPECT_EQ(tag->KeyRead(-1), 0);
  EXPECT_TRUE(tag->AtEOF());
  EXPECT_EQ(tag->KeyRead(-2), 1);
  EXPECT_EQ(tag->KeyRead(-2), 0);
  EXPECT_TRUE(tag->AtBOF());
  EXPECT_EQ(tag->KeyRead(-4), 1);
  EXPECT_FALSE(tag->AtEOF());
  EXPECT_EQ(tag->KeyRead(-5), 1);

  for (int i = 0; i < 600; ++i) {
    const int32_t rec = table.Append(Draw(8, 0));
    ASSERT_TRUE(tag->KeyUpdate(rec, true));
  }
  EXPECT_EQ(tag->KeyRead(-4), 601);  // the last of the equal keys
  EXPECT_EQ(tag->KeyRead(-2), 600);
  EXPECT_EQ(tag->KeyRead(-3), 1);
  EXPECT_EQ(tag->KeyRead(-1), 2);

  XBobjCDXFile emptyFile(&table);
  ASSERT_TRUE(emptyFile.Create("EMPTY", true, true, false, true));
  XBobjIndexTag* none = emptyFile.TagAdd({"T", "YEAR+(0.001*DRAW)", "YEAR>100", false, true});
  EXPECT_EQ(none->KeyRead(-3), 0);
  EXPECT_TRUE(none->AtBOF() && none->AtEOF());
  EXPECT_EQ(none->KeyRead(-4), 0);
  EXPECT_TRUE(none->AtBOF() && none->AtEOF());
}

TEST(CdxTag, DescendingTagReadsFallingBothWaysWhileStoredRising) {
  IndexTestTable table;
  table.folder = TestDir("desc");
  const double years[] = {2003, 2001, 2004, 2002};
  for (double y : years) table.Append(Draw(y, 0));
  XBobjCDXFile file(&table);
  ASSERT_TRUE(file.Create("DESC", true, true, false, true));
  XBobjIndexTag* tag = file.TagAdd({"T", "YEAR+(0.001*DRAW)", "", false, false});
  EXPECT_EQ(Records(*tag), (std::vector<int32_t>{3, 1, 4, 2}));
  EXPECT_EQ(Records(*tag, true), (std::vector<int32_t>{2, 4, 1, 3}));
  const vx::test::IndexCheckResult res = vx::test::CheckIndexTag(*tag);
  ASSERT_EQ(res.entries.size(), 4u);
  EXPECT_EQ(res.entries.front().second, 2);  // stored rising
  EXPECT_EQ(tag->KeyRead(-3), 3);
  EXPECT_EQ(tag->KeyRead(-2), 0);
  EXPECT_TRUE(tag->AtBOF());
}

TEST(CdxTag, ScopesLimitWalksAndSameBoundsChangeNothing) {
  IndexTestTable table;
  table.folder = TestDir("scope");
  for (const char* s : {"ANT", "BEE", "BEETLE", "CAT", "COW", "DOG"}) table.Append(Name(s));
  XBobjCDXFile file(&table);
  ASSERT_TRUE(file.Create("SCOPE", true, true, false, true));
  XBobjIndexTag* tag = file.TagAdd({"T", "NAME", "", false, true});
  const XBobjIndexKeyData lo = tag->MakeKey(IndexTestTable::Text("B"));
  const XBobjIndexKeyData hi = tag->MakeKey(IndexTestTable::Text("C"));
  EXPECT_TRUE(tag->SetScope(&lo, &hi, true, false, false));
  EXPECT_EQ(Records(*tag), (std::vector<int32_t>{2, 3, 4, 5}));
  EXPECT_EQ(Records(*tag, true), (std::vector<int32_t>{5, 4, 3, 2}));
  tag->KeyRead(-3);
  tag->KeyRead(-1);
  EXPECT_FALSE(tag->SetScope(&lo, &hi, true, false, false));
  EXPECT_EQ(tag->CurrentKey().record, 3);  // did not move
  EXPECT_EQ(tag->KeyFind(tag->MakeKey(IndexTestTable::Text("DOG"))), 0);
  EXPECT_TRUE(tag->SetScope(nullptr, nullptr, false, false, false));
  EXPECT_FALSE(tag->HasScope());
  EXPECT_EQ(tag->KeyFind(tag->MakeKey(IndexTestTable::Text("DOG"))), 6);
}

TEST(CdxTag, ForExpressionDecidesWhichRecordsHaveEntries) {
  IndexTestTable table;
  table.folder = TestDir("for");
  table.Append(Name("ONE", true));
  table.Append(Name("TWO", false));
  XBobjCDXFile file(&table);
  ASSERT_TRUE(file.Create("FOR", true, true, false, true));
  XBobjIndexTag* tag = file.TagAdd({"T", "NAME", "KEEP", false, true});
  EXPECT_EQ(Records(*tag), (std::vector<int32_t>{1}));
  table.Go(2);
  table.records[1] = Name("TWO", true);
  ASSERT_TRUE(tag->KeyUpdate(2, false));
  EXPECT_EQ(Records(*tag), (std::vector<int32_t>{1, 2}));
  table.Go(1);
  table.records[0] = Name("ONE", false);
  ASSERT_TRUE(tag->KeyUpdate(1, false));
  EXPECT_EQ(Records(*tag), (std::vector<int32_t>{2}));
  // An unchanged record leaves the tag alone.
  table.Go(2);
  table.modified = false;
  ASSERT_TRUE(tag->KeyUpdate(2, false));
  EXPECT_EQ(Records(*tag), (std::vector<int32_t>{2}));
}

TEST(CdxTag, RefusesBadDefinitionsWithClearErrors) {
  IndexTestTable table;
  table.folder = TestDir("refuse");
  table.Append(Name("X"));
  XBobjCDXFile file(&table);
  ASSERT_TRUE(file.Create("REFUSE", true, true, false, true));
  EXPECT_THROW(file.TagAdd({"ELEVENCHARS", "NAME", "", false, true}), EXBaseError);
  EXPECT_THROW(file.TagAdd({"", "NAME", "", false, true}), EXBaseError);
  table.records[0]["LONG"] = IndexTestTable::Text(std::string(241, 'x'));
  table.records[0]["NONE"] = IndexTestTable::Text("");
  EXPECT_THROW(file.TagAdd({"LONG", "LONG", "", false, true}), EXBaseError);
  EXPECT_THROW(file.TagAdd({"NONE", "NONE", "", false, true}), EXBaseError);
  EXPECT_EQ(file.TagCount(), 0);
  // A refused replacement leaves the tag of that name in place.
  file.TagAdd({"KEEP", "NAME", "", false, true});
  EXPECT_THROW(file.TagAdd({"KEEP", "LONG", "", false, true}), EXBaseError);
  ASSERT_NE(file.TagByName("KEEP"), nullptr);
  EXPECT_EQ(file.TagByName("KEEP")->KeyExpr(), "NAME");
  // A key longer than the key length is cut to it.
  table.records[0]["V"] = IndexTestTable::Text("abc");
  XBobjIndexTag* tag = file.TagAdd({"TENCHARSOK", "V", "", false, true});
  ASSERT_EQ(file.TagCount(), 2);
  EXPECT_EQ(tag->KeyLength(), 3);
  table.records[0]["V"] = IndexTestTable::Text("abcdef");
  table.Go(1);
  table.oldImage["V"] = IndexTestTable::Text("abc");
  ASSERT_TRUE(tag->KeyUpdate(1, false));
  EXPECT_EQ(vx::test::WalkIndexTag(*tag).at(0).first, "abc");
}

TEST(CdxTag, DamagedHeadersAndPagesAreRefused) {
  IndexTestTable table;
  table.folder = TestDir("damaged");
  for (int i = 1; i <= 2000; ++i) table.Append(Draw(i, 0));
  const std::string path = table.folder + "/BAD.CDX";
  int64_t tagHeader;
  {
    XBobjCDXFile file(&table);
    ASSERT_TRUE(file.Create("BAD", true, true, false, true));
    tagHeader = file.TagAdd({"T", "YEAR+(0.001*DRAW)", "", false, true})->HeaderPos();
  }
  const std::string good = [&] {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  auto withBytes = [&](size_t at, const std::vector<uint8_t>& bytes) {
    std::string s = good;
    for (uint8_t b : bytes) s[at++] = static_cast<char>(b);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << s;
  };
  // Root not a multiple of 512, root beyond the end, key length above 240.
  const std::vector<std::pair<size_t, std::vector<uint8_t>>> damages = {
      {0, {0x01}}, {0, {0x00, 0x00, 0x00, 0x10}}, {12, {0xF1, 0x00}}};
  for (const auto& damage : damages) {
    withBytes(static_cast<size_t>(tagHeader) + damage.first, damage.second);
    XBobjCDXFile file(&table);
    ASSERT_TRUE(file.Create("BAD", false, false, false, false));
    EXPECT_FALSE(file.Usable());
    EXPECT_EQ(file.TagCount(), 0);
  }
  // A page with an impossible key count raises on the walk.
  {
    withBytes(0, {});
    XBobjCDXFile file(&table);
    ASSERT_TRUE(file.Create("BAD", false, false, false, false));
    XBobjIndexKey root;
    XBobjIndexTag* tag = file.TagByNumber(0);
    tag->LoadNode(tag->HeaderRoot(), root);
    ASSERT_FALSE(root.leaf);
    const int64_t leaf = static_cast<uint32_t>(root.keys[0].link);
    withBytes(static_cast<size_t>(leaf) + 2, {0xFF, 0x01});
    EXPECT_THROW(vx::test::WalkIndexTag(*tag), EXBaseError);
    EXPECT_FALSE(file.Usable());
  }
  // A file cut inside its last page.
  {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << good.substr(0, good.size() - 100);
    XBobjCDXFile file(&table);
    ASSERT_TRUE(file.Create("BAD", false, false, false, false));
    // The bulk build writes the root last, so the cut takes it.
    EXPECT_FALSE(file.Usable());
    EXPECT_EQ(file.Damage(), "bad root offset");
    EXPECT_EQ(file.TagCount(), 0);
  }
}

// FoxPro writes more flag bits into the attribute word of a one-page tag's
// root (7 for a root leaf); such files used to be refused as damaged. Only
// below 2 is a page interior; damage is what counts and offsets cannot be.
TEST(CdxTag, LeafRootsWithMoreAttributeBitsWalkAndSeek) {
  IndexTestTable table;
  table.folder = TestDir("attributes");
  const std::vector<std::string> names = {"PEAR", "APPLE", "QUINCE", "FIG", "BANANA", "CHERRY"};
  for (const auto& n : names) table.Append(Name(n));
  const std::string path = table.folder + "/ATTR.CDX";
  int64_t root;
  int64_t directoryRoot;
  {
    XBobjCDXFile file(&table);
    ASSERT_TRUE(file.Create("ATTR", true, true, false, true));
    XBobjIndexTag* tag = file.TagAdd({"NAME", "NAME", "", false, true});
    root = tag->HeaderRoot();
    directoryRoot = file.Directory()->HeaderRoot();
  }
  const std::string good = [&] {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  ASSERT_EQ(good[static_cast<size_t>(root)], 3);  // a leaf root as written here
  for (const uint8_t attributes : {5, 6, 7}) {
    SCOPED_TRACE(attributes);
    std::string s = good;
    s[static_cast<size_t>(root)] = static_cast<char>(attributes);
    s[static_cast<size_t>(directoryRoot)] = static_cast<char>(attributes);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << s;
    {
      XBobjCDXFile file(&table);
      ASSERT_TRUE(file.Create("ATTR", false, false, false, false));
      ASSERT_TRUE(file.Usable());
      XBobjIndexTag* tag = file.TagByName("NAME");
      ASSERT_NE(tag, nullptr);
      EXPECT_EQ(Records(*tag), (std::vector<int32_t>{2, 5, 6, 4, 1, 3}));
      EXPECT_EQ(Records(*tag, true), (std::vector<int32_t>{3, 1, 4, 6, 5, 2}));
      EXPECT_EQ(tag->KeyFind(tag->MakeKey(IndexTestTable::Text("FIG"))), 4);
      EXPECT_EQ(tag->KeyFind(tag->MakeKey(IndexTestTable::Text("CH"))), 6);
      EXPECT_EQ(tag->KeyFind(tag->MakeKey(IndexTestTable::Text("GRAPE"))), 0);
    }
    // The same page with a key count beyond the page is still damaged.
    s[static_cast<size_t>(root) + 2] = static_cast<char>(0xFF);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << s;
    XBobjCDXFile bad(&table);
    ASSERT_TRUE(bad.Create("ATTR", false, false, false, false));
    ASSERT_EQ(bad.TagCount(), 1);
    EXPECT_THROW(vx::test::WalkIndexTag(*bad.TagByNumber(0)), EXBaseError);
    EXPECT_FALSE(bad.Usable());
  }
}

TEST(CdxFile, TagsReopenInDirectoryOrderAndReindexRelaysTheFile) {
  IndexTestTable table;
  table.folder = TestDir("reindex");
  table.baseName = "PEOPLE";
  for (const char* s : {"B", "A", "C"}) table.Append(Name(s));
  table.records[0]["AGE"] = IndexTestTable::Num(30);
  table.records[1]["AGE"] = IndexTestTable::Num(20);
  table.records[2]["AGE"] = IndexTestTable::Num(-10);
  {
    XBobjCDXFile file(&table);
    ASSERT_TRUE(file.Create("people", true, true, false, true));
    EXPECT_TRUE(table.structuralMarked);
    file.TagAdd({"NAME", "NAME", "", false, true});
    file.TagAdd({"AGE", "AGE", "", false, true});
    file.TagAdd({"NAME", "NAME", "", false, false});  // replaces the first
    EXPECT_EQ(file.TagCount(), 2);
  }
  XBobjCDXFile file(&table);
  ASSERT_TRUE(file.Create("PEOPLE", false, false, false, true));
  ASSERT_EQ(file.TagCount(), 2);
  EXPECT_EQ(file.TagByNumber(0)->TagName(), "AGE");  // directory order is name order
  EXPECT_EQ(Records(*file.TagByName("age")), (std::vector<int32_t>{3, 2, 1}));
  EXPECT_EQ(Records(*file.TagByName("NAME")), (std::vector<int32_t>{3, 1, 2}));
  EXPECT_FALSE(file.TagByName("NAME")->Ascending());
  file.Reindex();
  EXPECT_EQ(file.Disk()->FileSize() % 512, 0);
  EXPECT_EQ(file.Directory()->Root(), 1024);
  EXPECT_EQ(Records(*file.TagByName("AGE")), (std::vector<int32_t>{3, 2, 1}));
  EXPECT_EQ(Records(*file.TagByName("NAME")), (std::vector<int32_t>{3, 1, 2}));
  EXPECT_TRUE(file.TagDelete("age"));
  EXPECT_FALSE(file.TagDelete("age"));
  EXPECT_EQ(file.TagCount(), 1);
}

TEST(CdxTag, GeneralCollationTagOrdersWithoutRegardToCaseAndAccents) {
  IndexTestTable table;
  table.folder = TestDir("general");
  const char* names[] = {"apple", "Banana", "apricot", "\xE0pple", "APPLE", "cherry", "\xC6sir"};
  for (const char* n : names) table.Append(Name(n));
  XBobjCDXFile file(&table);
  ASSERT_TRUE(file.Create("GENERAL", true, true, false, true));
  XBobjIndexTag* tag = file.TagAdd({"NAME", "NAME", "", false, true, XBCollation::General});
  EXPECT_EQ(tag->KeyLength(), 40);
  // "\xC6sir" expands to "AE..." and sorts among the a's.
  EXPECT_EQ(Records(*tag), (std::vector<int32_t>{7, 1, 5, 4, 3, 2, 6}));
  uint8_t header[1024];
  ASSERT_TRUE(file.PageRead(tag->HeaderPos(), header, 1024));
  EXPECT_EQ(header[15], 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(header + 494)), "GENERAL");
  // Single inserts store tails as nibbles; the tree stays consistent and in
  // collation order.
  std::mt19937 rng(9);
  for (int i = 0; i < 1500; ++i) {
    std::string s;
    for (size_t k = rng() % 12; k > 0; --k) s.push_back("aAbB\xE0\xC0 "[rng() % 7]);
    const int32_t rec = table.Append(Name(s));
    ASSERT_TRUE(tag->KeyUpdate(rec, true));
  }
  const vx::test::IndexCheckResult res = vx::test::CheckIndexTag(*tag);
  ASSERT_TRUE(res.faults.empty()) << res.faults.front();
  ASSERT_EQ(res.entries.size(), table.records.size());
  EXPECT_GE(res.levels, 2);
  for (const auto& e : res.entries) {
    std::string text = table.records[static_cast<size_t>(e.second - 1)].at("NAME").text;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    EXPECT_EQ(e.first, vx::GeneralCollationKey(text).substr(0, 40));
  }
}

TEST(CdxFile, EncipheredPagesReadBackAndChangeKey) {
  IndexTestTable table;
  table.folder = TestDir("cipher");
  for (int i = 1; i <= 1500; ++i) table.Append(Draw(i % 97, i));
  std::vector<int32_t> plain;
  {
    XBobjCDXFile file(&table);
    ASSERT_TRUE(file.Create("PLAIN", true, true, false, true));
    plain = Records(*file.TagAdd({"T", "YEAR+(0.001*DRAW)", "", false, true}));
  }
  table.cipherKey = "SECRET";
  {
    XBobjCDXFile file(&table);
    ASSERT_TRUE(file.Create("SECRET", true, true, false, true));
    EXPECT_EQ(Records(*file.TagAdd({"T", "YEAR+(0.001*DRAW)", "", false, true})), plain);
  }
  {
    XBobjCDXFile file(&table);
    ASSERT_TRUE(file.Create("SECRET", false, false, false, true));
    ASSERT_TRUE(file.Usable());
    EXPECT_EQ(Records(*file.TagByNumber(0)), plain);
    // Re-encipher with another key.
    IndexTestTable other;
    other.cipherKey = "OTHER";
    file.ChangeKey([&](uint8_t* b, size_t n) { table.DecipherBlock(b, n); },
                   [&](uint8_t* b, size_t n) { other.EncipherBlock(b, n); });
  }
  table.cipherKey = "OTHER";
  XBobjCDXFile file(&table);
  ASSERT_TRUE(file.Create("SECRET", false, false, false, false));
  ASSERT_TRUE(file.Usable());
  EXPECT_EQ(Records(*file.TagByNumber(0)), plain);
}

// A new name without an extension keeps the file's own, also when a folder
// on the way has a dot in its name (the extension used to be dropped then).
TEST(CdxTag, RenameKeepsTheExtensionBehindADottedFolder) {
  IndexTestTable table;
  table.folder = TestDir("rename");
  const std::string dotted = table.folder + "/v1.2";
  std::filesystem::create_directories(dotted);
  for (int d = 1; d <= 5; ++d) table.Append(Draw(2001, d));
  XBobjCDXFile file(&table);
  ASSERT_TRUE(file.Create(dotted + "/OLD", true, true, false, true));
  ASSERT_NE(file.TagAdd({"INDEX", "YEAR+(0.001*DRAW)", "", true, true}), nullptr);
  ASSERT_TRUE(file.Rename(dotted + "/NEW"));
  EXPECT_TRUE(std::filesystem::exists(dotted + "/NEW.CDX"));
  EXPECT_FALSE(std::filesystem::exists(dotted + "/NEW"));
  EXPECT_EQ(Records(*file.TagByName("INDEX")).size(), 5u);
}

}  // namespace
