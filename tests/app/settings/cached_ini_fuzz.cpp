// Fuzz entry point: any bytes as an INI file, loaded, read, changed and
// written back, then loaded again. Nothing may crash, and the written file
// must load to exactly the lines that were in memory.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "app/settings/cached_ini.h"
#include "platform/rtl/filebytes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* tmp = std::getenv("VX_TEST_TMP");
  static const std::string base = std::string(tmp ? tmp : "/tmp") + "/cached_ini_fuzz_" + std::to_string(getpid());
  const std::string in = base + ".in", out = base + ".out";
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (!vx::WriteFileBytes(in, bytes)) return 0;
  std::remove(out.c_str());

  TStringList written;
  {
    TCachedIniFileEx ini(out);
    ini.LoadFromFile(in);
    TStringList sections;
    ini.ReadSections(&sections);
    for (int i = 0; i < sections.Count() && i < 8; ++i) {
      TStringList keys;
      ini.ReadSection(sections[i], &keys);
      for (int k = 0; k < keys.Count() && k < 8; ++k) {
        ini.ReadInteger(sections[i], keys[k], 0);
        ini.ReadString(sections[i], keys[k], "");
      }
    }
    std::string value = bytes.substr(0, 300);
    for (char& c : value)
      if (c == '\r' || c == '\n') c = ' ';
    ini.WriteString("Fuzz", "key", value);
    ini.GetStrings(&written);
  }
  TCachedIniFile again("");
  again.LoadFromFile(out);
  TStringList reread;
  again.GetStrings(&reread);
  if (!reread.Equals(written)) {
    std::fprintf(stderr, "written file loads differently\n");
    std::abort();
  }
  std::remove(in.c_str());
  std::remove(out.c_str());
  return 0;
}
