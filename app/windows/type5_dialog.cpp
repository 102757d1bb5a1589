#include "app/windows/type5_dialog.h"

TfrmType5* frmType5 = nullptr;

TfrmType5::TfrmType5(TComponent* AOwner) : TForm(AOwner) {
  SetName("frmType5");
  SetCaption("предварительные вопросы "_cp);
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetBounds(0, 0, 330, 190);
  SetVisible(false);
  auto label = [this](const char* name, const AnsiString& text, int top) {
    auto* l = new TLabel(this, this);
    l->SetName(name);
    l->SetCaption(text);
    l->SetBounds(10, top, 300, 16);
  };
  label("lblFirstSample", "Сколько номеров выбрать вначале?"_cp, 10);
  seFirstSample = new TSpinEdit(this, this);
  seFirstSample->SetName("seFirstSample");
  seFirstSample->SetBounds(10, 30, 70, 22);
  seFirstSample->SetMinValue(1);
  seFirstSample->SetMaxValue(100);
  seFirstSample->SetValue(18);
  label("lblFirstType", "Какой тип вероятности рассчитать первым?"_cp, 64);
  rbType1 = new TRadioButton(this, this);
  rbType1->SetName("rbType1");
  rbType1->SetCaption("Тип 1"_cp);
  rbType1->SetBounds(10, 86, 100, 20);
  rbType2 = new TRadioButton(this, this);
  rbType2->SetName("rbType2");
  rbType2->SetCaption("Тип 2"_cp);
  rbType2->SetBounds(120, 86, 100, 20);
  rbType1->SetChecked(true);
  btnOk = new TButton(this, this);
  btnOk->SetName("btnOk");
  btnOk->SetCaption("Ok");
  btnOk->SetBounds(120, 120, 80, 25);
  btnOk->OnClick = [this](TObject* s) { btnOkClick(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  frmType5 = this;
  OnDestroy = [this](TObject*) {
    if (frmType5 == this) frmType5 = nullptr;
  };
}

void TfrmType5::FormClose(TObject*, TCloseAction&) {
  if (OnFirstSample) OnFirstSample(seFirstSample->Value());
}

void TfrmType5::btnOkClick(TObject*) {
  if (Modal()) SetModalResult(mrOk);
  else Close();
}
