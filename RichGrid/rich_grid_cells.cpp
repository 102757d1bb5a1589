// TRichStringGrid: typed cell access, cell objects, the sizes of cell
// contents, and the per-cell queries whose defaults fire the grid's events.
#include <algorithm>
#include <charconv>
#include <cmath>

#include "RichGrid/markup.h"
#include "RichGrid/rich_grid.h"
#include "RichGrid/text_routines.h"
#include "platform/gui/richtext/rtf_reader.h"
#include "platform/rtl/text_lines.h"

namespace {

const char kNoInteger[] = "Cell does not contain integer value";

// The cell text, "0" when empty.
AnsiString NumberText(const AnsiString& s) { return s.empty() ? AnsiString("0") : s; }

// A decimal integer: what TryStrToInt reads, without its hexadecimal forms
// ("$1F", "0x1F").
bool TryDecimalToInt(const AnsiString& s, int& value) {
  std::size_t i = s.find_first_not_of(' ');
  if (i != AnsiString::npos && (s[i] == '+' || s[i] == '-')) ++i;
  if (i < s.size() && (s[i] == '$' || (s[i] == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X'))))
    return false;
  return TryStrToInt(s, value);
}

// A '.'-based number with blanks around it, whatever the locale says.
bool ParseDotNumber(const AnsiString& text, double& value) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == AnsiString::npos) return false;
  const std::size_t last = text.find_last_not_of(' ');
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  if (begin < end && *begin == '+') ++begin;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  return ec == std::errc() && ptr == end;
}

}  // namespace

// ---------------------------------------------------------------------------
// Typed access

int TRichStringGrid::Ints(int ACol, int ARow) const {
  int value = 0;
  if (!TryDecimalToInt(NumberText(Cells(ACol, ARow)), value)) throw ERichGridError(kNoInteger);
  return value;
}

void TRichStringGrid::SetInts(int ACol, int ARow, int v) { SetCells(ACol, ARow, IntToStr(v)); }

double TRichStringGrid::Floats(int ACol, int ARow) const {
  double value = 0;
  if (!ParseDotNumber(NormalizeNumberText(NumberText(Cells(ACol, ARow))), value)) throw ERichGridError(kNoInteger);
  return value;
}

TDateTime TRichStringGrid::Dates(int ACol, int ARow) const { return StrToDate(Cells(ACol, ARow)); }

// ---------------------------------------------------------------------------
// Cell objects

TCellGraphic* TRichStringGrid::CellGraphic(int ACol, int ARow) const {
  if (!enableGraphics_) return nullptr;
  return dynamic_cast<TCellGraphic*>(Objects(ACol, ARow));
}

TCellType TRichStringGrid::CellGraphicKind(int ACol, int ARow) const {
  const TCellGraphic* g = CellGraphic(ACol, ARow);
  return g ? g->Kind : ctNone;
}

TCellGraphic* TRichStringGrid::CreateCellGraphic(int ACol, int ARow, TCellType kind) {
  if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return nullptr;
  enableGraphics_ = true;
  RemoveCellGraphic(ACol, ARow);
  auto* g = new TCellGraphic;
  g->Kind = kind;
  SetObjects(ACol, ARow, g);
  return g;
}

void TRichStringGrid::RemoveCellGraphic(int ACol, int ARow) {
  if (auto* g = dynamic_cast<TCellGraphic*>(Objects(ACol, ARow))) {
    SetObjects(ACol, ARow, nullptr);
    delete g;
  }
}

void TRichStringGrid::AddCheckBox(int ACol, int ARow, bool state, bool boundToText) {
  if (TCellGraphic* g = CreateCellGraphic(ACol, ARow, boundToText ? ctDataCheckBox : ctCheckBox)) g->State = state;
}

void TRichStringGrid::AddNode(int ARow, int span) {
  if (TCellGraphic* g = CreateCellGraphic(0, ARow, ctNode)) {
    g->Value = span;
    g->State = true;
  }
}

void TRichStringGrid::AddRadio(int ACol, int ARow, bool horizontal, const TStrings& items, int index) {
  if (TCellGraphic* g = CreateCellGraphic(ACol, ARow, ctRadio)) {
    auto* texts = new TStringList;
    texts->AddStrings(items);
    g->Graphic = texts;
    g->Value = index;
    g->State = horizontal;
  }
}

void TRichStringGrid::AddButton(int ACol, int ARow, int width, int height, int left, int top) {
  if (TCellGraphic* g = CreateCellGraphic(ACol, ARow, ctButton)) {
    g->Value = static_cast<std::int32_t>((static_cast<std::uint32_t>(height) << 16) | (width & 0xFFFF));
    g->Origin = static_cast<double>((static_cast<std::uint32_t>(top) << 16) | (left & 0xFFFF));
  }
}

void TRichStringGrid::AddComment(int ACol, int ARow, const AnsiString& comment) {
  if (TCellGraphic* g = CreateCellGraphic(ACol, ARow, ctComment)) {
    auto* texts = new TStringList;
    texts->SetText(comment);
    g->Graphic = texts;
  }
}

void TRichStringGrid::AddPicture(int ACol, int ARow, TGraphic* picture, bool owns, TCellType kind) {
  if (TCellGraphic* g = CreateCellGraphic(ACol, ARow, kind)) {
    if (kind == ctIcon) g->Graphic2 = picture;
    else g->Graphic = picture;
    g->OwnsGraphic = owns;
  }
}

void TRichStringGrid::AddImageIdx(int ACol, int ARow, int index) {
  if (TCellGraphic* g = CreateCellGraphic(ACol, ARow, ctImageList)) g->Value = index;
}

bool TRichStringGrid::GetCheckBoxState(int ACol, int ARow, bool& state) const {
  const TCellGraphic* g = CellGraphic(ACol, ARow);
  if (!g) return false;
  if (g->Kind == ctCheckBox) {
    state = g->State;
    return true;
  }
  if (g->Kind == ctDataCheckBox) {
    state = Cells(ACol, ARow) == checkTrue_;
    return true;
  }
  return false;
}

bool TRichStringGrid::ToggleCheckBox(int ACol, int ARow, bool ask) {
  TCellGraphic* g = CellGraphic(ACol, ARow);
  if (!g || (g->Kind != ctCheckBox && g->Kind != ctDataCheckBox)) return false;
  if (ask) {
    if (!CellEditable(ACol, ARow)) return false;
  }
  if (g->Kind == ctDataCheckBox) SetCells(ACol, ARow, Cells(ACol, ARow) == checkTrue_ ? checkFalse_ : checkTrue_);
  else g->State = !g->State;
  RepaintCell(ACol, ARow);
  return true;
}

bool TRichStringGrid::GetRadioIdx(int ACol, int ARow, int& index) const {
  const TCellGraphic* g = CellGraphic(ACol, ARow);
  if (!g || g->Kind != ctRadio) return false;
  index = g->Value;
  return true;
}

bool TRichStringGrid::IsRadio(int ACol, int ARow) const { return CellGraphicKind(ACol, ARow) == ctRadio; }

bool TRichStringGrid::IsButton(int ACol, int ARow) const { return CellGraphicKind(ACol, ARow) == ctButton; }

bool TRichStringGrid::IsCheckBox(int ACol, int ARow) const {
  const TCellType k = CellGraphicKind(ACol, ARow);
  return k == ctCheckBox || k == ctDataCheckBox;
}

bool TRichStringGrid::IsEditorControlCell(int ACol, int ARow) const {
  return IsCheckBox(ACol, ARow) || IsRadio(ACol, ARow);
}

bool TRichStringGrid::IsNode(int ARow) const { return CellGraphicKind(0, ARow) == ctNode; }

TRect TRichStringGrid::GetButtonRect(int ACol, int ARow) const {
  const TCellGraphic* g = CellGraphic(ACol, ARow);
  if (!g || g->Kind != ctButton) return TRect{};
  const auto origin = static_cast<std::uint32_t>(std::llround(g->Origin));
  const auto size = static_cast<std::uint32_t>(g->Value);
  const int left = static_cast<int>(origin & 0xFFFF), top = static_cast<int>(origin >> 16);
  return Rect(left, top, left + static_cast<int>(size & 0xFFFF), top + static_cast<int>(size >> 16));
}

void TRichStringGrid::SetCellState(int ACol, int ARow, bool state) {
  if (TCellGraphic* g = CellGraphic(ACol, ARow)) {
    g->State = state;
    RepaintCell(ACol, ARow);
  }
}

bool TRichStringGrid::GetComment(int ACol, int ARow, AnsiString& comment) const {
  const TCellGraphic* g = CellGraphic(ACol, ARow);
  if (!g || g->Kind != ctComment || !g->Texts()) return false;
  comment = g->Texts()->Text();
  if (comment.size() >= 2 && comment.compare(comment.size() - 2, 2, "\r\n") == 0) comment.resize(comment.size() - 2);
  return true;
}

std::intptr_t TRichStringGrid::ImageValue(int ACol, int ARow) const {
  const TCellGraphic* g = CellGraphic(ACol, ARow);
  if (!g) return -1;
  switch (g->Kind) {
    case ctBitmap: return reinterpret_cast<std::intptr_t>(g->Picture());
    case ctIcon: return reinterpret_cast<std::intptr_t>(g->Graphic2);
    case ctImages: return g->Value;
    default: return -1;
  }
}

void TRichStringGrid::CellGraphicSize(int ACol, int ARow, int& width, int& height) {
  width = height = 0;
  const TCellGraphic* g = CellGraphic(ACol, ARow);
  if (!g) return;
  switch (g->Kind) {
    case ctBitmap:
    case ctPicture:
    case ctFilePicture:
      if (const TGraphic* p = g->Picture()) {
        width = p->Width();
        height = p->Height();
      }
      break;
    case ctIcon:
      if (g->Graphic2) {
        width = g->Graphic2->Width();
        height = g->Graphic2->Height();
      }
      break;
    case ctImageList:
      if (gridImages_) {
        width = gridImages_->Width();
        height = gridImages_->Height();
      }
      break;
    case ctCheckBox:
    case ctDataCheckBox: width = height = 15; break;
    case ctRadio:
      if (const TStringList* items = g->Texts()) {
        TCanvas* c = Canvas();
        const int textHeight = c->TextHeight("gh");
        for (int i = 0; i < items->Count(); ++i) {
          const int w = c->TextWidth(items->Strings(i)) + 12;
          if (g->State) width += w;
          else width = std::max(width, w);
        }
        height = g->State ? textHeight : textHeight * items->Count();
      }
      break;
    case ctImages:
      if (gridImages_ && g->ImageNumbers()) {
        const int n = g->ImageNumbers()->Count();
        width = g->State ? n * gridImages_->Width() : gridImages_->Width();
        height = g->State ? gridImages_->Height() : n * gridImages_->Height();
      }
      break;
    case ctButton:
      width = g->Value & 0xFFFF;
      height = static_cast<int>(static_cast<std::uint32_t>(g->Value) >> 16);
      break;
    default: break;
  }
}

void TRichStringGrid::CellTextSize(int ACol, int ARow, int& width, int& height) {
  AnsiString text = Cells(ACol, ARow);
  TCanvas* c = Canvas();
  width = height = 0;
  const int kind = TextType(text, enableHTML_);
  if (kind == ctMarkup) {
    AnsiString link, plain;
    DrawMarkup(c, text, Rect(0, 0, 0x3FFF, 0x3FFF), gridImages_, -1, -1, false, true, false, false, false, 1.0,
               urlColor_, link, plain, width, height);
    return;
  }
  if (kind == ctRichText) text = vx::ReadRtf(text).PlainText();
  if (urlShow_ && !urlFull_ && IsURL(text)) text = StripURLScheme(text);
  const std::vector<std::string_view> lines = vx::SplitLines(text, true);
  for (const std::string_view line : lines) width = std::max(width, c->TextWidth(AnsiString(line)));
  height = c->TextHeight("gh") * static_cast<int>(lines.size());
}

TAlignment TRichStringGrid::GetCellAlignment(int ACol, int ARow) {
  TAlignment alignment = taLeftJustify;
  if (autoNumAlign_) {
    const AnsiString text = Cells(ACol, ARow);
    if (!text.empty() && TextNumberType(text) != 2) alignment = taRightJustify;
  }
  GetCellAlign(ACol, ARow, alignment);
  return alignment;
}

// ---------------------------------------------------------------------------
// The grid's own virtual operations (defaults)

int TRichStringGrid::GetVersionNr() { return (91 << 16) | 1; }

AnsiString TRichStringGrid::GetVersion() { return "1.91 January 2001"; }

void TRichStringGrid::CellChanged(int, int) {}

void TRichStringGrid::BeginEdit(int ACol, int ARow) {
  FEditCol = ACol;
  FEditRow = ARow;
  FEditText = Cells(ACol, ARow);
}

void TRichStringGrid::EllipsClick(const AnsiString& text, AnsiString& result) {
  result = text;
  if (OnEllipsClick) OnEllipsClick(this, Col(), Row(), result);
}

void TRichStringGrid::GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont) {
  if (bands_->Active() && ACol >= FixedCols() && ACol < ColCount() - fixedRightCols_ && ARow >= FixedRows() &&
      ARow < RowCount() - fixedFooters_)
    ABrush->SetColor(bands_->ColorOfDataRow(ARow - FixedRows()));
  if (const TCellGraphic* g = CellGraphic(ACol, ARow); g && g->Color != clNone) ABrush->SetColor(g->Color);
  if (OnGetCellColor) OnGetCellColor(this, ARow, ACol, AState, ABrush, AFont);
}

void TRichStringGrid::GetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont) {
  if (bands_->Active() && bands_->Print() && ACol >= FixedCols() && ACol < ColCount() - fixedRightCols_ &&
      ARow >= FixedRows() && ARow < RowCount() - fixedFooters_)
    ABrush->SetColor(bands_->ColorOfDataRow(ARow - FixedRows()));
  if (OnGetCellPrintColor) OnGetCellPrintColor(this, ARow, ACol, AState, ABrush, AFont);
}

void TRichStringGrid::GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& borders) {
  if (OnGetCellBorder) OnGetCellBorder(this, ARow, ACol, APen, borders);
}

void TRichStringGrid::GetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& borders) {
  if (OnGetCellPrintBorder) OnGetCellPrintBorder(this, ARow, ACol, APen, borders);
}

void TRichStringGrid::GetCellAlign(int ACol, int ARow, TAlignment& alignment) {
  if (OnGetAlignment) OnGetAlignment(this, ARow, ACol, alignment);
}

void TRichStringGrid::GetCellFormat(int ACol, TSortStyle& style, AnsiString& prefix, AnsiString& suffix) {
  if (OnGetFormat) OnGetFormat(this, ACol, style, prefix, suffix);
}

void TRichStringGrid::GetCellEditor(int ACol, int ARow, TEditorType& editor) {
  if (OnGetEditorType) OnGetEditorType(this, ACol, ARow, editor);
}

void TRichStringGrid::IsFixedCell(int ACol, int ARow, bool& IsFixed) {
  IsFixed = (fixedRowAlways_ && ARow == 0 && RowCount() == 1) || (fixedColAlways_ && ACol == 0 && ColCount() == 1);
  if (OnIsFixedCell) OnIsFixedCell(this, ARow, ACol, IsFixed);
}

void TRichStringGrid::CanEditCell(int ACol, int ARow, bool& CanEdit) {
  if (OnCanEditCell) OnCanEditCell(this, ARow, ACol, CanEdit);
}

void TRichStringGrid::IsPasswordCell(int ACol, int ARow, bool& IsPassword) {
  if (OnIsPasswordCell) OnIsPasswordCell(this, ARow, ACol, IsPassword);
}

AnsiString TRichStringGrid::FormulaCellText(int, int, const AnsiString& text) { return text; }

void TRichStringGrid::PasteDone(const TGridRect&, bool) {}
