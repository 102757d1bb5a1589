// The three dialogs that create a new base: draw base (TfrmNewBase,
// "Новая база"), results base (TfrmNewResBase, "Новая база результатов")
// and tickets base (TfrmNewTickBase, "Новая база билетов"). Table layouts
// and places: base_tables.h.
//
// A new draw base is listed in the options (under the name it was created
// with) and then opened exactly as the base command opens a base: game
// shape, caption, recent-base entry and page controls. Its index is built
// at creation, so the opening finds it. Nothing is created over a table
// that is open in the main window or in the dialog itself.
#pragma once

#include "platform/gui/buttons.h"
#include "platform/gui/forms.h"
#include "platform/gui/spin.h"
#include "platform/gui/stdctrls.h"

class TXBaseDataSet;
class TCreateXBaseDataSet;

// The controls shared by the three dialogs.
class TNewBaseDialog : public TForm {
 public:
  TNewBaseDialog(TComponent* AOwner, const char* name, const AnsiString& caption, bool description);
  TEdit* editNewName;
  TSpinEdit* speNC;
  TSpinEdit* speMC;
  TEdit* edtDescription = nullptr;
  TBitBtn* btnCreate;
};

class TfrmNewBase : public TNewBaseDialog {
 public:
  explicit TfrmNewBase(TComponent* AOwner);
  TXBaseDataSet* NewTable;
  TCreateXBaseDataSet* CreateNewTable;
  // Creates "<name>.dbf" of the draw layout in the program's folder; ask:
  // confirm overwriting an existing file. Leaves NewTable open on success.
  bool CreateBaseTable(const AnsiString& name, int n, bool ask);
  void btnCreateClick(TObject* Sender);
};

class TfrmNewResBase : public TNewBaseDialog {
 public:
  explicit TfrmNewResBase(TComponent* AOwner);
  void btnCreateClick(TObject* Sender);
};

class TfrmNewTickBase : public TNewBaseDialog {
 public:
  explicit TfrmNewTickBase(TComponent* AOwner);
  TXBaseDataSet* NewTable;
  TCreateXBaseDataSet* CreateNewTable;
  // Creates "tickets/<name>.tic" (the folder too when missing).
  bool CreateTickTable(const AnsiString& name, int n, bool ask);
  void btnCreateClick(TObject* Sender);
};

extern TfrmNewBase* frmNewBase;
extern TfrmNewResBase* frmNewResBase;
extern TfrmNewTickBase* frmNewTickBase;
