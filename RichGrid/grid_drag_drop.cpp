// TRichStringGrid: drag and drop. As a target: the grid scrolls and
// marks where a drag would land, takes dropped text into its cells from
// the cell under the mouse (inserting rows for it with OleInsertRows),
// reports dropped columns, and loads one dropped separated-values or
// spreadsheet file. As a source: a drag that starts on a heading carries
// the column, any other the selection's text; a move takes the dragged
// cells (or rows) away afterwards. When the drag came back into the same
// grid, the rows its drop inserted shift the dragged rows, and cells the
// drop wrote are left alone. A drop that could write only some of the
// text (cells it may not edit, or past its edge) costs the source only
// those: a grid of this program that dragged it hears which fields were
// written and clears just their cells (a row goes only when written
// whole); any other source is answered copy and keeps all it sent.
#include <algorithm>

#include "RichGrid/drag_markers.h"
#include "RichGrid/grid_drag_drop.h"
#include "RichGrid/rich_grid.h"
#include "platform/gui/core/application.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/sysutils.h"

namespace {

// OLE is made ready when the grid's code is loaded.
[[maybe_unused]] const bool kOleReady = [] {
  const HRESULT result = OleInitialize(nullptr);
  if (result != S_OK && result != S_FALSE)
    throw EAssertionFailed("OleInitialize failed ($" + IntToHex(static_cast<std::uint32_t>(result), 8) +
                           ") (RichGrid)");
  return true;
}();

bool Contains(const TGridRect& r, int col, int row) {
  return col >= r.Left && col <= r.Right && row >= r.Top && row <= r.Bottom;
}

// The grid whose text drag runs (drags run one at a time, and drops of a
// drag of this program arrive while it runs).
TRichStringGrid* g_textDragSource = nullptr;

bool AllOf(const std::vector<bool>& v) { return std::find(v.begin(), v.end(), false) == v.end(); }

}  // namespace

// ---------------------------------------------------------------------------
// The target and source objects

TGridDropTarget::TGridDropTarget(TRichStringGrid* grid) : grid_(grid) { SetAcceptColumns(true); }

void TGridDropTarget::DropText(TPoint pt, const AnsiString& text) {
  const TRichStringGrid::DropTaken taken = grid_->OleDropText(pt, text);
  if (taken == TRichStringGrid::DropTaken::Nothing) DropNotTaken();
  else if (taken == TRichStringGrid::DropTaken::Part) DropTakenInPart();
}
void TGridDropTarget::DropColumn(TPoint pt, int column) { grid_->OleDropColumn(pt, column); }
void TGridDropTarget::DropRichText(TPoint pt, const AnsiString& richText) {
  if (!grid_->OleDropRichText(pt, richText)) DropNotTaken();
}
void TGridDropTarget::DropFiles(TPoint, TStrings* files) {
  if (!grid_->OleDropFiles(files)) DropNotTaken();
}
void TGridDropTarget::DragMouseMove(TPoint pt, bool& allow, int formats) { grid_->OleDragMove(pt, allow, formats); }
void TGridDropTarget::DragMouseLeave() { grid_->HideDropMarkers(); }

void TGridDropSource::CurrentEffect(DWORD effect) {
  if (effect == DROPEFFECT_COPY || effect == DROPEFFECT_MOVE) lastEffect_ = effect;
}

void TGridDropSource::QueryDrag() {
  TPopupButton* marker = grid_->dragMarker_;
  if (!marker) return;
  const TPoint at = Mouse->CursorPos();
  marker->SetBounds(at.X, at.Y - marker->Height(), marker->Width(), marker->Height());
}

// ---------------------------------------------------------------------------
// Switches

void TRichStringGrid::CreateDragMarker() { dragMarker_ = new TPopupButton(this); }

void TRichStringGrid::ReleaseDropTarget() {
  if (dropTargetRegistered_) RevokeDragDrop(this);
  dropTargetRegistered_ = false;
  if (dropTarget_) dropTarget_->Release();
  dropTarget_ = nullptr;
}

void TRichStringGrid::SetOleDropTarget(bool v) {
  if (v == oleDropTarget_) return;
  oleDropTarget_ = v;
  if (v) {
    if (!dropTarget_) {
      dropTarget_ = new TGridDropTarget(this);
      dropTarget_->AddRef();
    }
    dropTarget_->SetAcceptText(oleAcceptText_);
    dropTarget_->SetAcceptFiles(oleAcceptFiles_);
    dropTargetRegistered_ = RegisterDragDrop(this, dropTarget_) == S_OK;
  } else if (dropTargetRegistered_) {
    RevokeDragDrop(this);
    dropTargetRegistered_ = false;
  }
}

void TRichStringGrid::SetOleAcceptText(bool v) {
  oleAcceptText_ = v;
  if (dropTarget_) dropTarget_->SetAcceptText(v);
}

void TRichStringGrid::SetOleAcceptFiles(bool v) {
  oleAcceptFiles_ = v;
  if (dropTarget_) dropTarget_->SetAcceptFiles(v);
}

void TRichStringGrid::SetOleDropRTF(bool v) {
  oleDropRTF_ = v;
  SetRichTextDragDrop(v);
}

// ---------------------------------------------------------------------------
// As a target

TGridCoord TRichStringGrid::CellAtScreen(TPoint pt) {
  const TPoint p = ScreenToClient(pt);
  return MouseCoord(p.X, p.Y);
}

void TRichStringGrid::HideDropMarkers() {
  for (int d = 0; d < 3; ++d)
    if (arrows_[static_cast<std::size_t>(d)]) arrows_[static_cast<std::size_t>(d)]->Hide();
}

void TRichStringGrid::OleDragMove(TPoint pt, bool& allow, int formats) {
  const TGridCoord cell = CellAtScreen(pt);
  allow = cell.X >= 0 && cell.Y >= 0;
  const bool column = (formats & kDragColumn) != 0;
  if (!column && allow) {
    // At the edges the view moves on a row.
    if (cell.Y == 0 && TopRow() > FixedRows()) SetTopRow(TopRow() - 1);
    else if (cell.Y == TopRow() + VisibleRowCount()) SetTopRow(TopRow() + 1);
  }
  if (column) allow = allow && cell.Y < FixedRows() && cell.X >= FixedCols();
  else if (cell.Y < FixedRows() && !(RowCount() == 1 && fixedRowAlways_)) allow = false;
  if (OnOleDragOver) OnOleDragOver(this, cell.Y, cell.X, allow);
  if (!allow || cell.X < 0 || cell.Y < 0) {
    HideDropMarkers();
    return;
  }
  const TRect r = CellRect(cell.X, cell.Y);
  if (column) {
    const TPoint above = ClientToScreen(Point(r.Left, r.Top - 8));
    const TPoint below = ClientToScreen(Point(r.Left, r.Bottom));
    arrows_[1]->SetBounds(above.X, above.Y, 11, 11);
    arrows_[0]->SetBounds(below.X, below.Y, 11, 11);
    arrows_[1]->Show();
    arrows_[0]->Show();
    return;
  }
  // Row 0 of a grid with an "always" fixed row marks as row 1.
  const TRect below = cell.Y == 0 && fixedRowAlways_ ? CellRect(cell.X, 1) : r;
  const TRect rowRect = below.Bottom > below.Top ? below : r;
  const int left = oleEntireRows_ ? CellRect(0, cell.Y).Right - 12 : r.Left - 12;
  const TPoint at = ClientToScreen(Point(left, rowRect.Top));
  arrows_[0]->Hide();
  arrows_[1]->Hide();
  arrows_[2]->SetBounds(at.X, at.Y, 11, 11);
  arrows_[2]->Show();
}

TRichStringGrid::DropTaken TRichStringGrid::OleDropText(TPoint pt, const AnsiString& text) {
  const TGridCoord cell = CellAtScreen(pt);
  int cols = 0, rows = 0;
  ClipboardTextSize(text, cols, rows, quoteMultiline_);
  int col = cell.X;
  if (Options().Contains(goRowSelect)) col = oleEntireRows_ ? 0 : FixedCols();
  bool allow = true;
  if (OnOleDrop) OnOleDrop(this, cell.Y, col, text, allow);
  PastedFields taken;
  int written = 0, fields = 0;
  if (allow && col >= 0 && cell.Y >= 0 && rows > 0) {
    int row = cell.Y;
    if (RowCount() == 1 && fixedRowAlways_ && row == 0) row = 1;
    const int top = TopRow();
    if (oleInsertRows_) {
      InsertRows(row, rows);
      SetTopRow(top > FixedRows() ? top + 1 : top);
    }
    PasteText(col, row, text, &taken);
    for (const std::vector<bool>& line : taken) {
      fields += static_cast<int>(line.size());
      written += static_cast<int>(std::count(line.begin(), line.end(), true));
    }
    if (written == 0) {
      // Nothing taken: the grid stays as it was.
      if (oleInsertRows_) {
        RemoveRows(row, rows);
        SetTopRow(std::min(top, RowCount() - 1));
      }
    } else {
      if (oleInsertRows_ && textDragging_) {
        dropInsertRow_ = row;
        dropInsertCount_ = rows;
      }
      const TGridRect pasted{std::max(col, FixedCols()), row, std::min(col + std::max(cols, 1) - 1, ColCount() - 1),
                             std::min(row + rows - 1, RowCount() - 1)};
      if (pasted.Right >= pasted.Left && pasted.Bottom >= pasted.Top) {
        SetSelection(pasted);
        if (textDragging_) {
          droppedHere_ = true;
          dropArea_ = TGridRect{col, row, pasted.Right, pasted.Bottom};
        }
      }
    }
  }
  arrows_[2]->Hide();
  dragMarker_->Hide();
  if (written == 0) return DropTaken::Nothing;
  if (written == fields) return DropTaken::All;
  // A grid of this program that moves the text clears only what was
  // written; any other source is told it was a copy, and keeps it all.
  if (!g_textDragSource) return DropTaken::Part;
  g_textDragSource->droppedInPart_ = true;
  g_textDragSource->droppedFields_ = std::move(taken);
  return DropTaken::All;
}

bool TRichStringGrid::OleDropRichText(TPoint pt, const AnsiString& richText) {
  const TGridCoord cell = CellAtScreen(pt);
  bool allow = true;
  if (OnOleDrop) OnOleDrop(this, cell.Y, cell.X, richText, allow);
  if (!allow || cell.X < 0 || cell.Y < 0) return false;
  SetCells(RealColIndex(cell.X), cell.Y, richText);
  return true;
}

void TRichStringGrid::OleDropColumn(TPoint pt, int column) {
  const TGridCoord cell = CellAtScreen(pt);
  arrows_[0]->Hide();
  arrows_[1]->Hide();
  dragMarker_->Hide();
  if (OnOleDropCol) OnOleDropCol(this, cell.Y, cell.X, column);
}

// One file only: a name holding ".CSV" (anywhere, without regard to case)
// loads as separated values, one holding ".XLS" as a spreadsheet.
bool TRichStringGrid::OleDropFiles(TStrings* files) {
  if (!files || files->Count() != 1) return false;
  const AnsiString name = files->Strings(0);
  const AnsiString upper = AnsiUpperCase(name);
  bool allow = true, loaded = false;
  if (upper.find(".CSV") != AnsiString::npos) {
    if (OnOleDrop) OnOleDrop(this, -1, -1, name, allow);
    if (allow) {
      LoadFromCSV(name);
      loaded = true;
    }
  }
  if (upper.find(".XLS") != AnsiString::npos) {
    if (OnOleDrop) OnOleDrop(this, -1, -1, name, allow);
    if (allow) {
      LoadFromXLS(name);
      loaded = true;
    }
  }
  return loaded;
}

// ---------------------------------------------------------------------------
// As a source

bool TRichStringGrid::StartOleDrag(int X, int Y) {
  const TGridCoord cell = MouseCoord(X, Y);
  bool allow = true;
  if (OnOleDrag) OnOleDrag(this, cell.Y, cell.X, Cells(RealColIndex(cell.X), cell.Y), allow);
  if (!allow) return false;
  const vx::ComPtr<TGridDropSource> source(new TGridDropSource(this));
  if (OnOleDragStart) OnOleDragStart(this, cell.Y, cell.X);
  FGridState = gsNormal;
  DWORD effect = DROPEFFECT_NONE;
  if (cell.Y >= 0 && cell.Y < FixedRows() && cell.X >= 0) {
    const TPoint at = ClientToScreen(Point(X, Y));
    dragMarker_->SetBounds(at.X, at.Y, ColWidths(cell.X), RowHeights(0));
    dragMarker_->SetCaption(Cells(RealColIndex(cell.X), cell.Y));
    dragMarker_->Show();
    dragMarker_->BringToFront();
    const HRESULT result = StartColumnDragDrop(source.get(), cell.X, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect);
    if (result != DRAGDROP_S_CANCEL && OnOleDragStop) OnOleDragStop(this, static_cast<int>(effect));
    dragMarker_->Hide();
    arrows_[0]->Hide();
    arrows_[1]->Hide();
    return true;
  }
  const TGridRect dragged = Selection();
  const std::vector<int> rows = SelectionRows();
  droppedHere_ = droppedInPart_ = false;
  droppedFields_.clear();
  dropInsertRow_ = -1;
  dropInsertCount_ = 0;
  const AnsiString text = RangeAsText(dragged.Left, dragged.Right, rows);
  const AnsiString rich = cell.X >= 0 && cell.Y >= 0 ? Cells(RealColIndex(cell.X), cell.Y) : AnsiString();
  HRESULT result = DRAGDROP_S_CANCEL;
  {
    vx::RestoreOnExit<bool> dragging(textDragging_, true);
    vx::RestoreOnExit<TRichStringGrid*> dragSource(g_textDragSource, this);
    result = StartTextDragDrop(source.get(), text, rich, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect);
  }
  if (result != DRAGDROP_S_CANCEL) {
    if (effect == DROPEFFECT_MOVE) RemoveDraggedCells(dragged, rows);
    if (OnOleDragStop) OnOleDragStop(this, static_cast<int>(effect));
  }
  return true;
}

int TRichStringGrid::DraggedRowNow(int row) const {
  return dropInsertCount_ > 0 && row >= dropInsertRow_ ? row + dropInsertCount_ : row;
}

void TRichStringGrid::RemoveDraggedCells(const TGridRect& dragged, const std::vector<int>& rows) {
  if (droppedInPart_) return RemoveTakenCells(dragged, rows);
  const bool covered = droppedHere_;
  if (oleRemoveRows_ && Options().Contains(goRowSelect)) {
    if (mouseActions_->DisjunctRowSelect) {
      // The flags went with their rows; rows the drop wrote stay.
      if (covered)
        for (int r = dropArea_.Top; r <= dropArea_.Bottom && r < RowCount(); ++r)
          if (r >= 0 && RowSelect(r)) SetRowSelect(r, false);
      RemoveSelectedRows();
      return;
    }
    BeginUpdate();
    vx::ScopeGuard done([this] { EndUpdate(); });
    for (int r = dragged.Bottom; r >= dragged.Top; --r) {
      const int now = DraggedRowNow(r);
      if (covered && now >= dropArea_.Top && now <= dropArea_.Bottom) continue;
      if (now >= FixedRows() && now < RowCount()) RemoveRowsEx(now, 1);
    }
    return;
  }
  if (!covered) {
    ClearRect(dragged.Left, dragged.Top, dragged.Right, dragged.Bottom);
    return;
  }
  for (int r = dragged.Top; r <= dragged.Bottom; ++r)
    for (int c = dragged.Left; c <= dragged.Right; ++c) {
      const int now = DraggedRowNow(r);
      if (!Contains(dropArea_, c, now)) ClearRect(c, now, c, now);
    }
}

void TRichStringGrid::RemoveTakenCells(const TGridRect& dragged, const std::vector<int>& rows) {
  // The text's lines are the rows sent and its fields their cells, unless
  // cell texts held TABs or line breaks of their own: then which cells
  // were written is not known, and all of them stay.
  const std::size_t width = static_cast<std::size_t>(dragged.Right - dragged.Left + 1);
  if (droppedFields_.size() != rows.size()) return;
  for (const std::vector<bool>& line : droppedFields_)
    if (line.size() != width) return;
  const bool wholeRows = oleRemoveRows_ && Options().Contains(goRowSelect);
  BeginUpdate();
  vx::ScopeGuard done([this] { EndUpdate(); });
  // From the bottom up, so that a row removed leaves the rows above it in place.
  for (std::size_t i = rows.size(); i-- > 0;) {
    const int now = DraggedRowNow(rows[i]);
    if (now < 0 || now >= RowCount()) continue;
    const std::vector<bool>& line = droppedFields_[i];
    if (wholeRows) {
      // Only a row the drop wrote whole goes.
      const bool written = droppedHere_ && now >= dropArea_.Top && now <= dropArea_.Bottom;
      if (AllOf(line) && !written && now >= FixedRows()) RemoveRowsEx(now, 1);
      continue;
    }
    for (std::size_t j = 0; j < width; ++j) {
      const int c = dragged.Left + static_cast<int>(j);
      if (line[j] && !(droppedHere_ && Contains(dropArea_, c, now))) ClearRect(c, now, c, now);
    }
  }
}
