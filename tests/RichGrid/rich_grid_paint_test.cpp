// Cell painting. On the recording canvas (fixed metrics: a character of the
// 8-point font is 6 pixels wide, a line 13 high) the texts, fills, lines and
// glyphs land where the painting rules put them; through the Qt painter the
// application's kind of grid is drawn into a PNG (testdata/richgrid/
// grid_paint.png) whose pixels show the bands and the selection in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <utility>

#include "platform/gui/draw/bitmap.h"
#include "rich_grid_test_support.h"

namespace {

// Records texts with their style bits as well.
class StyleDevice : public vx::RecordingDevice {
 public:
  void Text(int x, int y, const AnsiString& text, const TFont& font, const TBrush& brush) override {
    vx::RecordingDevice::Text(x, y, text, font, brush);
    Calls.back() += " style=" + std::to_string(font.Style().Bits());
  }
};

class Grid : public richgridtest::Grid {
 public:
  std::function<AnsiString(const AnsiString&)> Formula;
  AnsiString FormulaCellText(int ACol, int ARow, const AnsiString& text) override {
    return Formula ? Formula(text) : TRichStringGrid::FormulaCellText(ACol, ARow, text);
  }
  std::vector<std::string> Record() {
    StyleDevice device;
    PaintTo(&device);
    return device.Calls;
  }
};

// The calls that begin with `prefix`.
std::vector<std::string> Matching(const std::vector<std::string>& calls, const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& c : calls)
    if (c.rfind(prefix, 0) == 0) out.push_back(c);
  return out;
}

// The last fill of a cell's rectangle: the colour the cell shows.
std::string CellFill(const std::vector<std::string>& calls, const std::string& rect) {
  const std::vector<std::string> fills = Matching(calls, "FillRect " + rect + " ");
  return fills.empty() ? "" : fills.back().substr(fills.back().find("brush="));
}

class RichGridPaint : public richgridtest::RichGridTest {};

// Cell (1,1) is at 65,22..129,43; its text starts 2 pixels in: (67, 24).
TEST_F(RichGridPaint, TextKindsFlagsAndShaping) {
  struct Case {
    const char* name;
    const char* text;
    std::function<void(Grid&)> setup;
    std::vector<std::string> texts;  // the texts drawn in the cell, in order
  } cases[] = {
      {"plain", "ab", nullptr, {"Text 67,24 \"ab\" font=FFFFFF brush=none style=0"}},
      {"formula shown as computed",
       "=1+1",
       [](Grid& g) { g.Formula = [](const AnsiString&) { return "2"; }; },
       {"Text 67,24 \"2\""}},
      {"formula by default", "=1+1", nullptr, {"Text 67,24 \"=1+1\""}},
      {"two-character mark-up", "<B", nullptr, {}},
      {"mark-up off", "<B", [](Grid& g) { g.SetEnableHTML(false); }, {"Text 67,24 \"<B\""}},
      {"one character is plain",
       "=",
       [](Grid& g) { g.Formula = [](const AnsiString&) { return "x"; }; },
       {"Text 67,24 \"=\""}},
      {"mark-up drawn by the renderer", "<B>a</B>b", nullptr, {"Text 68,24 \"a\"", "Text 74,24 \"b\""}},
      {"link text without its scheme",
       "ab://cd",
       [](Grid& g) {
         g.SetURLShow(true);
         g.SetSelectionTextColor(clNone);
       },
       {"Text 67,24 \"cd\" font=FF0000 brush=none style=4"}},
      {"link text in full",
       "ab://cd",
       [](Grid& g) {
         g.SetURLShow(true);
         g.SetURLFull(true);
       },
       {"Text 67,24 \"ab://cd\""}},
      {"second line left out", "a\r\nb", nullptr, {"Text 67,24 \"a\""}},
      {"several lines drawn as one without word wrap",
       "a\r\nb",
       [](Grid& g) { g.SetMultilinecells(true); },
       {"Text 67,24 \"a"}},
      {"several lines with word wrap",
       "a\r\nb",
       [](Grid& g) {
         g.SetMultilinecells(true);
         g.SetWordWrap(true);
       },
       {"Text 67,24 \"a\"", "Text 67,37 \"b\""}},
      {"password",
       "abc",
       [](Grid& g) { g.OnIsPasswordCell = [](TObject*, int, int, bool& is) { is = true; }; },
       {"Text 67,24 \"***\""}},
      {"shortened to the room",
       "abcdefghijklmnop",
       [](Grid& g) { g.SetEnhTextSize(true); },
       {"Text 67,24 \"abcdefg...\""}},
      {"right aligned",
       "ab",
       [](Grid& g) { g.OnGetAlignment = [](TObject*, int, int, TAlignment& a) { a = taRightJustify; }; },
       {"Text 115,24 \"ab\""}},
      {"centred",
       "ab",
       [](Grid& g) { g.OnGetAlignment = [](TObject*, int, int, TAlignment& a) { a = taCenter; }; },
       {"Text 91,24 \"ab\""}},
      {"numbers right aligned", "12", [](Grid& g) { g.SetAutoNumAlign(true); }, {"Text 115,24 \"12\""}},
      {"vertically centred", "ab", [](Grid& g) { g.SetVAlignment(vtaCenter); }, {"Text 67,27 \"ab\""}},
      {"at the bottom", "ab", [](Grid& g) { g.SetVAlignment(vtaBottom); }, {"Text 67,30 \"ab\""}},
  };
  for (const Case& c : cases) {
    Grid g;
    g.SetCells(1, 1, c.text);
    if (c.setup) c.setup(g);
    std::vector<std::string> got;
    for (const std::string& call : g.Record())
      if (call.rfind("Text ", 0) == 0 && call.find(",24 ") != std::string::npos) got.push_back(call);
      else if (call.rfind("Text ", 0) == 0 &&
               (call.find(",27 ") != std::string::npos || call.find(",30 ") != std::string::npos ||
                call.find(",37 ") != std::string::npos))
        got.push_back(call);
    ASSERT_EQ(got.size(), c.texts.size()) << c.name;
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i].rfind(c.texts[i], 0), 0u) << c.name << ": " << got[i];
  }
}

TEST_F(RichGridPaint, SelectionLookFollowsFocusAndSettings) {
  const std::string current = "65,22,129,43", other = "130,44,194,65", thirdRow = "130,66,194,87";
  const std::string highlight = "brush=6A240A", white = "brush=FFFFFF", band = "brush=E1FFFF";
  struct Case {
    const char* name;
    std::function<void(Grid&)> setup;
    std::string currentFill, otherFill;
  } cases[] = {
      {"unfocused, shown", nullptr, highlight, white},
      {"focused: the focused cell is not drawn selected", [](Grid& g) { g.SetFocus(); }, white, white},
      {"focused, drawn selected",
       [](Grid& g) {
         g.SetFocus();
         g.SetOptions(g.Options() + goDrawFocusSelected);
       },
       highlight, white},
      {"own selection colour", [](Grid& g) { g.SetSelectionColor(clLime); }, "brush=00FF00", white},
      {"no selection colour: the bands give way to the highlight",
       [](Grid& g) {
         g.Bands()->SetActive(true);
         g.SetSelectionColor(clNone);
       },
       highlight, white},
      {"selection hidden without focus, bands shown",
       [](Grid& g) {
         g.Bands()->SetActive(true);
         g.SetShowSelection(false);
       },
       band, white},
      {"selection hidden without focus", [](Grid& g) { g.SetShowSelection(false); }, white, white},
      {"colour event",
       [](Grid& g) {
         g.OnGetCellColor = [](TObject*, int row, int col, TGridDrawState, TBrush* b, TFont*) {
           if (row == 2 && col == 2) b->SetColor(clAqua);
         };
       },
       highlight, "brush=FFFF00"},
  };
  for (const Case& c : cases) {
    Grid g;
    if (c.setup) c.setup(g);
    const std::vector<std::string> calls = g.Record();
    EXPECT_EQ(CellFill(calls, current), c.currentFill) << c.name;
    EXPECT_EQ(CellFill(calls, other), c.otherFill) << c.name;
  }
  // Disjunct rows: only the rows picked are drawn selected, the range not.
  Grid g;
  g.SetOptions(g.Options() + goRowSelect);
  g.MouseActions()->DisjunctRowSelect = true;
  g.SetRowSelect(3, true);
  const std::vector<std::string> calls = g.Record();
  EXPECT_EQ(CellFill(calls, thirdRow), highlight);
  EXPECT_EQ(CellFill(calls, current), white);
  EXPECT_EQ(CellFill(calls, "0,66,64,87"), "brush=C8D0D4");  // the fixed column stays fixed
}

TEST_F(RichGridPaint, SortGlyphsInTheHeading) {
  auto heading = [](std::function<void(Grid&)> setup) {
    Grid g;
    g.SetCells(1, 0, "head");
    g.SetCells(2, 0, "next");
    g.SetSortShow(true);
    g.SetSortColumn(1);
    if (setup) setup(g);
    return g.Record();
  };
  auto centred = [](Grid& g) { g.OnGetAlignment = [](TObject*, int, int, TAlignment& a) { a = taCenter; }; };
  // Centred: the text moves 10 pixels right, the glyph sits 8 pixels into the text rectangle.
  std::vector<std::string> calls = heading(centred);
  EXPECT_EQ(Matching(calls, "Text 95,2 \"head\"").size(), 1u);
  EXPECT_EQ(Matching(calls, "Text 150,2 \"next\"").size(), 1u);
  EXPECT_EQ(Matching(calls, "Line 85,6,81,13 pen=FFFFFF").size(), 1u);
  EXPECT_EQ(Matching(calls, "Line 81,13,89,13 pen=808080").size(), 1u);
  // Left aligned and descending: 10 pixels after the text.
  calls = heading([](Grid& g) { g.SetSortDirection(sdDescending); });
  EXPECT_EQ(Matching(calls, "Text 67,2 \"head\"").size(), 1u);
  EXPECT_EQ(Matching(calls, "Line 105,7,97,7 pen=FFFFFF").size(), 1u);
  // Too few rows, or sorting not shown: no glyph.
  for (auto setup : std::vector<std::function<void(Grid&)>>{[](Grid& g) { g.SetRowCount(2); },
                                                            [](Grid& g) { g.SetSortShow(false); }})
    EXPECT_TRUE(Matching(heading(setup), "Line ").empty());
  // The sort index: a yellow arrow per indexed column and its place in the index.
  calls = heading([](Grid& g) {
    g.SetSortIndexShow(true);
    g.SortIndexes()->AddFlagged(2, true);
    g.SortIndexes()->AddFlagged(1, false);
  });
  const std::vector<std::string> arrows = Matching(calls, "Polygon ");
  ASSERT_EQ(arrows.size(), 2u);
  EXPECT_EQ(arrows[0], "Polygon 101,15 105,10 103,10 103,5 99,5 99,10 97,10 pen=808080 brush=00FFFF");
  EXPECT_EQ(arrows[1].substr(0, 19), "Polygon 166,5 170,1");
  EXPECT_EQ(Matching(calls, "Text 90,3 \"2\"").size(), 1u);
  EXPECT_EQ(Matching(calls, "Text 155,3 \"1\"").size(), 1u);
}

TEST_F(RichGridPaint, FixedFootersRightColumnsBordersAndFocus) {
  Grid g;
  g.SetFixedFooters(1);
  g.SetFixedRightCols(1);
  g.OnGetCellBorder = [](TObject*, int row, int col, TPen* pen, TCellBorders& borders) {
    if (row == 2 && col == 2) {
      pen->SetColor(clRed);
      borders = TCellBorders{cbLeft, cbBottom};
    }
  };
  std::vector<std::string> calls = g.Record();
  // Footer row 4 and right column 4 are drawn as fixed, with their edges.
  EXPECT_EQ(CellFill(calls, "130,88,194,109"), "brush=C8D0D4");
  EXPECT_EQ(CellFill(calls, "260,44,324,65"), "brush=C8D0D4");
  EXPECT_EQ(Matching(calls, "FillRect 130,88,131,109 brush=FFFFFF").size(), 1u);
  // The lines in front of them.
  EXPECT_EQ(Matching(calls, "Line 0,87,").size(), 1u);
  EXPECT_EQ(Matching(calls, "Line 259,0,259,").size(), 1u);
  // The borders the event asked for.
  EXPECT_EQ(Matching(calls, "Line 130,44,130,65 pen=0000FF").size(), 1u);
  EXPECT_EQ(Matching(calls, "Line 130,64,194,64 pen=0000FF").size(), 1u);
  // Flat fixed cells get black lines instead of raised edges.
  g.SetFlat(true);
  calls = g.Record();
  EXPECT_TRUE(Matching(calls, "FillRect 130,88,131,109 brush=FFFFFF").empty());
  EXPECT_FALSE(Matching(calls, "Line 129,88,129,110 pen=000000").empty());

  // The focus rectangle drawn a second time cancels the first.
  for (bool hide : {false, true}) {
    Grid f;
    f.SetFocus();
    f.SetHideFocusRect(hide);
    EXPECT_EQ(Matching(f.Record(), "FocusRect 65,22,129,43").size(), hide ? 2u : 1u);
  }
}

TEST_F(RichGridPaint, RowIndicatorBackgroundPictureAndSelectionRectangle) {
  Grid g;
  g.SetCells(0, 2, "ab");
  TBitmap indicator(8, 8), picture(16, 16);
  g.SetRowIndicator(indicator);
  g.BackGround()->SetBitmap(picture);
  g.SetSelectionRectangle(true);
  g.SetSelection(TGridRect{1, 1, 2, 2});
  ASSERT_EQ(g.Row(), 2);
  const std::vector<std::string> calls = g.Record();
  // The indicator at the left of the current row's fixed cell, the text after it.
  EXPECT_EQ(Matching(calls, "Bitmap 0,50,8,58 8x8").size(), 1u);
  EXPECT_EQ(Matching(calls, "Text 10,46 \"ab\"").size(), 1u);
  // The picture tiled under a normal cell, clipped to it; none under the
  // fixed cells or the cells drawn in the selection colour.
  EXPECT_EQ(Matching(calls, "Clip 195,44,259,65").size(), 1u);
  EXPECT_FALSE(Matching(calls, "Bitmap 192,32,208,48 16x16").empty());
  EXPECT_TRUE(Matching(calls, "Bitmap 64,16,80,32 16x16").empty());
  EXPECT_TRUE(Matching(calls, "Bitmap 128,32,144,48 16x16").empty());
  // Black edges two pixels wide around the selected block.
  for (const char* edge : {"FillRect 65,22,67,43 brush=000000", "FillRect 65,22,129,24 brush=000000",
                           "FillRect 192,44,194,65 brush=000000", "FillRect 130,63,194,65 brush=000000"})
    EXPECT_EQ(Matching(calls, edge).size(), 1u) << edge;
  EXPECT_TRUE(Matching(calls, "FillRect 127,22,129,43 brush=000000").empty());
}

// Cell graphics take their room beside the text, or replace it. Cell (2,2)
// is at 130,44..194,65.
TEST_F(RichGridPaint, CellGraphicsBesideOrInsteadOfTheText) {
  struct Case {
    const char* name;
    std::function<void(Grid&)> setup;
    std::vector<std::string> expected;  // calls that must be there
    const char* absent;                 // a call that must not
  } cases[] = {
      {"check box at the left", [](Grid& g) { g.AddCheckBox(2, 2, true, false); }, {"Text 148,46 \"ab\""}, nullptr},
      {"check box bound to the text", [](Grid& g) { g.AddCheckBox(2, 2, true, true); }, {}, "Text 132,46"},
      {"button", [](Grid& g) { g.AddButton(2, 2, 20, 15, 0, 0); }, {"Text 152,46 \"ab\""}, nullptr},
      {"turned text",
       [](Grid& g) { g.CreateCellGraphic(2, 2, ctValue)->Mode = 90; },
       {"Text 132,58 \"ab\" font=000000 angle=900"},
       "Text 132,46"},
      {"progress bar",
       [](Grid& g) {
         g.SetCells(2, 2, "50");
         g.CreateCellGraphic(2, 2, ctProgress);
       },
       {"FillRect 131,45,162,64 brush=6A240A", "FillRect 162,45,193,64 brush=FFFFFF", "Text 153,48 \"50%\""},
       "Text 132,46"},
      {"comment mark",
       [](Grid& g) { g.AddComment(2, 2, "note"); },
       {"Polygon 187,44 193,44 193,50 pen=0000FF brush=0000FF", "Text 132,46 \"ab\""},
       nullptr},
  };
  for (const Case& c : cases) {
    Grid g;
    g.SetCells(2, 2, "ab");
    c.setup(g);
    const std::vector<std::string> calls = g.Record();
    for (const std::string& e : c.expected) EXPECT_EQ(Matching(calls, e).size(), 1u) << c.name << ": " << e;
    if (c.absent) EXPECT_TRUE(Matching(calls, c.absent).empty()) << c.name;
  }
}

// The grid used to keep pointing at an image list that was destroyed, and
// painted and measured with the freed list.
TEST_F(RichGridPaint, TheGridForgetsItsImageListWhenTheListGoes) {
  struct Case {
    const char* name;
    bool owned;  // the list belongs to a component
    // Ends the list (sets it to nullptr) or keeps it.
    std::function<void(Grid&, TImageList*&, std::unique_ptr<TComponent>&)> end;
  } cases[] = {
      {"list deleted", false, [](Grid&, TImageList*& list, auto&) { delete std::exchange(list, nullptr); }},
      {"list replaced, then deleted", false,
       [](Grid& g, TImageList*& list, auto&) {
         g.SetGridImages(new TImageList(8, 8));
         TImageList* other = g.GridImages();
         g.SetGridImages(list);
         delete std::exchange(list, nullptr);
         EXPECT_EQ(g.GridImages(), nullptr);
         g.SetGridImages(other);
         delete other;
       }},
      {"its owner destroyed", true,
       [](Grid&, TImageList*& list, auto& owner) {
         owner.reset();
         list = nullptr;
       }},
      {"list kept", false, nullptr},
  };
  TBitmap picture;
  picture.SetSize(16, 16);
  for (const Case& c : cases) {
    auto owner = std::make_unique<TComponent>(nullptr);
    TImageList* list = c.owned ? new TImageList(owner.get(), 16, 16) : new TImageList(16, 16);
    list->Add(&picture);
    {
      Grid g;
      g.AddImageIdx(2, 2, 0);
      g.SetGridImages(list);
      if (c.end) c.end(g, list, owner);
      EXPECT_EQ(g.GridImages(), list) << c.name;
      int width = 0, height = 0;
      g.CellGraphicSize(2, 2, width, height);
      EXPECT_EQ(width, list ? 16 : 0) << c.name;
      g.Record();
    }
    // The grid went first: the list keeps no link to it.
    if (!c.owned) delete list;
  }
}

// The statistics grid as the application sets it up: a fixed heading row,
// every cell centred, colours from the colour event, bands; a selected
// block. Drawn through the Qt painter and kept as a PNG.
TEST_F(RichGridPaint, ApplicationGridRendersIntoAPng) {
  Grid g;
  g.SetBounds(0, 0, 360, 200);
  g.SetColCount(5);
  g.SetRowCount(9);
  g.SetFixedRows(1);
  g.SetColWidths(0, 50);
  g.SetColWidths(1, 65);
  g.Font()->SetName("Arial");
  g.FixedFont()->SetName("Arial");
  const AnsiString headings[] = {"год"_cp, "тираж"_cp, "P1", "P2", "Сумма"_cp};
  for (int c = 0; c < 5; ++c) g.SetCells(c, 0, headings[c]);
  for (int r = 1; r < 9; ++r) {
    g.SetCells(0, r, "2024");
    g.SetCells(1, r, IntToStr(r));
    g.SetCells(2, r, IntToStr(r * 5));
    g.SetCells(3, r, IntToStr(r * 5 + 3));
    g.SetCells(4, r, IntToStr(r * 10 + 3));
  }
  g.OnGetAlignment = [](TObject*, int, int, TAlignment& a) { a = taCenter; };
  g.OnGetCellColor = [](TObject*, int row, int col, TGridDrawState, TBrush* brush, TFont* font) {
    if (col == 4 && row > 0) font->SetColor(clRed);
    if (col == 2 && row == 6) brush->SetColor(clLime);
  };
  g.Bands()->SetPrimaryColor(clInfoBk);
  g.Bands()->SetSecondaryColor(clWindow);
  g.Bands()->SetActive(true);
  g.SetSelection(TGridRect{2, 3, 3, 4});

  TBitmap bitmap(360, 200);
  g.PaintTo(bitmap.Canvas()->Device());
  const std::filesystem::path dir = std::filesystem::path(VX_BINARY_DIR) / "testdata" / "richgrid";
  std::filesystem::create_directories(dir);
  bitmap.SaveToFile((dir / "grid_paint.png").string());

  // A pixel near a cell's lower left corner, away from its text.
  auto pixel = [&](int col, int row) {
    const TRect r = g.CellRect(col, row);
    return bitmap.Canvas()->Pixels(r.Left + 2, r.Bottom - 2);
  };
  EXPECT_EQ(pixel(1, 0), ColorToRGB(clBtnFace));    // the heading
  EXPECT_EQ(pixel(1, 1), ColorToRGB(clInfoBk));     // first band
  EXPECT_EQ(pixel(1, 2), ColorToRGB(clWindow));     // second band
  EXPECT_EQ(pixel(4, 5), ColorToRGB(clInfoBk));     // bands go on below the selection
  EXPECT_EQ(pixel(2, 3), ColorToRGB(clHighlight));  // the selected block
  EXPECT_EQ(pixel(3, 4), ColorToRGB(clHighlight));
  EXPECT_EQ(pixel(4, 4), ColorToRGB(clWindow));  // beside it
  EXPECT_EQ(pixel(2, 6), ColorToRGB(clLime));    // the colour event
  // Red text in the last column, centred: red pixels around the middle.
  const TRect sum = g.CellRect(4, 7);
  int red = 0;
  for (int y = sum.Top; y < sum.Bottom; ++y)
    for (int x = sum.Left + sum.Width() / 4; x < sum.Right - sum.Width() / 4; ++x) {
      const TColor p = bitmap.Canvas()->Pixels(x, y);
      red += (p & 0xFF) > 0xC0 && ((p >> 8) & 0xFF) < 0x60 && ((p >> 16) & 0xFF) < 0x60;
    }
  EXPECT_GT(red, 5);
}

}  // namespace
