// The main window's commands that open the program's other windows.
#include "app/main/formmain.h"
#include "app/windows/about_box.h"
#include "app/windows/note_pad.h"
#include "app/windows/visual_view.h"
#include "platform/gui/application.h"

void TFormMain::ConnectWindowCommands() {
  mnuNotePad->OnClick = [this](TObject* s) { mnuNotePadClick(s); };
  mnuAutor->OnClick = [this](TObject* s) { mnuAutorClick(s); };
  btnVisual->OnClick = Command(&TFormMain::btnVisualClick);
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

void TFormMain::mnuAutorClick(TObject*) {
  TAboutBox* box = nullptr;
  try {
    box = vx::NewForm<TAboutBox>(this);
  } catch (...) {
    ShowMessage("Error of creating Form of About Box");
    return;
  }
  box->ShowModal();
  delete box;
}

void TFormMain::btnVisualClick(TObject*) {
  if (frmVisual) frmVisual->Show();
}
