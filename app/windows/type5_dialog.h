#pragma once

#include <functional>

#include "platform/gui/core/forms.h"
#include "platform/gui/controls/spin.h"
#include "platform/gui/controls/stdctrls.h"

// TfrmType5 ("предварительные вопросы "): the two questions asked before
// the two-stage hot and cold method. seFirstSample shows the first-sample
// count; closing hands its value to OnFirstSample.
class TfrmType5 : public TForm {
 public:
  explicit TfrmType5(TComponent* AOwner);
  TSpinEdit* seFirstSample;
  TRadioButton *rbType1, *rbType2;
  TButton* btnOk;
  std::function<void(int)> OnFirstSample;
  void FormClose(TObject* Sender, TCloseAction& Action);
  void btnOkClick(TObject* Sender);
};

extern TfrmType5* frmType5;
