#include "app/bases/draw_base.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <system_error>

#include "app/bases/base_tables.h"
#include "app/settings/game_shape.h"
#include "app/settings/language.h"
#include "platform/db/dataset.h"
#include "platform/db/db_error.h"
#include "platform/db/field.h"
#include "platform/db/field_types.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/grids/grids.h"
#include "platform/os/os_file.h"
#include "platform/rtl/filebytes.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "tables/dataset/txbasedataset.h"

namespace vx {

bool IsListedBase(const AnsiString& tableName, const AnsiString& listed) {
  const AnsiString name = LowerCase(tableName);
  const AnsiString cell = LowerCase(listed);
  return name == cell || name == cell + ".dbf";
}

BaseSettings FindBaseSettings(const TStringGrid& list, const AnsiString& tableName) {
  BaseSettings settings;
  for (int row = 1; row < list.RowCount(); ++row) {
    if (!IsListedBase(tableName, list.Cells(0, row))) continue;
    if (!TryStrToInt(Trim(list.Cells(1, row)), settings.drawnCount) ||
        !TryStrToInt(Trim(list.Cells(2, row)), settings.highestNumber)) {
      ++settings.badRows;
      continue;
    }
    const GameShape shape = LimitedShape({settings.drawnCount, settings.highestNumber});
    settings.drawnCount = shape.drawnCount;
    settings.highestNumber = shape.highestNumber;
    settings.description = list.Cells(3, row);
    settings.found = true;
    return settings;
  }
  settings.drawnCount = settings.highestNumber = 0;
  return settings;
}

bool IsBaseInList(const TStringGrid& list, const AnsiString& tableName) {
  for (int row = 1; row < list.RowCount(); ++row)
    if (IsListedBase(tableName, list.Cells(0, row))) return true;
  return false;
}

AnsiString DrawIndexPath(const AnsiString& folder, const AnsiString& tableName) {
  return IncludeTrailingPathDelimiter(folder) + ChangeFileExt(ExtractFileName(tableName), "") + ".cdx";
}

bool IndexOlderThanTable(const AnsiString& indexPath, const AnsiString& tablePath) {
  TDateTime indexTime = 0, tableTime = 0;
  if (!FileAge(indexPath, indexTime) || !FileAge(tablePath, tableTime)) return false;
  return (tableTime - indexTime) * 86400.0 > 2.0;
}

AnsiString ReindexQuestion() {
  return AnsiString("А не нужно ли переиндексировать файл?"_cp) + "\r\n" + "Rather then necessary reindex file?";
}

namespace {

// Mends the index file that opening the (closed) table refused as out of
// date, and leaves the table open with it. Every tag of the file is
// rebuilt, not only the draws' one: any other tag lacking the draw would
// refuse the file again; a file without the draws' tag gets it.
void MendIndexFile(TXBaseDataSet& table, const AnsiString& indexPath) {
  table.IndexFiles()->Clear();
  table.SetIndexName("");
  table.Open();
  table.RebuildIndexFile(indexPath);
  table.Close();
  table.IndexFiles()->Add(indexPath);
  table.Open();
  bool hasTag = false;
  for (int n = 1; n <= table.IndexCount() && !hasTag; ++n) hasTag = UpperCase(table.IndexTagName(n)) == DrawIndexTag;
  if (hasTag) table.SetIndexName(DrawIndexTag);
  else Indexing(table);
}

}  // namespace

void OpenWithIndex(TXBaseDataSet& table, const AnsiString& indexPath) {
  try {
    // Naming the file already opens it (the data set checks its list).
    table.IndexFiles()->Clear();
    table.IndexFiles()->Add(indexPath);
    table.SetIndexName(DrawIndexTag);
    table.Open();
  } catch (const EXBaseIndexOutOfDate&) {
    table.Close();
    if (MessageDlg(ReindexQuestion(), mtConfirmation, TMsgDlgButtons{mbYes, mbNo}) != mrYes) throw;
    MendIndexFile(table, indexPath);
  }
}

void CheckDrawLayout(TDataSet& table) {
  for (const char* name : {"YEAR", "DRAW"}) {
    const TField* field = table.FieldByName(name);
    const TFieldType type = field->DataType();
    if (type != ftSmallint && type != ftInteger && type != ftWord && type != ftFloat && type != ftBCD)
      DatabaseErrorFmt(dbtext::FieldTypeMismatch, {name, FieldTypeName(ftInteger), FieldTypeName(type)}, &table);
  }
}

void Indexing(TXBaseDataSet& table) {
  const int order = table.IndexCurrentOrder();
  const AnsiString current = order > 0 ? table.IndexFileName(order) : AnsiString();
  if (!current.empty() && FileExists(current)) {
    table.Reindex();
    return;
  }
  const AnsiString stem = ChangeFileExt(ExtractFileName(table.TableName()), "");
  table.IndexOn(stem + ".cdx", DrawIndexTag, DrawIndexKey, "", 0, 0);
  // Make the new tag the table's order, as the next opening would.
  table.IndexFiles()->Clear();
  table.IndexFiles()->Add(DrawIndexPath(table.TableFolder(), table.TableName()));
  table.SetIndexName(DrawIndexTag);
}

namespace {

// The rebuild of IndexingAlone, from the open table on; leaves the table
// open or closed.
bool RebuildAlone(TXBaseDataSet& table) {
  table.Close();
  table.SetExclusive(true);
  try {
    table.Open();
  } catch (const EXBaseIndexOutOfDate&) {
    // The table is ours (its index is read only after it is opened), and
    // its index is what is to be rebuilt.
    table.Close();
    MendIndexFile(table, DrawIndexPath(table.TableFolder(), table.TableName()));
    return true;
  } catch (Exception&) {
    // Another program has it open (or it cannot be opened at all, which
    // the opening again reports).
    return false;
  }
  Indexing(table);
  return true;
}

}  // namespace

bool IndexingAlone(TXBaseDataSet& table) {
  table.CheckActive();
  table.CheckBrowseMode();
  const bool shared = !table.Exclusive();
  bool alone = false;
  std::exception_ptr failed;
  try {
    alone = RebuildAlone(table);
  } catch (...) {
    failed = std::current_exception();
  }
  // Opened again as it was, however the rebuild ended. When that fails the
  // table stays closed, and why is the error that matters.
  table.Close();
  table.SetExclusive(!shared);
  table.Open();
  if (failed) std::rethrow_exception(failed);
  return alone;
}

BaseSpan ReadSpan(TDataSet& table) {
  BaseSpan span;
  if (table.IsEmpty()) return span;
  span.empty = false;
  table.First();
  span.firstYear = table.Fields()[0]->AsInteger();
  span.firstDraw = table.Fields()[1]->AsInteger();
  table.Last();
  span.lastYear = table.Fields()[0]->AsInteger();
  span.lastDraw = table.Fields()[1]->AsInteger();
  return span;
}

namespace {

std::filesystem::path Canonical(const AnsiString& path) {
  std::error_code ec;
  auto p = std::filesystem::weakly_canonical(std::filesystem::absolute(NativeFileName(path), ec), ec);
  return p;
}

bool SamePath(const AnsiString& a, const AnsiString& b) {
  AnsiString x = a, y = b;
  if (ExtractFileExt(x).empty()) x += ".dbf";
  if (ExtractFileExt(y).empty()) y += ".dbf";
  std::error_code ec;
  const auto nx = std::filesystem::path(NativeFileName(x)), ny = std::filesystem::path(NativeFileName(y));
  if (std::filesystem::exists(nx, ec) && std::filesystem::exists(ny, ec))
    return vx::IsSameFile(x, y);
  return Canonical(x) == Canonical(y);
}

}  // namespace

bool IsOpenTable(const AnsiString& path, std::initializer_list<TDataSet*> tables) {
  for (TDataSet* d : tables) {
    auto* x = dynamic_cast<TXBaseDataSet*>(d);
    if (x && x->Active() && SamePath(path, x->FullTableName())) return true;
  }
  return false;
}

void ShowFileInUse(const AnsiString& path) {
  ShowMessage(Tr("Файл"_cp) + " " + path + " " + Tr("уже используется"_cp));
}

AnsiString CannotModifyText() { return "База либо не открыта,либо уже используется другим приложением"_cp; }

// ---------------------------------------------------------------------------
// Check

namespace {

// The walks of the check run with the data set's controls disabled: a grid
// that follows every record reads all its visible rows again at each step.
// Before a question or a message the controls show again, so that the grid
// stands on the record the check has reached.
class QuietWalk {
 public:
  explicit QuietWalk(TDataSet& table) : table_(table) { Quiet(); }
  ~QuietWalk() { Show(); }
  QuietWalk(const QuietWalk&) = delete;
  QuietWalk& operator=(const QuietWalk&) = delete;
  void Quiet() {
    if (!quiet_) table_.DisableControls();
    quiet_ = true;
  }
  void Show() {
    if (quiet_) table_.EnableControls();
    quiet_ = false;
  }

 private:
  TDataSet& table_;
  bool quiet_ = false;
};

}  // namespace

int CheckBase(TDataSet& table, int highestNumber) {
  int errors = 0;
  QuietWalk walk(table);
  // One error of the check shown with OK and Cancel; false when cancelled.
  auto checkError = [&walk](const AnsiString& text) {
    walk.Show();
    const bool goOn = MessageDlg(text, mtWarning, mbOKCancel) != mrCancel;
    walk.Quiet();
    return goOn;
  };
  auto cancelled = [&] {
    walk.Show();
    ShowMessage(IntToStr(errors) + " " + Tr("ошибок"_cp));
    return errors;
  };
  const int fields = table.FieldCount();

  // Values.
  table.First();
  while (!table.Eof()) {
    for (int i = 0; i < fields; ++i) {
      TField* f = table.Fields()[i];
      int v = 0;
      if (f->IsNull() || !TryStrToInt(Trim(f->AsString()), v)) {
        ++errors;
        if (!checkError(Tr("пустое значение в поле"_cp) + " " + f->FieldName())) return cancelled();
        continue;
      }
      if (i > 0 && v == 0) {
        ++errors;
        if (!checkError(Tr("нулевое значение в поле"_cp) + " " + f->FieldName())) return cancelled();
      }
      if (v < 0) {
        ++errors;
        if (!checkError(Tr("отрицательное значение в поле"_cp) + " " + f->FieldName())) return cancelled();
      }
      if (i >= 2 && v > highestNumber) {
        ++errors;
        if (!checkError(Tr("значение"_cp) + " " + IntToStr(v) + " " + Tr("в поле"_cp) + " " + f->FieldName() + " " +
                        Tr("больше"_cp) + " " + IntToStr(highestNumber)))
          return cancelled();
      }
    }
    table.Next();
  }

  // The index against the table: a program stopped between writing a draw
  // and its key leaves the index without the last draw.
  if (auto* xbase = dynamic_cast<TXBaseDataSet*>(&table); xbase && xbase->Handler()) {
    if (!xbase->Handler()->IndexLackingLastRecord().empty()) {
      ++errors;
      if (!checkError(ReindexQuestion())) return cancelled();
    }
  }

  // Record numbers against the order.
  table.First();
  for (int k = 1; !table.Eof(); ++k, table.Next()) {
    if (table.RecNo() != k) {
      ++errors;
      walk.Show();
      ShowMessage(Tr("Не совпадают номера физической и логической записей"_cp) + "\r" + AnsiString(20, ' ') +
                  Tr("Выполните пункт \"Исправить\""_cp));
      walk.Quiet();
      break;
    }
  }

  // Order of years and draws.
  int previousYear = 0, previousDraw = 0;
  table.First();
  while (!table.Eof()) {
    const int year = table.Fields()[0]->AsInteger();
    const int draw = table.Fields()[1]->AsInteger();
    if (year < previousYear) {
      ++errors;
      if (!checkError(Tr("текущий год меньше предыдущего"_cp))) return cancelled();
    } else if (year == previousYear && draw <= previousDraw) {
      ++errors;
      if (!checkError(Tr("текущий тираж меньше предыдущего"_cp))) return cancelled();
    }
    previousYear = year;
    previousDraw = draw;
    table.Next();
  }

  walk.Show();
  ShowMessage(Tr("Всего ошибок"_cp) + ": " + IntToStr(errors));
  return errors;
}

// ---------------------------------------------------------------------------
// Repair

bool RepairBase(TXBaseDataSet& table, std::initializer_list<TDataSet*> otherTables) {
  table.CheckActive();
  const AnsiString folder = table.TableFolder();
  const AnsiString tablePath = table.FullTableName();
  const AnsiString copyPath = folder + "repair337.dbf";
  if (IsOpenTable(copyPath, otherTables)) {
    ShowMessage("Repair error 1! " + copyPath);
    return false;
  }

  // The copy takes the records in the order the data set walks them.
  table.First();
  try {
    table.CopyFile(copyPath, "");
  } catch (Exception& e) {
    DeleteFile(copyPath);
    ShowMessage(e.Message());
    return false;
  }
  const int order = table.IndexCurrentOrder();
  const AnsiString indexFile = order > 0 ? table.IndexFileName(order) : AnsiString();
  table.Close();

  // Only the finished copy replaces the table, in one step, and not while
  // another program has the table open: its writes would go on into the
  // replaced file and be lost. The exclusive handle keeps others out until
  // the copy is in place.
  OsFile sole;
  if (!sole.Open(tablePath, OsAccess::Read, OsShare::Exclusive)) {
    DeleteFile(copyPath);
    ShowMessage("Repair error 2! " + tablePath);
    return false;
  }
  if (!ReplaceFileAt(copyPath, tablePath)) {
    ShowMessage("Repair error 3! " + copyPath);
    return false;
  }
  sole.Close();
  if (!indexFile.empty()) DeleteFile(indexFile);

  table.IndexFiles()->Clear();
  table.SetIndexName("");
  table.Open();
  Indexing(table);
  return true;
}

}  // namespace vx
