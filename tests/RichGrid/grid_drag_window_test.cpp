// A real drag through the window system's drag and drop (Qt's, with its
// own event loop), from a cell of one grid into a cell of another. The
// off-screen platform has no drag (it ends every drag at once), so this
// runs under a real X server (Xvfb): see CMakeLists.txt.
#include <QApplication>
#include <QCoreApplication>
#include <QDrag>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "RichGrid/drag_markers.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/input_simulation.h"
#include "platform/ole/drag_drop.h"
#include "tests/RichGrid/drag_test_support.h"

namespace {

using dragtest::DragGrid;
using namespace richgridtest;

using GridDragWindow = RichGridTest;

// How long each step of the drag may take before the test gives up on it.
constexpr int kStepMs = 20000;

// Counts the drag events that reach a widget (letting them through).
class DragEventsSeen : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::DragEnter || e->type() == QEvent::DragMove) ++over;
    if (e->type() == QEvent::Drop) ++drops;
    return false;
  }
  int over = 0, drops = 0;
};

// The drag that runs, whatever object it was made on.
QDrag* RunningDrag() {
  if (auto* drag = QCoreApplication::instance()->findChild<QDrag*>()) return drag;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* drag = w->findChild<QDrag*>()) return drag;
  return nullptr;
}

// Ends the program with the step it hung in, should the test ever stop
// going on: every step is bounded, so this is the last resort only.
class Watchdog {
 public:
  explicit Watchdog(const std::atomic<const char*>& step) : step_(step) {
    thread_ = std::thread([this] {
      for (int i = 0; i < 900 && !done_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (!done_) {
        std::fprintf(stderr, "watchdog: the drag hung in the step \"%s\"\n", step_.load());
        std::_Exit(3);
      }
    });
  }
  ~Watchdog() {
    done_ = true;
    thread_.join();
  }

 private:
  const std::atomic<const char*>& step_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// Two grids side by side on a form on screen: `from` a drag source, `to`
// a drop target that takes any text.
class TwoGridsOnScreen {
 public:
  explicit TwoGridsOnScreen(std::atomic<const char*>& step) : step_(step) {
    Application->SetPumpInterval(0);
    form = new TForm(nullptr);
    form->SetBounds(100, 100, 840, 320);
    from = new DragGrid;
    from->SetParent(form);
    to = new DragGrid;
    to->SetParent(form);
    to->SetLeft(420);
    from->SetOleDropSource(true);
    to->SetOleDropTarget(true);
    to->Navigation()->AllowClipboardAlways = true;
  }
  ~TwoGridsOnScreen() {
    step_ = "the window goes";
    delete form;
    Application->ProcessMessages();
  }

  // Shows the form; the source grid has the focus once it returns true.
  bool Show() {
    step_ = "the window shows";
    form->Show();
    QElapsedTimer clock;
    clock.start();
    while (!(form->Widget()->windowHandle() && form->Widget()->windowHandle()->isExposed()) &&
           clock.elapsed() < kStepMs)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!form->Widget()->windowHandle()->isExposed()) return false;
    step_ = "the window gets the focus";
    return vx::WaitForFocus(from, kStepMs);
  }

  // Presses on a cell of the source grid and drags from there by Qt's own
  // drag onto a cell of the target grid: once the drag's loop runs, the
  // mouse moves over the target's cell until that grid hears of the drag,
  // then lets go there until the drop lands; a step past its bound cancels
  // the drag. Returns the drops the target saw; `failure` names the step
  // that did not come.
  int Drag(int fromCol, int fromRow, int toCol, int toRow, std::string& failure) {
    QWidget* over = to->ClientWidget();
    DragEventsSeen seen;
    over->installEventFilter(&seen);
    const TRect cell = to->CellRect(toCol, toRow);
    const QPoint local(cell.Left + 5, cell.Top + 5), global = over->mapToGlobal(local);
    auto send = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons) {
      QMouseEvent e(type, local, global, button, buttons, Qt::NoModifier);
      QCoreApplication::sendEvent(over, &e);
    };
    failure.clear();
    qint64 released = 0;
    step_ = "the drag starts";
    QElapsedTimer clock;
    clock.start();
    QTimer play;
    play.setInterval(10);
    QObject::connect(&play, &QTimer::timeout, [&] {
      const auto giveUp = [&](const std::string& why) {
        failure = why + " within " + std::to_string(kStepMs) + " ms";
        play.stop();
        QDrag::cancel();
      };
      const std::string now = step_.load();
      if (now == "the drag starts") {
        if (!RunningDrag()) {
          if (clock.elapsed() > kStepMs) giveUp("the drag did not start");
          return;
        }
        step_ = "the drag reaches the other grid";
        clock.restart();
      }
      if (step_.load() == std::string("the drag reaches the other grid")) {
        if (seen.over == 0) {
          if (clock.elapsed() > kStepMs) return giveUp("the drag did not reach the other grid");
          send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
          return;
        }
        step_ = "the drop lands";
        clock.restart();
        released = 0;
        send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
        return;
      }
      if (step_.load() == std::string("the drop lands") && seen.drops == 0) {
        if (clock.elapsed() > kStepMs) return giveUp("the drop did not land");
        // A release the drag was not ready for is given again.
        if (clock.elapsed() - released >= 500) {
          released = clock.elapsed();
          send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
        }
      }
    });
    play.start();
    const TRect source = from->CellRect(fromCol, fromRow);
    vx::SendMouseDown(from, source.Left + 5, source.Top + 5);
    vx::SendMouseMove(from, source.Left + 15, source.Top + 5, TShiftState{ssLeft});
    play.stop();
    over->removeEventFilter(&seen);
    if (failure.empty() && seen.drops == 0) failure = std::string(step_.load()) + ": it did not come";
    return seen.drops;
  }

  TForm* form = nullptr;
  DragGrid* from = nullptr;
  DragGrid* to = nullptr;

 private:
  std::atomic<const char*>& step_;
};

// On screen, through Qt's own drag: text dragged from a cell of one grid
// lands in a cell of the other and leaves its first cell empty.
// It used to hang now and then on a busy machine: the drag was looked for
// among the source grid's children only, while Qt made it on the
// application when the window had not got the focus yet, so the release
// never came and the drag waited for a real mouse until the time-out. Each
// step is now waited for within a bound and repeated while it has not
// arrived; one that never comes ends the drag and names itself.
TEST_F(GridDragWindow, ARealDragCarriesTextFromOneGridIntoAnother) {
  std::atomic<const char*> step{"the window shows"};
  Watchdog watchdog(step);
  TwoGridsOnScreen screen(step);
  DragGrid* from = screen.from;
  DragGrid* to = screen.to;
  EXPECT_TRUE(to->OleDropTarget());
  std::vector<int> stops;
  from->OnOleDragStop = [&](TObject*, int effect) { stops.push_back(effect); };
  ASSERT_TRUE(screen.Show()) << "the window was not shown, or got no focus, within " << kStepMs << " ms";

  std::string failure;
  EXPECT_EQ(screen.Drag(2, 3, 3, 5, failure), 1);
  EXPECT_EQ(failure, "") << "the step that did not come";
  EXPECT_EQ(to->Cells(3, 5), "2/3");
  EXPECT_EQ(to->Selection(), (TGridRect{3, 5, 3, 5}));
  EXPECT_EQ(from->Cells(2, 3), "");
  EXPECT_EQ(stops, (std::vector<int>{DROPEFFECT_MOVE}));
  for (int d = 0; d < 3; ++d) EXPECT_FALSE(to->ArrowMarker(d)->Visible());
}

// A QuoteMultiline grid's cells with line breaks, dragged on screen into
// another such grid, used to land with each quoted field split into rows
// and stray quotes: they land cell for cell, and the move empties them.
TEST_F(GridDragWindow, ARealDragOfMultiLineCellsLandsCellForCell) {
  std::atomic<const char*> step{"the window shows"};
  Watchdog watchdog(step);
  TwoGridsOnScreen screen(step);
  for (DragGrid* g : {screen.from, screen.to}) {
    g->SetQuoteMultiline(true);
    g->SetMultilinecells(true);
  }
  PutMultiLineCells(*screen.from, 1, 1);
  screen.from->SetSelection(TGridRect{1, 1, 3, 3});
  ASSERT_TRUE(screen.Show()) << "the window was not shown, or got no focus, within " << kStepMs << " ms";

  std::string failure;
  EXPECT_EQ(screen.Drag(2, 2, 1, 4, failure), 1);
  EXPECT_EQ(failure, "") << "the step that did not come";
  EXPECT_EQ(BlockTexts(*screen.to, 1, 4), MultiLineCellsBack());
  EXPECT_EQ(screen.to->Cells(1, 7), "1/7");
  EXPECT_EQ(screen.to->RowCount(), 10);
  EXPECT_EQ(BlockTexts(*screen.from, 1, 1), std::vector<AnsiString>(9));
}

}  // namespace
