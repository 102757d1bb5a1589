// Formatted cell text on the recording canvas with fixed metrics (a
// character of an 8-point font is 6 pixels wide, a line 13 high): layout
// and wrapping, entities, colours, lists, paragraphs, sub- and superscript,
// links and their hit window, images, and the stripped plain text.
#include <gtest/gtest.h>

#include <filesystem>
#include "RichGrid/markup.h"

#include "platform/gui/core/application.h"

namespace {

// Records each text with its position, colour, size and style bits.
class StyleDevice : public vx::RecordingDevice {
 public:
  void Text(int x, int y, const AnsiString& text, const TFont& font, const TBrush& brush) override {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%d,%d %s %06X s%d b%d", x, y, text.c_str(),
                  static_cast<unsigned>(ColorToRGB(font.Color())) & 0xFFFFFFu, font.Size(),
                  static_cast<int>(font.Style().Bits()));
    Texts.push_back(buf);
  }
  std::vector<std::string> Texts;
};

struct Result {
  bool hit = false;
  AnsiString link, plain;
  int width = 0, height = 0;
};

enum Mode { Draw, Measure, HitTest };

Result RunMarkup(TCanvas& canvas, const AnsiString& text, TRect rect, Mode mode = Draw, int px = -1, int py = -1,
                 TImageList* images = nullptr, bool selected = false, bool print = false, double scale = 1.0) {
  Result r;
  r.hit = DrawMarkup(&canvas, text, rect, images, px, py, mode == HitTest, mode == Measure, print, selected, true,
                     scale, clBlue, r.link, r.plain, r.width, r.height);
  return r;
}

TEST(Markup, LayoutWrappingAndMeasuring) {
  TCanvas canvas;
  canvas.Font()->SetSize(8);
  TImageList images(16, 16);
  TBitmap picture(16, 16);
  for (int i = 0; i < 5; ++i) images.Add(&picture);
  struct Case {
    const char* text;
    int width, height;
  } cases[] = {
      {"aaaa bbbb cccc", 54, 26},   // "bbbb " would reach the edge: a new line
      {"wwwwwwwwwwwww x", 78, 26},  // an over-wide word stays on its line
      {"a<BR>b", 6, 26},
      {"", 0, 13},
      {"<Z>hidden</Z>ab", 12, 13},
      {"a<IND x=\"30\">b", 36, 13},
      {"a<SUB>b</SUB>", 12, 16},  // a quarter of the run's height below
      {"a<SUP>b</SUP><SUB>c</SUB>", 18, 19},
      {"<UL><LI>a<LI>b</UL>", 18, 26},  // a second item starts a new line
      {"<P align=\"right\">ab</P>cd", 12, 26},
      {"<FONT size=\"16\">a</FONT>b", 18, 23},
      {"a<IMG src=\"idx:5\">b", 12, 13},  // no such image: no room
      {"a<IMG src=\"idx:0\">b", 28, 16},
      {"a<HR>b", 6, 26},
      {"x<#1>y", 24, 13},
  };
  for (const Case& c : cases) {
    const Result r = RunMarkup(canvas, c.text, Rect(0, 0, 61, 200), Measure, -1, -1, &images);
    EXPECT_EQ(r.width, c.width) << c.text;
    EXPECT_EQ(r.height, c.height) << c.text;
  }
  EXPECT_EQ(
      RunMarkup(canvas, "a<IMG src=\"idx:0\">", Rect(0, 0, 61, 200), Measure, -1, -1, &images, false, true, 2.0).width,
      38);  // printed images scale by the factor
}

TEST(Markup, DrawingTextColoursAndPlacement) {
  StyleDevice device;
  TCanvas canvas(&device);
  canvas.Font()->SetSize(8);
  canvas.Font()->SetColor(clBlack);
  struct Case {
    const char* text;
    const char* expected;  // the texts drawn, one per line, joined by '|'
    const char* plain;
  } cases[] = {
      {"a&amp;b", "1,0 a&b 000000 s8 b0", "a&b"},
      {"a&x;b", "1,0 a&x;b 000000 s8 b0", "a&x;b"},
      {"<#1>", "1,0 #1 000000 s8 b0", "#1"},
      {"<FONT color=\"#FF0000\">r</FONT>", "1,0 r 0000FF s8 b0", "r"},
      {"<FONT color=\"clRed\">r</FONT>", "1,0 r 0000FF s8 b0", "r"},
      {"<FONT color=\"#F00\">r</FONT>", "1,0 r 000000 s8 b0", "r"},     // too short: unchanged
      {"<FONT color=\"#GG0000\">r</FONT>", "1,0 r 000000 s8 b0", "r"},  // not hexadecimal
      {"<FONT color=\"clNothing\">r</FONT>", "1,0 r 000000 s8 b0", "r"},
      {"<FONT bgcolor=\"clwhite\" color=\"clbtnface\">r</FONT>", "1,0 r C8D0D4 s8 b0", "r"},
      {"<P align=\"right\">ab</P>", "89,0 ab 000000 s8 b0", "ab"},
      {"<P align=\"center\">ab</P>", "45,0 ab 000000 s8 b0", "ab"},
      {"<UL><LI>a<UL><LI>b</UL></UL>",
       "1,0 \x95 000000 s8 b0|13,0 a 000000 s8 b0|13,13 o 000000 s8 b0|25,13 b 000000 s8 b0", "ab"},
      {"a<SUP>b</SUP>", "1,3 a 000000 s8 b0|7,0 b 000000 s8 b0", "ab"},
      {"a<SUB>b</SUB>", "1,0 a 000000 s8 b0|7,3 b 000000 s8 b0", "ab"},
      {"<B>x<I>y", "1,0 x 000000 s8 b1|7,0 y 000000 s8 b3", "xy"},
      {"<S>s</S><U>u</U>", "1,0 s 000000 s8 b8|7,0 u 000000 s8 b4", "su"},
      {"<SHAD>a</SHAD>", "2,1 a 808080 s8 b0|1,0 a 000000 s8 b0", "a"},
      {"<A href=\"x\">l</A>k", "1,0 l FF0000 s8 b4|7,0 k 000000 s8 b0", "lk"},
  };
  for (const Case& c : cases) {
    device.Texts.clear();
    const Result r = RunMarkup(canvas, c.text, Rect(0, 0, 101, 200));
    std::string got;
    for (const std::string& t : device.Texts) got += (got.empty() ? "" : "|") + t;
    EXPECT_EQ(got, c.expected) << c.text;
    EXPECT_EQ(r.plain, c.plain) << c.text;
  }
  // The canvas gets its font and brush back, an unclosed <B> included.
  EXPECT_EQ(canvas.Font()->Style(), TFontStyles{});
  EXPECT_EQ(canvas.Brush()->Style(), bsSolid);
  // Selected cells keep their colours: no link colour.
  device.Texts.clear();
  RunMarkup(canvas, "<A href=\"x\">l</A>", Rect(0, 0, 101, 200), Draw, -1, -1, nullptr, true);
  EXPECT_EQ(device.Texts.at(0), "1,0 l 000000 s8 b4");
  // A rule below its line; lines past the bottom are not drawn.
  device.Calls.clear();
  device.Texts.clear();
  RunMarkup(canvas, "a<HR>b<BR>c", Rect(0, 0, 101, 27));
  EXPECT_EQ(device.Calls.at(0), "Line 1,13,101,13 pen=000000");
  EXPECT_EQ(device.Texts.size(), 2u);
}

TEST(Markup, LinkHitWindowAndColourValues) {
  TCanvas canvas;
  canvas.Font()->SetSize(8);
  const AnsiString text = "ab <A href=\"http://x.ru\">link</A> cd";
  struct Case {
    int x, y;
    bool hit;
  } cases[] = {{25, 5, true}, {19, 12, true}, {42, 0, true}, {5, 5, false}, {44, 5, false}, {25, 30, false}};
  for (const Case& c : cases) {
    const Result r = RunMarkup(canvas, text, Rect(0, 0, 200, 100), HitTest, c.x, c.y);
    EXPECT_EQ(r.hit, c.hit) << c.x << "," << c.y;
    EXPECT_EQ(r.link, c.hit ? "http://x.ru" : "") << c.x << "," << c.y;
  }
  EXPECT_EQ(MarkupColor("#00ff80", clRed), RGB(0, 255, 0x80));
  EXPECT_EQ(MarkupColor("plain", clRed), clRed);
  EXPECT_EQ(MarkupColor("clInfoBk", clRed), clInfoBk);
}

// On a 600-dpi printer page a point is 6.25 times the pixels it is on
// screen; turned text carries the font's orientation.
TEST(Markup, PrinterResolutionAndRotation) {
  vx::RecordingDevice screen, printer(600);
  TCanvas screenCanvas(&screen), printerCanvas(&printer);
  for (TCanvas* c : {&screenCanvas, &printerCanvas}) c->Font()->SetSize(8);
  const AnsiString text = "<FONT size=\"12\">ab</FONT>";
  const Result onScreen = RunMarkup(screenCanvas, text, Rect(0, 0, 10000, 10000), Measure);
  const Result onPaper = RunMarkup(printerCanvas, text, Rect(0, 0, 10000, 10000), Measure);
  EXPECT_EQ(onScreen.width, 18);
  EXPECT_NEAR(onPaper.width, onScreen.width * 600.0 / 96, 2);
  EXPECT_NEAR(onPaper.height, onScreen.height * 600.0 / 96, 8);
  EXPECT_EQ(printerCanvas.Font()->PixelsPerInch(), 600);

  RunMarkup(screenCanvas, "<R a=\"90\">up</R>x", Rect(0, 0, 200, 100));
  EXPECT_NE(screen.Calls.at(0).find("\"up\" font=000000 angle=900"), std::string::npos) << screen.Calls.at(0);
  EXPECT_EQ(screen.Calls.at(1).find("angle"), std::string::npos) << screen.Calls.at(1);
  EXPECT_EQ(screenCanvas.Font()->Orientation(), 0);
}

TEST(Markup, StripMarkup) {
  struct Case {
    const char* text;
    const char* plain;
  } cases[] = {
      {"x<br>y<b>z</b>", "x\r\nyz"}, {"a<HR>b", "a\r\nb"}, {"a<b", "a<b"}, {"<i>a</i> <u", "a <u"}, {"plain", "plain"}};
  for (const Case& c : cases) EXPECT_EQ(StripMarkup(c.text), c.plain) << c.text;
}

}  // namespace

namespace {

// The Qt painter path: mark-up drawn into a bitmap, kept as a PNG artefact
// (testdata/richgrid/markup.png); the red run lands where it was laid out.
TEST(Markup, RendersIntoABitmap) {
  Application->Initialize();
  TBitmap bitmap(320, 90);
  TCanvas* c = bitmap.Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(Rect(0, 0, 320, 90));
  c->Font()->SetName("Arial");
  c->Font()->SetSize(10);
  c->Font()->SetColor(clBlack);
  AnsiString link, plain;
  int w = 0, h = 0;
  const AnsiString text =
      "<B>Тираж</B> <FONT color=\"clRed\">красный</FONT> <I>курсив</I> <U>u</U> x<SUP>2</SUP> "
      "<A href=\"http://x.ru\">ссылка</A><BR><P align=\"center\" bgcolor=\"#E0E0FF\">по центру</P>"
      "<UL><LI>пункт</UL><SHAD>тень</SHAD>"_cp;
  DrawMarkup(c, text, Rect(4, 4, 316, 86), nullptr, -1, -1, false, false, false, false, true, 1.0, clBlue, link, plain,
             w, h);
  const std::filesystem::path dir = std::filesystem::path(VX_BINARY_DIR) / "testdata" / "richgrid";
  std::filesystem::create_directories(dir);
  bitmap.SaveToFile((dir / "markup.png").string());
  // Where the red word starts: after the measured bold word and its blank.
  AnsiString unusedLink, unusedPlain;
  int boldWidth = 0, boldHeight = 0;
  DrawMarkup(c, "<B>Тираж</B> "_cp, Rect(4, 4, 316, 86), nullptr, -1, -1, false, true, false, false, true, 1.0, clBlue,
             unusedLink, unusedPlain, boldWidth, boldHeight);
  const int redLeft = 5 + boldWidth, redTop = 4;
  int red = 0;
  for (int y = redTop; y < redTop + 20; ++y)
    for (int x = redLeft; x < redLeft + 60; ++x) {
      const TColor p = c->Pixels(x, y);
      red += (p & 0xFF) > 0xC0 && ((p >> 8) & 0xFF) < 0x60 && ((p >> 16) & 0xFF) < 0x60;
    }
  EXPECT_GT(red, 10);
  EXPECT_EQ(plain.substr(0, 5), "Тираж"_cp);
}

}  // namespace
