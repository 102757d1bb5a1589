// A draw base of the program's layout filled with made-up draws, for the
// window tests and screenshots: YEAR, DRAW (1..draws within one year) and
// P1..Pn with n distinct numbers of 1..49 from a fixed pseudo-random
// sequence, so every run sees the same base.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "app/bases/base_tables.h"
#include "platform/db/field.h"
#include "tables/dataset/tcreatexbasedataset.h"
#include "tables/dataset/txbasedataset.h"

namespace apptest {

inline std::unique_ptr<TXBaseDataSet> SampleDrawBase(const AnsiString& folder, const AnsiString& fileName, int draws,
                                                     int numbers = 6) {
  auto table = std::make_unique<TXBaseDataSet>();
  TCreateXBaseDataSet creator;
  TStringList lines;
  vx::DrawFieldLines(lines, numbers);
  if (!vx::CreateTable(*table, creator, folder, fileName, lines)) return nullptr;
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % 49) + 1;
  };
  table->DisableControls();
  for (int d = 1; d <= draws; ++d) {
    std::vector<int> drawn;
    while (static_cast<int>(drawn.size()) < numbers) {
      const int v = next();
      if (std::find(drawn.begin(), drawn.end(), v) == drawn.end()) drawn.push_back(v);
    }
    table->Append();
    table->Fields()[0]->SetAsInteger(2000 + (d - 1) / 100);
    table->Fields()[1]->SetAsInteger(d);
    for (int k = 0; k < numbers; ++k) table->Fields()[k + 2]->SetAsInteger(drawn[static_cast<std::size_t>(k)]);
    table->Post();
  }
  table->EnableControls();
  table->First();
  return table;
}

}  // namespace apptest
