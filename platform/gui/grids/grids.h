// The class library's grids: TCustomGrid (geometry, scrolling, selection,
// sizing and moving by mouse, keyboard navigation, the in-place editor's life
// cycle), TDrawGrid (cells drawn by an event) and TStringGrid (text and an
// object per cell).
//
// The grid is a headless state machine with the class library's semantics;
// a thin Qt host (a scroll area, scroll_host.cpp) paints it through its canvas
// and turns Qt's mouse, key, wheel, focus and resize events into its virtual
// methods and window messages. Everything works on a grid that was never
// shown: geometry uses the client size the control would have.
//
// The rules descendants rely on:
// - Counts are at least 1. Setting a count at or below the fixed count
//   lowers the fixed count to count - 1; a fixed count at or above the count
//   raises EInvalidGridOperation. New columns and rows get the default width
//   and height; setting either default resets every width (height).
// - Reads outside the counts give "" (or nullptr, or the default size) and
//   writes there are ignored; Col/Row and Selection may be parked outside the
//   grid (HideSelection), and then nothing paints or edits a current cell.
// - Every change of the current cell (mouse, keys, Col/Row) asks SelectCell
//   first; false cancels it.
// - A mouse range selection (goRangeSelect on, goEditing off) keeps the
//   current cell where the button went down and moves only the other corner,
//   without SelectCell; with goEditing on a drag moves the current cell
//   through SelectCell.
// - Only leading fixed rows and columns are frozen; every other row and
//   column scrolls.
// - Column and row sizing by mouse happen in the fixed rows (columns) within
//   3 pixels (SizingZone) of a scrolled column's (row's) closing line, and
//   apply once, at the release; setting a width or height to its current
//   value notifies nobody. LineNear answers that one rule for descendants.
// - Moving a column (row) by mouse calls MoveColumn and ColumnMoved only when
//   the position changed; the base moves data, never widths or heights.
// - The scroll bars run on 0..127, linear in TopRow - FixedRows and
//   LeftCol - FixedCols.
// - The in-place editor opens on F2, Enter, a typed character or a click on
//   the current cell, writes its text into the cell on every change, and
//   hides when the current cell changes and when the grid scrolls; Escape
//   puts back the text the cell had when it opened.
// - Invalidation is coalesced: writing a cell only marks it for the next
//   paint, and cells out of view cost nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/gui/core/controls.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/base/messages.h"
#include "platform/gui/controls/stdctrls.h"
#include "platform/rtl/stringlist.h"

struct TGridCoord {
  int X = 0;
  int Y = 0;
  bool operator==(const TGridCoord&) const = default;
};

// A block of cells, edges included.
struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool operator==(const TGridRect&) const = default;
};

enum TGridOption {
  goFixedVertLine,
  goFixedHorzLine,
  goVertLine,
  goHorzLine,
  goRangeSelect,
  goDrawFocusSelected,
  goRowSizing,
  goColSizing,
  goRowMoving,
  goColMoving,
  goEditing,
  goTabs,
  goRowSelect,
  goAlwaysShowEditor,
  goThumbTracking
};
using TGridOptions = TSet<TGridOption>;

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;

enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
using TBorderStyle = TFormBorderStyle;  // bsNone or bsSingle

// The extents along one axis as the grid last laid them out.
struct TGridAxisDrawInfo {
  int EffectiveLineWidth = 0;
  int FixedBoundary = 0;        // end of the fixed cells (their lines included)
  int GridBoundary = 0;         // end of the last cell shown, wholly or partly
  int GridExtent = 0;           // the client width or height
  int LastFullVisibleCell = 0;  // last cell shown whole
  int FullVisBoundary = 0;      // end of that cell and its line
  int FixedCellCount = 0;
  int FirstGridCell = 0;  // LeftCol or TopRow
  int GridCellCount = 0;
  std::function<int(int)> GetExtent;
};

struct TGridDrawInfo {
  TGridAxisDrawInfo Horz;
  TGridAxisDrawInfo Vert;
};

using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, AnsiString& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const AnsiString& Value)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;

class TCustomGrid;

// The in-place editor: an edit the grid places over the current cell. Keys
// it does not keep (rows, pages, Tab, Enter, Esc, F2, and Left/Right at its
// ends with goAlwaysShowEditor) go to the grid's KeyDown and KeyPress. Every
// change of its text (a character, Backspace, Delete, paste, cut) asks the
// grid's CanEditModify first and is refused when it says no.
class TInplaceEdit : public TEdit {
 public:
  explicit TInplaceEdit(TComponent* AOwner);
  TCustomGrid* Grid() const { return grid_; }
  void SetGrid(TCustomGrid* grid);
  // Moves the editor to loc (the cell's rectangle) and shows it.
  virtual void Move(const TRect& loc);
  // Loads the grid's text for the current cell.
  virtual void UpdateContents();
  // Hides it (the text stays where it is).
  void Hide();
  bool Showing() const { return shown_; }

 protected:
  void Change() override;
  bool KeyDown(Word& key, TShiftState shift) override;
  bool KeyPress(char& key) override;
  bool WantsKey(Word key) const override;
  // Refused when the grid cannot take a change of the cell.
  void WMPaste() override;
  void WMCut() override;

 private:
  TCustomGrid* grid_ = nullptr;
  bool shown_ = false;
  bool loading_ = false;
};

class TCustomGrid : public TCustomControl, public vx::MessageTarget {
 public:
  explicit TCustomGrid(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TCustomGrid() override;

  // --- sizes and counts
  int ColCount() const { return colCount_; }
  void SetColCount(int v);
  int RowCount() const { return rowCount_; }
  void SetRowCount(int v);
  int FixedCols() const { return fixedCols_; }
  void SetFixedCols(int v);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int v);
  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int v);
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int v);
  int ColWidths(int index) const;
  void SetColWidths(int index, int v);
  int RowHeights(int index) const;
  void SetRowHeights(int index, int v);
  int GridLineWidth() const { return gridLineWidth_; }
  void SetGridLineWidth(int v);
  // The width (height) of all cells and lines, clipped to the client area.
  int GridWidth();
  int GridHeight();

  TGridOptions Options() const { return options_; }
  void SetOptions(TGridOptions v);

  // --- current cell, selection, scrolling
  int Col() const { return FCurrent.X; }
  void SetCol(int v);
  int Row() const { return FCurrent.Y; }
  void SetRow(int v);
  TGridRect Selection() const;
  void SetSelection(const TGridRect& v);
  int TopRow() const { return FTopLeft.Y; }
  void SetTopRow(int v);
  int LeftCol() const { return FTopLeft.X; }
  void SetLeftCol(int v);
  // Columns (rows) after the fixed ones that are shown whole.
  int VisibleColCount();
  int VisibleRowCount();

  // --- looks
  TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor v);
  bool DefaultDrawing() const { return defaultDrawing_; }
  void SetDefaultDrawing(bool v) { defaultDrawing_ = v; }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool v);
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode v) { biDiMode_ = v; }
  int ClientWidth() const override;
  int ClientHeight() const override;

  // --- geometry
  // The cell's rectangle in client coordinates; empty when the cell is not
  // shown (a partly shown cell is cut at the client edge).
  TRect CellRect(int ACol, int ARow);
  // The cell under a client point; -1 for a coordinate outside the cells.
  TGridCoord MouseCoord(int X, int Y);
  void MouseToCell(int X, int Y, int& ACol, int& ARow);
  // How near (in pixels, either side) a column's or row's closing line a
  // press must be to size it.
  static constexpr int SizingZone = 3;
  // The shown column (row with columns false) whose closing line lies
  // within SizingZone of the client coordinate pos: a scrolled one, the one
  // a press there would size, or with includeFixed a fixed one too. -1 when
  // none.
  int LineNear(bool columns, int pos, bool includeFixed = false);
  // The top row (SB_VERT) or left column (SB_HORZ) that the scroll bar's
  // thumb at pos (0..127) shows.
  int ThumbCell(int bar, int pos);

  // --- editor
  bool EditorMode() const { return FEditorMode; }
  void SetEditorMode(bool v);
  TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
  void ShowEditor();
  void HideEditor();
  // Opens the editor as typing ch into the cell does.
  void ShowEditorChar(char ch);
  // Escape: the cell gets back the text it had when the editor opened, and
  // the editor closes (stays, all selected, with goAlwaysShowEditor).
  void CancelEdit();

  // --- rows and columns (the class library kept them protected)
  void DeleteColumn(int ACol);
  void DeleteRow(int ARow);
  void MoveColumn(int FromIndex, int ToIndex);
  void MoveRow(int FromIndex, int ToIndex);
  // Makes (ACol, ARow) current through SelectCell, keeping the anchor with
  // MoveAnchor false; Show scrolls it into view.
  void FocusCell(int ACol, int ARow, bool MoveAnchor);
  void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
  // Rebuilds the row sequence in one step: row i becomes the old row
  // source[i] (each old row at most once), or a new empty row of the default
  // height where source[i] is -1; heights travel with their rows. The count
  // changes as setting RowCount does (SizeChanged once); the current cell,
  // the anchor and the top row keep their indexes where they still exist.
  void RearrangeRows(const std::vector<int>& source);

  // --- painting
  void InvalidateCell(int ACol, int ARow);
  void InvalidateCol(int ACol);
  void InvalidateRow(int ARow);
  void InvalidateGrid();
  void InvalidateRect(const TGridRect& r);
  // How many times the grid asked to be painted again (coalesced requests count once).
  int InvalidationCount() const { return invalidations_; }

  // --- window
  HWND Handle() { return this; }
  bool HandleAllocated() const { return handleAllocated_; }
  // Creates the window (what first showing the grid does): CreateWnd runs once.
  void HandleNeeded();
  void SetFocus() override;
  // True while the grid or its editor has the focus.
  bool IsActiveControl() const { return focused_; }
  void WndProc(TMessage& message) override;
  vx::ScrollBarState* ScrollBar(int bar) override;
  void ScrollBarChanged(int bar) override;
  bool WantsKey(Word key) const override;

  QWidget* ClientWidget() const override;

  TMouseWheelEvent OnMouseWheel;

 protected:
  // --- the class library's virtual methods
  void Paint() override;
  virtual void CreateWnd();
  virtual void DestroyWnd();
  virtual void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) = 0;
  virtual void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                               TGridDrawInfo& FixedInfo);
  virtual TInplaceEdit* CreateEditor();
  virtual bool CanEditShow();
  virtual bool CanEditModify();
  virtual bool CanEditAcceptKey(char key);
  virtual bool CanGridAcceptKey(Word key, TShiftState shift);
  virtual AnsiString GetEditText(int ACol, int ARow);
  virtual void SetEditText(int ACol, int ARow, const AnsiString& Value);
  virtual AnsiString GetEditMask(int ACol, int ARow);
  virtual int GetEditLimit();
  virtual bool SelectCell(int ACol, int ARow);
  virtual void SizeChanged(int OldColCount, int OldRowCount);
  virtual void ColWidthsChanged();
  virtual void RowHeightsChanged();
  virtual void TopLeftChanged();
  virtual void ColumnMoved(int FromIndex, int ToIndex);
  virtual void RowMoved(int FromIndex, int ToIndex);
  // The rows' data follows RearrangeRows (before the count changes).
  virtual void RowsRearranged(const std::vector<int>& source);
  virtual bool BeginColumnDrag(int& Origin, int& Destination, TPoint MousePt);
  virtual bool BeginRowDrag(int& Origin, int& Destination, TPoint MousePt);
  virtual void DoEnter();
  virtual void DoExit();
  // The wheel: the base moves the current row by one per notch.
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);

  void Click() override;
  void DblClick() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool KeyDown(Word& Key, TShiftState Shift) override;
  bool KeyUp(Word& Key, TShiftState Shift) override;
  bool KeyPress(char& Key) override;
  void Resized() override;
  void FontChanged() override;
  TColor DefaultColor() const override { return clWindow; }
  bool PaintsBackground() const override { return true; }

  // --- helpers descendants use
  void CalcDrawInfo(TGridDrawInfo& DrawInfo);
  void CalcFixedInfo(TGridDrawInfo& DrawInfo);
  TGridCoord CalcCoordFromPoint(int X, int Y, const TGridDrawInfo& DrawInfo);
  TGridCoord CalcMaxTopLeft(const TGridCoord& Coord, const TGridDrawInfo& DrawInfo);
  void MoveTopLeft(int ALeft, int ATop);
  void ClampInView(const TGridCoord& Coord);
  void MoveAnchor(const TGridCoord& NewAnchor);
  void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
  void UpdateEdit();
  void HideEdit();
  void UpdateText();
  void UpdateScrollPos();
  void UpdateScrollRange();
  void ModifyScrollBar(int ScrollBar, int ScrollCode, int Pos);
  void ResetSizes();

  // --- the class library's protected state
  TGridState FGridState = gsNormal;
  int FSizingIndex = 0;
  int FSizingPos = 0;
  int FSizingOfs = 0;
  int FMoveIndex = 0;
  int FMovePos = 0;
  TGridCoord FAnchor;
  TGridCoord FCurrent;
  TGridCoord FTopLeft;
  TInplaceEdit* FInplaceEdit = nullptr;
  bool FEditorMode = false;
  int FInplaceCol = -1;
  int FInplaceRow = -1;

 private:
  friend class TInplaceEdit;
  void ChangeSize(int NewColCount, int NewRowCount);
  void InitializeCells();
  void SelectionMoved(const TGridRect& OldSel);
  void InvalidateClientRect(const TRect& r);
  void DrawCells(int ACol, int ARow, int StartX, int StartY, int StopX, int StopY, TColor Color,
                 TGridDrawState IncludeDrawState);
  void DrawLines(bool DoHorz, bool DoVert, int StartCol, int StartRow, const TGridDrawInfo& info, int StopX, int StopY,
                 TColor Color);
  void MoveAndScroll(int Mouse, int CellHit, TGridAxisDrawInfo& Axis, int ScrollBar);
  int LinePos(const TGridAxisDrawInfo& Axis, int Line) const;
  void WMScroll(int bar, int code, int pos);
  void FinishMove();

  int colCount_ = 5, rowCount_ = 5, fixedCols_ = 1, fixedRows_ = 1;
  int defaultColWidth_ = 64, defaultRowHeight_ = 24, gridLineWidth_ = 1;
  std::vector<int> colWidths_, rowHeights_;
  TGridOptions options_;
  TColor fixedColor_ = clBtnFace;
  bool defaultDrawing_ = true;
  TScrollStyle scrollBars_ = ssBoth;
  TBorderStyle borderStyle_ = bsSingle;
  bool ctl3D_ = true;
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool handleAllocated_ = false;
  bool focused_ = false;
  bool moveShown_ = false;
  int invalidations_ = 0;
  AnsiString editStartText_;
  int wheelAccumulator_ = 0;
  bool invalidatePending_ = false;
  vx::ScrollBarState horzBar_, vertBar_;
  bool updatingScrollBars_ = false;
};

class TDrawGrid : public TCustomGrid {
 public:
  explicit TDrawGrid(TComponent* AOwner, TWinControl* AParent = nullptr);

  TSelectCellEvent OnSelectCell;
  TDrawCellEvent OnDrawCell;
  TNotifyEvent OnTopLeftChanged;
  TMovedEvent OnColumnMoved;
  TMovedEvent OnRowMoved;
  TGetEditEvent OnGetEditMask;
  TGetEditEvent OnGetEditText;
  TSetEditEvent OnSetEditText;

 protected:
  void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
  bool SelectCell(int ACol, int ARow) override;
  void TopLeftChanged() override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void RowMoved(int FromIndex, int ToIndex) override;
  AnsiString GetEditMask(int ACol, int ARow) override;
  AnsiString GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
};

class TStringGrid;

namespace vx {
// Rows[r] or Cols[c] of a string grid as a list of ColCount (RowCount)
// strings with their objects. Clear empties the line; Add fills it from its
// first cell on (so Assign copies a list into it); Insert and Delete raise
// EInvalidGridOperation.
class GridLineStrings : public TStrings {
 public:
  GridLineStrings(TStringGrid* grid, bool isRow, int index) : grid_(grid), isRow_(isRow), index_(index) {}
  int Count() const override;
  AnsiString Strings(int index) const override;
  TObject* Objects(int index) const override;
  void SetStrings(int index, const AnsiString& s) override;
  void SetObjects(int index, TObject* object) override;
  int Add(const AnsiString& s) override;
  void Insert(int index, const AnsiString& s) override;
  void Delete(int index) override;
  void Clear() override;

 private:
  TStringGrid* grid_;
  bool isRow_;
  int index_;
  int next_ = 0;
};
}  // namespace vx

class TStringGrid : public TDrawGrid {
 public:
  explicit TStringGrid(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TStringGrid() override;

  AnsiString Cells(int ACol, int ARow) const;
  void SetCells(int ACol, int ARow, const AnsiString& Value);
  TObject* Objects(int ACol, int ARow) const;
  void SetObjects(int ACol, int ARow, TObject* Value);
  // Views that stay valid as long as the grid; nullptr outside the counts.
  TStrings* Rows(int ARow);
  TStrings* Cols(int ACol);
  void SetRows(int ARow, TStrings* Value);
  void SetCols(int ACol, TStrings* Value);
  // Counts every change of the cells, their objects, the counts, the order
  // of rows and columns and the column widths; whoever keeps something
  // computed from them compares it with the count it saw.
  std::uint64_t ChangeCount() const { return changeCount_; }

 protected:
  void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
  void ColWidthsChanged() override;
  AnsiString GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const AnsiString& Value) override;
  void SizeChanged(int OldColCount, int OldRowCount) override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void RowMoved(int FromIndex, int ToIndex) override;
  void RowsRearranged(const std::vector<int>& source) override;
  // Moves a row's texts and objects out, leaving the row empty (for rows a
  // descendant keeps aside), and into a row (replacing what it held). The
  // vectors may be shorter than ColCount: the missing cells are empty.
  // Nothing is repainted: the caller rearranges or repaints the rows.
  void TakeRowData(int ARow, std::vector<AnsiString>& cells, std::vector<TObject*>& objects);
  void PutRowData(int ARow, std::vector<AnsiString>&& cells, std::vector<TObject*>&& objects);
  // Moves one row's cell from column FromIndex to ToIndex as a column move
  // does (the cells between shift by one); the vectors grow to hold both.
  static void MoveRowCell(std::vector<AnsiString>& cells, std::vector<TObject*>& objects, int FromIndex, int ToIndex);

 private:
  struct RowData {
    std::vector<AnsiString> cells;
    std::vector<TObject*> objects;
  };
  RowData* RowFor(int ARow);
  // One object per row, made on the first write: moving or deleting a row
  // moves a pointer.
  std::vector<std::unique_ptr<RowData>> rows_;
  std::map<std::pair<bool, int>, std::unique_ptr<vx::GridLineStrings>> views_;
  std::uint64_t changeCount_ = 0;
};
