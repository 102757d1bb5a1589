#include "app/windows/number_series.h"

#include <algorithm>

#include "RichGrid/cell_controls.h"
#include "app/settings/language.h"
#include "platform/gui/core/application.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"

TfrmRowNum* frmRowNum = nullptr;

namespace {

constexpr const char* kFileName = "rownum.ini";
constexpr int kLowest = 1, kHighest = 81;
// A row for every position a combination can have, below the heading row.
constexpr int kPositions = 20;

}  // namespace

TfrmRowNum::TfrmRowNum(TComponent* AOwner) : TForm(AOwner) {
  SetName("frmRowNum");
  SetCaption("Диапазон числовых рядов"_cp);
  SetBorderStyle(bsSizeToolWin);
  SetPosition(poMainFormCenter);
  SetBounds(0, 0, 230, 290);
  SetVisible(false);

  SGridRowNum = new TRichStringGrid(this, this);
  SGridRowNum->SetName("SGridRowNum");
  SGridRowNum->SetAlign(alClient);
  SGridRowNum->SetColCount(3);
  SGridRowNum->SetRowCount(kPositions + 1);
  SGridRowNum->SetFixedCols(1);
  SGridRowNum->SetFixedRows(1);
  SGridRowNum->SetColWidths(0, 40);
  SGridRowNum->SetColWidths(1, 80);
  SGridRowNum->SetColWidths(2, 80);
  SGridRowNum->SetOptions(SGridRowNum->Options() + TGridOptions{goEditing});
  SGridRowNum->OnGetEditorType = [this](TObject* s, int c, int r, TEditorType& e) {
    SGridRowNumGetEditorType(s, c, r, e);
  };
  SGridRowNum->OnGetAlignment = [this](TObject* s, int r, int c, TAlignment& a) {
    SGridRowNumGetAlignment(s, r, c, a);
  };

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
  frmRowNum = this;
  OnDestroy = [this](TObject*) {
    if (frmRowNum == this) frmRowNum = nullptr;
  };
}

void TfrmRowNum::FormCreate(TObject*) {
  fileName_ = vx::ProgramFolder() + kFileName;
  SGridRowNum->ClearAll();
  if (FileExists(fileName_)) {
    try {
      SGridRowNum->LoadFromFile(fileName_);
    } catch (Exception& e) {
      SGridRowNum->ClearAll();
      unreadFile_ = true;
      Application->ShowException(e);
    }
    // A file of a smaller table (one of the older ten rows, or of a single
    // row or column, which took the fixed one away) gets the rows and
    // columns every position needs.
    SGridRowNum->SetColCount(std::max(SGridRowNum->ColCount(), 3));
    SGridRowNum->SetRowCount(std::max(SGridRowNum->RowCount(), kPositions + 1));
    SGridRowNum->SetFixedCols(1);
    SGridRowNum->SetFixedRows(1);
  }
  TGridSpin* spin = SGridRowNum->GridSpin();
  spin->SetMinValue(kLowest);
  spin->SetMaxValue(kHighest);
  spin->SetIncrement(1);
}

void TfrmRowNum::FormActivate(TObject*) {
  SGridRowNum->SetCells(0, 0, vx::Tr("№"_cp));
  SGridRowNum->SetCells(1, 0, vx::Tr("от"_cp));
  SGridRowNum->SetCells(2, 0, vx::Tr("до"_cp));
}

void TfrmRowNum::FormCloseQuery(TObject*, bool& CanClose) {
  // The spin editor keeps what is typed into it until it closes, and the
  // window's close button takes no focus from it: the value goes into its
  // cell before the table is written.
  if (SGridRowNum->ActiveEditControl()) SGridRowNum->LeaveEditControl(0, TShiftState{}, false);
  CanClose = true;
  if (unreadFile_ && TableEmpty()) return;
  try {
    SGridRowNum->SaveToFile(fileName_);
    unreadFile_ = false;
  } catch (Exception&) {}
}

bool TfrmRowNum::TableEmpty() const {
  for (int r = SGridRowNum->FixedRows(); r < SGridRowNum->RowCount(); ++r)
    for (int c = SGridRowNum->FixedCols(); c < SGridRowNum->ColCount(); ++c)
      if (!SGridRowNum->Cells(c, r).empty()) return false;
  return true;
}

void TfrmRowNum::SGridRowNumGetEditorType(TObject*, int ACol, int, TEditorType& AEditor) {
  if (ACol == 1 || ACol == 2) AEditor = edSpinEdit;
}

void TfrmRowNum::SGridRowNumGetAlignment(TObject*, int, int, TAlignment& AAlignment) { AAlignment = taCenter; }

void TfrmRowNum::PositionRange(int position, int& lo, int& hi) const {
  lo = StrToInt(SGridRowNum->Cells(1, position));
  hi = StrToInt(SGridRowNum->Cells(2, position));
}
