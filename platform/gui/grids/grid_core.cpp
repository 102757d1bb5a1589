// TCustomGrid: counts and sizes, options, the current cell and the
// selection, moving and deleting rows and columns, invalidation and the
// window procedure.
#include <algorithm>

#include "platform/gui/grids/grids.h"
#include "platform/gui/controls/scroll_host.h"

namespace {

const char kIndexOutOfRange[] = "Grid index out of range";

// Where index i ends up when the item at from moves to to.
int MoveAdjust(int i, int from, int to) {
  if (i == from) return to;
  if (from < to && i > from && i <= to) return i - 1;
  if (from > to && i >= to && i < from) return i + 1;
  return i;
}

template <typename T>
void MoveItem(std::vector<T>& v, int from, int to) {
  if (from < to) std::rotate(v.begin() + from, v.begin() + from + 1, v.begin() + to + 1);
  else std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + 1);
}

}  // namespace

TCustomGrid::TCustomGrid(TComponent* AOwner, TWinControl* AParent)
    : TCustomControl(AOwner, vx::NewScrollHost()),
      options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect} {
  vx::AttachScrollHost(widget_, this, this);
  vx::SetScrollHostFrame(widget_, true);
  colWidths_.assign(static_cast<std::size_t>(colCount_), defaultColWidth_);
  rowHeights_.assign(static_cast<std::size_t>(rowCount_), defaultRowHeight_);
  horzBar_.Max = vertBar_.Max = 127;
  InitializeCells();
  tabStop_ = true;
  SetBounds(0, 0, 320, 120);
  ColorChanged();
  if (AParent) SetParent(AParent);
}

TCustomGrid::~TCustomGrid() {
  vx::DetachScrollHost(widget_);
  if (handleAllocated_) TCustomGrid::DestroyWnd();
}

void TCustomGrid::InitializeCells() {
  FTopLeft = TGridCoord{fixedCols_, fixedRows_};
  FCurrent = FTopLeft;
  FAnchor = FCurrent;
  if (options_.Contains(goRowSelect)) FAnchor.X = colCount_ - 1;
}

// ---------------------------------------------------------------------------
// Counts and sizes

void TCustomGrid::SetColCount(int v) {
  v = std::max(1, v);
  if (v == colCount_) return;
  if (v <= fixedCols_) SetFixedCols(v - 1);
  ChangeSize(v, rowCount_);
}

void TCustomGrid::SetRowCount(int v) {
  v = std::max(1, v);
  if (v == rowCount_) return;
  if (v <= fixedRows_) SetFixedRows(v - 1);
  ChangeSize(colCount_, v);
}

void TCustomGrid::ChangeSize(int newCols, int newRows) {
  const int oldCols = colCount_, oldRows = rowCount_;
  const bool currentInside = FCurrent.X < oldCols && FCurrent.Y < oldRows;
  colCount_ = newCols;
  rowCount_ = newRows;
  colWidths_.resize(static_cast<std::size_t>(newCols), defaultColWidth_);
  rowHeights_.resize(static_cast<std::size_t>(newRows), defaultRowHeight_);
  // A current cell cut off by the new size comes back to the edge; one that
  // was parked outside on purpose stays where it is.
  if (currentInside && (FCurrent.X >= newCols || FCurrent.Y >= newRows)) {
    if (FInplaceEdit && FInplaceEdit->Showing()) HideEdit();
    FCurrent = TGridCoord{std::min(FCurrent.X, newCols - 1), std::min(FCurrent.Y, newRows - 1)};
  }
  if (FAnchor.X >= newCols || FAnchor.Y >= newRows)
    FAnchor = TGridCoord{std::min(FAnchor.X, newCols - 1), std::min(FAnchor.Y, newRows - 1)};
  if (options_.Contains(goRowSelect)) FAnchor.X = newCols - 1;
  FTopLeft = TGridCoord{std::min(FTopLeft.X, newCols - 1), std::min(FTopLeft.Y, newRows - 1)};
  SizeChanged(oldCols, oldRows);
  InvalidateGrid();
  UpdateScrollRange();
}

void TCustomGrid::SetFixedCols(int v) {
  if (v < 0) throw EInvalidGridOperation(kIndexOutOfRange);
  if (v >= colCount_) throw EInvalidGridOperation("Fixed column count must be less than column count");
  if (v == fixedCols_) return;
  HideEditor();
  fixedCols_ = v;
  InitializeCells();
  InvalidateGrid();
  UpdateScrollRange();
}

void TCustomGrid::SetFixedRows(int v) {
  if (v < 0) throw EInvalidGridOperation(kIndexOutOfRange);
  if (v >= rowCount_) throw EInvalidGridOperation("Fixed row count must be less than row count");
  if (v == fixedRows_) return;
  HideEditor();
  fixedRows_ = v;
  InitializeCells();
  InvalidateGrid();
  UpdateScrollRange();
}

int TCustomGrid::ColWidths(int index) const {
  return index >= 0 && index < colCount_ ? colWidths_[static_cast<std::size_t>(index)] : defaultColWidth_;
}

int TCustomGrid::RowHeights(int index) const {
  return index >= 0 && index < rowCount_ ? rowHeights_[static_cast<std::size_t>(index)] : defaultRowHeight_;
}

void TCustomGrid::SetColWidths(int index, int v) {
  if (index < 0 || index >= colCount_) return;
  v = std::max(0, v);
  if (colWidths_[static_cast<std::size_t>(index)] == v) return;
  colWidths_[static_cast<std::size_t>(index)] = v;
  ColWidthsChanged();
}

void TCustomGrid::SetRowHeights(int index, int v) {
  if (index < 0 || index >= rowCount_) return;
  v = std::max(0, v);
  if (rowHeights_[static_cast<std::size_t>(index)] == v) return;
  rowHeights_[static_cast<std::size_t>(index)] = v;
  RowHeightsChanged();
}

void TCustomGrid::SetDefaultColWidth(int v) {
  defaultColWidth_ = std::max(0, v);
  colWidths_.assign(static_cast<std::size_t>(colCount_), defaultColWidth_);
  ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int v) {
  defaultRowHeight_ = std::max(0, v);
  rowHeights_.assign(static_cast<std::size_t>(rowCount_), defaultRowHeight_);
  RowHeightsChanged();
}

void TCustomGrid::ResetSizes() {
  colWidths_.assign(static_cast<std::size_t>(colCount_), defaultColWidth_);
  rowHeights_.assign(static_cast<std::size_t>(rowCount_), defaultRowHeight_);
}

void TCustomGrid::SetGridLineWidth(int v) {
  v = std::max(0, v);
  if (v == gridLineWidth_) return;
  gridLineWidth_ = v;
  InvalidateGrid();
  UpdateScrollRange();
}

void TCustomGrid::ColWidthsChanged() {
  UpdateScrollRange();
  InvalidateGrid();
  UpdateEdit();
}

void TCustomGrid::RowHeightsChanged() {
  UpdateScrollRange();
  InvalidateGrid();
  UpdateEdit();
}

void TCustomGrid::SizeChanged(int, int) {}

void TCustomGrid::SetOptions(TGridOptions v) {
  if (v.Contains(goRowSelect)) v.Exclude(goAlwaysShowEditor);
  if (v == options_) return;
  options_ = v;
  if (!FEditorMode) {
    if (options_.Contains(goAlwaysShowEditor)) ShowEditor();
    else HideEditor();
  }
  if (!options_.Contains(goEditing) || options_.Contains(goRowSelect)) HideEditor();
  if (options_.Contains(goRowSelect)) FAnchor.X = colCount_ - 1;
  InvalidateGrid();
  UpdateScrollRange();
}

void TCustomGrid::SetFixedColor(TColor v) {
  if (v == fixedColor_) return;
  fixedColor_ = v;
  InvalidateGrid();
}

void TCustomGrid::SetScrollBars(TScrollStyle v) {
  if (v == scrollBars_) return;
  scrollBars_ = v;
  UpdateScrollRange();
}

void TCustomGrid::SetBorderStyle(TBorderStyle v) {
  if (v == borderStyle_) return;
  borderStyle_ = v;
  vx::SetScrollHostFrame(widget_, v != bsNone);
  UpdateScrollRange();
}

void TCustomGrid::SetCtl3D(bool v) {
  if (v == ctl3D_) return;
  ctl3D_ = v;
  InvalidateGrid();
}

QWidget* TCustomGrid::ClientWidget() const { return vx::ScrollHostViewport(widget_); }

int TCustomGrid::ClientWidth() const {
  return vx::ScrollHostClientSize(widget_, width_, height_, const_cast<TCustomGrid*>(this)).cx;
}
int TCustomGrid::ClientHeight() const {
  return vx::ScrollHostClientSize(widget_, width_, height_, const_cast<TCustomGrid*>(this)).cy;
}

// ---------------------------------------------------------------------------
// Current cell and selection

TGridRect TCustomGrid::Selection() const {
  TGridRect r{std::min(FCurrent.X, FAnchor.X), std::min(FCurrent.Y, FAnchor.Y), std::max(FCurrent.X, FAnchor.X),
              std::max(FCurrent.Y, FAnchor.Y)};
  if (options_.Contains(goRowSelect)) {
    r.Left = fixedCols_;
    r.Right = colCount_ - 1;
  }
  return r;
}

void TCustomGrid::SetSelection(const TGridRect& v) {
  const TGridRect old = Selection();
  FAnchor = TGridCoord{v.Left, v.Top};
  FCurrent = TGridCoord{v.Right, v.Bottom};
  SelectionMoved(old);
}

void TCustomGrid::SelectionMoved(const TGridRect& old) {
  InvalidateRect(old);
  InvalidateRect(Selection());
}

bool TCustomGrid::SelectCell(int, int) { return true; }

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show) {
  if (ACol < 0 || ARow < 0 || ACol >= colCount_ || ARow >= rowCount_) throw EInvalidGridOperation(kIndexOutOfRange);
  if (!SelectCell(ACol, ARow)) return;
  const TGridRect old = Selection();
  FCurrent = TGridCoord{ACol, ARow};
  if (!options_.Contains(goAlwaysShowEditor)) HideEditor();
  const bool range = options_.Contains(goRangeSelect) && !options_.Contains(goEditing);
  if (MoveAnchor || !range) FAnchor = FCurrent;
  if (options_.Contains(goRowSelect)) FAnchor.X = colCount_ - 1;
  if (Show) ClampInView(FCurrent);
  SelectionMoved(old);
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
  const TGridCoord before = FCurrent;
  MoveCurrent(ACol, ARow, MoveAnchor, true);
  UpdateEdit();
  if (!(FCurrent == before)) Click();
}

void TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show) {
  MoveCurrent(ACol, ARow, MoveAnchor, Show);
}

void TCustomGrid::MoveAnchor(const TGridCoord& NewAnchor) {
  if (!options_.Contains(goRangeSelect) || options_.Contains(goEditing)) {
    MoveCurrent(NewAnchor.X, NewAnchor.Y, true, true);
    return;
  }
  const TGridRect old = Selection();
  FAnchor = NewAnchor;
  if (options_.Contains(goRowSelect)) FAnchor.X = colCount_ - 1;
  ClampInView(NewAnchor);
  SelectionMoved(old);
}

void TCustomGrid::SetCol(int v) {
  if (v != FCurrent.X) FocusCell(v, FCurrent.Y, true);
}

void TCustomGrid::SetRow(int v) {
  if (v != FCurrent.Y) FocusCell(FCurrent.X, v, true);
}

// ---------------------------------------------------------------------------
// Moving and deleting

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
  if (FromIndex == ToIndex) return;
  if (FromIndex < 0 || ToIndex < 0 || FromIndex >= colCount_ || ToIndex >= colCount_)
    throw EInvalidGridOperation(kIndexOutOfRange);
  HideEdit();
  FCurrent.X = MoveAdjust(FCurrent.X, FromIndex, ToIndex);
  FAnchor.X = MoveAdjust(FAnchor.X, FromIndex, ToIndex);
  ColumnMoved(FromIndex, ToIndex);
  InvalidateGrid();
  UpdateEdit();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
  if (FromIndex == ToIndex) return;
  if (FromIndex < 0 || ToIndex < 0 || FromIndex >= rowCount_ || ToIndex >= rowCount_)
    throw EInvalidGridOperation(kIndexOutOfRange);
  HideEdit();
  FCurrent.Y = MoveAdjust(FCurrent.Y, FromIndex, ToIndex);
  FAnchor.Y = MoveAdjust(FAnchor.Y, FromIndex, ToIndex);
  RowMoved(FromIndex, ToIndex);
  InvalidateGrid();
  UpdateEdit();
}

void TCustomGrid::ColumnMoved(int, int) {}
void TCustomGrid::RowMoved(int, int) {}
void TCustomGrid::RowsRearranged(const std::vector<int>&) {}

void TCustomGrid::RearrangeRows(const std::vector<int>& source) {
  const int newCount = std::max(1, static_cast<int>(source.size()));
  std::vector<int> heights(static_cast<std::size_t>(newCount), defaultRowHeight_);
  for (std::size_t i = 0; i < source.size(); ++i)
    if (source[i] >= 0 && source[i] < rowCount_) heights[i] = rowHeights_[static_cast<std::size_t>(source[i])];
  HideEdit();
  RowsRearranged(source);
  SetRowCount(newCount);
  rowHeights_ = std::move(heights);
  UpdateScrollRange();
  InvalidateGrid();
}

void TCustomGrid::DeleteColumn(int ACol) {
  if (ACol < 0 || ACol >= colCount_) return;
  // The width goes with the column: it moves to the end and is dropped there.
  MoveItem(colWidths_, ACol, colCount_ - 1);
  MoveColumn(ACol, colCount_ - 1);
  SetColCount(colCount_ - 1);
}

void TCustomGrid::DeleteRow(int ARow) {
  if (ARow < 0 || ARow >= rowCount_) return;
  MoveItem(rowHeights_, ARow, rowCount_ - 1);
  MoveRow(ARow, rowCount_ - 1);
  SetRowCount(rowCount_ - 1);
}

// ---------------------------------------------------------------------------
// Invalidation

void TCustomGrid::InvalidateClientRect(const TRect& r) {
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  if (!invalidatePending_) {
    invalidatePending_ = true;
    ++invalidations_;
  }
  vx::ScrollHostUpdate(widget_, r);
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) {
  if (!vx::ScrollHostShown(widget_)) {
    if (!invalidatePending_) {
      invalidatePending_ = true;
      ++invalidations_;
    }
    return;
  }
  InvalidateClientRect(CellRect(ACol, ARow));
}

void TCustomGrid::InvalidateRect(const TGridRect& g) {
  const TRect a = CellRect(std::max(0, g.Left), std::max(0, g.Top));
  const TRect b = CellRect(std::min(g.Right, colCount_ - 1), std::min(g.Bottom, rowCount_ - 1));
  if (a.Right <= a.Left || b.Right <= b.Left) {
    InvalidateGrid();
    return;
  }
  InvalidateClientRect(TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right) + 1,
                             std::max(a.Bottom, b.Bottom) + 1});
}

void TCustomGrid::InvalidateCol(int ACol) { InvalidateRect(TGridRect{ACol, 0, ACol, rowCount_ - 1}); }
void TCustomGrid::InvalidateRow(int ARow) { InvalidateRect(TGridRect{0, ARow, colCount_ - 1, ARow}); }

void TCustomGrid::InvalidateGrid() { InvalidateClientRect(TRect{0, 0, std::max(1, width_), std::max(1, height_)}); }

// ---------------------------------------------------------------------------
// Window

void TCustomGrid::HandleNeeded() {
  if (handleAllocated_) return;
  handleAllocated_ = true;
  CreateWnd();
}

void TCustomGrid::CreateWnd() { UpdateScrollRange(); }

void TCustomGrid::DestroyWnd() { handleAllocated_ = false; }

void TCustomGrid::SetFocus() {
  TCustomControl::SetFocus();
  // A grid that is not on screen still takes the focus as far as it knows.
  if (!vx::ScrollHostShown(widget_) && !focused_) Perform(WM_SETFOCUS);
}

bool TCustomGrid::WantsKey(Word key) const {
  switch (key) {
    case VK_TAB: return options_.Contains(goTabs);
    case VK_RETURN: return options_.Contains(goEditing);
    // Escape ends an open editor; otherwise it is the window's (its Cancel
    // button).
    case VK_ESCAPE: return FInplaceEdit && FInplaceEdit->Showing();
    default: return true;
  }
}

void TCustomGrid::ScrollBarChanged(int bar) { vx::ScrollHostBarChanged(widget_, bar, ScrollBar(bar)); }

void TCustomGrid::DoEnter() {}
void TCustomGrid::DoExit() {}

void TCustomGrid::Resized() {
  TCustomControl::Resized();
  Perform(WM_SIZE);
}

void TCustomGrid::FontChanged() {
  TCustomControl::FontChanged();
  InvalidateGrid();
}

void TCustomGrid::WndProc(TMessage& m) {
  const auto mouseShift = [](WPARAM keys) {
    TShiftState s;
    if (keys & MK_SHIFT) s.Include(ssShift);
    if (keys & MK_CONTROL) s.Include(ssCtrl);
    if (keys & MK_LBUTTON) s.Include(ssLeft);
    if (keys & MK_RBUTTON) s.Include(ssRight);
    if (keys & MK_MBUTTON) s.Include(ssMiddle);
    return s;
  };
  const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
  switch (m.Msg) {
    case WM_LBUTTONDOWN: MouseDown(mbLeft, mouseShift(m.WParam), x, y); break;
    case WM_RBUTTONDOWN: MouseDown(mbRight, mouseShift(m.WParam), x, y); break;
    case WM_MBUTTONDOWN: MouseDown(mbMiddle, mouseShift(m.WParam), x, y); break;
    case WM_LBUTTONUP: MouseUp(mbLeft, mouseShift(m.WParam), x, y); break;
    case WM_RBUTTONUP: MouseUp(mbRight, mouseShift(m.WParam), x, y); break;
    case WM_MBUTTONUP: MouseUp(mbMiddle, mouseShift(m.WParam), x, y); break;
    case WM_LBUTTONDBLCLK: DblClick(); break;
    case WM_MOUSEMOVE: MouseMove(mouseShift(m.WParam), x, y); break;
    case WM_KEYDOWN: {
      Word key = static_cast<Word>(m.WParam);
      m.Result = KeyDown(key, TShiftState{}) ? 1 : 0;
      break;
    }
    case WM_KEYUP: {
      Word key = static_cast<Word>(m.WParam);
      m.Result = KeyUp(key, TShiftState{}) ? 1 : 0;
      break;
    }
    case WM_CHAR: {
      char ch = static_cast<char>(m.WParam);
      m.Result = KeyPress(ch) ? 1 : 0;
      break;
    }
    case WM_MOUSEWHEEL:
      m.Result = DoMouseWheel(mouseShift(LOWORD(m.WParam)), GET_WHEEL_DELTA_WPARAM(m.WParam), TPoint{x, y}) ? 1 : 0;
      break;
    case WM_HSCROLL: WMScroll(SB_HORZ, static_cast<int>(LOWORD(m.WParam)), static_cast<int>(HIWORD(m.WParam))); break;
    case WM_VSCROLL: WMScroll(SB_VERT, static_cast<int>(LOWORD(m.WParam)), static_cast<int>(HIWORD(m.WParam))); break;
    case WM_SIZE:
      UpdateScrollRange();
      if (FInplaceEdit && FInplaceEdit->Showing()) FInplaceEdit->Move(CellRect(FCurrent.X, FCurrent.Y));
      break;
    case WM_SETFOCUS:
      focused_ = true;
      InvalidateRect(Selection());
      UpdateEdit();
      break;
    case WM_KILLFOCUS:
      // WParam set: the focus went to the grid's own editor.
      if (m.WParam) break;
      focused_ = false;
      InvalidateRect(Selection());
      HideEdit();
      break;
    case CM_ENTER: DoEnter(); break;
    case CM_EXIT: DoExit(); break;
    case WM_CANCELMODE:
    case CM_CANCELMODE:
      FGridState = gsNormal;
      InvalidateGrid();
      break;
    case WM_PAINT: invalidatePending_ = false; break;
    case WM_SHOWWINDOW:
      if (m.WParam) HandleNeeded();
      break;
    default: break;
  }
}
