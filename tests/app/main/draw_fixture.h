// Draw bases written by python3-dbf for the analysis tests (given records,
// or `count` draws of k numbers out of 1..n from Python's seeded generator),
// listed in the options and opened through the main window.
#pragma once

#include <cstdint>
#include <string>

#include "app/settings/options.h"
#include "app_test_support.h"
#include "platform/gui/core/menus.h"
#include "platform/rtl/random.h"
#include "tests/support/run_tool.h"

namespace apptest {

inline const char* const kPython = "/usr/bin/python3";

// Writes folder + name + ".dbf" (dBase III) with the records the Python
// expression `rows` gives (tuples of YEAR, DRAW and k numbers; k, n and the
// seeded generator g are defined) and lists it with its shape.
inline void WriteDrawRows(const std::string& folder, const std::string& name, int k, int n, const std::string& rows) {
  std::string fields = "YEAR N(9,0); DRAW N(9,0)";
  for (int i = 1; i <= k; ++i) fields += "; P" + std::to_string(i) + " N(15,0)";
  const std::string script =
      "import dbf,random,sys\n"
      "k,n=" +
      std::to_string(k) + "," + std::to_string(n) +
      "\n"
      "g=random.Random(7)\n"
      "t=dbf.Table(sys.argv[1],'" +
      fields +
      "',dbf_type='db3')\n"
      "t.open(dbf.READ_WRITE)\n"
      "for r in " +
      rows +
      ":\n"
      "  t.append(tuple(r))\n"
      "t.close()\n";
  WriteFile(folder + "make_base.py", script);
  vx::test::RunTool(std::string(kPython) + " " + folder + "make_base.py " + folder + name + ".dbf");
  ASSERT_TRUE(FileExists(folder + name + ".dbf"));
  TStringGrid* list = frmOptions->sgBaseName;
  const int row = list->RowCount();
  list->SetRowCount(row + 1);
  list->SetCells(0, row, name.c_str());
  list->SetCells(1, row, std::to_string(k).c_str());
  list->SetCells(2, row, std::to_string(n).c_str());
  list->SetCells(3, row, "Тест"_cp);
}

// `count` draws of k numbers out of 1..n, years from 2000 on with draws
// 1..100 in each.
inline void WriteDrawBase(const std::string& folder, const std::string& name, int k, int n, int count) {
  WriteDrawRows(folder, name, k, n,
                "([2000+i//100,i%100+1]+g.sample(range(1,n+1),k) for i in range(" + std::to_string(count) + "))");
}

// Sets a range of draws: from year and draw, to year and draw.
inline void SetRange(TSpinEdit* yearFrom, TSpinEdit* drawFrom, TSpinEdit* yearTo, TSpinEdit* drawTo, int y1, int d1,
                     int y2, int d2) {
  yearFrom->SetValue(y1);
  drawFrom->SetValue(d1);
  yearTo->SetValue(y2);
  drawTo->SetValue(d2);
}

// Opens the base as the recent-file entry does (the index is built).
inline void OpenDrawBase(vx::ScriptedDialogs& dialogs, const std::string& path) {
  dialogs.Expect(vx::DialogKind::Message, "Отсутствует индексный файл"_cp, mrOk);
  TMenuItem item(nullptr);
  item.SetHint(path.c_str());
  FormMain->OpenMainClick(&item);
  ASSERT_TRUE(FormMain->TableMain->Active());
}

// "lotto.dbf" of 1,000 draws (6 of 49, 2000/1 .. 2009/100) written and
// opened; the main page's range runs from year/draw to the last draw.
inline void OpenThousandDraws(vx::ScriptedDialogs& dialogs, const std::string& folder, int year, int draw) {
  WriteDrawBase(folder, "lotto", 6, 49, 1000);
  OpenDrawBase(dialogs, folder + "lotto.dbf");
  SetRange(FormMain->seYearFrom, FormMain->seDrawFrom, FormMain->seYearTo, FormMain->seDrawTo, year, draw, 2009, 100);
}

// The clock the generator reseeds from reads start, start + 1, ... while
// this lives.
class CountingClock {
 public:
  explicit CountingClock(std::uint32_t start) {
    vx::SetRandomizeSource([start]() mutable { return start++; });
  }
  ~CountingClock() { vx::SetRandomizeSource(nullptr); }
  CountingClock(const CountingClock&) = delete;
  CountingClock& operator=(const CountingClock&) = delete;
};

// Runs a Python script (Debian's interpreter, dbfread available) and
// returns its standard output.
inline std::string RunPython(const std::string& folder, const std::string& script, const std::string& args = "") {
  WriteFile(folder + "check.py", script.c_str());
  return vx::test::RunTool(std::string(kPython) + " " + folder + "check.py " + args + " 2>&1");
}

}  // namespace apptest
