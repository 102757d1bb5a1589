// Data-set adapter behaviour beyond moving: record locks between two data
// sets, busy status on failures, filter and status events, searching, field
// types and conversions, folders from "xbase.cfg".
#include <fstream>

#include "platform/os/program_folder.h"
#include "platform/rtl/cp1251.h"
#include "tables/dbf/xb_builders.h"
#include "tests/tables/dataset/dataset_testing.h"

namespace vx::test {
namespace {

void OpenSecond(TXBaseDataSet& ds, DrawDataSet& f) {
  ds.SetDatabaseName(f.dir / "");
  ds.SetTableName("draws.dbf");
  ds.Open();
}

// Edit locks the record and takes it from disk: a second editor is refused
// until the first posts, and then edits what the first wrote.
TEST(AdapterBehaviour, EditLocksAndRereadsTheRecord) {
  DrawDataSet f(Years(2001, 2001, 5), false, 1);
  TXBaseDataSet other;
  OpenSecond(other, f);
  f.ds.First();
  other.First();
  f.ds.Edit();
  f.ds.FieldByName("P1")->SetAsInteger(77);
  try {
    other.Edit();
    FAIL() << "second editor not refused";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.Message()).find("Record is locked by another user"), std::string::npos);
  }
  EXPECT_EQ(other.State(), dsBrowse);
  f.ds.Post();
  other.Edit();
  EXPECT_EQ(other.FieldByName("P1")->AsInteger(), 77);
  other.FieldByName("P2")->SetAsInteger(88);
  other.Post();
  // An insert takes no lock and posting it releases none of ours.
  f.ds.Append();
  f.ds.FieldByName("YEAR")->SetAsInteger(2002);
  f.ds.Post();
  f.ds.First();
  f.ds.Edit();
  EXPECT_EQ(f.ds.FieldByName("P2")->AsInteger(), 88);
  f.ds.Cancel();
  other.Edit();  // our lock is gone after Cancel
  other.Cancel();
}

// Failures inside index building and copying leave the data set usable.
TEST(AdapterBehaviour, BusyStatusAndControlsComeBackAfterFailures) {
  DrawDataSet f(Years(2001, 2002, 5), false, 20);
  std::vector<int> codes;
  bool busySeen = false;
  f.ds.OnStatus = [&](int code, int, int) {
    codes.push_back(code);
    if (!busySeen) {
      try {
        f.ds.First();
      } catch (const EDatabaseError& e) {
        busySeen = std::string(e.Message()).find("Table is busy building an index") != std::string::npos;
      }
    }
  };
  f.ds.IndexOn("draws.cdx", "INDEX", "YEAR+(0.001*DRAW)", "", 0, 0);
  EXPECT_TRUE(busySeen);
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.front(), -1);
  EXPECT_EQ(codes.back(), 0);
  f.ds.OnStatus = nullptr;
  EXPECT_THROW(f.ds.IndexOn("bad.cdx", "BAD", "NOSUCHFIELD+1", "", 0, 0), Exception);
  EXPECT_FALSE(f.ds.ControlsDisabled());
  EXPECT_NO_THROW(f.ds.First());
  EXPECT_THROW(f.ds.CopyFile(f.dir / "no/such/folder/copy.dbf", ""), Exception);
  EXPECT_FALSE(f.ds.ControlsDisabled());
  EXPECT_EQ(f.WalkForward().size(), 10u);
}

TEST(AdapterBehaviour, OnFilterRecordDecidesFromTheFirstFetch) {
  DbfScratch dir;
  CreateDraws(dir / "draws.dbf", Years(2001, 2001, 10));
  TXBaseDataSet ds;
  ds.SetDatabaseName(dir / "");
  ds.SetTableName("draws.dbf");
  ds.OnFilterRecord = [](TDataSet* d, bool& accept) {
    EXPECT_EQ(d->State(), dsFilter);
    accept = d->FieldByName("DRAW")->AsInteger() % 2 == 0;
  };
  ds.SetFiltered(true);
  ds.Open();
  std::vector<int> draws;
  while (!ds.Eof()) {
    draws.push_back(ds.FieldByName("DRAW")->AsInteger());
    ds.Next();
  }
  EXPECT_EQ(draws, (std::vector<int>{2, 4, 6, 8, 10}));
  ds.SetFiltered(false);
  EXPECT_EQ(ds.FieldByName("DRAW")->AsInteger(), 1);
}

// Locate and Lookup, found or not, leave the cursor where the next move
// continues correctly.
TEST(AdapterBehaviour, LocateAndLookupKeepTheWalkConsistent) {
  DrawDataSet f(Years(2001, 2003, 6), true, 20);
  f.ds.First();
  f.ds.MoveBy(3);
  EXPECT_TRUE(f.ds.Locate("YEAR;DRAW", VarArrayOf({2002, 5}), {}));
  EXPECT_EQ(f.Active(), DrawKey(2002, 5));
  f.ds.Next();
  EXPECT_EQ(f.Active(), DrawKey(2002, 6));
  EXPECT_FALSE(f.ds.Locate("YEAR;DRAW", VarArrayOf({1999, 5}), {}));
  EXPECT_EQ(f.Active(), DrawKey(2002, 6));
  f.ds.Next();
  EXPECT_EQ(f.Active(), DrawKey(2003, 1));
  const Variant p1 = f.ds.Lookup("YEAR;DRAW", VarArrayOf({2001, 2}), "P1");
  EXPECT_EQ(p1.AsInteger(), DrawNumber(2001, 2, 1));
  EXPECT_TRUE(f.ds.Lookup("YEAR;DRAW", VarArrayOf({1990, 2}), "P1").IsNull());
  EXPECT_EQ(f.Active(), DrawKey(2003, 1));
  f.ds.Prior();
  EXPECT_EQ(f.Active(), DrawKey(2002, 6));
  EXPECT_THROW(f.ds.Locate("NOSUCH", Variant(1), {}), EDatabaseError);
}

// Field classes by .dbf type and the values they read and write.
TEST(AdapterBehaviour, FieldTypesAndConversions) {
  DbfScratch dir;
  {
    XBO_DB4Build b(dir / "types.dbf");
    b.AddField("NAME", 'C', 10, 0);
    b.AddField("DAY", 'D', 8, 0);
    b.AddField("SMALL", 'N', 4, 0);
    b.AddField("WIDE", 'N', 5, 0);
    b.AddField("AMOUNT", 'N', 8, 2);
    b.AddField("FLAG", 'L', 1, 0);
    b.AddField("RATE", 'F', 6, 2);
    b.AddField("NOTE", 'M', 10, 0);
    b.Write();
  }
  TXBaseDataSet ds;
  ds.SetDatabaseName(dir / "");
  ds.SetTableName("TYPES.DBF");
  ds.Open();
  const std::pair<const char*, TFieldType> kinds[] = {
      {"NAME", ftString},  {"DAY", ftDate},     {"SMALL", ftSmallint}, {"WIDE", ftInteger},
      {"AMOUNT", ftFloat}, {"FLAG", ftBoolean}, {"RATE", ftFloat},     {"NOTE", ftMemo},
  };
  for (const auto& [name, type] : kinds) EXPECT_EQ(ds.FieldByName(name)->DataType(), type) << name;
  EXPECT_EQ(ds.FieldByName("NAME")->Size(), 10);

  ds.Append();
  ds.FieldByName("NAME")->SetAsString("Привет"_cp);
  ds.FieldByName("DAY")->SetAsDateTime(EncodeDate(2024, 2, 29));
  ds.FieldByName("SMALL")->SetAsInteger(-123);
  ds.FieldByName("WIDE")->SetAsInteger(54321);
  ds.FieldByName("AMOUNT")->SetAsFloat(12.5);
  ds.FieldByName("FLAG")->SetAsBoolean(true);
  ds.Post();
  ds.Append();
  ds.FieldByName("WIDE")->SetAsString("");
  ds.Post();
  ds.First();
  EXPECT_EQ(ds.FieldByName("NAME")->AsString(), "Привет"_cp);
  EXPECT_EQ(ds.FieldByName("DAY")->AsDateTime(), EncodeDate(2024, 2, 29));
  EXPECT_EQ(ds.FieldByName("SMALL")->AsInteger(), -123);
  EXPECT_EQ(ds.FieldByName("WIDE")->AsInteger(), 54321);
  EXPECT_DOUBLE_EQ(ds.FieldByName("AMOUNT")->AsFloat(), 12.5);
  EXPECT_TRUE(ds.FieldByName("FLAG")->AsBoolean());
  EXPECT_TRUE(ds.FieldByName("NOTE")->IsNull());
  // Texts are stored in the OEM code page while TranslateASCII is on.
  EXPECT_EQ(ds.Handler()->GetFieldText(1).substr(0, 6), "\x8F\xE0\xA8\xA2\xA5\xE2");
  EXPECT_EQ(ds.Handler()->GetFieldText(2), "20240229");
  ds.Next();
  EXPECT_TRUE(ds.FieldByName("DAY")->IsNull());
  EXPECT_TRUE(ds.FieldByName("NAME")->IsNull());
  EXPECT_FALSE(ds.FieldByName("WIDE")->IsNull());
  EXPECT_EQ(ds.FieldByName("WIDE")->AsInteger(), 0);
  ds.Close();
  ds.SetTranslateASCII(false);
  ds.Open();
  EXPECT_EQ(ds.FieldByName("NAME")->AsString(), "\x8F\xE0\xA8\xA2\xA5\xE2");
}

// In 0x30 tables B and Y hold raw numbers, not memo blocks.
TEST(AdapterBehaviour, VisualFoxRawNumbersAreFloatFields) {
  DbfScratch dir;
  std::string record = " ";
  const double value = 2.5;
  record.append(reinterpret_cast<const char*>(&value), 8);
  const std::int64_t money = 123450;  // 12.345 * 10000
  record.append(reinterpret_cast<const char*>(&money), 8);
  const std::int32_t whole = -7;
  record.append(reinterpret_cast<const char*>(&whole), 4);
  WriteFileBytes(dir / "fox.dbf",
                 MakeTableBytes(0x30, {{"RATE", 'B', 8, 0}, {"COST", 'Y', 8, 4}, {"N", 'I', 4, 0}}, {record}));
  TXBaseDataSet ds;
  ds.SetDatabaseName(dir / "");
  ds.SetTableName("fox.dbf");
  ds.Open();
  EXPECT_EQ(ds.FieldByName("RATE")->DataType(), ftFloat);
  EXPECT_EQ(ds.FieldByName("COST")->DataType(), ftFloat);
  EXPECT_EQ(ds.FieldByName("N")->DataType(), ftInteger);
  EXPECT_DOUBLE_EQ(ds.FieldByName("RATE")->AsFloat(), 2.5);
  EXPECT_NEAR(ds.FieldByName("COST")->AsFloat(), 12.345, 1e-9);
  EXPECT_EQ(ds.FieldByName("N")->AsInteger(), -7);
}

// A detail table follows its master's (year, draw) through a tag range.
TEST(AdapterBehaviour, DetailFollowsTheMasterRecord) {
  DrawDataSet master(Years(2001, 2002, 2), false, 1);
  DbfScratch dir;
  CreateDraws(dir / "tickets.dbf", {{2001, 1}, {2002, 1}, {2001, 2}, {2001, 1}, {2001, 2}, {2001, 1}});
  {
    XBO_dBHandler h(dir / "tickets.dbf", false, true, "");
    h.IndexOn(dir / "tickets.cdx", "INDEX", "YEAR+(0.001*DRAW)", "", 1, 0);
  }
  TXBaseDataSet detail;
  detail.SetDatabaseName(dir / "");
  detail.SetTableName("tickets.dbf");
  detail.IndexFiles()->Add("tickets.cdx");
  detail.SetIndexName("INDEX");
  detail.SetMasterFields("YEAR;DRAW");
  detail.SetMasterSource(&master.source);
  detail.Open();
  auto count = [&] {
    int n = 0;
    detail.First();
    while (!detail.Eof()) {
      EXPECT_EQ(detail.FieldByName("YEAR")->AsInteger(), master.ds.FieldByName("YEAR")->AsInteger());
      EXPECT_EQ(detail.FieldByName("DRAW")->AsInteger(), master.ds.FieldByName("DRAW")->AsInteger());
      ++n;
      detail.Next();
    }
    return n;
  };
  master.ds.First();
  EXPECT_EQ(count(), 3);
  master.ds.Next();
  EXPECT_EQ(count(), 2);
  master.ds.Next();
  EXPECT_EQ(count(), 1);
  master.ds.Next();
  EXPECT_EQ(count(), 0);
  TDataSource detailSource(nullptr);
  detailSource.SetDataSet(&detail);
  EXPECT_THROW(master.ds.SetMasterSource(&detailSource), EDatabaseError);
}

// "Default Directory" is the program's folder; aliases come from
// "xbase.cfg" beside the program; anything else is a folder.
TEST(AdapterBehaviour, FoldersFromDefaultDirectoryAliasesAndLiterals) {
  DbfScratch dir;
  std::filesystem::create_directories(dir / "sub");
  CreateDraws(dir / "sub/draws.dbf", {{2001, 1}, {2001, 2}});
  CreateDraws(dir / "home.dbf", {{2002, 1}});
  {
    std::ofstream cfg(dir / "xbase.cfg");
    cfg << "[Alias]\r\nMyBase=" << (dir / "sub") << "\r\n";
  }
  SetProgramFolder(dir / "");
  TXBaseDataSet::ReloadAliases();
  struct Restore {
    ~Restore() {
      SetProgramFolder("");
      TXBaseDataSet::ReloadAliases();
    }
  } restore;
  TXBaseDataSet ds;
  ds.SetDatabaseName("mybase");
  ds.SetTableName("draws");
  ds.Open();
  EXPECT_EQ(ds.RecordCount(), 2);
  ds.Close();
  ds.SetDatabaseName("Default Directory");
  ds.SetTableName("home.dbf");
  ds.Open();
  EXPECT_EQ(ds.FieldByName("YEAR")->AsInteger(), 2002);
  ds.Close();
  ds.SetDatabaseName(dir / "sub/");
  ds.SetTableName("draws.dbf");
  ds.Open();
  EXPECT_EQ(ds.RecordCount(), 2);
  ds.Close();
  // A literal folder is not added to the aliases.
  EXPECT_EQ(TXBaseDataSet::AliasList().Count(), 2);
}

}  // namespace
}  // namespace vx::test
