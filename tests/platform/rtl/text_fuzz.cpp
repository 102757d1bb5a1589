// Fuzz entry point for everything the runtime reads from text it did not
// write itself: INI files, string-list text, number and date text, and
// format strings. Any input must give a result or the documented
// EConvertError, never a crash or a hang.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/rtl/classes.h"
#include "platform/rtl/codepages.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/filebytes.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/inifiles.h"

namespace {

void TryConversions(const AnsiString& line) {
  StrToIntDef(line, 0);
  StrToInt64Def(line, 0);
  StrToFloatDef(line, 0);
  TDateTime d;
  TryStrToDate(line, d);
  TryStrToDateTime(line, d);
  TryStrToTime(line, d);
  vx::Utf8ToCp1251(line);
  AnsiCompareStr(line, "abc");
  vx::MatchesMask(line, "*.a?c");
  try {
    Format(line, {1, "s", 2.5, -7LL, 'c'});
  } catch (const EConvertError&) {}
  try {
    FormatDateTime(line, 45000.5);
  } catch (const EConvertError&) {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const AnsiString text(reinterpret_cast<const char*>(data), size);
  TStringList lines;
  lines.SetText(text);
  for (int i = 0; i < lines.Count() && i < 64; ++i) TryConversions(lines[i]);
  lines.SetCommaText(text);
  lines.CommaText();

  // The INI part goes through a file: only for a quarter of the inputs,
  // to keep the mutation rate up.
  if (size % 4 != 0) return 0;
  static const std::string path = [] {
    const char* base = std::getenv("VX_TEST_TMP");
    return std::string(base ? base : "/tmp") + "/rtl_text_fuzz.ini";
  }();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) return 0;
  }
  TIniFile ini(path);
  TStringList sections, values;
  ini.ReadSections(&sections);
  for (int i = 0; i < sections.Count() && i < 4; ++i) {
    ini.ReadSectionValues(sections[i], &values);
    for (int k = 0; k < values.Count() && k < 4; ++k) ini.ReadInteger(sections[i], values.Names(k), 0);
  }
  // A write rewrites and syncs the file: rarer still.
  if (size % 32 != 0) return 0;
  ini.WriteString("Fuzz", "Key", "Value");
  if (ini.ReadString("fuzz", "key", "") != "Value" && sections.IndexOf("Fuzz") < 0) std::abort();
  return 0;
}
