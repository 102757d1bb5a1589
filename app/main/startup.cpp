#include "app/main/startup.h"

#include "app/main/formmain.h"
#include "app/main/pending_windows.h"
#include "app/settings/language.h"
#include "app/settings/options.h"
#include "platform/gui/application.h"

void vx::CreateStartupForms() {
  Application->Initialize();
  Application->SetTitle("Vexamund");
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

void vx::DestroyApplicationForms() {
  while (Application->ComponentCount() > 0) delete Application->Components(Application->ComponentCount() - 1);
}
