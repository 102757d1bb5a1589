// TApplication, TScreen and TMouse: the program-wide objects of the class
// library (globals Application, Screen, Mouse).
//
// Application owns the forms made with CreateForm (Components(), in creation
// order); the first becomes MainForm, and closing it ends Run. Run destroys
// the owned forms when the loop ends. ProcessMessages pumps Qt's queue once;
// calls that come less than a few milliseconds apart are coalesced, so a
// tight loop that pumps per record stays fast and still sees a click within
// that time.
//
// HandleException is the default handler every event dispatch reaches: it
// runs OnException when set, else shows the message through the dialog
// service (EAbort shows nothing) and the program goes on.
#pragma once

#include <exception>
#include <functional>
#include <memory>

#include "platform/gui/base/gui_types.h"
#include "platform/rtl/classes.h"

class TForm;
class TBitmap;

using TExceptionEvent = std::function<void(TObject* Sender, Exception& E)>;

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize();
  // Loads Qt's own translation of its standard buttons and dialogs (OK,
  // Cancel, Yes, No, the file dialog) for a language such as "ru"; false
  // (and English texts) when it is not installed.
  bool LoadStandardTranslation(const AnsiString& language);
  const AnsiString& Title() const { return title_; }
  void SetTitle(const AnsiString& v);
  // The running program's full path (as the OS layer resolves it).
  AnsiString ExeName() const;

  // Creates a form owned by the application; the first is the main form.
  template <typename T>
  T* CreateForm() {
    T* form = new T(this);
    RegisterForm(form);
    return form;
  }
  template <typename T>
  void CreateForm(T*& reference) {
    reference = CreateForm<T>();
  }
  TForm* MainForm() const { return mainForm_; }
  void SetMainForm(TForm* form) { mainForm_ = form; }

  // Shows the main form and runs the event loop until it closes or
  // Terminate is called; then destroys the application's forms.
  void Run();
  // Destroys the application's forms, newest first; each hears OnDestroy
  // (BeforeDestruction) first, while all of them are still whole.
  void DestroyForms();
  void ProcessMessages();
  // Pumps at once, however recent the last pump: everything queued by now
  // (input that came while a long task did not pump) is handled.
  void ProcessPendingMessages();
  // Waits for at least one event, then handles what is queued.
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Minimum time between two real pumps of ProcessMessages (default 5 ms; 0 pumps every time).
  void SetPumpInterval(int milliseconds) { pumpIntervalMs_ = milliseconds; }

  const AnsiString& Hint() const { return hint_; }
  void SetHint(const AnsiString& v);
  TNotifyEvent OnHint;
  TExceptionEvent OnException;

  void HandleException(std::exception_ptr error);
  void ShowException(const Exception& e);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void RegisterForm(TForm* form);
  AnsiString title_;
  AnsiString hint_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool running_ = false;
  int pumpIntervalMs_ = 5;
  long long lastPumpNs_ = 0;
};

class TScreen {
 public:
  TCursor Cursor() const { return cursor_; }
  // crDefault restores the controls' own cursors.
  void SetCursor(TCursor v);
  // The program's own cursors (Screen.Cursors), by positive numbers: a
  // picture whose pixels of its top-left pixel's colour are see-through,
  // with its hot spot. Setting a number again replaces its picture.
  void SetCursors(TCursor index, const TBitmap& image, int hotX, int hotY);
  bool HasCursor(TCursor index) const;
  int Width() const;
  int Height() const;
  // The resolution fonts and layouts are made for: 96 on every screen.
  int PixelsPerInch() const { return 96; }
  // Installed font families, sorted.
  TStrings* Fonts();
  TForm* ActiveForm() const;

 private:
  TCursor cursor_ = crDefault;
  std::unique_ptr<TStringList> fonts_;
};

class TMouse {
 public:
  // The pointer position in screen coordinates.
  TPoint CursorPos() const;
  void SetCursorPos(TPoint p);
};

extern TApplication* Application;
extern TScreen* Screen;
extern TMouse* Mouse;
