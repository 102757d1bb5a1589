#include "app/windows/about_box.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/gui/core/application.h"
#include "platform/gui/core/control_placing.h"

std::function<void(const AnsiString&)> vx::OpenWebAddress = [](const AnsiString& address) {
  const QUrl url(QString::fromLatin1(address.c_str()));
  if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) QDesktopServices::openUrl(url);
};

namespace {

// The program's icon: six numbered balls on a blue ground.
void DrawIcon(TImage* image) {
  TCanvas* c = image->Canvas();
  c->Brush()->SetColor(RGB(0, 64, 160));
  c->FillRect(Rect(0, 0, 48, 48));
  const TColor colours[] = {clRed, clYellow, clLime, clAqua, clFuchsia, clWhite};
  for (int i = 0; i < 6; ++i) {
    const int x = 3 + (i % 3) * 15, y = 8 + (i / 3) * 18;
    c->Brush()->SetColor(colours[i]);
    c->Pen()->SetColor(clBlack);
    c->Ellipse(x, y, x + 13, y + 13);
  }
}

}  // namespace

TAboutBox::TAboutBox(TComponent* AOwner) : TForm(AOwner) {
  SetName("AboutBox");
  SetCaption("About Vexamund");
  SetBorderStyle(bsDialog);
  SetBounds(0, 0, 340, 270);
  SetVisible(false);
  ProgramIcon = vx::Placed(new TImage(this, this), "ProgramIcon", 146, 12, 48, 48);
  ProgramIcon->SetCenter(true);
  DrawIcon(ProgramIcon);
  Label5 = vx::Placed(new TLabel(this, this), "Label5", 20, 70, 300, 18);
  Label5->SetCaption("Vexamund ver. 3.5");
  Label5->Font()->SetStyle({fsBold});
  Label1 = vx::Placed(new TLabel(this, this), "Label1", 20, 94, 300, 16);
  Label1->SetCaption("Keeps a number lottery's draws and analyses them.");
  Label2 = vx::Placed(new TLabel(this, this), "Label2", 20, 112, 300, 16);
  Label2->SetCaption("Free to use and to pass on.");
  for (TLabel* l : {Label5, Label1, Label2}) {
    l->SetAutoSize(false);
    // The caption shrank the label to its text while it still sized
    // itself; centred text needs the whole line.
    l->SetWidth(300);
    l->SetAlignment(taCenter);
  }
  GroupBox1 = vx::Placed(new TGroupBox(this, this), "GroupBox1", 20, 138, 300, 72);
  GroupBox1->SetCaption("");
  Label4 = vx::Placed(new TLabel(this, GroupBox1), "Label4", 12, 18, 276, 16);
  Label4->SetCaption("News, help and new versions:");
  Label3 = vx::Placed(new TLabel(this, GroupBox1), "Label3", 12, 40, 276, 16);
  Label3->SetCaption("https://www.example.org/vexamund");
  Label3->SetCursor(crHandPoint);
  Label3->Font()->SetColor(clBlue);
  Label3->Font()->SetStyle({fsUnderline});
  OKButton = vx::Placed(new TButton(this, this), "OKButton", 132, 222, 75, 25);
  OKButton->SetCaption("OK");
  OKButton->SetDefault(true);
  OKButton->SetCancel(true);
  OKButton->SetModalResult(mrCancel);

  OnShow = [this](TObject* s) { FormShow(s); };
  Label3->OnClick = [this](TObject* s) { Label3Click(s); };
  Label3->OnMouseEnter = [this](TObject* s) { Label3MouseEnter(s); };
  Label3->OnMouseLeave = [this](TObject* s) { Label3MouseLeave(s); };
}

void TAboutBox::FormShow(TObject*) { SetFormPosition(); }

void TAboutBox::SetFormPosition(TForm* mainWindow) {
  if (!mainWindow) mainWindow = Application->MainForm();
  if (!mainWindow) return;
  const int left = mainWindow->Left() + (mainWindow->Width() - Width()) / 2;
  int top = mainWindow->Top() + (mainWindow->Height() - Height()) / 2;
  if (top < mainWindow->Top()) top = mainWindow->Top();
  SetBounds(left, top, Width(), Height());
}

void TAboutBox::Label3Click(TObject*) {
  if (vx::OpenWebAddress) vx::OpenWebAddress(Label3->Caption());
}

void TAboutBox::Label3MouseEnter(TObject*) { Label3->Font()->SetColor(RGB(0, 255, 0)); }

void TAboutBox::Label3MouseLeave(TObject*) { Label3->Font()->SetColor(RGB(0, 0, 255)); }
