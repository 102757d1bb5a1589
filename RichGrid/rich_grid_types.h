// The rich string grid's enumerations and the signatures of its events.
//
// Events are std::function members of TRichStringGrid; the Sender comes
// first, and a parameter the handler may change is a reference. Mind the
// order: the colour, border, alignment, edit, fixed, password, click and
// hint events take the row before the column; the editor, validation, check
// box and spin events take the column first.
#pragma once

#include <functional>

#include "platform/gui/draw/canvas.h"
#include "platform/gui/core/controls.h"
#include "platform/gui/draw/graphics.h"
#include "platform/gui/grids/grids.h"
#include "platform/rtl/dateutils.h"

enum TVAlignment { vtaCenter, vtaTop, vtaBottom };
enum TScrollType { ssNormal, ssFlat, ssEncarta };
enum TScrollHintType { shNone, shVertical, shHorizontal, shBoth };
enum TIntelliPan { ipVertical, ipHorizontal, ipBoth, ipNone };
enum TSortDirection { sdAscending, sdDescending };
enum TAdvanceDirection { adLeftRight, adTopBottom };
enum TInsertPosition { pInsertBefore, pInsertAfter };

// How two cells of a column compare when sorting (ordinals are stored by
// callers: keep the order).
enum TSortStyle {
  ssAutomatic,
  ssAlphabetic,
  ssNumeric,
  ssDate,
  ssAlphaNoCase,
  ssAlphaCase,
  ssShortDateEU,
  ssShortDateUS,
  ssCustom,
  ssFinancial,
  ssAnsiAlphaCase,
  ssAnsiAlphaNoCase,
  ssRaw,
  ssHTML,
  ssImages
};

// The editor a cell is edited with (ordinals kept in this order).
enum TEditorType {
  edNormal,
  edSpinEdit,
  edComboEdit,
  edComboList,
  edEditBtn,
  edCheckBox,
  edDateEdit,
  edDateEditUpDown,
  edTimeEdit,
  edButton,
  edDataCheckBox,
  edNumeric,
  edPositiveNumeric,
  edFloat,
  edCapital,
  edMixedCase,
  edPassword,
  edUnitEditBtn,
  edLowerCase,
  edUpperCase,
  edFloatSpinEdit,
  edTimeSpinEdit,
  edDateSpinEdit,
  edNumericEditBtn,
  edFloatEditBtn,
  edCustom
};

enum TCellBorder { cbTop, cbLeft, cbRight, cbBottom };
using TCellBorders = TSet<TCellBorder>;

class TEditLink;

using TGridColorEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, TGridDrawState AState, TBrush* ABrush, TFont* AFont)>;
using TGridBorderEvent = std::function<void(TObject* Sender, int ARow, int ACol, TPen* APen, TCellBorders& borders)>;
using TGridAlignEvent = std::function<void(TObject* Sender, int ARow, int ACol, TAlignment& AAlignment)>;
using TGridFormatEvent =
    std::function<void(TObject* Sender, int ACol, TSortStyle& AStyle, AnsiString& aPrefix, AnsiString& aSuffix)>;
using TGridHintEvent = std::function<void(TObject* Sender, int Arow, int Acol, AnsiString& hintstr)>;
using TRowChangingEvent = std::function<void(TObject* Sender, int OldRow, int NewRow, bool& Allow)>;
using TColChangingEvent = std::function<void(TObject* Sender, int OldCol, int NewCol, bool& Allow)>;
using TCellChangingEvent =
    std::function<void(TObject* Sender, int OldRow, int OldCol, int NewRow, int NewCol, bool& Allow)>;
using TGridPrintPageEvent =
    std::function<void(TObject* Sender, TCanvas* Canvas, int pagenr, int pagexsize, int pageysize)>;
using TGridPrintStartEvent = std::function<void(TObject* Sender, int NrOfPages, int& FromPage, int& ToPage)>;
using TDoFitToPageEvent = std::function<void(TObject* Sender, double& scalefactor, bool& allow)>;
using TGridPrintNewPageEvent = std::function<void(TObject* Sender, int aRow, bool& newpage)>;
using TGridPrintColumnWidthEvent = std::function<void(TObject* Sender, int aCol, int& width)>;
using TGridPrintRowHeightEvent = std::function<void(TObject* Sender, int aRow, int& height)>;
using TCanAddRowEvent = std::function<void(TObject* Sender, bool& CanAdd)>;
using TAutoAddRowEvent = std::function<void(TObject* Sender, int ARow)>;
using TCanInsertRowEvent = std::function<void(TObject* Sender, int ARow, bool& CanInsert)>;
using TAutoInsertRowEvent = std::function<void(TObject* Sender, int ARow)>;
using TAutoInsertColEvent = std::function<void(TObject* Sender, int ACol)>;
using TCanDeleteRowEvent = std::function<void(TObject* Sender, int ARow, bool& CanDelete)>;
using TAutoDeleteRowEvent = std::function<void(TObject* Sender, int aRow)>;
using TClickSortEvent = std::function<void(TObject* Sender, int aCol)>;
using TCanSortEvent = std::function<void(TObject* Sender, int aCol, bool& dosort)>;
using TNodeClickEvent = std::function<void(TObject* Sender, int arow, int arowreal)>;
using TCustomCompareEvent =
    std::function<void(TObject* Sender, const AnsiString& str1, const AnsiString& str2, int& res)>;
using TRawCompareEvent = std::function<void(TObject* Sender, int col, int row1, int row2, int& res)>;
using TClickCellEvent = std::function<void(TObject* Sender, int arow, int acol)>;
using TDblClickCellEvent = std::function<void(TObject* Sender, int aRow, int aCol)>;
using TCanEditCellEvent = std::function<void(TObject* Sender, int aRow, int aCol, bool& CanEdit)>;
using TIsFixedCellEvent = std::function<void(TObject* Sender, int aRow, int aCol, bool& IsFixed)>;
using TIsPasswordCellEvent = std::function<void(TObject* Sender, int aRow, int aCol, bool& IsPassword)>;
using TAnchorClickEvent =
    std::function<void(TObject* Sender, int aRow, int aCol, const AnsiString& anchor, bool& AutoHandle)>;
using TAnchorEvent = std::function<void(TObject* Sender, int aRow, int aCol, const AnsiString& anchor)>;
using TClipboardEvent = std::function<void(TObject* Sender, bool& allow)>;
using TCellValidateEvent = std::function<void(TObject* Sender, int Col, int Row, AnsiString& Value, bool& Valid)>;
using TGridProgressEvent = std::function<void(TObject* Sender, short progress)>;
using TGetEditorTypeEvent = std::function<void(TObject* Sender, int aCol, int aRow, TEditorType& aEditor)>;
using TGetEditorPropEvent = std::function<void(TObject* Sender, int aCol, int aRow, TEditLink* aEditLink)>;
using TEllipsClickEvent = std::function<void(TObject* Sender, int aCol, int aRow, AnsiString& S)>;
using TButtonClickEvent = std::function<void(TObject* Sender, int aCol, int aRow)>;
using TCheckBoxClickEvent = std::function<void(TObject* Sender, int aCol, int aRow, bool state)>;
using TRadioClickEvent = std::function<void(TObject* Sender, int aCol, int aRow, int aIdx)>;
using TComboChangeEvent =
    std::function<void(TObject* Sender, int aCol, int aRow, int aItemIndex, const AnsiString& aSelection)>;
using TSpinClickEvent = std::function<void(TObject* Sender, int aCol, int aRow, int aValue, bool updown)>;
using TFloatSpinClickEvent = std::function<void(TObject* Sender, int aCol, int aRow, double aValue, bool updown)>;
using TDateTimeSpinClickEvent = std::function<void(TObject* Sender, int aCol, int aRow, TDateTime aValue, bool updown)>;
using TOleDragDropEvent = std::function<void(TObject* Sender, int Arow, int Acol, const AnsiString& data, bool& allow)>;
using TOleDragOverEvent = std::function<void(TObject* Sender, int Arow, int Acol, bool& allow)>;
using TOleDragStartEvent = std::function<void(TObject* Sender, int Arow, int Acol)>;
using TOleDragStopEvent = std::function<void(TObject* Sender, int OLEEffect)>;
using TOleDropColEvent = std::function<void(TObject* Sender, int Arow, int Acol, int DropCol)>;
using TScrollHintEvent = std::function<void(TObject* Sender, int Arow, AnsiString& hintstr)>;
using TColumnSizeEvent = std::function<void(TObject* Sender, int aCol, bool& allow)>;
using TRowSizeEvent = std::function<void(TObject* Sender, int aRow, bool& allow)>;
using TEndColumnSizeEvent = std::function<void(TObject* Sender, int aCol)>;
using TEndRowSizeEvent = std::function<void(TObject* Sender, int aRow)>;
