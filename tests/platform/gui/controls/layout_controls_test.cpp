// Controls that lay themselves or their neighbours out, and the ones that
// paint themselves (checked on the recording canvas).
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "tests/platform/gui/gui_test_support.h"
#include "platform/gui/controls/comctrls.h"
#include "platform/gui/controls/extctrls.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/hintwindow.h"
#include "platform/gui/controls/stdctrls.h"
#include "platform/rtl/codepages.h"

namespace {

class Layout : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    form = new TForm(nullptr);
    form->SetBounds(0, 0, 400, 300);
  }
  void TearDown() override {
    delete form;
    GuiTest::TearDown();
  }
  static bool Drew(const vx::RecordingDevice& dev, const std::string& text) {
    return std::any_of(dev.Calls.begin(), dev.Calls.end(),
                       [&](const std::string& c) { return c.find("\"" + text + "\"") != std::string::npos; });
  }
  TForm* form = nullptr;
};

TEST_F(Layout, AutoSizedLabelFollowsItsCaption) {
  auto* l = new TLabel(form, form);
  l->SetCaption("a");
  const int narrow = l->Width();
  l->SetCaption("a much longer caption");
  EXPECT_GT(l->Width(), narrow);
  l->SetAutoSize(false);
  l->SetWidth(10);
  l->SetCaption("again a much longer caption");
  EXPECT_EQ(l->Width(), 10);
}

// Where a label's text shows within its width, per alignment, auto-sized
// or not (an auto-sized label shrinks to its text, right-aligned ones
// keeping their right edge).
TEST_F(Layout, LabelTextShowsWhereItsAlignmentPutsIt) {
  struct Case {
    TAlignment alignment;
    bool autoSize;
    int left, right;  // the label's edges after the caption was set
  };
  const Case cases[] = {{taLeftJustify, false, 20, 320},
                        {taCenter, false, 20, 320},
                        {taRightJustify, false, 20, 320},
                        {taRightJustify, true, -1, 320}};
  form->Show();
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.alignment) * 10 + c.autoSize);
    auto* l = new TLabel(form, form);
    l->SetAutoSize(c.autoSize);
    l->SetBounds(20, 40, 300, 20);
    l->SetAlignment(c.alignment);
    l->SetCaption("Vexamund");
    Application->ProcessMessages();
    EXPECT_EQ(l->Left() + l->Width(), c.right);
    if (c.left >= 0) EXPECT_EQ(l->Left(), c.left);
    const QImage img = l->Widget()->grab().toImage();
    const QRgb background = img.pixel(img.width() / 2, img.height() - 1);
    int first = img.width(), last = -1;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, y) != background) {
          first = std::min(first, x);
          last = std::max(last, x);
        }
    ASSERT_GE(last, first) << "no text painted";
    const int ink = last - first + 1, width = l->Width();
    switch (c.alignment) {
      case taLeftJustify: EXPECT_LE(first, 3); break;
      case taCenter: EXPECT_LE(std::abs(first - (width - ink) / 2), 3); break;
      case taRightJustify: EXPECT_GE(last, width - 4); break;
    }
    delete l;
  }
}

TEST_F(Layout, SplitterDragResizesTheControlBeforeIt) {
  auto* left = new TPanel(form, form);
  left->SetWidth(100);
  left->SetAlign(alLeft);
  auto* split = new TSplitter(form, form);
  split->SetLeft(100);  // after the panel
  auto* rest = new TPanel(form, form);
  rest->SetAlign(alClient);
  ASSERT_EQ(split->Left(), 100);
  int moved = 0;
  split->OnMoved = [&](TObject*) { ++moved; };
  vx::SendClick(split, 1, 10);  // press and release without moving
  EXPECT_EQ(moved, 1);
  vx::SendMouseDown(split, 1, 10);
  vx::SendMouseMove(split, -39, 10, TShiftState{ssLeft});
  vx::SendMouseUp(split, -39, 10);
  EXPECT_EQ(moved, 2);
  EXPECT_EQ(left->Width(), 60);
  EXPECT_EQ(split->Left(), 60);
  EXPECT_EQ(rest->Left(), 63);
  vx::SendMouseDown(split, 1, 10);
  vx::SendMouseMove(split, -200, 10, TShiftState{ssLeft});  // not below MinSize
  vx::SendMouseUp(split, -200, 10);
  EXPECT_EQ(left->Width(), split->MinSize());
}

TEST_F(Layout, ToolButtonsLineUpInTheirOrder) {
  auto* bar = new TToolBar(form, form);
  bar->SetButtonWidth(40);
  auto* a = new TToolButton(form, bar);
  auto* sep = new TToolButton(form, bar);
  sep->SetStyle(tbsSeparator);
  auto* b = new TToolButton(form, bar);
  EXPECT_EQ(a->Left(), 0);
  EXPECT_EQ(sep->Left(), 40);
  EXPECT_EQ(b->Left(), 48);
  EXPECT_EQ(bar->Width(), 400);  // aligned to the top
  b->SetStyle(tbsCheck);
  b->SetGrouped(true);
  a->SetStyle(tbsCheck);
  a->SetGrouped(true);
  a->Click();
  b->Click();
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(b->Down());
}

// A bar wider than its window used to run on past the right edge, its last
// buttons out of reach, and captions wider than ButtonWidth were cut.
TEST_F(Layout, ToolBarWrapsIntoRowsAndWidensButtonsForTheirCaptions) {
  form->Show();
  auto* bar = new TToolBar(form, form);
  bar->SetHeight(28);
  bar->SetShowCaptions(true);
  bar->SetButtonWidth(30);
  std::vector<TControl*> items;
  for (const char* caption : {"Открыть", "Сохранить", "-", "box", "Ж", "Выравнивание", "Печать"}) {
    if (std::string(caption) == "-") {
      auto* sep = new TToolButton(form, bar);
      sep->SetStyle(tbsSeparator);
      items.push_back(sep);
    } else if (std::string(caption) == "box") {
      auto* box = new TComboBox(form, bar);
      box->SetBounds(0, 0, 150, 22);
      items.push_back(box);
    } else {
      auto* b = new TToolButton(form, bar);
      b->SetCaption(vx::Utf8ToCp1251(caption));
      items.push_back(b);
    }
  }
  bar->ArrangeButtons();
  auto fits = [&](TControl* c) {
    return c->Left() >= 0 && c->Left() + c->Width() <= bar->Width() && c->Top() >= 0 &&
           c->Top() + c->Height() <= bar->Height();
  };
  // Every button as wide as the widest caption needs.
  auto* widest = static_cast<TToolButton*>(items[5]);
  EXPECT_GE(widest->Width(), widest->Widget()->sizeHint().width());
  EXPECT_EQ(items[0]->Width(), widest->Width());
  for (const int width : {400, 200, 700}) {
    SCOPED_TRACE(width);
    form->SetWidth(width);
    Application->ProcessMessages();
    ASSERT_EQ(bar->Width(), form->ClientWidth());
    std::set<int> tops;
    for (std::size_t i = 0; i < items.size(); ++i) {
      TControl* c = items[i];
      if (i == 2) continue;  // the separator may hang past the edge
      EXPECT_TRUE(fits(c)) << i;
      if (i > 0 && c->Top() == items[i - 1]->Top() && i - 1 != 2)
        EXPECT_GE(c->Left(), items[i - 1]->Left() + items[i - 1]->Width()) << i << " keeps its order";
      tops.insert(c->Top());  // the box is as high as a button
    }
    const int rows = static_cast<int>(tops.size());
    EXPECT_EQ(bar->Height(), 28 + (rows - 1) * 22);
    if (width == 700) EXPECT_EQ(rows, 1);
    else EXPECT_GT(rows, 1);
  }
}

TEST_F(Layout, StatusBarPaintsItsPanelsOrItsSimpleText) {
  auto* sb = new TStatusBar(form, form);
  sb->AddPanel()->Text = "Готово"_cp;
  sb->AddPanel()->Text = "6 из 49"_cp;
  vx::RecordingDevice dev;
  sb->PaintTo(&dev);
  EXPECT_TRUE(Drew(dev, "Готово"_cp));
  EXPECT_TRUE(Drew(dev, "6 из 49"_cp));
  sb->SetSimplePanel(true);
  sb->SetSimpleText("Загрузка"_cp);
  vx::RecordingDevice simple;
  sb->PaintTo(&simple);
  EXPECT_TRUE(Drew(simple, "Загрузка"_cp));
  EXPECT_FALSE(Drew(simple, "Готово"_cp));
  EXPECT_THROW(sb->Panels(2), EListError);
}

TEST_F(Layout, PanelCentresItsCaption) {
  auto* p = new TPanel(form, form);
  p->SetBounds(0, 0, 100, 40);
  p->SetCaption("ab");
  vx::RecordingDevice dev;
  p->PaintTo(&dev);
  // Fixed metrics: "ab" is 12 pixels wide and 13 high.
  EXPECT_TRUE(std::find(dev.Calls.begin(), dev.Calls.end(), "Text 44,13 \"ab\" font=000000 brush=none") !=
              dev.Calls.end());
}

TEST_F(Layout, HintWindowMeasuresAndShowsItsText) {
  auto* hint = new THintWindow(form);
  const TRect r = hint->CalcHintRect(200, "Сумма: 123"_cp);
  EXPECT_EQ(r.Left, 0);
  EXPECT_GT(r.Width(), 20);
  EXPECT_GT(r.Height(), 5);
  const TRect wrapped = hint->CalcHintRect(40, "одно два три четыре пять"_cp);
  EXPECT_GT(wrapped.Height(), r.Height());
  hint->ActivateHint(Bounds(10, 10, r.Width(), r.Height()), "Сумма: 123"_cp);
  EXPECT_TRUE(hint->Active());
  hint->ReleaseHandle();
  EXPECT_FALSE(hint->Active());
}

TEST_F(Layout, ImageCanvasDrawsIntoItsPicture) {
  auto* img = new TImage(form, form);
  img->SetBounds(0, 0, 8, 6);
  img->Canvas()->Brush()->SetColor(clRed);
  img->Canvas()->FillRect(Rect(0, 0, 8, 6));
  EXPECT_EQ(img->Picture()->Width(), 8);
  EXPECT_EQ(img->Picture()->Bitmap()->Canvas()->Pixels(3, 3), clRed);
  vx::RecordingDevice dev;
  img->PaintTo(&dev);
  ASSERT_EQ(dev.Calls.size(), 1u);
  EXPECT_EQ(dev.Calls[0], "Bitmap 0,0,8,6 8x6");
}

TEST_F(Layout, ScreenCursorOverridesAndRestores) {
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  Screen->SetCursor(crDefault);
  EXPECT_EQ(Screen->Cursor(), crDefault);
  EXPECT_GT(Screen->Width(), 0);
  EXPECT_GT(Screen->Fonts()->Count(), 0);
  EXPECT_GE(Screen->Fonts()->IndexOf("Liberation Sans"), 0);
}

// With MultiLine the tabs used to stay in one row, the last ones behind
// scroll arrows.
TEST_F(Layout, MultiLineTabsWrapIntoRowsWithTheCurrentRowNextToThePages) {
  auto* f = new TForm(nullptr);
  f->SetBounds(0, 0, 520, 300);
  auto* pc = new TPageControl(f, f);
  pc->SetBounds(0, 0, 500, 280);
  const AnsiString captions[] = {"Вероятность"_cp, "Статистика"_cp, "Генерация"_cp, "Двойки"_cp, "Хар.Числа"_cp,
                                 "Системы"_cp,     "Результат"_cp,  "Сравнение"_cp, "Билеты"_cp, "Загрузка"_cp};
  for (const AnsiString& c : captions) {
    auto* page = new TTabSheet(f, pc);
    page->SetCaption(c);
  }
  pc->SetMultiLine(true);
  int changes = 0;
  pc->OnChange = [&](TObject*) { ++changes; };
  f->Show();
  Application->ProcessMessages();
  EXPECT_GT(pc->RowCount(), 1);
  auto bottomRow = [&] {
    int bottom = 0;
    for (int i = 0; i < pc->PageCount(); ++i) bottom = std::max(bottom, pc->TabRect(i).Bottom);
    return bottom;
  };
  for (int i = 0; i < pc->PageCount(); ++i) {
    SCOPED_TRACE(i);
    const TRect r = pc->TabRect(i);
    EXPECT_GT(r.Width(), 0);
    EXPECT_GE(r.Left, 0);
    EXPECT_LE(r.Right, pc->Width());
  }
  EXPECT_EQ(pc->TabRect(0).Bottom, bottomRow()) << "the current tab's row next to the pages";
  // The last tab, reached with one click.
  const TRect last = pc->TabRect(9);
  vx::SendClick(pc, (last.Left + last.Right) / 2, (last.Top + last.Bottom) / 2);
  EXPECT_EQ(pc->ActivePageIndex(), 9);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(pc->TabRect(9).Bottom, bottomRow());
  EXPECT_TRUE(vx::SaveScreenshot(f, "multiline_tabs.png"));
  delete f;
}

}  // namespace
