// Fuzz entry point: any bytes as an Excel 97-2003 file. The reader either
// gives a workbook or raises EOleException; a workbook it gives is written
// again and reads back to the same sheets and values.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/ole/xls_reader.h"
#include "platform/ole/xls_writer.h"

namespace {

bool SameValue(const OleVariant& a, const OleVariant& b) {
  if (const auto* x = std::get_if<double>(&a))
    if (const auto* y = std::get_if<double>(&b)) return *x == *y || (std::isnan(*x) && std::isnan(*y));
  return a == b;
}

bool Same(const XlsWorkbook& a, const XlsWorkbook& b) {
  if (a.Sheets.size() != b.Sheets.size() && !(a.Sheets.empty() && b.Sheets.size() == 1)) return false;
  for (std::size_t i = 0; i < a.Sheets.size(); ++i) {
    const OleArray &x = a.Sheets[i]->Cells, &y = b.Sheets[i]->Cells;
    if (a.Sheets[i]->Name.substr(0, 31) != b.Sheets[i]->Name) return false;
    for (int r = 0; r < std::max(x.Rows(), y.Rows()); ++r)
      for (int c = 0; c < std::max(x.Cols(), y.Cols()); ++c) {
        OleVariant vx = x.Get(r, c);
        if (const auto* s = std::get_if<std::u16string>(&vx); s && s->size() > kXlsMaxText)
          vx = s->substr(0, kXlsMaxText);
        if (!SameValue(vx, y.Get(r, c))) return false;
      }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  XlsWorkbook book;
  try {
    book = vx::ReadXlsFile(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const EOleException&) { return 0; }
  const XlsWorkbook back = vx::ReadXlsFile(vx::WriteXlsFile(book));
  if (!Same(book, back)) {
    std::fprintf(stderr, "a workbook read does not write back to the same values\n");
    std::abort();
  }
  return 0;
}
