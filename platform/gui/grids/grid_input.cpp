// TCustomGrid input: the mouse (selecting, sizing and moving), the keyboard
// (navigation, Tab, the editor keys) and the wheel.
#include <algorithm>
#include <cstdlib>

#include "platform/gui/grids/grids.h"

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                  TGridDrawInfo& d) {
  State = gsNormal;
  Index = -1;
  // Columns size in the fixed rows, rows in the fixed columns; only the
  // scrolled cells have a sizable edge.
  auto take = [&](const TGridAxisDrawInfo& a, bool columns, int pos, TGridState state) {
    const int i = LineNear(columns, pos);
    if (i < 0) return;
    const int edge = LinePos(a, i) + a.GetExtent(i);
    State = state;
    Index = i;
    SizingPos = edge;
    SizingOfs = edge - pos;
  };
  if (options_.Contains(goColSizing) && Y >= 0 && Y < d.Vert.FixedBoundary && X > d.Horz.FixedBoundary)
    take(d.Horz, true, X, gsColSizing);
  else if (options_.Contains(goRowSizing) && X >= 0 && X < d.Horz.FixedBoundary && Y > d.Vert.FixedBoundary)
    take(d.Vert, false, Y, gsRowSizing);
}

int TCustomGrid::LineNear(bool columns, int pos, bool includeFixed) {
  TGridDrawInfo d;
  CalcDrawInfo(d);
  const TGridAxisDrawInfo& a = columns ? d.Horz : d.Vert;
  int edge = 0;
  for (int i = 0; i < a.FixedCellCount && edge < a.GridExtent; ++i) {
    edge += a.GetExtent(i);
    if (includeFixed && std::abs(pos - edge) <= SizingZone) return i;
    edge += a.EffectiveLineWidth;
  }
  edge = a.FixedBoundary;
  for (int i = a.FirstGridCell; i < a.GridCellCount && edge < a.GridExtent; ++i) {
    edge += a.GetExtent(i);
    if (std::abs(pos - edge) <= SizingZone) return i;
    edge += a.EffectiveLineWidth;
  }
  return -1;
}

bool TCustomGrid::BeginColumnDrag(int&, int&, TPoint) { return true; }
bool TCustomGrid::BeginRowDrag(int&, int&, TPoint) { return true; }

void TCustomGrid::Click() { TCustomControl::Click(); }
void TCustomGrid::DblClick() { TCustomControl::DblClick(); }

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!focused_ && CanFocus()) SetFocus();
  if (Button == mbLeft) {
    TGridDrawInfo d;
    CalcDrawInfo(d);
    CalcSizingState(X, Y, FGridState, FSizingIndex, FSizingPos, FSizingOfs, d);
    if (FGridState != gsNormal) {
      InvalidateGrid();  // the sizing line
    } else {
      const TGridCoord hit = CalcCoordFromPoint(X, Y, d);
      if (hit.X >= fixedCols_ && hit.Y >= fixedRows_) {
        if (options_.Contains(goEditing)) {
          if (hit == FCurrent) {
            ShowEditor();
          } else {
            MoveCurrent(hit.X, hit.Y, true, true);
            UpdateEdit();
            FGridState = gsSelecting;
          }
          Click();
        } else {
          FGridState = gsSelecting;
          if (Shift.Contains(ssShift)) MoveAnchor(hit);
          else MoveCurrent(hit.X, hit.Y, true, true);
        }
      } else if (options_.Contains(goRowMoving) && hit.X >= 0 && hit.X < fixedCols_ && hit.Y >= fixedRows_) {
        FMoveIndex = FMovePos = hit.Y;
        if (BeginRowDrag(FMoveIndex, FMovePos, TPoint{X, Y})) FGridState = gsRowMoving;
      } else if (options_.Contains(goColMoving) && hit.Y >= 0 && hit.Y < fixedRows_ && hit.X >= fixedCols_) {
        FMoveIndex = FMovePos = hit.X;
        if (BeginColumnDrag(FMoveIndex, FMovePos, TPoint{X, Y})) FGridState = gsColMoving;
      }
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
  TGridDrawInfo d;
  CalcDrawInfo(d);
  switch (FGridState) {
    case gsSelecting: {
      // Past the client edge the view scrolls one cell on towards the mouse.
      if (Y >= d.Vert.GridExtent && d.Vert.LastFullVisibleCell < rowCount_ - 1) MoveTopLeft(FTopLeft.X, FTopLeft.Y + 1);
      else if (Y < d.Vert.FixedBoundary && Y >= 0 && FTopLeft.Y > fixedRows_) MoveTopLeft(FTopLeft.X, FTopLeft.Y - 1);
      if (X >= d.Horz.GridExtent && d.Horz.LastFullVisibleCell < colCount_ - 1) MoveTopLeft(FTopLeft.X + 1, FTopLeft.Y);
      else if (X < d.Horz.FixedBoundary && X >= 0 && FTopLeft.X > fixedCols_) MoveTopLeft(FTopLeft.X - 1, FTopLeft.Y);
      CalcDrawInfo(d);
      TGridCoord hit = CalcCoordFromPoint(std::clamp(X, 0, std::max(0, d.Horz.GridExtent - 1)),
                                          std::clamp(Y, 0, std::max(0, d.Vert.GridExtent - 1)), d);
      if (hit.X < fixedCols_ || hit.Y < fixedRows_) break;
      if (options_.Contains(goRangeSelect) && !options_.Contains(goEditing)) {
        if (!(hit == FAnchor)) MoveAnchor(hit);
      } else if (!(hit == FCurrent)) {
        MoveCurrent(hit.X, hit.Y, true, true);
        UpdateEdit();
      }
      break;
    }
    case gsColMoving:
    case gsRowMoving: {
      const TGridCoord hit = CalcCoordFromPoint(X, Y, d);
      const bool cols = FGridState == gsColMoving;
      const int cell = cols ? hit.X : hit.Y;
      const int fixed = cols ? fixedCols_ : fixedRows_;
      if (cell >= fixed && cell != FMovePos) {
        FMovePos = cell;
        InvalidateGrid();  // the marker
      }
      break;
    }
    case gsColSizing:
      FSizingPos = X + FSizingOfs;
      InvalidateGrid();
      break;
    case gsRowSizing:
      FSizingPos = Y + FSizingOfs;
      InvalidateGrid();
      break;
    default: break;
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    switch (FGridState) {
      case gsSelecting:
        FGridState = gsNormal;
        UpdateEdit();
        Click();
        break;
      case gsColSizing:
      case gsRowSizing: {
        const TGridState state = FGridState;
        FGridState = gsNormal;
        FSizingPos = (state == gsColSizing ? X : Y) + FSizingOfs;
        TGridDrawInfo d;
        CalcDrawInfo(d);
        // The new size runs from the cell's start to where the line was dropped.
        const TGridAxisDrawInfo& a = state == gsColSizing ? d.Horz : d.Vert;
        const int start = LinePos(a, FSizingIndex);
        const int size = FSizingPos - (start < 0 ? 0 : start);
        if (start >= 0 && size > 1) {
          if (state == gsColSizing) SetColWidths(FSizingIndex, size);
          else SetRowHeights(FSizingIndex, size);
        }
        InvalidateGrid();
        break;
      }
      case gsColMoving:
      case gsRowMoving: FinishMove(); break;
      default: break;
    }
  }
  FGridState = gsNormal;
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::FinishMove() {
  const TGridState state = FGridState;
  FGridState = gsNormal;
  InvalidateGrid();
  if (FMoveIndex == FMovePos) return;
  if (state == gsColMoving) MoveColumn(FMoveIndex, FMovePos);
  else MoveRow(FMoveIndex, FMovePos);
}

bool TCustomGrid::CanGridAcceptKey(Word, TShiftState) { return true; }

bool TCustomGrid::KeyDown(Word& Key, TShiftState Shift) {
  if (TCustomControl::KeyDown(Key, Shift)) return true;
  if (!CanGridAcceptKey(Key, Shift)) {
    Key = 0;
    return true;
  }
  TGridDrawInfo d;
  CalcDrawInfo(d);
  const int pageWidth = std::max(1, d.Horz.LastFullVisibleCell - FTopLeft.X + 1);
  const int pageHeight = std::max(1, d.Vert.LastFullVisibleCell - FTopLeft.Y + 1);
  const bool rowSelect = options_.Contains(goRowSelect);
  TGridCoord current = FCurrent, top = FTopLeft;
  bool moveAnchor = !Shift.Contains(ssShift);
  bool handled = true;
  if (Shift.Contains(ssCtrl)) {
    switch (Key) {
      case VK_UP: --top.Y; break;
      case VK_DOWN: ++top.Y; break;
      case VK_LEFT:
        if (!rowSelect) current.X -= pageWidth;
        top.X -= pageWidth;
        break;
      case VK_RIGHT:
        if (!rowSelect) current.X += pageWidth;
        top.X += pageWidth;
        break;
      case VK_PRIOR: current.Y = FTopLeft.Y; break;
      case VK_NEXT: current.Y = d.Vert.LastFullVisibleCell; break;
      case VK_HOME:
        current = TGridCoord{fixedCols_, fixedRows_};
        top = current;
        break;
      case VK_END: current = TGridCoord{colCount_ - 1, rowCount_ - 1}; break;
      default: handled = false; break;
    }
  } else {
    switch (Key) {
      case VK_UP: --current.Y; break;
      case VK_DOWN: ++current.Y; break;
      case VK_LEFT:
        if (rowSelect) --top.X;
        else --current.X;
        break;
      case VK_RIGHT:
        if (rowSelect) ++top.X;
        else ++current.X;
        break;
      case VK_NEXT:
        current.Y += pageHeight;
        top.Y += pageHeight;
        break;
      case VK_PRIOR:
        current.Y -= pageHeight;
        top.Y -= pageHeight;
        break;
      case VK_HOME:
        if (rowSelect) current.Y = fixedRows_;
        else current.X = fixedCols_;
        break;
      case VK_END:
        if (rowSelect) current.Y = rowCount_ - 1;
        else current.X = colCount_ - 1;
        break;
      case VK_TAB:
        if (!options_.Contains(goTabs) || Shift.Contains(ssAlt)) {
          handled = false;
          break;
        }
        // Across the row, on to the next (previous) row, round to the start.
        if (Shift.Contains(ssShift)) {
          if (--current.X < fixedCols_) {
            current.X = colCount_ - 1;
            if (--current.Y < fixedRows_) current.Y = rowCount_ - 1;
          }
        } else if (++current.X >= colCount_) {
          current.X = fixedCols_;
          if (++current.Y >= rowCount_) current.Y = fixedRows_;
        }
        moveAnchor = true;
        break;
      case VK_F2: SetEditorMode(true); return true;
      case VK_RETURN:
      case VK_BACK:
      case VK_ESCAPE: {
        // These come as characters too, as the window system sent them.
        char ch = Key == VK_RETURN ? '\r' : Key == VK_BACK ? '\b' : '\x1b';
        return KeyPress(ch);
      }
      default: handled = false; break;
    }
  }
  if (!handled) return false;
  TGridCoord max = CalcMaxTopLeft(FTopLeft, d);
  top.X = std::clamp(top.X, fixedCols_, std::max(fixedCols_, max.X));
  top.Y = std::clamp(top.Y, fixedRows_, std::max(fixedRows_, max.Y));
  if (!(top == FTopLeft)) MoveTopLeft(top.X, top.Y);
  current.X = std::clamp(current.X, fixedCols_, colCount_ - 1);
  current.Y = std::clamp(current.Y, fixedRows_, rowCount_ - 1);
  if (!(current == FCurrent)) FocusCell(current.X, current.Y, moveAnchor);
  return true;
}

bool TCustomGrid::KeyUp(Word& Key, TShiftState Shift) { return TCustomControl::KeyUp(Key, Shift); }

bool TCustomGrid::KeyPress(char& Key) {
  if (TCustomControl::KeyPress(Key)) return true;
  if (Key == '\r') {
    // Enter opens and closes the editor.
    if (!options_.Contains(goAlwaysShowEditor)) {
      if (FEditorMode) HideEditor();
      else ShowEditor();
    }
    Key = 0;
    return true;
  }
  if (Key == '\x1b' && FInplaceEdit && FInplaceEdit->Showing()) {
    CancelEdit();
    Key = 0;
    return true;
  }
  const unsigned char c = static_cast<unsigned char>(Key);
  if (options_.Contains(goEditing) && (Key == '\b' || c >= 0x20)) {
    ShowEditorChar(Key);
    return true;
  }
  return false;
}

bool TCustomGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (handled) return true;
  wheelAccumulator_ += WheelDelta;
  while (wheelAccumulator_ >= WHEEL_DELTA) {
    wheelAccumulator_ -= WHEEL_DELTA;
    DoMouseWheelUp(Shift, MousePos);
  }
  while (wheelAccumulator_ <= -WHEEL_DELTA) {
    wheelAccumulator_ += WHEEL_DELTA;
    DoMouseWheelDown(Shift, MousePos);
  }
  return true;
}

bool TCustomGrid::DoMouseWheelDown(TShiftState, TPoint) {
  if (FCurrent.Y < rowCount_ - 1 && FCurrent.X < colCount_) SetRow(std::max(FCurrent.Y + 1, fixedRows_));
  return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState, TPoint) {
  if (FCurrent.Y > fixedRows_ && FCurrent.X < colCount_) SetRow(std::min(FCurrent.Y - 1, rowCount_ - 1));
  return true;
}
