// TRichStringGrid: the program's string grid. On top of the string grid it
// keeps per-cell objects (check boxes, nodes, pictures, buttons), answers
// per-cell questions (colour, borders, alignment, sort format, editor,
// fixed, password, editable) through virtual operations whose defaults fire
// the matching events, adds fixed footer rows and fixed right columns, typed
// cell access, a selection of disjoint rows, rows held hidden (the row
// filter and nodes), and the state that its editors, sorting, painting,
// printing, files and drag-and-drop use.
//
// Contract:
// - Cells, objects, widths and heights are the string grid's. Every cell
//   access takes indexes outside the grid: reads give "" (0 for Ints), writes
//   are ignored. HideSelection parks the current cell outside the grid;
//   such a cell is never painted or edited.
// - Cell objects of class TCellGraphic belong to the grid while
//   EnableGraphics is on: clearing a cell frees them. Any other object is
//   the caller's and is never freed. Rows removed by RemoveRows keep their
//   objects alive (hidden rows hold them).
// - Row-selection flags move with their rows through InsertRows,
//   RemoveRows, RemoveRowsEx, hiding and unhiding.
// - Rows held hidden take part in every change of the structure: rows
//   inserted or removed among the shown ones keep the hidden rows in their
//   places around them, and columns inserted, removed or moved take the
//   hidden rows' cells along.
// - BeginUpdate/EndUpdate nest; nothing paints while the count is above 0
//   and one full repaint follows the outermost EndUpdate.
// - Footer rows and right fixed columns scroll with the data; only their
//   painting and selection treat them as fixed.
// - Timers run only while the grid's window exists and something needs
//   them: the hover and blink timer while the mouse hovers over a grid with
//   Hovering on or a blinking text is in view, the pan timer in pan mode.
//   Destroying the window stops them all (pan mode ends with it).
// - The grid works without ever being shown (the application's hidden
//   grids export and print).
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "RichGrid/grid_objects.h"
#include "RichGrid/print_settings.h"
#include "RichGrid/rich_grid_types.h"
#include "platform/gui/grids/grids.h"

class PrintPageBuilder;
class TArrowWindow;
class TGridDropSource;
class TGridDropTarget;
class THintWindow;
class TPopupButton;
class TStrings;
class TRichEdit;
class TEditLink;
class TGridCombo;
class TGridSpin;
class TGridDatePicker;
class TGridCheckBox;
class TGridEditBtn;
class TGridUnitEditBtn;
class TGridButton;

class TRichStringGrid : public TStringGrid {
 public:
  explicit TRichStringGrid(TComponent* AOwner, TWinControl* AParent = nullptr);
  ~TRichStringGrid() override;

  // --- counts and fixed cells. These hide the string grid's accessors:
  // with FixedRowAlways a grid of one row shows it as a fixed heading.
  int RowCount() const { return TStringGrid::RowCount(); }
  void SetRowCount(int v);
  int ColCount() const { return TStringGrid::ColCount(); }
  void SetColCount(int v);
  // The string grid's count, or 1 when that is 0 and the "always" flag is on.
  int FixedRows() const;
  void SetFixedRows(int v) { TStringGrid::SetFixedRows(v); }
  int FixedCols() const;
  void SetFixedCols(int v) { TStringGrid::SetFixedCols(v); }
  bool FixedRowAlways() const { return fixedRowAlways_; }
  void SetFixedRowAlways(bool v) { fixedRowAlways_ = v; }
  bool FixedColAlways() const { return fixedColAlways_; }
  void SetFixedColAlways(bool v) { fixedColAlways_ = v; }
  // Fixed rows at the bottom and fixed columns at the right.
  int FixedFooters() const { return fixedFooters_; }
  void SetFixedFooters(int v);
  int FixedRightCols() const { return fixedRightCols_; }
  void SetFixedRightCols(int v);
  // Width of column 0 (writing sets every fixed column); height likewise.
  int FixedColWidth() const { return ColWidths(0); }
  void SetFixedColWidth(int v);
  int FixedRowHeight() const { return RowHeights(0); }
  void SetFixedRowHeight(int v);
  TFont* FixedFont() const { return fixedFont_.get(); }
  void SetFixedFont(const TFont& v) { fixedFont_->Assign(v); }
  bool FixedAsButtons() const { return fixedAsButtons_; }
  void SetFixedAsButtons(bool v) { fixedAsButtons_ = v; }

  // Hidden columns: the grid hides none; every part that maps a shown
  // column to its stored column goes through these two.
  int NumHiddenColumns() const { return 0; }
  int RealColIndex(int ACol) const { return ACol; }

  // --- typed cell access
  // "" reads as 0; a text that is not a decimal integer raises
  // ERichGridError "Cell does not contain integer value".
  int Ints(int ACol, int ARow) const;
  void SetInts(int ACol, int ARow, int v);
  // Locale separators are taken out first; failure raises the same error.
  double Floats(int ACol, int ARow) const;
  // By the locale's short date format; failure raises EConvertError.
  TDateTime Dates(int ACol, int ARow) const;

  // --- cell objects (see grid_objects.h for the kinds)
  // The cell's TCellGraphic; nullptr without one or with EnableGraphics off.
  TCellGraphic* CellGraphic(int ACol, int ARow) const;
  TCellType CellGraphicKind(int ACol, int ARow) const;
  // Puts a new TCellGraphic of that kind into the cell (freeing a
  // TCellGraphic already there) and turns EnableGraphics on; nullptr outside
  // the grid.
  TCellGraphic* CreateCellGraphic(int ACol, int ARow, TCellType kind);
  // Frees the cell's TCellGraphic and empties its object slot.
  void RemoveCellGraphic(int ACol, int ARow);
  void AddCheckBox(int ACol, int ARow, bool state, bool boundToText);
  void AddNode(int ARow, int span);
  void AddRadio(int ACol, int ARow, bool horizontal, const TStrings& items, int index);
  void AddButton(int ACol, int ARow, int width, int height, int left, int top);
  void AddComment(int ACol, int ARow, const AnsiString& comment);
  void AddPicture(int ACol, int ARow, TGraphic* picture, bool owns, TCellType kind = ctBitmap);
  void AddImageIdx(int ACol, int ARow, int index);

  // The texts a bound check box (ctDataCheckBox) reads as checked and unchecked.
  const AnsiString& CheckTrue() const { return checkTrue_; }
  const AnsiString& CheckFalse() const { return checkFalse_; }
  bool GetCheckBoxState(int ACol, int ARow, bool& state) const;
  bool ToggleCheckBox(int ACol, int ARow, bool ask);
  bool GetRadioIdx(int ACol, int ARow, int& index) const;
  bool IsRadio(int ACol, int ARow) const;
  bool IsButton(int ACol, int ARow) const;
  bool IsCheckBox(int ACol, int ARow) const;
  bool IsEditorControlCell(int ACol, int ARow) const;
  bool IsNode(int ARow) const;
  TRect GetButtonRect(int ACol, int ARow) const;
  void SetCellState(int ACol, int ARow, bool state);
  bool GetComment(int ACol, int ARow, AnsiString& comment) const;
  // Kind 0 and 1: the picture's address; 11: Value; -1 otherwise.
  std::intptr_t ImageValue(int ACol, int ARow) const;
  void CellGraphicSize(int ACol, int ARow, int& width, int& height);
  void CellTextSize(int ACol, int ARow, int& width, int& height);
  TAlignment GetCellAlignment(int ACol, int ARow);

  // --- the grid's own virtual operations
  virtual int GetVersionNr();
  virtual AnsiString GetVersion();
  // Ends an edit: true when nothing was pending or the edit was accepted.
  virtual bool ValidateEdit();
  virtual void RemoveRows(int ARow, int ACount);
  virtual void RemoveRowsEx(int ARow, int ACount);
  virtual void InsertRows(int ARow, int ACount);
  virtual void RemoveCols(int ACol, int ACount);
  virtual void InsertCols(int ACol, int ACount);
  virtual void ClearRect(int ACol1, int ARow1, int ACol2, int ARow2);
  // Called after an edit changed a cell; does nothing here.
  virtual void CellChanged(int ACol, int ARow);
  // Records the cell and its text at the start of an edit.
  virtual void BeginEdit(int ACol, int ARow);
  // The "..." button of a cell editor: result is the text, which
  // OnEllipsClick may replace.
  virtual void EllipsClick(const AnsiString& text, AnsiString& result);
  virtual void GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont);
  virtual void GetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont);
  virtual void GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& borders);
  virtual void GetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& borders);
  virtual void GetCellAlign(int ACol, int ARow, TAlignment& alignment);
  virtual void GetCellFormat(int ACol, TSortStyle& style, AnsiString& prefix, AnsiString& suffix);
  virtual void GetCellEditor(int ACol, int ARow, TEditorType& editor);
  virtual void IsFixedCell(int ACol, int ARow, bool& IsFixed);
  virtual void CanEditCell(int ACol, int ARow, bool& CanEdit);
  virtual void IsPasswordCell(int ACol, int ARow, bool& IsPassword);
  // The text shown for a cell text that begins with '='; the text itself here.
  virtual AnsiString FormulaCellText(int ACol, int ARow, const AnsiString& text);
  // Called after a paste with the pasted block; copied is set when the
  // clipboard came from a copy of this grid. Does nothing here.
  virtual void PasteDone(const TGridRect& pasted, bool copied);

  // --- update, repaint, clearing
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }
  void RepaintCell(int ACol, int ARow);
  void RepaintRow(int ARow);
  void RepaintRect(const TGridRect& r);
  // A point near a sizable line of the first rows (columns).
  bool IsSizingBorder(int X, int Y);
  // Parks the selection at (ColCount, RowCount), outside the grid.
  void HideSelection();
  // Puts back the selection HideSelection remembered.
  void UnHideSelection();
  void ClearAll();
  void ClearRows(int ARow, int ACount);
  void ClearCols(int ACol, int ACount);

  // --- sizing (rich_grid_sizing.cpp)
  // Every width and height grows by delta while the zoom level stays in -10..10.
  void Zoom(int delta);
  int ZoomLevel() const { return zoomLevel_; }
  // Widens the last column so the columns fill the client width.
  void StretchRightColumn();

  // --- fitting to the cells, rows (rich_grid_autosize.cpp). Cells are
  // measured with the fonts of painting (fixed font, colour event, zoom).
  // Fits every column to its cells (fixed ones too with doFixedCols) and
  // adds padding to each.
  void FitColumns(bool doFixedCols, int padding);
  // The widest cell + 4; with growOnly the column only widens.
  void FitColumn(int ACol, bool growOnly = false);
  // The tallest cell (wrapped at the column's width less 4) + 2, at least
  // DefaultRowHeight.
  void FitRow(int ARow);
  // Lines of 1.25 text heights of the grid's font, plus extra pixels.
  void SetRowLines(int ARow, int Lines, int Extra);
  // Inside the selection; with disjunct row selection, in a selected row.
  bool IsCellInSelection(int ACol, int ARow) const;
  // Swaps the rows' texts and objects, their heights and (with disjunct row
  // selection) their selection flags; the current row stays with its row.
  void ExchangeRows(int R1, int R2);
  // The first row from FixedRows on whose key cell (SortColumn with
  // SortShow, else column 1) begins, upper-cased, with Text (given
  // upper-cased); -1 when none or with fewer than 2 rows.
  int FindRowByPrefix(const AnsiString& Text) const;

  // --- sorting (rich_grid_sort.cpp). The data rows (below the fixed rows,
  // above the footers) move with their texts, objects, heights and
  // selection flags; the current row goes with its row. A comparison event
  // that throws leaves the grid as it was.
  // By SortColumn in SortDirection (then the columns after it, with SortFull).
  void SortByColumn();
  // By the columns of the sort index, each in its own direction; raises
  // ERichGridError "No indexes specified for indexed sort" when it is empty.
  void SortByIndex();
  // -1, 0 or 1: row 1 before, with or after row 2 in the column, by the
  // column's format (GetCellFormat).
  int CompareCells(int ACol, int ARow1, int ARow2);
  // A click released over the heading of ACol at X: sorts by the column
  // (again: the other way round) or, with SortIndexShow, by the sort index
  // (Shift adds the column or turns its direction), when the grid allows.
  void HeaderClickSort(int ACol, int X, TShiftState Shift);

  // --- painting (rich_grid_paint.cpp, rich_grid_graphics.cpp)
  // The phase of blinking mark-up text: off draws it invisible.
  bool BlinkOn() const { return blinkOn_; }
  void SetBlinkOn(bool v) { blinkOn_ = v; }

  // --- disjoint row selection, hidden rows, nodes, filter (rich_grid_rows.cpp,
  // rich_grid_hidden.cpp)
  // ERichGridError "Invalid row accessed" outside 0..RowCount-1.
  bool RowSelect(int ARow) const;
  void SetRowSelect(int ARow, bool v);
  int RowSelectCount() const;
  void ClearRowSelect();
  void SelectRowsInSelection();
  void RemoveSelectedRows();
  // A shown row's index among all rows (hidden ones counted); -1 for a
  // negative row. DisplayRowIndex goes the other way.
  int RealRowIndex(int displayRow) const;
  int DisplayRowIndex(int realRow) const;
  bool IsHiddenRow(int realRow) const;
  int NumHiddenRows() const;
  void HideRows(int firstReal, int lastReal);
  void HideRow(int realRow) { HideRows(realRow, realRow); }
  void UnHideRows(int firstReal, int lastReal);
  void UnHideRow(int realRow) { UnHideRows(realRow, realRow); }
  void UnHideRowsAll();
  void ExpandNode(int displayRow);
  void ContractNode(int displayRow);
  TFilter* Filter() const { return filter_.get(); }
  bool FilterActive() const { return filterActive_; }
  void SetFilterActive(bool v);

  // --- scroll bars (rich_grid_scroll.cpp): the state the flat scroll bars
  // would be given; kept and observable.
  struct FlatScrollState {
    bool Initialized = false;
    int Style = 0;  // regular 0, encarta 1, flat 2
    TColor Color = clNone;
    int VertWidth = 0, HorzHeight = 0;
    bool VertShown = false, HorzShown = false;
  };
  const FlatScrollState& FlatScroll() const { return flatScroll_; }
  TScrollType ScrollType() const { return scrollType_; }
  void SetScrollType(TScrollType v);
  TColor ScrollColor() const { return scrollColor_; }
  void SetScrollColor(TColor v);
  int ScrollWidth() const { return scrollWidth_; }
  void SetScrollWidth(int v);
  bool ScrollProportional() const { return scrollProportional_; }
  void SetScrollProportional(bool v);
  bool ScrollSynch() const { return scrollSynch_; }
  void SetScrollSynch(bool v) { scrollSynch_ = v; }
  TScrollHintType ScrollHints() const { return scrollHints_; }
  void SetScrollHints(TScrollHintType v) { scrollHints_ = v; }

  // --- cell editing (rich_grid_editing.cpp, rich_grid_controls.cpp)
  //
  // A cell is edited in the in-place editor (TRichInplaceEdit) or, by the
  // editor type GetCellEditor answers, in one of the grid's editor controls
  // (cell_controls.h) or the control of the current TEditLink. The edit of a
  // cell ends when the user leaves it (another cell, Enter, a leaving key of
  // a control, the focus going out of the grid); then OnCellValidate may
  // change the text or refuse it. A refused edit keeps the user in the cell
  // with the corrected text, or the text the cell had when the edit began,
  // and moves nothing. Escape gives the cell back its starting text.
  //
  // Hides the string grid's: also keeps the designed editing option, from
  // which every per-cell editability question (CanEditCell) starts.
  void SetOptions(TGridOptions v);
  // Moves on from (ACol, ARow) after Enter, by Navigation.AdvanceDirection,
  // when Navigation.AdvanceOnEnter is on or `force`: to the next (previous)
  // cell that can be edited, inserting a row (column) at the end with
  // Navigation.AdvanceInsert; the cell becomes current with its editor
  // open. Stops after one pass over a grid without an editable cell. True
  // when a cell became current.
  bool AdvanceCell(int ACol, int ARow, bool forward, bool force);
  // The control of edCustom cells; nullptr: such cells open no editor.
  TEditLink* EditLink() const { return editLink_; }
  void SetEditLink(TEditLink* v);
  // The editor controls (made hidden with the grid, owned by it). Their
  // properties (items, bounds, steps) are the application's to set, for
  // example in OnGetEditorProp, which fires before a control opens.
  TGridCombo* GridCombo() const { return gridCombo_; }
  TGridSpin* GridSpin() const { return gridSpin_; }
  TGridDatePicker* GridDatePicker() const { return gridDatePicker_; }
  TGridCheckBox* GridCheckBox() const { return gridCheckBox_; }
  TGridEditBtn* GridEditBtn() const { return gridEditBtn_; }
  TGridUnitEditBtn* GridUnitEditBtn() const { return gridUnitEditBtn_; }
  TGridButton* GridButton() const { return gridButton_; }
  // The open editor control, or nullptr.
  TWinControl* ActiveEditControl() const { return activeControl_; }
  // The text the current cell had when it was selected or its edit began.
  const AnsiString& StartText() const { return startText_; }

  // Called by the editors. A leaving key of the open editor control (see
  // cell_controls.h); passOn hands the key on to the grid's own keys.
  void LeaveEditControl(Word key, TShiftState shift, bool passOn);
  // A key that ends the edit of the link's control (0: the focus left).
  void EndLinkEdit(Word key, TShiftState shift);
  // The in-place editor's cursor walk: validate, then the next (previous)
  // cell left to right as after Enter.
  void WalkFromEditor(bool forward);
  // Tab as the grid's window gets it once the editor is closed: the next
  // cell with goTabs, else the control after the grid.
  void PassTabOn(TShiftState shift);
  // Size while typing: the column widens to the edited text, the row (with
  // WordWrap) follows it.
  void SizeToEditedText();
  // The edited row as high as its text.
  void FitEditedRow();
  // A link being destroyed.
  void LinkDestroyed(TEditLink* link);
  // With MouseActions.CaretPositioning, the point (client coordinates) of
  // the click that is opening an editor; true once per click.
  bool TakeEditClick(TPoint& at);
  // Navigation.AdvanceAuto: an edit mask of the cell is filled (no blank
  // left, the caret at the end) and the edit should end as with Enter.
  bool AutoAdvanceDue(const AnsiString& text, int caret);

  // --- the mouse, the wheel and the window's messages (rich_grid_mouse.cpp,
  // rich_grid_messages.cpp). Header clicks sort (Shift adds to the sort
  // index), double clicks on a heading's sizing line fit the column,
  // fixed cells select whole rows, columns or the grid, links in cells open
  // (web and mail addresses only) or jump to a cell of the grid (CELL://),
  // the wheel moves the current row or, with Ctrl, zooms, and the middle
  // button pans. The class library's mouse events pass through unchanged.
  //
  // The fixed-cell cursor state of the mouse: 0 none, 1 column select,
  // 2 row select, 3 select all.
  int FixedCellCursor() const { return cursorState_; }
  // Pan mode: from a press of the middle button to the next press of any
  // button (or the window's end).
  bool PanMode() const { return panMode_; }
  // Whether the hover and blink timer runs.
  bool HoverTimerRunning() const { return timerRunning_; }
  // Whether a cell's hint is shown, and for which cell.
  bool CellHintShown() const { return hintShown_; }
  TGridCoord HintCell() const { return hintCell_; }

  // --- settings files (rich_grid_settings.cpp)
  // Column widths as "col<i>" in ColumnSize.Section of ColumnSize.Key.
  void SaveColSizes();
  void LoadColSizes();
  void SavePrintSettings(const AnsiString& fileName, const AnsiString& section);
  void LoadPrintSettings(const AnsiString& fileName, const AnsiString& section);

  // --- grid files (grid_files.cpp, grid_ascii.cpp, grid_html.cpp, grid_csv.cpp)
  // The file range: with IncludeFixedCells the whole grid, else the cells
  // between the fixed columns and rows (right columns and footers too).
  // Files are CP1251 text with CR LF line ends; a file is replaced only once
  // it has been written whole, so a failure leaves the old one as it was.
  // Failures raise ERichGridError with the file name.
  //
  // The cell file: a size line "cols,rows", a width line "cw <col>,<width>"
  // per column, then "<col>,<row>,<text>" per non-empty cell (grid indexes),
  // line breaks of a text with CR written as TAB (CR) and BS (LF).
  void SaveToFile(const AnsiString& FileName);
  // Reads a cell file into the grid without clearing it first. Blank lines,
  // lines without a comma and negative indexes are skipped; a missing or
  // non-positive size is a damaged file (the grid keeps what it had).
  void LoadFromFile(const AnsiString& FileName);
  // A fixed-width text table of every cell, aligned by the alignment query.
  void SaveToASCII(const AnsiString& FileName);
  // An HTML table of the file range between HTMLSettings' header and footer
  // files; Append adds it to the end of an existing file.
  void SaveToHTML(const AnsiString& FileName, bool Append = false);
  // Separated values: one row per record, fields split at Delimiter (0:
  // detected from the first two lines and restored afterwards), standard
  // double-quote quoting. Append reads into new rows below RowCount.
  void LoadFromCSV(const AnsiString& FileName, bool Append = false);
  // --- the clipboard (grid_clipboard.cpp). A range goes as CP1251 text,
  // rows ended by CR LF and cells separated by TAB ("a\tb\r\nc\td\r\n").
  // Copies the selection and sets the copied mark.
  void CopySelectionToClipboard();
  // Copies, then empties the selection's cells that may be edited (every
  // one with Navigation.AllowClipboardAlways); clears the copied mark.
  void CutSelectionToClipboard();
  // Pastes the clipboard from the cell on, growing the grid as
  // Navigation allows and writing only inside it; calls PasteDone with the
  // pasted block. Returns the number of fields pasted (0 for rich text).
  int PasteFromClipboard(int ACol, int ARow);
  // Pastes at the selection's top-left; with AllowSmartClipboard one field
  // then fills the selection and two start a series over it.
  void PasteSelectionFromClipboard();
  // The selection as clipboard text; with whole-row selection and
  // disjunct row selection only the rows selected.
  AnsiString SelectionAsText();
  // Columns (most cells in a line) and rows (lines) of a clipboard text;
  // with quotedFields, as a QuoteMultiline grid pastes it (the line breaks
  // of a quoted field stay in its line).
  static void ClipboardTextSize(const AnsiString& text, int& cols, int& rows, bool quotedFields = false);
  // Set by a copy of this grid, cleared by a cut.
  bool ClipboardCopied() const { return copiedMark_; }
  // Multi-line cells (any line break: CR LF, CR or LF) go out quoted, and
  // quoted fields come in unquoted, their line breaks kept in the cell.
  bool QuoteMultiline() const { return quoteMultiline_; }
  void SetQuoteMultiline(bool v) { quoteMultiline_ = v; }

  // --- spreadsheet and document files through the office automation
  // servers (grid_office.cpp). The hourglass shows while they run; the
  // server quits and the cursor comes back however they end. No server:
  // ERichGridError "Excel OLE server not found" / "Word OLE server not
  // found"; a server's own failures pass through as they come.
  //
  // The file range as one block from A1 of a new workbook's new sheet, or,
  // with a sheet name, of that sheet (made when missing) in the workbook of
  // the file (made when missing). Texts lose their CR; whole and decimal
  // numbers go as numbers.
  void SaveToXLS(const AnsiString& FileName, const AnsiString& SheetName = "");
  // The used range of the active or the named sheet ("Excel worksheet
  // <name> not found"); the grid takes its size (below and right of the
  // fixed cells without IncludeFixedCells). A missing file: "Cannot open
  // file <name>".
  void LoadFromXLS(const AnsiString& FileName, const AnsiString& SheetName = "");
  // Every cell in a table of a new document, right and centred cells
  // aligned so.
  void SaveToDOC(const AnsiString& FileName);
  // Whether the size and width lines of the cell file count hidden columns.
  bool FileIncludesHidden() const { return fileIncludesHidden_; }
  void SetFileIncludesHidden(bool v) { fileIncludesHidden_ = v; }
  // Separated values: '~' instead of LF stands for a line break in a field.
  bool TildeLineBreaks() const { return tildeLineBreaks_; }
  void SetTildeLineBreaks(bool v) { tildeLineBreaks_ = v; }

  // --- printing and print preview (rich_grid_print.cpp, grid_print_pages.cpp,
  // grid_printed_cells.cpp). Pages are laid out by PrintSettings in tenths
  // of a millimetre; what is measured for a layout is kept until the cells
  // or the settings change, so repainting a preview page is cheap.
  // Prints every cell on Printer(). OnPrintStart receives the page count
  // and may narrow the range (FromPage 0, ToPage 0 or FromPage > ToPage
  // prints nothing); page numbers count the whole job. The preview page is
  // the same afterwards. Printer errors pass to the caller.
  void Print();
  void PrintCells(const TGridRect& range);
  // Draws the preview page (PrintPageFrom) of every cell into rect
  // (device units of canvas): the printer's page, laid out as printing
  // lays it out, reduced to fit rect with its corner at rect's.
  void PrintPreview(TCanvas* canvas, const TRect& rect);
  // Where in rect the preview draws the printer's page.
  TRect PreviewPageRect(const TRect& rect);
  void SetPreviewPage(int page);
  // The print-settings dialog's sketch: page 1 without counting the pages;
  // the preview page and later jobs are not affected.
  void PrintSketch(TCanvas* canvas, const TRect& rect);
  // The page builder itself (modes in grid_print_pages.h); returns the
  // pages laid out.
  int PrintPages(TCanvas* canvas, int mode, int totalPages);

  // --- property groups
  TPrintsettings* PrintSettings() const { return printSettings_.get(); }
  THTMLSettings* HTMLSettings() const { return htmlSettings_.get(); }
  TNavigation* Navigation() const { return navigation_.get(); }
  TColumnSize* ColumnSize() const { return columnSize_.get(); }
  TCellNode* CellNode() const { return cellNode_.get(); }
  TBands* Bands() const { return bands_.get(); }
  TSizeWhileTyping* SizeWhileTyping() const { return sizeWhileTyping_.get(); }
  TMouseActions* MouseActions() const { return mouseActions_.get(); }
  TBackGround* BackGround() const { return backGround_.get(); }
  TSortIndexList* SortIndexes() const { return sortIndexes_.get(); }
  THintWindow* HintWindow() const { return hintWindow_; }
  TRichEdit* RichEdit() const { return richEdit_; }
  TArrowWindow* ArrowMarker(int direction) const;

  // --- published properties
  bool AutoNumAlign() const { return autoNumAlign_; }
  void SetAutoNumAlign(bool v) { autoNumAlign_ = v; }
  bool AutoSize() const { return autoSize_; }
  // True fits every non-fixed column and widens it by 10 pixels.
  void SetAutoSize(bool v);
  TVAlignment VAlignment() const { return vAlignment_; }
  void SetVAlignment(TVAlignment v);
  // DT_VCENTER, DT_TOP or DT_BOTTOM, by VAlignment.
  unsigned VAlignFlags() const { return vAlignFlags_; }
  // DT_RTLREADING after Loaded with a right-to-left BiDiMode, else 0.
  unsigned ExtraTextFlags() const { return extraTextFlags_; }
  bool EnhTextSize() const { return enhTextSize_; }
  void SetEnhTextSize(bool v) { enhTextSize_ = v; }
  bool EnhRowColMove() const { return enhRowColMove_; }
  void SetEnhRowColMove(bool v) { enhRowColMove_ = v; }
  bool SortFixedCols() const { return sortFixedCols_; }
  void SetSortFixedCols(bool v) { sortFixedCols_ = v; }
  bool SortNormalCellsOnly() const { return sortNormalCellsOnly_; }
  void SetSortNormalCellsOnly(bool v) { sortNormalCellsOnly_ = v; }
  bool SizeWithForm() const { return sizeWithForm_; }
  void SetSizeWithForm(bool v) { sizeWithForm_ = v; }
  bool Multilinecells() const { return multilinecells_; }
  void SetMultilinecells(bool v) { multilinecells_ = v; }
  TSortDirection SortDirection() const { return sortDirection_; }
  void SetSortDirection(TSortDirection v) { sortDirection_ = v; }
  bool SortFull() const { return sortFull_; }
  void SetSortFull(bool v) { sortFull_ = v; }
  bool SortAutoFormat() const { return sortAutoFormat_; }
  void SetSortAutoFormat(bool v) { sortAutoFormat_ = v; }
  bool SortShow() const { return sortShow_; }
  void SetSortShow(bool v);
  bool SortIndexShow() const { return sortIndexShow_; }
  void SetSortIndexShow(bool v);
  int SortColumn() const { return sortColumn_; }
  void SetSortColumn(int v);
  bool EnableGraphics() const { return enableGraphics_; }
  void SetEnableGraphics(bool v) { enableGraphics_ = v; }
  bool EnableHTML() const { return enableHTML_; }
  void SetEnableHTML(bool v) { enableHTML_ = v; }
  bool EnableWheel() const { return enableWheel_; }
  void SetEnableWheel(bool v) { enableWheel_ = v; }
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor v) { hintColor_ = v; }
  TColor SelectionColor() const { return selectionColor_; }
  void SetSelectionColor(TColor v);
  TColor SelectionTextColor() const { return selectionTextColor_; }
  void SetSelectionTextColor(TColor v);
  bool SelectionRectangle() const { return selectionRectangle_; }
  void SetSelectionRectangle(bool v);
  bool SelectionRTFKeep() const { return selectionRTFKeep_; }
  void SetSelectionRTFKeep(bool v) { selectionRTFKeep_ = v; }
  bool HintShowCells() const { return hintShowCells_; }
  void SetHintShowCells(bool v) { hintShowCells_ = v; }
  bool HintShowLargeText() const { return hintShowLargeText_; }
  void SetHintShowLargeText(bool v) { hintShowLargeText_ = v; }
  bool OleAcceptFiles() const { return oleAcceptFiles_; }
  void SetOleAcceptFiles(bool v);
  bool OleAcceptText() const { return oleAcceptText_; }
  void SetOleAcceptText(bool v);
  // True registers the grid as a drop target (remembering whether that
  // worked); false revokes it. See grid_drag_drop.cpp.
  bool OleDropTarget() const { return oleDropTarget_; }
  void SetOleDropTarget(bool v);
  bool OleDropSource() const { return oleDropSource_; }
  void SetOleDropSource(bool v) { oleDropSource_ = v; }
  bool OleEntireRows() const { return oleEntireRows_; }
  void SetOleEntireRows(bool v) { oleEntireRows_ = v; }
  bool OleInsertRows() const { return oleInsertRows_; }
  void SetOleInsertRows(bool v) { oleInsertRows_ = v; }
  bool OleRemoveRows() const { return oleRemoveRows_; }
  void SetOleRemoveRows(bool v) { oleRemoveRows_ = v; }
  bool OleDropRTF() const { return oleDropRTF_; }
  void SetOleDropRTF(bool v);
  int MaxEditLength() const { return maxEditLength_; }
  void SetMaxEditLength(int v);
  TImageList* GridImages() const { return gridImages_; }
  // The grid forgets the list when it is destroyed.
  void SetGridImages(TImageList* v);
  TIntelliPan IntelliPan() const { return intelliPan_; }
  void SetIntelliPan(TIntelliPan v) { intelliPan_ = v; }
  bool IntelliZoom() const { return intelliZoom_; }
  void SetIntelliZoom(bool v) { intelliZoom_ = v; }
  TColor URLColor() const { return urlColor_; }
  void SetURLColor(TColor v);
  bool URLShow() const { return urlShow_; }
  void SetURLShow(bool v);
  bool URLFull() const { return urlFull_; }
  void SetURLFull(bool v);
  bool URLEdit() const { return urlEdit_; }
  void SetURLEdit(bool v) { urlEdit_ = v; }
  bool OemConvert() const { return oemConvert_; }
  void SetOemConvert(bool v) { oemConvert_ = v; }
  const AnsiString& FloatFormat() const { return floatFormat_; }
  void SetFloatFormat(const AnsiString& v) { floatFormat_ = v; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  TStringList* ColumnHeaders() const { return columnHeaders_.get(); }
  void SetColumnHeaders(TStrings* v);
  TStringList* RowHeaders() const { return rowHeaders_.get(); }
  void SetRowHeaders(TStrings* v);
  TStringList* LookupItems() const { return lookupItems_.get(); }
  void SetLookupItems(TStrings* v) { lookupItems_->Assign(v); }
  bool Lookup() const { return lookup_; }
  void SetLookup(bool v) { lookup_ = v; }
  bool LookupCaseSensitive() const { return lookupCaseSensitive_; }
  void SetLookupCaseSensitive(bool v) { lookupCaseSensitive_ = v; }
  bool LookupHistory() const { return lookupHistory_; }
  void SetLookupHistory(bool v) { lookupHistory_ = v; }
  bool ShowSelection() const { return showSelection_; }
  void SetShowSelection(bool v);
  bool HideFocusRect() const { return hideFocusRect_; }
  void SetHideFocusRect(bool v) { hideFocusRect_ = v; }
  TBitmap* SortUpGlyph() const { return sortUpGlyph_.get(); }
  void SetSortUpGlyph(const TBitmap& v) { sortUpGlyph_->Assign(v); }
  TBitmap* SortDownGlyph() const { return sortDownGlyph_.get(); }
  void SetSortDownGlyph(const TBitmap& v) { sortDownGlyph_->Assign(v); }
  TBitmap* RowIndicator() const { return rowIndicator_.get(); }
  void SetRowIndicator(const TBitmap& v) { rowIndicator_->Assign(v); }
  bool Hovering() const { return hovering_; }
  // Hovering: every half second the data cell under the mouse becomes
  // current (the timer runs while the mouse is over the grid).
  void SetHovering(bool v);
  bool IncludeFixedCells() const { return includeFixedCells_; }
  void SetIncludeFixedCells(bool v) { includeFixedCells_ = v; }
  char Delimiter() const { return delimiter_; }
  void SetDelimiter(char v) { delimiter_ = v; }
  char PasswordChar() const { return passwordChar_; }
  // The pages that are drawn (FromPage, ToPage): the preview page, or the
  // pages of the print job under way.
  int PrintPageFrom() const { return printPageFrom_; }
  int PrintPageTo() const { return printPageTo_; }
  void SetPrintPageRange(int from, int to) {
    printPageFrom_ = from;
    printPageTo_ = to;
  }
  // Lines per wheel notch and the wheel's message number.
  int WheelScrollLines() const { return wheelScrollLines_; }
  UINT WheelMessage() const { return wheelMessage_; }
  TEditorType EditorType() const { return editorType_; }
  bool EditControlActive() const { return editControlActive_; }

  // --- events
  TGridColorEvent OnGetCellColor;
  TGridColorEvent OnGetCellPrintColor;
  TGridBorderEvent OnGetCellPrintBorder;
  TGridBorderEvent OnGetCellBorder;
  TGridAlignEvent OnGetAlignment;
  TGridFormatEvent OnGetFormat;
  TGridHintEvent OnGridHint;
  TRowChangingEvent OnRowChanging;
  TColChangingEvent OnColChanging;
  TCellChangingEvent OnCellChanging;
  TGridPrintPageEvent OnPrintPage;
  TGridPrintStartEvent OnPrintStart;
  TDoFitToPageEvent OnFitToPage;
  TGridPrintNewPageEvent OnPrintNewPage;
  TGridPrintColumnWidthEvent OnPrintSetColumnWidth;
  TGridPrintRowHeightEvent OnPrintSetRowHeight;
  TCanAddRowEvent OnCanAddRow;
  TAutoAddRowEvent OnAutoAddRow;
  TCanInsertRowEvent OnCanInsertRow;
  TAutoInsertRowEvent OnAutoInsertRow;
  TAutoInsertColEvent OnAutoInsertCol;
  TCanDeleteRowEvent OnCanDeleteRow;
  TAutoDeleteRowEvent OnAutoDeleteRow;
  TClickSortEvent OnClickSort;
  TCanSortEvent OnCanSort;
  TNodeClickEvent OnExpandNode;
  TNodeClickEvent OnContractNode;
  TCustomCompareEvent OnCustomCompare;
  TRawCompareEvent OnRawCompare;
  TClickCellEvent OnClickCell;
  TClickCellEvent OnRightClickCell;
  TDblClickCellEvent OnDblClickCell;
  TCanEditCellEvent OnCanEditCell;
  TIsFixedCellEvent OnIsFixedCell;
  TIsPasswordCellEvent OnIsPasswordCell;
  TAnchorClickEvent OnAnchorClick;
  TAnchorEvent OnAnchorEnter;
  TAnchorEvent OnAnchorExit;
  TClipboardEvent OnClipboardPaste;
  TClipboardEvent OnClipboardCopy;
  TClipboardEvent OnClipboardCut;
  TCellValidateEvent OnCellValidate;
  TGridProgressEvent OnFileProgress;
  TGetEditorTypeEvent OnGetEditorType;
  TGetEditorPropEvent OnGetEditorProp;
  TEllipsClickEvent OnEllipsClick;
  TButtonClickEvent OnButtonClick;
  TCheckBoxClickEvent OnCheckBoxClick;
  TCheckBoxClickEvent OnCheckBoxMouseUp;
  TRadioClickEvent OnRadioClick;
  TRadioClickEvent OnRadioMouseUp;
  TComboChangeEvent OnComboChange;
  TSpinClickEvent OnSpinClick;
  TFloatSpinClickEvent OnFloatSpinClick;
  TDateTimeSpinClickEvent OnTimeSpinClick;
  TDateTimeSpinClickEvent OnDateSpinClick;
  TOleDragDropEvent OnOleDrop;
  TOleDragDropEvent OnOleDrag;
  TOleDragOverEvent OnOleDragOver;
  TOleDragStartEvent OnOleDragStart;
  TOleDragStopEvent OnOleDragStop;
  TOleDropColEvent OnOleDropCol;
  TScrollHintEvent OnScrollHint;
  TColumnSizeEvent OnColumnSize;
  TColumnSizeEvent OnColumnMove;
  TRowSizeEvent OnRowSize;
  TRowSizeEvent OnRowMove;
  TEndColumnSizeEvent OnEndColumnSize;
  TEndRowSizeEvent OnEndRowSize;

  void Loaded() override;
  void WndProc(TMessage& message) override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void CreateWnd() override;
  void DestroyWnd() override;
  void Paint() override;
  void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
  void SizeChanged(int OldColCount, int OldRowCount) override;
  void ColWidthsChanged() override;
  void RowHeightsChanged() override;
  void TopLeftChanged() override;
  void Resized() override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                       TGridDrawInfo& FixedInfo) override;
  void RowsRearranged(const std::vector<int>& source) override;
  TInplaceEdit* CreateEditor() override;
  bool CanEditShow() override;
  bool SelectCell(int ACol, int ARow) override;
  void Click() override;
  void DoExit() override;
  bool KeyDown(Word& Key, TShiftState Shift) override;
  bool KeyPress(char& Key) override;
  bool KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void MouseLeave() override;
  bool ShowOwnHint(TPoint clientPos, TPoint screenPos) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void RowMoved(int FromIndex, int ToIndex) override;
  void DoEnter() override;

  // Sizing by mouse: the column (row) being sized and its size before.
  int FSizingCol = -1, FSizingRow = -1;
  int FSizingColWidth = 0, FSizingRowHeight = 0;
  bool FColSized = false, FRowSized = false;
  // The cell and text an edit started from (BeginEdit).
  int FEditCol = -1, FEditRow = -1;
  AnsiString FEditText;
  TEditorType editorType_ = edNormal;
  bool editControlActive_ = false;

 private:
  void ApplyColumnHeaders();
  void ApplyRowHeaders();
  void FormResize(TObject* Sender);
  void UpdateScrollSettings();
  void Repaint();
  void ApplyFixedAlways();
  // RearrangeRows keeping the last column's width and the "always" fixed cells.
  void Rearrange(const std::vector<int>& source);
  // Removes the (sorted) rows as RemoveRows does (the current row goes to
  // the first data row when it is gone) or as RemoveRowsEx does (it goes to
  // the last data row).
  void RemoveRowsAt(const std::vector<int>& rows);
  void RemoveRowSet(const std::vector<int>& rows);
  // Holds the (sorted) shown rows hidden, removing them as RemoveRows
  // (byRemoveRowsEx false) or RemoveRowsEx does.
  void HideRowSet(const std::vector<int>& displayRows, bool byRemoveRowsEx);
  // Puts back the hidden rows for which `take` answers true (by position
  // in hiddenRows_), each at its real index.
  void RestoreHiddenRows(const std::function<bool(const TGridItem&)>& take);
  // The real indexes of (sorted) shown rows.
  std::vector<int> RealRowIndexes(const std::vector<int>& displayRows) const;
  // Shown rows inserted at displayRow (count of them) or removed (the
  // sorted displayRows): the hidden rows after them move with the rest.
  void MakeRoomInHiddenRows(int displayRow, int count);
  void CloseUpHiddenRows(const std::vector<int>& displayRows);
  // Hidden rows drop the cells of columns the grid no longer has.
  void TrimHiddenRows();
  bool HiddenRowIsNode(int realRow) const;
  bool RowPassesFilter(int ARow) const;
  class SortColumnKeys;
  void SortRows(bool byIndex);
  int FittedColumnWidth(int ACol);
  // The clipboard's pieces (grid_clipboard.cpp).
  bool ClipboardCellEditable(int ACol, int ARow);
  AnsiString ClipboardCellText(int ACol, int ARow);
  AnsiString RangeAsText(int ACol1, int ACol2, const std::vector<int>& rows);
  // For each line of a pasted text, whether each of its fields was written.
  using PastedFields = std::vector<std::vector<bool>>;
  // Returns the number of fields; taken (when given) gets which of them
  // were written.
  int PasteText(int ACol, int ARow, const AnsiString& text, PastedFields* taken = nullptr);
  void FillSeries(const TGridRect& sel);
  void FinishMouseSizing(bool columns);
  void UseCellFont(int ACol, int ARow);

  // Cell editing (rich_grid_editing.cpp, rich_grid_controls.cpp).
  bool DesignedEditing();
  // The grid's editing option for the cell: the designed option as
  // CanEditCell answers it for the cell.
  bool CellEditable(int ACol, int ARow);
  void ApplyCellEditing(int ACol, int ARow);
  // Ends the edit of the cell being left: the open control's or link's value
  // written and validated, a pending in-place edit validated. False when
  // the validation refused it.
  bool FinishEditing();
  // The in-place editor shows the cell's text again (after a validation).
  void ReloadInplaceEditor();
  void RevertEdit();
  void IncrementalSearch(char key);
  bool AdvanceBy(int ACol, int ARow, bool forward, TAdvanceDirection direction);
  void CreateEditorControls();
  TWinControl* ControlFor(TEditorType type) const;
  void ShowEditorControl(int ACol, int ARow);
  void FillEditControl();
  AnsiString EditControlText() const;
  // Writes the control's value into its cell and validates it; a refused
  // value comes back into the control. False when refused.
  bool CommitEditControl();
  void HideEditControl();
  bool EndEditControl();
  // The open control gets the focus back when the grid takes it.
  void RefocusEditControl();
  // Scrolling closes the open control (its value written and validated).
  void CloseEditControlOnScroll();
  void ShowLinkEditor(int ACol, int ARow);
  void CloseLinkEditor();
  bool FocusInLinkEditor() const;
  bool FocusInPopup() const;

  AnsiString startText_;
  AnsiString searchText_;
  bool editPending_ = false, validating_ = false, editorShown_ = false, handingBack_ = false;
  // A move refused by a validation refuses the rest of its mouse drag.
  bool refusedDrag_ = false;
  bool designedEditing_ = false, editingApplied_ = false, appliedEditing_ = false;
  // The character that opened the editor, typed on into a control it opens.
  char typedChar_ = 0;
  TShiftState keyShift_;
  TGridCombo* gridCombo_ = nullptr;
  TGridSpin* gridSpin_ = nullptr;
  TGridDatePicker* gridDatePicker_ = nullptr;
  TGridCheckBox* gridCheckBox_ = nullptr;
  TGridEditBtn* gridEditBtn_ = nullptr;
  TGridUnitEditBtn* gridUnitEditBtn_ = nullptr;
  TGridButton* gridButton_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  int controlCol_ = -1, controlRow_ = -1;
  TEditLink* editLink_ = nullptr;
  bool linkActive_ = false;
  bool editClick_ = false;
  TPoint editClickPoint_;
  // The mouse (rich_grid_mouse.cpp).
  // The steps of a left press on a cell that the grid's own rules do not
  // make fixed; false when the press went no further (a jump to a cell).
  bool PressCell(int ACol, int ARow, TShiftState Shift, int X, int Y);
  bool IsDataRow(int ARow) const;
  bool IsDataCol(int ACol) const;
  // The link under a client point of a cell: a plain text that is a link
  // (with URLShow) or the anchor of mark-up text under the point.
  AnsiString AnchorAt(int ACol, int ARow, int X, int Y);
  // Follows a link clicked in a cell; false when it jumped to a cell.
  bool FollowLink(int ACol, int ARow, const AnsiString& anchor);
  void JumpToCell(int ACol, int ARow);
  int CursorStateAt(int X, int Y);
  void ShowMouseCursor();
  void ShowMoveMarkers();
  void HideMoveMarkers();
  int RadioItemAt(int ACol, int ARow, int X, int Y);
  // The grid's own keys after the string grid's (rich_grid_keys.cpp); the
  // selection and current cell from before the string grid's handling.
  bool GridKeyDown(Word Key, TShiftState Shift, const TGridRect& before, TGridCoord from);
  bool ClipboardKey(Word Key, bool ctrl, bool shift);
  void InsertRowByKey();
  bool DeleteRowByKey();
  // Drag and drop (grid_drag_drop.cpp).
  friend class TGridDropTarget;
  friend class TGridDropSource;
  void CreateDragMarker();
  void ReleaseDropTarget();
  TGridCoord CellAtScreen(TPoint pt);
  void HideDropMarkers();
  void OleDragMove(TPoint pt, bool& allow, int formats);
  // What a drop wrote of the text dropped: nothing, every field, or some
  // of them (the rest stays with the source).
  enum class DropTaken { Nothing, All, Part };
  DropTaken OleDropText(TPoint pt, const AnsiString& text);
  // The other drop handlers answer whether they wrote anything.
  bool OleDropRichText(TPoint pt, const AnsiString& richText);
  void OleDropColumn(TPoint pt, int column);
  bool OleDropFiles(TStrings* files);
  // Runs the drag an armed press started (true), unless OnOleDrag refused it.
  bool StartOleDrag(int X, int Y);
  // Where a dragged row is after a drop of the same drag inserted rows.
  int DraggedRowNow(int row) const;
  // After a move: the dragged cells (or rows) go, those of the rows sent
  // as the text's lines; after a drop that wrote some of them, only those.
  void RemoveDraggedCells(const TGridRect& dragged, const std::vector<int>& rows);
  void RemoveTakenCells(const TGridRect& dragged, const std::vector<int>& rows);
  // The rows the selection's text holds, in order.
  std::vector<int> SelectionRows();
  // The window (rich_grid_messages.cpp): the hover and blink timer, pan
  // mode, hints and scroll hints.
  void UpdateHoverTimer();
  // Stops the window's timers and ends pan mode (the window goes).
  void StopWindowTimers();
  void HoverBlinkTick();
  bool ContainsBlink(const AnsiString& text) const;
  void StartPan(int X, int Y);
  void EndPan();
  void PanTick();
  void ShowHintText(const AnsiString& text, TPoint screenPos);
  void HideCellHint();
  void ShowScrollHint(int bar, int pos);

  // Painting. The room a cell graphic takes beside the text, its placement
  // (see TCellGraphic) and whether the cell's text is drawn at all.
  struct GraphicRoom {
    int width = 0, height = 0;
    int horizontal = 0, vertical = 0;
    bool drawsText = true;
  };
  // The colour of the data cells (the window colour unless one was set).
  TColor GridColor() const { return Color() == clDefault ? DefaultColor() : Color(); }
  // Footer rows and fixed right columns.
  bool IsTrailingFixed(int ACol, int ARow) const;
  bool ShowsSortGlyph(int ACol, int ARow) const;
  bool IsSelectedLook(int ACol, int ARow, TGridDrawState AState) const;
  void PaintCellContent(int ACol, int ARow, const TRect& cellRect, TRect textRect, TGridDrawState AState,
                        const GraphicRoom& room);
  void PaintCellBackground(const TRect& rect, bool fixed, bool inSelectionColour);
  void PaintSelectionEdges(int ACol, int ARow, const TRect& rect);
  void PaintSortGlyph(int ACol, const TRect& r, TAlignment alignment, int textLeft, int textWidth);
  void PaintCellBorders(int ACol, int ARow, const TRect& rect);
  void PaintFixedEdges(const TRect& rect);
  GraphicRoom CellGraphicRoom(int ACol, int ARow);
  void PaintCellGraphic(int ACol, int ARow, const TRect& cell, const GraphicRoom& room);
  void PaintNodeFrame(const TRect& cell);
  void PaintNodeGlyph(bool expanded, const TRect& cell);
  void PaintRadioGroup(const TCellGraphic& g, const TRect& cell);
  void PaintProgress(int ACol, int ARow, const TRect& cell);
  // Where painting places a button cell's button, and a radio group's items.
  TRect PaintedButtonRect(int ACol, int ARow, const TRect& cell);
  std::vector<TRect> RadioItemRects(const TCellGraphic& g, const TRect& cell);
  // The rectangle mark-up text is laid out in (painting and link tests).
  TRect MarkupRect(int ACol, int ARow, const TRect& cell);
  static int SystemWheelLines();
  static int SystemScrollBarWidth();

  std::unique_ptr<TPrintsettings> printSettings_;
  // The print job and its kept measurements, made by the first print or
  // preview.
  std::shared_ptr<PrintPageBuilder> pageBuilder_;
  PrintPageBuilder& PageBuilder();
  std::unique_ptr<THTMLSettings> htmlSettings_;
  std::unique_ptr<TNavigation> navigation_;
  std::unique_ptr<TColumnSize> columnSize_;
  std::unique_ptr<TCellNode> cellNode_;
  std::unique_ptr<TBands> bands_;
  std::unique_ptr<TSizeWhileTyping> sizeWhileTyping_;
  std::unique_ptr<TMouseActions> mouseActions_;
  std::unique_ptr<TStringList> columnHeaders_, rowHeaders_;
  std::unique_ptr<TFont> fixedFont_;
  std::unique_ptr<TStringList> exchangeRow_;
  std::unique_ptr<TStringList> lookupItems_;
  std::vector<char> rowSelected_;
  std::unique_ptr<TSortIndexList> sortIndexes_;
  std::unique_ptr<TBitmap> sortUpGlyph_, sortDownGlyph_, rowIndicator_;
  std::unique_ptr<TBackGround> backGround_;
  THintWindow* hintWindow_ = nullptr;
  // Rows held hidden, by rising real index.
  std::vector<std::unique_ptr<TGridItem>> hiddenRows_;
  std::unique_ptr<TFilter> filter_;
  std::array<TArrowWindow*, 4> arrows_{};
  TRichEdit* richEdit_ = nullptr;
  TForm* resizeForm_ = nullptr;
  TNotifyEvent previousFormResize_;
  int formWidth_ = 0, formHeight_ = 0;

  int updateCount_ = 0;
  int fixedFooters_ = 0, fixedRightCols_ = 0;
  bool fixedRowAlways_ = false, fixedColAlways_ = false, fixedAsButtons_ = false;
  AnsiString checkTrue_ = "Y", checkFalse_ = "N";
  AnsiString floatFormat_ = "%.2f";
  char delimiter_ = 0, passwordChar_ = '*';
  int maxEditLength_ = 0;
  TColor hintColor_ = clYellow, selectionColor_ = clHighlight, selectionTextColor_ = clHighlightText;
  TColor urlColor_ = clBlue, scrollColor_ = clNone;
  TVAlignment vAlignment_ = vtaTop;
  unsigned vAlignFlags_ = 0, extraTextFlags_ = 0;
  bool includeFixedCells_ = true;
  bool fileIncludesHidden_ = false, tildeLineBreaks_ = false;
  bool quoteMultiline_ = false, copiedMark_ = false;
  int printPageFrom_ = 1, printPageTo_ = 1;
  int wheelScrollLines_ = 3;
  UINT wheelMessage_ = WM_MOUSEWHEEL;
  TCursor savedCursor_ = crDefault;
  TGridRect hiddenSelection_{};
  bool selectionHidden_ = false;
  int zoomLevel_ = 0;
  bool blinkOn_ = true;
  // Whether any row is a node, found once per paint.
  bool paintHasNodes_ = false;
  bool stretching_ = false;
  bool timerRunning_ = false;
  // Mouse state: the point and cell of the last left press, the pressed
  // button cell and fixed cell, a sort click to let pass, a column or row
  // moved by the mouse.
  TPoint pressPoint_;
  TGridCoord pressCell_{-1, -1}, pressedButton_{-1, -1}, pressedFixed_{-1, -1};
  int cursorState_ = 0;
  bool suppressSortClick_ = false, movingByMouse_ = false, movedByMouse_ = false;
  // A row the press took out of the disjunct selection (-1: none).
  int toggledOffRow_ = -1;
  // The anchor under the mouse and its cell.
  AnsiString hoverAnchor_;
  TGridCoord anchorCell_{-1, -1};
  // A press armed a drag of the selection out of the grid.
  bool dragArmed_ = false;
  // The mouse over the grid (hovering) and where it was last.
  bool mouseInside_ = false;
  TPoint mousePoint_;
  // A paint drew a blinking text.
  bool blinkSeen_ = false;
  bool hintShown_ = false;
  TGridCoord hintCell_{-1, -1};
  bool scrollHintShown_ = false;
  bool panMode_ = false, panTimerRunning_ = false;
  TPoint panOrigin_;
  int panAccumX_ = 0, panAccumY_ = 0;
  // Wheel turns not yet a notch.
  int wheelRest_ = 0;
  // Drag and drop: the registered target (one reference held), the marker
  // of a dragged column, and what a drop into this grid did during its own
  // text drag (rows inserted, cells written).
  TGridDropTarget* dropTarget_ = nullptr;
  bool dropTargetRegistered_ = false;
  TPopupButton* dragMarker_ = nullptr;
  bool textDragging_ = false, droppedHere_ = false;
  int dropInsertRow_ = -1, dropInsertCount_ = 0;
  TGridRect dropArea_{};
  // Set by a drop (into any grid of the program) that wrote only some of
  // this grid's dragged text: which fields it wrote.
  bool droppedInPart_ = false;
  PastedFields droppedFields_;
  int filterFixedRows_ = -1;
  bool filterAddedRow_ = false;

  bool autoNumAlign_ = false, autoSize_ = false, enhTextSize_ = false, enhRowColMove_ = false;
  bool sortFixedCols_ = false, sortNormalCellsOnly_ = false, sizeWithForm_ = false, multilinecells_ = false;
  TSortDirection sortDirection_ = sdAscending;
  bool sortFull_ = true, sortAutoFormat_ = true, sortShow_ = false, sortIndexShow_ = false;
  int sortColumn_ = 0;
  bool enableGraphics_ = false, enableHTML_ = true, enableWheel_ = true, flat_ = false;
  bool selectionRectangle_ = false, selectionRTFKeep_ = false, hintShowCells_ = false, hintShowLargeText_ = false;
  bool oleAcceptFiles_ = true, oleAcceptText_ = true, oleDropTarget_ = false, oleDropSource_ = false;
  bool oleEntireRows_ = false, oleInsertRows_ = false, oleRemoveRows_ = false, oleDropRTF_ = false;
  TImageList* gridImages_ = nullptr;
  TIntelliPan intelliPan_ = ipVertical;
  bool intelliZoom_ = true;
  bool urlShow_ = false, urlFull_ = false, urlEdit_ = false, oemConvert_ = false, wordWrap_ = false;
  bool lookup_ = false, lookupCaseSensitive_ = false, lookupHistory_ = false;
  bool showSelection_ = true, hideFocusRect_ = false, hovering_ = false;
  TScrollType scrollType_ = ssNormal;
  int scrollWidth_ = 0;
  bool scrollProportional_ = false, scrollSynch_ = false;
  TScrollHintType scrollHints_ = shNone;
  FlatScrollState flatScroll_;
  bool filterActive_ = false;
};
