// Window messages: the small part of the Windows message system that
// controls with a window procedure use (the grids). A window is a
// vx::MessageTarget (HWND); SendMessage runs its WndProc at once. Timers
// (SetTimer/KillTimer, timers.h) and scroll bars (SetScrollInfo ...) address
// windows the same way.
#pragma once

#include <cstdint>

using UINT = unsigned;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

constexpr UINT WM_SIZE = 0x0005, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008, WM_PAINT = 0x000F, WM_CLOSE = 0x0010,
               WM_ERASEBKGND = 0x0014, WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020, WM_KEYDOWN = 0x0100,
               WM_KEYUP = 0x0101, WM_CHAR = 0x0102, WM_TIMER = 0x0113, WM_HSCROLL = 0x0114, WM_VSCROLL = 0x0115,
               WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203,
               WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205, WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208,
               WM_MOUSEWHEEL = 0x020A;
// The class library's own messages.
constexpr UINT CM_BASE = 0xB000, CM_ENTER = CM_BASE + 10, CM_EXIT = CM_BASE + 11, CM_HINTSHOW = CM_BASE + 48,
               CM_MOUSELEAVE = CM_BASE + 20, CM_CANCELMODE = CM_BASE + 4;

// Scroll bars and scroll codes.
constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;
constexpr int SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2, SB_PAGELEFT = 2,
              SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6,
              SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;
constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8, SIF_TRACKPOS = 0x10,
               SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

// Mouse key states of the mouse messages, and the wheel's step.
constexpr unsigned MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10;
constexpr int WHEEL_DELTA = 120;

inline constexpr unsigned LOWORD(std::uintptr_t v) { return static_cast<unsigned>(v & 0xFFFF); }
inline constexpr unsigned HIWORD(std::uintptr_t v) { return static_cast<unsigned>((v >> 16) & 0xFFFF); }
inline constexpr LPARAM MAKELPARAM(int low, int high) {
  return static_cast<LPARAM>(
      static_cast<std::int32_t>((static_cast<std::uint32_t>(high) << 16) | (static_cast<std::uint32_t>(low) & 0xFFFF)));
}
inline constexpr WPARAM MAKEWPARAM(int low, int high) {
  return static_cast<WPARAM>(static_cast<std::uint32_t>(MAKELPARAM(low, high)));
}
// Signed coordinates packed in a mouse message's LParam.
inline constexpr int GET_X_LPARAM(LPARAM l) { return static_cast<std::int16_t>(l & 0xFFFF); }
inline constexpr int GET_Y_LPARAM(LPARAM l) { return static_cast<std::int16_t>((l >> 16) & 0xFFFF); }
inline constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM w) { return static_cast<std::int16_t>((w >> 16) & 0xFFFF); }

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

namespace vx {

// A scroll bar of a window as the window keeps it.
struct ScrollBarState {
  int Min = 0;
  int Max = 100;
  int Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  bool Visible = false;
};

class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual void WndProc(TMessage& message) = 0;
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    TMessage m{msg, wParam, lParam, 0};
    WndProc(m);
    return m.Result;
  }
  // The window's scroll bar (SB_HORZ or SB_VERT), or nullptr when it has none.
  virtual ScrollBarState* ScrollBar(int) { return nullptr; }
  // Called after a scroll bar's state was changed through the calls below.
  virtual void ScrollBarChanged(int) {}
};

}  // namespace vx

using HWND = vx::MessageTarget*;

inline LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  return window ? window->Perform(msg, wParam, lParam) : 0;
}

// Scroll bars of a window (bar SB_HORZ or SB_VERT). The position is kept
// within Min .. Max - max(Page - 1, 0). Each returns the position after the call.
int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, bool redraw);
bool GetScrollInfo(HWND window, int bar, SCROLLINFO* info);
int SetScrollPos(HWND window, int bar, int pos, bool redraw);
int GetScrollPos(HWND window, int bar);
bool SetScrollRange(HWND window, int bar, int minPos, int maxPos, bool redraw);
bool ShowScrollBar(HWND window, int bar, bool show);
