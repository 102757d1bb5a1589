// Column layouts of the data-aware grids that show the program's bases.
//
// | grid       | YEAR              | DRAW              | NUM               | P1 … Pn |
// |------------|-------------------|-------------------|-------------------|---------|
// | draw base  | 35, "год", green  | 55, "тираж", red  |                   | 25 each |
// | imported   | 33, "год", green  | 50, "тираж", red  |                   | 25 each |
// | results    | 33, "год", green  | 51, "тираж", red  |                   | 25 each |
// | tickets    | 33, "год", green  | 51, "тираж", red  | 35, "№", blue     | 25 each |
//
// Every cell and title is centred; the number columns are titled
// "P1" … "Pn"; the three words are translated. The results and tickets
// grids take the count of number columns from their open table; they and
// the draw grid of an imported base use the font "MS Sans Serif" 8.
//
// A base is also copied into a rich string grid (the hidden results and
// tickets grids, the base viewer): a heading row, then one row per record.
#pragma once

#include <functional>
#include <string>

#include "platform/rtl/cp1251.h"

class TDBGrid;
class TDataSet;
class TRichStringGrid;

namespace vx {

enum class BaseGridKind { Draw, ImportedDraw, Results, Tickets };

// Replaces the grid's columns by the layout of `kind` with `numbers`
// number columns, whatever the state of the grid's data set.
void AddBaseColumns(TDBGrid* grid, BaseGridKind kind, int numbers);

// Lays out the grid for `table`: the layout of `kind` while the table is
// open (numbers < 0: as many number columns as the table has number
// fields), otherwise the column list rebuilt from the closed table (empty).
void LayOutBaseGrid(TDBGrid* grid, TDataSet* table, BaseGridKind kind, int numbers = -1);

struct GridHeading {
  AnsiString Text;
  int Width = 0;
};

// Empties the grid to one row of one column. Then, when the table is open:
// as many columns as the table has fields, headed by heading(column), and
// one row per record walked from the first (deleted records and keys the
// index holds once leave no empty rows), every field as text; the heading
// row is fixed when rows follow. The table's controls are disabled during
// the walk, and its cursor goes back to the record it was on.
void CopyTableToGrid(TDataSet* table, TRichStringGrid* grid, const std::function<GridHeading(int column)>& heading);

}  // namespace vx
