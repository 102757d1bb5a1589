// A real drag through the window system's drag and drop (Qt's, with its
// own event loop), from a cell of one grid into a cell of another. The
// off-screen platform has no drag (it ends every drag at once), so this
// runs under a real X server (Xvfb): see CMakeLists.txt.
#include <QCoreApplication>
#include <QDrag>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "RichGrid/drag_markers.h"
#include "platform/gui/forms.h"
#include "platform/gui/input_simulation.h"
#include "platform/ole/drag_drop.h"
#include "tests/RichGrid/drag_test_support.h"

namespace {

using dragtest::DragGrid;
using namespace richgridtest;

using GridDragWindow = RichGridTest;

// On screen, through Qt's own drag: text dragged from a cell of one grid
// lands in a cell of the other and leaves its first cell empty.
TEST_F(GridDragWindow, ARealDragCarriesTextFromOneGridIntoAnother) {
  Application->SetPumpInterval(0);
  auto* form = new TForm(nullptr);
  form->SetBounds(100, 100, 840, 320);
  auto* from = new DragGrid;
  from->SetParent(form);
  auto* to = new DragGrid;
  to->SetParent(form);
  to->SetLeft(420);
  from->SetOleDropSource(true);
  to->SetOleDropTarget(true);
  EXPECT_TRUE(to->OleDropTarget());
  to->Navigation()->AllowClipboardAlways = true;
  std::vector<int> stops;
  from->OnOleDragStop = [&](TObject*, int effect) { stops.push_back(effect); };
  form->Show();
  for (int i = 0; i < 3; ++i) Application->ProcessMessages();
  // Once the drag's own loop runs (it is the source's child while it
  // does), the mouse moves over the other grid's cell and lets go there.
  QWidget* over = to->ClientWidget();
  const TRect cell = to->CellRect(3, 5);
  const QPoint local(cell.Left + 5, cell.Top + 5), global = over->mapToGlobal(local);
  std::function<void()> play = [&] {
    if (!from->Widget()->findChild<QDrag*>()) {
      QTimer::singleShot(0, play);
      return;
    }
    for (int i = 0; i < 3; ++i) {
      QMouseEvent move(QEvent::MouseMove, local, global, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(over, &move);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(over, &release);
  };
  QTimer::singleShot(0, play);
  const TRect source = from->CellRect(2, 3);
  vx::SendMouseDown(from, source.Left + 5, source.Top + 5);
  vx::SendMouseMove(from, source.Left + 15, source.Top + 5, TShiftState{ssLeft});
  EXPECT_EQ(to->Cells(3, 5), "2/3");
  EXPECT_EQ(to->Selection(), (TGridRect{3, 5, 3, 5}));
  EXPECT_EQ(from->Cells(2, 3), "");
  EXPECT_EQ(stops, (std::vector<int>{DROPEFFECT_MOVE}));
  for (int d = 0; d < 3; ++d) EXPECT_FALSE(to->ArrowMarker(d)->Visible());
  delete form;
  Application->ProcessMessages();
}

}  // namespace
