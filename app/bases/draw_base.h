// The draw base's own operations as plain functions over its data set:
// matching a table name against the options' list of bases, the index
// "INDEX" (build, rebuild, age), the first and last draw, the check of the
// base and its repair. The main window's commands call these; dialogs go
// through the dialog service.
#pragma once

#include <initializer_list>

#include "platform/rtl/cp1251.h"

class TDataSet;
class TStringGrid;
class TXBaseDataSet;

namespace vx {

// True when `tableName` names the base listed as `listed` (the list may
// give the name with or without ".dbf"). Only the Latin letters A-Z are
// compared without regard to case.
bool IsListedBase(const AnsiString& tableName, const AnsiString& listed);

// The settings row of a base in the options' list of bases (columns: file
// name, numbers per draw, highest number, description; row 0 is the
// header). Rows are tried in order; a row that names the table but whose
// numbers do not read as integers is skipped and counted in `badRows`. The
// numbers found come limited to the game shape's limits (game_shape.h).
struct BaseSettings {
  bool found = false;
  int drawnCount = 0;
  int highestNumber = 0;
  AnsiString description;
  int badRows = 0;
};
BaseSettings FindBaseSettings(const TStringGrid& list, const AnsiString& tableName);

// True when some row of the options' list of bases names `tableName`.
bool IsBaseInList(const TStringGrid& list, const AnsiString& tableName);

// Folder + table name without extension + ".cdx".
AnsiString DrawIndexPath(const AnsiString& folder, const AnsiString& tableName);

// True when the index file is more than two seconds older than the table.
bool IndexOlderThanTable(const AnsiString& indexPath, const AnsiString& tablePath);

// The question shown when the index may be out of date (kept untranslated).
AnsiString ReindexQuestion();

// Opens the table with its index file indexPath and the tag "INDEX". An
// index that lacks the last draw (a program stopped between writing a draw
// and its key) brings the reindex question: Yes opens the table without it
// and builds the tag anew (Indexing); No raises the engine's error again,
// with nothing left open.
void OpenWithIndex(TXBaseDataSet& table, const AnsiString& indexPath);

// Raises the data set's error ("Field 'YEAR' not found", a type mismatch)
// unless the open table has the numeric fields YEAR and DRAW that the
// index key needs; called before anything is written to the table.
void CheckDrawLayout(TDataSet& table);

// Rebuilds the files of the active tag, or, with no active tag, builds the
// tag "INDEX" in "<table>.cdx" beside the table and makes it active.
void Indexing(TXBaseDataSet& table);

// Indexing with the table held exclusively while it rebuilds: a record
// under edit is posted, the table is closed and opened again alone, its
// index rebuilt, and it is opened again as before (on its first record).
// When another program has the table open, nothing is rebuilt, the
// table is open again as it was and the result is false. A table that
// cannot be opened again stays closed and the error of that opening is
// raised (whatever the rebuild raised before it).
bool IndexingAlone(TXBaseDataSet& table);

// First and last draw of the table in its current order.
struct BaseSpan {
  bool empty = true;
  int firstYear = 0, firstDraw = 0, lastYear = 0, lastDraw = 0;
};
BaseSpan ReadSpan(TDataSet& table);

// True when `path` is the file of one of the open data sets (same file on
// disk, names resolved as the program resolves them).
bool IsOpenTable(const AnsiString& path, std::initializer_list<TDataSet*> tables);

// "Файл <path> уже используется", translated, as a message.
void ShowFileInUse(const AnsiString& path);

// The text (untranslated) for a base that is closed or cannot be changed.
AnsiString CannotModifyText();

// Checks every value, the record numbers against the order and the order
// of years and draws, with a warning (OK/Cancel) per error; Cancel ends the
// check with the count so far. An index lacking the last draw counts as
// an error and brings the reindex question (as a message). Shows the total
// and returns it.
int CheckBase(TDataSet& table, int highestNumber);

// Rebuilds the table so that physical order is the current (index) order
// without deleted and hidden duplicate records: copies it to
// "repair337.dbf" in the table's folder, then renames the finished copy
// over the table and builds the index anew. On failure the table stays
// closed and untouched, a message says what failed (and where a copy was
// left), and the result is false. `otherTables` are refused as the copy's
// place when open.
bool RepairBase(TXBaseDataSet& table, std::initializer_list<TDataSet*> otherTables);

}  // namespace vx
