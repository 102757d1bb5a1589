#include "app/main/pending_windows.h"

#define VX_PENDING_WINDOW(Class, FormName, Name, Caption) \
  Class* FormName = nullptr;                              \
  Class::Class(TComponent* AOwner) : TForm(AOwner) {      \
    SetName(Name);                                        \
    SetCaption(Caption##_cp);                             \
    SetBounds(0, 0, 400, 300);                            \
    SetVisible(false);                                    \
    FormName = this;                                      \
    OnDestroy = [this](TObject*) {                        \
      if (FormName == this) FormName = nullptr;           \
    };                                                    \
  }

VX_PENDING_WINDOW(TfrmRowNum, frmRowNum, "frmRowNum", "Ряды номеров")
