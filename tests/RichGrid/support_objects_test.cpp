// Integer lists with their change event, the sort index, the drag markers
// and the picture helpers.
#include <gtest/gtest.h>

#include <QRegion>
#include <QWidget>

#include "RichGrid/drag_markers.h"
#include "RichGrid/int_list.h"
#include "RichGrid/picture_draw.h"
#include "platform/gui/core/application.h"

namespace {

TEST(IntList, ChangesFireWithTheTagsAndTheSortFlagIsBit31) {
  TSortIndexList list;
  int changes = 0;
  list.OnChange = [&](TObject* sender, int tag1, int tag2) {
    EXPECT_EQ(sender, &list);
    ++changes;
  };
  list.AddFlagged(3, false);
  list.AddFlagged(5, true);
  EXPECT_EQ(static_cast<std::uint32_t>(list.Items(0)), 0x80000003u);
  EXPECT_EQ(list.Items(1), 5);
  EXPECT_EQ(list.IndexOfValue(3), 0);
  EXPECT_EQ(list.IndexOfValue(7), -1);
  list.ToggleFlag(3);
  EXPECT_EQ(list.Items(0), 3);
  list.ToggleFlag(3);
  EXPECT_TRUE(TSortIndexList::IsDescending(list.Items(0)));
  list.ToggleFlag(9);  // absent: nothing changes
  EXPECT_EQ(changes, 4);

  TIntList tagged(7, 9);
  tagged.OnChange = [&](TObject*, int tag1, int tag2) { changes = tag1 * 10 + tag2; };
  tagged.Add(-5);
  EXPECT_EQ(tagged.Items(0), -5);
  EXPECT_EQ(changes, 79);
}

TEST(DragMarkers, ArrowShapesAndPopupCaption) {
  Application->Initialize();
  TComponent owner(nullptr);
  auto* up = new TArrowWindow(&owner, 0);
  EXPECT_EQ(up->Color(), RGB(0, 255, 0));
  EXPECT_FALSE(up->Visible());
  const QRegion mask = up->Widget()->mask();
  EXPECT_TRUE(mask.contains(QPoint(5, 3)));   // inside the head
  EXPECT_TRUE(mask.contains(QPoint(4, 8)));   // inside the shaft
  EXPECT_FALSE(mask.contains(QPoint(0, 8)));  // beside the shaft
  EXPECT_EQ(TArrowWindow::ArrowShape(3)[4].X, 8);

  auto* button = new TPopupButton(&owner);
  button->SetBounds(0, 0, 40, 20);
  button->SetCaption("a long column caption");
  vx::RecordingDevice device;
  button->PaintTo(&device);
  const std::string calls = [&] {
    std::string all;
    for (const auto& c : device.Calls) all += c + "\n";
    return all;
  }();
  EXPECT_NE(calls.find("..."), std::string::npos) << calls;
  EXPECT_NE(calls.find("FFFFFF"), std::string::npos) << calls;  // the raised frame
  button->SetFlat(true);
  device.Calls.clear();
  button->SetCaption("ab");
  button->PaintTo(&device);
  for (const auto& c : device.Calls) EXPECT_EQ(c.find("Line"), std::string::npos) << c;
}

TEST(PictureDraw, BackgroundColourReplacesTheCornerColour) {
  Application->Initialize();
  TBitmap picture(2, 1);
  picture.Canvas()->SetPixels(0, 0, clRed);
  picture.Canvas()->SetPixels(1, 0, clBlue);
  TBitmap target(4, 2);
  target.Canvas()->Brush()->SetColor(clWhite);
  target.Canvas()->FillRect(Rect(0, 0, 4, 2));
  DrawBitmapTransparent(target.Canvas(), Rect(1, 1, 4, 2), &picture, clYellow);
  EXPECT_EQ(target.Canvas()->Pixels(1, 1), clYellow);
  EXPECT_EQ(target.Canvas()->Pixels(2, 1), clBlue);
  EXPECT_EQ(target.Canvas()->Pixels(0, 0), clWhite);

  TStretchGraphic none;
  none.Draw(target.Canvas(), Rect(0, 0, 4, 2));  // nothing held: nothing drawn
  TStretchGraphic stretched(&picture);
  stretched.Draw(target.Canvas(), Rect(0, 0, 4, 2));
  EXPECT_EQ(target.Canvas()->Pixels(0, 1), clRed);
  EXPECT_EQ(target.Canvas()->Pixels(3, 0), clBlue);
}

}  // namespace
