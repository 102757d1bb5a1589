// The Statistics page: the button that runs the chosen statistic over the
// probability page's range into SGrid, and the sums of the cells dragged
// over in SGrid. The statistics themselves are in statistics.cpp.
#include <initializer_list>

#include "app/analysis/statistics.h"
#include "app/main/command_scope.h"
#include "app/main/formmain.h"
#include "app/settings/language.h"
#include "platform/gui/core/dialogs.h"
#include "platform/rtl/sysutils.h"

namespace {

struct Heading {
  AnsiString text;
  int width;  // 0: the column keeps its width
};

void SetHeadings(TRichStringGrid* grid, std::initializer_list<Heading> headings, int firstCol = 0) {
  int c = firstCol;
  for (const Heading& h : headings) {
    grid->SetCells(c, 0, h.text);
    if (h.width > 0) grid->SetColWidths(c, h.width);
    ++c;
  }
}

// Writes the table with its first cell at (firstCol, firstRow).
void PutTable(TRichStringGrid* grid, const vx::NumberTable& table, int firstCol, int firstRow) {
  grid->BeginUpdate();
  for (int r = 0; r < table.Rows(); ++r)
    for (int c = 0; c < table.Width; ++c) grid->SetCells(firstCol + c, firstRow + r, IntToStr(table.At(c, r)));
  grid->EndUpdate();
}

// Runs a statistic; a drawn number it cannot count ends it with a message.
template <typename F>
bool Counted(F&& run) {
  try {
    run();
    return true;
  } catch (const vx::EDrawNumber& e) {
    ShowMessage(IntToStr(e.Year) + "/" + IntToStr(e.Draw) + " " + vx::Tr("недопустимый номер"_cp) + " " +
                IntToStr(e.Number));
    return false;
  }
}

}  // namespace

void TFormMain::ConnectStatisticsCommands() {
  btnCalculateStat->OnClick = Command(&TFormMain::btnCalculateStatClick);
  StatDrag = std::make_unique<vx::DragSum>(SGrid, [this](TStringGrid&, TGridCoord anchor, TGridCoord cell) {
    return SelectCells(anchor.X, anchor.Y, cell.X, cell.Y);
  });
  SGrid->OnSelectCell = [this](TObject* s, int c, int r, bool& can) { SGridSelectCell(s, c, r, can); };
  SGrid->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    SGridMouseDown(s, b, sh, x, y);
  };
  SGrid->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { SGridMouseMove(s, sh, x, y); };
  SGrid->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { SGridMouseUp(s, b, sh, x, y); };
  OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { FormMouseUp(s, b, sh, x, y); };
  SGrid->OnGetAlignment = [this](TObject* s, int r, int c, TAlignment& a) { SGridGetAlignment(s, r, c, a); };
}

// ---------------------------------------------------------------------------
// Running a statistic

void TFormMain::btnCalculateStatClick(TObject*) {
  ResetGrid();
  PBar->SetPosition(0);
  {
    vx::ControlsDisabled off(TableMain);
    if (rbtnAverInterval->Checked()) prcAverInterval();
    else if (rbtnNonary->Checked()) prcNonary();
    else if (rbtnFilled->Checked()) prcFilled();
    else if (rbtnAmounts->Checked()) prcAmounts();
    else if (rbtnPairs->Checked()) prcPairs();
    else ShowMessage(vx::Tr("Ничего не выбрано"_cp));
  }
  PBar->SetPosition(0);
}

void TFormMain::ResetGrid() {
  gbxResStat->SetCaption(vx::Tr("Статистика"_cp));
  SGrid->SetColCount(1);
  SGrid->SetRowCount(1);
  SGrid->SetCells(0, 0, "");
}

namespace {

void ShowCount(TGroupBox* box, int count) {
  box->SetCaption(vx::Tr("Статистика"_cp) + " " + IntToStr(count) + " " + vx::Tr("тиражей"_cp));
}

}  // namespace

void TFormMain::prcAverInterval() {
  vx::BusyScope busy(*this);
  if (!CheckOpened() || !Seeking(seYearFrom->Value(), seDrawFrom->Value())) return;
  vx::StatisticResult result;
  vx::DataSetDrawSource source(TableMain);
  if (!Counted([&] { result = vx::IntervalStatistic(source, seYearTo->Value(), seDrawTo->Value(), HighestNumber); }))
    return;
  if (result.EndOfBase) vx::WarnEndOfBase();
  SGrid->SetColCount(7);
  SGrid->SetRowCount(result.Table.Rows() + 1);
  SGrid->SetFixedRows(1);
  SetHeadings(SGrid, {{"№"_cp, 35},
                      {vx::Tr("Всего"_cp), 45},
                      {vx::Tr("Последнее"_cp), 80},
                      {vx::Tr("Сред"_cp), 50},
                      {vx::Tr("Макс"_cp), 50},
                      {vx::Tr("Мин"_cp), 50},
                      {vx::Tr("Ожидается"_cp), 80}});
  PutTable(SGrid, result.Table, 0, 1);
  ShowCount(gbxResStat, result.Count);
}

void TFormMain::prcNonary() {
  vx::BusyScope busy(*this);
  if (!CheckOpened()) return;
  // One column per number field of the table.
  const int numbers = TableMain->FieldCount() - 2;
  SGrid->SetColCount(numbers + 3);
  SetHeadings(SGrid, {{vx::Tr("год"_cp), 35}, {vx::Tr("тираж"_cp), 65}});
  for (int c = 1; c <= numbers; ++c) SetHeadings(SGrid, {{"P" + IntToStr(c), 35}}, c + 1);
  SetHeadings(SGrid, {{vx::Tr("Сумма"_cp), 50}}, numbers + 2);
  vx::DataSetDrawSource source(TableMain);
  const vx::StatisticResult result = vx::NonaryStatistic(source);
  // The rows are the records read: deleted records and keys the index
  // holds once leave no empty rows.
  SGrid->SetRowCount(result.Table.Rows() + 1);
  if (SGrid->RowCount() > 1) SGrid->SetFixedRows(1);
  PutTable(SGrid, result.Table, 0, 1);
  ShowCount(gbxResStat, result.Count);
}

void TFormMain::prcFilled() {
  if (!CheckOpened()) return;
  vx::BusyScope busy(*this);
  vx::DrawRows rows;
  if (!Seeking(seYearTo->Value(), seDrawTo->Value(), [&rows](vx::DrawSource& s) { rows.Add(s); })) return;
  vx::FillingResult result;
  if (!Counted([&] {
        result = vx::FillingStatistic(rows, seYearFrom->Value(), seDrawFrom->Value(), DrawnCount, HighestNumber,
                                      [this] { return PollStop(); });
      }))
    return;
  if (result.Stopped) return;
  if (result.StartOfBase)
    MessageDlg(vx::Tr("Достигнуто начало базы,не совпадающее с указанными значениями!"_cp), mtWarning,
               TMsgDlgButtons{mbCancel});
  SGrid->SetColCount(9);
  SGrid->SetRowCount(DrawnCount + 1);
  SGrid->SetFixedRows(1);
  SetHeadings(SGrid, {{vx::Tr("Номеров"_cp), 50},
                      {vx::Tr("Сред"_cp), 35},
                      {vx::Tr("Макс"_cp), 35},
                      {vx::Tr("Мин"_cp), 35},
                      {vx::Tr("Конечное"_cp), 60},
                      {vx::Tr("Ном.Сред"_cp), 60},
                      {vx::Tr("Ном.Макс"_cp), 60},
                      {vx::Tr("Ном.Мин"_cp), 60},
                      {vx::Tr("Ном.Конечное"_cp), 80}});
  PutTable(SGrid, result.Statistic.Table, 0, 1);
  ShowCount(gbxResStat, result.Statistic.Count);
}

void TFormMain::prcAmounts() {
  vx::BusyScope busy(*this);
  if (!CheckOpened()) return;
  SGrid->SetColCount(7);
  SetHeadings(SGrid, {{vx::Tr("год"_cp), 35},
                      {vx::Tr("тираж"_cp), 65},
                      {vx::Tr("Сумма"_cp), 0},
                      {vx::Tr("Макс"_cp), 0},
                      {vx::Tr("Мин"_cp), 0},
                      {vx::Tr("Сред"_cp), 0},
                      {vx::Tr("Отклонение"_cp), 100}});
  SGrid->SetRowCount(2);
  SGrid->SetFixedRows(1);
  if (!Seeking(seYearFrom->Value(), seDrawFrom->Value())) return;
  vx::DataSetDrawSource source(TableMain);
  const vx::StatisticResult result = vx::SumsStatistic(source, seYearTo->Value(), seDrawTo->Value());
  SGrid->SetRowCount(result.Table.Rows() + 1);
  PutTable(SGrid, result.Table, 0, 1);
  if (result.EndOfBase) vx::WarnEndOfBase();
  ShowCount(gbxResStat, result.Count);
}

void TFormMain::prcPairs() {
  if (!CheckOpened()) return;
  vx::BusyScope busy(*this);
  const int highest = BaseHighestNumber;
  SGrid->SetColCount(highest + 1);
  SGrid->SetRowCount(highest + 1);
  SGrid->SetFixedRows(1);
  SGrid->SetFixedCols(1);
  SGrid->SetCells(0, 0, "№/№"_cp);
  SGrid->SetColWidths(0, 30);
  if (!Seeking(seYearFrom->Value(), seDrawFrom->Value())) return;
  vx::StatisticResult result;
  vx::DataSetDrawSource source(TableMain);
  if (!Counted([&] { result = vx::PairsStatistic(source, seYearTo->Value(), seDrawTo->Value(), highest); })) return;
  if (result.EndOfBase) vx::WarnEndOfBase();
  SGrid->BeginUpdate();
  for (int c = 1; c <= highest; ++c) {
    SGrid->SetCells(c, 0, IntToStr(c));
    SGrid->SetColWidths(c, 25);
    for (int r = 1; r <= highest; ++r) {
      SGrid->SetCells(0, r, IntToStr(r));
      SGrid->SetCells(c, r, r == c ? AnsiString("X") : IntToStr(result.Table.At(c - 1, r - 1)));
    }
  }
  SGrid->EndUpdate();
}

// ---------------------------------------------------------------------------
// Sums of the cells dragged over

AnsiString TFormMain::SelectCells(int ACol1, int ARow1, int ACol2, int ARow2) {
  try {
    const vx::CellSum s = vx::SumCells(*SGrid, {ACol1, ARow1}, {ACol2, ARow2}, vx::SumOf::AllCells);
    lblSelCellsSum->SetCaption("S=" + IntToStr(s.Sum));
    lblSelCellsSum->Repaint();
    lblSelCellsCount->SetCaption("N=" + IntToStr(s.Count));
    lblSelCellsCount->Repaint();
    lblSelCells9Sum->SetCaption("9S=" + IntToStr(vx::Calc9summ(s.Sum)));
    lblSelCells9Sum->Repaint();
  } catch (...) {}
  return lblSelCellsCount->Caption();
}

void TFormMain::ShowMyHint(int, int, const AnsiString& text) { StatDrag->ShowHint(text); }

void TFormMain::SGridSelectCell(TObject*, int ACol, int ARow, bool&) { StatDrag->SelectCell(ACol, ARow); }

void TFormMain::SGridMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) { StatDrag->MouseDown(Button); }

void TFormMain::SGridMouseMove(TObject*, TShiftState, int X, int Y) { StatDrag->MouseMove(*SGrid, X, Y); }

void TFormMain::SGridMouseUp(TObject*, TMouseButton, TShiftState, int X, int Y) { StatDrag->MouseUp(*SGrid, X, Y); }

void TFormMain::FormMouseUp(TObject*, TMouseButton, TShiftState, int, int) { StatDrag->Cancel(); }

void TFormMain::SGridGetAlignment(TObject*, int, int, TAlignment& AAlignment) { AAlignment = taCenter; }
