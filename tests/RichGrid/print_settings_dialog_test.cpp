// The print-settings dialog driven through scripted dialogs (no modal
// loop): controls filled from the grid's settings, changes written back as
// they are made, everything put back on Cancel, lengths in millimetres and
// inches, lists without an item for a value, the enable rules, the options
// hiding pages, the settings file.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "RichGrid/print_settings_dialog.h"
#include "RichGrid/rich_grid.h"
#include "RichGrid/spin_edit.h"
#include "platform/rtl/filebytes.h"
#include "platform/rtl/fileutils.h"
#include "tests/RichGrid/grid_print_support.h"
#include "tests/RichGrid/rich_grid_test_support.h"
#include "tests/support/scratch_folder.h"

namespace {

class PrintSettingsDialog : public richgridtest::RichGridTest {
 protected:
  void SetUp() override {
    RichGridTest::SetUp();
    dialogs.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    dialog.SetGrid(&grid);
  }
  void TearDown() override { EXPECT_TRUE(dialogs.Done()) << dialogs.Pending() << " dialog(s) never came"; }
  // Runs Execute; `edit` works on the window as the user would, then the
  // window closes with `result`.
  bool Run(const std::function<void(TRichGridPrintSettingsForm&)>& edit, TModalResult result) {
    dialogs.Expect(vx::DialogKind::Modal, "Print Settings", [&](vx::DialogRequest& r) {
      edit(*dynamic_cast<TRichGridPrintSettingsForm*>(r.Form));
      return result;
    });
    return dialog.Execute();
  }
  // The whole of a settings object: its INI section plus what it does not
  // store.
  std::string Snapshot(const TPrintsettings& s) {
    const std::string file = dir.Path() + "/snapshot.ini";
    std::remove(file.c_str());
    SavePrintSettings(s, file.c_str(), "S");
    AnsiString bytes;
    vx::ReadFileBytes(file, bytes);
    return std::string(bytes) + "JobName=" + std::string(s.JobName()) +
           " PrintGraphics=" + (s.PrintGraphics() ? "Y" : "N") + " TitleText=" + std::string(s.TitleText());
  }
  static void Pick(TComboBox* list, int index) {
    list->SetItemIndex(index);
    list->OnChange(list);
  }

  vx::test::ScratchFolder dir{"printdialog-"};
  vx::ScriptedDialogs dialogs;
  richgridtest::Grid grid;
  TRichGridPrintSettingsDialog dialog{nullptr};
};

TEST_F(PrintSettingsDialog, FillsTheControlsAndWritesEveryChange) {
  TPrintsettings* s = grid.PrintSettings();
  s->SetBorders(pbAround);
  s->SetBorderStyle(psDot);
  s->SetHeaderSize(150);
  s->SetRowSpacing(25);
  s->SetDate(ppTopLeft);
  s->SetDateFormat("yyyy");
  s->SetTitle(ppTopCenter);
  s->SetTitleText("Статистика"_cp);
  s->TitleLines()->Add("first");
  s->SetCentered(true);
  const bool ok = Run(
      [&](TRichGridPrintSettingsForm& f) {
        EXPECT_EQ(f.cbBorders->ItemIndex(), 5);
        EXPECT_EQ(f.cbBorderStyle->ItemIndex(), 2);
        EXPECT_EQ(f.seTop->Text(), "15.00");
        EXPECT_EQ(f.seRowSpacing->Text(), "2.50");
        EXPECT_EQ(f.UnitLabels[6]->Caption(), "mm");
        EXPECT_EQ(f.edDateFormat->Text(), "yyyy");
        EXPECT_TRUE(f.ckCenter->Checked());
        EXPECT_TRUE(f.ckAutoSize->Checked());
        // The title text is now the last title line.
        EXPECT_EQ(f.meTitle->Text(), "first\r\n" + "Статистика"_cp + "\r\n");
        EXPECT_EQ(s->TitleText(), "");

        Pick(f.cbBorders, 1);
        f.seLeft->SetText("12.3");
        f.ckAutoSize->SetChecked(false);
        f.edSuffix->SetText(" pages");
        Pick(f.cbOrientation, 1);
        f.meTitle->SetText("one\r\ntwo");
        EXPECT_EQ(s->Borders(), pbSingle);
        EXPECT_EQ(s->LeftSize(), 123);
        EXPECT_TRUE(s->NoAutoSize());
      },
      mrOk);
  EXPECT_TRUE(ok);
  EXPECT_EQ(s->Borders(), pbSingle);
  EXPECT_EQ(s->BorderStyle(), psDot);
  EXPECT_EQ(s->HeaderSize(), 150);
  EXPECT_EQ(s->LeftSize(), 123);
  EXPECT_EQ(s->PageSuffix(), " pages");
  EXPECT_EQ(s->Orientation(), poLandscape);
  ASSERT_EQ(s->TitleLines()->Count(), 2);
  EXPECT_EQ(s->TitleLines()->Strings(1), "two");
  EXPECT_FALSE(dialog.Executing());
}

TEST_F(PrintSettingsDialog, AnythingButOKPutsEverySettingBack) {
  TPrintsettings* s = grid.PrintSettings();
  s->SetTitleText("title");
  s->SetJobName("job");
  s->Font()->SetName("Arial");
  s->HeaderFont()->SetSize(14);
  const std::string before = Snapshot(*s);
  for (TModalResult result : {mrCancel, mrNone, mrAbort}) {
    const bool ok = Run(
        [&](TRichGridPrintSettingsForm& f) {
          dialogs.Expect(vx::DialogKind::Font, "", [](vx::DialogRequest& r) {
            auto* d = dynamic_cast<TFontDialog*>(r.Dialog);
            EXPECT_EQ(d->Font()->Size(), 14);
            d->Font()->SetSize(30);
            d->Font()->SetName("Courier New");
            return 1;
          });
          f.seTop->SetText("40");
          f.seBottom->SetText("3.5");
          Pick(f.cbFitToPage, 2);
          f.ckPrintGraphics->SetChecked(true);
          f.meTitle->SetText("other");
          f.btnHeaderFont->Click();
          EXPECT_EQ(s->HeaderFont()->Size(), 30);
          EXPECT_EQ(s->HeaderSize(), 400);
        },
        result);
    EXPECT_FALSE(ok);
    // The title text that filling moved into the lines is back too.
    EXPECT_EQ(Snapshot(*s), before) << result;
  }
}

TEST_F(PrintSettingsDialog, LengthsInMillimetresAndInches) {
  const struct {
    TPrintDimensions unit;
    const char* typed;
    int stored;
    const char* shownAfterSwitch;
  } cases[] = {
      {pdinch, "25.4", 6452, nullptr},  // 25.4 x 254 = 6451.6
      {pdmm, "25.4", 254, "1.00"},
      {pdinch, "1", 254, "25.40"},
      {pdmm, "0.04", 0, "0.00"},
  };
  for (const auto& c : cases) {
    dialog.SetPrintDimensions(c.unit);
    Run(
        [&](TRichGridPrintSettingsForm& f) {
          for (TLabel* l : f.UnitLabels) EXPECT_EQ(l->Caption(), c.unit == pdinch ? "inch" : "mm");
          f.seRight->SetText(c.typed);
          EXPECT_EQ(grid.PrintSettings()->RightSize(), c.stored) << c.typed;
          // The other unit shows the same length.
          if (!c.shownAfterSwitch) return;
          (c.unit == pdinch ? f.rbMM : f.rbInch)->SetChecked(true);
          EXPECT_EQ(f.seRight->Text(), c.shownAfterSwitch);
          EXPECT_EQ(grid.PrintSettings()->RightSize(), c.stored);
        },
        mrOk);
  }
  // A length being typed that is empty or past its limit is not taken.
  dialog.SetPrintDimensions(pdmm);
  Run(
      [&](TRichGridPrintSettingsForm& f) {
        f.seRight->SetText("");
        f.ckCenter->SetChecked(!f.ckCenter->Checked());
        EXPECT_EQ(grid.PrintSettings()->RightSize(), 0);
        f.seRowSpacing->SetText("100.5");
        EXPECT_EQ(grid.PrintSettings()->RowSpacing(), 0);
        f.seRowSpacing->SetText("99");
        EXPECT_EQ(grid.PrintSettings()->RowSpacing(), 990);
      },
      mrOk);
}

TEST_F(PrintSettingsDialog, ValuesWithoutAListItemStay) {
  TPrintsettings* s = grid.PrintSettings();
  s->SetBorders(pbCustom);
  s->SetFitToPage(fpCustom);
  s->SetBorderStyle(psInsideFrame);
  Run(
      [&](TRichGridPrintSettingsForm& f) {
        EXPECT_EQ(f.cbBorders->ItemIndex(), -1);
        EXPECT_EQ(f.cbFitToPage->ItemIndex(), -1);
        EXPECT_EQ(f.cbBorderStyle->ItemIndex(), -1);
        f.ckRepeatRows->SetChecked(true);
      },
      mrOk);
  EXPECT_TRUE(s->RepeatFixedRows());
  EXPECT_EQ(s->Borders(), pbCustom);
  EXPECT_EQ(s->FitToPage(), fpCustom);
  EXPECT_EQ(s->BorderStyle(), psInsideFrame);
}

TEST_F(PrintSettingsDialog, EnableRulesAndOptions) {
  Run(
      [&](TRichGridPrintSettingsForm& f) {
        // No border, no date, no title, no page numbers: their details
        // are off until a position is chosen.
        const struct {
          TComboBox* list;
          std::vector<TControl*> details;
        } rules[] = {{f.cbBorders, {f.cbBorderStyle}},
                     {f.cbDatePos, {f.edDateFormat}},
                     {f.cbTitlePos, {f.meTitle}},
                     {f.cbPagesPos, {f.edPrefix, f.edSeparator, f.edSuffix}}};
        for (const auto& r : rules) {
          for (TControl* c : r.details) EXPECT_FALSE(c->Enabled()) << c->Name();
          Pick(r.list, 3);
          for (TControl* c : r.details) EXPECT_TRUE(c->Enabled()) << c->Name();
          Pick(r.list, 0);
          for (TControl* c : r.details) EXPECT_FALSE(c->Enabled()) << c->Name();
        }
        for (TTabSheet* p : {f.tsGeneral, f.tsHeaders, f.tsMargins, f.tsPreferences}) EXPECT_TRUE(p->TabVisible());
      },
      mrOk);

  TPrintSettingsOptions options = AllPrintSettingsOptions;
  options.Exclude(psSaveSettings).Exclude(psDateTime).Exclude(psTitle).Exclude(psBorders);
  dialog.SetOptions(options);
  grid.PrintSettings()->SetPageNr(ppTopLeft);
  Run(
      [&](TRichGridPrintSettingsForm& f) {
        EXPECT_FALSE(f.tsPreferences->TabVisible());
        EXPECT_TRUE(f.tsHeaders->TabVisible());  // the page numbers remain
        EXPECT_TRUE(f.tsMargins->TabVisible());
        for (TControl* c : {static_cast<TControl*>(f.gbBorders), static_cast<TControl*>(f.cbBorders),
                            static_cast<TControl*>(f.cbBorderStyle), static_cast<TControl*>(f.edDateFormat)})
          EXPECT_FALSE(c->Enabled()) << c->Name();
        // A disabled group stays off whatever its rule says.
        grid.PrintSettings()->SetBorders(pbDouble);
        Pick(f.cbPagesPos, 2);
        EXPECT_FALSE(f.cbBorderStyle->Enabled());
        EXPECT_TRUE(f.edPrefix->Enabled());
      },
      mrOk);
  options.Exclude(psPages);
  dialog.SetOptions(options);
  EXPECT_FALSE(dialog.Form()->tsHeaders->TabVisible());
  EXPECT_TRUE(dialog.Form()->tsGeneral->TabVisible());
}

TEST_F(PrintSettingsDialog, SketchPanelAndButtons) {
  TRichGridPrintSettingsForm* f = dialog.Form();
  const int pages = f->PageControl->Width(), panel = f->pnlSketch->Width();
  EXPECT_EQ(f->ClientWidth(), pages + panel);
  dialog.SetPrintPreview(false);
  EXPECT_FALSE(f->pnlSketch->Visible());
  EXPECT_EQ(f->ClientWidth(), pages);
  EXPECT_EQ(f->btnOK->Left(), pages / 2 - f->btnOK->Width() - 8);
  EXPECT_EQ(f->btnCancel->Left(), pages / 2 + 8);
  EXPECT_EQ(f->btnOK->ModalResult(), mrOk);
  EXPECT_EQ(f->btnCancel->ModalResult(), mrCancel);
}

TEST_F(PrintSettingsDialog, TheSketchShowsPageOneAndLeavesLaterPrintsWhole) {
  richgridtest::Fill(grid, 3, 90);
  richgridtest::PlainSettings(grid.PrintSettings());
  grid.SetPreviewPage(2);
  Run(
      [&](TRichGridPrintSettingsForm& f) {
        vx::RecordingDevice device(96, f.pbSketch->ClientRect());
        f.pbSketch->PaintTo(&device);
        const auto texts = richgridtest::RecordedTexts(device.Calls);
        EXPECT_NE(richgridtest::Find(texts, "A00").x, -1);
        EXPECT_EQ(richgridtest::Find(texts, "A89").x, -1);
        EXPECT_EQ(device.Calls.front().rfind("FillRect", 0), 0u) << device.Calls.front();
      },
      mrOk);
  EXPECT_EQ(grid.PrintPageFrom(), 2);
  // A print after the sketch prints every page.
  richgridtest::RecordingPrinter printer(2100, 2970);
  grid.Print();
  EXPECT_GT(printer.Pages().size(), 1u);
  EXPECT_NE(richgridtest::Find(printer.PageTexts(printer.Pages().size() - 1), "A89").x, -1);
}

TEST_F(PrintSettingsDialog, SavesAndLoadsTheSettingsFile) {
  // The folder's name has a dot; the file's name decides.
  const std::string base = dir.Path() + "/mine";
  ASSERT_NE(dir.Path().find('.'), std::string::npos);
  struct Step {
    bool save;
    std::string picked;
    int filterIndex;
    std::string written;
  };
  grid.PrintSettings()->SetHeaderSize(321);
  grid.PrintSettings()->SetPagePrefix("Page:");
  const Step steps[] = {
      {true, base, 1, base + ".ini"},           // ".ini" added
      {true, base + ".cfg", 1, base + ".cfg"},  // a name with a dot kept
      {true, base + "2", 2, base + "2"},        // "All files": as typed
  };
  for (const Step& s : steps) {
    Run(
        [&](TRichGridPrintSettingsForm& f) {
          dialogs.Expect(vx::DialogKind::Save, "", [&](vx::DialogRequest& r) {
            auto* d = dynamic_cast<TSaveDialog*>(r.Dialog);
            EXPECT_EQ(d->Filter(), "INI files (*.ini)|*.ini|All files (*.*)|*.*");
            d->SetFileName(s.picked.c_str());
            d->SetFilterIndex(s.filterIndex);
            return 1;
          });
          f.btnSave->Click();
        },
        mrOk);
    EXPECT_TRUE(FileExists(s.written.c_str())) << s.written;
  }
  AnsiString bytes;
  vx::ReadFileBytes(base + ".ini", bytes);
  EXPECT_NE(std::string(bytes).find("[PRINTSETTINGS]"), std::string::npos);

  // Loading fills the controls again and keeps what was loaded.
  grid.PrintSettings()->SetHeaderSize(10);
  grid.PrintSettings()->SetPagePrefix("");
  Run(
      [&](TRichGridPrintSettingsForm& f) {
        dialogs.Expect(vx::DialogKind::Open, "", [&](vx::DialogRequest& r) {
          auto* d = dynamic_cast<TOpenDialog*>(r.Dialog);
          d->SetFileName(base.c_str());
          d->SetFilterIndex(1);
          return 1;
        });
        f.btnLoad->Click();
        EXPECT_EQ(f.seTop->Text(), "32.10");
        EXPECT_EQ(f.edPrefix->Text(), "Page:");
      },
      mrOk);
  EXPECT_EQ(grid.PrintSettings()->HeaderSize(), 321);
}

TEST_F(PrintSettingsDialog, NeedsAGridAndForgetsOneThatGoes) {
  TRichGridPrintSettingsDialog lonely(nullptr);
  EXPECT_THROW(
      {
        try {
          lonely.Execute();
        } catch (Exception& e) {
          EXPECT_EQ(e.Message(), "The dialog does not have a grid component.");
          throw;
        }
      },
      Exception);
  auto* shortLived = new TRichStringGrid(nullptr);
  lonely.SetGrid(shortLived);
  delete shortLived;
  EXPECT_EQ(lonely.Grid(), nullptr);
}

}  // namespace
