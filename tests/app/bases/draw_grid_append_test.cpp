// Draws typed into the data-aware grid over a new draw base land in its
// index "INDEX" (checked by Perl's index_dump).
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/bases/base_tables.h"
#include "app/bases/draw_base.h"
#include "platform/db/data_source.h"
#include "platform/gui/core/application.h"
#include "platform/gui/grids/dbgrids.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/input_simulation.h"
#include "platform/rtl/filebytes.h"
#include "tables/dataset/tcreatexbasedataset.h"
#include "tables/dataset/txbasedataset.h"
#include "tests/support/scratch_folder.h"

TEST(DrawGridAppend, TypedDrawsLandInTheIndex) {
  const std::string folder = vx::test::NamedTestFolder("app", "DrawGridAppend") + "/";
  Application->Initialize();
  vx::ScriptedDialogs dialogs;
  dialogs.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };

  TXBaseDataSet table;
  TCreateXBaseDataSet creator;
  TStringList lines;
  vx::DrawFieldLines(lines, 2);
  ASSERT_TRUE(vx::CreateTable(table, creator, folder, "grid.dbf", lines));
  vx::Indexing(table);

  TDataSource source;
  source.SetDataSet(&table);
  auto* form = new TForm(nullptr);
  auto* grid = new TDBGrid(form, form);
  grid->SetBounds(0, 0, 300, grid->DefaultRowHeight() * 6);
  auto options = grid->Options();
  options.Include(dgEditing);
  grid->SetOptions(options);
  grid->SetDataSource(&source);

  auto type = [&](int column, const std::string& text) {
    grid->SetSelectedIndex(column);
    vx::SendText(grid, text);
    vx::SendKey(grid, VK_RETURN);
  };
  vx::SendKey(grid, VK_INSERT);
  const std::array<std::array<const char*, 4>, 3> draws{
      {{"2024", "3", "5", "6"}, {"2024", "1", "7", "8"}, {"2024", "2", "9", "10"}}};
  for (std::size_t i = 0; i < draws.size(); ++i) {
    if (i) {
      vx::SendKey(grid, VK_END, TShiftState{ssCtrl});  // to the last draw in index order
      vx::SendKey(grid, VK_DOWN);                      // a new row after it
    }
    for (int c = 0; c < 4; ++c) type(c, draws[i][static_cast<std::size_t>(c)]);
  }
  table.Post();
  EXPECT_EQ(table.RecordCount(), 3);
  delete form;
  table.Close();

  std::string dump;
  const std::string command =
      "/usr/bin/index_dump --type=num " + vx::NativeFileName(folder + "grid.cdx") + " INDEX 2>&1";
  if (FILE* p = popen(command.c_str(), "r")) {
    std::array<char, 512> buf{};
    while (std::size_t n = fread(buf.data(), 1, buf.size(), p)) dump.append(buf.data(), n);
    pclose(p);
  }
  EXPECT_EQ(dump, "2024.001 2\n2024.002 3\n2024.003 1\n");
}
