#include "platform/gui/base/messages.h"

#include <algorithm>

namespace {

vx::ScrollBarState* Bar(HWND window, int bar) { return window ? window->ScrollBar(bar) : nullptr; }

void Clamp(vx::ScrollBarState& s) {
  const int last = s.Max - std::max(static_cast<int>(s.Page) - 1, 0);
  s.Pos = std::clamp(s.Pos, s.Min, std::max(s.Min, last));
}

}  // namespace

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, bool) {
  vx::ScrollBarState* s = Bar(window, bar);
  if (!s || !info) return 0;
  if (info->fMask & SIF_RANGE) {
    s->Min = info->nMin;
    s->Max = std::max(info->nMin, info->nMax);
  }
  if (info->fMask & SIF_PAGE) s->Page = static_cast<int>(std::min<UINT>(info->nPage, 0x7FFFFFFF));
  if (info->fMask & SIF_POS) s->Pos = info->nPos;
  Clamp(*s);
  window->ScrollBarChanged(bar);
  return s->Pos;
}

bool GetScrollInfo(HWND window, int bar, SCROLLINFO* info) {
  vx::ScrollBarState* s = Bar(window, bar);
  if (!s || !info) return false;
  if (info->fMask & SIF_RANGE) {
    info->nMin = s->Min;
    info->nMax = s->Max;
  }
  if (info->fMask & SIF_PAGE) info->nPage = static_cast<UINT>(s->Page);
  if (info->fMask & SIF_POS) info->nPos = s->Pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = s->TrackPos;
  return true;
}

int SetScrollPos(HWND window, int bar, int pos, bool redraw) {
  vx::ScrollBarState* s = Bar(window, bar);
  if (!s) return 0;
  const int previous = s->Pos;
  SCROLLINFO info;
  info.fMask = SIF_POS;
  info.nPos = pos;
  SetScrollInfo(window, bar, &info, redraw);
  return previous;
}

int GetScrollPos(HWND window, int bar) {
  vx::ScrollBarState* s = Bar(window, bar);
  return s ? s->Pos : 0;
}

bool SetScrollRange(HWND window, int bar, int minPos, int maxPos, bool redraw) {
  SCROLLINFO info;
  info.fMask = SIF_RANGE;
  info.nMin = minPos;
  info.nMax = maxPos;
  return Bar(window, bar) && (SetScrollInfo(window, bar, &info, redraw), true);
}

bool ShowScrollBar(HWND window, int bar, bool show) {
  if (!window) return false;
  bool any = false;
  for (int b : {SB_HORZ, SB_VERT}) {
    if (bar != b && bar != SB_BOTH) continue;
    if (vx::ScrollBarState* s = window->ScrollBar(b)) {
      s->Visible = show;
      window->ScrollBarChanged(b);
      any = true;
    }
  }
  return any;
}
