// The main window's commands that open the program's other windows, the
// help text and the page menu.
//
// Modal and made for each showing: the about box and the chart. Shown
// without waiting: the options, the number series, the base viewer, the
// visual view and the note pad (made once and kept). The new-base dialog
// is modal, after the draw base has been closed.
#include <memory>

#include "app/bases/newbase_dialogs.h"
#include "app/main/formmain.h"
#include "app/settings/options.h"
#include "app/windows/about_box.h"
#include "app/windows/base_viewer.h"
#include "app/windows/chart_window.h"
#include "app/windows/note_pad.h"
#include "app/windows/number_picker.h"
#include "app/windows/number_series.h"
#include "app/windows/probability_editor.h"
#include "app/windows/type5_dialog.h"
#include "app/windows/visual_view.h"
#include "platform/gui/core/application.h"
#include "platform/gui/core/shell.h"
#include "platform/os/program_folder.h"

namespace {

struct FormDeleter {
  void operator()(TForm* form) const {
    form->BeforeDestruction();
    delete form;
  }
};

// Makes the window, shows it modally and frees it; when it cannot be made,
// `failure` is shown instead.
template <typename Form, typename... Args>
void ShowModalOnce(const char* failure, Args&&... args) {
  std::unique_ptr<Form, FormDeleter> form;
  try {
    form.reset(vx::NewForm<Form>(std::forward<Args>(args)...));
  } catch (...) {
    ShowMessage(failure);
    return;
  }
  form->ShowModal();
}

}  // namespace

void TFormMain::ConnectWindowCommands() {
  mnuNotePad->OnClick = [this](TObject* s) { mnuNotePadClick(s); };
  mnuAutor->OnClick = [this](TObject* s) { mnuAutorClick(s); };
  mnuHelp->OnClick = [this](TObject* s) { mnuHelpClick(s); };
  mnuOptions->OnClick = Command(&TFormMain::mnuOptionsClick);
  mnuShowBase->OnClick = Command(&TFormMain::mnuShowBaseClick);
  mnuNewBase->OnClick = Command(&TFormMain::mnuNewBaseClick);
  mnuRegularize->OnClick = Command(&TFormMain::mnuRegularizeClick);
  btnVisual->OnClick = Command(&TFormMain::btnVisualClick);
  btnChart->OnClick = Command(&TFormMain::btnChartClick);
  btnRowNumShow->OnClick = Command(&TFormMain::btnRowNumShowClick);

  const std::pair<TMenuItem*, TTabSheet*> pageItems[] = {
      {mnutsProbability, tsProbability}, {mnutsStatistic, tsStatistic},
      {mnutsGeneration, tsGeneration},   {mnutsDyads, tsDyads},
      {mnutsIndNumber, tsIndNumber},     {mnutsSystems, tsSystems},
      {mnutsResult, tsResult},           {mnutsCompare, tsCompare},
      {mnutsTickets, tsTickets},         {mnutsDownLoad, tsDownLoad},
  };
  for (const auto& [item, page] : pageItems) item->OnClick = [this, shown = page](TObject*) { ShowPage(shown); };
}

// The note pad is made once, owned by the application, and kept.
void TFormMain::mnuNotePadClick(TObject*) {
  if (!frmDuzediv) {
    try {
      vx::NewForm<TfrmDuzediv>(Application);
    } catch (...) {
      ShowMessage("Error of creating Form of Note Pad");
      return;
    }
  }
  frmDuzediv->Show();
}

void TFormMain::mnuAutorClick(TObject*) { ShowModalOnce<TAboutBox>("Error of creating Form of About Box", this); }

void TFormMain::btnChartClick(TObject*) {
  ShowModalOnce<TfrmChart>("Error of creating Form of Chart", this, TableMain);
}

void TFormMain::btnVisualClick(TObject*) {
  if (frmVisual) frmVisual->Show();
}

void TFormMain::mnuOptionsClick(TObject*) {
  if (frmOptions) frmOptions->Show();
}

void TFormMain::mnuNewBaseClick(TObject* Sender) {
  CloseMainClick(Sender);
  if (frmNewBase) frmNewBase->ShowModal();
}

void TFormMain::btnRowNumShowClick(TObject*) {
  if (frmRowNum) frmRowNum->Show();
}

void TFormMain::mnuShowBaseClick(TObject*) {
  if (frmShowBase) frmShowBase->Show();
}

// The help texts come with the program and stay beside it, whatever folder
// it was started from.
void TFormMain::mnuHelpClick(TObject*) {
  ShellOpenDocument(this, vx::ProgramFolder() + (mnuLang->Caption() == "Язык"_cp ? "helprus.txt" : "helpeng.txt"));
}
