// Shows a form with one control of each kind under a real X server (Xvfb)
// and saves it as a PNG, the artefact a reviewer looks at. Fails when the
// window cannot be captured or Cyrillic captions would not render.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/gui/core/actions.h"
#include "platform/gui/core/application.h"
#include "platform/gui/controls/buttons.h"
#include "platform/gui/controls/comctrls.h"
#include "platform/gui/controls/extctrls.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/input_simulation.h"
#include "platform/gui/core/menus.h"
#include "platform/gui/controls/spin.h"
#include "platform/gui/controls/stdctrls.h"
#include "platform/rtl/codepages.h"

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "FAILED: %s\n", what);
    ++failures;
  }
}

class TfrmShowcase : public TForm {
 public:
  explicit TfrmShowcase(TComponent* AOwner) : TForm(AOwner) {
    SetName("frmShowcase");
    SetCaption("Вексамун — все элементы"_cp);
    SetBounds(0, 0, 640, 480);

    auto* menu = new TMainMenu(this);
    SetMenu(menu);
    for (const char* caption : {"&База", "&Редактирование", "&Настройка"}) {
      auto* item = new TMenuItem(this);
      item->SetCaption(vx::Utf8ToCp1251(caption));
      menu->Items()->Add(item);
    }

    auto* tools = new TToolBar(this, this);
    tools->SetShowCaptions(true);
    tools->SetButtonWidth(70);
    for (const char* caption : {"Открыть", "Сохранить"}) {
      auto* b = new TToolButton(this, tools);
      b->SetCaption(vx::Utf8ToCp1251(caption));
    }

    status = new TStatusBar(this, this);
    status->AddPanel()->Text = "Готово"_cp;
    status->Panels(0)->Width = 200;
    status->AddPanel()->Text = "6 из 49"_cp;

    pages = new TPageControl(this, this);
    pages->SetBounds(8, 36, 620, 380);
    auto* tsMain = new TTabSheet(this, pages);
    tsMain->SetCaption("Вероятность"_cp);
    auto* tsOther = new TTabSheet(this, pages);
    tsOther->SetCaption("Статистика"_cp);

    label = new TLabel(this, tsMain);
    label->SetCaption("Горячие числа: ЁЖЩЪЫ"_cp);
    label->SetBounds(8, 8, 200, 16);
    label->Font()->SetColor(RGB(0, 128, 0));

    auto* edit = new TEdit(this, tsMain);
    edit->SetBounds(8, 30, 150, 21);
    edit->SetText("Текст"_cp);
    auto* spin = new TSpinEdit(this, tsMain);
    spin->SetBounds(170, 30, 80, 22);
    spin->SetMinValue(1);
    spin->SetMaxValue(81);
    spin->SetValue(49);
    auto* combo = new TComboBox(this, tsMain);
    combo->SetBounds(260, 30, 120, 21);
    combo->Items()->SetText("Первый\r\nВторой\r\n"_cp);
    combo->SetItemIndex(0);

    auto* button = new TButton(this, tsMain);
    button->SetBounds(8, 60, 100, 25);
    button->SetCaption("Горячие"_cp);
    auto* bitbtn = new TBitBtn(this, tsMain);
    bitbtn->SetBounds(116, 60, 100, 25);
    bitbtn->SetKind(bkOK);
    auto* speed = new TSpeedButton(this, tsMain);
    speed->SetBounds(224, 60, 60, 25);
    speed->SetCaption("Стоп"_cp);

    auto* check = new TCheckBox(this, tsMain);
    check->SetBounds(8, 95, 160, 17);
    check->SetCaption("По возрастанию"_cp);
    check->SetChecked(true);
    auto* group = new TGroupBox(this, tsMain);
    group->SetBounds(180, 90, 200, 70);
    group->SetCaption("Тип"_cp);
    auto* r1 = new TRadioButton(this, group);
    r1->SetBounds(8, 20, 150, 17);
    r1->SetCaption("Первый тип"_cp);
    r1->SetChecked(true);
    auto* r2 = new TRadioButton(this, group);
    r2->SetBounds(8, 42, 150, 17);
    r2->SetCaption("Второй тип"_cp);

    auto* memo = new TMemo(this, tsMain);
    memo->SetBounds(8, 170, 180, 80);
    memo->Lines()->Add("1 in array");
    memo->Lines()->Add("Строка два"_cp);
    auto* list = new TListBox(this, tsMain);
    list->SetBounds(196, 170, 120, 80);
    list->Items()->SetText("6 из 49\r\n5 из 36\r\n6 из 45\r\n"_cp);
    list->SetItemIndex(1);

    auto* panel = new TPanel(this, tsMain);
    panel->SetBounds(324, 170, 140, 40);
    panel->SetCaption("Панель"_cp);
    auto* bevel = new TBevel(this, tsMain);
    bevel->SetBounds(324, 215, 140, 35);
    auto* paint = new TPaintBox(this, tsMain);
    paint->SetBounds(472, 170, 130, 80);
    paint->OnPaint = [paint](TObject*) {
      TCanvas* c = paint->Canvas();
      c->Brush()->SetColor(clYellow);
      c->Pen()->SetColor(clBlack);
      c->Rectangle(0, 0, 130, 80);
      c->Brush()->SetColor(clRed);
      c->Ellipse(10, 10, 60, 60);
      c->Polygon({Point(70, 70), Point(120, 70), Point(95, 15)});
      c->Brush()->SetStyle(bsClear);
      c->TextOut(10, 62, "Холст"_cp);
    };
    auto* image = new TImage(this, tsMain);
    image->SetBounds(472, 260, 40, 40);
    TCanvas* ic = image->Canvas();
    ic->Brush()->SetColor(clNavy);
    ic->FillRect(Rect(0, 0, 40, 40));

    auto* scroll = new TScrollBar(this, tsMain);
    scroll->SetBounds(8, 260, 200, 17);
    scroll->SetPosition(30);
    auto* vscroll = new TScrollBar(this, tsMain);
    vscroll->SetKind(sbVertical);
    vscroll->SetBounds(580, 260, 17, 80);
    progress = new TProgressBar(this, tsMain);
    progress->SetBounds(8, 285, 200, 16);
    progress->SetPosition(60);
  }

  TLabel* label;
  TPageControl* pages;
  TStatusBar* status;
  TProgressBar* progress;
};

}  // namespace

int main(int argc, char** argv) {
  const std::string out = argc > 1 ? argv[1] : "screenshot.png";
  std::filesystem::create_directories(std::filesystem::path(out).parent_path().empty()
                                          ? std::filesystem::path(".")
                                          : std::filesystem::path(out).parent_path());
  Application->Initialize();
  Application->SetTitle("Vexamund");
  TfrmShowcase* form = nullptr;
  Application->CreateForm(form);
  form->Show();
  for (int i = 0; i < 50; ++i) Application->ProcessMessages();

  TFont russian;
  Check(vx::FontDrawsText(russian, "Горячие числа: ЁЖЩЪЫ ёжщъы №"_cp), "the default font draws Cyrillic");
  TFont sans;
  sans.SetName("MS Sans Serif");
  Check(vx::FontDrawsText(sans, "Вексамун"_cp), "MS Sans Serif maps to a font with Cyrillic");
  Check(vx::InkCoverage(form->label, clBtnFace) > 0.02, "the Cyrillic label shows ink");
  Check(vx::SaveScreenshot(form, out), "the screenshot is written");
  Check(std::filesystem::exists(out) && std::filesystem::file_size(out) > 1000, "the screenshot has content");
  std::printf("screenshot: %s\n", out.c_str());
  form->Close();  // the main form: ends the program
  Check(Application->Terminated(), "closing the main form terminates");
  return failures == 0 ? 0 : 1;
}
