// Translation: language files, the message look-up and the template writer.
//
// Language file ("*.lng", CP1251, INI syntax, read with TCachedIniFile):
//
//   | section        | key                                  | value                      |
//   |----------------|--------------------------------------|----------------------------|
//   | [TRANSLATIONS] | Form.Property                        | new text of the window's   |
//   |                |                                      | own property               |
//   |                | Form.Component.Property              | new text of a component's  |
//   |                |                                      | property (Caption, Hint,   |
//   |                |                                      | Text, Items, Lines)        |
//   | [Messages]     | a default message text, exactly      | the translated message     |
//
// The template writer names the first section "Translations" (sections
// compare without regard to case) and writes Caption, Hint and Text.
//
// Neither the writer nor the applier touches components without a name
// (keys like "Form..Caption" are ignored), nor the Text of edits whose
// content is a saved setting (download address and file, draw cost), nor the
// Text of spin edits (their value is a setting too): a language file never
// overwrites what the user set.
//
// The chosen file is remembered in the settings file, section "Language",
// key = the name of the window that asked ("frmLang", "frmDuzediv").
#pragma once

#include <memory>

#include "platform/gui/core/dialogs.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/controls/stdctrls.h"

class TCachedIniFile;

// Holds the current language file and answers message look-ups from it.
class TjanLanguage : public TComponent {
 public:
  explicit TjanLanguage(TComponent* AOwner);
  ~TjanLanguage() override;

  // Empty when no language file is in use.
  const AnsiString& LanguageFile() const { return file_; }
  void SetLanguageFile(const AnsiString& file);
  // The value of `text` in section "Messages"; false when there is none
  // (no file, unreadable file, no section or no key).
  bool Translate(const AnsiString& text, AnsiString& result);

 private:
  AnsiString file_;
  std::unique_ptr<TCachedIniFile> cache_;
  int cacheAge_ = -1;
};

// The hidden language window, created last at start-up.
class TfrmLang : public TForm {
 public:
  explicit TfrmLang(TComponent* AOwner);

  TjanLanguage* janLanguage = nullptr;
  TOpenDialog* OpenDialogLang;
  TButton* btnSaveLang;

  // Applies the remembered language file, or asks for one.
  void FormCreate(TObject* Sender);
  // result := the translation of text, or text itself; never fails.
  void GetMessageText(const AnsiString& text, AnsiString& result);
  // Lets the user pick a language file; the choice is remembered under
  // the key `askingWindow` and applied. Cancelling changes nothing.
  void ChooseLanguage(const AnsiString& askingWindow = "frmLang");
  // The question "Choose language" and then the chooser; both at most
  // once per run (later calls do nothing and return false).
  bool AskForLanguage(const AnsiString& askingWindow);
  // Writes the template "Language.lng" into the program's folder.
  void btnSaveLangClick(TObject* Sender);
};

extern TfrmLang* frmLang;

// Applies section "TRANSLATIONS" of the file to the application's windows.
// A missing or unreadable file changes nothing.
void ApplyLanguageFile(const AnsiString& file);

namespace vx {

// The translated text (the text itself while no language window exists).
AnsiString Tr(const AnsiString& text);
// Writes the template of every application window into `fileName`.
void WriteLanguageTemplate(const AnsiString& fileName);
// True for components whose Text is a saved setting.
bool IsSettingText(const AnsiString& formName, const AnsiString& componentName);
// Sets one translated property; false when it is skipped.
bool ApplyTranslation(TComponent* component, const AnsiString& formName, const AnsiString& property,
                      const AnsiString& value);
// Forgets that the language question was asked (tests start a new "run").
void ResetLanguageQuestion();

}  // namespace vx
