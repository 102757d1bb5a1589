// The frame of a page control (platform/gui internal): Qt's tab widget for
// the pages, and for MultiLine our own rows of tabs above it, since Qt's tab
// bar keeps its tabs in one line behind scroll arrows. The rows are laid
// out as the class library's multi-line tabs were: as many rows as the width
// needs, each row stretched to the full width when there are several, and
// the row of the current tab next to the pages.
#pragma once

#include <QWidget>
#include <vector>

class QTabWidget;

namespace vx {

class TabRows;

class PageControlFrame : public QWidget {
 public:
  PageControlFrame();
  QTabWidget* Tabs() const { return tabs_; }
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool v);
  // Lays the tabs and the pages out again (tabs added, renamed, hidden).
  void Relayout();
  // Where tab `index` of the tab widget is, in this frame; empty when it is
  // not shown.
  QRect TabRect(int index) const;
  int RowCount() const;

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  QTabWidget* tabs_;
  TabRows* rows_;
  bool multiLine_ = false;
};

}  // namespace vx
