// Excel 97-2003 files: our writer read back by our reader (texts long and
// short, Cyrillic and beyond, numbers in RK and IEEE form, Booleans and
// errors, dates, several sheets, the active one); compound documents of every
// size class; damaged files give the reader's error, never a crash.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "platform/ole/compound_file.h"
#include "platform/ole/xls_reader.h"
#include "platform/ole/xls_writer.h"
#include "platform/rtl/dateutils.h"

namespace {

std::unique_ptr<XlsSheet> MakeSheet(std::u16string name) {
  auto s = std::make_unique<XlsSheet>();
  s->Name = std::move(name);
  return s;
}

void ExpectSameValues(const OleArray& a, const OleArray& b, const std::string& where) {
  int ar0 = 0, ac0 = 0, ar1 = -1, ac1 = -1, br0 = 0, bc0 = 0, br1 = -1, bc1 = -1;
  EXPECT_EQ(a.UsedBounds(ar0, ac0, ar1, ac1), b.UsedBounds(br0, bc0, br1, bc1)) << where;
  EXPECT_EQ(ar1, br1) << where;
  EXPECT_EQ(ac1, bc1) << where;
  for (int r = 0; r <= std::max(ar1, br1); ++r)
    for (int c = 0; c <= std::max(ac1, bc1); ++c) {
      const OleVariant &x = a.Get(r, c), &y = b.Get(r, c);
      if (std::holds_alternative<double>(x) && std::holds_alternative<double>(y) && std::isnan(std::get<double>(x)))
        continue;
      EXPECT_TRUE(x == y) << where << " cell " << r << "," << c << ": " << VarToStr(x) << " / " << VarToStr(y);
    }
}

XlsWorkbook Sample() {
  XlsWorkbook book;
  auto a = MakeSheet(u"Данные");
  const double numbers[] = {0,    1,     -1,    536870911,        -536870912,  536870912, 0.5,
                            1.25, -3.75, 1e300, 3.14159265358979, 1234567.891, -0.0001,   1e-300};
  for (int i = 0; i < static_cast<int>(std::size(numbers)); ++i) a->Cells.Set(i, 0, numbers[i]);
  for (int c = 1; c < 40; ++c) a->Cells.Set(0, c, static_cast<double>(c));  // a long run of RK numbers
  a->Cells.Set(1, 1, std::u16string(u"тираж"));
  a->Cells.Set(1, 2, std::u16string(u"Latin-1 \u00e9\u00ff"));
  a->Cells.Set(1, 3, std::u16string(u"CJK \u4E00\u4E8C"));
  a->Cells.Set(1, 4, std::u16string(u"line\nbreak"));
  a->Cells.Set(1, 5, std::u16string(u""));
  a->Cells.Set(2, 1, true);
  a->Cells.Set(2, 2, false);
  a->Cells.Set(2, 3, OleError{0x07});
  a->Cells.Set(2, 4, OleError{0x2A});
  a->Cells.Set(65535, 255, std::u16string(u"последняя"));
  book.Sheets.push_back(std::move(a));

  auto b = MakeSheet(u"Second");
  // Enough text to spread the shared strings over several CONTINUE records,
  // with long texts of both encodings split across them.
  for (int r = 0; r < 3000; ++r) b->Cells.Set(r, 0, std::u16string(u"строка ") + std::u16string(r % 7 + 1, u'ж'));
  b->Cells.Set(0, 1, std::u16string(20000, u'x'));
  b->Cells.Set(1, 1, std::u16string(20000, u'щ'));
  b->Cells.Set(2, 1, std::u16string(kXlsMaxText, u'z'));
  book.Sheets.push_back(std::move(b));
  book.Sheets.push_back(MakeSheet(u"Empty"));
  book.ActiveSheet = 1;
  return book;
}

TEST(XlsFile, OurFilesReadBackWithEveryValue) {
  const XlsWorkbook book = Sample();
  const std::string file = vx::WriteXlsFile(book);
  const XlsWorkbook back = vx::ReadXlsFile(file);
  ASSERT_EQ(back.Sheets.size(), 3u);
  EXPECT_EQ(back.ActiveSheet, 1);
  EXPECT_FALSE(back.HadFormulas);
  EXPECT_FALSE(back.HadOtherSheets);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(back.Sheets[i]->Name, book.Sheets[i]->Name);
    ExpectSameValues(back.Sheets[i]->Cells, book.Sheets[i]->Cells, "sheet " + std::to_string(i));
  }
}

// Dates go out in the short date format and come back as dates (the
// reader used to give their serial numbers), also before March 1900, where
// the file format counts a 29 February.
TEST(XlsFile, DatesReadBackAsDates) {
  XlsWorkbook book;
  book.Sheets.push_back(MakeSheet(u"Даты"));
  const double dates[] = {EncodeDate(2001, 3, 5), EncodeDate(1999, 12, 31) + 0.75, EncodeDate(1900, 1, 1),
                          EncodeDate(1900, 2, 28), EncodeDate(1900, 3, 1), EncodeDate(9999, 12, 31)};
  for (int i = 0; i < static_cast<int>(std::size(dates)); ++i) {
    book.Sheets[0]->Cells.Set(i, 0, OleDate{dates[i]});
    book.Sheets[0]->Cells.Set(i, 1, dates[i]);  // a number stays a number
  }
  const XlsWorkbook back = vx::ReadXlsFile(vx::WriteXlsFile(book));
  ASSERT_EQ(back.Sheets.size(), 1u);
  ExpectSameValues(back.Sheets[0]->Cells, book.Sheets[0]->Cells, "dates");
  EXPECT_EQ(VarToStr(back.Sheets[0]->Cells.Get(0, 0)), "05.03.2001");
  EXPECT_EQ(VarToStr(back.Sheets[0]->Cells.Get(1, 0)), "31.12.1999 18:00:00");
  EXPECT_EQ(VarToStr(back.Sheets[0]->Cells.Get(0, 1)), "36955");

  // Times go out in a time format and come back as times, a time without a
  // date too (it used to go out as a negative serial in the date format).
  XlsWorkbook times;
  times.Sheets.push_back(MakeSheet(u"Время"));
  const OleDate moments[] = {{0.5, true}, {0, true}, {EncodeDate(2001, 3, 5) + 0.75, true}};
  for (int i = 0; i < static_cast<int>(std::size(moments)); ++i) times.Sheets[0]->Cells.Set(i, 0, moments[i]);
  const XlsWorkbook timesBack = vx::ReadXlsFile(vx::WriteXlsFile(times));
  ExpectSameValues(timesBack.Sheets[0]->Cells, times.Sheets[0]->Cells, "times");
  EXPECT_EQ(VarToStr(timesBack.Sheets[0]->Cells.Get(0, 0)), "12:00:00");
  EXPECT_EQ(VarToStr(timesBack.Sheets[0]->Cells.Get(1, 0)), "00:00:00");
  EXPECT_EQ(VarToStr(timesBack.Sheets[0]->Cells.Get(2, 0)), "18:00:00");
}

TEST(XlsFile, SmallAndBareWorkbooks) {
  XlsWorkbook none;
  const XlsWorkbook one = vx::ReadXlsFile(vx::WriteXlsFile(none));
  ASSERT_EQ(one.Sheets.size(), 1u);
  EXPECT_EQ(one.Sheets[0]->Name, u"Sheet1");
  int r0, c0, r1, c1;
  EXPECT_FALSE(one.Sheets[0]->Cells.UsedBounds(r0, c0, r1, c1));
  // The stream is padded to 4096 bytes, so it never goes to the mini stream.
  EXPECT_EQ(vx::WriteXlsStream(none).size(), 4096u);
}

// Streams of every size class: one sector, the mini-stream limit, many FAT
// sectors, and more FAT sectors than the header lists (DIFAT sectors).
TEST(CompoundFile, StreamsOfEverySizeReadBack) {
  for (std::size_t size : {4096u, 4097u, 65536u, 7u * 1024 * 1024 + 3, 20u * 1024 * 1024}) {
    std::string stream(size, '\0');
    for (std::size_t i = 0; i < size; ++i) stream[i] = static_cast<char>(i * 7 + i / 511);
    const std::string file = vx::WriteCompoundFile(u"Workbook", stream);
    EXPECT_EQ(file.size() % 512, 0u);
    std::string back;
    ASSERT_TRUE(vx::ReadCompoundStream(file, u"WORKBOOK", back)) << size;
    EXPECT_TRUE(back == stream) << size;
    EXPECT_FALSE(vx::ReadCompoundStream(file, u"Book", back));
  }
}

// A stream below the cut-off lives in the mini stream: a hand-built file.
TEST(CompoundFile, MiniStreamsAreRead) {
  // Sectors: 0 FAT, 1 directory, 2 mini FAT, 3 the mini stream (two 64-byte
  // mini sectors).
  std::string f(5 * 512, '\0');
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<char>(v >> (8 * i));
  };
  auto put16 = [&](std::size_t at, std::uint16_t v) {
    f[at] = static_cast<char>(v);
    f[at + 1] = static_cast<char>(v >> 8);
  };
  f.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
  put16(24, 0x3E);
  put16(26, 3);
  put16(28, 0xFFFE);
  put16(30, 9);
  put16(32, 6);
  put32(44, 1);
  put32(48, 1);
  put32(56, 4096);
  put32(60, 2);
  put32(64, 1);
  put32(68, 0xFFFFFFFE);
  put32(76, 0);
  for (int i = 1; i < 109; ++i) put32(76 + 4 * i, 0xFFFFFFFF);
  const std::size_t fat = 512, dir = 1024, miniFat = 1536, mini = 2048;
  for (int i = 0; i < 128; ++i) put32(fat + 4 * i, 0xFFFFFFFF);
  put32(fat + 0, 0xFFFFFFFD);
  put32(fat + 4, 0xFFFFFFFE);
  put32(fat + 8, 0xFFFFFFFE);
  put32(fat + 12, 0xFFFFFFFE);
  for (int i = 0; i < 128; ++i) put32(miniFat + 4 * i, 0xFFFFFFFF);
  put32(miniFat + 0, 1);
  put32(miniFat + 4, 0xFFFFFFFE);
  auto entry = [&](std::size_t at, const std::u16string& name, int type, std::uint32_t child, std::uint32_t start,
                   std::uint32_t size) {
    for (std::size_t i = 0; i < name.size(); ++i) put16(at + 2 * i, name[i]);
    put16(at + 64, static_cast<std::uint16_t>(2 * name.size() + 2));
    f[at + 66] = static_cast<char>(type);
    put32(at + 68, 0xFFFFFFFF);
    put32(at + 72, 0xFFFFFFFF);
    put32(at + 76, child);
    put32(at + 116, start);
    put32(at + 120, size);
  };
  entry(dir, u"Root Entry", 5, 1, 3, 128);
  entry(dir + 128, u"Workbook", 2, 0xFFFFFFFF, 0, 100);
  for (int i = 0; i < 128; ++i) f[mini + i] = static_cast<char>(i);
  std::string back;
  ASSERT_TRUE(vx::ReadCompoundStream(f, u"Workbook", back));
  ASSERT_EQ(back.size(), 100u);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(back[i], static_cast<char>(i));
}

// Every damaged form of a small workbook: cut at every length and with
// bytes changed throughout. The reader either reads a workbook or raises
// EOleException.
TEST(XlsFile, DamagedFilesRaiseTheReadersError) {
  XlsWorkbook book;
  auto s = MakeSheet(u"Лист");
  s->Cells.Set(0, 0, std::u16string(u"год"));
  s->Cells.Set(0, 1, 2001.0);
  s->Cells.Set(1, 0, 0.5);
  s->Cells.Set(1, 1, std::u16string(u"тираж"));
  book.Sheets.push_back(std::move(s));
  const std::string good = vx::WriteXlsFile(book);
  int errors = 0, reads = 0;
  auto attempt = [&](const std::string& bytes) {
    try {
      vx::ReadXlsFile(bytes);
      ++reads;
    } catch (const EOleException&) { ++errors; }
  };
  for (std::size_t n = 0; n < good.size(); n += 97) attempt(good.substr(0, n));
  std::mt19937 rng(7);
  for (int i = 0; i < 3000; ++i) {
    std::string bad = good;
    const int flips = 1 + static_cast<int>(rng() % 4);
    for (int k = 0; k < flips; ++k) {
      // The header, the first records of the stream, the directory.
      const std::size_t zones[] = {rng() % 512, 512 + rng() % 600, good.size() - 512 + rng() % 512,
                                   rng() % good.size()};
      bad[zones[rng() % 4]] = static_cast<char>(rng());
    }
    attempt(bad);
  }
  EXPECT_GT(errors, 100);
  EXPECT_GT(reads, 100);  // many changes land in padding or values
  EXPECT_THROW(vx::ReadXlsFile("not a workbook at all"), EOleException);
  EXPECT_THROW(vx::ReadXlsFile(vx::WriteCompoundFile(u"Book", std::string(5000, '\0'))), EOleException);
}

}  // namespace
