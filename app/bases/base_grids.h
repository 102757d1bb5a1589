// Column layouts of the data-aware grids that show the program's bases.
//
// | grid       | YEAR              | DRAW              | NUM               | P1 … Pn |
// |------------|-------------------|-------------------|-------------------|---------|
// | draw base  | 35, "год", green  | 55, "тираж", red  |                   | 25 each |
// | results    | 33, "год", green  | 51, "тираж", red  |                   | 25 each |
// | tickets    | 33, "год", green  | 51, "тираж", red  | 35, "№", blue     | 25 each |
//
// Every cell and title is centred; the number columns are titled
// "P1" … "Pn"; the three words are translated. The results and tickets
// grids take the count of number columns from their open table and use the
// font "MS Sans Serif" 8.
#pragma once

class TDBGrid;
class TDataSet;

namespace vx {

enum class BaseGridKind { Draw, Results, Tickets };

// Replaces the grid's columns by the layout of `kind` with `numbers`
// number columns, whatever the state of the grid's data set.
void AddBaseColumns(TDBGrid* grid, BaseGridKind kind, int numbers);

// Lays out the grid for `table`: the layout of `kind` while the table is
// open (numbers < 0: as many number columns as the table has number
// fields), otherwise the column list rebuilt from the closed table (empty).
void LayOutBaseGrid(TDBGrid* grid, TDataSet* table, BaseGridKind kind, int numbers = -1);

}  // namespace vx
