#include "platform/gui/dbgrids.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>
#include <algorithm>

#include "platform/db/field.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/qt_app.h"
#include "platform/gui/qt_bridge.h"
#include "platform/gui/scroll_host.h"

namespace vx {

class GridDataLink : public TDataLink {
 public:
  explicit GridDataLink(TDBGrid* grid) : grid_(grid) {}

 protected:
  void ActiveChanged() override { grid_->LinkActiveChanged(); }
  void DataSetChanged() override { grid_->LinkDataChanged(); }
  void DataSetScrolled(int) override { grid_->LinkDataChanged(); }
  void LayoutChanged() override { grid_->LinkLayoutChanged(); }
  void EditingChanged() override { grid_->LinkDataChanged(); }
  void RecordChanged(TField*) override { grid_->LinkDataChanged(); }
  void UpdateData() override { grid_->LinkUpdateData(); }

 private:
  TDBGrid* grid_;
};

// Keys the cell editor does not keep (moves, Enter, Esc) go to the grid.
class GridEditorFilter : public QObject {
 public:
  explicit GridEditorFilter(TDBGrid* grid) : grid_(grid) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() != QEvent::KeyPress) return false;
    auto* ke = static_cast<QKeyEvent*>(e);
    switch (ke->key()) {
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Escape:
      case Qt::Key_Tab:
      case Qt::Key_F2: {
        Word key = VirtualKeyFromQt(ke->key());
        bool consumed = false;
        Guard([&] { consumed = grid_->KeyDown(key, ShiftFromQt(ke->modifiers())); });
        return true;
      }
      default: return false;
    }
  }

 private:
  TDBGrid* grid_;
};

}  // namespace vx

namespace {

bool IsNumeric(TField* f) {
  if (!f) return false;
  switch (f->DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftAutoInc: return true;
    default: return false;
  }
}

}  // namespace

// ---------------------------------------------------------------------------

TColumnTitle::TColumnTitle(TColumn* column) : column_(column) {}

AnsiString TColumnTitle::Caption() const {
  if (captionSet_) return caption_;
  TField* f = column_->Field();
  return f ? f->DisplayLabel() : column_->FieldName();
}

void TColumnTitle::SetCaption(const AnsiString& v) {
  caption_ = v;
  captionSet_ = true;
  column_->Changed();
}

void TColumnTitle::SetAlignment(TAlignment v) {
  alignment_ = v;
  column_->Changed();
}

TColumn::TColumn(TDBGrid* grid) : grid_(grid), title_(std::make_unique<TColumnTitle>(this)) {
  font_.Assign(*grid->Font());
  title_->Font()->Assign(*grid->TitleFont());
  font_.OnChange = [this](TObject*) { Changed(); };
  title_->Font()->OnChange = [this](TObject*) { Changed(); };
}

void TColumn::SetFieldName(const AnsiString& v) {
  fieldName_ = v;
  Changed();
}

TField* TColumn::Field() const {
  TDataSet* ds = grid_->link_->DataSet();
  if (!ds || fieldName_.empty()) return nullptr;
  return ds->FindField(fieldName_);
}

int TColumn::Width() const {
  if (width_ >= 0) return width_;
  TField* f = Field();
  const TSize digit = vx::FixedTextExtent("0", *const_cast<TColumn*>(this)->Font());
  const int chars = f ? std::max(f->DisplayWidth(), static_cast<int>(title_->Caption().size())) : 10;
  return std::min(chars, 40) * digit.cx + 4;
}

void TColumn::SetWidth(int v) {
  width_ = std::max(0, v);
  Changed();
}

TAlignment TColumn::Alignment() const {
  if (alignmentSet_) return alignment_;
  return IsNumeric(Field()) ? taRightJustify : taLeftJustify;
}

void TColumn::SetAlignment(TAlignment v) {
  alignment_ = v;
  alignmentSet_ = true;
  Changed();
}

void TColumn::SetColor(TColor v) {
  color_ = v;
  Changed();
}

void TColumn::SetVisible(bool v) {
  visible_ = v;
  Changed();
}

void TColumn::Changed() {
  grid_->dirty_ = true;
  grid_->Invalidate();
}

TColumn* TDBGridColumns::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return columns_[static_cast<std::size_t>(index)].get();
}

TColumn* TDBGridColumns::Add() {
  if (state_ == csDefault) {
    columns_.clear();
    state_ = csCustomized;
  }
  columns_.push_back(std::make_unique<TColumn>(grid_));
  grid_->LayoutColumns();
  return columns_.back().get();
}

void TDBGridColumns::Clear() {
  grid_->CloseEditor();
  columns_.clear();
  state_ = csCustomized;
  grid_->LayoutColumns();
}

void TDBGridColumns::RebuildColumns() {
  grid_->CloseEditor();
  columns_.clear();
  state_ = csCustomized;
  if (TDataSet* ds = grid_->link_->DataSet())
    for (int i = 0; i < ds->FieldCount(); ++i) {
      columns_.push_back(std::make_unique<TColumn>(grid_));
      columns_.back()->SetFieldName(ds->Fields()[i]->FieldName());
    }
  grid_->LayoutColumns();
}

void TDBGridColumns::SetState(TDBGridColumnsState v) {
  state_ = v;
  if (v == csDefault) BuildDefault();
}

void TDBGridColumns::BuildDefault() {
  columns_.clear();
  TDataSet* ds = grid_->link_->DataSet();
  if (ds && ds->Active())
    for (int i = 0; i < ds->FieldCount(); ++i) {
      TField* f = ds->Fields()[i];
      if (!f->Visible()) continue;
      columns_.push_back(std::make_unique<TColumn>(grid_));
      columns_.back()->SetFieldName(f->FieldName());
    }
  grid_->LayoutColumns();
}

// ---------------------------------------------------------------------------

TDBGrid::TDBGrid(TComponent* AOwner, TWinControl* AParent)
    : TCustomControl(AOwner, vx::NewScrollHost()),
      link_(std::make_unique<vx::GridDataLink>(this)),
      columns_(std::make_unique<TDBGridColumns>(this)),
      options_{dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
               dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit} {
  vx::AttachScrollHost(widget_, this, this);
  vx::SetScrollHostFrame(widget_, false);
  titleFont_.Assign(*font_);
  editor_ = new QLineEdit(vx::ScrollHostViewport(widget_));
  editor_->hide();
  editor_->setFrame(false);
  editorFilter_ = std::make_unique<vx::GridEditorFilter>(this);
  editor_->installEventFilter(editorFilter_.get());
  SetBounds(0, 0, 320, 120);
  ColorChanged();
  if (AParent) SetParent(AParent);
}

TDBGrid::~TDBGrid() {
  vx::DetachScrollHost(widget_);
  if (editor_) editor_->removeEventFilter(editorFilter_.get());
  link_->SetDataSource(nullptr);
}

TDataSource* TDBGrid::DataSource() const { return link_->DataSource(); }

void TDBGrid::SetDataSource(TDataSource* source) {
  CloseEditor();
  link_->SetDataSource(source);
  LinkActiveChanged();
}

void TDBGrid::SetOptions(TDBGridOptions v) {
  options_ = v;
  if (!options_.Contains(dgEditing)) CloseEditor();
  UpdateBufferCount();
  dirty_ = true;
  Invalidate();
}

int TDBGrid::DefaultRowHeight() const { return vx::FixedTextExtent("Wg", *font_).cy + 4; }

int TDBGrid::TitleHeight() const {
  return options_.Contains(dgTitles) ? vx::FixedTextExtent("Wg", titleFont_).cy + 4 : 0;
}

int TDBGrid::IndicatorWidth() const { return options_.Contains(dgIndicator) ? 11 : 0; }

int TDBGrid::VisibleRowCount() const { return std::max(1, (ClientHeight() - TitleHeight()) / DefaultRowHeight()); }

int TDBGrid::ClientWidth() const {
  return vx::ScrollHostClientSize(widget_, width_, height_, const_cast<TDBGrid*>(this)).cx;
}
int TDBGrid::ClientHeight() const {
  return vx::ScrollHostClientSize(widget_, width_, height_, const_cast<TDBGrid*>(this)).cy;
}
QWidget* TDBGrid::ClientWidget() const { return vx::ScrollHostViewport(widget_); }

vx::ScrollBarState* TDBGrid::ScrollBar(int bar) {
  if (bar == SB_VERT) return &vertBar_;
  if (bar == SB_HORZ) return &horzBar_;
  return nullptr;
}

void TDBGrid::ScrollBarChanged(int bar) { vx::ScrollHostBarChanged(widget_, bar, ScrollBar(bar)); }

void TDBGrid::UpdateScrollBar() {
  TDataSet* ds = link_->DataSet();
  vx::ScrollBarState s;
  if (ds && link_->Active()) {
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
    s.Visible = count > VisibleRowCount() || !ds->IsSequenced();
  }
  const bool shown = vertBar_.Visible;
  vertBar_ = s;
  ScrollBarChanged(SB_VERT);
  if (shown != vertBar_.Visible) LayoutColumns();
}

void TDBGrid::Scroll(int code, int pos) {
  TDataSet* ds = link_->DataSet();
  if (!ds || !ds->Active() || code == SB_ENDSCROLL) return;
  if (editorOpen_) CommitEditor();
  switch (code) {
    case SB_LINEUP: ds->Prior(); break;
    case SB_LINEDOWN: ds->Next(); break;
    case SB_PAGEUP: ds->MoveBy(-VisibleRowCount()); break;
    case SB_PAGEDOWN: ds->MoveBy(VisibleRowCount()); break;
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

void TDBGrid::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_VSCROLL: Scroll(static_cast<int>(LOWORD(m.WParam)), static_cast<int>(HIWORD(m.WParam))); break;
    case WM_MOUSEWHEEL: {
      // One record a notch: away from the user is up.
      wheelAccumulator_ += GET_WHEEL_DELTA_WPARAM(m.WParam);
      while (wheelAccumulator_ >= WHEEL_DELTA) {
        wheelAccumulator_ -= WHEEL_DELTA;
        Scroll(SB_LINEUP, 0);
      }
      while (wheelAccumulator_ <= -WHEEL_DELTA) {
        wheelAccumulator_ += WHEEL_DELTA;
        Scroll(SB_LINEDOWN, 0);
      }
      m.Result = 1;
      break;
    }
    default: break;
  }
}

void TDBGrid::UpdateBufferCount() {
  if (link_->BufferCount() != VisibleRowCount()) link_->SetBufferCount(VisibleRowCount());
}

void TDBGrid::Resized() {
  TCustomControl::Resized();
  UpdateBufferCount();
  UpdateScrollBar();
  dirty_ = true;
  PlaceEditor();
}

void TDBGrid::FontChanged() {
  TCustomControl::FontChanged();
  UpdateBufferCount();
}

void TDBGrid::LinkActiveChanged() {
  CloseEditor();
  if (columns_->state_ == csDefault) columns_->BuildDefault();
  UpdateBufferCount();
  selected_ = std::clamp(selected_, 0, std::max(0, columns_->Count() - 1));
  TakeSnapshot();
}

void TDBGrid::LinkLayoutChanged() {
  if (columns_->state_ == csDefault) columns_->BuildDefault();
  TakeSnapshot();
}

void TDBGrid::TakeSnapshot() {
  // Taken at once: should the data set's controls be disabled before the
  // next paint, the grid goes on showing this.
  dirty_ = true;
  try {
    RefreshSnapshot();
  } catch (...) {
    dirty_ = true;  // a field that cannot show its text: tried again at the next paint
  }
  UpdateScrollBar();
  Invalidate();
}

void TDBGrid::LinkDataChanged() {
  TDataSet* ds = link_->DataSet();
  if (editorOpen_ && ds && ds->State() == dsBrowse) CloseEditor();
  TakeSnapshot();
  PlaceEditor();
}

void TDBGrid::LinkUpdateData() {
  // The data set is about to post: the editor's text goes in first.
  if (editorOpen_) CommitEditor();
}

void TDBGrid::LayoutColumns() {
  selected_ = std::clamp(selected_, 0, std::max(0, columns_->Count() - 1));
  dirty_ = true;
  Invalidate();
}

std::vector<int> TDBGrid::VisibleColumns() const {
  std::vector<int> out;
  for (int i = 0; i < columns_->Count(); ++i)
    if (columns_->Items(i)->Visible()) out.push_back(i);
  return out;
}

void TDBGrid::RefreshSnapshot() const {
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
  auto* link = const_cast<vx::GridDataLink*>(link_.get());
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

AnsiString TDBGrid::DisplayedText(int column, int row) const {
  RefreshSnapshot();
  if (row < 0 || row >= static_cast<int>(cells_.size())) return "";
  const auto& cells = cells_[static_cast<std::size_t>(row)];
  if (column < 0 || column >= static_cast<int>(cells.size())) return "";
  return cells[static_cast<std::size_t>(column)];
}

int TDBGrid::DisplayedRowCount() const {
  RefreshSnapshot();
  return static_cast<int>(cells_.size());
}

int TDBGrid::Row() const {
  RefreshSnapshot();
  return (options_.Contains(dgTitles) ? 1 : 0) + std::max(0, activeRow_);
}

TField* TDBGrid::SelectedField() const {
  if (selected_ < 0 || selected_ >= columns_->Count()) return nullptr;
  return columns_->Items(selected_)->Field();
}

void TDBGrid::SetSelectedIndex(int v) {
  if (v < 0 || v >= columns_->Count() || v == selected_) return;
  if (editorOpen_ && !CommitEditor()) return;
  CloseEditor();
  selected_ = v;
  if (OnColEnter) OnColEnter(this);
  Invalidate();
}

TRect TDBGrid::CellRect(int column, int row) const {
  int x = IndicatorWidth();
  const auto visible = VisibleColumns();
  for (int c : visible) {
    if (c < leftCol_) continue;
    const int w = columns_->Items(c)->Width();
    if (c == column) {
      const int y = TitleHeight() + row * DefaultRowHeight();
      return Rect(x, y, x + w, y + DefaultRowHeight());
    }
    x += w + (options_.Contains(dgColLines) ? 1 : 0);
  }
  return TRect{};
}

void TDBGrid::Paint() {
  RefreshSnapshot();
  TCanvas* c = Canvas();
  const int rowH = DefaultRowHeight(), titleH = TitleHeight(), indW = IndicatorWidth();
  c->Brush()->SetColor(color_ == clDefault ? clWindow : color_);
  c->FillRect(ClientRect());
  const auto visible = VisibleColumns();
  auto drawText = [&](const TRect& r, const AnsiString& text, TAlignment a) {
    const int w = c->TextWidth(text);
    const int x = a == taRightJustify ? r.Right - 2 - w : a == taCenter ? (r.Left + r.Right - w) / 2 : r.Left + 2;
    c->TextRect(r, x, r.Top + 2, text);
  };
  if (titleH > 0) {
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(Rect(0, 0, ClientWidth(), titleH));
    c->Font()->Assign(titleFont_);
    for (int col : visible) {
      if (col < leftCol_) continue;
      TColumn* column = columns_->Items(col);
      TRect r = CellRect(col, 0);
      r.Top = 0;
      r.Bottom = titleH;
      c->Font()->Assign(*column->Title()->Font());
      drawText(r, column->Title()->Caption(), column->Title()->Alignment());
    }
  }
  if (indW > 0) {
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(Rect(0, titleH, indW, ClientHeight()));
  }
  for (int row = 0; row < static_cast<int>(cells_.size()); ++row) {
    for (int col : visible) {
      if (col < leftCol_) continue;
      TColumn* column = columns_->Items(col);
      const TRect r = CellRect(col, row);
      const bool current = row == activeRow_ && (col == selected_ || options_.Contains(dgRowSelect));
      c->Font()->Assign(*column->Font());
      if (current) {
        c->Brush()->SetColor(clHighlight);
        c->Font()->SetColor(clHighlightText);
      } else {
        c->Brush()->SetColor(column->Color());
      }
      drawText(r, cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)], column->Alignment());
    }
  }
  // Grid lines and the indicator of the current record.
  c->Pen()->SetColor(clSilver);
  if (options_.Contains(dgRowLines))
    for (int row = 0; row <= static_cast<int>(cells_.size()); ++row) {
      c->MoveTo(0, titleH + row * rowH - 1);
      c->LineTo(ClientWidth(), titleH + row * rowH - 1);
    }
  if (options_.Contains(dgColLines))
    for (int col : visible) {
      if (col < leftCol_) continue;
      const TRect r = CellRect(col, 0);
      c->MoveTo(r.Right, 0);
      c->LineTo(r.Right, ClientHeight());
    }
  if (indW > 0 && activeRow_ >= 0) {
    const int y = titleH + activeRow_ * rowH;
    c->Brush()->SetColor(clBlack);
    c->Pen()->SetColor(clBlack);
    if (shownState_ == dsInsert) {
      c->Brush()->SetStyle(bsClear);
      c->Font()->Assign(*font_);
      c->TextOut(2, y + 1, "*");
    } else if (shownState_ == dsEdit) {
      c->MoveTo(5, y + 3);
      c->LineTo(5, y + rowH - 3);
    } else {
      c->Polygon({Point(3, y + 4), Point(7, y + rowH / 2), Point(3, y + rowH - 5)});
    }
  }
}

bool TDBGrid::CanEditData() const {
  TDataSet* ds = link_->DataSet();
  return options_.Contains(dgEditing) && !readOnly_ && !link_->ReadOnly() && ds && ds->Active() && ds->CanModify();
}

void TDBGrid::OpenEditor(const AnsiString* initial) {
  TField* f = SelectedField();
  if (!CanEditData() || !f || f->ReadOnly() || columns_->Items(selected_)->ReadOnly()) return;
  if (!link_->Edit()) return;
  editorOpen_ = true;
  editor_->setText(vx::ToQString(initial ? *initial : f->Text()));
  if (!initial) editor_->selectAll();
  PlaceEditor();
  editor_->show();
  editor_->setFocus();
}

void TDBGrid::PlaceEditor() {
  if (!editorOpen_ || !editor_) return;
  RefreshSnapshot();
  const TRect r = CellRect(selected_, std::max(0, activeRow_));
  editor_->setGeometry(r.Left, r.Top, r.Width(), r.Height());
}

bool TDBGrid::CommitEditor() {
  if (!editorOpen_) return true;
  TField* f = SelectedField();
  const AnsiString text = vx::FromQString(editor_->text());
  if (f && text != f->Text()) f->SetText(text);  // a bad value raises and keeps the editor open
  CloseEditor();
  return true;
}

void TDBGrid::CloseEditor() {
  if (!editorOpen_) return;
  editorOpen_ = false;
  if (editor_) {
    editor_->hide();
    if (widget_) widget_->setFocus();
  }
}

bool TDBGrid::EditorMode() const { return editorOpen_; }

void TDBGrid::SetEditorMode(bool v) {
  if (v && !editorOpen_) OpenEditor(nullptr);
  if (!v && editorOpen_) CommitEditor();
}

AnsiString TDBGrid::EditorText() const { return editorOpen_ ? vx::FromQString(editor_->text()) : AnsiString(); }

void TDBGrid::MoveColumn(int delta) {
  const auto visible = VisibleColumns();
  auto it = std::find(visible.begin(), visible.end(), selected_);
  if (it == visible.end()) return;
  const long pos = (it - visible.begin()) + delta;
  if (pos < 0 || pos >= static_cast<long>(visible.size())) return;
  SetSelectedIndex(visible[static_cast<std::size_t>(pos)]);
  if (selected_ < leftCol_) leftCol_ = selected_;
  while (leftCol_ < selected_ && CellRect(selected_, 0).Right > ClientWidth()) ++leftCol_;
  Invalidate();
}

bool TDBGrid::KeyDown(Word& key, TShiftState shift) {
  if (TWinControl::KeyDown(key, shift)) return true;
  TDataSet* ds = link_->DataSet();
  if (!ds || !ds->Active()) return false;
  const bool ctrl = shift.Contains(ssCtrl);
  switch (key) {
    case VK_UP:
      CommitEditor();
      if (ds->State() == dsInsert && !ds->Modified() && ds->Eof()) ds->Cancel();
      else ds->Prior();
      return true;
    case VK_DOWN:
      CommitEditor();
      if (ds->State() == dsInsert && !ds->Modified()) return true;  // stays on the new, empty row
      ds->Next();
      if (ds->Eof() && CanEditData()) ds->Append();
      return true;
    case VK_PRIOR:
      CommitEditor();
      ds->MoveBy(-VisibleRowCount());
      return true;
    case VK_NEXT:
      CommitEditor();
      ds->MoveBy(VisibleRowCount());
      return true;
    case VK_HOME:
      if (editorOpen_) return false;
      if (ctrl) ds->First();
      else if (!VisibleColumns().empty()) SetSelectedIndex(VisibleColumns().front());
      return true;
    case VK_END:
      if (editorOpen_) return false;
      if (ctrl) ds->Last();
      else if (!VisibleColumns().empty()) SetSelectedIndex(VisibleColumns().back());
      return true;
    case VK_LEFT:
      if (editorOpen_) return false;
      MoveColumn(-1);
      return true;
    case VK_RIGHT:
      if (editorOpen_) return false;
      MoveColumn(1);
      return true;
    case VK_TAB:
      if (!options_.Contains(dgTabs)) return false;
      CommitEditor();
      MoveColumn(shift.Contains(ssShift) ? -1 : 1);
      return true;
    case VK_INSERT:
      if (!ctrl && !shift.Contains(ssShift) && CanEditData()) {
        CommitEditor();
        ds->Insert();
        return true;
      }
      return false;
    case VK_DELETE:
      if (ctrl && CanEditData() && !ds->IsEmpty()) {
        CloseEditor();
        if (!options_.Contains(dgConfirmDelete) ||
            MessageDlg("Delete record?", mtConfirmation, TMsgDlgButtons{mbOK, mbCancel}) == mrOk)
          ds->Delete();
        return true;
      }
      return false;
    case VK_ESCAPE:
      if (editorOpen_) {
        CloseEditor();  // the field keeps its value
        if (!ds->Modified() && (ds->State() == dsEdit || ds->State() == dsInsert)) ds->Cancel();
      } else if (ds->State() == dsEdit || ds->State() == dsInsert) {
        ds->Cancel();
      }
      return true;
    case VK_F2:
      if (editorOpen_) CommitEditor();
      else OpenEditor(nullptr);
      return true;
    case VK_RETURN:
      if (editorOpen_) CommitEditor();
      else OpenEditor(nullptr);
      return true;
    default: return false;
  }
}

bool TDBGrid::KeyPress(char& key) {
  if (TWinControl::KeyPress(key)) return true;
  if (static_cast<unsigned char>(key) < 0x20) return false;
  if (editorOpen_) {
    // Keys that reach the grid while its editor is open belong to it.
    editor_->insert(vx::ToQString(AnsiString(1, key)));
    return true;
  }
  if (!CanEditData()) return false;
  const AnsiString first(1, key);
  OpenEditor(&first);
  if (editorOpen_) editor_->end(false);
  return editorOpen_;
}

void TDBGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  if (editorOpen_ && !CommitEditor()) return;
  const auto visible = VisibleColumns();
  int col = -1;
  for (int c : visible) {
    if (c < leftCol_) continue;
    const TRect r = CellRect(c, 0);
    if (x >= r.Left && x < r.Right) col = c;
  }
  if (y < TitleHeight()) {
    if (col >= 0 && OnTitleClick) OnTitleClick(columns_->Items(col));
    return;
  }
  TDataSet* ds = link_->DataSet();
  if (!ds || !ds->Active()) return;
  RefreshSnapshot();
  const int row = (y - TitleHeight()) / DefaultRowHeight();
  if (row >= static_cast<int>(cells_.size())) return;
  if (row != activeRow_) ds->MoveBy(row - link_->ActiveRecord());
  if (col >= 0) SetSelectedIndex(col);
  if (col >= 0 && OnCellClick) OnCellClick(columns_->Items(col));
}
