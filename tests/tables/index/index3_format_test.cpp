// Byte layouts of the NTX, NDX and MDX formats: key forms, headers, page
// shapes, refused definitions, and damaged files that must raise the
// engine's error instead of crashing.
#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>

#include <cmath>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "tables/index/cdx/cdx_keys.h"
#include "tables/index/index_bulk.h"
#include "tables/index/mdx_index.h"
#include "tables/index/ndx_index.h"
#include "tables/index/ntx_index.h"
#include "tests/support/scratch_folder.h"
#include "tests/tables/index/index_page_check.h"
#include "tests/tables/index/index_test_table.h"

namespace {

namespace fs = std::filesystem;
using vx::test::IndexTestTable;

std::string TestDir(const std::string& sub) { return vx::test::NamedTestFolder("index3_format", sub); }

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string Hex(const uint8_t* p, size_t n) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    if (i) s += ' ';
    s += digits[p[i] >> 4];
    s += digits[p[i] & 15];
  }
  return s;
}

class ShapedTable : public IndexTestTable, public vx::IndexFieldShape {
 public:
  bool NumericFieldShape(const std::string& name, int& width, int& decimals) const override {
    if (name != "DRAW") return false;
    width = 9;
    decimals = 0;
    return true;
  }
};

void Fill(IndexTestTable& table, int count, unsigned seed) {
  std::mt19937 rng(seed);
  for (int i = 0; i < count; ++i) {
    std::string name(1 + rng() % 6, 'A');
    for (char& c : name) c = static_cast<char>('A' + rng() % 5);
    name.resize(8, ' ');
    table.Append({{"NAME", IndexTestTable::Text(name)},
                  {"DRAW", IndexTestTable::Num(static_cast<double>(static_cast<int>(rng() % 300) - 100))},
                  {"DAY", IndexTestTable::Day(rng() % 10 == 0 ? 0 : static_cast<int32_t>(2451000 + rng() % 500))}});
  }
}

// ------------------------------------------------------------------ NTX

TEST(NtxFormat, NumberKeysAreDigitsWithNegativesMapped) {
  struct Case {
    double value;
    int width, decimals;
    const char* key;
  };
  for (const Case& c : {Case{42, 9, 0, "000000042"}, Case{-42, 9, 0, ",,,,,,,(*"}, Case{0, 9, 0, "000000000"},
                        Case{-0.001, 9, 0, "000000000"}, Case{-1.5, 6, 2, ",,+.',"}, Case{3.14159, 8, 2, "00003.14"},
                        Case{1234567890, 9, 0, "*********"}, Case{-1234567890, 9, 0, "*********"}}) {
    EXPECT_EQ(vx::NtxNumberKey(c.value, c.width, c.decimals), c.key) << c.value;
  }
  // Larger magnitudes of negatives sort lower.
  EXPECT_LT(vx::NtxNumberKey(-43, 9, 0), vx::NtxNumberKey(-42, 9, 0));
  EXPECT_LT(vx::NtxNumberKey(-1, 9, 0), vx::NtxNumberKey(0, 9, 0));
}

// The key text is what printf's "%*.*f" prints, blanks turned into zeros;
// too wide a text is all stars. Besides values of every size: halves at the
// last place, which printf rounds to even, the values a draw key takes, and
// whole numbers near 2^53 and beyond.
TEST(NtxFormat, NumberKeysMatchPrintfForManyValues) {
  std::mt19937 rng(17);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  for (int i = 0; i < 60000; ++i) {
    double value = mantissa(rng) * std::pow(10.0, int(rng() % 24) - 8);
    const int width = 1 + int(rng() % 22);
    const int decimals = int(rng() % 7);
    if (i % 3 == 1) value = std::ldexp(double(int(rng() % 200001) - 100000), -int(rng() % 8));  // k / 2^n
    if (i % 6 == 2) value = 1000 + int(rng() % 1000) + 0.001 * (1 + int(rng() % 999));          // YEAR + 0.001 * DRAW
    if (i % 6 == 5) value = std::ldexp(1.0, 50 + int(rng() % 20)) + double(int(rng() % 2001) - 1000) * 8;
    char printed[128];
    const int n = std::snprintf(printed, sizeof printed, "%*.*f", width, decimals, std::fabs(value));
    std::string expected = n > width ? std::string(std::size_t(width), '*') : std::string(printed, std::size_t(n));
    std::replace(expected.begin(), expected.end(), ' ', '0');
    if (value < 0 && expected[0] != '*' && expected.find_first_of("123456789") != std::string::npos) {
      for (char& c : expected)
        if (c >= '0' && c <= '9') c = char(0x5C - c);
    }
    ASSERT_EQ(vx::NtxNumberKey(value, width, decimals), expected) << value << " " << width << " " << decimals;
  }
}

// A stored number key read back against a value tells what a key built from
// the value and compared would: for keys of values of every kind, keys
// changed by a digit, the point or the form, and keys of no number at all.
TEST(NtxFormat, AValueGivesAKeyExactlyWhenItsBuiltKeyIsThatKey) {
  const std::string dir = TestDir("ntx_gives");
  ShapedTable table;
  table.folder = dir;
  Fill(table, 20, 3);
  const double values[] = {0,    -0.0,  42,      -42,      0.25,         -0.25, -0.0001, 1e9,       -1e9,        2.5,
                           -3.5, 0.125, 0.00005, 2024.057, 1234567.8912, 1e300, 5e-324,  999999999, 999999999.6, 1e15};
  for (const char* expr : {"DRAW", "DRAW/4"}) {  // 9 digits; 18 with 4 places
    SCOPED_TRACE(expr);
    XBobjNTXFile file(&table);
    ASSERT_TRUE(file.Create(dir + "/g.ntx", true, true, false, true));
    XBobjIndexTag* tag = file.TagAdd({"G", expr, "", false, true});
    std::vector<std::string> keys = {std::string(size_t(tag->KeyLength()), '*'),
                                     std::string(size_t(tag->KeyLength()), ','), "", "0",
                                     std::string(size_t(tag->KeyLength()) + 1, '0')};
    for (const double v : values) {
      const std::string key = tag->MakeKey(IndexTestTable::Num(v)).value;
      keys.push_back(key);
      for (size_t i = 0; i < key.size(); ++i) {
        std::string changed = key;
        changed[i] = changed[i] == '.' ? '0' : changed[i] == '9' ? '.' : char(changed[i] + 1);
        keys.push_back(changed);
      }
    }
    std::vector<double> tried(std::begin(values), std::end(values));
    std::mt19937 rng(23);
    for (int i = 0; i < 1000; ++i) {
      const double v = (int(rng() % 2000001) - 1000000) * std::pow(10.0, int(rng() % 12) - 6);
      tried.push_back(v);
      keys.push_back(tag->MakeKey(IndexTestTable::Num(v)).value);
      keys.push_back(tag->MakeKey(IndexTestTable::Num(std::nextafter(v, 1e300))).value);
    }
    int equal = 0;
    for (size_t i = 0; i < tried.size(); ++i) {
      const vx::IndexValue value = IndexTestTable::Num(tried[i]);
      // Every fixed key, and a few of the others.
      for (size_t k = 0; k < keys.size(); k += (k < 60 ? 1 : 1 + (i * 7 + k) % 211)) {
        const bool gives = tag->XBobjIndexTag::ValueGivesKey(value, keys[k]);
        ASSERT_EQ(tag->ValueGivesKey(value, keys[k]), gives) << tried[i] << " [" << keys[k] << "]";
        equal += gives;
      }
    }
    EXPECT_GT(equal, int(std::size(values)));
    tag->TagRelease();
  }
}

TEST(NtxFormat, HeaderPageShapeAndKeyForms) {
  const std::string dir = TestDir("ntx_header");
  ShapedTable table;
  table.folder = dir;
  Fill(table, 200, 1);
  XBobjNTXFile draw(&table);
  ASSERT_TRUE(draw.Create(dir + "/draw.ntx", true, true, false, true));
  XBobjIndexTag* tag = draw.TagAdd({"DRAW", "DRAW", "", false, true});
  EXPECT_EQ(tag->KeyLength(), 9);
  EXPECT_EQ(static_cast<XBobjNTXTag*>(tag)->MaxKeys(), 52);
  EXPECT_EQ(static_cast<XBobjNTXTag*>(tag)->HalfPage(), 26);
  EXPECT_EQ(tag->MakeKey(IndexTestTable::Num(-42)).value, ",,,,,,,(*");
  tag->TagRelease();
  const std::vector<uint8_t> h = ReadAll(dir + "/draw.ntx");
  ASSERT_GE(h.size(), 2048u);
  EXPECT_EQ(h.size() % 1024, 0u);
  EXPECT_EQ(Hex(&h[0], 2), "06 00");
  EXPECT_EQ(Hex(&h[12], 10), "11 00 09 00 00 00 34 00 1A 00");  // entry 17, key 9, decimals 0, 52, 26
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&h[22])), "DRAW");

  XBobjNTXFile day(&table);
  ASSERT_TRUE(day.Create(dir + "/day.ntx", true, true, false, true));
  XBobjIndexTag* dayTag = day.TagAdd({"DAY", "DAY", "KEEP", true, false});
  EXPECT_EQ(dayTag->MakeKey(IndexTestTable::Day(0)).value, "00000000");
  EXPECT_EQ(dayTag->MakeKey(IndexTestTable::Day(2451545)).value, "20000101");
  EXPECT_EQ(static_cast<XBobjNTXTag*>(dayTag)->MaxKeys(), 54);
  dayTag->TagRelease();
  const std::vector<uint8_t> d = ReadAll(dir + "/day.ntx");
  EXPECT_EQ(Hex(&d[0], 2), "07 00");  // with a FOR expression
  EXPECT_EQ(d[278], 1);
  EXPECT_EQ(d[279], 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&d[282])), "KEEP");
}

TEST(NtxFormat, VersionCounterRunsFromOneTo32767) {
  const std::string dir = TestDir("ntx_version");
  IndexTestTable table;
  table.folder = dir;
  Fill(table, 3, 2);
  table.modified = false;  // updates that change no key
  XBobjNTXFile file(&table);
  ASSERT_TRUE(file.Create(dir + "/v.ntx", true, true, false, true));
  file.TagAdd({"V", "NAME", "", false, true});
  EXPECT_EQ(file.Version(), 1);
  table.Go(1);
  for (int i = 0; i < 32766; ++i) file.KeyUpdateAll(1, false);
  EXPECT_EQ(file.Version(), 32767);
  file.KeyUpdateAll(1, false);
  EXPECT_EQ(file.Version(), 1);
  const std::vector<uint8_t> h = ReadAll(dir + "/v.ntx");
  EXPECT_EQ(Hex(&h[2], 2), "01 00");
}

TEST(NtxFormat, EmptyLeavesAFileOfTwoPages) {
  const std::string dir = TestDir("ntx_empty");
  IndexTestTable table;
  table.folder = dir;
  Fill(table, 500, 3);
  XBobjNTXFile file(&table);
  ASSERT_TRUE(file.Create(dir + "/e.ntx", true, true, false, true));
  XBobjIndexTag* tag = file.TagAdd({"E", "NAME", "", false, true});
  file.Empty();
  EXPECT_EQ(fs::file_size(dir + "/e.ntx"), 2048u);
  EXPECT_TRUE(vx::test::WalkIndexTag(*tag).empty());
  file.Reindex();
  EXPECT_EQ(vx::test::WalkIndexTag(*tag).size(), 500u);
}

// ------------------------------------------------------------------ NDX

TEST(NdxFormat, NumericBlocksHoldThirtyOneEntriesOfSixteenBytes) {
  const std::string dir = TestDir("ndx_numeric");
  IndexTestTable table;
  table.folder = dir;
  Fill(table, 400, 4);
  XBobjNDXFile file(&table);
  ASSERT_TRUE(file.Create(dir + "/n.ndx", true, true, false, true));
  XBobjIndexTag* tag = file.TagAdd({"N", "DRAW", "", false, true});
  EXPECT_EQ(static_cast<XBobjNDXTag*>(tag)->EntrySize(), 16);
  EXPECT_EQ(static_cast<XBobjNDXTag*>(tag)->MaxKeys(), 31);
  tag->TagRelease();
  const std::vector<uint8_t> h = ReadAll(dir + "/n.ndx");
  EXPECT_EQ(Hex(&h[12], 8), "08 00 1F 00 01 00 10 00");
  EXPECT_EQ(h[9], 'N');
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&h[24])), "DRAW");
  // Blocks in use: the file's size in blocks.
  EXPECT_EQ(uint32_t{h[4]} | uint32_t{h[5]} << 8, h.size() / 512);
  // A first leaf entry: child 0, record, little-endian double.
  const uint32_t root = uint32_t{h[0]} | uint32_t{h[1]} << 8;
  ASSERT_LE(root * 512 + 512, h.size());
  const auto walked = vx::test::WalkIndexTag(*tag);
  ASSERT_EQ(walked.size(), 400u);
  double lowest = 1e9;
  for (const auto& r : table.records) lowest = std::min(lowest, r.at("DRAW").number);
  EXPECT_EQ(vx::CdxNumberFromKey(walked.front().first), lowest);
}

TEST(NdxFormat, EmptyDateSortsAfterEveryDate) {
  const std::string dir = TestDir("ndx_date");
  IndexTestTable table;
  table.folder = dir;
  Fill(table, 300, 5);
  XBobjNDXFile file(&table);
  ASSERT_TRUE(file.Create(dir + "/d.ndx", true, true, false, true));
  XBobjIndexTag* tag = file.TagAdd({"D", "DAY", "", false, true});
  const auto walked = vx::test::WalkIndexTag(*tag);
  ASSERT_EQ(walked.size(), 300u);
  const int32_t last = walked.back().second;
  EXPECT_EQ(table.records[static_cast<size_t>(last - 1)].at("DAY").day, 0);
  EXPECT_EQ(vx::CdxNumberFromKey(walked.back().first), 1.0E100);
}

TEST(NdxFormat, RefusesWhatTheFormatCannotHold) {
  const std::string dir = TestDir("ndx_refuse");
  IndexTestTable table;
  table.folder = dir;
  Fill(table, 10, 6);
  XBobjNDXFile file(&table);
  ASSERT_TRUE(file.Create(dir + "/r.ndx", true, true, false, true));
  EXPECT_THROW(file.TagAdd({"R", "NAME", "KEEP", false, true}), EXBaseError);
  EXPECT_THROW(file.TagAdd({"R", "NAME", "", false, false}), EXBaseError);
}

// ------------------------------------------------------------------ MDX

TEST(MdxFormat, NumbersInBcd) {
  struct Case {
    double value;
    const char* bytes;
  };
  for (const Case& c :
       {Case{0, "34 01 00 00 00 00"}, Case{-42, "36 89 42 00 00 00"}, Case{7, "35 05 70 00 00 00"},
        Case{2001.042, "38 1D 20 01 04 20"}, Case{0.5, "34 05 50 00 00 00"}, Case{1e20, "43 3D 99 99 99 99"}}) {
    uint8_t bcd[12];
    vx::MdxNumberToBcd(c.value, bcd);
    EXPECT_EQ(Hex(bcd, 6), c.bytes) << c.value;
  }
  for (double v : {-42.0, 2001.042, 0.1, 123456789.125, -1e-20, 1.0 / 3}) {
    uint8_t bcd[12];
    vx::MdxNumberToBcd(v, bcd);
    const double back = vx::MdxNumberFromBcd(bcd);
    EXPECT_NEAR(back, v, std::fabs(v) * 1e-15) << v;
    EXPECT_LE((bcd[1] & 0x7F) / 4, 16);
  }
}

TEST(MdxFormat, HeaderTagTableAndTheFortySeventhTag) {
  const std::string dir = TestDir("mdx_header");
  IndexTestTable table;
  table.folder = dir;
  table.baseName = "DRAWS";
  Fill(table, 50, 7);
  {
    XBobjMDXFile file(&table);
    ASSERT_TRUE(file.Create(dir + "/DRAWS.MDX", true, true, false, true));
    EXPECT_TRUE(table.structuralMarked);
    EXPECT_THROW(file.TagAdd({"ELEVENCHARS", "NAME", "", false, true}), EXBaseError);
    for (int i = 0; i < 47; ++i) {
      char name[8];
      std::snprintf(name, sizeof name, "T%02d", 46 - i);
      file.TagAdd({name, i % 2 ? "NAME" : "DRAW", "", false, true});
    }
    EXPECT_THROW(file.TagAdd({"T47", "NAME", "", false, true}), EXBaseError);
    EXPECT_EQ(file.TagCount(), 47);
    EXPECT_EQ(file.TagByNumber(0)->TagName(), "T00");  // kept in name order
  }
  const std::vector<uint8_t> h = ReadAll(dir + "/DRAWS.MDX");
  EXPECT_EQ(h[0], 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&h[4])), "DRAWS");
  EXPECT_EQ(Hex(&h[20], 10), "02 00 00 04 01 30 20 00 2F 00");
  EXPECT_EQ(h[512 + 17], 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&h[512 + 32 + 4])), "T00");
  EXPECT_EQ(h[512 + 32 + 17], 2);
  EXPECT_EQ(h[512 + 32 * 47 + 17], 0);
  // The first tag header (unit 4) is intact.
  const uint32_t first = uint32_t{h[512 + 32]} | uint32_t{h[512 + 33]} << 8;
  EXPECT_EQ(h[first * 512 + 9], 'N');
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&h[first * 512 + 24])), "DRAW");

  XBobjMDXFile again(&table);
  ASSERT_TRUE(again.Create(dir + "/DRAWS.MDX", false, false, false, false));
  ASSERT_TRUE(again.Usable());
  EXPECT_EQ(again.TagCount(), 47);
  for (int i = 0; i < 47; ++i) EXPECT_EQ(vx::test::WalkIndexTag(*again.TagByNumber(i)).size(), 50u) << i;
}

TEST(MdxFormat, DescendingTagsStoreKeysFalling) {
  const std::string dir = TestDir("mdx_descending");
  IndexTestTable table;
  table.folder = dir;
  Fill(table, 300, 8);
  XBobjMDXFile file(&table);
  ASSERT_TRUE(file.Create(dir + "/d.mdx", true, true, false, true));
  XBobjIndexTag* tag = file.TagAdd({"D", "DRAW", "", false, false});
  const auto walked = vx::test::WalkIndexTag(*tag);
  ASSERT_EQ(walked.size(), 300u);
  EXPECT_GE(vx::CdxNumberFromKey(walked.front().first), vx::CdxNumberFromKey(walked.back().first));
  const double highest = vx::CdxNumberFromKey(walked.front().first);
  EXPECT_EQ(table.records[static_cast<size_t>(tag->KeyFind(tag->MakeKey(IndexTestTable::Num(highest))) - 1)]
                .at("DRAW")
                .number,
            highest);
}

// ------------------------------------------------------------------ all

struct Made {
  std::unique_ptr<XBobjIndexFile> file;
  std::string path;
};

Made MakeFile(const std::string& format, IndexTestTable& table, const std::string& dir, bool create) {
  Made m;
  m.path = dir + "/t." + format;
  if (format == "ntx") {
    auto f = std::make_unique<XBobjNTXFile>(&table);
    f->Create(m.path, create, create, false, true);
    m.file = std::move(f);
  } else if (format == "ndx") {
    auto f = std::make_unique<XBobjNDXFile>(&table);
    f->Create(m.path, create, create, false, true);
    m.file = std::move(f);
  } else {
    auto f = std::make_unique<XBobjMDXFile>(&table);
    f->Create(m.path, create, create, false, true);
    m.file = std::move(f);
  }
  return m;
}

TEST(Index3Format, KeyLengthsOutsideOneTo240AreRefused) {
  for (const std::string format : {"ntx", "ndx", "mdx"}) {
    SCOPED_TRACE(format);
    const std::string dir = TestDir("keylen_" + format);
    for (size_t length : {size_t{0}, size_t{241}}) {
      IndexTestTable table;
      table.folder = dir;
      table.Append({{"NAME", IndexTestTable::Text(std::string(length, 'x'))}});
      Made m = MakeFile(format, table, dir, true);
      EXPECT_THROW(m.file->TagAdd({"K", "NAME", "", false, true}), EXBaseError) << length;
    }
    IndexTestTable table;
    table.folder = dir;
    table.Append({{"NAME", IndexTestTable::Text(std::string(240, 'x'))}});
    Made m = MakeFile(format, table, dir, true);
    XBobjIndexTag* tag = m.file->TagAdd({"K", "NAME", "", false, true});
    // Longer keys later are cut to the key length.
    table.Append({{"NAME", IndexTestTable::Text(std::string(300, 'y'))}});
    m.file->KeyUpdateAll(2, true);
    const auto walked = vx::test::WalkIndexTag(*tag);
    ASSERT_EQ(walked.size(), 2u);
    EXPECT_EQ(walked.back().first, std::string(240, 'y'));
  }
}

// How a damaged file showed itself: refused while opening, or raising the
// damaged-index error on a walk; the text is what the error found.
struct DamageOutcome {
  enum Stage { Missing, Open, Walk, None } stage = None;
  std::string found;
};

DamageOutcome OpenAndWalk(const std::string& format, const std::string& path) {
  std::unique_ptr<XBobjIndexFile> file;
  bool ok;
  if (format == "ntx") {
    auto f = std::make_unique<XBobjNTXFile>(nullptr);
    ok = f->Create(path, false, false, false, false);
    file = std::move(f);
  } else if (format == "ndx") {
    auto f = std::make_unique<XBobjNDXFile>(nullptr);
    ok = f->Create(path, false, false, false, false);
    file = std::move(f);
  } else {
    auto f = std::make_unique<XBobjMDXFile>(nullptr);
    ok = f->Create(path, false, false, false, false);
    file = std::move(f);
  }
  if (!ok) return {DamageOutcome::Missing, ""};
  if (!file->Usable()) return {DamageOutcome::Open, file->Damage()};
  for (int i = 0; i < file->TagCount(); ++i) {
    try {
      vx::test::WalkIndexTag(*file->TagByNumber(i));
      vx::test::WalkIndexTag(*file->TagByNumber(i), true);
    } catch (const EXBaseError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Index file damaged (" + file->Damage() + ")", 0), 0u) << e.what();
      EXPECT_FALSE(file->Usable());
      return {DamageOutcome::Walk, file->Damage()};
    }
  }
  return {DamageOutcome::None, ""};
}

// Builds the file the damage tests start from (600 character keys, three
// levels or more) and returns its bytes.
std::vector<uint8_t> DamageSample(const std::string& format, const std::string& dir) {
  IndexTestTable table;
  table.folder = dir;
  Fill(table, 600, 9);
  {
    Made m = MakeFile(format, table, dir, true);
    m.file->TagAdd({"D", "NAME", "", false, true});
  }
  return ReadAll(dir + "/t." + format);
}

// Each damage a format can tell gives the damaged-index error naming what
// it found, while opening or on the first walk over the page.
TEST(Index3Format, DamagedFilesRaiseTheEngineError) {
  using Stage = DamageOutcome::Stage;
  struct Damage {
    const char* what;
    size_t (*at)(const std::vector<uint8_t>&);  // where the bytes go
    std::vector<uint8_t> bytes;
    Stage stage;
    const char* found;
  };
  auto zero = [](const std::vector<uint8_t>&) -> size_t { return 0; };
  auto ntxRoot = [](const std::vector<uint8_t>& b) -> size_t { return vx::GetLE32(&b[4]); };
  auto ndxRoot = [](const std::vector<uint8_t>& b) -> size_t { return size_t{vx::GetLE32(&b[0])} * 512; };
  auto mdxTag = [](const std::vector<uint8_t>& b) -> size_t { return size_t{vx::GetLE32(&b[512 + 32])} * 512; };
  auto mdxRoot = [](const std::vector<uint8_t>& b) -> size_t {
    return size_t{vx::GetLE32(&b[size_t{vx::GetLE32(&b[512 + 32])} * 512])} * 512;
  };
  const std::map<std::string, std::vector<Damage>> damages = {
      {"ntx",
       {
           {"signature 5", zero, {5, 0}, Stage::Open, "signature"},
           {"entry size apart from the key length",
            [](auto&) -> size_t { return 12; },
            {20, 0},
            Stage::Open,
            "key length"},
           {"key length 0", [](auto&) -> size_t { return 12; }, {8, 0, 0, 0}, Stage::Open, "key length"},
           {"one key per page", [](auto&) -> size_t { return 18; }, {1, 0}, Stage::Open, "page shape"},
           {"pages too full", [](auto&) -> size_t { return 18; }, {200, 0}, Stage::Open, "page shape"},
           {"root past the end", [](auto&) -> size_t { return 4; }, {0, 0, 0, 1}, Stage::Open, "root page"},
           {"root inside a page", [](auto&) -> size_t { return 4; }, {0x10, 0x04, 0, 0}, Stage::Open, "root page"},
           {"root with too many keys", ntxRoot, {0xFF, 0x00}, Stage::Walk, "holds too many keys"},
           {"item offset past the page",
            [](const auto& b) { return size_t{vx::GetLE32(&b[4])} + 2; },
            {0xFF, 0x03},
            Stage::Walk,
            "has an item outside it"},
       }},
      {"ndx",
       {
           {"root block 0", zero, {0, 0, 0, 0}, Stage::Open, "root block"},
           {"root past the end", zero, {0, 0, 1, 0}, Stage::Open, "root block"},
           {"key length 0", [](auto&) -> size_t { return 12; }, {0, 0}, Stage::Open, "key length"},
           {"key length 241", [](auto&) -> size_t { return 12; }, {241, 0}, Stage::Open, "key length"},
           {"no key per block", [](auto&) -> size_t { return 14; }, {0, 0}, Stage::Open, "block shape"},
           {"entries shorter than keys", [](auto&) -> size_t { return 18; }, {4, 0}, Stage::Open, "block shape"},
           {"root with too many keys", ndxRoot, {0xFF, 0x00, 0x00, 0x00}, Stage::Walk, "holds too many keys"},
       }},
      {"mdx",
       {
           {"no units per block", [](auto&) -> size_t { return 20; }, {0, 0}, Stage::Open, "block size"},
           {"block length apart from its units", [](auto&) -> size_t { return 22; }, {0, 3}, Stage::Open, "block size"},
           {"tag table of 47 entries", [](auto&) -> size_t { return 25; }, {47}, Stage::Open, "tag table shape"},
           {"48 tags", [](auto&) -> size_t { return 28; }, {48, 0}, Stage::Open, "tag count"},
           {"tag header in the file header",
            [](auto&) -> size_t { return 512 + 32; },
            {1, 0, 0, 0},
            Stage::Open,
            "tag header unit"},
           {"tag header past the end",
            [](auto&) -> size_t { return 512 + 32; },
            {0, 0, 1, 0},
            Stage::Open,
            "tag header unit"},
           {"root unit 0", mdxTag, {0, 0, 0, 0}, Stage::Open, "root of tag D"},
           {"key type X",
            [](const auto& b) { return size_t{vx::GetLE32(&b[512 + 32])} * 512 + 9; },
            {'X'},
            Stage::Open,
            "key type of tag D"},
           {"key length 0",
            [](const auto& b) { return size_t{vx::GetLE32(&b[512 + 32])} * 512 + 12; },
            {0, 0},
            Stage::Open,
            "key length of tag D"},
           {"one key per block",
            [](const auto& b) { return size_t{vx::GetLE32(&b[512 + 32])} * 512 + 14; },
            {1, 0},
            Stage::Open,
            "block shape of tag D"},
           {"root with too many keys", mdxRoot, {0xFF, 0x00, 0x00, 0x00}, Stage::Walk, "holds too many keys"},
       }},
  };
  for (const auto& [format, cases] : damages) {
    SCOPED_TRACE(format);
    const std::string dir = TestDir("damage_" + format);
    const std::vector<uint8_t> good = DamageSample(format, dir);
    const std::string path = dir + "/bad." + format;
    WriteAll(path, good);
    ASSERT_EQ(OpenAndWalk(format, path).stage, Stage::None);
    for (const Damage& d : cases) {
      std::vector<uint8_t> bad = good;
      const size_t at = d.at(good);
      ASSERT_LE(at + d.bytes.size(), bad.size()) << d.what;
      std::copy(d.bytes.begin(), d.bytes.end(), bad.begin() + static_cast<std::ptrdiff_t>(at));
      WriteAll(path, bad);
      const DamageOutcome got = OpenAndWalk(format, path);
      EXPECT_EQ(got.stage, d.stage) << d.what;
      EXPECT_NE(got.found.find(d.found), std::string::npos) << d.what << ": " << got.found;
    }
    // A file cut anywhere: a header or page that cannot be read whole, or a
    // root past the new end.
    for (size_t cut : {size_t{0}, size_t{10}, size_t{600}, good.size() / 2, good.size() - 100}) {
      WriteAll(path, std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)));
      const DamageOutcome got = OpenAndWalk(format, path);
      EXPECT_TRUE(got.stage == Stage::Open || got.stage == Stage::Walk) << cut;
      const bool known = got.found.find("cannot be read") != std::string::npos || got.found.rfind("root", 0) == 0;
      EXPECT_TRUE(known) << cut << ": " << got.found;
    }
  }
}

// Bytes flipped anywhere in the header or scribbled over the pages: many
// such files still read (a changed key byte is a different key, a changed
// reserved byte nothing), so no outcome is asked for beyond these: the
// only error is the damaged-index error, the file is never written, and
// nothing crashes or hangs (the sanitizers watch the rest).
TEST(Index3Format, ScribbledFilesGiveOnlyTheDamagedIndexErrorAndStayUnwritten) {
  for (const std::string format : {"ntx", "ndx", "mdx"}) {
    SCOPED_TRACE(format);
    const std::string dir = TestDir("scribble_" + format);
    const std::vector<uint8_t> good = DamageSample(format, dir);
    const std::string path = dir + "/bad." + format;
    int refused = 0;
    auto tryOpen = [&](const std::vector<uint8_t>& bytes) {
      WriteAll(path, bytes);
      if (OpenAndWalk(format, path).stage != DamageOutcome::None) ++refused;
      ASSERT_TRUE(ReadAll(path) == bytes);
    };
    const size_t headerBytes = format == "mdx" ? 2560 : (format == "ntx" ? 1024 : 512);
    for (size_t at = 0; at < std::min(headerBytes, good.size()); at += (at < 64 ? 1 : 7)) {
      std::vector<uint8_t> bad = good;
      bad[at] ^= 0xFF;
      tryOpen(bad);
    }
    std::mt19937 rng(10);
    for (int i = 0; i < 200; ++i) {
      std::vector<uint8_t> bad = good;
      for (int k = 0; k < 4; ++k) bad[rng() % bad.size()] = static_cast<uint8_t>(rng());
      tryOpen(bad);
    }
    EXPECT_GT(refused, 10);
  }
}

// A maximum key count times an entry size past 32 bits used to wrap in the
// header check, which then passed, and page loads read far past the block.
TEST(Index3Format, BlockShapesBeyondThirtyTwoBitsAreDamaged) {
  for (const std::string format : {"ndx", "mdx"}) {
    SCOPED_TRACE(format);
    const std::string dir = TestDir("shape_" + format);
    IndexTestTable table;
    table.folder = dir;
    Fill(table, 100, 3);
    MakeFile(format, table, dir, true).file->TagAdd({"D", "NAME", "", false, true});
    std::vector<uint8_t> bytes = ReadAll(dir + "/t." + format);
    const size_t header = format == "ndx" ? 0 : 2048;  // maximum keys at 14, entry size at 18
    for (size_t at : {header + 14, header + 15, header + 18, header + 19}) bytes[at] = 0xFF;
    WriteAll(dir + "/t." + format, bytes);
    EXPECT_FALSE(MakeFile(format, table, dir, false).file->Usable());
  }
}

TEST(Index3Format, EncipheredFilesReadBackAfterUpdates) {
  for (const std::string format : {"ntx", "ndx", "mdx"}) {
    SCOPED_TRACE(format);
    const std::string dir = TestDir("cipher_" + format);
    IndexTestTable table;
    table.folder = dir;
    table.cipherKey = "secret";
    Fill(table, 400, 11);
    std::vector<std::pair<std::string, int32_t>> before;
    {
      Made m = MakeFile(format, table, dir, true);
      XBobjIndexTag* tag = m.file->TagAdd({"C", "NAME", "", false, true});
      std::mt19937 rng(12);
      for (int i = 0; i < 600; ++i) {
        IndexTestTable scratch;
        Fill(scratch, 1, static_cast<unsigned>(rng()));
        m.file->KeyUpdateAll(table.Append(scratch.records[0]), true);
      }
      before = vx::test::WalkIndexTag(*tag);
    }
    ASSERT_EQ(before.size(), 1000u);
    const std::vector<uint8_t> bytes = ReadAll(dir + "/t." + format);
    EXPECT_EQ(std::search(bytes.begin(), bytes.end(), before.back().first.begin(), before.back().first.end()),
              bytes.end());  // no key readable in the clear
    Made again = MakeFile(format, table, dir, false);
    ASSERT_TRUE(again.file->Usable());
    EXPECT_EQ(vx::test::WalkIndexTag(*again.file->TagByNumber(0)), before);
  }
}

TEST(MdxFormat, NextFreeUnitFollowsThePagesTaken) {
  const std::string dir = TestDir("mdx_next_free");
  IndexTestTable table;
  table.folder = dir;
  Fill(table, 100, 13);
  XBobjMDXFile file(&table);
  ASSERT_TRUE(file.Create(dir + "/n.mdx", true, true, false, true));
  file.TagAdd({"N", "NAME", "", false, true});
  for (int i = 0; i < 2000; ++i) file.KeyUpdateAll(table.Append(table.records[static_cast<size_t>(i % 100)]), true);
  const std::vector<uint8_t> h = ReadAll(dir + "/n.mdx");
  const uint32_t next = uint32_t{h[32]} | uint32_t{h[33]} << 8 | uint32_t{h[34]} << 16;
  EXPECT_EQ(next, h.size() / 512);
}

// Equal keys are not ordered by record in these formats: finding a record's
// entry scans the equals, across pages. The scan used to read the page it had
// just left (freed memory) when the equals ran past a page's end.
TEST(Index3Format, EqualKeysAcrossPagesAreFoundByRecord) {
  for (const std::string format : {"ntx", "ndx", "mdx"}) {
    SCOPED_TRACE(format);
    const std::string dir = TestDir("equals_" + format);
    IndexTestTable table;
    table.folder = dir;
    for (int i = 0; i < 300; ++i) table.Append({{"NAME", IndexTestTable::Text("SAME    ")}});
    Made m = MakeFile(format, table, dir, true);
    XBobjIndexTag* tag = m.file->TagAdd({"E", "NAME", "", false, true});
    for (int32_t rec = 300; rec >= 1; rec -= 7) {
      table.Go(rec);
      table.records[static_cast<size_t>(rec - 1)]["NAME"] = IndexTestTable::Text("OTHER   ");
      ASSERT_TRUE(m.file->KeyUpdateAll(rec, false));
    }
    const auto walked = vx::test::WalkIndexTag(*tag);
    ASSERT_EQ(walked.size(), 300u);
    size_t others = 0;
    for (const auto& e : walked) {
      const bool moved = (300 - e.second) % 7 == 0;
      EXPECT_EQ(e.first, moved ? "OTHER" : "SAME") << e.second;
      others += moved;
    }
    EXPECT_EQ(others, 43u);
  }
}

}  // namespace
