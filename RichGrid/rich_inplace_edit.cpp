#include "RichGrid/rich_inplace_edit.h"

#include <QLineEdit>
#include <algorithm>

#include "RichGrid/cell_input.h"
#include "RichGrid/rich_grid.h"
#include "platform/gui/services/clipbrd.h"
#include "platform/gui/core/shell.h"
#include "platform/rtl/sysutils.h"

namespace {

bool NumberKind(TEditorType type, TNumberInput& kind) {
  switch (type) {
    case edNumeric: kind = TNumberInput::Integer; return true;
    case edPositiveNumeric: kind = TNumberInput::PositiveInteger; return true;
    case edFloat: kind = TNumberInput::Float; return true;
    default: return false;
  }
}

// The text as the cell's type keeps it (case conversions).
AnsiString Converted(TEditorType type, const AnsiString& s) {
  switch (type) {
    case edCapital:
    case edUpperCase: return AnsiUpperCase(s);
    case edLowerCase: return AnsiLowerCase(s);
    case edMixedCase: return MixedCase(s);
    default: return s;
  }
}

// Start of the line the position lies on, and its number.
int LineStart(const AnsiString& s, int pos, int& line) {
  line = 0;
  int start = 0;
  for (int i = 0; i < pos && i < static_cast<int>(s.size()); ++i)
    if (s[static_cast<std::size_t>(i)] == '\n') {
      ++line;
      start = i + 1;
    }
  return start;
}

}  // namespace

TRichInplaceEdit::TRichInplaceEdit(TComponent* AOwner) : TInplaceEdit(AOwner) {
  OnEnter = [this](TObject*) { FocusArrived(); };
  OnExit = [this](TObject*) { FocusLeft(); };
}

TRichStringGrid* TRichInplaceEdit::RichGrid() const { return dynamic_cast<TRichStringGrid*>(Grid()); }

void TRichInplaceEdit::SetVAlign(bool v) {
  vAlign_ = v;
  ApplyStyles();
}

void TRichInplaceEdit::SetWordWrap(bool v) {
  wordWrap_ = v;
  ApplyStyles();
}

int TRichInplaceEdit::Limit() const {
  if (lengthLimit_ > 0) return lengthLimit_;
  const TRichStringGrid* g = RichGrid();
  return g ? g->MaxEditLength() : 0;
}

void TRichInplaceEdit::UpdateContents() {
  TInplaceEdit::UpdateContents();
  ApplyStyles();
}

void TRichInplaceEdit::ApplyStyles() {
  const TRichStringGrid* g = RichGrid();
  const bool password = g && g->EditorType() == edPassword;
  SetPasswordChar(password ? g->PasswordChar() : '\0');
  // One line: the edit scrolls sideways whether it wraps or not.
  LineEdit()->setAlignment((vAlign_ ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

void TRichInplaceEdit::ReloadFromCell() {
  UpdateContents();
  SetSelStart(static_cast<int>(Text().size()));
}

void TRichInplaceEdit::Insert(const AnsiString& insert) {
  int caret = 0;
  const AnsiString text = ReplaceSelection(Text(), SelStart(), SelLength(), insert, caret);
  SetText(text);
  SetSelStart(caret);
}

void TRichInplaceEdit::Complete() {
  TRichStringGrid* g = RichGrid();
  const AnsiString typed = Text();
  if (!completionAllowed_ || typed.empty() || SelStart() != static_cast<int>(typed.size()) || SelLength() != 0) return;
  const bool exact = g->LookupCaseSensitive();
  const AnsiString key = exact ? typed : AnsiUpperCase(typed);
  TStrings* items = g->LookupItems();
  for (int i = 0; i < items->Count(); ++i) {
    const AnsiString item = items->Strings(i);
    if (item.size() <= typed.size()) continue;
    const AnsiString head = item.substr(0, typed.size());
    if ((exact ? head : AnsiUpperCase(head)) != key) continue;
    SetText(typed + item.substr(typed.size()));
    SetSelStart(static_cast<int>(typed.size()));
    SetSelLength(static_cast<int>(item.size() - typed.size()));
    return;
  }
}

bool TRichInplaceEdit::KeyPress(char& key) {
  if (TInplaceEdit::KeyPress(key)) return true;
  TRichStringGrid* g = RichGrid();
  if (!g) return false;
  completionAllowed_ = true;
  const int limit = Limit();
  if (limit > 0 && static_cast<int>(Text().size()) >= limit && SelLength() == 0) return true;
  const TEditorType type = g->EditorType();
  TNumberInput kind;
  if (NumberKind(type, kind) && !NumberKeyAllowed(kind, Text(), SelStart(), SelLength(), key)) {
    MessageBeep(0);
    return true;
  }
  Insert(type == edMixedCase ? AnsiString(1, key) : Converted(type, AnsiString(1, key)));
  if (type == edMixedCase) {
    const int caret = SelStart();
    SetText(MixedCase(Text()));
    SetSelStart(caret);
  }
  if (g->Lookup()) Complete();
  if (g->AutoAdvanceDue(Text(), SelStart())) {
    Word enter = VK_RETURN;
    KeyDown(enter, TShiftState{});
  }
  return true;
}

bool TRichInplaceEdit::KeyDown(Word& key, TShiftState shift) {
  TRichStringGrid* g = RichGrid();
  if (!g) return TInplaceEdit::KeyDown(key, shift);
  TNavigation* nav = g->Navigation();
  const bool ctrl = shift.Contains(ssCtrl);
  const int length = static_cast<int>(Text().size());
  switch (key) {
    case 'C':
    case VK_INSERT:
      if (!ctrl) break;
      {
        bool allow = true;
        if (g->OnClipboardCopy) g->OnClipboardCopy(g, allow);
        if (allow && SelLength() > 0) Clipboard()->SetAsText(SelText());
      }
      return true;
    case VK_BACK:
    case VK_DELETE:
      // No completion after deleting: it would put back what was deleted.
      completionAllowed_ = false;
      break;
    case VK_RETURN:
      if (nav->LineFeedOnEnter) {
        if (ctrl && g->SizeWhileTyping()->Height && g->Multilinecells()) g->FitEditedRow();
        Insert("\r\n");
        return true;
      }
      if (!g->ValidateEdit()) {
        ReloadFromCell();
        return true;
      }
      break;
    case VK_RIGHT:
      if (nav->CursorWalkEditor && SelStart() == length && SelLength() == 0 && shift.Empty()) {
        g->WalkFromEditor(true);
        return true;
      }
      break;
    case VK_LEFT:
      if (nav->CursorWalkEditor && SelStart() == 0 && SelLength() == 0 && shift.Empty()) {
        g->WalkFromEditor(false);
        return true;
      }
      break;
    case VK_UP:
    case VK_DOWN:
      if (MoveCaretLine(key == VK_UP ? -1 : 1)) return true;
      break;
    case VK_TAB:
      // Without goTabs the key leaves the grid for the next control.
      if (!g->Options().Contains(goTabs) && !shift.Contains(ssAlt)) {
        g->PassTabOn(shift);
        return true;
      }
      break;
    default: break;
  }
  return TInplaceEdit::KeyDown(key, shift);
}

// Up and Down inside a text of several lines: the caret goes to the same
// column of the line above or below; false on the first (last) line.
bool TRichInplaceEdit::MoveCaretLine(int direction) {
  const AnsiString& s = Text();
  int line = 0;
  const int caret = SelStart();
  const int start = LineStart(s, caret, line);
  const int column = caret - start;
  int lines = 0;
  LineStart(s, static_cast<int>(s.size()), lines);
  const int target = line + direction;
  if (target < 0 || target > lines) return false;
  int pos = 0;
  for (int l = 0; l < target; ++l) pos = static_cast<int>(s.find('\n', static_cast<std::size_t>(pos))) + 1;
  std::size_t end = s.find('\n', static_cast<std::size_t>(pos));
  if (end == AnsiString::npos) end = s.size();
  if (end > static_cast<std::size_t>(pos) && s[end - 1] == '\r') --end;
  SetSelStart(std::min(pos + column, static_cast<int>(end)));
  return true;
}

bool TRichInplaceEdit::KeyUp(Word& key, TShiftState shift) {
  if (TInplaceEdit::KeyUp(key, shift)) return true;
  if (TRichStringGrid* g = RichGrid()) g->SizeToEditedText();
  return false;
}

void TRichInplaceEdit::WMCut() {
  TRichStringGrid* g = RichGrid();
  bool allow = true;
  if (g && g->OnClipboardCut) g->OnClipboardCut(g, allow);
  if (!allow || ReadOnly() || SelLength() == 0) return;
  Clipboard()->SetAsText(SelText());
  Insert("");
}

void TRichInplaceEdit::WMPaste() {
  TRichStringGrid* g = RichGrid();
  if (!g) return TInplaceEdit::WMPaste();
  if (ReadOnly() || !Clipboard()->HasFormat(CF_TEXT)) return;
  AnsiString pasted = Clipboard()->AsText();
  bool allow = true;
  if (g->OnClipboardPaste) g->OnClipboardPaste(g, allow);
  if (!allow) return;
  // What goes in is cut so that the whole text stays within the limit.
  if (const int limit = Limit(); limit > 0) {
    const int room = limit - (static_cast<int>(Text().size()) - SelLength());
    if (room <= 0) return;
    if (static_cast<int>(pasted.size()) > room) pasted.resize(static_cast<std::size_t>(room));
  }
  int caret = 0;
  AnsiString result = ReplaceSelection(Text(), SelStart(), SelLength(), pasted, caret);
  const TEditorType type = g->EditorType();
  if (TNumberInput kind; NumberKind(type, kind) && !NumberTextAllowed(kind, result)) return;
  result = Converted(type, result);
  SetText(result);
  SetSelStart(caret);
}

void TRichInplaceEdit::FocusArrived() {
  TRichStringGrid* g = RichGrid();
  if (!g) return;
  TBrush brush;
  brush.SetColor(clWindow);
  TFont font;
  font.Assign(*g->Font());
  g->GetCellColor(g->Col(), g->Row(), TGridDrawState{}, &brush, &font);
  SetColor(brush.Color());
  if (g->Navigation()->ImproveMaskSel && !Text().empty()) {
    SetSelStart(0);
    SetSelLength(1);
  }
  if (TPoint at; g->TakeEditClick(at)) SetSelStart(LineEdit()->cursorPositionAt(QPoint(at.X - Left(), at.Y - Top())));
}

void TRichInplaceEdit::FocusLeft() {
  TRichStringGrid* g = RichGrid();
  if (!g || !g->LookupHistory() || Text().empty()) return;
  if (g->LookupItems()->IndexOf(Text()) < 0) g->LookupItems()->Add(Text());
}
