// The rich grid as a target and a source of drag and drop (drag_drop.h):
// TGridDropTarget takes dropped text into cells, reports a dropped column
// and loads a single dropped separated-values or spreadsheet file;
// TGridDropSource follows a drag out of the grid. The work is the grid's
// (grid_drag_drop.cpp); these pass OLE's calls on to it.
#pragma once

#include "RichGrid/drag_drop.h"

class TRichStringGrid;

class TGridDropTarget : public TDropTarget {
 public:
  // Takes columns, unlike the plain target.
  explicit TGridDropTarget(TRichStringGrid* grid);

 protected:
  void DropText(TPoint pt, const AnsiString& text) override;
  void DropColumn(TPoint pt, int column) override;
  void DropRichText(TPoint pt, const AnsiString& richText) override;
  void DropFiles(TPoint pt, TStrings* files) override;
  void DragMouseMove(TPoint pt, bool& allow, int formats) override;
  void DragMouseLeave() override;

 private:
  TRichStringGrid* grid_;
};

class TGridDropSource : public TDropSource {
 public:
  explicit TGridDropSource(TRichStringGrid* grid) : grid_(grid) {}
  // Copy or move, as the last feedback offered it (0 before any).
  DWORD LastEffect() const { return lastEffect_; }

 protected:
  void CurrentEffect(DWORD effect) override;
  // The drag marker follows the mouse: its bottom-left corner at the cursor.
  void QueryDrag() override;

 private:
  TRichStringGrid* grid_;
  DWORD lastEffect_ = 0;
};
