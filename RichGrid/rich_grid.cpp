// TRichStringGrid: construction and destruction, the window, counts and
// fixed cells, the update count, clearing, repainting and the setters of
// the published properties.
#include "RichGrid/rich_grid.h"

#include <algorithm>

#include "RichGrid/drag_markers.h"
#include "RichGrid/rich_inplace_edit.h"
#include "RichGrid/text_routines.h"
#include "platform/gui/draw/bitmap.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/hintwindow.h"
#include "platform/gui/richtext/richedit.h"

TRichStringGrid::TRichStringGrid(TComponent* AOwner, TWinControl* AParent) : TStringGrid(AOwner, nullptr) {
  printSettings_ = std::make_unique<TPrintsettings>();
  htmlSettings_ = std::make_unique<THTMLSettings>();
  navigation_ = std::make_unique<TNavigation>();
  columnSize_ = std::make_unique<TColumnSize>();
  columnSize_->OnChange = [this](TObject*) { StretchRightColumn(); };
  cellNode_ = std::make_unique<TCellNode>();
  cellNode_->OnChange = [this](TObject*) { Repaint(); };
  bands_ = std::make_unique<TBands>();
  bands_->OnChange = [this](TObject*) { Repaint(); };
  sizeWhileTyping_ = std::make_unique<TSizeWhileTyping>();
  mouseActions_ = std::make_unique<TMouseActions>();
  columnHeaders_ = std::make_unique<TStringList>();
  columnHeaders_->OnChange = [this](TObject*) { ApplyColumnHeaders(); };
  rowHeaders_ = std::make_unique<TStringList>();
  rowHeaders_->OnChange = [this](TObject*) { ApplyRowHeaders(); };
  fixedFont_ = std::make_unique<TFont>();
  fixedFont_->OnChange = [this](TObject*) { Repaint(); };
  exchangeRow_ = std::make_unique<TStringList>();
  lookupItems_ = std::make_unique<TStringList>();
  sortIndexes_ = std::make_unique<TSortIndexList>();
  sortUpGlyph_ = std::make_unique<TBitmap>();
  sortDownGlyph_ = std::make_unique<TBitmap>();
  rowIndicator_ = std::make_unique<TBitmap>();
  backGround_ = std::make_unique<TBackGround>();
  backGround_->OnChange = [this](TObject*) { Repaint(); };
  hintWindow_ = new THintWindow(this);
  hintWindow_->SetVisible(false);
  filter_ = std::make_unique<TFilter>();
  wheelScrollLines_ = SystemWheelLines();
  scrollWidth_ = SystemScrollBarWidth();
  SetDefaultRowHeight(21);

  if (!ComponentState().Contains(csDesigning)) {
    for (int d = 0; d < 4; ++d) arrows_[static_cast<std::size_t>(d)] = new TArrowWindow(this, d);
    CreateDragMarker();
    CreateEditorControls();
    if (auto* form = dynamic_cast<TForm*>(AOwner)) {
      resizeForm_ = form;
      previousFormResize_ = form->OnResize;
      form->OnResize = [this](TObject* sender) { FormResize(sender); };
      formWidth_ = form->Width();
      formHeight_ = form->Height();
    }
  }
  richEdit_ = new TRichEdit(this);
  richEdit_->SetVisible(false);
  if (AParent) SetParent(AParent);
}

TRichStringGrid::~TRichStringGrid() {
  ReleaseDropTarget();
  if (resizeForm_) resizeForm_->OnResize = previousFormResize_;
  if (columnSize_->Save) {
    try {
      SaveColSizes();
    } catch (const Exception&) {
      // A settings file that cannot be written must not stop the window closing.
    }
  }
  StopWindowTimers();
  ClearAll();
  if (enableGraphics_)
    for (const auto& item : hiddenRows_)
      for (TObject* o : item->Objects) delete dynamic_cast<TCellGraphic*>(o);
  SetCursor(savedCursor_);
}

// ---------------------------------------------------------------------------
// Window

void TRichStringGrid::CreateWnd() {
  TStringGrid::CreateWnd();
  richEdit_->SetParent(this);
  richEdit_->SetBounds(0, 0, 0, 0);
  if (columnSize_->Save) LoadColSizes();
  // The hover and blink timer starts when something needs it.
  UpdateHoverTimer();
}

void TRichStringGrid::DestroyWnd() {
  StopWindowTimers();
  TStringGrid::DestroyWnd();
}

void TRichStringGrid::Loaded() {
  TStringGrid::Loaded();
  savedCursor_ = Cursor();
  ApplyColumnHeaders();
  ApplyRowHeaders();
  extraTextFlags_ = BiDiMode() != bdLeftToRight ? DT_RTLREADING : 0;
}

void TRichStringGrid::Resized() {
  TStringGrid::Resized();
  if (columnSize_->Stretch()) StretchRightColumn();
  UpdateScrollSettings();
}

void TRichStringGrid::TopLeftChanged() {
  TStringGrid::TopLeftChanged();
  CloseEditControlOnScroll();
  UpdateScrollSettings();
}

void TRichStringGrid::FormResize(TObject* Sender) {
  if (sizeWithForm_ && resizeForm_ && !ComponentState().Contains(csDesigning)) {
    const int w = Width() + resizeForm_->Width() - formWidth_;
    const int h = Height() + resizeForm_->Height() - formHeight_;
    if (w > 0 && h > 0) SetBounds(Left(), Top(), w, h);
  }
  if (resizeForm_) {
    formWidth_ = resizeForm_->Width();
    formHeight_ = resizeForm_->Height();
  }
  if (previousFormResize_) previousFormResize_(Sender);
  if (columnSize_->Stretch()) StretchRightColumn();
}

TArrowWindow* TRichStringGrid::ArrowMarker(int direction) const {
  return direction >= 0 && direction < 4 ? arrows_[static_cast<std::size_t>(direction)] : nullptr;
}

// ---------------------------------------------------------------------------
// Counts and fixed cells

void TRichStringGrid::SetRowCount(int v) {
  TStringGrid::SetRowCount(v);
  if (RowCount() >= 2 && fixedRowAlways_ && TStringGrid::FixedRows() == 0) TStringGrid::SetFixedRows(1);
}

void TRichStringGrid::SetColCount(int v) {
  TStringGrid::SetColCount(v);
  if (ColCount() >= 2 && fixedColAlways_ && TStringGrid::FixedCols() == 0) TStringGrid::SetFixedCols(1);
}

int TRichStringGrid::FixedRows() const {
  const int n = TStringGrid::FixedRows();
  return n == 0 && fixedRowAlways_ ? 1 : n;
}

int TRichStringGrid::FixedCols() const {
  const int n = TStringGrid::FixedCols();
  return n == 0 && fixedColAlways_ ? 1 : n;
}

void TRichStringGrid::SetFixedFooters(int v) {
  fixedFooters_ = std::max(0, v);
  Repaint();
}

void TRichStringGrid::SetGridImages(TImageList* v) {
  if (v == gridImages_) return;
  if (gridImages_) gridImages_->RemoveFreeNotification(this);
  gridImages_ = v;
  if (gridImages_) gridImages_->FreeNotification(this);
  Repaint();
}

void TRichStringGrid::Notification(TComponent* AComponent, TOperation Operation) {
  TStringGrid::Notification(AComponent, Operation);
  if (Operation == opRemove && gridImages_ && AComponent == gridImages_) {
    gridImages_ = nullptr;
    Repaint();
  }
}

void TRichStringGrid::SetFixedRightCols(int v) {
  fixedRightCols_ = std::max(0, v);
  Repaint();
}

void TRichStringGrid::SetFixedColWidth(int v) {
  for (int c = 0; c < TStringGrid::FixedCols(); ++c) SetColWidths(c, v);
}

void TRichStringGrid::SetFixedRowHeight(int v) {
  for (int r = 0; r < TStringGrid::FixedRows(); ++r) SetRowHeights(r, v);
}

void TRichStringGrid::SetColumnHeaders(TStrings* v) {
  if (FixedRows() > 0)
    for (int c = 0; c < ColCount(); ++c) SetCells(c, 0, "");
  columnHeaders_->Assign(v);  // the list's change applies it
}

void TRichStringGrid::SetRowHeaders(TStrings* v) { rowHeaders_->Assign(v); }

void TRichStringGrid::ApplyColumnHeaders() {
  if (FixedRows() <= 0) return;
  for (int i = 0; i < columnHeaders_->Count() && i < ColCount(); ++i)
    SetCells(i, 0, EscapesToLineBreaks(columnHeaders_->Strings(i)));
}

void TRichStringGrid::ApplyRowHeaders() {
  if (FixedCols() <= 0) return;
  for (int i = 0; i < rowHeaders_->Count() && i < RowCount(); ++i)
    SetCells(0, i, EscapesToLineBreaks(rowHeaders_->Strings(i)));
}

// ---------------------------------------------------------------------------
// Update count, repainting, clearing

void TRichStringGrid::BeginUpdate() { ++updateCount_; }

void TRichStringGrid::EndUpdate() {
  if (updateCount_ > 0) --updateCount_;
  if (updateCount_ == 0) InvalidateGrid();
}

void TRichStringGrid::Repaint() { InvalidateGrid(); }

void TRichStringGrid::RepaintCell(int ACol, int ARow) { InvalidateCell(ACol, ARow); }

void TRichStringGrid::RepaintRow(int ARow) { InvalidateRow(ARow); }

void TRichStringGrid::RepaintRect(const TGridRect& r) { InvalidateRect(r); }

bool TRichStringGrid::IsSizingBorder(int X, int Y) {
  const TGridCoord cell = MouseCoord(X, Y);
  if (cell.X < 0 || cell.Y < 0) return false;
  const TRect r = CellRect(cell.X, cell.Y);
  if (cell.X <= FixedCols() && Options().Contains(goRowSizing)) return Y - r.Top < 4 || r.Bottom - Y < 4;
  if (cell.Y <= FixedRows() && Options().Contains(goColSizing)) return X - r.Left < 4 || r.Right - X < 4;
  return false;
}

void TRichStringGrid::HideSelection() {
  if (!selectionHidden_) hiddenSelection_ = Selection();
  selectionHidden_ = true;
  HideEditor();
  const TGridRect old = Selection();
  FCurrent = TGridCoord{ColCount(), RowCount()};
  FAnchor = FCurrent;
  InvalidateRect(old);
}

void TRichStringGrid::UnHideSelection() {
  if (!selectionHidden_) return;
  selectionHidden_ = false;
  const TGridRect& s = hiddenSelection_;
  if (s.Right < ColCount() && s.Bottom < RowCount()) {
    SetSelection(s);
  } else {
    FCurrent = TGridCoord{std::min(s.Left, ColCount() - 1), std::min(s.Top, RowCount() - 1)};
    FAnchor = FCurrent;
    InvalidateGrid();
  }
}

void TRichStringGrid::ClearRect(int ACol1, int ARow1, int ACol2, int ARow2) {
  if (ARow2 < ARow1 || ACol2 < ACol1) return;
  for (int r = ARow1; r <= ARow2; ++r)
    for (int c = ACol1; c <= ACol2; ++c) {
      if (!Cells(c, r).empty()) SetCells(c, r, "");
      if (enableGraphics_)
        if (auto* g = dynamic_cast<TCellGraphic*>(Objects(c, r))) {
          SetObjects(c, r, nullptr);
          delete g;
        }
    }
}

void TRichStringGrid::ClearAll() {
  if (RowCount() >= 1 && ColCount() >= 1) ClearRect(0, 0, ColCount() - 1, RowCount() - 1);
}

void TRichStringGrid::ClearRows(int ARow, int ACount) {
  if (ACount < 1 || RowCount() < 1 || ColCount() < 1) return;
  ClearRect(0, ARow, ColCount() - 1, ARow + ACount - 1);
}

void TRichStringGrid::ClearCols(int ACol, int ACount) {
  if (ACount < 1 || RowCount() < 1 || ColCount() < 1) return;
  ClearRect(ACol, 0, ACol + ACount - 1, RowCount() - 1);
}

// ---------------------------------------------------------------------------
// Setters with side effects

void TRichStringGrid::SetAutoSize(bool v) {
  autoSize_ = v;
  if (v) FitColumns(false, 10);
}

void TRichStringGrid::SetVAlignment(TVAlignment v) {
  vAlignment_ = v;
  vAlignFlags_ = v == vtaCenter ? DT_VCENTER : v == vtaBottom ? DT_BOTTOM : DT_TOP;
  Repaint();
}

void TRichStringGrid::SetSortShow(bool v) {
  sortShow_ = v;
  RepaintRow(0);
}

void TRichStringGrid::SetSortIndexShow(bool v) {
  sortIndexShow_ = v;
  RepaintRow(0);
}

void TRichStringGrid::SetSortColumn(int v) {
  if (v == sortColumn_) return;
  sortColumn_ = v;
  RepaintRow(0);
}

void TRichStringGrid::SetFlat(bool v) {
  flat_ = v;
  SetCtl3D(!v);
  if (!ComponentState().Contains(csLoading)) Repaint();
}

void TRichStringGrid::SetSelectionColor(TColor v) {
  selectionColor_ = v;
  Repaint();
}

void TRichStringGrid::SetSelectionTextColor(TColor v) {
  selectionTextColor_ = v;
  Repaint();
}

void TRichStringGrid::SetSelectionRectangle(bool v) {
  selectionRectangle_ = v;
  Repaint();
}

void TRichStringGrid::SetShowSelection(bool v) {
  showSelection_ = v;
  Repaint();
}

void TRichStringGrid::SetURLColor(TColor v) {
  urlColor_ = v;
  if (urlShow_) Repaint();
}

void TRichStringGrid::SetURLShow(bool v) {
  urlShow_ = v;
  Repaint();
}

void TRichStringGrid::SetURLFull(bool v) {
  urlFull_ = v;
  if (urlShow_) Repaint();
}

void TRichStringGrid::SetWordWrap(bool v) {
  wordWrap_ = v;
  if (auto* editor = dynamic_cast<TRichInplaceEdit*>(FInplaceEdit)) editor->SetWordWrap(v);
  Repaint();
}

void TRichStringGrid::SetMaxEditLength(int v) {
  maxEditLength_ = v;
  if (auto* editor = dynamic_cast<TRichInplaceEdit*>(FInplaceEdit)) editor->SetLengthLimit(v);
}
