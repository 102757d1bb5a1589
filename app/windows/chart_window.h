// TfrmChart ("Chart"): the draw base as lines, one per number position
// P1 .. Pn over the records of the draw base, the draw numbers as labels
// of the horizontal axis. The window pages, zooms and scrolls the chart:
//
// - spePointsPerPage (0 = everything on one page), the page buttons and the
//   page indicator "page/pages"; every page change undoes the zoom;
// - Zoom In 120 %, Zoom Out 80 %, Reset Zoom; Shift+Left/Up 110 %,
//   Shift+Right/Down 90 %, Space undoes the zoom;
// - the four speed buttons and the keys Page Up/Down and the arrows shift
//   the axes (and the chart's OnScroll runs, so the scroll bars follow);
// - ScrollBarX and ScrollBarY show where the bottom and left axes lie
//   within the data (disabled while an axis is automatic) and move them.
//
// The scroll bars and the axes map both ways through the same formulas
// (ChartBarPosition / ChartAxisFromBar), so a bar does not jump after the
// view was moved. The window does not translate itself.
#pragma once

#include "platform/chart/db_chart.h"
#include "platform/gui/controls/buttons.h"
#include "platform/gui/controls/extctrls.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/controls/spin.h"
#include "platform/gui/controls/stdctrls.h"

class TDataSet;

class TfrmChart : public TForm {
 public:
  // table: the draw base the lines are read from (the main window's).
  TfrmChart(TComponent* AOwner, TDataSet* table);

  TDataSet* TableMain;
  TPanel* pnlChartTop;
  TLabel* lblPointsPerPage;
  TSpinEdit* spePointsPerPage;
  TLabel* Label1;
  TSpeedButton *SpeedButton1, *SpeedButton2, *SpeedButton3, *SpeedButton4;
  TBitBtn *BitBtn1, *BitBtn2;
  TButton *Button3, *btnResetAll, *BFirstPage, *ButtonPrevious, *ButtonNext, *BLastPage;
  TCheckBox* CheckBox1;
  TDBChart* TheChart;
  TScrollBar *ScrollBarX, *ScrollBarY;

  void FormCreate(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void spePointsPerPageChange(TObject* Sender);
  void CheckBox1Click(TObject* Sender);
  void TheChartPageChange(TObject* Sender);
  void BFirstPageClick(TObject* Sender);
  void BLastPageClick(TObject* Sender);
  void ButtonPreviousClick(TObject* Sender);
  void ButtonNextClick(TObject* Sender);
  void btnResetAllClick(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void BitBtn2Click(TObject* Sender);
  void Button3Click(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  void SpeedButton2Click(TObject* Sender);
  void SpeedButton3Click(TObject* Sender);
  void SpeedButton4Click(TObject* Sender);
  // After every chart scroll, zoom and undone zoom.
  void TheChartScrolled(TObject* Sender);
  void ScrollBarXChange(TObject* Sender);
  void ScrollBarYChange(TObject* Sender);
  void TheChartResize(TObject* Sender);

 private:
  // Moves an axis pair by percent of its visible range.
  void ShiftAxes(TChartAxis* a, TChartAxis* b, double percent);
  // Places the bottom (or left) axis where its scroll bar says.
  void MoveAxisToBar(bool vertical);
  bool updating_ = false;
};

namespace vx {

// The scroll-bar position (0..100) of an axis showing min..max of data
// that spans low..high: (min - low)*100/(d - r) for the horizontal bar,
// (high - max)*100/(d - r) for the vertical one (the top of the data at
// position 0), rounded and clamped; -1 when d - r is not positive or not
// a number (the bar is left as it is).
int ChartBarPosition(bool vertical, double min, double max, double low, double high);
// The inverse: the axis range r placed at the bar position.
void ChartAxisFromBar(bool vertical, int position, double range, double low, double high, double& min, double& max);

}  // namespace vx
