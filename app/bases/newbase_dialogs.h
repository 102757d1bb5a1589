// The three dialogs that create a new base: draw base (TfrmNewBase,
// "Новая база"), results base (TfrmNewResBase, "Новая база результатов")
// and tickets base (TfrmNewTickBase, "Новая база билетов"). Table layouts
// and places: base_tables.h.
//
// A new draw base is listed in the options (under the name it was created
// with) and then handed to OnBaseCreated, where the main window opens it
// exactly as its base command opens a base: game shape, caption,
// recent-base entry and page controls. Its index is built at creation, so
// the opening finds it. The results and tickets dialogs hand their new
// table to OnBaseCreated as well. Nothing is created over a table that
// TableInUse reports open, nor over the dialog's own.
#pragma once

#include <functional>

#include "platform/gui/controls/buttons.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/controls/spin.h"
#include "platform/gui/controls/stdctrls.h"

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
  // Set by the window that shows the dialog: whether `path` is a table it
  // has open, and what to do with the table just created (full path).
  std::function<bool(const AnsiString& path)> TableInUse;
  std::function<void(const AnsiString& path)> OnBaseCreated;
  // Esc closes the dialog as its title-bar button does: it has no Cancel
  // button to press.
  bool DialogKey(Word key) override;
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
