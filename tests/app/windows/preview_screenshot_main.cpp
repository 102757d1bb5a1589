// Under a real X server (Xvfb): the sums statistic of 120 draws in the
// print preview window, and the print-settings dialog over the same grid
// (its General, Headers / Footers and Margins pages), saved as PNG files
// for a reviewer; then the last page of the sums of 1,000 draws in the
// preview as it opens, which must be the page the printer would print last.
// Fails when a window cannot be captured or shows almost nothing.
#include <cstdio>
#include <filesystem>
#include <string>

#include "RichGrid/print_settings_dialog.h"
#include "app/bases/newbase_dialogs.h"
#include "app/main/formmain.h"
#include "app/main/startup.h"
#include "app/windows/page_preview.h"
#include "platform/db/field.h"
#include "platform/gui/core/application.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/core/input_simulation.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/sysutils.h"
#include "screenshot_support.h"

using shots::Capture;
using shots::Fail;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: preview_screenshot OUTPUT-FOLDER\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  const std::filesystem::path folder = out / "preview-program";
  {
    vx::ScriptedDialogs dialogs;
    shots::StartProgram(dialogs, folder);
    shots::MakeBase(1000);
    FormMain->seYearFrom->SetValue(2010);
    FormMain->seDrawFrom->SetValue(1);
    FormMain->seYearTo->SetValue(2011);
    FormMain->seDrawTo->SetValue(20);
    FormMain->rbtnAmounts->SetChecked(true);
    FormMain->btnCalculateStat->Click();
    TRichStringGrid* grid = FormMain->SGrid;
    if (grid->RowCount() != 121) Fail("the statistic did not fill the grid");
    grid->PrintSettings()->SetPageNr(ppBottomRight);
    grid->PrintSettings()->SetTitle(ppTopCenter);
    grid->PrintSettings()->SetTitleText("Суммы"_cp);

    grid->SetPreviewPage(1);
    TfrmPagePreview* preview = TfrmPagePreview::CreateWithGrid(FormMain, grid);
    preview->Show();
    Capture(preview, out / "preview.png");
    preview->Button2->Click();
    if (preview->Label1->Caption() != "Page : 2") Fail("the preview did not turn its page");
    Capture(preview, out / "preview_page2.png");

    TRichGridPrintSettingsDialog* dialog = preview->RichGridPrintSettingsDialog1;
    dialog->SetGrid(grid);
    TRichGridPrintSettingsForm* settings = dialog->Form();
    settings->SetGrid(grid);
    settings->FillControls();
    settings->ApplyOptions(dialog->Options());
    settings->Show();
    Capture(settings, out / "print_settings.png");
    settings->PageControl->SetActivePage(settings->tsHeaders);
    Capture(settings, out / "print_settings_headers.png");
    settings->PageControl->SetActivePage(settings->tsMargins);
    Capture(settings, out / "print_settings_margins.png");
    settings->Close();
    preview->Close();
    preview->BeforeDestruction();
    delete preview;

    // The sums of 1,000 draws: the print dialog offers the pages the
    // printer prints (cancelled here), and the preview's last page is
    // numbered as the printer's last.
    FormMain->seYearTo->SetValue(2019);
    FormMain->seDrawTo->SetValue(100);
    FormMain->btnCalculateStat->Click();
    if (grid->RowCount() != 1001) Fail("the statistic of 1,000 draws did not fill the grid");
    grid->PrintSettings()->SetDate(ppTopLeft);
    int pages = 0;
    dialogs.Expect(vx::DialogKind::Print, "", [&](vx::DialogRequest& r) {
      pages = dynamic_cast<TPrintDialog*>(r.Dialog)->ToPage();
      return 0;
    });
    grid->Print();
    grid->SetPreviewPage(1);
    preview = TfrmPagePreview::CreateWithGrid(FormMain, grid);
    preview->Show();
    for (int p = 1; p < pages; ++p) preview->Button2->Click();
    if (pages < 2 || preview->Label1->Caption() != "Page : " + IntToStr(pages)) Fail("the preview did not reach its last page");
    Capture(preview, out / "preview_last_page.png");
    std::printf("the print dialog offered pages 1-%d; preview_last_page.png shows page %d\n", pages, pages);
    preview->Close();
    preview->BeforeDestruction();
    delete preview;
    FormMain->Close();
    vx::DestroyApplicationForms();
  }
  vx::SetProgramFolder("");
  return shots::failures ? 1 : 0;
}
