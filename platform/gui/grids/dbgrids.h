// TDBGrid: the data-aware grid, built on the grid base as the class library
// built it (TCustomDBGrid on TCustomGrid). The base does the geometry, the
// horizontal scrolling, the painting loop and the in-place editor; this
// layer maps the data link's window of records onto the grid's rows, its
// columns onto the grid's columns, and draws titles, the record indicator
// and the fields' texts.
//
// Grid layout: an indicator column (dgIndicator) and a title row
// (dgTitles) are the fixed cells; then one grid column per visible column
// and one grid row per record of the link's window (as many as fit). The
// current cell is the data set's active record in the selected column.
// Columns wider than the window scroll sideways on the base's horizontal
// scroll bar; the vertical scroll bar stands for the records (below).
//
// Columns: while no column was added in code the grid shows one default
// column per visible field (rebuilt when the data set opens or its fields
// change). Columns.Add, Columns.Clear and Columns.RebuildColumns make the
// column list the program's own; a column finds its field by FieldName
// each time the data set opens.
//
// Keys (with dgEditing and a data set that can be modified): Insert inserts
// a record, Ctrl+Del deletes the current one (asking "Delete record?" first
// with dgConfirmDelete), Esc closes the cell editor or cancels the record's
// changes, Down on the last row appends a record, F2 or Enter opens the cell
// editor and a typed character starts it with that character. The first
// change of the editor's text (a character, Backspace, Delete, paste or
// cut) puts the record into edit state, or is refused when the data set
// does not go into it. The editor's text goes into Field.Text on Enter,
// when the column or record changes, and before the data set posts, in
// edit state (an empty text clears the field). Left, Right, Home, End and Tab move
// between columns.
//
// What the grid shows is taken from the data set on each notification of
// the link and whenever its columns change, and painted at once; while the data set's controls are disabled
// nothing reaches the link, so the grid keeps showing what it showed.
//
// Scrolling: the vertical scroll bar stands for the records (its thumb at
// the current record's number when the data set counts its records, else at
// the top, middle or bottom); its arrows and pages move the data set by a
// record and by a screen, dragging the thumb moves the data set with it.
// The wheel moves one record per notch.
//
// While the data set's cursor is held (TDataSet::HoldCursor, or its
// controls disabled: code is walking it) the grid moves no record and
// changes none: the wheel, the record scroll bar, clicks on rows and the
// grid's keys do nothing, and no cell editor opens. Its own view still
// scrolls sideways.
#pragma once

#include <memory>
#include <vector>

#include "platform/db/data_source.h"
#include "platform/gui/grids/grids.h"

class TCustomDBGrid;

namespace vx {
class GridDataLink;
}  // namespace vx

class TColumnTitle {
 public:
  explicit TColumnTitle(class TColumn* column);
  // The field's display label until a caption is set.
  AnsiString Caption() const;
  void SetCaption(const AnsiString& v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TFont* Font() { return &font_; }

 private:
  TColumn* column_;
  AnsiString caption_;
  bool captionSet_ = false;
  TAlignment alignment_ = taLeftJustify;
  TFont font_;
};

class TColumn {
 public:
  explicit TColumn(TCustomDBGrid* grid);
  const AnsiString& FieldName() const { return fieldName_; }
  void SetFieldName(const AnsiString& v);
  // The field of that name in the open data set, or nullptr.
  TField* Field() const;
  int Width() const;
  void SetWidth(int v);
  // Right for numbers, left otherwise, until set.
  TAlignment Alignment() const;
  void SetAlignment(TAlignment v);
  TColumnTitle* Title() { return title_.get(); }
  TFont* Font() { return &font_; }
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  TCustomDBGrid* Grid() const { return grid_; }
  void Changed();

 private:
  friend class TCustomDBGrid;
  TCustomDBGrid* grid_;
  AnsiString fieldName_;
  int width_ = -1;
  TAlignment alignment_ = taLeftJustify;
  bool alignmentSet_ = false;
  std::unique_ptr<TColumnTitle> title_;
  TFont font_;
  TColor color_ = clWindow;
  bool readOnly_ = false, visible_ = true;
};

enum TDBGridColumnsState { csDefault, csCustomized };

class TDBGridColumns {
 public:
  explicit TDBGridColumns(TCustomDBGrid* grid) : grid_(grid) {}
  int Count() const { return static_cast<int>(columns_.size()); }
  TColumn* Items(int index) const;
  TColumn* operator[](int index) const { return Items(index); }
  TColumn* Add();
  void Clear();
  // One column per field of the data set, as the program's own columns.
  void RebuildColumns();
  TDBGridColumnsState State() const { return state_; }
  void SetState(TDBGridColumnsState v);

 private:
  friend class TCustomDBGrid;
  void BuildDefault();
  TCustomDBGrid* grid_;
  std::vector<std::unique_ptr<TColumn>> columns_;
  TDBGridColumnsState state_ = csDefault;
};

enum TDBGridOption {
  dgEditing,
  dgAlwaysShowEditor,
  dgTitles,
  dgIndicator,
  dgColumnResize,
  dgColLines,
  dgRowLines,
  dgTabs,
  dgRowSelect,
  dgAlwaysShowSelection,
  dgConfirmDelete,
  dgCancelOnExit,
  dgMultiSelect
};
using TDBGridOptions = TSet<TDBGridOption>;

using TDBGridClickEvent = std::function<void(TColumn* Column)>;

class TCustomDBGrid : public TCustomGrid {
 public:
  explicit TCustomDBGrid(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TCustomDBGrid() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* source);
  TDBGridColumns* Columns() { return columns_.get(); }
  // The data-aware options; they set the grid base's options.
  TDBGridOptions Options() const { return options_; }
  void SetOptions(TDBGridOptions v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }
  TFont* TitleFont() { return &titleFont_; }

  // Index of the current column in Columns(), and its field.
  int SelectedIndex() const { return selected_; }
  void SetSelectedIndex(int v);
  TField* SelectedField() const;

  // The text in the open cell editor ("" when closed).
  AnsiString EditorText() const;

  // The text the grid shows in a cell (column index, record row of the
  // visible window); "" outside. Our helper for tests and hints.
  AnsiString DisplayedText(int column, int row) const;
  int DisplayedRowCount() const;

  void WndProc(TMessage& message) override;
  vx::ScrollBarState* ScrollBar(int bar) override;
  void ScrollBarChanged(int bar) override;

  TDBGridClickEvent OnCellClick;
  TDBGridClickEvent OnTitleClick;
  TNotifyEvent OnColEnter;

 protected:
  void Paint() override;
  void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
  bool SelectCell(int ACol, int ARow) override;
  bool CanEditShow() override;
  bool CanEditModify() override;
  AnsiString GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
  int GetEditLimit() override;
  void ColWidthsChanged() override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  bool KeyDown(Word& key, TShiftState shift) override;
  bool KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void Resized() override;
  void FontChanged() override;

 private:
  friend class vx::GridDataLink;
  friend class TDBGridColumns;
  friend class TColumn;
  // Link notifications.
  void LinkActiveChanged();
  void LinkDataChanged();
  void LinkLayoutChanged();
  void LinkUpdateData();
  // Columns, widths and row heights onto the grid base.
  void LayoutColumns();
  void LayoutRows();
  void RefreshSnapshot() const;
  // Takes what the data set shows, lays the rows out and repaints the
  // cells and the scroll bar.
  void TakeSnapshot();
  void UpdateBufferCount();
  int RowsThatFit();
  bool CanEditData() const;
  bool CanEditColumn() const;
  // The editor's text into the field when it was changed; raises what the
  // field raises (the editor then stays open).
  void CommitEdit();
  // Closes the editor, dropping what was typed.
  void DiscardEdit();
  // Grid column of a column index (-1 for a hidden one), and back.
  int GridColumnOf(int column) const;
  int ColumnAt(int gridColumn) const;
  // Whether the grid's key handling takes the key (moves through the
  // records or columns, or edits); while the data set's cursor is held
  // such keys do nothing.
  bool IsRecordKey(Word key, TShiftState shift) const;
  void MoveToColumn(int column);
  void MoveColumnBy(int delta);
  void UpdateScrollBar();
  void Scroll(int code, int pos);
  int IndicatorOffset() const { return options_.Contains(dgIndicator) ? 1 : 0; }
  int TitleOffset() const { return options_.Contains(dgTitles) ? 1 : 0; }

  std::unique_ptr<TDataLink> link_;
  std::unique_ptr<TDBGridColumns> columns_;
  TDBGridOptions options_;
  TFont titleFont_;
  bool readOnly_ = false;
  int selected_ = 0;
  std::vector<int> shownColumns_;  // column index of each grid column after the indicator
  bool layingOut_ = false;
  AnsiString editText_;
  bool editModified_ = false;
  // What is shown, refreshed after link notifications.
  mutable bool dirty_ = true;
  mutable std::vector<std::vector<AnsiString>> cells_;
  mutable int activeRow_ = -1;
  mutable TDataSetState shownState_ = dsInactive;
  vx::ScrollBarState recordBar_;
  bool horzBarShown_ = false;
};

class TDBGrid : public TCustomDBGrid {
 public:
  using TCustomDBGrid::TCustomDBGrid;
};
