// Fuzz entry point: a table and a compound index from arbitrary bytes, used
// through the handler: the first tag walked both ways (deleted records
// hidden or shown), sought, skipped through, filtered and searched. Damage
// may raise engine errors; nothing may crash, read out of bounds or hang.
//
// Input: byte 0 options, bytes 1-2 the table's length (little-endian), then
// the table's bytes, then the index file's bytes.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "tables/handler/xbo_dbhandler.h"

namespace {

std::string ScratchFolder() {
  const char* tmp = std::getenv("VX_TEST_TMP");
  std::filesystem::path dir = std::filesystem::path(tmp ? tmp : "/tmp") / ("handler_fuzz" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return dir.string();
}

void Put(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void Walk(XBO_dBHandler& h, int start, int step) {
  h.GetRec(start);
  for (int i = 0; i < 500 && !h.EOFFlag && !h.BOFFlag; ++i) h.GetRec(step);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = ScratchFolder();
  if (size < 3) return 0;
  const uint8_t options = data[0];
  const size_t tableSize = std::min<size_t>(size - 3, size_t(data[1] | data[2] << 8));
  Put(dir + "/t.dbf", data + 3, tableSize);
  Put(dir + "/t.cdx", data + 3 + tableSize, size - 3 - tableSize);
  try {
    XBO_dBHandler h(dir + "/t.dbf", false, true, "");
    h.UseDeleted = options & 1;
    try {
      if (h.IndexOpenList("t.cdx", "") == 0 && h.TagByNumber(1)) h.SelectTag(h.TagByNumber(1)->TagName(), false);
    } catch (const Exception&) { h.IndexCloseAll(); }
    for (int pass = 0; pass < 2; ++pass) {
      try {
        Walk(h, xbTop, xbNext);
        Walk(h, xbBottom, xbPrior);
        h.Find(std::string(reinterpret_cast<const char*>(data), std::min<size_t>(size, 4)));
        h.SkipRecords(options % 7 - 3);
        h.GetRec(1 + options % 5);
        h.GetRec(xbCurrent);
        if (options & 2) h.LocateRecord(h.FieldCount > 0 ? h.FieldName(1) : "X", {"1"}, true, options & 4);
      } catch (const Exception&) {}
      if (pass == 0) {
        try {
          h.SetFilterActive(true);
          h.SetFilterExpression(options & 8 ? "RECNO()>1" : "DELETED()", false, true);
        } catch (const Exception&) {}
      }
    }
  } catch (const Exception&) {}
  return 0;
}
