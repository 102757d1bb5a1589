// Synthetic user input for tests: mouse clicks, keys and typing delivered to
// a control's widget as Qt events, so they travel the same road as real
// input (event filters, widgets, the control's events). The Post variants
// queue the events; they arrive at the next pump (ProcessMessages).
#pragma once

#include <functional>

#include "platform/gui/core/controls.h"
#include "platform/gui/draw/graphics.h"

namespace vx {

// A left click at (x, y) of the control (its centre when x < 0).
void SendClick(TControl* control, int x = -1, int y = -1, TMouseButton button = mbLeft);
void PostClick(TControl* control, int x = -1, int y = -1, TMouseButton button = mbLeft);
void SendDoubleClick(TControl* control, int x = -1, int y = -1);
void SendMouseMove(TControl* control, int x, int y, TShiftState shift = {});
void SendMouseDown(TControl* control, int x, int y, TMouseButton button = mbLeft);
void SendMouseUp(TControl* control, int x, int y, TMouseButton button = mbLeft);
// The mouse entering and leaving the control.
void SendEnter(TControl* control);
void SendLeave(TControl* control);
// The wheel turned by delta (120 a notch, negative towards the user) over
// (x, y) of the control (its centre when x < 0), with the keys of shift held.
void SendWheel(TControl* control, int delta, int x = -1, int y = -1, TShiftState shift = {});
// The scroll bars of a control that scrolls by itself (a grid): whether one
// is shown, a click in its page area, and its thumb dragged to pos and let go.
bool ScrollBarShown(TControl* control, bool vertical);
void SendScrollBarPage(TControl* control, bool vertical, bool forward);
void SendScrollBarDrag(TControl* control, bool vertical, int pos);
// Press and release of a virtual key (VK_DOWN, 'A' ...).
void SendKey(TControl* control, Word key, TShiftState shift = {});
// Typing text into an edit, memo, spin edit or combo box, one key per character.
void SendText(TControl* control, const AnsiString& text);
// The user closing a form's window (title-bar button).
void SendCloseRequest(TControl* form);
// Runs action at the next pump (ProcessMessages), as a queued user action
// that arrives while a loop is running.
void PostCall(std::function<void()> action);
// Closes open pop-up menus.
void ClosePopups();
// Picks the item with this caption (accelerators ignored) of the pop-up
// menu on screen as the user does: the button goes down and comes up on it.
// False when no pop-up menu is shown or it has no such enabled item.
bool ChoosePopupItem(const AnsiString& caption);
// Pumps messages until the control has the keyboard focus in an active
// window: a window shown under a real X server becomes active only when the
// server's focus event arrives, later under load. False when that has not
// happened within timeoutMs.
bool WaitForFocus(TWinControl* control, int timeoutMs = 10000);
// Saves what the control shows as a PNG file; false when it cannot be written.
bool SaveScreenshot(TControl* control, const AnsiString& fileName);
// True when the font (as mapped to an installed family) has a glyph for
// every character of text.
bool FontDrawsText(const TFont& font, const AnsiString& text);
// True when what the window shows of the control (its pixels as last
// flushed to the screen, on the off-screen platform) is what the control
// paints now: false means a change was never repainted.
bool ShowsWhatItPaints(TControl* control);
// Share of the control's pixels (0..1) that differ from colour, as shown.
double InkCoverage(TControl* control, TColor background);
// Top-level windows currently shown (tests check none is left behind).
int VisibleWindowCount();

}  // namespace vx
