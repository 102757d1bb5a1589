// The Qt side of the controls that scroll by themselves (the grids; platform/gui
// internal): a scroll area whose viewport is the control's client area. It
// paints the control through its canvas, hands it the wheel, focus, showing
// and scroll-bar actions as window messages (WM_MOUSEWHEEL, WM_SETFOCUS,
// WM_KILLFOCUS, CM_ENTER, CM_EXIT, WM_SHOWWINDOW, WM_HSCROLL, WM_VSCROLL, and
// WM_PAINT just before each paint), and shows the scroll bars as the control
// keeps them (MessageTarget::ScrollBar). Mouse and keys reach the control
// through its ordinary event filter.
#pragma once

#include "platform/gui/draw/canvas.h"
#include "platform/gui/base/messages.h"

class QWidget;
class TCustomControl;

constexpr UINT WM_SHOWWINDOW = 0x0018;

namespace vx {

QWidget* NewScrollHost();
void AttachScrollHost(QWidget* host, TCustomControl* control, MessageTarget* target);
void DetachScrollHost(QWidget* host);
// The viewport: where the control's children (a grid's editor) live.
QWidget* ScrollHostViewport(QWidget* host);
void SetScrollHostFrame(QWidget* host, bool framed);
// The client area of a control width x height: less the frame and the scroll
// bars the target shows (whether or not it is on screen).
TSize ScrollHostClientSize(QWidget* host, int width, int height, MessageTarget* target);
// True when the control is on screen.
bool ScrollHostShown(QWidget* host);
// Marks part of the client area for the next paint.
void ScrollHostUpdate(QWidget* host, const TRect& r);
void ScrollHostBarChanged(QWidget* host, int bar, const ScrollBarState* state);
// A child of the control (a grid's editor): when the focus leaves it for
// something outside the control, the control hears WM_KILLFOCUS and CM_EXIT.
void WatchChildFocus(QWidget* child, QWidget* host);

}  // namespace vx
