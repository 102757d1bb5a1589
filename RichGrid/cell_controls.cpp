#include "RichGrid/cell_controls.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "RichGrid/cell_input.h"
#include "RichGrid/rich_grid.h"
#include "platform/gui/core/shell.h"
#include "platform/rtl/filebytes.h"
#include "platform/rtl/sysutils.h"

namespace {

bool PassedOn(Word key) { return key == VK_UP || key == VK_DOWN || key == VK_TAB; }

bool OneOf(Word key, std::initializer_list<Word> keys) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// The leaving keys of the controls (Tab is one of every control).
const std::initializer_list<Word> kDateLeaves = {VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_HOME,
                                                 VK_END,    VK_UP,     VK_DOWN,  VK_TAB};
const std::initializer_list<Word> kCheckLeaves = {VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_HOME, VK_END,
                                                  VK_LEFT,   VK_RIGHT,  VK_UP,    VK_DOWN, VK_TAB};
const std::initializer_list<Word> kEditBtnLeaves = {VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_UP, VK_DOWN, VK_TAB};
const std::initializer_list<Word> kButtonLeaves = {VK_ESCAPE, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_TAB};

// The left button toggles the check box when it goes down, not when it
// comes up again.
class CheckPressWatch : public QObject {
 public:
  explicit CheckPressWatch(TCheckBox* box) : box_(box) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if ((e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonDblClick) ||
        static_cast<QMouseEvent*>(e)->button() != Qt::LeftButton)
      return false;
    if (box_->CanFocus()) box_->SetFocus();
    box_->SetChecked(!box_->Checked());
    return true;
  }

 private:
  TCheckBox* box_;
};

}  // namespace

// Key releases of the combo box, whatever key they are (letters of every
// alphabet included): the lookup runs after the typed character is in.
class ComboReleaseWatch : public QObject {
 public:
  explicit ComboReleaseWatch(TGridCombo* combo) : combo_(combo) {}
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::KeyRelease) combo_->KeyReleased();
    return false;
  }

 private:
  TGridCombo* combo_;
};

// ---------------------------------------------------------------------------

TGridCombo::TGridCombo(TRichStringGrid* grid)
    : TRichComboBox(grid), grid_(grid), releaseWatch_(std::make_unique<ComboReleaseWatch>(this)) {
  SetButtonWidth(16);
  Widget()->installEventFilter(releaseWatch_.get());
  OnExit = [this](TObject*) { AddToHistory(); };
}

TGridCombo::~TGridCombo() {
  if (Widget()) Widget()->removeEventFilter(releaseWatch_.get());
}

bool TGridCombo::KeyDown(Word& key, TShiftState shift) {
  if (TRichComboBox::KeyDown(key, shift)) return true;
  // Backspace and Delete take the lookup off until the next typed key.
  if (key == VK_BACK || key == VK_DELETE) suspended_ = true;
  const bool list = Style() == csDropDownList || DroppedDown();
  bool leaving = false;
  switch (key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END: leaving = true; break;
    case VK_UP:
    case VK_DOWN: leaving = !list; break;
    case VK_LEFT:
    case VK_RIGHT: leaving = list; break;
    default: break;
  }
  if (!leaving) return false;
  grid_->LeaveEditControl(key, shift, list ? key == VK_LEFT || key == VK_RIGHT || key == VK_TAB : PassedOn(key));
  return true;
}

bool TGridCombo::KeyPress(char& key) {
  if (TRichComboBox::KeyPress(key)) return true;
  typed_ = true;
  suspended_ = false;
  return false;
}

// The release of a key that typed a character (a Shift let go does not).
void TGridCombo::KeyReleased() {
  if (typed_ && !suspended_) Lookup();
  typed_ = false;
}

void TGridCombo::Lookup() {
  if (!lookup_ || !grid_->Lookup()) return;
  auto* combo = qobject_cast<QComboBox*>(Widget());
  QLineEdit* edit = combo ? combo->lineEdit() : nullptr;
  if (!edit) return;
  const int caret = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
  const AnsiString typed = Text().substr(0, static_cast<std::size_t>(std::max(caret, 0)));
  if (typed.empty()) return;
  const bool exact = grid_->LookupCaseSensitive();
  const AnsiString key = exact ? typed : AnsiUpperCase(typed);
  for (int i = 0; i < Items()->Count(); ++i) {
    const AnsiString item = Items()->Strings(i);
    if (item.size() < typed.size()) continue;
    const AnsiString head = item.substr(0, typed.size());
    if ((exact ? head : AnsiUpperCase(head)) != key) continue;
    SetItemIndex(i);
    edit->setSelection(static_cast<int>(typed.size()), static_cast<int>(item.size() - typed.size()));
    return;
  }
}

void TGridCombo::AddToHistory() {
  if (!grid_->LookupHistory() || Text().empty() || Items()->IndexOf(Text()) >= 0) return;
  Items()->Add(Text());
}

// ---------------------------------------------------------------------------

TGridSpin::TGridSpin(TRichStringGrid* grid) : TRsgSpinEdit(grid), grid_(grid) {
  SetMaxValue(100);
  SetMinValue(0);
  SetIncrement(1);
}

bool TGridSpin::KeyDown(Word& key, TShiftState shift) {
  switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
      if (SpinType() != sptNormal && SpinType() != sptFloat) break;
      SpinKey(key);
      return true;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_UP:
    case VK_DOWN:
    case VK_TAB: grid_->LeaveEditControl(key, shift, PassedOn(key)); return true;
    default: break;
  }
  return TRsgSpinEdit::KeyDown(key, shift);
}

// Page keys step within the bounds (equal bounds: none); Home and End go to
// the bounds. The grid hears of it through its integer spin event.
void TGridSpin::SpinKey(Word key) {
  if (SpinType() == sptFloat) {
    const double v = FloatValue(), lo = MinFloatValue(), hi = MaxFloatValue(), step = IncrementFloat();
    const bool bounded = lo != hi;
    if (key == VK_PRIOR && (!bounded || v + step <= hi)) SetFloatValue(v + step);
    if (key == VK_NEXT && (!bounded || v - step >= lo)) SetFloatValue(v - step);
    if (key == VK_HOME) SetFloatValue(lo);
    if (key == VK_END) SetFloatValue(hi);
  } else {
    const long long v = Value(), lo = MinValue(), hi = MaxValue(), step = Increment();
    const bool bounded = lo != hi;
    const auto fits = [](long long x) { return x >= INT32_MIN && x <= INT32_MAX; };
    if (key == VK_PRIOR && fits(v + step) && (!bounded || v + step <= hi)) SetValue(static_cast<int>(v + step));
    if (key == VK_NEXT && fits(v - step) && (!bounded || v - step >= lo)) SetValue(static_cast<int>(v - step));
    if (key == VK_HOME) SetValue(MinValue());
    if (key == VK_END) SetValue(MaxValue());
  }
  if (grid_->OnSpinClick) grid_->OnSpinClick(grid_, grid_->Col(), grid_->Row(), Value(), false);
}

void TGridSpin::UpClick(TObject* Sender) {
  TRsgSpinEdit::UpClick(Sender);
  FireSpinEvent(true);
}

void TGridSpin::DownClick(TObject* Sender) {
  TRsgSpinEdit::DownClick(Sender);
  FireSpinEvent(false);
}

void TGridSpin::FireSpinEvent(bool up) {
  TRichStringGrid* g = grid_;
  switch (SpinType()) {
    case sptFloat:
      if (g->OnFloatSpinClick) g->OnFloatSpinClick(g, g->Col(), g->Row(), FloatValue(), up);
      break;
    case sptDate:
      if (g->OnDateSpinClick) g->OnDateSpinClick(g, g->Col(), g->Row(), DateValue(), up);
      break;
    case sptTime:
      if (g->OnTimeSpinClick) g->OnTimeSpinClick(g, g->Col(), g->Row(), TimeValue(), up);
      break;
    default:
      if (g->OnSpinClick) g->OnSpinClick(g, g->Col(), g->Row(), Value(), up);
      break;
  }
}

// ---------------------------------------------------------------------------

TGridDatePicker::TGridDatePicker(TRichStringGrid* grid) : TDateTimePicker(grid), grid_(grid) {
  frame_ = new TPaintBox(this, this);
  frame_->Widget()->setAttribute(Qt::WA_TransparentForMouseEvents);
  frame_->OnPaint = [this](TObject*) { PaintFrame(frame_->Canvas()); };
}

void TGridDatePicker::Resized() {
  TDateTimePicker::Resized();
  if (!frame_) return;
  frame_->SetBounds(0, 0, Width(), Height());
  frame_->Invalidate();
}

void TGridDatePicker::PaintFrame(TCanvas* canvas) {
  canvas->Brush()->SetColor(clWindow);
  for (int inset : {1, 2}) canvas->FrameRect(Rect(inset, inset, Width() - inset, Height() - inset));
}

bool TGridDatePicker::KeyDown(Word& key, TShiftState shift) {
  if (!OneOf(key, kDateLeaves)) return TDateTimePicker::KeyDown(key, shift);
  grid_->LeaveEditControl(key, shift, PassedOn(key));
  return true;
}

// ---------------------------------------------------------------------------

TGridCheckBox::TGridCheckBox(TRichStringGrid* grid)
    : TCheckBox(grid), grid_(grid), pressWatch_(std::make_unique<CheckPressWatch>(this)) {
  Widget()->installEventFilter(pressWatch_.get());
}

TGridCheckBox::~TGridCheckBox() {
  if (Widget()) Widget()->removeEventFilter(pressWatch_.get());
}

bool TGridCheckBox::KeyDown(Word& key, TShiftState shift) {
  if (key == VK_SPACE) {
    SetChecked(!Checked());
    return true;
  }
  if (!OneOf(key, kCheckLeaves)) return TCheckBox::KeyDown(key, shift);
  grid_->LeaveEditControl(key, shift, PassedOn(key));
  return true;
}

// ---------------------------------------------------------------------------

// The edits with a button leave on their keys unless Ctrl is held (then
// the keys are the edit's own).
namespace {
bool EditBtnLeaves(Word key, TShiftState shift) { return !shift.Contains(ssCtrl) && OneOf(key, kEditBtnLeaves); }
}  // namespace

TGridEditBtn::TGridEditBtn(TRichStringGrid* grid) : TRsgEditBtn(grid), grid_(grid) {}

bool TGridEditBtn::KeyDown(Word& key, TShiftState shift) {
  if (!EditBtnLeaves(key, shift)) return TRsgEditBtn::KeyDown(key, shift);
  grid_->LeaveEditControl(key, shift, PassedOn(key));
  return true;
}

bool TGridEditBtn::KeyPress(char& key) {
  const TEditorType type = grid_->EditorType();
  if (type == edNumericEditBtn || type == edFloatEditBtn) {
    const TNumberInput kind = type == edFloatEditBtn ? TNumberInput::Float : TNumberInput::Integer;
    if (!NumberKeyAllowed(kind, Text(), SelStart(), SelLength(), key)) {
      MessageBeep(0);
      return true;
    }
  }
  return TRsgEditBtn::KeyPress(key);
}

void TGridEditBtn::BtnClick() {
  AnsiString result;
  grid_->EllipsClick(Text(), result);
  SetText(result);
  SelectAll();
}

TGridUnitEditBtn::TGridUnitEditBtn(TRichStringGrid* grid) : TRsgUnitEditBtn(grid), grid_(grid) {}

bool TGridUnitEditBtn::KeyDown(Word& key, TShiftState shift) {
  if (!EditBtnLeaves(key, shift)) return TRsgUnitEditBtn::KeyDown(key, shift);
  grid_->LeaveEditControl(key, shift, PassedOn(key));
  return true;
}

// ---------------------------------------------------------------------------

TGridButton::TGridButton(TRichStringGrid* grid) : TButton(grid), grid_(grid) {}

bool TGridButton::KeyDown(Word& key, TShiftState shift) {
  if (!OneOf(key, kButtonLeaves)) return TButton::KeyDown(key, shift);
  grid_->LeaveEditControl(key, shift, key != VK_ESCAPE);
  return true;
}

void TGridButton::Click() {
  AnsiString result;
  grid_->EllipsClick(Caption(), result);
  SetCaption(result);
}

// ---------------------------------------------------------------------------

namespace {

std::uint32_t Dword(const AnsiString& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

std::uint16_t Word16(const AnsiString& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}

}  // namespace

// The version resource starts with a header (length, value length, type:
// three 16-bit words), the key "VS_VERSION_INFO" in UTF-16 with its final
// zero, padding to 32 bits, then the fixed block: signature 0xFEEF04BD,
// structure version, file version (major << 16 | minor), ...
int FileVersion(const AnsiString& FileName) {
  AnsiString bytes;
  if (!vx::ReadFileBytes(FileName, bytes)) return -1;
  static const char kKey[] = "VS_VERSION_INFO";
  AnsiString key;
  for (const char* p = kKey; *p; ++p) key += AnsiString{*p, '\0'};
  for (std::size_t at = bytes.find(key); at != AnsiString::npos; at = bytes.find(key, at + 1)) {
    if (at < 6) continue;
    const std::size_t header = at - 6;
    if (Word16(bytes, header + 2) == 0) return -1;  // no fixed block
    const std::size_t fixed = header + ((6 + 2 * std::size(kKey) + 3) & ~std::size_t{3});
    if (fixed + 12 > bytes.size()) return -1;
    if (Dword(bytes, fixed) != 0xFEEF04BDu) return -1;
    return static_cast<int>(Dword(bytes, fixed + 8));
  }
  return -1;
}
