// The printing side of the canvas: MM_LOMETRIC by our own mapping, DrawText
// layout, clipping by rectangles, edges and frame controls, rotated text.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "platform/gui/core/application.h"
#include "platform/gui/draw/bitmap.h"
#include "platform/gui/draw/gdi.h"
#include "platform/gui/draw/qt_bridge.h"

namespace {

TEST(CanvasMapping, LoMetricRectangleAt600DpiIs236PixelsAndYGoesUp) {
  vx::RecordingDevice dev(600, TRect{0, 0, 4961, 7016});
  TCanvas c(&dev);
  EXPECT_EQ(SetMapMode(c.Handle(), MM_LOMETRIC), MM_TEXT);
  c.Brush()->SetColor(clWhite);
  c.Rectangle(0, 0, 100, -100);
  ASSERT_EQ(dev.Calls.size(), 1u);
  EXPECT_EQ(dev.Calls[0], "Rectangle 0,0,236,236 pen=000000/2 brush=FFFFFF");
  EXPECT_EQ(c.LPtoDP(Point(100, 100)), Point(236, -236));  // up is above the origin
  EXPECT_EQ(c.DPtoLP(Point(236, 236)), Point(100, -100));
  TRect clip;
  EXPECT_EQ(GetClipBox(c.Handle(), &clip), SIMPLEREGION);
  EXPECT_EQ(clip, Rect(0, 0, 2100, -2970));  // an A4 page: top 0, bottom negative
  EXPECT_EQ(GetDeviceCaps(c.Handle(), LOGPIXELSX), 600);
  // Font heights are logical: 5 mm is 118 device pixels.
  c.Font()->SetHeight(-50);
  c.TextOut(200, -100, "A");
  EXPECT_EQ(dev.Calls.back(), "Text 472,236 \"A\" font=000000 brush=FFFFFF");
  const TSize e = c.TextExtent("AB");
  EXPECT_EQ(e, (TSize{58, 55}));  // fixed metrics at 600 dpi (69 and 131 pixels) in tenths of a millimetre
  EXPECT_EQ(SetMapMode(c.Handle(), MM_TEXT), MM_LOMETRIC);
  EXPECT_EQ(SetMapMode(c.Handle(), 7), 0);  // unknown: refused, nothing changes
  EXPECT_EQ(c.MapMode(), MM_TEXT);
}

// Inked rows of a bitmap: the first and last row holding dark pixels.
std::pair<int, int> InkRows(TBitmap& bmp, int& inkTop, int& inkBottom) {
  int first = -1, last = -1, topInk = 0, bottomInk = 0;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x)
      if (ColorToRGB(bmp.Canvas()->Pixels(x, y)) != clWhite) {
        if (first < 0) first = y;
        last = y;
      }
  for (int x = 0; x < bmp.Width(); ++x) {
    topInk += ColorToRGB(bmp.Canvas()->Pixels(x, first + 1)) != clWhite;
    bottomInk += ColorToRGB(bmp.Canvas()->Pixels(x, last - 1)) != clWhite;
  }
  inkTop = topInk;
  inkBottom = bottomInk;
  return {first, last};
}

TEST(CanvasMapping, TextInLoMetricIsUprightBelowItsPoint) {
  Application->Initialize();
  TBitmap bmp(120, 120);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(Rect(0, 0, 120, 120));
  c->SetMapMode(MM_LOMETRIC);
  c->Font()->SetName("Arial");
  c->Font()->SetHeight(-200);  // 2 cm: about 76 pixels at 96 dpi
  c->Brush()->SetStyle(bsClear);
  c->TextOut(50, -50, "T");  // the point is (19, 19) in pixels
  c->SetMapMode(MM_TEXT);
  int topInk = 0, bottomInk = 0;
  const auto [first, last] = InkRows(bmp, topInk, bottomInk);
  EXPECT_GE(first, 19);  // the glyph hangs below its point, as on paper
  EXPECT_GT(last - first, 30);
  // The bar of a "T" is at its top: a mirrored glyph would have it below.
  EXPECT_GT(topInk, 3 * bottomInk);
}

TEST(CanvasMapping, RotatedTextTurnsAboutItsPoint) {
  Application->Initialize();
  TBitmap bmp(100, 100);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(Rect(0, 0, 100, 100));
  c->Brush()->SetStyle(bsClear);
  c->Font()->SetHeight(-20);
  c->Font()->SetOrientation(900);  // a quarter turn counter-clockwise: the text runs upward
  c->TextOut(50, 90, "IIIIII");
  int inkAbove = 0, inkElsewhere = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x)
      if (ColorToRGB(c->Pixels(x, y)) != clWhite) (x >= 50 && x < 75 && y <= 90 ? inkAbove : inkElsewhere) += 1;
  EXPECT_GT(inkAbove, 20);
  EXPECT_EQ(inkElsewhere, 0);
}

TEST(CanvasText, CalcRectWithWordBreakGivesTheLinesDrawingDraws) {
  vx::RecordingDevice dev;
  TCanvas c(&dev);  // 6 pixels a character, 13 a line
  c.Brush()->SetStyle(bsClear);
  const AnsiString text = "one two three four";
  TRect calc = Rect(10, 20, 10 + 6 * 9, 20);
  const int h = DrawText(c.Handle(), text, -1, &calc, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(h, 3 * 13);
  EXPECT_EQ(calc, Rect(10, 20, 10 + 6 * 7, 20 + 39));  // narrowed to "one two"
  TRect box = Rect(10, 20, 10 + 6 * 9, 100);
  DrawText(c.Handle(), text, -1, &box, DT_WORDBREAK | DT_NOCLIP);
  const std::vector<std::string> expected = {"Text 10,20 \"one two\" font=000000 brush=none",
                                             "Text 10,33 \"three\" font=000000 brush=none",
                                             "Text 10,46 \"four\" font=000000 brush=none"};
  EXPECT_EQ(dev.Calls, expected);
}

TEST(CanvasText, FormatsPlaceAndBreakText) {
  struct Case {
    const char* text;
    unsigned format;
    std::vector<std::string> calls;
  };
  const TRect box = Rect(0, 0, 60, 40);  // 10 characters by 3 lines and a bit
  const Case cases[] = {
      {"abc", DT_RIGHT | DT_SINGLELINE | DT_VCENTER, {"Text 42,13 \"abc\""}},
      {"abc", DT_CENTER | DT_SINGLELINE | DT_BOTTOM, {"Text 21,27 \"abc\""}},
      {"a\r\nb\nc", 0, {"Text 0,0 \"a\"", "Text 0,13 \"b\"", "Text 0,26 \"c\""}},
      {"a\r\nb", DT_SINGLELINE, {"Text 0,0 \"a\r\nb\""}},
      {"x&y&&z", 0, {"Text 0,0 \"xy&z\""}},
      {"x&y", DT_NOPREFIX, {"Text 0,0 \"x&y\""}},
      {"abcdefghijklmnop", DT_END_ELLIPSIS | DT_SINGLELINE, {"Text 0,0 \"abcdefg...\""}},
      {"abcdefghijklmnop", DT_WORDBREAK, {"Text 0,0 \"abcdefghijklmnop\""}},  // one word overflows
      {"abcdefghijklmnop", DT_WORDBREAK | DT_EDITCONTROL, {"Text 0,0 \"abcdefghij\"", "Text 0,13 \"klmnop\""}},
      {"a\tb", DT_EXPANDTABS, {"Text 0,0 \"a\"", "Text 48,0 \"b\""}},
  };
  for (const Case& k : cases) {
    vx::RecordingDevice dev;
    TCanvas c(&dev);
    c.Brush()->SetStyle(bsClear);
    TRect r = box;
    c.DrawText(k.text, r, k.format | DT_NOCLIP);
    std::vector<std::string> seen;
    for (const std::string& call : dev.Calls) seen.push_back(call.substr(0, call.find(" font=")));
    EXPECT_EQ(seen, k.calls) << k.text << " format " << k.format;
  }
}

TEST(CanvasText, DrawTextClipsToItsRectangleUnlessNoClip) {
  vx::RecordingDevice dev;
  TCanvas c(&dev);
  TRect r = Rect(1, 2, 30, 40);
  c.DrawText("x", r, DT_SINGLELINE);
  ASSERT_EQ(dev.Calls.size(), 3u);
  EXPECT_EQ(dev.Calls[0], "Clip 1,2,30,40");
  EXPECT_EQ(dev.Calls[1], "Text 1,2 \"x\" font=000000 brush=FFFFFF");  // opaque: the text box is filled
  EXPECT_EQ(dev.Calls[2], "Clip none");
}

TEST(CanvasClip, ExcludeAndIntersectBuildARegion) {
  vx::RecordingDevice dev(96, TRect{0, 0, 100, 100});
  TCanvas c(&dev);
  EXPECT_EQ(ExcludeClipRect(c.Handle(), 10, 10, 20, 20), COMPLEXREGION);
  EXPECT_EQ(dev.Calls.back(), "Clip 0,0,100,10;0,20,100,100;0,10,10,20;20,10,100,20");
  EXPECT_EQ(IntersectClipRect(c.Handle(), 0, 0, 100, 10), SIMPLEREGION);
  TRect box;
  EXPECT_EQ(GetClipBox(c.Handle(), &box), SIMPLEREGION);
  EXPECT_EQ(box, Rect(0, 0, 100, 10));
  EXPECT_EQ(IntersectClipRect(c.Handle(), 50, 50, 60, 60), NULLREGION);
  EXPECT_EQ(dev.Calls.back(), "Clip empty");
  SelectClipRgn(c.Handle(), nullptr);
  EXPECT_EQ(dev.Calls.back(), "Clip none");
}

TEST(CanvasFrames, EdgesUseTheClassicColoursAndAdjust) {
  vx::RecordingDevice dev;
  TCanvas c(&dev);
  TRect r = Rect(0, 0, 10, 8);
  DrawEdge(c.Handle(), &r, BDR_SUNKENINNER, BF_RECT | BF_ADJUST);
  EXPECT_EQ(r, Rect(1, 1, 9, 7));
  const std::vector<std::string> sunken = {"FillRect 0,0,1,8 brush=404040", "FillRect 0,0,10,1 brush=404040",
                                           "FillRect 9,0,10,8 brush=C8D0D4", "FillRect 0,7,10,8 brush=C8D0D4"};
  EXPECT_EQ(dev.Calls, sunken);
  dev.Calls.clear();
  r = Rect(0, 0, 10, 8);
  DrawEdge(c.Handle(), &r, EDGE_RAISED, BF_TOP);  // no adjust: r stays
  EXPECT_EQ(r, Rect(0, 0, 10, 8));
  EXPECT_EQ(dev.Calls, (std::vector<std::string>{"FillRect 0,0,10,1 brush=C8D0D4", "FillRect 0,1,10,2 brush=FFFFFF"}));
}

TEST(CanvasFrames, FrameControlsDrawOnAnImage) {
  Application->Initialize();
  struct Case {
    unsigned type, state;
    TColor centre;  // colour at the middle of the control
  };
  const Case cases[] = {
      {DFC_BUTTON, DFCS_BUTTONCHECK, clWhite},
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_INACTIVE, ColorToRGB(clBtnFace)},
      {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED, clBlack},
      {DFC_BUTTON, DFCS_BUTTONPUSH, ColorToRGB(clBtnFace)},
      {DFC_SCROLL, DFCS_SCROLLCOMBOBOX, clBlack},
      {DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_INACTIVE, ColorToRGB(clBtnShadow)},
  };
  for (const Case& k : cases) {
    TBitmap bmp(16, 16);
    TRect r = Rect(0, 0, 16, 16);
    EXPECT_TRUE(DrawFrameControl(bmp.Canvas()->Handle(), &r, k.type, k.state));
    EXPECT_EQ(ColorToRGB(bmp.Canvas()->Pixels(8, 8)), k.centre) << k.type << "/" << k.state;
  }
  TBitmap check(13, 13);
  TRect r = Rect(0, 0, 13, 13);
  DrawFrameControl(check.Canvas()->Handle(), &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  int dark = 0;
  for (int y = 2; y < 11; ++y)
    for (int x = 2; x < 11; ++x) dark += ColorToRGB(check.Canvas()->Pixels(x, y)) == clBlack;
  EXPECT_GT(dark, 10);  // the tick
}

TEST(FontResolution, PointSizeCarriesOverBetweenResolutions) {
  TFont screen;
  screen.SetSize(10);
  EXPECT_EQ(screen.Height(), -13);
  TFont printer;
  printer.SetPixelsPerInch(600);
  printer.Assign(screen);
  EXPECT_EQ(printer.Height(), -83);
  EXPECT_EQ(printer.Size(), 10);
  printer.SetHeight(-35);  // a height in logical units is kept as given
  EXPECT_EQ(printer.Height(), -35);
}

}  // namespace
