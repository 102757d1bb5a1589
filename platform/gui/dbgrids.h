// TDBGrid: the data-aware grid. It shows the window of records its data
// link holds (as many rows as fit), follows the data set's cursor, and edits
// the current cell through the field's Text.
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
// editor and a typed character starts it with that character. The editor's
// text goes into Field.Text when it closes, when the row or column changes,
// and before the data set posts.
//
// What the grid shows is taken from the data set on each notification of
// the link; while the data set's controls are disabled nothing reaches the
// link, so the grid keeps showing what it showed.
//
// Scrolling: the vertical scroll bar stands for the records (its thumb at
// the current record's number when the data set counts its records, else at
// the top, middle or bottom); its arrows and pages move the data set by a
// record and by a screen, dragging the thumb moves the data set with it.
// The wheel moves one record per notch.
#pragma once

#include <memory>
#include <vector>

#include "platform/db/data_source.h"
#include "platform/gui/controls.h"
#include "platform/gui/messages.h"

class TDBGrid;
class QLineEdit;

namespace vx {
class GridDataLink;
class GridEditorFilter;
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
  explicit TColumn(TDBGrid* grid);
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
  TDBGrid* Grid() const { return grid_; }
  void Changed();

 private:
  TDBGrid* grid_;
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
  explicit TDBGridColumns(TDBGrid* grid) : grid_(grid) {}
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
  friend class TDBGrid;
  void BuildDefault();
  TDBGrid* grid_;
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

class TDBGrid : public TCustomControl, public vx::MessageTarget {
 public:
  explicit TDBGrid(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TDBGrid() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* source);
  TDBGridColumns* Columns() { return columns_.get(); }
  TDBGridOptions Options() const { return options_; }
  void SetOptions(TDBGridOptions v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }
  int DefaultRowHeight() const;
  TFont* TitleFont() { return &titleFont_; }

  // Index of the current column, and its field.
  int SelectedIndex() const { return selected_; }
  void SetSelectedIndex(int v);
  TField* SelectedField() const;
  // Row of the current record, counting the title row, as last shown.
  int Row() const;
  // Rows of records the grid has room for.
  int VisibleRowCount() const;

  bool EditorMode() const;
  void SetEditorMode(bool v);
  // The text in the open cell editor ("" when closed).
  AnsiString EditorText() const;

  // The text the grid shows in a cell (column index, record row of the
  // visible window); "" outside. Our helper for tests and hints.
  AnsiString DisplayedText(int column, int row) const;
  int DisplayedRowCount() const;

  int ClientWidth() const override;
  int ClientHeight() const override;
  QWidget* ClientWidget() const override;
  HWND Handle() { return this; }
  void WndProc(TMessage& message) override;
  vx::ScrollBarState* ScrollBar(int bar) override;
  void ScrollBarChanged(int bar) override;

  TDBGridClickEvent OnCellClick;
  TDBGridClickEvent OnTitleClick;
  TNotifyEvent OnColEnter;

 protected:
  void Paint() override;
  bool KeyDown(Word& key, TShiftState shift) override;
  bool KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void Resized() override;
  void FontChanged() override;
  TColor DefaultColor() const override { return clWindow; }
  bool PaintsBackground() const override { return true; }

 private:
  friend class vx::GridDataLink;
  friend class vx::GridEditorFilter;
  friend class TDBGridColumns;
  friend class TColumn;
  // Link notifications.
  void LinkActiveChanged();
  void LinkDataChanged();
  void LinkLayoutChanged();
  void LinkUpdateData();
  void LayoutColumns();
  void RefreshSnapshot() const;
  void TakeSnapshot();
  void UpdateBufferCount();
  bool CanEditData() const;
  bool CommitEditor();
  void CloseEditor();
  void OpenEditor(const AnsiString* initial);
  void PlaceEditor();
  void MoveColumn(int delta);
  int IndicatorWidth() const;
  int TitleHeight() const;
  TRect CellRect(int column, int row) const;
  std::vector<int> VisibleColumns() const;
  void UpdateScrollBar();
  void Scroll(int code, int pos);

  std::unique_ptr<vx::GridDataLink> link_;
  std::unique_ptr<TDBGridColumns> columns_;
  TDBGridOptions options_;
  TFont titleFont_;
  bool readOnly_ = false;
  int selected_ = 0;
  int leftCol_ = 0;
  QLineEdit* editor_ = nullptr;
  std::unique_ptr<vx::GridEditorFilter> editorFilter_;
  bool editorOpen_ = false;
  // What is shown, refreshed lazily after link notifications.
  mutable bool dirty_ = true;
  mutable std::vector<std::vector<AnsiString>> cells_;
  mutable int activeRow_ = -1;
  mutable TDataSetState shownState_ = dsInactive;
  vx::ScrollBarState vertBar_, horzBar_;
  int wheelAccumulator_ = 0;
};
