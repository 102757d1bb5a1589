// The Windows drawing calls over a device-context handle, as grid and printing
// code makes them: the handle is a canvas (TCanvas::Handle), and each call is
// that canvas's own operation. Points and rectangles are logical units of the
// canvas's mapping mode.
#pragma once

#include <string>

#include "platform/gui/draw/canvas.h"

inline int SetMapMode(HDC dc, int mode) { return dc ? dc->SetMapMode(mode) : 0; }
inline int GetMapMode(HDC dc) { return dc ? dc->MapMode() : 0; }

// Convert count points in place; false without a canvas.
inline bool LPtoDP(HDC dc, TPoint* points, int count) {
  if (!dc || !points) return false;
  for (int i = 0; i < count; ++i) points[i] = dc->LPtoDP(points[i]);
  return true;
}
inline bool DPtoLP(HDC dc, TPoint* points, int count) {
  if (!dc || !points) return false;
  for (int i = 0; i < count; ++i) points[i] = dc->DPtoLP(points[i]);
  return true;
}

inline int GetDeviceCaps(HDC dc, int index) { return dc ? dc->GetDeviceCaps(index) : 0; }
inline int GetClipBox(HDC dc, TRect* r) { return dc && r ? dc->GetClipBox(*r) : RGN_ERROR; }
inline int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
  return dc ? dc->ExcludeClipRect(TRect{left, top, right, bottom}) : RGN_ERROR;
}
inline int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  return dc ? dc->IntersectClipRect(TRect{left, top, right, bottom}) : RGN_ERROR;
}
// SelectClipRgn(dc, nullptr): the whole surface again.
inline int SelectClipRgn(HDC dc, std::nullptr_t) {
  if (!dc) return RGN_ERROR;
  dc->ResetClipRect();
  return SIMPLEREGION;
}

inline int SetBkMode(HDC dc, int mode) { return dc ? dc->SetBkMode(mode) : 0; }
inline int GetBkMode(HDC dc) { return dc ? dc->BkMode() : 0; }
// The text colour is the canvas font's colour; returns the previous one.
inline TColor SetTextColor(HDC dc, TColor color) {
  if (!dc) return clNone;
  const TColor previous = dc->Font()->Color();
  dc->Font()->SetColor(color);
  return previous;
}

// count characters of text (-1: all of it).
inline int DrawText(HDC dc, const AnsiString& text, int count, TRect* r, unsigned format) {
  if (!dc || !r) return 0;
  return dc->DrawText(count < 0 ? text : text.substr(0, static_cast<std::size_t>(count)), *r, format);
}
inline bool DrawEdge(HDC dc, TRect* r, unsigned edge, unsigned flags) {
  return dc && r ? dc->DrawEdge(*r, edge, flags) : false;
}
inline bool DrawFrameControl(HDC dc, TRect* r, unsigned type, unsigned state) {
  return dc && r ? dc->DrawFrameControl(*r, type, state) : false;
}
inline bool DrawFocusRect(HDC dc, const TRect* r) {
  if (!dc || !r) return false;
  dc->DrawFocusRect(*r);
  return true;
}
inline bool GetTextExtentPoint32(HDC dc, const AnsiString& text, int count, TSize* size) {
  if (!dc || !size) return false;
  *size = dc->TextExtent(count < 0 ? text : text.substr(0, static_cast<std::size_t>(count)));
  return true;
}
