#include "app/bases/base_grids.h"

#include <algorithm>

#include "RichGrid/rich_grid.h"
#include "app/settings/language.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/gui/grids/dbgrids.h"
#include "platform/rtl/sysutils.h"

namespace vx {

void AddBaseColumns(TDBGrid* grid, BaseGridKind kind, int numbers) {
  const bool draw = kind == BaseGridKind::Draw;
  const bool imported = kind == BaseGridKind::ImportedDraw;
  if (!draw) {
    grid->Font()->SetName("MS Sans Serif");
    grid->Font()->SetSize(8);
  }
  TDBGridColumns* columns = grid->Columns();
  columns->Clear();
  auto add = [&](const AnsiString& field, const AnsiString& title, int width, TColor color) {
    TColumn* c = columns->Add();
    c->SetFieldName(field);
    c->Title()->SetCaption(title);
    c->SetWidth(width);
    c->SetAlignment(taCenter);
    c->Title()->SetAlignment(taCenter);
    if (color != clNone) c->Font()->SetColor(color);
  };
  add("YEAR", Tr("год"_cp), draw ? 35 : 33, RGB(0, 128, 0));
  add("DRAW", Tr("тираж"_cp), draw ? 55 : imported ? 50 : 51, RGB(255, 0, 0));
  if (kind == BaseGridKind::Tickets) add("NUM", Tr("№"_cp), 35, RGB(0, 0, 255));
  for (int i = 1; i <= numbers; ++i) add("P" + IntToStr(i), "P" + IntToStr(i), 25, clNone);
}

void LayOutBaseGrid(TDBGrid* grid, TDataSet* table, BaseGridKind kind, int numbers) {
  if (!table || !table->Active()) {
    grid->Columns()->Clear();
    grid->Columns()->RebuildColumns();
    return;
  }
  if (numbers < 0) numbers = table->FieldCount() - (kind == BaseGridKind::Tickets ? 3 : 2);
  AddBaseColumns(grid, kind, numbers);
}

void CopyTableToGrid(TDataSet* table, TRichStringGrid* grid, const std::function<GridHeading(int column)>& heading) {
  grid->ClearAll();
  grid->SetRowCount(1);
  grid->SetColCount(1);
  if (!table || !table->Active()) return;
  const int fields = table->FieldCount();
  grid->SetColCount(std::max(fields, 1));
  for (int c = 0; c < fields; ++c) {
    const GridHeading h = heading(c);
    grid->SetCells(c, 0, h.Text);
    if (h.Width > 0) grid->SetColWidths(c, h.Width);
  }
  table->DisableControls();
  try {
    KeepCursor keep(table);
    int row = 0;
    for (table->First(); !table->Eof(); table->Next()) {
      ++row;
      // Grows by half again, not row by row.
      if (row >= grid->RowCount()) grid->SetRowCount(row + 1 + row / 2);
      for (int c = 0; c < fields; ++c) grid->SetCells(c, row, table->Fields()[c]->AsString());
    }
    grid->SetRowCount(row + 1);
    if (row > 0) grid->SetFixedRows(1);
  } catch (...) {
    table->EnableControls();
    throw;
  }
  table->EnableControls();
}

}  // namespace vx
