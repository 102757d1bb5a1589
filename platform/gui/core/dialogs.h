// Message boxes and the common dialogs, all through one replaceable dialog
// service.
//
// Every modal interaction — ShowMessage, MessageDlg, the Execute of the open,
// save, font, colour and print dialogs, TForm::ShowModal and the default
// exception message — becomes a vx::DialogRequest handed to vx::Dialogs().
// The real service shows Qt dialogs; vx::ScriptedDialogs answers from a
// script in tests, records every request, and reports a dialog nobody
// expected through OnFailure instead of waiting for a user.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/base/component_props.h"
#include "platform/gui/draw/graphics.h"
#include "platform/gui/base/gui_types.h"

class TForm;
class TCommonDialog;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};

namespace vx {

enum class DialogKind { Message, Exception, Open, Save, Font, Color, Print, Modal };

const char* DialogKindName(DialogKind kind);

struct DialogRequest {
  DialogKind Kind = DialogKind::Message;
  AnsiString Text;  // the message, or the dialog's title / the form's caption
  TMsgDlgType Type = mtCustom;
  TMsgDlgButtons Buttons;
  TCommonDialog* Dialog = nullptr;  // Open, Save, Font, Color, Print
  TForm* Form = nullptr;            // Modal
};

// Run returns: for a message, the modal result of the button chosen (mrOk ...);
// for a common dialog, 1 when executed and 0 when cancelled (the dialog's
// properties hold the choice); for Modal, the form's modal result once it
// may close.
class DialogService {
 public:
  virtual ~DialogService() = default;
  virtual int Run(DialogRequest& request) = 0;
};

// The service in use (the Qt one unless replaced).
DialogService& Dialogs();
// Installs a service; nullptr goes back to the Qt one. Returns the previous.
DialogService* SetDialogService(DialogService* service);

// Answers dialogs from a script, in order. Each expectation names the kind
// and a part of the text (empty matches any text) and either a fixed answer
// or an action that sets the dialog's properties or drives the modal form.
// Installs itself on construction and puts the previous service back on
// destruction.
class ScriptedDialogs : public DialogService {
 public:
  using Action = std::function<int(DialogRequest&)>;

  ScriptedDialogs();
  ~ScriptedDialogs() override;

  ScriptedDialogs& Expect(DialogKind kind, const AnsiString& textPart, int answer);
  ScriptedDialogs& Expect(DialogKind kind, const AnsiString& textPart, Action action);
  // An open or save dialog that picks fileName.
  ScriptedDialogs& ExpectFile(DialogKind kind, const AnsiString& fileName);

  int Run(DialogRequest& request) override;

  // Every request seen, in order.
  struct Seen {
    DialogKind Kind;
    AnsiString Text;
    TMsgDlgType Type;
  };
  std::vector<Seen> Log;
  // True when every expectation has been used.
  bool Done() const { return script_.empty(); }
  int Pending() const { return static_cast<int>(script_.size()); }
  // Called for an unexpected dialog (default: print and abort, so a test
  // fails rather than hangs). The dialog is then answered as cancelled.
  std::function<void(const std::string&)> OnFailure;

 private:
  struct Step {
    DialogKind kind;
    AnsiString textPart;
    Action action;
  };
  std::deque<Step> script_;
  DialogService* previous_;
};

}  // namespace vx

void ShowMessage(const AnsiString& text);
int MessageDlg(const AnsiString& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);

// ---------------------------------------------------------------------------

class TCommonDialog : public TComponent, public vx::StringProperties {
 public:
  explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
  virtual bool Execute();
  const AnsiString& Title() const { return title_; }
  void SetTitle(const AnsiString& v) { title_ = v; }
  virtual vx::DialogKind Kind() const = 0;

  bool SetStringProperty(const AnsiString& name, const AnsiString& value) override;
  std::optional<AnsiString> GetStringProperty(const AnsiString& name) const override;

 private:
  AnsiString title_;
};

enum TOpenOption {
  ofReadOnly,
  ofOverwritePrompt,
  ofHideReadOnly,
  ofNoChangeDir,
  ofShowHelp,
  ofNoValidate,
  ofAllowMultiSelect,
  ofExtensionDifferent,
  ofPathMustExist,
  ofFileMustExist,
  ofCreatePrompt,
  ofShareAware,
  ofNoReadOnlyReturn,
  ofNoTestFileCreate,
  ofNoNetworkButton,
  ofNoLongNames,
  ofOldStyleDialog,
  ofNoDereferenceLinks,
  ofEnableIncludeNotify,
  ofEnableSizing
};
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TCommonDialog {
 public:
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;
  vx::DialogKind Kind() const override { return vx::DialogKind::Open; }

  // "Description|*.ext|All Files|*.*"
  const AnsiString& Filter() const { return filter_; }
  void SetFilter(const AnsiString& v) { filter_ = v; }
  // 1-based; read back after Execute.
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int v) { filterIndex_ = v; }
  const AnsiString& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const AnsiString& v) { defaultExt_ = v; }
  const AnsiString& FileName() const { return fileName_; }
  void SetFileName(const AnsiString& v) { fileName_ = v; }
  const AnsiString& InitialDir() const { return initialDir_; }
  void SetInitialDir(const AnsiString& v) { initialDir_ = v; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions v) { options_ = v; }
  TStrings* Files() { return files_.get(); }

  // The filter as (description, patterns) pairs.
  std::vector<std::pair<AnsiString, AnsiString>> FilterPairs() const;
  // fileName with DefaultExt added when it has no extension.
  AnsiString WithDefaultExt(const AnsiString& fileName) const;

  bool SetStringProperty(const AnsiString& name, const AnsiString& value) override;
  std::optional<AnsiString> GetStringProperty(const AnsiString& name) const override;

 private:
  AnsiString filter_, defaultExt_, fileName_, initialDir_;
  int filterIndex_ = 1;
  TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
  std::unique_ptr<TStringList> files_;
};

class TSaveDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;
  vx::DialogKind Kind() const override { return vx::DialogKind::Save; }
};

class TFontDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  vx::DialogKind Kind() const override { return vx::DialogKind::Font; }
  TFont* Font() { return &font_; }

 private:
  TFont font_;
};

class TColorDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  vx::DialogKind Kind() const override { return vx::DialogKind::Color; }
  TColor Color() const { return color_; }
  void SetColor(TColor v) { color_ = v; }

 private:
  TColor color_ = clBlack;
};

enum TPrintRange { prAllPages, prSelection, prPageNums };
enum TPrintDialogOption { poPrintToFile, poPageNums, poSelection, poWarning, poHelp, poDisablePrintToFile };
using TPrintDialogOptions = TSet<TPrintDialogOption>;

class TPrintDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  vx::DialogKind Kind() const override { return vx::DialogKind::Print; }
  int FromPage() const { return fromPage_; }
  void SetFromPage(int v) { fromPage_ = v; }
  int ToPage() const { return toPage_; }
  void SetToPage(int v) { toPage_ = v; }
  int MinPage() const { return minPage_; }
  void SetMinPage(int v) { minPage_ = v; }
  int MaxPage() const { return maxPage_; }
  void SetMaxPage(int v) { maxPage_ = v; }
  int Copies() const { return copies_; }
  void SetCopies(int v) { copies_ = v; }
  TPrintRange PrintRange() const { return printRange_; }
  void SetPrintRange(TPrintRange v) { printRange_ = v; }
  TPrintDialogOptions Options() const { return options_; }
  void SetOptions(TPrintDialogOptions v) { options_ = v; }

 private:
  int fromPage_ = 0, toPage_ = 0, minPage_ = 0, maxPage_ = 0, copies_ = 1;
  TPrintRange printRange_ = prAllPages;
  TPrintDialogOptions options_;
};
