// A canvas's font, brush and pen, given back when the scope ends.
#pragma once

#include "platform/gui/draw/canvas.h"

class CanvasState {
 public:
  explicit CanvasState(TCanvas* c) : canvas_(c) {
    font_.Assign(*c->Font());
    brush_.Assign(*c->Brush());
    pen_.Assign(*c->Pen());
  }
  ~CanvasState() {
    canvas_->Font()->Assign(font_);
    canvas_->Brush()->Assign(brush_);
    canvas_->Pen()->Assign(pen_);
  }
  CanvasState(const CanvasState&) = delete;
  CanvasState& operator=(const CanvasState&) = delete;

 private:
  TCanvas* canvas_;
  TFont font_;
  TBrush brush_;
  TPen pen_;
};
