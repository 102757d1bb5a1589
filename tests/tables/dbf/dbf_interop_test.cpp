// Our tables against independent xBase tools, both ways: tables and memos we
// write are read by dbfread, the Perl XBase tools and shapelib; tables the
// tools write are read by us. Both sides print the same canonical dump (see
// dbf_peers.py), so a difference shows as a differing line.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "platform/rtl/cp1251.h"
#include "tables/dbf/xbo_memo.h"
#include "tests/support/run_tool.h"
#include "tests/tables/dbf/dbf_testing.h"

using namespace vx::test;

namespace {

const std::string kPython = "/usr/bin/python3";
const std::string kPeers = std::string(VX_SOURCE_DIR) + "/tests/tables/dbf/dbf_peers.py";

bool ToolPresent(const std::string& path) { return std::filesystem::exists(path); }

// Peer tools' error output is kept with their listing.
std::string RunPeer(const std::string& command, int* status = nullptr) {
  return vx::test::RunTool(command + " 2>&1", status);
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '|': out += "\\|"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Number(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

std::string RStrip(std::string s, bool zerosToo) {
  while (!s.empty() && (s.back() == ' ' || (zerosToo && s.back() == '\0'))) s.pop_back();
  return s;
}

// The canonical dump of a table as we read it.
std::string OurDump(const std::string& path) {
  XBO_dBaseFld t(path, false, false, "");
  std::ostringstream out;
  char head[64];
  std::snprintf(head, sizeof head, "table 0x%02X %d %d %d\n", t.Version, t.HeaderLength, t.RecordLength, t.RecordCount);
  out << head;
  for (const XBFieldDesc& f : t.Fields())
    out << "field " << f.Name << ' ' << f.Type << ' ' << f.Length << ' ' << f.Decimals << '\n';
  std::string live, deleted;
  const bool fox30 = t.Version == 0x30;
  for (int r = 1; r <= t.RecordCount; ++r) {
    t.ReadRecord(r);
    std::string line;
    for (const XBFieldDesc& f : t.Fields()) {
      if (f.Number > 1) line += '|';
      const std::string raw = t.GetFieldText(f.Number);
      const std::string trimmed = RStrip(raw, false);
      switch (f.Type) {
        case 'C': line += Escape(RStrip(raw, true)); break;
        case 'N':
        case 'F':
          if (trimmed.find_first_not_of(' ') != std::string::npos) line += Number(t.GetNumber(f.Number));
          break;
        case 'D':
          if (raw.find_first_not_of(" 0") != std::string::npos) line += raw;
          break;
        case 'L': {
          const char c = raw.empty() ? ' ' : raw[0];
          line += std::strchr("TtYy", c) && c ? "T" : (std::strchr("FfNn", c) && c ? "F" : "");
          break;
        }
        case 'I':
        case 'Y': line += Number(t.GetNumber(f.Number)); break;
        case 'B':
          if (fox30) {
            line += Number(t.GetNumber(f.Number));
            break;
          }
          [[fallthrough]];
        case 'M':
        case 'G': line += Escape(t.MemoRead(f.Number)); break;
        case 'T': {
          if (raw == std::string(8, '\0') || raw == std::string(8, ' ')) break;
          const double v = t.GetNumber(f.Number);
          const double day = std::floor(v / 86400000.0);
          line +=
              std::to_string(std::int64_t(day) + 1721425) + "/" + std::to_string(std::int64_t(v - day * 86400000.0));
          break;
        }
        default: line += Escape(trimmed);
      }
    }
    (t.IsDeleted() ? deleted : live) += (t.IsDeleted() ? "deleted " : "live ") + line + "\n";
  }
  out << live << deleted;
  return out.str();
}

// Records split at 0x1E and fields at 0x1F (dbf_dump with those separators).
std::vector<std::vector<std::string>> Split(const std::string& rows) {
  std::vector<std::vector<std::string>> out;
  std::vector<std::string> record;
  std::string cur;
  for (char c : rows) {
    if (c == '\x1f' || c == '\x1e') {
      record.push_back(cur);
      cur.clear();
      if (c == '\x1e') {
        out.push_back(record);
        record.clear();
      }
    } else {
      cur += c;
    }
  }
  return out;
}

std::string PeerDump(const std::string& path) {
  return RunPeer(kPython + " " + Quote(kPeers) + " dump " + Quote(path));
}

// A missing peer tool fails the test: the test command installs them all.
#define REQUIRE_TOOLS()                                                                                    \
  ASSERT_TRUE(ToolPresent(kPython) && ToolPresent("/usr/bin/dbf_dump") && ToolPresent("/usr/bin/dbfinfo")) \
      << "peer tools missing: run scripts/setup.sh"

// Writes the sample through our engine: appends, edits (memo grows and
// shrinks), deletes. Version 0x30 tables are laid out by hand (no builder
// writes them) with their raw types.
void WriteSample(const std::string& path, std::uint8_t version) {
  if (version == 0x30) {
    WriteFileBytes(path, MakeTableBytes(0x30,
                                        {{"NAME", 'C', 12, 0},
                                         {"AMOUNT", 'N', 8, 2},
                                         {"I", 'I', 4, 0},
                                         {"Y", 'Y', 8, 4},
                                         {"T", 'T', 8, 0},
                                         {"B", 'B', 8, 0},
                                         {"NOTE", 'M', 4, 0}},
                                        {}, 0x02));
    std::string fpt(512, '\0');
    fpt[3] = 8;
    fpt[7] = 64;
    WriteFileBytes(XBobjMemo::MemoFileName(path, 0x30), fpt);
  } else {
    std::unique_ptr<XBO_DBFBuild> b;
    if (version == 0x8B) b = std::make_unique<XBO_DB4Build>(path);
    else if (version == 0xF5) b = std::make_unique<XBO_DBFoxBuild>(path);
    else b = std::make_unique<XBO_DBFBuild>(path);
    b->AddField("NAME", 'C', 12, 0);
    b->AddField("AMOUNT", 'N', 8, 2);
    b->AddField("BIG", 'N', 18, 0);
    b->AddField("RATE", 'F', 10, 4);
    b->AddField("WHEN", 'D', 8, 0);
    b->AddField("OK", 'L', 1, 0);
    if (version != 0x03) b->AddField("NOTE", 'M', 10, 0);
    b->AddField("LONGTEXT", 'C', 300, 0);  // last: shapelib reads only its low length byte
    b->Write();
  }
  XBO_dBaseFld t(path, false, true, "");
  const bool memo = t.FieldNumber("NOTE") > 0;
  const std::string names[] = {"Иванов Пётр"_cp, "Smith"_cp, "Ёлка-|\\"_cp, "last"_cp};
  for (int i = 0; i < 4; ++i) {
    t.BlankRecord();
    t.PutStringByName("NAME", names[i]);
    t.PutNumberByName("AMOUNT", i == 1 ? -0.25 : 12345.67 / (i + 1));
    if (version == 0x30) {
      t.PutNumberByName("I", i == 2 ? -2147483647.0 : 1000.0 * i);
      t.PutNumber(t.FieldNumber("Y"), i == 1 ? -0.0001 : 300000.1234);
      // Record 2 keeps the blank time stamp: dbfread used to fail on the
      // whole table for the year-1 day it was blanked to.
      if (i != 1) t.PutNumber(t.FieldNumber("T"), double(2460000 - 1721425 + i) * 86400000.0 + 3723004);
      t.PutNumberByName("B", 1.0 / 3.0 + i);
    } else {
      t.PutStringByName("LONGTEXT", std::string(250, char('a' + i)) + std::string("конец"_cp));
      t.PutNumberByName("BIG", i == 3 ? -12345678901234567.0 : 1e15 + i);
      t.PutNumberByName("RATE", 3.14159);
      if (i != 2) t.PutStringByName("WHEN", "2024022" + std::to_string(i + 1));
      if (i != 3) t.PutStringByName("OK", i % 2 ? "F" : "T");
    }
    if (memo) {
      const std::string text = "Заметка "_cp + std::to_string(i) + "\r\n" + std::string(100 * i, 'm');
      t.MemoWrite(t.FieldNumber("NOTE"), text.data(), std::int64_t(text.size()));
      // Record 2's memo is emptied again: stored as "0" it used to read in
      // Perl as block 0, the memo file's header.
      if (i == 1) t.MemoWrite(t.FieldNumber("NOTE"), "", 0);
    }
    t.AppendRecord();
  }
  t.ReadRecord(3);
  t.DeleteRecord();
  if (memo) {
    t.ReadRecord(1);
    const std::string grown(3000, 'g');
    t.MemoWrite(t.FieldNumber("NOTE"), grown.data(), 3000);
    t.WriteRecord(1);
    t.ReadRecord(4);
    t.MemoWrite(t.FieldNumber("NOTE"), "short", 5);
    t.WriteRecord(4);
  }
}

}  // namespace

class DbfInteropVersion : public ::testing::TestWithParam<int> {};

TEST_P(DbfInteropVersion, OurTablesReadTheSameInEveryPeer) {
  REQUIRE_TOOLS();
  DbfScratch dir;
  const std::uint8_t version = std::uint8_t(GetParam());
  const std::string path = dir / "sample.dbf";
  WriteSample(path, version);
  const std::string ours = OurDump(path);
  EXPECT_NE(ours.find("deleted "), std::string::npos);

  // dbfread: everything, except dBase IV memo texts (it counts the 8-byte
  // entry header as text); those are checked with Perl below.
  std::string peer = PeerDump(path);
  std::string mine = ours;
  if (version == 0x8B) {
    // Drops the NOTE column (field 7) from every record line.
    auto dropMemo = [](const std::string& dump) {
      std::istringstream in(dump);
      std::string line, out;
      while (std::getline(in, line)) {
        if (line.rfind("live ", 0) == 0 || line.rfind("deleted ", 0) == 0) {
          int column = 0;
          std::size_t from = 0, to = std::string::npos;
          for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\\') {
              ++i;
            } else if (line[i] == '|') {
              ++column;
              if (column == 6) from = i;
              if (column == 7) to = i;
            }
          }
          line.erase(from, to == std::string::npos ? std::string::npos : to - from);
        }
        out += line + "\n";
      }
      return out;
    };
    peer = dropMemo(peer);
    mine = dropMemo(mine);
  }
  EXPECT_EQ(mine, peer);

  // Perl: the header facts, the field list and the values of the live
  // records (it skips deleted ones). The 0x30 raw types are left out: Perl
  // shows their raw numbers.
  XBO_dBaseFld t(path, false, false, "");
  const std::string info = RunPeer("/usr/bin/dbf_dump --info " + Quote(path));
  EXPECT_NE(info.find("Num of records:\t4"), std::string::npos) << info;
  EXPECT_NE(info.find("Header length:\t" + std::to_string(t.HeaderLength)), std::string::npos) << info;
  EXPECT_NE(info.find("Record length:\t" + std::to_string(t.RecordLength)), std::string::npos) << info;
  EXPECT_NE(info.find("Num fields:\t" + std::to_string(t.FieldCount)), std::string::npos) << info;
  for (const XBFieldDesc& f : t.Fields()) {
    char line[80];
    std::snprintf(line, sizeof line, "%d.\t%-16s%-8c%-8d%d", f.Number, f.Name.c_str(), f.Type, f.Length, f.Decimals);
    EXPECT_NE(info.find(line), std::string::npos) << line << "\n" << info;
  }
  const std::vector<std::vector<std::string>> perl =
      Split(RunPeer("/usr/bin/dbf_dump --fs " + Quote("\x1f") + " --rs " + Quote("\x1e") + " " + Quote(path)));
  std::size_t row = 0;
  for (int r = 1; r <= t.RecordCount; ++r) {
    t.ReadRecord(r);
    if (t.IsDeleted()) continue;
    ASSERT_LT(row, perl.size());
    const std::vector<std::string>& values = perl[row++];
    ASSERT_EQ(int(values.size()), t.FieldCount);
    for (const XBFieldDesc& f : t.Fields()) {
      const std::string& got = values[std::size_t(f.Number - 1)];
      const std::string raw = t.GetFieldText(f.Number);
      switch (f.Type) {
        case 'C': EXPECT_EQ(got, RStrip(raw, true)) << f.Name; break;
        case 'N':
        case 'F': EXPECT_DOUBLE_EQ(std::atof(got.c_str()), t.GetNumber(f.Number)) << f.Name; break;
        case 'D': EXPECT_EQ(got, RStrip(raw, false)) << f.Name; break;
        case 'L': EXPECT_EQ(got, raw == "T" ? "1" : raw == "F" ? "0" : "") << f.Name; break;
        case 'M': EXPECT_EQ(got, t.MemoRead(f.Number)) << f.Name; break;
        default: break;
      }
    }
  }
  EXPECT_EQ(row, perl.size());

  // shapelib: the field count, the record count, the deleted flags and the
  // C and N values (shapelib takes a C field's length from its low byte
  // only, so C fields past 255 are left out).
  const std::string shp = RunPeer("/usr/bin/dbfinfo " + Quote(path));
  EXPECT_NE(shp.find(std::to_string(t.FieldCount) + " Columns,  4 Records"), std::string::npos) << shp;
  const std::string dump = RunPeer("/usr/bin/dbfdump -m " + Quote(path));
  for (int r = 1; r <= t.RecordCount; ++r) {
    t.ReadRecord(r);
    const std::size_t at = dump.find("Record: " + std::to_string(r - 1) + "\n");
    ASSERT_NE(at, std::string::npos) << dump;
    const std::size_t next = dump.find("Record: ", at + 8);
    const std::string block = dump.substr(at, next == std::string::npos ? std::string::npos : next - at);
    EXPECT_EQ(block.find("(DELETED)") != std::string::npos, t.IsDeleted()) << block;
    for (const XBFieldDesc& f : t.Fields()) {
      if ((f.Type != 'C' && f.Type != 'N') || f.Length > 255) continue;
      const std::size_t v = block.find("\n" + f.Name + ": ");
      ASSERT_NE(v, std::string::npos) << f.Name << "\n" << block;
      const std::size_t from = v + f.Name.size() + 3;
      const std::string got = block.substr(from, block.find('\n', from) - from);
      if (f.Type == 'C') EXPECT_EQ(RStrip(got, false), RStrip(t.GetFieldText(f.Number), false)) << f.Name;
      else EXPECT_DOUBLE_EQ(std::atof(got.c_str()), t.GetNumber(f.Number)) << f.Name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryVersion, DbfInteropVersion, ::testing::Values(0x03, 0x83, 0x8B, 0xF5, 0x30));

// A descriptor area ended by a line feed instead of 0x0D (older tools, text-
// mode copies) opened before the header check came in and opens in the peer
// readers; it used to be refused as a damaged header.
TEST(DbfInterop, LineFeedTerminatedHeaderOpensReadsAndWrites) {
  REQUIRE_TOOLS();
  DbfScratch dir;
  const std::string path = dir / "lf.dbf";
  WriteSample(path, 0x83);
  std::string bytes = ReadFileBytes(path);
  const std::size_t headerLength = std::size_t(LE16At(bytes, 8));
  ASSERT_EQ(bytes[headerLength - 1], '\x0D');
  bytes[headerLength - 1] = '\x0A';
  WriteFileBytes(path, bytes);
  const std::string before = OurDump(path);
  EXPECT_EQ(before, PeerDump(path));
  {
    XBO_dBaseFld t(path, false, true, "");
    EXPECT_EQ(t.FieldCount, 8);
    t.ReadRecord(2);
    EXPECT_EQ(t.GetFieldText(1), "Smith       ");
    t.PutStringByName("NAME", "Edited");
    t.MemoWrite(t.FieldNumber("NOTE"), "new memo", 8);
    t.WriteRecord(2);
    t.BlankRecord();
    t.PutStringByName("NAME", "Appended");
    t.PutNumberByName("AMOUNT", 1.5);
    t.AppendRecord();
  }
  const std::string after = OurDump(path);
  EXPECT_NE(after.find("live Edited|-0.25|"), std::string::npos) << after;
  EXPECT_NE(after.find("|new memo|"), std::string::npos) << after;
  EXPECT_NE(after.find("live Appended|1.5|"), std::string::npos) << after;
  EXPECT_EQ(after, PeerDump(path));
  // The header keeps the byte it had; only whole new tables get 0x0D.
  EXPECT_EQ(ReadFileBytes(path)[headerLength - 1], '\x0A');
}

TEST(DbfInterop, PythonDbfTablesOpenWithTheSameValues) {
  REQUIRE_TOOLS();
  DbfScratch dir;
  for (const char* format : {"db3", "fp", "vfp"}) {
    const std::string path = dir / (std::string(format) + ".dbf");
    int status = 0;
    const std::string made = RunPeer(kPython + " " + Quote(kPeers) + " make " + format + " " + Quote(path), &status);
    ASSERT_EQ(status, 0) << made;
    const std::string ours = OurDump(path);
    EXPECT_EQ(ours, PeerDump(path)) << format;
    EXPECT_NE(ours.find(("Первая запись\\r\\nвторая строка"_cp).str()), std::string::npos) << format;
  }
}

TEST(DbfInterop, PerlAndShapelibTablesOpenWithTheSameValues) {
  REQUIRE_TOOLS();
  DbfScratch dir;
  // Perl writes dBase III with a memo, and dBase IV tables (version 0x8B
  // after patching its 0x84).
  for (int version : {3, 4}) {
    const std::string path = dir / ("perl" + std::to_string(version) + ".dbf");
    const std::string script =
        "use XBase; my $t = XBase->create(name => '" + path + "', version => " + std::to_string(version) +
        ", field_names => ['NAME','AMOUNT','WHEN','OK','NOTE'], field_types => ['C','N','D','L','M'],"
        " field_lengths => [20,10,8,1,10], field_decimals => [0,3,0,0,0]) or die XBase->errstr;"
        " $t->set_record(0, 'Perl one', 1.5, '20240101', 1, 'memo text one');"
        " $t->set_record(1, 'Perl two', -7.125, '', 0, 'x' x 1500);"
        " $t->set_record(2, 'gone', 3, '20000101', 1, 'deleted memo'); $t->delete_record(2);"
        " $t->close;";
    WriteFileBytes(dir / "make.pl", script);
    int status = 0;
    const std::string out = RunPeer("/usr/bin/perl " + Quote(dir / "make.pl"), &status);
    ASSERT_EQ(status, 0) << out;
    std::string bytes = ReadFileBytes(path);
    if (std::uint8_t(bytes[0]) == 0x84) {
      bytes[0] = char(0x8B);
      WriteFileBytes(path, bytes);
    }
    const std::string ours = OurDump(path);
    EXPECT_NE(ours.find("live Perl two|-7.125||F|" + std::string(1500, 'x')), std::string::npos) << ours;
    EXPECT_NE(ours.find("deleted gone|3|20000101|T|deleted memo"), std::string::npos) << ours;
    if (version == 3) { EXPECT_EQ(ours, PeerDump(path)); }
  }

  const std::string shp = dir / "shape.dbf";
  int status = 0;
  std::string out = RunPeer("/usr/bin/dbfcreate " + Quote(shp) + " -s NAME 16 -n VALUE 12 3 -n COUNT 6 0", &status);
  ASSERT_EQ(status, 0) << out;
  out = RunPeer(
      "/usr/bin/dbfadd " + Quote(shp) + " 'first row' 2.75 12 && /usr/bin/dbfadd " + Quote(shp) + " second -1000.5 -3",
      &status);
  ASSERT_EQ(status, 0) << out;
  const std::string ours = OurDump(shp);
  EXPECT_EQ(ours, PeerDump(shp));
  EXPECT_NE(ours.find("live second|-1000.5|-3"), std::string::npos) << ours;
}
