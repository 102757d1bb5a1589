// TRichStringGrid: the window's messages. The timer of hovering and
// blinking texts, pan mode with its timer, cell hints and scroll hints, the
// wheel, the focus coming in and the window's end.
#include <algorithm>
#include <cstdlib>

#include "RichGrid/drag_markers.h"
#include "RichGrid/grid_cursors.h"
#include "RichGrid/markup.h"
#include "RichGrid/rich_grid.h"
#include "RichGrid/text_routines.h"
#include "platform/gui/core/hintwindow.h"
#include "platform/gui/services/timers.h"

namespace {

// The timer of hovering and blinking (twice a second) and the pan timer.
constexpr UINT_PTR kHoverTimer = 111, kPanTimer = 999;
constexpr unsigned kHoverTimerMs = 500, kPanTimerMs = 10;
// Pan mode: the mouse this near the origin scrolls nothing; past it each
// tick adds the distance beyond, and every kPanUnit pixels added scroll one
// row (column): 10 rows a second 40 pixels beyond, 50 at 200.
constexpr int kPanDeadZone = 8, kPanUnit = 400;
// The widest hint, in pixels.
constexpr int kHintMaxWidth = 300;

}  // namespace

void TRichStringGrid::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_TIMER:
      if (message.WParam == kHoverTimer) {
        HoverBlinkTick();
        return;
      }
      if (message.WParam == kPanTimer) {
        PanTick();
        return;
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL: {
      const int bar = message.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
      const int code = static_cast<int>(LOWORD(message.WParam));
      const bool covered = scrollHints_ == shBoth || (bar == SB_VERT && scrollHints_ == shVertical) ||
                           (bar == SB_HORZ && scrollHints_ == shHorizontal);
      if (covered && code == SB_THUMBTRACK) ShowScrollHint(bar, static_cast<int>(HIWORD(message.WParam)));
      if (code == SB_ENDSCROLL && scrollHintShown_) {
        scrollHintShown_ = false;
        hintWindow_->ReleaseHandle();
      }
      break;
    }
    default: break;
  }
  TStringGrid::WndProc(message);
  switch (message.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL: UpdateScrollSettings(); break;
    case WM_SETFOCUS:
      RefocusEditControl();
      // A grid of nothing but its "always" fixed row (column) shows no selection.
      if ((fixedRowAlways_ && RowCount() == 1) || (fixedColAlways_ && ColCount() == 1)) {
        HideSelection();
        break;
      }
      if (IsCheckBox(RealColIndex(Col()), Row())) HideEditor();
      else if (navigation_->AlwaysEdit && !editControlActive_) ShowEditor();
      break;
    default: break;
  }
}

void TRichStringGrid::DoEnter() {
  TStringGrid::DoEnter();
  if (Col() < ColCount() && Row() < RowCount()) {
    SelectCell(Col(), Row());
    BeginEdit(Col(), Row());
  }
}

// ---------------------------------------------------------------------------
// Hovering and blinking

bool TRichStringGrid::ContainsBlink(const AnsiString& text) const {
  for (std::size_t i = text.find('<'); i != AnsiString::npos && i + 3 < text.size(); i = text.find('<', i + 1))
    if ((text[i + 1] | 0x20) == 'b' && (text[i + 2] | 0x20) == 'l' && (text[i + 3] | 0x20) == 'i') return true;
  return false;
}

void TRichStringGrid::SetHovering(bool v) {
  hovering_ = v;
  UpdateHoverTimer();
}

void TRichStringGrid::UpdateHoverTimer() {
  const bool needed = HandleAllocated() && ((hovering_ && mouseInside_) || blinkSeen_);
  if (needed && !timerRunning_) timerRunning_ = SetTimer(Handle(), kHoverTimer, kHoverTimerMs) != 0;
  if (!needed && timerRunning_) {
    KillTimer(Handle(), kHoverTimer);
    timerRunning_ = false;
  }
}

void TRichStringGrid::StopWindowTimers() {
  EndPan();
  if (timerRunning_) KillTimer(Handle(), kHoverTimer);
  timerRunning_ = false;
  mouseInside_ = blinkSeen_ = false;
  blinkOn_ = true;
  HideCellHint();
  if (scrollHintShown_) hintWindow_->ReleaseHandle();
  scrollHintShown_ = false;
  HideMoveMarkers();
}

void TRichStringGrid::HoverBlinkTick() {
  if (hovering_ && mouseInside_) {
    const TGridCoord cell = MouseCoord(mousePoint_.X, mousePoint_.Y);
    if (cell.X >= 0 && cell.Y >= 0 && IsDataRow(cell.Y) && IsDataCol(cell.X)) {
      if (!IsActiveControl() && CanFocus()) SetFocus();
      if (!(FCurrent == cell)) FocusCell(cell.X, cell.Y, true);
    }
  }
  // Blinking texts in view change phase: in the fixed rows, and in the
  // rows shown, the fixed columns and the columns shown.
  blinkOn_ = !blinkOn_;
  std::vector<int> rows, cols;
  for (int r = 0; r < std::min(FixedRows(), RowCount()); ++r) rows.push_back(r);
  for (int r = TopRow(); r < RowCount() && r <= TopRow() + VisibleRowCount(); ++r) rows.push_back(r);
  for (int c = 0; c < std::min(FixedCols(), ColCount()); ++c) cols.push_back(c);
  for (int c = LeftCol(); c < ColCount() && c <= LeftCol() + VisibleColCount(); ++c) cols.push_back(c);
  bool any = false;
  for (int r : rows)
    for (int c : cols)
      if (ContainsBlink(Cells(RealColIndex(c), r))) {
        any = true;
        RepaintCell(c, r);
      }
  // Nothing blinks in view: the timer rests, the texts show.
  if (!any) blinkOn_ = true;
  blinkSeen_ = any;
  UpdateHoverTimer();
}

// ---------------------------------------------------------------------------
// Pan mode

void TRichStringGrid::StartPan(int X, int Y) {
  panMode_ = true;
  panOrigin_ = mousePoint_ = Point(X, Y);
  panAccumX_ = panAccumY_ = 0;
  SetMouseCapture(true);
  if (HandleAllocated()) panTimerRunning_ = SetTimer(Handle(), kPanTimer, kPanTimerMs) != 0;
  RegisterGridCursors();
  SetCursor(crPanOrigin);
  InvalidateGrid();
}

void TRichStringGrid::EndPan() {
  if (!panMode_) return;
  panMode_ = false;
  SetMouseCapture(false);
  if (panTimerRunning_) KillTimer(Handle(), kPanTimer);
  panTimerRunning_ = false;
  SetCursor(savedCursor_);
  InvalidateGrid();
}

void TRichStringGrid::PanTick() {
  if (!panMode_) return;
  const int dx = mousePoint_.X - panOrigin_.X, dy = mousePoint_.Y - panOrigin_.Y;
  const TCursor cursor = PanCursor(dx, dy, intelliPan_, kPanDeadZone);
  if (cursor != Cursor()) SetCursor(cursor);
  // Rows (columns) this tick in one direction, the rest kept for the next.
  const auto steps = [](int offset, int& accum) {
    if (std::abs(offset) <= kPanDeadZone) {
      accum = 0;
      return 0;
    }
    accum += std::abs(offset) - kPanDeadZone;
    const int n = accum / kPanUnit;
    accum %= kPanUnit;
    return offset < 0 ? -n : n;
  };
  const int down = intelliPan_ == ipHorizontal ? 0 : steps(dy, panAccumY_);
  const int right = intelliPan_ == ipVertical ? 0 : steps(dx, panAccumX_);
  if (down != 0 || right != 0) MoveTopLeft(LeftCol() + right, TopRow() + down);
}

// ---------------------------------------------------------------------------
// Hints

bool TRichStringGrid::ShowOwnHint(TPoint clientPos, TPoint) {
  const TGridCoord cell = MouseCoord(clientPos.X, clientPos.Y);
  if (cell.X < 0 || cell.Y < 0) return false;
  const int col = RealColIndex(cell.X);
  const TRect r = CellRect(cell.X, cell.Y);
  const bool data = IsDataRow(cell.Y) && IsDataCol(cell.X);
  AnsiString text = Cells(col, cell.Y);
  if (TextType(text, enableHTML_) == ctMarkup) text = StripMarkup(text);
  AnsiString hint = Hint().substr(0, Hint().find('|'));
  TPoint at = Point(r.Left, r.Bottom + 6);
  AnsiString comment;
  if (GetComment(col, cell.Y, comment)) {
    hint = comment;
    at = Point(r.Right, r.Top);
  } else if (data && hintShowLargeText_) {
    int w = 0, h = 0;
    CellTextSize(col, cell.Y, w, h);
    hint = w > ColWidths(cell.X) ? text : "";
    at = Point(r.Left, r.Top);
  } else if (data && hintShowCells_) {
    hint = text;
    at = Point(r.Left, r.Top);
  }
  if (OnGridHint) OnGridHint(this, cell.Y, cell.X, hint);
  hintCell_ = cell;
  if (hint.empty()) {
    HideCellHint();
    return true;
  }
  ShowHintText(hint, ClientToScreen(at));
  hintShown_ = true;
  return true;
}

void TRichStringGrid::ShowHintText(const AnsiString& text, TPoint screenPos) {
  hintWindow_->SetColor(hintColor_);
  const TRect size = hintWindow_->CalcHintRect(kHintMaxWidth, text);
  hintWindow_->ActivateHint(Bounds(screenPos.X, screenPos.Y, size.Width(), size.Height()), text);
}

void TRichStringGrid::HideCellHint() {
  if (!hintShown_) return;
  hintShown_ = false;
  hintCell_ = TGridCoord{-1, -1};
  hintWindow_->ReleaseHandle();
}

void TRichStringGrid::ShowScrollHint(int bar, int pos) {
  const int cell = ThumbCell(bar, pos);
  AnsiString text = (bar == SB_VERT ? "Row : " : "Col : ") + IntToStr(cell);
  if (OnScrollHint) OnScrollHint(this, cell, text);
  const TRect size = hintWindow_->CalcHintRect(kHintMaxWidth, text);
  const int at = std::clamp(pos, 0, 127);
  const TPoint p = bar == SB_VERT ? ClientToScreen(Point(ClientWidth() - size.Width() - 2, at * ClientHeight() / 127))
                                  : ClientToScreen(Point(at * ClientWidth() / 127, ClientHeight() - size.Height() - 2));
  hintWindow_->SetColor(hintColor_);
  hintWindow_->ActivateHint(Bounds(p.X, p.Y, size.Width(), size.Height()), text);
  scrollHintShown_ = true;
}

// ---------------------------------------------------------------------------
// The wheel

bool TRichStringGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  const bool zoom = Shift.Contains(ssCtrl) && intelliZoom_;
  if (panMode_ || (!zoom && !enableWheel_)) return TStringGrid::DoMouseWheel(Shift, WheelDelta, MousePos);
  // One step a notch; a wheel that reports parts of notches adds them up.
  // The step is the grid's alone: the string grid's own move does not follow.
  wheelRest_ += WheelDelta;
  if (std::abs(wheelRest_) < WHEEL_DELTA) return true;
  const int direction = wheelRest_ > 0 ? 1 : -1;
  wheelRest_ = 0;
  if (zoom) {
    Zoom(-direction * wheelScrollLines_);
    return true;
  }
  const int lastRow = RowCount() - fixedFooters_ - 1;
  if (lastRow < FixedRows()) return true;
  const int row = std::clamp(Row() - direction * wheelScrollLines_, FixedRows(), lastRow);
  const int col = std::clamp(Col(), FixedCols(), ColCount() - 1);
  if (!(FCurrent == TGridCoord{col, row})) FocusCell(col, row, true);
  return true;
}
