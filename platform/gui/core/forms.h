// TForm: a top-level window with its controls, menu, modal loop and events.
//
// Building a form in code:
//     class TfrmType5 : public TForm {
//     public:
//         explicit TfrmType5(TComponent* AOwner) : TForm(AOwner) {
//             SetName("frmType5");
//             btnOk = new TButton(this, this);  // owner, parent
//             btnOk->SetName("btnOk");
//             OnCreate = [this](TObject*) { ... };
//         }
//         TButton* btnOk;
//     };
//     TfrmType5* f = vx::NewForm<TfrmType5>(owner);   // runs OnCreate
//     Application->CreateForm(frmType5);              // the same, owned by Application
//
// OnCreate runs after the constructor (CreateForm, NewForm or
// AfterConstruction; at the latest before the first Show). OnDestroy runs
// before the form is destroyed (BeforeDestruction), before its components;
// code that deletes a form with an OnDestroy handler calls
// BeforeDestruction() first or uses Release(). Close asks OnCloseQuery, then
// OnClose decides: hide (default), free, or nothing; closing the main form
// terminates the application. ShowModal goes through the dialog service and
// returns the modal result; setting ModalResult ends the modal loop, and a
// modal form closed by the user answers mrCancel.
#pragma once

#include "platform/gui/core/controls.h"

class TMainMenu;
class TWinControl;

namespace vx {
class FormWidget;
}

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  TForm* ParentForm() const override { return const_cast<TForm*>(this); }

  // Runs OnCreate once (CreateForm and NewForm call it).
  void AfterConstruction();
  // Runs OnDestroy once, while the whole form (derived parts included) is
  // still alive. Release, Application->Run's clean-up and the destruction
  // of an owning form call it first; the destructor calls it otherwise.
  void BeforeDestruction();

  void Show();
  TModalResult ShowModal();
  void Close();
  // Destroys the form once the current event has been handled.
  void Release();
  bool CloseQuery();

  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }
  bool Modal() const { return modal_; }
  // One step of ending a modal loop: OnCloseQuery, then OnClose. Returns
  // false (and clears ModalResult) when the form stays open.
  bool CloseModal();

  void SetVisible(bool v) override;

  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool v) { keyPreview_ = v; }
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState v);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition v) { position_ = v; }
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* c);
  bool Active() const;

  TCanvas* Canvas() { return canvas_.get(); }

  int ClientWidth() const override { return width_; }
  int ClientHeight() const override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnPaint;

  QWidget* ClientWidget() const override;

  // Makes this the active form and runs OnActivate (deactivating the previous one).
  void Activate();
  // Enter clicks the Default button, Esc the Cancel button (visible and
  // enabled ones); true when one was clicked.
  virtual bool DialogKey(Word key);

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void CaptionChanged() override;
  void Resized() override;
  bool PaintsBackground() const override { return true; }
  virtual void Paint();
  // The user asked the window to close (title bar button, Alt+F4).
  void CloseRequested();
  void PlaceOnShow();
  // Widens a bordered window, as it is shown, to what its title bar needs
  // to show the whole caption (such windows cannot be resized by the user).
  void FitCaption();
  // Moves the window, as it is shown, so that it lies on the screen's
  // available area (its title bar at least, when it is larger).
  void KeepOnScreen();
  void LayoutFrame();
  int MenuBarHeight() const;

 private:
  friend class vx::FormWidget;
  vx::FormWidget* frame_ = nullptr;
  QWidget* client_ = nullptr;
  TMainMenu* menu_ = nullptr;
  TWinControl* activeControl_ = nullptr;
  std::unique_ptr<TCanvas> canvas_;
  TModalResult modalResult_ = mrNone;
  bool modal_ = false;
  bool created_ = false;
  bool keyPreview_ = false;
  bool destroying_ = false;
  bool destroyed_ = false;
  bool shownOnce_ = false;
  TWindowState windowState_ = wsNormal;
  TFormBorderStyle borderStyle_ = bsSizeable;
  TPosition position_ = poDesigned;
};

namespace vx {
// Creates a form with its owner and runs its OnCreate.
template <typename T, typename... Args>
T* NewForm(Args&&... args) {
  T* form = new T(std::forward<Args>(args)...);
  form->AfterConstruction();
  return form;
}
}  // namespace vx

namespace vx {
// The width a window needs for its title bar to show `caption` whole: the
// caption in the title font (the application's, bold and two points
// larger, as window managers commonly draw it) plus the icon, the three
// title buttons and the margins.
int TitleBarWidth(const AnsiString& caption);
}  // namespace vx
