#include "app/windows/chart_window.h"

#include "platform/gui/core/control_placing.h"

#include <algorithm>
#include <cmath>

#include "platform/db/dataset.h"
#include "platform/rtl/sysutils.h"

namespace vx {

int ChartBarPosition(bool vertical, double min, double max, double low, double high) {
  const double free = (high - low) - (max - min);
  if (!(free > 0) || !std::isfinite(free)) return -1;
  const double position = (vertical ? high - max : min - low) * 100 / free;
  return static_cast<int>(std::clamp<long long>(Round(std::clamp(position, -1e6, 1e6)), 0, 100));
}

void ChartAxisFromBar(bool vertical, int position, double range, double low, double high, double& min, double& max) {
  const double offset = ((high - low) - range) * position / 100;
  if (vertical) {
    max = high - offset;
    min = max - range;
  } else {
    min = low + offset;
    max = min + range;
  }
}

}  // namespace vx

namespace {

TButton* PlainButton(TfrmChart* form, TWinControl* parent, const char* name, const char* caption, int left, int top,
                     int width) {
  auto* b = vx::Placed(new TButton(form, parent), name, left, top, width, 25);
  b->SetCaption(caption);
  return b;
}

TSpeedButton* ShiftButton(TfrmChart* form, TWinControl* parent, const char* name, const char* caption, int left,
                          const char* hint) {
  auto* b = vx::Placed(new TSpeedButton(form, parent), name, left, 36, 25, 25);
  b->SetCaption(caption);
  b->SetHint(hint);
  b->SetShowHint(true);
  return b;
}

}  // namespace

TfrmChart::TfrmChart(TComponent* AOwner, TDataSet* table) : TForm(AOwner), TableMain(table) {
  SetName("frmChart");
  SetCaption("Chart");
  SetBounds(0, 0, 820, 560);
  SetPosition(poMainFormCenter);
  SetKeyPreview(true);
  SetVisible(false);

  pnlChartTop = vx::Placed(new TPanel(this, this), "pnlChartTop", 0, 0, 820, 68);
  pnlChartTop->SetAlign(alTop);
  pnlChartTop->SetCaption("");
  lblPointsPerPage = vx::Placed(new TLabel(this, pnlChartTop), "lblPointsPerPage", 8, 11, 120, 16);
  lblPointsPerPage->SetCaption("&Num Points Per Page:");
  spePointsPerPage = vx::Placed(new TSpinEdit(this, pnlChartTop), "spePointsPerPage", 138, 6, 70, 24);
  spePointsPerPage->SetMinValue(0);
  spePointsPerPage->SetMaxValue(10000);
  spePointsPerPage->SetValue(0);
  Label1 = vx::Placed(new TLabel(this, pnlChartTop), "Label1", 218, 11, 60, 16);
  Label1->SetCaption("N / FROM");
  BFirstPage = PlainButton(this, pnlChartTop, "BFirstPage", "&First", 290, 5, 64);
  ButtonPrevious = PlainButton(this, pnlChartTop, "ButtonPrevious", "&Previous", 358, 5, 72);
  ButtonNext = PlainButton(this, pnlChartTop, "ButtonNext", "&Next", 434, 5, 64);
  BLastPage = PlainButton(this, pnlChartTop, "BLastPage", "&Last", 502, 5, 64);
  CheckBox1 = vx::Placed(new TCheckBox(this, pnlChartTop), "CheckBox1", 580, 9, 170, 18);
  CheckBox1->SetCaption("Auto Scale Last Page");
  SpeedButton4 = ShiftButton(this, pnlChartTop, "SpeedButton4", "<", 8, "Move left");
  SpeedButton1 = ShiftButton(this, pnlChartTop, "SpeedButton1", ">", 36, "Move right");
  SpeedButton2 = ShiftButton(this, pnlChartTop, "SpeedButton2", "v", 64, "Move down");
  SpeedButton3 = ShiftButton(this, pnlChartTop, "SpeedButton3", "^", 92, "Move up");
  BitBtn1 = vx::Placed(new TBitBtn(this, pnlChartTop), "BitBtn1", 138, 36, 80, 25);
  BitBtn1->SetCaption("Zoom In");
  BitBtn2 = vx::Placed(new TBitBtn(this, pnlChartTop), "BitBtn2", 222, 36, 80, 25);
  BitBtn2->SetCaption("Zoom Out");
  Button3 = PlainButton(this, pnlChartTop, "Button3", "Reset Zoom", 306, 36, 90);
  Button3->SetEnabled(false);
  btnResetAll = PlainButton(this, pnlChartTop, "btnResetAll", "Reset All", 400, 36, 80);

  TheChart = vx::Placed(new TDBChart(this, this), "TheChart", 0, 68, 820, 492);
  TheChart->SetAlign(alClient);
  ScrollBarX = new TScrollBar(this, TheChart);
  ScrollBarX->SetKind(sbHorizontal);
  vx::Placed(ScrollBarX, "ScrollBarX", 0, 0, 100, 17);
  ScrollBarY = new TScrollBar(this, TheChart);
  ScrollBarY->SetKind(sbVertical);
  vx::Placed(ScrollBarY, "ScrollBarY", 0, 0, 17, 100);
  for (TScrollBar* bar : {ScrollBarX, ScrollBarY}) {
    bar->SetParams(0, 0, 100);
    bar->SetLargeChange(10);
    bar->SetEnabled(false);
  }
  TheChart->Margins().Right = ScrollBarY->Width() + 8;
  TheChart->Margins().Bottom = ScrollBarX->Height() + 4;

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { FormKeyDown(s, k, sh); };
  spePointsPerPage->OnChange = [this](TObject* s) { spePointsPerPageChange(s); };
  CheckBox1->OnClick = [this](TObject* s) { CheckBox1Click(s); };
  TheChart->OnPageChange = [this](TObject* s) { TheChartPageChange(s); };
  BFirstPage->OnClick = [this](TObject* s) { BFirstPageClick(s); };
  BLastPage->OnClick = [this](TObject* s) { BLastPageClick(s); };
  ButtonPrevious->OnClick = [this](TObject* s) { ButtonPreviousClick(s); };
  ButtonNext->OnClick = [this](TObject* s) { ButtonNextClick(s); };
  btnResetAll->OnClick = [this](TObject* s) { btnResetAllClick(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
  Button3->OnClick = [this](TObject* s) { Button3Click(s); };
  SpeedButton1->OnClick = [this](TObject* s) { SpeedButton1Click(s); };
  SpeedButton2->OnClick = [this](TObject* s) { SpeedButton2Click(s); };
  SpeedButton3->OnClick = [this](TObject* s) { SpeedButton3Click(s); };
  SpeedButton4->OnClick = [this](TObject* s) { SpeedButton4Click(s); };
  TheChart->OnScroll = [this](TObject* s) { TheChartScrolled(s); };
  TheChart->OnZoom = [this](TObject* s) { TheChartScrolled(s); };
  TheChart->OnUndoZoom = [this](TObject* s) { TheChartScrolled(s); };
  ScrollBarX->OnChange = [this](TObject* s) { ScrollBarXChange(s); };
  ScrollBarY->OnChange = [this](TObject* s) { ScrollBarYChange(s); };
  TheChart->OnResize = [this](TObject* s) { TheChartResize(s); };
  TheChartResize(TheChart);
}

void TfrmChart::FormCreate(TObject*) {
  TheChart->SetView3D(false);
  TheChart->SetLegendVisible(true);
  TheChart->SetTitleVisible(false);
  TheChart->SetAnimatedZoom(true);
  const int numbers = TableMain ? TableMain->FieldCount() - 2 : 0;
  for (int i = 1; i <= numbers; ++i) {
    auto* series = new TLineSeries(this);
    series->SetParentChart(TheChart);
    series->SetDataSource(TableMain);
    series->YValues()->SetValueSource("P" + IntToStr(i));
    series->SetXLabelsSource("DRAW");
    series->SetTitle("P" + IntToStr(i));
  }
  TheChart->RefreshData();
  // The indicator shows the real page count from the start.
  TheChartPageChange(TheChart);
}

void TfrmChart::FormKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (Shift.Contains(ssShift)) {
    if (Key == VK_LEFT || Key == VK_UP) TheChart->ZoomPercent(110);
    if (Key == VK_RIGHT || Key == VK_DOWN) TheChart->ZoomPercent(90);
    return;
  }
  const double vertical = TheChart->LeftAxis()->Range(), horizontal = TheChart->BottomAxis()->Range();
  auto scrollVertical = [&](double delta) {
    TheChart->LeftAxis()->Scroll(delta);
    TheChart->RightAxis()->Scroll(delta);
  };
  auto scrollHorizontal = [&](double delta) {
    TheChart->BottomAxis()->Scroll(delta);
    TheChart->TopAxis()->Scroll(delta);
  };
  switch (Key) {
    case VK_SPACE: TheChart->UndoZoom(); break;
    case VK_PRIOR: scrollVertical(-vertical / 10); break;
    case VK_NEXT: scrollVertical(vertical / 10); break;
    case VK_UP: scrollVertical(-vertical / 100); break;
    case VK_DOWN: scrollVertical(vertical / 100); break;
    case VK_LEFT: scrollHorizontal(horizontal / 100); break;
    case VK_RIGHT: scrollHorizontal(-horizontal / 100); break;
    default: return;
  }
  TheChart->Repaint();
}

void TfrmChart::spePointsPerPageChange(TObject*) {
  const int value = spePointsPerPage->Value();
  if (value < 0) return;
  TheChart->SetMaxPointsPerPage(value);
  TheChartPageChange(TheChart);
}

void TfrmChart::CheckBox1Click(TObject*) {
  TheChart->SetMaxPointsPerPage(spePointsPerPage->Value());
  TheChartPageChange(TheChart);
}

void TfrmChart::TheChartPageChange(TObject*) {
  TheChart->UndoZoom();
  const int page = TheChart->Page(), pages = TheChart->NumPages();
  Label1->SetCaption(IntToStr(page) + "/" + IntToStr(pages));
  ButtonPrevious->SetEnabled(page > 1);
  BFirstPage->SetEnabled(page > 1);
  ButtonNext->SetEnabled(pages > page);
  BLastPage->SetEnabled(pages > page);
}

void TfrmChart::BFirstPageClick(TObject*) { TheChart->SetPage(1); }
void TfrmChart::BLastPageClick(TObject*) { TheChart->SetPage(TheChart->NumPages()); }
void TfrmChart::ButtonPreviousClick(TObject*) { TheChart->PreviousPage(); }
void TfrmChart::ButtonNextClick(TObject*) { TheChart->NextPage(); }

void TfrmChart::btnResetAllClick(TObject*) {
  spePointsPerPage->SetValue(0);
  TheChart->SetMaxPointsPerPage(0);
  for (TChartAxisKind k : {akLeft, akRight, akTop, akBottom}) TheChart->Axis(k)->SetAutomatic(true);
  TheChartScrolled(TheChart);
}

void TfrmChart::BitBtn1Click(TObject*) {
  TheChart->ZoomPercent(120);
  Button3->SetEnabled(true);
}

void TfrmChart::BitBtn2Click(TObject*) {
  TheChart->ZoomPercent(80);
  Button3->SetEnabled(true);
}

void TfrmChart::Button3Click(TObject*) {
  TheChart->UndoZoom();
  Button3->SetEnabled(false);
}

void TfrmChart::ShiftAxes(TChartAxis* a, TChartAxis* b, double percent) {
  a->Scroll(a->Range() * percent / 100);
  b->Scroll(b->Range() * percent / 100);
  Button3->SetEnabled(true);
}

void TfrmChart::SpeedButton1Click(TObject*) { ShiftAxes(TheChart->BottomAxis(), TheChart->TopAxis(), 10); }
void TfrmChart::SpeedButton4Click(TObject*) { ShiftAxes(TheChart->BottomAxis(), TheChart->TopAxis(), -10); }
void TfrmChart::SpeedButton3Click(TObject*) { ShiftAxes(TheChart->LeftAxis(), TheChart->RightAxis(), 10); }
void TfrmChart::SpeedButton2Click(TObject*) { ShiftAxes(TheChart->LeftAxis(), TheChart->RightAxis(), -10); }

void TfrmChart::TheChartScrolled(TObject*) {
  updating_ = true;
  auto follow = [&](TScrollBar* bar, TChartAxis* axis, bool vertical) {
    if (axis->Automatic()) {
      bar->SetEnabled(false);
      return;
    }
    bar->SetEnabled(true);
    const double low = vertical ? TheChart->MinYValue() : TheChart->MinXValue();
    const double high = vertical ? TheChart->MaxYValue() : TheChart->MaxXValue();
    const int position = vx::ChartBarPosition(vertical, axis->Minimum(), axis->Maximum(), low, high);
    if (position >= 0) bar->SetPosition(position);
  };
  follow(ScrollBarX, TheChart->BottomAxis(), false);
  follow(ScrollBarY, TheChart->LeftAxis(), true);
  updating_ = false;
}

void TfrmChart::ScrollBarXChange(TObject*) { MoveAxisToBar(false); }
void TfrmChart::ScrollBarYChange(TObject*) { MoveAxisToBar(true); }

void TfrmChart::MoveAxisToBar(bool vertical) {
  if (updating_) return;
  TChartAxis* axis = vertical ? TheChart->LeftAxis() : TheChart->BottomAxis();
  TScrollBar* bar = vertical ? ScrollBarY : ScrollBarX;
  const double low = vertical ? TheChart->MinYValue() : TheChart->MinXValue();
  const double high = vertical ? TheChart->MaxYValue() : TheChart->MaxXValue();
  double min, max;
  vx::ChartAxisFromBar(vertical, bar->Position(), axis->Range(), low, high, min, max);
  if (std::isnan(min) || std::isnan(max)) return;
  axis->SetMinMax(min, max);
}

void TfrmChart::TheChartResize(TObject*) {
  ScrollBarX->SetBounds(0, TheChart->Height() - ScrollBarX->Height(), TheChart->Width() - ScrollBarY->Width(),
                        ScrollBarX->Height());
  ScrollBarY->SetBounds(TheChart->Width() - ScrollBarY->Width(), 0, ScrollBarY->Width(),
                        TheChart->Height() - ScrollBarX->Height());
}
