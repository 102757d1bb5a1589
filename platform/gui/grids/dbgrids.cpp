// TCustomDBGrid on the grid base: the data link, the layout of columns and
// record rows onto the base's cells, what is shown, painting and the
// record scroll bar.
#include "platform/gui/grids/dbgrids.h"

#include <algorithm>

#include "platform/db/field.h"
#include "platform/gui/controls/scroll_host.h"

namespace vx {

class GridDataLink : public TDataLink {
 public:
  explicit GridDataLink(TCustomDBGrid* grid) : grid_(grid) {}

 protected:
  void ActiveChanged() override { grid_->LinkActiveChanged(); }
  void DataSetChanged() override { grid_->LinkDataChanged(); }
  void DataSetScrolled(int) override { grid_->LinkDataChanged(); }
  void LayoutChanged() override { grid_->LinkLayoutChanged(); }
  void EditingChanged() override { grid_->LinkDataChanged(); }
  void RecordChanged(TField*) override { grid_->LinkDataChanged(); }
  void UpdateData() override { grid_->LinkUpdateData(); }

 private:
  TCustomDBGrid* grid_;
};

}  // namespace vx

namespace {

// Width of the record indicator column.
constexpr int kIndicatorWidth = 11;

}  // namespace

TCustomDBGrid::TCustomDBGrid(TComponent* AOwner, TWinControl* AParent)
    : TCustomGrid(AOwner, nullptr),
      link_(std::make_unique<vx::GridDataLink>(this)),
      columns_(std::make_unique<TDBGridColumns>(this)) {
  titleFont_.Assign(*font_);
  titleFont_.OnChange = [this](TObject*) { LayoutRows(); };
  recordBar_.Max = 4;
  SetBorderStyle(bsNone);
  // The base scrolls sideways only; the records have their own bar.
  SetScrollBars(ssHorizontal);
  SetOptions(TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                            dgConfirmDelete, dgCancelOnExit});
  SetBounds(0, 0, 320, 120);
  if (AParent) SetParent(AParent);
}

TCustomDBGrid::~TCustomDBGrid() { link_->SetDataSource(nullptr); }

TDataSource* TCustomDBGrid::DataSource() const { return link_->DataSource(); }

void TCustomDBGrid::SetDataSource(TDataSource* source) {
  DiscardEdit();
  link_->SetDataSource(source);
  LinkActiveChanged();
}

void TCustomDBGrid::SetOptions(TDBGridOptions v) {
  options_ = v;
  if (!options_.Contains(dgEditing)) DiscardEdit();
  TGridOptions grid;
  if (options_.Contains(dgColLines)) {
    grid.Include(goFixedVertLine);
    grid.Include(goVertLine);
  }
  if (options_.Contains(dgRowLines)) {
    grid.Include(goFixedHorzLine);
    grid.Include(goHorzLine);
  }
  if (options_.Contains(dgColumnResize)) grid.Include(goColSizing);
  if (options_.Contains(dgEditing)) grid.Include(goEditing);
  if (options_.Contains(dgTabs)) grid.Include(goTabs);
  if (options_.Contains(dgRowSelect)) grid.Include(goRowSelect);
  if (options_.Contains(dgAlwaysShowEditor)) grid.Include(goAlwaysShowEditor);
  // The current cell shows as selected, with the focus too.
  grid.Include(goDrawFocusSelected);
  TCustomGrid::SetOptions(grid);
  LayoutColumns();
  LayoutRows();
}

// ---------------------------------------------------------------------------
// Layout

int TCustomDBGrid::GridColumnOf(int column) const {
  const auto it = std::find(shownColumns_.begin(), shownColumns_.end(), column);
  return it == shownColumns_.end() ? -1 : IndicatorOffset() + static_cast<int>(it - shownColumns_.begin());
}

int TCustomDBGrid::ColumnAt(int gridColumn) const {
  const int i = gridColumn - IndicatorOffset();
  return i >= 0 && i < static_cast<int>(shownColumns_.size()) ? shownColumns_[static_cast<std::size_t>(i)] : -1;
}

void TCustomDBGrid::LayoutColumns() {
  if (layingOut_) return;
  layingOut_ = true;
  shownColumns_.clear();
  for (int i = 0; i < columns_->Count(); ++i)
    if (columns_->Items(i)->Visible()) shownColumns_.push_back(i);
  if (!shownColumns_.empty() && std::find(shownColumns_.begin(), shownColumns_.end(), selected_) == shownColumns_.end())
    selected_ = shownColumns_.front();
  if (shownColumns_.empty()) selected_ = 0;
  const int indicator = IndicatorOffset();
  // Without columns one empty column stands in, as the base needs one
  // beside the fixed ones.
  SetColCount(indicator + std::max(1, static_cast<int>(shownColumns_.size())));
  if (FixedCols() != indicator) SetFixedCols(indicator);
  if (indicator) SetColWidths(0, kIndicatorWidth);
  for (std::size_t i = 0; i < shownColumns_.size(); ++i)
    SetColWidths(indicator + static_cast<int>(i), columns_->Items(shownColumns_[i])->Width());
  if (shownColumns_.empty()) SetColWidths(indicator, DefaultColWidth());
  FCurrent.X = std::max(indicator, GridColumnOf(selected_));
  FAnchor.X = FCurrent.X;
  layingOut_ = false;
  UpdateScrollRange();
  // The cells shown are taken again for the new columns: columns laid out
  // after the data set opened show its records at once.
  TakeSnapshot();
}

void TCustomDBGrid::LayoutRows() {
  const int rowHeight = vx::FixedTextExtent("Wg", *font_).cy + 4;
  if (DefaultRowHeight() != rowHeight) SetDefaultRowHeight(rowHeight);
  if (TitleOffset()) SetRowHeights(0, vx::FixedTextExtent("Wg", titleFont_).cy + 4);
  UpdateBufferCount();
  TakeSnapshot();
}

int TCustomDBGrid::RowsThatFit() {
  const int line = options_.Contains(dgRowLines) ? GridLineWidth() : 0;
  const int title = TitleOffset() ? RowHeights(0) + line : 0;
  return std::max(1, (ClientHeight() - title) / std::max(1, DefaultRowHeight() + line));
}

void TCustomDBGrid::UpdateBufferCount() {
  const int rows = RowsThatFit();
  if (link_->BufferCount() != rows) link_->SetBufferCount(rows);
}

void TCustomDBGrid::ColWidthsChanged() {
  // A column sized by the mouse keeps its new width.
  if (!layingOut_) {
    layingOut_ = true;
    for (std::size_t i = 0; i < shownColumns_.size(); ++i) {
      TColumn* column = columns_->Items(shownColumns_[i]);
      const int width = ColWidths(IndicatorOffset() + static_cast<int>(i));
      if (column->width_ != width && column->Width() != width) column->width_ = width;
    }
    layingOut_ = false;
  }
  TCustomGrid::ColWidthsChanged();
}

void TCustomDBGrid::Resized() {
  TCustomGrid::Resized();
  UpdateBufferCount();
  TakeSnapshot();
}

void TCustomDBGrid::FontChanged() {
  TCustomGrid::FontChanged();
  LayoutRows();
}

// ---------------------------------------------------------------------------
// What is shown

void TCustomDBGrid::LinkActiveChanged() {
  DiscardEdit();
  if (columns_->state_ == csDefault) columns_->BuildDefault();
  else LayoutColumns();
  UpdateBufferCount();
  TakeSnapshot();
}

void TCustomDBGrid::LinkLayoutChanged() {
  if (columns_->state_ == csDefault) columns_->BuildDefault();
  LinkDataChanged();
}

void TCustomDBGrid::LinkDataChanged() {
  TDataSet* ds = link_->DataSet();
  const int before = activeRow_;
  TakeSnapshot();
  // The editor stays with its cell while the record is being edited.
  if (FInplaceEdit && FInplaceEdit->Showing() && ds && (ds->State() == dsBrowse || activeRow_ != before)) DiscardEdit();
}

void TCustomDBGrid::LinkUpdateData() {
  // The data set is about to post or move: the editor's text goes in first.
  CommitEdit();
}

void TCustomDBGrid::TakeSnapshot() {
  // Taken at once: should the data set's controls be disabled before the
  // next paint, the grid goes on showing this.
  dirty_ = true;
  try {
    RefreshSnapshot();
  } catch (...) {
    dirty_ = true;  // a field that cannot show its text: tried again at the next paint
  }
  const int title = TitleOffset();
  const int rows = std::max(1, static_cast<int>(cells_.size()));
  if (RowCount() != title + rows) SetRowCount(title + rows);
  if (FixedRows() != title) SetFixedRows(title);
  FCurrent.Y = title + std::clamp(activeRow_, 0, rows - 1);
  FCurrent.X = std::max(IndicatorOffset(), GridColumnOf(selected_));
  FAnchor = FCurrent;
  if (InplaceEditor() && InplaceEditor()->Showing()) InplaceEditor()->Move(CellRect(FCurrent.X, FCurrent.Y));
  UpdateScrollBar();
  InvalidateGrid();
}

void TCustomDBGrid::RefreshSnapshot() const {
  if (!dirty_) return;
  TDataSet* ds = link_->DataSet();
  if (ds && ds->ControlsDisabled()) return;  // keep showing what was shown
  dirty_ = false;
  cells_.clear();
  activeRow_ = -1;
  shownState_ = ds ? ds->State() : dsInactive;
  if (!ds || !link_->Active()) return;
  const int rows = link_->RecordCount();
  const int active = link_->ActiveRecord();
  std::vector<TField*> fields;
  for (int c = 0; c < columns_->Count(); ++c) fields.push_back(columns_->Items(c)->Field());
  TDataLink* link = link_.get();
  try {
    for (int r = 0; r < rows; ++r) {
      link->SetActiveRecord(r);
      std::vector<AnsiString> row;
      for (TField* f : fields) row.push_back(f ? f->DisplayText() : AnsiString());
      cells_.push_back(std::move(row));
    }
  } catch (...) {
    link->SetActiveRecord(active);
    throw;
  }
  link->SetActiveRecord(active);
  activeRow_ = active;
}

AnsiString TCustomDBGrid::DisplayedText(int column, int row) const {
  RefreshSnapshot();
  if (row < 0 || row >= static_cast<int>(cells_.size())) return "";
  const auto& cells = cells_[static_cast<std::size_t>(row)];
  if (column < 0 || column >= static_cast<int>(cells.size())) return "";
  return cells[static_cast<std::size_t>(column)];
}

int TCustomDBGrid::DisplayedRowCount() const {
  RefreshSnapshot();
  return static_cast<int>(cells_.size());
}

TField* TCustomDBGrid::SelectedField() const {
  if (selected_ < 0 || selected_ >= columns_->Count()) return nullptr;
  return columns_->Items(selected_)->Field();
}

// ---------------------------------------------------------------------------
// Painting

void TCustomDBGrid::Paint() {
  if (dirty_) {
    try {
      RefreshSnapshot();
    } catch (...) {
      // painted as it was; the next notification tries again
    }
  }
  TCustomGrid::Paint();
}

void TCustomDBGrid::DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) {
  TCanvas* c = Canvas();
  const int title = TitleOffset(), indicator = IndicatorOffset();
  auto drawText = [&](const TRect& r, const AnsiString& text, TAlignment a) {
    const int w = c->TextWidth(text);
    const int x = a == taRightJustify ? r.Right - 2 - w : a == taCenter ? (r.Left + r.Right - w) / 2 : r.Left + 2;
    c->Brush()->SetStyle(bsClear);
    c->TextRect(r, x, r.Top + 2, text);
    c->Brush()->SetStyle(bsSolid);
  };
  const int column = ColumnAt(ACol);
  if (ARow < title) {
    if (column < 0) return;
    TColumn* col = columns_->Items(column);
    c->Font()->Assign(*col->Title()->Font());
    drawText(ARect, col->Title()->Caption(), col->Title()->Alignment());
    return;
  }
  const int record = ARow - title;
  if (ACol < indicator) {
    if (record != activeRow_ || activeRow_ < 0) return;
    const int y = ARect.Top, h = ARect.Height(), x = ARect.Left;
    c->Brush()->SetColor(clBlack);
    c->Pen()->SetColor(clBlack);
    if (shownState_ == dsInsert) {
      c->Font()->Assign(*font_);
      c->Font()->SetColor(clBlack);
      drawText(ARect, "*", taCenter);
    } else if (shownState_ == dsEdit) {
      c->MoveTo(x + 5, y + 3);
      c->LineTo(x + 5, y + h - 3);
    } else {
      c->Polygon({Point(x + 3, y + 4), Point(x + 7, y + h / 2), Point(x + 3, y + h - 5)});
    }
    return;
  }
  if (column < 0) return;
  TColumn* col = columns_->Items(column);
  const bool highlight = AState.Contains(gdSelected);
  c->Font()->Assign(*col->Font());
  if (highlight) {
    c->Font()->SetColor(clHighlightText);
  } else {
    c->Brush()->SetColor(col->Color());
    c->FillRect(ARect);
  }
  if (record >= 0 && record < static_cast<int>(cells_.size())) {
    const auto& cells = cells_[static_cast<std::size_t>(record)];
    if (column < static_cast<int>(cells.size()))
      drawText(ARect, cells[static_cast<std::size_t>(column)], col->Alignment());
  }
}

// ---------------------------------------------------------------------------
// The record scroll bar

vx::ScrollBarState* TCustomDBGrid::ScrollBar(int bar) {
  if (bar == SB_VERT) return &recordBar_;
  return TCustomGrid::ScrollBar(bar);
}

void TCustomDBGrid::ScrollBarChanged(int bar) {
  TCustomGrid::ScrollBarChanged(bar);
  // The horizontal bar came or went: the rows that fit changed with it.
  const vx::ScrollBarState* s = ScrollBar(bar);
  if (bar != SB_HORZ || !s || s->Visible == horzBarShown_) return;
  horzBarShown_ = s->Visible;
  UpdateBufferCount();
}

void TCustomDBGrid::UpdateScrollBar() {
  vx::ScrollBarState s;
  TDataSet* ds = link_->DataSet();
  if (ds && ds->Active() && link_->Active()) {
    const int count = ds->RecordCount();
    if (ds->IsSequenced() && count > 0) {
      s.Min = 1;
      s.Max = count;
      s.Pos = std::clamp(ds->RecNo(), 1, count);
    } else {
      s.Min = 0;
      s.Max = 4;
      s.Pos = ds->Bof() ? 0 : ds->Eof() ? 4 : 2;
    }
    s.Visible = count > RowsThatFit() || !ds->IsSequenced();
  }
  const bool shown = recordBar_.Visible;
  recordBar_ = s;
  ScrollBarChanged(SB_VERT);
  if (shown != recordBar_.Visible) {
    // The client width changed: the horizontal bar and the rows follow.
    UpdateScrollRange();
    UpdateBufferCount();
  }
}

void TCustomDBGrid::Scroll(int code, int pos) {
  TDataSet* ds = link_->DataSet();
  if (!ds || !ds->Active() || code == SB_ENDSCROLL) return;
  if (ds->CursorHeld()) {
    ScrollBarChanged(SB_VERT);  // a dragged thumb goes back
    return;
  }
  CommitEdit();
  switch (code) {
    case SB_LINEUP: ds->Prior(); break;
    case SB_LINEDOWN: ds->Next(); break;
    case SB_PAGEUP: ds->MoveBy(-RowsThatFit()); break;
    case SB_PAGEDOWN: ds->MoveBy(RowsThatFit()); break;
    case SB_TOP: ds->First(); break;
    case SB_BOTTOM: ds->Last(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      if (ds->IsSequenced()) {
        const int count = ds->RecordCount();
        if (count > 0) ds->SetRecNo(std::clamp(pos, 1, count));
      } else if (pos <= 0) {
        ds->First();
      } else if (pos >= 4) {
        ds->Last();
      }
      break;
    default: break;
  }
  UpdateScrollBar();
}

bool TCustomDBGrid::DoMouseWheelDown(TShiftState, TPoint) {
  Scroll(SB_LINEDOWN, 0);
  return true;
}

bool TCustomDBGrid::DoMouseWheelUp(TShiftState, TPoint) {
  Scroll(SB_LINEUP, 0);
  return true;
}

void TCustomDBGrid::WndProc(TMessage& m) {
  if (m.Msg == WM_VSCROLL) {
    Scroll(static_cast<int>(LOWORD(m.WParam)), static_cast<int>(HIWORD(m.WParam)));
    return;
  }
  TCustomGrid::WndProc(m);
}
