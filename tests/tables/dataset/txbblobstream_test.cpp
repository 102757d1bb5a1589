// Memo fields through TXBBlobStream in dBase III, dBase IV and FoxPro
// tables: stream semantics, appends, growing and shrinking edits, read back
// by dbfread and the Perl XBase tools.
#include <memory>

#include "platform/rtl/cp1251.h"
#include "tables/dataset/txbblobstream.h"
#include "tables/dbf/xb_builders.h"
#include "tests/tables/dataset/dataset_testing.h"

namespace vx::test {
namespace {

struct Dialect {
  const char* Name;
  int Kind;  // 0 dBase III, 1 dBase IV, 2 FoxPro
};

class MemoRoundTrip : public ::testing::TestWithParam<Dialect> {};

void BuildNotes(const std::string& path, int kind) {
  std::unique_ptr<XBO_DBFBuild> b;
  if (kind == 1) b = std::make_unique<XBO_DB4Build>(path);
  else if (kind == 2) b = std::make_unique<XBO_DBFoxBuild>(path);
  else b = std::make_unique<XBO_DBFBuild>(path);
  b->AddField("NAME", 'C', 10, 0);
  b->AddField("NOTE", 'M', 10, 0);
  b->Write();
}

std::string Text(int n, char c) { return std::string(std::size_t(n), c); }

TEST_P(MemoRoundTrip, TextsSurviveAppendsAndEditsAndPeersReadThem) {
  DbfScratch dir;
  BuildNotes(dir / "notes.dbf", GetParam().Kind);
  TXBaseDataSet ds;
  ds.SetDatabaseName(dir / "");
  ds.SetTableName("notes.dbf");
  ds.Open();
  const std::vector<std::string> texts = {"short", Text(1500, 'x'), "", Text(700, 'y') + "end"};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    ds.Append();
    ds.FieldByName("NAME")->SetAsString("R" + std::to_string(i));
    ds.FieldByName("NOTE")->SetAsString(texts[i]);
    ds.Post();
  }
  // Grow the first, shrink the second.
  std::vector<std::string> want = texts;
  want[0] = Text(900, 'g');
  want[1] = "tiny";
  ds.First();
  for (int i = 0; i < 2; ++i) {
    ds.Edit();
    ds.FieldByName("NOTE")->SetAsString(want[std::size_t(i)]);
    ds.Post();
    ds.Next();
  }
  ds.First();
  for (const std::string& w : want) {
    EXPECT_EQ(ds.FieldByName("NOTE")->AsString(), w);
    EXPECT_EQ(ds.FieldByName("NOTE")->IsNull(), w.empty());
    ds.Next();
  }
  // A copy carries the memos along with new block numbers.
  ds.CopyFile(dir / "copy.dbf", "");
  ds.Close();

  for (const char* table : {"notes.dbf", "copy.dbf"}) {
    SCOPED_TRACE(table);
    if (GetParam().Kind == 1) {
      // dbfread returns dBase IV memos with extra bytes: the Perl tools read them.
      ASSERT_TRUE(HaveTool("/usr/bin/dbf_dump")) << "dbf_dump missing (scripts/setup.sh installs it)";
      const std::string dump = RunTool("/usr/bin/dbf_dump --fs '|' " + (dir / table) + " 2>&1");
      std::string expected;
      for (std::size_t i = 0; i < want.size(); ++i) expected += "R" + std::to_string(i) + "|" + want[i] + "\n";
      EXPECT_EQ(dump, expected);
    } else {
      std::string expected;
      for (std::size_t i = 0; i < want.size(); ++i) expected += "R" + std::to_string(i) + " " + want[i] + "\n";
      const std::string script =
          "import dbfread,sys\n"
          "for r in dbfread.DBF(sys.argv[1],encoding='cp1251'): print(r['NAME'], r['NOTE'] or '')\n";
      WriteFileBytes(dir / "read.py", script);
      EXPECT_EQ(RunTool("/usr/bin/python3 " + (dir / "read.py") + " " + (dir / table) + " 2>&1"), expected);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Memos, MemoRoundTrip,
                         ::testing::Values(Dialect{"DBT3", 0}, Dialect{"DBT4", 1}, Dialect{"FPT", 2}),
                         [](const auto& info) { return std::string(info.param.Name); });

// Stream semantics on one memo: partial reads, a write in the middle drops
// the rest, a seek past the end leaves zeros, an unwritten stream changes
// nothing.
TEST(BlobStream, ReadWriteSeekOnALoadedMemo) {
  DbfScratch dir;
  BuildNotes(dir / "notes.dbf", 2);
  TXBaseDataSet ds;
  ds.SetDatabaseName(dir / "");
  ds.SetTableName("notes.dbf");
  ds.Open();
  ds.Append();
  ds.FieldByName("NOTE")->SetAsString("0123456789");
  ds.Post();
  auto* field = static_cast<TBlobField*>(ds.FieldByName("NOTE"));
  {
    std::unique_ptr<TStream> s(ds.CreateBlobStream(field, bmRead));
    char buf[100] = {};
    s->Seek(4, soBeginning);
    EXPECT_EQ(s->Read(buf, 100), 6);
    EXPECT_EQ(std::string(buf, 6), "456789");
    EXPECT_THROW(std::unique_ptr<TStream>(ds.CreateBlobStream(field, bmWrite)), EDatabaseError);
  }
  // Records only: the header carries the time of the last write.
  const std::string before = ReadFileBytes(dir / "notes.dbf").substr(97);
  ds.Edit();
  { std::unique_ptr<TStream> s(ds.CreateBlobStream(field, bmReadWrite)); }
  ds.Post();
  EXPECT_EQ(ReadFileBytes(dir / "notes.dbf").substr(97), before);
  ds.Edit();
  {
    std::unique_ptr<TXBBlobStream> s(static_cast<TXBBlobStream*>(ds.CreateBlobStream(field, bmReadWrite)));
    s->Seek(3, soBeginning);
    s->Write("ab", 2);
    EXPECT_EQ(s->Size(), 5);
    s->Seek(8, soBeginning);
    s->Write("z", 1);
    s->Commit();
  }
  ds.Post();
  EXPECT_EQ(ds.FieldByName("NOTE")->AsString(), std::string("012ab\0\0\0z", 9));
  // Cyrillic text passes the OEM code page on disk, zero bytes included.
  ds.Edit();
  ds.FieldByName("NOTE")->SetAsString("Да"_cp + std::string(1, '\0') + "нет"_cp);
  ds.Post();
  EXPECT_EQ(ds.FieldByName("NOTE")->AsString(), "Да"_cp + std::string(1, '\0') + "нет"_cp);
  EXPECT_EQ(ds.Handler()->MemoRead(2).substr(0, 6), std::string("\x84\xA0\0\xAD\xA5\xE2", 6));
  ds.Edit();
  field->Clear();
  ds.Post();
  EXPECT_TRUE(field->IsNull());
}

}  // namespace
}  // namespace vx::test
