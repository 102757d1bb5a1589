// Fuzz entry point of the expression language: every input is an expression
// text, compiled against a small table with every field type the link
// knows, and evaluated on two records under two comparison settings. Any
// engine exception is a fine answer; a crash, a hang or a runaway
// allocation is not.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/rtl/sysutils.h"
#include "tables/base/xb_dates.h"
#include "tables/dbf/xb_builders.h"
#include "tables/expr/xb_expr_link.h"

namespace {

std::filesystem::path& ScratchFolder() {
  static std::filesystem::path dir;
  return dir;
}

XBO_dBaseFld* SampleTable() {
  static std::unique_ptr<XBO_dBaseFld> table = [] {
    const char* base = std::getenv("VX_TEST_TMP");
    std::filesystem::path& dir = ScratchFolder();
    dir = std::filesystem::path(base && *base ? base : "/tmp") / ("expr-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "fuzz.dbf").string();
    {
      XBO_DBFBuild b(path);
      b.AddField("YEAR", 'N', 9, 0);
      b.AddField("DRAW", 'N', 9, 0);
      b.AddField("NAME", 'C', 10, 0);
      b.AddField("WHEN", 'D', 8, 0);
      b.AddField("OK", 'L', 1, 0);
      b.AddField("PRICE", 'N', 8, 2);
      b.AddField("NOTES", 'M', 10, 0);
      b.Write();
    }
    auto t = std::make_unique<XBO_dBaseFld>(path, false, true, "");
    t->BlankRecord();
    t->PutNumber(1, 2001);
    t->PutNumber(2, 5);
    t->PutString(3, "Smith");
    t->PutDate(4, xbDBFDate.CTOD("20010106"));
    t->PutLogical(5, true);
    t->PutNumber(6, -3.25);
    t->MemoWrite(7, "a memo", 6);
    t->AppendRecord();
    t->BlankRecord();
    t->AppendRecord();
    // The table stays open for the whole run; its folder goes at exit,
    // after the table has been closed.
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(ScratchFolder(), ec);
    });
    return t;
  }();
  return table.get();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Expressions are short texts; longer inputs only repeat what short ones
  // reach, at quadratic cost.
  if (size > 4096) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  XBO_dBaseFld* table = SampleTable();
  TxbDBFExpUserLink& link = xbTableExpLink(*table);
  for (int record = 1; record <= 2; ++record) {
    try {
      table->ReadRecord(record);
      TxbExpHandler h(&link, record == 2, text);
      h.CaseInsensitive = record == 2;
      vx::ExprValue v;
      h.Evaluate(v);
      h.ExpressionText();
    } catch (const Exception&) {}
  }
  return 0;
}
