// Field access: lookup, text, numbers, dates, logicals, display texts, the
// raw types of 0x30 tables, record blanking and deletion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "tests/tables/dbf/dbf_testing.h"

using namespace vx::test;

namespace {

// C(4) NAME, N(5,2) AMOUNT, N(3,0) SMALL, D WHEN, L OK, M NOTE, C(300) LONGTEXT
struct MixedTable {
  DbfScratch dir;
  std::string path = dir / "mixed.dbf";
  std::unique_ptr<XBO_dBaseFld> table;
  MixedTable() {
    XBO_DBFBuild b(path);
    b.AddField("NAME", 'C', 4, 0);
    b.AddField("AMOUNT", 'N', 5, 2);
    b.AddField("SMALL", 'N', 3, 0);
    b.AddField("WHEN", 'D', 8, 0);
    b.AddField("OK", 'L', 1, 0);
    b.AddField("NOTE", 'M', 10, 0);
    b.AddField("LONGTEXT", 'C', 300, 0);
    b.Write();
    table = std::make_unique<XBO_dBaseFld>(path, false, true, "");
    table->BlankRecord();
  }
};

// A 0x30 table with I, Y, T, B and M fields and one record of the given bytes.
std::string VisualFoxTable(const std::string& record) {
  return MakeTableBytes(
      0x30, {{"I", 'I', 4, 0}, {"Y", 'Y', 8, 4}, {"T", 'T', 8, 0}, {"B", 'B', 8, 0}, {"M", 'M', 4, 0}}, {record});
}

}  // namespace

TEST(DbfFields, LookupByNameAndNumber) {
  MixedTable m;
  XBO_dBaseFld& t = *m.table;
  EXPECT_EQ(t.FindFieldDescriptor("amount  ")->Number, 2);
  EXPECT_EQ(t.FieldNumber("longText"), 7);
  EXPECT_EQ(t.FieldLength(7), 300);
  EXPECT_EQ(t.FieldDecimals(7), 0);
  EXPECT_EQ(t.FieldType(4), 'D');
  EXPECT_EQ(t.FieldNumber("nothing"), 0);
  EXPECT_EQ(t.FieldLength(99), 0);
  EXPECT_EQ(t.GetFieldText(0), "");
  EXPECT_FALSE(t.PutFieldText(8, "x"));

  ErrorRecorder errors;
  EXPECT_THROW(t.FindFieldDescriptor("NOPE"), EXBaseError);
  EXPECT_EQ(errors.LastCode(), xbErrBadFieldName);
  EXPECT_EQ(errors.LastSubCode(), xbCtxFieldName);
  EXPECT_EQ(errors.entries.back().text, t.PathName() + "->NOPE");
  EXPECT_THROW(t.GetDateByName("AMOUNT"), EXBaseError);
  EXPECT_EQ(errors.LastCode(), xbErrBadFieldType);
  EXPECT_EQ(errors.LastSubCode(), xbCtxFieldType);
  EXPECT_EQ(t.GetNumberByName("NOTE"), 0);  // a memo field answers number lookups
}

TEST(DbfFields, NonRaisingHookGivesEmptyResults) {
  MixedTable m;
  ErrorRecorder errors(false);
  EXPECT_EQ(m.table->GetFieldTextByName("NOPE"), "");
  EXPECT_EQ(m.table->GetNumberByName("NOPE"), 0);
  EXPECT_FALSE(m.table->PutStringByName("NOPE", "1"));
  EXPECT_FALSE(m.table->PutNumber(1, 5));  // C field
  EXPECT_EQ(errors.entries.size(), 4u);
}

TEST(DbfFields, TextIsCutAndAlignedByType) {
  MixedTable m;
  XBO_dBaseFld& t = *m.table;
  t.PutString(1, "abcdef");
  EXPECT_EQ(t.GetFieldText(1), "abcd");
  t.PutFieldText(3, "ab");
  EXPECT_EQ(t.GetFieldText(3), " ab");
  t.PutFieldText(2, "abcdef");
  EXPECT_EQ(t.GetFieldText(2), "abcde");
  t.PutString(7, std::string(280, 'x') + "end");
  EXPECT_EQ(t.GetFieldText(7).size(), 300u);
  EXPECT_EQ(t.GetFieldText(7).substr(280), "end" + std::string(17, ' '));
  EXPECT_TRUE(t.RecordModified);
  EXPECT_EQ(t.FieldChanged[7], 1);
}

TEST(DbfFields, NumbersFormatParseAndRefuse) {
  MixedTable m;
  XBO_dBaseFld& t = *m.table;
  EXPECT_EQ(t.GetFieldText(2), " 0.00");  // BlankRecord zeroes numbers
  EXPECT_TRUE(t.PutNumber(2, 1.5));
  EXPECT_EQ(t.GetFieldText(2), " 1.50");
  EXPECT_TRUE(t.PutNumber(2, -0.001));
  EXPECT_EQ(t.GetFieldText(2), " 0.00");
  EXPECT_TRUE(t.PutNumber(3, -12));
  EXPECT_EQ(t.GetNumber(3), -12);

  ErrorRecorder errors;
  EXPECT_THROW(t.PutNumber(3, 12345), EXBaseError);
  EXPECT_EQ(errors.LastCode(), xbErrNumberTooLarge);
  EXPECT_EQ(errors.entries.back().text, "SMALL - 12345");
  EXPECT_EQ(t.GetNumber(3), -12);  // unchanged
  EXPECT_THROW(t.PutNumber(3, std::nan("")), EXBaseError);
  EXPECT_THROW(t.PutNumber(3, std::numeric_limits<double>::infinity()), EXBaseError);
  EXPECT_EQ(errors.LastCode(), xbErrNumberTooLarge);

  // Other programs pad numbers with zero bytes as well as blanks.
  std::memcpy(t.CurRecord + t.FieldOffset(3), "\0 7", 3);
  EXPECT_EQ(t.GetNumber(3), 7);
  t.PutFieldText(3, "1,5");
  EXPECT_THROW(t.GetNumber(3), EXBaseError);
  EXPECT_EQ(errors.LastCode(), xbErrBadFieldType);
  EXPECT_EQ(errors.entries.back().text, "Invalid number in field MIXED->SMALL (1,5)");
  t.PutFieldText(3, "nan");
  EXPECT_THROW(t.GetNumber(3), EXBaseError);

  EXPECT_TRUE(t.PutString(3, "  42 "));
  EXPECT_EQ(t.GetFieldText(3), " 42");
  EXPECT_TRUE(t.PutString(3, ""));
  EXPECT_EQ(t.GetFieldText(3), "  0");
  EXPECT_THROW(t.PutString(3, "4x"), EXBaseError);
  EXPECT_EQ(errors.LastSubCode(), xbCtxNumberText);
}

// Whole numbers are read in place; every other text in a field without
// decimals still goes the general way, with the same values and errors.
TEST(DbfFields, WholeNumberTextsReadLikeEveryOtherNumber) {
  DbfScratch dir;
  const std::string path = dir / "whole.dbf";
  BuildOneFieldTable(path, "BIG", 'N', 20, 0);
  XBO_dBaseFld t(path, false, true, "");
  t.BlankRecord();
  struct Case {
    const char* text;  // right-aligned in 20 bytes
    double value;
  };
  const Case cases[] = {{"", 0},
                        {"0", 0},
                        {"7", 7},
                        {"-42", -42},
                        {"+42", 42},
                        {"000123", 123},
                        {"123456789012345678", 123456789012345678.0},
                        {"-123456789012345678", -123456789012345678.0},
                        {"1234567890123456789", 1234567890123456789.0},  // 19 digits
                        {"1.5", 1.5},
                        {"1e3", 1000},
                        {"-.5", -0.5}};
  for (const Case& c : cases) {
    ASSERT_TRUE(t.PutFieldText(1, c.text));
    EXPECT_EQ(t.GetNumber(1), c.value) << "\"" << c.text << "\"";
  }
  ASSERT_TRUE(t.PutFieldText(1, "-0"));
  EXPECT_TRUE(std::signbit(t.GetNumber(1)));
  // Zero bytes pad like blanks, on either side.
  std::string padded(20, ' ');
  padded.replace(8, 3, "-15");
  for (std::size_t i : {0, 1, 3, 14, 15, 17, 18, 19}) padded[i] = '\0';
  std::memcpy(t.CurRecord + t.FieldOffset(1), padded.data(), 20);
  EXPECT_EQ(t.GetNumber(1), -15);

  ErrorRecorder errors;
  for (const char* bad : {"-", "+-5", "- 5", "12 34", "0x10", "1,5", "--1"}) {
    errors.entries.clear();
    ASSERT_TRUE(t.PutFieldText(1, bad));
    EXPECT_THROW(t.GetNumber(1), EXBaseError) << bad;
    ASSERT_FALSE(errors.entries.empty()) << bad;
    EXPECT_EQ(errors.LastCode(), xbErrBadFieldType) << bad;
  }
}

TEST(DbfFields, DatesAndLogicals) {
  MixedTable m;
  XBO_dBaseFld& t = *m.table;
  EXPECT_EQ(t.GetDate(4), 0);
  EXPECT_EQ(t.GetDisplayText(4), "");
  EXPECT_TRUE(t.PutDate(4, 2444240));
  EXPECT_EQ(t.GetFieldText(4), "19800101");
  EXPECT_TRUE(t.PutString(4, "20240229"));
  EXPECT_EQ(t.GetDateByName("when"), 2460370);
  EXPECT_FALSE(t.PutDate(2, 2444240));  // not a date field, no error
  EXPECT_TRUE(t.PutDate(4, 0));
  EXPECT_EQ(t.GetFieldText(4), "        ");

  t.PutFieldText(5, "J");
  EXPECT_TRUE(t.GetLogical(5));
  struct Case {
    const char* text;
    const char* stored;
  };
  for (const Case c : {Case{"0", "F"}, Case{"2", "T"}, Case{"y", "T"}, Case{"n", "F"}, Case{"", "F"}}) {
    EXPECT_TRUE(t.PutString(5, c.text)) << c.text;
    EXPECT_EQ(t.GetFieldText(5), c.stored) << c.text;
  }
  ErrorRecorder errors;
  EXPECT_THROW(t.PutString(5, "X"), EXBaseError);
  EXPECT_EQ(errors.LastSubCode(), xbCtxLogicalText);
  EXPECT_THROW(t.PutLogical(1, true), EXBaseError);
}

TEST(DbfFields, DisplayTexts) {
  MixedTable m;
  XBO_dBaseFld& t = *m.table;
  t.PutFieldText(2, "");
  EXPECT_EQ(t.GetDisplayText(2), "0.00");
  t.PutNumber(2, 3.25);
  EXPECT_EQ(t.GetDisplayText(2), "3.25");
  EXPECT_EQ(t.GetDisplayText(6), "---memo---");
  t.PutFieldText(6, "12");
  EXPECT_EQ(t.GetDisplayText(6), "---MEMO---");
  t.PutFieldText(5, "y");
  EXPECT_EQ(t.GetDisplayText(5), "T");
  t.PutFieldText(1, "ab");
  EXPECT_EQ(t.GetDisplayText(1), "ab");
}

TEST(DbfFields, DeleteAndUndelete) {
  MixedTable m;
  XBO_dBaseFld& t = *m.table;
  t.PutString(1, "keep");
  t.AppendRecord();
  t.DeleteRecord();
  EXPECT_EQ(ReadFileBytes(m.path)[t.HeaderLength], '*');
  // Deleting a deleted record writes nothing (the edited name stays in memory only).
  t.PutString(1, "edit");
  t.DeleteRecord();
  EXPECT_EQ(ReadFileBytes(m.path).substr(std::size_t(t.HeaderLength), 5), "*keep");
  t.UndeleteRecord();
  EXPECT_EQ(ReadFileBytes(m.path).substr(std::size_t(t.HeaderLength), 5), " edit");
}

TEST(DbfFields, FillFromValuesUsesAnOwnBuffer) {
  MixedTable m;
  XBO_dBaseFld& t = *m.table;
  t.PutString(1, "orig");
  std::vector<char> search(std::size_t(t.RecordLength) + 1);
  t.FillFromValues(search.data(), "name ; SMALL", {"find", "7"});
  EXPECT_EQ(std::string(search.data() + 1, 4), "find");
  EXPECT_EQ(std::string(search.data() + t.FieldOffset(3), 3), "  7");
  EXPECT_EQ(t.GetFieldText(1), "orig");
}

TEST(DbfFields, VisualFoxRawTypes) {
  DbfScratch dir;
  const std::string blanks(33, ' ');
  WriteFileBytes(dir / "vfp.dbf", VisualFoxTable(blanks));
  XBO_dBaseFld t(dir / "vfp.dbf", false, true, "");
  t.ReadRecord(1);
  EXPECT_EQ(t.GetNumber(1), 0);  // four blanks
  EXPECT_EQ(t.GetNumber(3), double(2415019 - 1721425) * 86400000.0);

  struct Case {
    int field;
    double value;
    std::string bytes;  // as stored, little-endian
  };
  const Case cases[] = {
      {1, -2, std::string("\xFE\xFF\xFF\xFF", 4)},
      {1, 7.9, std::string("\x07\0\0\0", 4)},
      {2, -0.0001, std::string(8, '\xFF')},
      {2, 300000, std::string("\x00\x5E\xD0\xB2\0\0\0\0", 8)},
      {2, 1.1, std::string("\xF8\x2A\0\0\0\0\0\0", 8)},
      {5, 12, std::string("\x0C\0\0\0", 4)},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(t.PutNumber(c.field, c.value)) << c.value;
    EXPECT_EQ(std::string(t.CurRecord + t.FieldOffset(c.field), c.bytes.size()), c.bytes) << c.value;
  }
  EXPECT_DOUBLE_EQ(t.GetNumber(2), 1.1);
  t.PutNumber(2, -0.0001);
  EXPECT_DOUBLE_EQ(t.GetNumber(2), -0.0001);

  const double stamp = double(2460000 - 1721425) * 86400000.0 + 3723004;
  ASSERT_TRUE(t.PutNumber(3, stamp));
  EXPECT_EQ(LE32At(std::string(t.CurRecord + t.FieldOffset(3), 8), 0), 2460000u);
  EXPECT_EQ(t.GetNumber(3), stamp);
  ASSERT_TRUE(t.PutNumber(4, 2.5e-300));
  EXPECT_EQ(t.GetNumber(4), 2.5e-300);

  ErrorRecorder errors;
  EXPECT_THROW(t.PutNumber(1, 2147483648.0), EXBaseError);
  EXPECT_EQ(errors.LastCode(), xbErrNumberTooLarge);
  EXPECT_THROW(t.PutNumber(5, -3e9), EXBaseError);
  EXPECT_THROW(t.PutNumber(2, 1e300), EXBaseError);
  EXPECT_EQ(t.GetNumber(5), 12);

  // B holds a number here: the memo calls must neither read it as a block
  // number nor write a memo block over it (they used to overwrite it).
  EXPECT_EQ(t.MemoLength(4), 0);
  EXPECT_EQ(t.MemoRead(4), "");
  EXPECT_FALSE(t.MemoWrite(4, "text", 4));
  EXPECT_EQ(t.GetNumber(4), 2.5e-300);

  t.BlankRecord();
  // Zero bytes, as other writers blank them (T used to get the year 1).
  EXPECT_EQ(std::string(t.CurRecord + 1, 32), std::string(32, '\0'));
  EXPECT_EQ(t.GetDisplayText(5), "---memo---");
  t.PutNumber(5, 3);
  EXPECT_EQ(t.GetDisplayText(5), "---MEMO---");
}
