// Canvas geometry on a real bitmap, the recording device, colours and fonts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/gui/core/application.h"
#include "platform/gui/draw/bitmap.h"
#include "platform/gui/draw/canvas.h"
#include "platform/gui/draw/graphics.h"
#include "tests/support/scratch_folder.h"

namespace {

class BitmapCanvas : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    bmp.SetSize(20, 20);
    c = bmp.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, 20, 20));
  }
  TColor At(int x, int y) { return c->Pixels(x, y); }
  TBitmap bmp;
  TCanvas* c = nullptr;
};

TEST_F(BitmapCanvas, RectangleLeavesOutRightAndBottomEdges) {
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clRed);
  c->Rectangle(2, 3, 10, 8);
  EXPECT_EQ(At(2, 3), clBlack);   // outline starts at Left, Top
  EXPECT_EQ(At(9, 7), clBlack);   // ... and ends at Right-1, Bottom-1
  EXPECT_EQ(At(10, 7), clWhite);  // Right itself untouched
  EXPECT_EQ(At(9, 8), clWhite);   // Bottom itself untouched
  EXPECT_EQ(At(5, 5), clRed);     // filled with the brush
}

TEST_F(BitmapCanvas, LineToLeavesOutItsLastPixel) {
  c->Pen()->SetColor(clBlue);
  c->MoveTo(1, 1);
  c->LineTo(6, 1);
  EXPECT_EQ(At(1, 1), clBlue);
  EXPECT_EQ(At(5, 1), clBlue);
  EXPECT_EQ(At(6, 1), clWhite);
  EXPECT_EQ(c->PenPos(), Point(6, 1));
}

TEST_F(BitmapCanvas, FocusRectDrawnTwiceRestoresThePixels) {
  c->Brush()->SetColor(clGreen);
  c->FillRect(Rect(4, 4, 12, 12));
  TBitmap before(20, 20);
  before.Assign(bmp);
  c->DrawFocusRect(Rect(2, 2, 15, 15));
  int changed = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) changed += At(x, y) != before.Canvas()->Pixels(x, y);
  EXPECT_GT(changed, 10);
  EXPECT_EQ(At(8, 8), before.Canvas()->Pixels(8, 8));  // only the frame
  c->DrawFocusRect(Rect(2, 2, 15, 15));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(At(x, y), before.Canvas()->Pixels(x, y)) << x << "," << y;
}

TEST_F(BitmapCanvas, ClipRectStopsDrawingOutsideIt) {
  c->SetClipRect(Rect(0, 0, 5, 5));
  c->Brush()->SetColor(clBlack);
  c->FillRect(Rect(0, 0, 20, 20));
  EXPECT_EQ(At(4, 4), clBlack);
  EXPECT_EQ(At(5, 5), clWhite);
  c->ResetClipRect();
  c->FillRect(Rect(0, 0, 20, 20));
  EXPECT_EQ(At(15, 15), clBlack);
}

TEST_F(BitmapCanvas, TextOutPutsTheTextBelowAndRightOfItsPoint) {
  c->Font()->SetColor(clBlack);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(3, 3, "W");
  bool inked = false, aboveOrLeft = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      if (At(x, y) != clWhite) {
        inked = true;
        if (x < 3 || y < 3) aboveOrLeft = true;
      }
  EXPECT_TRUE(inked);
  EXPECT_FALSE(aboveOrLeft);
}

TEST(RecordingCanvas, RecordsCallsAndMeasuresWithFixedMetrics) {
  vx::RecordingDevice dev;
  TCanvas c(&dev);
  c.Font()->SetSize(8);
  EXPECT_EQ(c.TextWidth("abcd"), 24);
  EXPECT_EQ(c.TextHeight("x"), 13);
  c.Brush()->SetColor(clBtnFace);
  c.Pen()->SetColor(clRed);
  c.Rectangle(0, 0, 10, 5);
  c.MoveTo(0, 0);
  c.LineTo(0, 0);  // zero length: nothing drawn
  c.TextOut(1, 2, "Hi");
  ASSERT_EQ(dev.Calls.size(), 2u);
  EXPECT_EQ(dev.Calls[0], "Rectangle 0,0,10,5 pen=0000FF brush=C8D0D4");
  EXPECT_EQ(dev.Calls[1], "Text 1,2 \"Hi\" font=000000 brush=C8D0D4");
  EXPECT_EQ(c.PenPos(), Point(13, 2));  // TextOut moves the pen past the text
}

TEST(RecordingCanvas, EmptyRectanglesDrawNothing) {
  vx::RecordingDevice dev;
  TCanvas c(&dev);
  c.Rectangle(5, 5, 5, 10);
  c.FillRect(Rect(5, 5, 2, 2));
  c.Ellipse(0, 0, 0, 0);
  EXPECT_TRUE(dev.Calls.empty());
}

TEST(Colors, SystemColorsComeFromTheFixedTable) {
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
  EXPECT_EQ(ColorToRGB(clWindow), RGB(255, 255, 255));
  EXPECT_EQ(ColorToRGB(clRed), 0x0000FF);
  EXPECT_EQ(RGB(0, 128, 0), clGreen);
  EXPECT_EQ(ColorToRGB(SystemColor(200)), clBlack);  // unknown index
}

TEST(Fonts, WindowsNamesMapToInstalledFamilies) {
  EXPECT_EQ(vx::MapFontName("MS Sans Serif"), "Liberation Sans");
  EXPECT_EQ(vx::MapFontName("ms sans serif"), "Liberation Sans");
  EXPECT_EQ(vx::MapFontName("Times New Roman"), "Liberation Serif");
  EXPECT_EQ(vx::MapFontName("Courier New"), "Liberation Mono");
  EXPECT_EQ(vx::MapFontName("DejaVu Sans"), "DejaVu Sans");
}

TEST(Fonts, ChangeEventFiresOncePerEffectiveChange) {
  TFont f;
  int changes = 0;
  f.OnChange = [&](TObject*) { ++changes; };
  f.SetColor(clRed);
  f.SetColor(clRed);
  f.SetSize(f.Size());
  f.SetStyle(TFontStyles{fsBold});
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(f.Name(), "MS Sans Serif");
  EXPECT_EQ(f.Height(), -11);  // 8 points at 96 dots per inch
}

TEST(Bitmaps, LoadingADamagedFileRaisesAndKeepsTheImage) {
  Application->Initialize();
  const std::string dir =
      vx::test::NamedTestFolder("gui", ::testing::UnitTest::GetInstance()->current_test_info()->name());
  const std::string bad = dir + "/gui_damaged.bmp";
  FILE* f = std::fopen(bad.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("BM this is not a bitmap", f);
  std::fclose(f);
  TBitmap bmp(3, 4);
  EXPECT_THROW(bmp.LoadFromFile(bad), EInvalidGraphic);
  EXPECT_EQ(bmp.Width(), 3);
  EXPECT_EQ(bmp.Height(), 4);
}

TEST(Bitmaps, SaveLoadRoundTripAndImageLists) {
  Application->Initialize();
  const std::string dir =
      vx::test::NamedTestFolder("gui", ::testing::UnitTest::GetInstance()->current_test_info()->name());
  TBitmap src(6, 4);
  src.Canvas()->Brush()->SetColor(clBlue);
  src.Canvas()->FillRect(Rect(0, 0, 3, 4));
  src.SaveToFile(dir + "/roundtrip.bmp");
  TPicture pic;
  int changes = 0;
  pic.OnChange = [&](TObject*) { ++changes; };
  pic.LoadFromFile(dir + "/roundtrip.bmp");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(pic.Width(), 6);
  EXPECT_EQ(pic.Bitmap()->Canvas()->Pixels(1, 1), clBlue);
  EXPECT_EQ(pic.Bitmap()->Canvas()->Pixels(5, 1), clWhite);
  EXPECT_THROW(src.SaveToFile(dir + "/no/such/folder/x.bmp"), EFCreateError);

  TImageList list(3, 2);
  EXPECT_EQ(list.Add(&src), 0);
  vx::RecordingDevice dev;
  TCanvas c(&dev);
  list.Draw(&c, 5, 6, 0);
  list.Draw(&c, 5, 6, 7);  // no such image: nothing
  ASSERT_EQ(dev.Calls.size(), 1u);
  EXPECT_EQ(dev.Calls[0], "Bitmap 5,6,8,8 3x2");
}

TEST(Bitmaps, GrowingKeepsTheTopLeftAndFillsWhite) {
  Application->Initialize();
  TBitmap b(2, 2);
  b.Canvas()->SetPixels(1, 1, clRed);
  b.SetSize(4, 3);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clRed);
  EXPECT_EQ(b.Canvas()->Pixels(3, 2), clWhite);
  b.SetWidth(-5);
  EXPECT_TRUE(b.Empty());
}

}  // namespace
