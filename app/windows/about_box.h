// TAboutBox ("About Vexamund"): the program's name and version, two lines
// about it and a link to its home page. It is shown modally, centred on
// the main window but never above the main window's top, and is not
// translated. Clicking the link opens its address with the shell; the
// link turns lime under the mouse and blue again when the mouse leaves.
#pragma once

#include <functional>

#include "platform/gui/controls/extctrls.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/controls/stdctrls.h"

class TAboutBox : public TForm {
 public:
  explicit TAboutBox(TComponent* AOwner);

  TImage* ProgramIcon;
  TLabel *Label5, *Label1, *Label2;
  TGroupBox* GroupBox1;
  TLabel *Label3, *Label4;
  TButton* OKButton;

  void FormShow(TObject* Sender);
  // Centres the box on `mainWindow` (the application's main form when null).
  void SetFormPosition(TForm* mainWindow = nullptr);
  void Label3Click(TObject* Sender);
  void Label3MouseEnter(TObject* Sender);
  void Label3MouseLeave(TObject* Sender);
};

namespace vx {
// Opens a web address the way the shell's "open" verb does (the default
// browser); only http and https addresses are opened. Tests replace it.
extern std::function<void(const AnsiString& address)> OpenWebAddress;
}  // namespace vx
