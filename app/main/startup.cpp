#include "app/main/startup.h"

#include "app/bases/newbase_dialogs.h"
#include "app/main/formmain.h"
#include "app/settings/language.h"
#include "app/settings/options.h"
#include "app/windows/base_viewer.h"
#include "app/windows/number_picker.h"
#include "app/windows/number_series.h"
#include "app/windows/probability_editor.h"
#include "app/windows/type5_dialog.h"
#include "app/windows/visual_view.h"
#include "platform/gui/core/application.h"
#include "platform/gui/core/dialogs.h"
#include "tables/dataset/tcreatexbasedataset.h"

void vx::CreateStartupForms() {
  Application->Initialize();
  Application->SetTitle("Vexamund");
  // Qt's standard buttons and dialogs speak the program's language.
  Application->LoadStandardTranslation("ru");
  // A table created over an existing file asks first (a warning with OK
  // and Cancel), through the program's dialogs.
  TCreateXBaseDataSet::ConfirmOverwrite = [](const AnsiString& question) {
    return MessageDlg(question, mtWarning, TMsgDlgButtons{mbOK, mbCancel}) == mrOk;
  };
  Application->CreateForm(FormMain);
  Application->CreateForm(frmProbability);
  Application->CreateForm(frmType5);
  Application->CreateForm(frmOptions);
  Application->CreateForm(frmNewBase);
  Application->CreateForm(frmVisual);
  Application->CreateForm(frmSetNumbers);
  Application->CreateForm(frmNewTickBase);
  Application->CreateForm(frmRowNum);
  Application->CreateForm(frmShowBase);
  Application->CreateForm(frmNewResBase);
  Application->CreateForm(frmLang);
  FormMain->ConnectWindows();
}

int vx::RunVexamund() {
  CreateStartupForms();
  Application->Run();
  return 0;
}

void vx::DestroyApplicationForms() { Application->DestroyForms(); }
