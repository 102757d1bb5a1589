#include "platform/gui/controls/tab_rows.h"

#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

namespace vx {

class TabRows : public QWidget {
 public:
  TabRows(QTabWidget* tabs, QWidget* parent) : QWidget(parent), tabs_(tabs) {}

  // Lays the visible tabs out for `width`; returns the height they take.
  int Layout(int width) {
    const int count = tabs_->count();
    rects_.assign(static_cast<std::size_t>(count), QRect());
    std::vector<std::vector<int>> rows(1);
    std::vector<int> widths(static_cast<std::size_t>(count), 0);
    int x = 0, height = 0;
    for (int i = 0; i < count; ++i) {
      if (!tabs_->isTabVisible(i)) continue;
      const QSize size = TabSize(i);
      widths[static_cast<std::size_t>(i)] = size.width();
      height = std::max(height, size.height());
      if (x > 0 && x + size.width() > width) {
        rows.emplace_back();
        x = 0;
      }
      rows.back().push_back(i);
      x += size.width();
    }
    if (rows.back().empty()) rows.pop_back();
    // The row of the current tab comes last, next to the pages.
    const int current = tabs_->currentIndex();
    for (std::size_t r = 0; r + 1 < rows.size(); ++r)
      if (std::find(rows[r].begin(), rows[r].end(), current) != rows[r].end()) {
        std::rotate(rows.begin() + static_cast<long>(r), rows.begin() + static_cast<long>(r) + 1, rows.end());
        break;
      }
    rowCount_ = static_cast<int>(rows.size());
    for (int r = 0; r < rowCount_; ++r) {
      const auto& row = rows[static_cast<std::size_t>(r)];
      int used = 0;
      for (int i : row) used += widths[static_cast<std::size_t>(i)];
      // Several rows fill the width; a single row keeps its tabs' sizes.
      const int spare = rowCount_ > 1 ? std::max(0, width - used) : 0;
      int left = 0;
      for (std::size_t k = 0; k < row.size(); ++k) {
        const int extra = spare * static_cast<int>(k + 1) / static_cast<int>(row.size()) -
                          spare * static_cast<int>(k) / static_cast<int>(row.size());
        const int w = widths[static_cast<std::size_t>(row[k])] + extra;
        rects_[static_cast<std::size_t>(row[k])] = QRect(left, r * height, w, height);
        left += w;
      }
    }
    update();
    return rowCount_ * height;
  }

  QRect TabRect(int index) const {
    return index >= 0 && index < static_cast<int>(rects_.size()) ? rects_[static_cast<std::size_t>(index)] : QRect();
  }
  int RowCount() const { return rowCount_; }

  void ClickAt(QPoint p) {
    for (std::size_t i = 0; i < rects_.size(); ++i)
      if (rects_[i].contains(p)) {
        tabs_->setCurrentIndex(static_cast<int>(i));
        return;
      }
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    const int current = tabs_->currentIndex();
    // The current tab last, over its neighbours.
    for (int pass = 0; pass < 2; ++pass)
      for (int i = 0; i < static_cast<int>(rects_.size()); ++i) {
        if (rects_[static_cast<std::size_t>(i)].isEmpty() || (i == current) != (pass == 1)) continue;
        QStyleOptionTab opt = Option(i);
        opt.rect = rects_[static_cast<std::size_t>(i)];
        if (i == current) opt.state |= QStyle::State_Selected;
        painter.drawControl(QStyle::CE_TabBarTab, opt);
      }
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) ClickAt(e->position().toPoint());
    e->accept();
  }

 private:
  QStyleOptionTab Option(int i) const {
    QStyleOptionTab opt;
    opt.initFrom(this);
    opt.shape = QTabBar::RoundedNorth;
    opt.text = tabs_->tabText(i);
    opt.position = QStyleOptionTab::Middle;
    if (!tabs_->isTabEnabled(i)) opt.state &= ~QStyle::State_Enabled;
    return opt;
  }
  QSize TabSize(int i) const {
    const QStyleOptionTab opt = Option(i);
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, opt.text);
    const QSize bare(text.width() + style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &opt, this),
                     text.height() + style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &opt, this));
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &opt, bare, this);
  }

  QTabWidget* tabs_;
  std::vector<QRect> rects_;
  int rowCount_ = 0;
};

PageControlFrame::PageControlFrame() : tabs_(new QTabWidget(this)), rows_(new TabRows(tabs_, this)) {
  rows_->hide();
  QObject::connect(tabs_, &QTabWidget::currentChanged, this, [this] { Relayout(); });
}

void PageControlFrame::SetMultiLine(bool v) {
  if (v == multiLine_) return;
  multiLine_ = v;
  Relayout();
}

void PageControlFrame::Relayout() {
  int top = 0;
  if (multiLine_) {
    tabs_->tabBar()->hide();
    top = rows_->Layout(width());
    rows_->setGeometry(0, 0, width(), top);
    rows_->show();
  } else {
    rows_->hide();
    tabs_->tabBar()->show();
  }
  tabs_->setGeometry(0, top, width(), std::max(0, height() - top));
}

QRect PageControlFrame::TabRect(int index) const {
  if (multiLine_) return rows_->TabRect(index).translated(rows_->pos());
  if (!tabs_->isTabVisible(index)) return QRect();
  const QTabBar* bar = tabs_->tabBar();
  const QRect r = bar->tabRect(index).intersected(bar->rect());
  return r.isEmpty() ? QRect() : r.translated(bar->mapTo(this, QPoint(0, 0)));
}

int PageControlFrame::RowCount() const { return multiLine_ ? rows_->RowCount() : 1; }

void PageControlFrame::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  Relayout();
}

void PageControlFrame::mousePressEvent(QMouseEvent* e) {
  // Input sent to the frame itself (not to the rows under the pointer).
  const QPoint p = e->position().toPoint();
  if (multiLine_ && e->button() == Qt::LeftButton && rows_->geometry().contains(p)) rows_->ClickAt(p - rows_->pos());
  QWidget::mousePressEvent(e);
}

}  // namespace vx
