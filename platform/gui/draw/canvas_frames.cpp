// TCanvas::DrawEdge and DrawFrameControl: the three-dimensional edges, check
// boxes, radio buttons, push buttons and scroll arrows of the classic look,
// drawn in device pixels with the fixed system colours (one pixel per line
// whatever the mapping mode).
#include <algorithm>

#include "platform/gui/draw/canvas.h"

void TCanvas::FillDevice(const TRect& r, TColor color) {
  if (!device_ || r.Right <= r.Left || r.Bottom <= r.Top) return;
  TBrush b;
  b.SetColor(color);
  device_->FillRect(r, b);
}

void TCanvas::DrawEdgeDevice(TRect& r, unsigned edge, unsigned flags) {
  struct Ring {
    unsigned raised, sunken;
    TColor raisedTopLeft, raisedBottomRight, sunkenTopLeft, sunkenBottomRight;
  };
  const Ring rings[] = {{BDR_RAISEDOUTER, BDR_SUNKENOUTER, cl3DLight, cl3DDkShadow, clBtnShadow, clBtnHighlight},
                        {BDR_RAISEDINNER, BDR_SUNKENINNER, clBtnHighlight, clBtnShadow, cl3DDkShadow, cl3DLight}};
  for (int i = 0; i < 2; ++i) {
    const Ring& ring = rings[i];
    if (!(edge & (ring.raised | ring.sunken))) continue;
    const bool raised = edge & ring.raised;
    TColor topLeft = raised ? ring.raisedTopLeft : ring.sunkenTopLeft;
    TColor bottomRight = raised ? ring.raisedBottomRight : ring.sunkenBottomRight;
    if (flags & BF_MONO) topLeft = bottomRight = i == 0 ? clWindowFrame : clWindow;
    else if (flags & BF_FLAT) topLeft = bottomRight = i == 0 ? clBtnShadow : clBtnFace;
    if (flags & BF_LEFT) FillDevice(TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, topLeft);
    if (flags & BF_TOP) FillDevice(TRect{r.Left, r.Top, r.Right, r.Top + 1}, topLeft);
    if (flags & BF_RIGHT) FillDevice(TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
    if (flags & BF_BOTTOM) FillDevice(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
    if (flags & BF_LEFT) ++r.Left;
    if (flags & BF_TOP) ++r.Top;
    if (flags & BF_RIGHT) --r.Right;
    if (flags & BF_BOTTOM) --r.Bottom;
  }
  if (flags & BF_MIDDLE) FillDevice(r, (flags & BF_MONO) ? clWindow : clBtnFace);
}

bool TCanvas::DrawEdge(TRect& r, unsigned edge, unsigned flags) {
  TRect d = ToDevice(r);
  DrawEdgeDevice(d, edge, flags);
  if (flags & BF_ADJUST) r = ToLogical(d);
  return true;
}

namespace {

// A filled triangle pointing in direction (0 up, 1 down, 2 left, 3 right)
// centred on (cx, cy), half a base of size pixels.
std::vector<TPoint> Arrow(int direction, int cx, int cy, int size) {
  switch (direction) {
    case 0: return {{cx - size, cy + size / 2}, {cx + size, cy + size / 2}, {cx, cy - size / 2 - 1}};
    case 2: return {{cx + size / 2, cy - size}, {cx + size / 2, cy + size}, {cx - size / 2 - 1, cy}};
    case 3: return {{cx - size / 2, cy - size}, {cx - size / 2, cy + size}, {cx + size / 2 + 1, cy}};
    default: return {{cx - size, cy - size / 2}, {cx + size, cy - size / 2}, {cx, cy + size / 2 + 1}};
  }
}

TRect CentredSquare(const TRect& r) {
  const int side = std::min(r.Width(), r.Height());
  const int left = r.Left + (r.Width() - side) / 2, top = r.Top + (r.Height() - side) / 2;
  return TRect{left, top, left + side, top + side};
}

}  // namespace

bool TCanvas::DrawFrameControl(const TRect& logical, unsigned type, unsigned state) {
  if (!device_) return false;
  const TRect r = ToDevice(logical);
  if (r.Right <= r.Left || r.Bottom <= r.Top) return false;
  const bool pushed = state & DFCS_PUSHED, inactive = state & DFCS_INACTIVE, flat = state & DFCS_FLAT;
  auto solidPen = [](TColor c) {
    TPen p;
    p.SetColor(c);
    return p;
  };
  auto solidBrush = [](TColor c) {
    TBrush b;
    b.SetColor(c);
    return b;
  };
  if (type == DFC_BUTTON && (state & 0xFF) == DFCS_BUTTONPUSH) {
    TRect b = r;
    if (flat) DrawEdgeDevice(b, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_FLAT | BF_MIDDLE);
    else DrawEdgeDevice(b, pushed || (state & DFCS_CHECKED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
    return true;
  }
  if (type == DFC_BUTTON && (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE))) {
    const TRect c = CentredSquare(r);
    const TColor face = pushed || inactive ? clBtnFace : clWindow;
    device_->Ellipse(c, solidPen(flat ? clBtnShadow : cl3DDkShadow), solidBrush(face));
    if (state & DFCS_CHECKED) {
      const int d = std::max(2, c.Width() / 3), cx = (c.Left + c.Right) / 2, cy = (c.Top + c.Bottom) / 2;
      const TColor dot = inactive ? clBtnShadow : clWindowText;
      device_->Ellipse(TRect{cx - d / 2, cy - d / 2, cx - d / 2 + d, cy - d / 2 + d}, solidPen(dot), solidBrush(dot));
    }
    return true;
  }
  if (type == DFC_BUTTON) {  // check box
    TRect box = CentredSquare(r);
    if (flat) DrawEdgeDevice(box, BDR_SUNKENOUTER, BF_RECT | BF_FLAT);
    else DrawEdgeDevice(box, EDGE_SUNKEN, BF_RECT);
    FillDevice(box, pushed || inactive ? clBtnFace : clWindow);
    if (state & DFCS_CHECKED) {
      // A tick three strokes thick, scaled to the box.
      const int s = box.Width();
      const TPen pen = solidPen(inactive ? clBtnShadow : clWindowText);
      const int thick = std::max(1, s * 3 / 9);
      for (int i = 0; i < thick; ++i) {
        const TPoint a{box.Left + s * 2 / 9, box.Top + s * 4 / 9 + i}, b{box.Left + s * 4 / 9, box.Top + s * 6 / 9 + i},
            c{box.Left + s * 8 / 9, box.Top + s * 2 / 9 + i};
        device_->Line(a, b, pen);
        device_->Line(b, c, pen);
      }
    }
    return true;
  }
  if (type == DFC_SCROLL) {
    TRect b = r;
    if (pushed || flat) DrawEdgeDevice(b, BDR_SUNKENOUTER, BF_RECT | BF_FLAT | BF_MIDDLE);
    else DrawEdgeDevice(b, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    const int kind = state & 0xFF;
    const int direction = kind == DFCS_SCROLLCOMBOBOX ? 1 : kind;
    const int size = std::max(1, std::min(r.Width(), r.Height()) / 4);
    const int shift = pushed ? 1 : 0;
    const int cx = (r.Left + r.Right) / 2 + shift, cy = (r.Top + r.Bottom) / 2 + shift;
    if (inactive) {
      device_->Polygon(Arrow(direction, cx + 1, cy + 1, size), solidPen(clBtnHighlight), solidBrush(clBtnHighlight));
      device_->Polygon(Arrow(direction, cx, cy, size), solidPen(clBtnShadow), solidBrush(clBtnShadow));
    } else {
      device_->Polygon(Arrow(direction, cx, cy, size), solidPen(clBtnText), solidBrush(clBtnText));
    }
    return true;
  }
  return false;
}
