// Under a real X server (Xvfb): fills the visual draw view from a base of
// 60 draws, picks numbers on the number picker, expands a wheel system,
// fills the statistics page and opens the base viewer, types into the
// options' bases grid, opens the note pad (its tool bar wrapped at the
// window's width) and the about box, edits the number series with the spin
// editor and imports a Multilotek file, and saves the windows as PNG files
// for a reviewer. Fails when a window cannot be captured, shows almost
// nothing, or does not take what was done to it.
#include <QAction>
#include <cstdio>
#include <filesystem>
#include <string>

#include "RichGrid/cell_controls.h"
#include "app/bases/newbase_dialogs.h"
#include "app/main/formmain.h"
#include "app/main/startup.h"
#include "app/settings/options.h"
#include "app/windows/about_box.h"
#include "app/windows/base_viewer.h"
#include "app/windows/note_pad.h"
#include "app/windows/number_picker.h"
#include "app/windows/number_series.h"
#include "app/windows/visual_view.h"
#include "platform/db/field.h"
#include "platform/gui/core/application.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/core/input_simulation.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/filebytes.h"
#include "platform/rtl/sysutils.h"
#include "screenshot_support.h"

using shots::Capture;
using shots::Fail;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: windows_screenshot OUTPUT-FOLDER\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  const std::filesystem::path folder = out / "windows-program";
  {
    vx::ScriptedDialogs dialogs;
    // The number series file is kept in the folder current at start-up.
    shots::StartProgram(dialogs, folder, true);
    shots::MakeBase(60);

    frmVisual->seYearFromVisual->SetValue(2010);
    frmVisual->seDrawFromVisual->SetValue(40);
    vx::SendClick(FormMain->btnVisual);
    if (frmVisual->Labels[5]->Caption() != "2010 - 45") Fail("the visual view is not filled");
    Capture(frmVisual, out / "visual.png");
    frmVisual->Close();

    frmSetNumbers->PickCount = 6;
    frmSetNumbers->HighestNumber = 45;
    frmSetNumbers->Show();
    TLottoTable* table = frmSetNumbers->LottoTableSetNumbers;
    for (int n : {3, 17, 29, 44}) {
      int c, r;
      table->NumberToCell(true, n, c, r);
      const TRect cell = table->CellRect(c, r);
      vx::SendClick(table, cell.Left + 5, cell.Top + 5);
    }
    if (frmSetNumbers->lblPickCount->Caption() != "4") Fail("the picker did not take the clicks");
    Capture(frmSetNumbers, out / "picker.png");
    frmSetNumbers->Close();

    // A wheel of 3 numbers over 5 expanded by the weights: the Systems page
    // with its list, then the results.
    std::filesystem::create_directories(folder / "wheels");
    vx::WriteFileBytes((folder / "wheels" / "3_5_4.lst").string(),
                       "3\r\n5\r\n4\r\n0\r\n0\r\n010203\r\n010405\r\n 2 4 5\r\n030405\r\n");
    std::fill(FormMain->Weights.begin(), FormMain->Weights.end(), 1);
    FormMain->ShowPage(FormMain->tsSystems);
    FormMain->seSystem->SetValue(3);
    vx::SendClick(FormMain->btnLoadSystems);
    FormMain->lbSystems->SetItemIndex(0);
    Capture(FormMain, out / "systems.png");
    vx::SendClick(FormMain->btnGiveSystem);
    if (FormMain->PageControlMain->ActivePage() != FormMain->tsResult) Fail("the system was not expanded");
    Capture(FormMain, out / "systems_results.png");

    // The statistics page with the intervals of the 60 draws and a drag
    // sum, then the base viewer with the draws and the expanded system.
    FormMain->seYearFrom->SetValue(2010);
    FormMain->seDrawFrom->SetValue(1);
    FormMain->seYearTo->SetValue(2010);
    FormMain->seDrawTo->SetValue(60);
    FormMain->ShowPage(FormMain->tsStatistic);
    FormMain->rbtnAverInterval->SetChecked(true);
    vx::SendClick(FormMain->btnCalculateStat);
    TRichStringGrid* grid = FormMain->SGrid;
    if (grid->RowCount() != 50 || grid->Cells(1, 0).empty()) Fail("the statistics grid is not filled");
    const TRect from = grid->CellRect(1, 2), to = grid->CellRect(3, 6);
    vx::SendMouseDown(grid, from.Left + 5, from.Top + 5);
    vx::SendMouseMove(grid, to.Left + 5, to.Top + 5, TShiftState{ssLeft});
    vx::SendMouseUp(grid, to.Left + 5, to.Top + 5);
    if (FormMain->lblSelCellsCount->Caption() != "N=15") Fail("the drag sum is missing");
    Capture(FormMain, out / "statistics.png");
    vx::SendClick(FormMain->rbtnPairs, 8, 10);
    vx::SendClick(FormMain->btnCalculateStat);
    if (grid->Cells(0, 0) != "№/№"_cp) Fail("the pairs are not shown");
    Capture(FormMain, out / "statistics_pairs.png");

    FormMain->mnuShowBaseClick(nullptr);
    frmShowBase->Activate();
    if (frmShowBase->ViewGridMain->RowCount() != 61) Fail("the base viewer shows no draws");
    TRichStringGrid* res = frmShowBase->ViewGridRes;
    const TRect a = res->CellRect(2, 1), b = res->CellRect(4, 2);
    vx::SendMouseDown(res, a.Left + 5, a.Top + 5);
    vx::SendMouseMove(res, b.Left + 5, b.Top + 5, TShiftState{ssLeft});
    vx::SendMouseUp(res, b.Left + 5, b.Top + 5);
    Capture(frmShowBase, out / "base_viewer.png");
    frmShowBase->Close();

    // The options' bases grid: a click on a cell, then typing opens the
    // in-place editor with the keys.
    FormMain->mnuOptions->Click();
    TStringGrid* bases = frmOptions->sgBaseName;
    if (!vx::WaitForFocus(frmOptions->btnOK)) Fail("the options window never became active");
    const TRect cell = bases->CellRect(3, 2);
    vx::SendClick(bases, cell.Left + 5, cell.Top + 5);
    vx::SendText(bases, "Пять из 36"_cp);
    if (!bases->InplaceEditor() || !bases->InplaceEditor()->Showing()) Fail("typing did not open the editor");
    if (bases->Cells(3, 2) != "Пять из 36"_cp) Fail("the typed text is not in the cell");
    Capture(frmOptions, out / "options_typing.png");
    vx::SendKey(bases->InplaceEditor(), VK_ESCAPE);
    frmOptions->btnCancelClick(nullptr);

    // The note pad at its designed width: the tool bar wraps into rows.
    FormMain->mnuNotePad->Click();
    if (!frmDuzediv || !frmDuzediv->Visible()) Fail("the note pad did not open");
    TToolBar* bar = frmDuzediv->StandardToolBar;
    for (int i = 0; i < bar->ControlCount(); ++i)
      if (bar->Controls(i)->Left() + bar->Controls(i)->Width() > bar->Width() + 8) Fail("a tool is out of reach");
    Capture(frmDuzediv, out / "note_pad.png");
    frmDuzediv->Close();

    dialogs.Expect(vx::DialogKind::Modal, "About Vexamund", [&](vx::DialogRequest& r) {
      Capture(static_cast<TForm*>(r.Form), out / "about.png");
      return mrOk;
    });
    FormMain->mnuAutor->Click();

    // The number series: three positions typed, the fourth being changed
    // with the spin editor.
    FormMain->btnRowNumShow->Click();
    TRichStringGrid* series = frmRowNum->SGridRowNum;
    const char* ranges[][2] = {{"1", "9"}, {"10", "19"}, {"20", "29"}};
    for (int r = 0; r < 3; ++r) {
      series->SetCells(1, r + 1, ranges[r][0]);
      series->SetCells(2, r + 1, ranges[r][1]);
    }
    if (!vx::WaitForFocus(series)) Fail("the number series grid takes no keyboard");
    series->SetCol(1);
    series->SetRow(4);
    vx::SendText(series, "3");
    vx::SendKey(series->GridSpin(), VK_PRIOR);
    if (series->ActiveEditControl() != series->GridSpin() || series->GridSpin()->Value() != 4)
      Fail("the spin editor did not open");
    Capture(frmRowNum, out / "rownum.png");
    vx::SendKey(series->GridSpin(), VK_RETURN);
    frmRowNum->Close();

    // A Multilotek file of two years becomes the draw base.
    AnsiString file = "Номер;Дата;Шары\r\n"_cp;
    for (int i = 0; i < 30; ++i) {
      file += "\"Тираж №"_cp + IntToStr(i + 1) + "\";" + IntToStr(2009 + i / 20) + "." + IntToStr(i % 12 + 1) + ".5";
      for (int j = 0; j < 20; ++j) file += ";" + IntToStr((i * 7 + j * 4) % 80 + 1);
      file += "\r\n";
    }
    vx::WriteFileBytes((folder / "ml.txt").string(), file);
    dialogs.ExpectFile(vx::DialogKind::Open, (folder / "ml.txt").string().c_str());
    FormMain->mnuImportML->QtAction()->trigger();
    if (FormMain->TableMain->RecordCount() != 30) Fail("the file was not imported");
    Capture(FormMain, out / "import.png");

    FormMain->Close();
    vx::DestroyApplicationForms();
  }
  vx::SetProgramFolder("");
  return shots::failures ? 1 : 0;
}
