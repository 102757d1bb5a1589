// Fuzz entry point: arbitrary bytes opened as a table with a memo file.
//
// Input: a 2-byte little-endian length n, then n bytes of table file, then
// the memo file (written as both .dbt and .fpt, so every dialect finds it).
// Every record is read and every field read as text, number, display text and
// memo. An odd last byte also rewrites a memo and the record, which runs the
// memo allocation over the damaged header. Engine errors are expected; a
// crash, a hang or an unbounded allocation is a finding.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/rtl/sysutils.h"
#include "tables/dbf/xb_fields.h"

namespace {

const std::string& WorkFolder() {
  static const std::string folder = [] {
    const char* base = std::getenv("VX_TEST_TMP");
    const std::filesystem::path p =
        std::filesystem::path(base && *base ? base : "/tmp") / ("dbf-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(p);
    static const std::string* leaked = new std::string(p.string());  // outlives the static below
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(*leaked, ec);
    });
    return p.string();
  }();
  return folder;
}

void Put(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

void ReadEverything(XBO_dBaseFld& t, bool rewrite) {
  const int records = std::min(t.RecordCount, 2000);
  for (int r = 1; r <= records; ++r) {
    try {
      t.ReadRecord(r);
    } catch (const Exception&) { continue; }
    for (int f = 1; f <= t.FieldCount; ++f) {
      try {
        t.GetFieldText(f);
        t.GetDisplayText(f);
        t.GetNumber(f);
        t.GetLogical(f);
        t.MemoRead(f);
      } catch (const Exception&) {}
    }
  }
  t.ReadRecord(xbTop);
  if (!rewrite || t.EOFFlag) return;
  for (int f = 1; f <= t.FieldCount; ++f) {
    const char type = t.FieldType(f);
    if (type != 'M' && type != 'G' && type != 'B') continue;
    try {
      const std::string text(700, 'w');
      t.MemoWrite(f, text.data(), std::int64_t(text.size()));
      t.WriteRecord(t.RecNo);
      t.MemoRead(f);
    } catch (const Exception&) {}
    break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t tableSize = std::min<std::size_t>(data[0] | data[1] << 8, size - 2);
  const std::string base = WorkFolder() + "/t";
  Put(base + ".dbf", data + 2, tableSize);
  Put(base + ".dbt", data + 2 + tableSize, size - 2 - tableSize);
  Put(base + ".fpt", data + 2 + tableSize, size - 2 - tableSize);
  const bool rewrite = data[size - 1] & 1;
  try {
    XBO_dBaseFld t(base + ".dbf", false, rewrite, "");
    ReadEverything(t, rewrite);
  } catch (const Exception&) {}
  return 0;
}
