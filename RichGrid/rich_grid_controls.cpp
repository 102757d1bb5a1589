// TRichStringGrid: the editor controls and the editor link. Which control
// a cell type opens, how it is filled from the cell and what it writes
// back, the hand-back of the keys that leave it, and the life of a link
// edit.
//
//   type                                   control           filled with / writes back
//   edSpinEdit, edFloatSpinEdit,           TGridSpin         the cell's integer, float,
//   edDateSpinEdit, edTimeSpinEdit                           date or time / its text
//   edComboEdit, edComboList               TGridCombo        the text / the text
//   edEditBtn, edNumericEditBtn,           TGridEditBtn      the text / the text
//   edFloatEditBtn
//   edUnitEditBtn                          TGridUnitEditBtn  number and unit / both
//   edDateEdit, edDateEditUpDown           TGridDatePicker   the date / its short date text
//   edTimeEdit                             TGridDatePicker   the time / its time text
//   edCheckBox                             TGridCheckBox     caption / nothing
//   edButton                               TGridButton       caption / nothing
//   edCustom                               the link's        SetEditorValue / GetEditorValue
// A cell whose text does not convert opens the spin editor or the date
// picker at the control's fall-back value (MinValue, today, midnight).
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>
#include <algorithm>
#include <cctype>

#include "RichGrid/cell_controls.h"
#include "RichGrid/edit_link.h"
#include "RichGrid/rich_grid.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/draw/qt_bridge.h"
#include "platform/gui/controls/scroll_host.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/sysutils.h"

namespace {

bool Inside(const QWidget* w, const QWidget* ancestor) {
  for (; w && ancestor; w = w->parentWidget())
    if (w == ancestor) return true;
  return false;
}

bool HasFocus(const TWinControl* control) {
  return control && control->Widget() && Inside(QApplication::focusWidget(), control->Widget());
}

// The leading number of a unit cell ("12.5cm": "12.5") and the rest.
void SplitUnit(const AnsiString& s, AnsiString& number, AnsiString& unit) {
  std::size_t n = 0;
  while (n < s.size() && (std::isdigit(static_cast<unsigned char>(s[n])) || s[n] == '-' || s[n] == '+' || s[n] == '.' ||
                          s[n] == ',' || s[n] == FormatSettings.DecimalSeparator))
    ++n;
  number = s.substr(0, n);
  unit = s.substr(n);
}

}  // namespace

void TRichStringGrid::CreateEditorControls() {
  gridCombo_ = new TGridCombo(this);
  gridSpin_ = new TGridSpin(this);
  gridDatePicker_ = new TGridDatePicker(this);
  gridCheckBox_ = new TGridCheckBox(this);
  gridEditBtn_ = new TGridEditBtn(this);
  gridEditBtn_->SetButtonCaption("...");
  gridUnitEditBtn_ = new TGridUnitEditBtn(this);
  gridUnitEditBtn_->SetButtonCaption("...");
  gridButton_ = new TGridButton(this);
  for (TWinControl* c : std::initializer_list<TWinControl*>{gridCombo_, gridSpin_, gridDatePicker_, gridCheckBox_,
                                                            gridEditBtn_, gridUnitEditBtn_, gridButton_}) {
    c->SetVisible(false);
    c->SetParent(this);
    // The focus leaving a control for elsewhere leaves the grid.
    vx::WatchChildFocus(c->Widget(), Widget());
  }
  gridCombo_->OnChange = [this](TObject*) {
    if (editControlActive_ && OnComboChange)
      OnComboChange(this, controlCol_, controlRow_, gridCombo_->ItemIndex(), gridCombo_->Text());
  };
}

TWinControl* TRichStringGrid::ControlFor(TEditorType type) const {
  switch (type) {
    case edSpinEdit:
    case edFloatSpinEdit:
    case edDateSpinEdit:
    case edTimeSpinEdit: return gridSpin_;
    case edComboEdit:
    case edComboList: return gridCombo_;
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn: return gridEditBtn_;
    case edUnitEditBtn: return gridUnitEditBtn_;
    case edDateEdit:
    case edDateEditUpDown:
    case edTimeEdit: return gridDatePicker_;
    case edCheckBox: return gridCheckBox_;
    case edButton: return gridButton_;
    default: return nullptr;
  }
}

void TRichStringGrid::ShowEditorControl(int ACol, int ARow) {
  if (editorType_ == edCustom) return ShowLinkEditor(ACol, ARow);
  TWinControl* control = ControlFor(editorType_);
  if (!control) return;
  if (OnGetEditorProp) OnGetEditorProp(this, ACol, ARow, nullptr);
  BeginEdit(ACol, ARow);
  controlCol_ = ACol;
  controlRow_ = ARow;
  activeControl_ = control;
  FillEditControl();
  const TRect r = CellRect(ACol, ARow);
  control->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  control->SetVisible(true);
  control->BringToFront();
  editControlActive_ = true;
  if (editorType_ == edComboEdit || editorType_ == edComboList) {
    int width = gridCombo_->Width();
    for (int i = 0; i < gridCombo_->Items()->Count(); ++i)
      width = std::max(width, Canvas()->TextWidth(gridCombo_->Items()->Strings(i)) + 6);
    gridCombo_->SetDroppedWidth(width);
  }
  if (control->CanFocus()) control->SetFocus();
  if (TPoint at; TakeEditClick(at) && activeControl_ == gridCombo_) {
    // The caret goes to the character under the click.
    auto* combo = qobject_cast<QComboBox*>(gridCombo_->Widget());
    if (QLineEdit* edit = combo ? combo->lineEdit() : nullptr)
      edit->setCursorPosition(edit->cursorPositionAt(edit->mapFrom(combo, QPoint(at.X - r.Left, at.Y - r.Top))));
  }
  if (editorType_ == edComboEdit || editorType_ == edComboList) {
    if (mouseActions_->DirectComboDrop && control->Showing()) gridCombo_->SetDroppedDown(true);
  }
  // The character that opened the editor is the first one typed into it.
  if (typedChar_ != '\0' && typedChar_ != '\b' && HasFocus(control)) {
    const AnsiString text(1, typedChar_);
    typedChar_ = '\0';
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, vx::ToQString(text));
    QApplication::sendEvent(QApplication::focusWidget(), &press);
  }
}

void TRichStringGrid::FillEditControl() {
  const AnsiString text = Cells(controlCol_, controlRow_);
  switch (editorType_) {
    case edSpinEdit:
      gridSpin_->SetSpinType(sptNormal);
      try {
        gridSpin_->SetValue(Ints(controlCol_, controlRow_));
      } catch (const Exception&) { gridSpin_->SetValue(gridSpin_->MinValue()); }
      break;
    case edFloatSpinEdit:
      gridSpin_->SetSpinType(sptFloat);
      try {
        gridSpin_->SetFloatValue(Floats(controlCol_, controlRow_));
      } catch (const Exception&) { gridSpin_->SetFloatValue(gridSpin_->MinFloatValue()); }
      break;
    case edDateSpinEdit: {
      gridSpin_->SetSpinType(sptDate);
      TDateTime d = 0;
      gridSpin_->SetDateValue(TryStrToDate(text, d) ? d : Date());
      break;
    }
    case edTimeSpinEdit: {
      gridSpin_->SetSpinType(sptTime);
      TDateTime t = 0;
      gridSpin_->SetTimeValue(TryStrToTime(text, t) ? t : 0);
      break;
    }
    case edComboEdit:
    case edComboList:
      gridCombo_->SetStyle(editorType_ == edComboList ? csDropDownList : csDropDown);
      gridCombo_->SetText(text);
      break;
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn: gridEditBtn_->SetText(text); break;
    case edUnitEditBtn: {
      AnsiString number, unit;
      SplitUnit(text, number, unit);
      gridUnitEditBtn_->SetText(number);
      gridUnitEditBtn_->SetUnitID(unit);
      break;
    }
    case edDateEdit:
    case edDateEditUpDown: {
      gridDatePicker_->SetKind(dtkDate);
      gridDatePicker_->SetDateMode(editorType_ == edDateEditUpDown ? dmUpDown : dmComboBox);
      TDateTime d = 0;
      gridDatePicker_->SetDate(TryStrToDate(text, d) ? d : Date());
      break;
    }
    case edTimeEdit: {
      gridDatePicker_->SetKind(dtkTime);
      TDateTime t = 0;
      gridDatePicker_->SetTime(TryStrToTime(text, t) ? t : 0);
      break;
    }
    case edCheckBox: gridCheckBox_->SetCaption(text); break;
    case edButton: gridButton_->SetCaption(text); break;
    default: break;
  }
}

AnsiString TRichStringGrid::EditControlText() const {
  switch (editorType_) {
    case edSpinEdit:
    case edFloatSpinEdit:
    case edDateSpinEdit:
    case edTimeSpinEdit: return gridSpin_->Text();
    case edComboEdit: return gridCombo_->Text();
    // A list with nothing picked (the cell's text is none of its items)
    // leaves the cell as it was.
    case edComboList: return gridCombo_->ItemIndex() < 0 ? Cells(controlCol_, controlRow_) : gridCombo_->Text();
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn: return gridEditBtn_->Text();
    case edUnitEditBtn: return gridUnitEditBtn_->Text() + gridUnitEditBtn_->UnitID();
    case edDateEdit:
    case edDateEditUpDown: return DateToStr(gridDatePicker_->Date());
    case edTimeEdit: return TimeToStr(gridDatePicker_->Time());
    default: return Cells(controlCol_, controlRow_);
  }
}

bool TRichStringGrid::CommitEditControl() {
  if (!editControlActive_ || editorType_ == edCheckBox || editorType_ == edButton) return true;
  if (activeControl_ == gridSpin_) {
    // Leaving the spin editor clamps its value, as leaving it by the focus does.
    TSpinValueModel& model = gridSpin_->Model();
    model.SetText(gridSpin_->Text());
    model.Reclamp();
    gridSpin_->SetText(model.Text());
  }
  const AnsiString text = EditControlText();
  if (Cells(controlCol_, controlRow_) != text) SetCells(controlCol_, controlRow_, text);
  editPending_ = true;
  const bool valid = ValidateEdit();
  // The control is the open edit; nothing waits for the in-place editor.
  editPending_ = false;
  if (!valid) {
    FillEditControl();
    if (auto* edit = dynamic_cast<TEdit*>(activeControl_)) edit->SetSelStart(static_cast<int>(edit->Text().size()));
  }
  return valid;
}

void TRichStringGrid::HideEditControl() {
  if (!editControlActive_) return;
  TWinControl* control = activeControl_;
  {
    // The grid takes the focus before the control goes, so that it does not
    // wander to another window's control.
    vx::RestoreOnExit<bool> busy(handingBack_, true);
    vx::RestoreOnExit<bool> always(navigation_->AlwaysEdit, false);
    if (HasFocus(control) && CanFocus()) SetFocus();
  }
  if (auto* combo = dynamic_cast<TComboBox*>(control); combo && combo->DroppedDown()) combo->SetDroppedDown(false);
  control->SetVisible(false);
  editControlActive_ = false;
  activeControl_ = nullptr;
  InvalidateCell(controlCol_, controlRow_);
}

bool TRichStringGrid::EndEditControl() {
  if (!CommitEditControl()) return false;
  HideEditControl();
  return true;
}

void TRichStringGrid::LeaveEditControl(Word key, TShiftState shift, bool passOn) {
  if (!editControlActive_) return;
  if (key == VK_ESCAPE) FillEditControl();
  else if (!CommitEditControl()) return;
  vx::RestoreOnExit<bool> busy(handingBack_, true);
  vx::RestoreOnExit<bool> always(navigation_->AlwaysEdit, false);
  HideEditControl();
  HideEditor();
  if (CanFocus()) SetFocus();
  if (key == VK_TAB) {
    PassTabOn(shift);
  } else if (passOn) {
    Word k = key;
    KeyDown(k, shift);
  }
  if (key == VK_RETURN) AdvanceCell(Col(), Row(), !shift.Contains(ssShift), true);
}

void TRichStringGrid::RefocusEditControl() {
  if (handingBack_ || validating_) return;
  TWinControl* control = linkActive_ && editLink_ ? editLink_->GetEditControl() : activeControl_;
  if (control && control->Visible() && control->CanFocus() && !HasFocus(control)) control->SetFocus();
}

void TRichStringGrid::CloseEditControlOnScroll() {
  if (handingBack_ || validating_) return;
  if (editControlActive_) {
    CommitEditControl();
    HideEditControl();
    HideEditor();
  }
}

void TRichStringGrid::PassTabOn(TShiftState shift) {
  if (!Widget()) return;
  {
    vx::RestoreOnExit<bool> busy(handingBack_, true);
    HideEditor();
    if (CanFocus()) SetFocus();
  }
  // The window system's Tab: the grid's keys first, then the next control.
  const bool back = shift.Contains(ssShift);
  QKeyEvent press(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
  QApplication::sendEvent(Widget(), &press);
}

bool TRichStringGrid::FocusInPopup() const { return QApplication::activePopupWidget() != nullptr; }

// ---------------------------------------------------------------------------
// The editor link

void TRichStringGrid::SetEditLink(TEditLink* v) {
  if (v == editLink_) return;
  if (linkActive_) EndLinkEdit(VK_ESCAPE, TShiftState{});
  if (editLink_ && editLink_->grid_ == this) editLink_->grid_ = nullptr;
  editLink_ = v;
  if (editLink_) editLink_->grid_ = this;
}

void TRichStringGrid::LinkDestroyed(TEditLink* link) {
  if (link != editLink_) return;
  linkActive_ = false;
  delete link->popup_;
  link->popup_ = nullptr;
  editLink_ = nullptr;
}

void TRichStringGrid::ShowLinkEditor(int ACol, int ARow) {
  TEditLink* link = editLink_;
  if (!link) return;
  link->grid_ = this;
  BeginEdit(ACol, ARow);
  controlCol_ = ACol;
  controlRow_ = ARow;
  const TRect cell = CellRect(ACol, ARow);
  TWinControl* parent = this;
  if (link->EditStyle() == esPopup) {
    auto* popup = new TForm(this);
    popup->SetBorderStyle(bsNone);
    const TPoint at = ClientToScreen(TPoint{cell.Left, cell.Top});
    popup->SetBounds(at.X, at.Y, link->PopupWidth(), link->PopupHeight());
    link->popup_ = popup;
    parent = popup;
  }
  link->CreateEditor(parent);
  link->SetProperties();
  if (OnGetEditorProp) OnGetEditorProp(this, ACol, ARow, link);
  link->SetEditorValue(Cells(ACol, ARow));
  link->SetRect(link->popup_ ? Rect(0, 0, link->PopupWidth(), link->PopupHeight()) : cell);
  link->SetVisible(true);
  if (auto* popup = dynamic_cast<TForm*>(link->popup_)) popup->Show();
  linkActive_ = true;
  if (TWinControl* control = link->GetEditControl(); control && !link->popup_ && control->Widget())
    vx::WatchChildFocus(control->Widget(), Widget());
  link->SetFocus(true);
}

bool TRichStringGrid::FocusInLinkEditor() const {
  if (!linkActive_ || !editLink_) return false;
  if (editLink_->popup_ && Inside(QApplication::focusWidget(), editLink_->popup_->Widget())) return true;
  return HasFocus(editLink_->GetEditControl());
}

void TRichStringGrid::EndLinkEdit(Word key, TShiftState shift) {
  TEditLink* link = editLink_;
  if (!linkActive_ || !link) return;
  if (key == VK_ESCAPE) {
    if (Cells(controlCol_, controlRow_) != startText_) SetCells(controlCol_, controlRow_, startText_);
  } else {
    AnsiString value;
    link->GetEditorValue(value);
    if (Cells(controlCol_, controlRow_) != value) SetCells(controlCol_, controlRow_, value);
    editPending_ = true;
    const bool valid = ValidateEdit();
    editPending_ = false;
    if (!valid) {
      link->SetEditorValue(Cells(controlCol_, controlRow_));
      return;
    }
  }
  vx::RestoreOnExit<bool> busy(handingBack_, true);
  vx::RestoreOnExit<bool> always(navigation_->AlwaysEdit, false);
  // The editor mode ends and the grid has the focus before a control in
  // the grid goes, so that nothing opens it again on the way.
  HideEditor();
  const bool popup = link->popup_ != nullptr;
  if (!popup && CanFocus()) SetFocus();
  CloseLinkEditor();
  if (popup && CanFocus()) {
    // Back from the popup form, the grid's window is the active one again.
    if (QWidget* window = Widget() ? Widget()->window() : nullptr) window->activateWindow();
    SetFocus();
  }
  if (key == VK_UP || key == VK_DOWN) {
    Word k = key;
    KeyDown(k, shift);
  }
  if (key == VK_RETURN) AdvanceCell(Col(), Row(), !shift.Contains(ssShift), true);
}

// The control goes out of sight at once; it is destroyed (with its popup
// form) once the event that ended the edit, which may be its own key, is
// over.
void TRichStringGrid::CloseLinkEditor() {
  TEditLink* link = editLink_;
  linkActive_ = false;
  if (link->EditStyle() != esPopup) link->SetVisible(false);
  if (link->popup_) link->popup_->SetVisible(false);
  QMetaObject::invokeMethod(
      Widget(),
      [this, link] {
        if (link != editLink_ || linkActive_) return;
        link->DestroyEditor();
        delete link->popup_;
        link->popup_ = nullptr;
      },
      Qt::QueuedConnection);
}
