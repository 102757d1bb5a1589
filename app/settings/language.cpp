#include "app/settings/language.h"

#include "app/settings/cached_ini.h"
#include "platform/gui/core/application.h"
#include "platform/gui/controls/spin.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"

TfrmLang* frmLang = nullptr;

namespace {

bool languageQuestionAsked = false;

const char* const kTranslations = "TRANSLATIONS";

// Components whose Text holds a saved setting.
struct SettingText {
  const char* form;
  const char* component;
};
constexpr SettingText kSettingTexts[] = {
    {"FormMain", "URLEditSrv"},   {"FormMain", "FileNameEditSrv"}, {"FormMain", "URLEdit"},
    {"FormMain", "FileNameEdit"}, {"frmOptions", "edtDrawCost"},
};

// Edits and combo boxes publish their Text; other controls (spin edits
// included) do not.
bool PublishesText(const TComponent* c) { return dynamic_cast<const TEdit*>(c) || dynamic_cast<const TComboBox*>(c); }

AnsiString StringProperty(const TComponent* c, const char* property) {
  return vx::GetComponentString(c, property).value_or(AnsiString());
}

}  // namespace

// ---------------------------------------------------------------------------
// TjanLanguage

TjanLanguage::TjanLanguage(TComponent* AOwner) : TComponent(AOwner) {}

TjanLanguage::~TjanLanguage() = default;

void TjanLanguage::SetLanguageFile(const AnsiString& file) {
  file_ = file;
  cache_.reset();
  cacheAge_ = -1;
}

bool TjanLanguage::Translate(const AnsiString& text, AnsiString& result) {
  if (file_.empty()) return false;
  const int age = FileAge(file_);
  if (age == -1) return false;
  if (!cache_ || age != cacheAge_) {
    // Loaded without a file name, so the language file is never rewritten.
    auto ini = std::make_unique<TCachedIniFile>("");
    ini->LoadFromFile(file_);
    cache_ = std::move(ini);
    cacheAge_ = age;
  }
  const AnsiString missing("\x01");
  const AnsiString value = cache_->ReadString("Messages", text, missing);
  if (value == missing) return false;
  result = value;
  return true;
}

// ---------------------------------------------------------------------------
// TfrmLang

TfrmLang::TfrmLang(TComponent* AOwner) : TForm(AOwner) {
  SetName("frmLang");
  SetCaption("Язык"_cp);
  SetBounds(0, 0, 240, 90);
  SetVisible(false);
  OpenDialogLang = new TOpenDialog(this);
  OpenDialogLang->SetName("OpenDialogLang");
  btnSaveLang = new TButton(this, this);
  btnSaveLang->SetName("btnSaveLang");
  btnSaveLang->SetCaption("Сохранить шаблон"_cp);
  btnSaveLang->SetBounds(40, 30, 160, 25);
  btnSaveLang->OnClick = [this](TObject* s) { btnSaveLangClick(s); };
  frmLang = this;
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnDestroy = [this](TObject*) {
    if (frmLang == this) frmLang = nullptr;
  };
}

void TfrmLang::FormCreate(TObject*) {
  janLanguage = new TjanLanguage(this);
  janLanguage->SetName("janLanguage");
  AnsiString path;
  try {
    TAppIniFile ini;
    path = ini.ReadString("Language", "frmLang", "");
  } catch (Exception&) { path.clear(); }
  if (!path.empty() && FileExists(path)) {
    janLanguage->SetLanguageFile(path);
    ApplyLanguageFile(path);
  } else {
    AskForLanguage("frmLang");
  }
}

void TfrmLang::GetMessageText(const AnsiString& text, AnsiString& result) {
  result = text;
  try {
    AnsiString translated;
    if (janLanguage && janLanguage->Translate(text, translated)) result = translated;
  } catch (...) { result = text; }
}

bool TfrmLang::AskForLanguage(const AnsiString& askingWindow) {
  if (languageQuestionAsked) return false;
  languageQuestionAsked = true;
  MessageDlg("Choose language", mtConfirmation, TMsgDlgButtons{mbOK});
  ChooseLanguage(askingWindow);
  return true;
}

void TfrmLang::ChooseLanguage(const AnsiString& askingWindow) {
  OpenDialogLang->SetInitialDir(vx::ProgramFolder());
  OpenDialogLang->SetFilter("Language Files |*.lng");
  if (!OpenDialogLang->Execute()) return;
  const AnsiString path = OpenDialogLang->FileName();
  if (path.empty()) return;
  {
    TAppIniFile ini;
    ini.WriteString("Language", askingWindow, path);
  }
  if (SameText(askingWindow, "frmLang")) janLanguage->SetLanguageFile(path);
  ApplyLanguageFile(path);
}

void TfrmLang::btnSaveLangClick(TObject*) { vx::WriteLanguageTemplate(vx::ProgramFolder() + "Language.lng"); }

// ---------------------------------------------------------------------------

bool vx::IsSettingText(const AnsiString& formName, const AnsiString& componentName) {
  for (const auto& s : kSettingTexts)
    if (SameText(formName, s.form) && SameText(componentName, s.component)) return true;
  return false;
}

bool vx::ApplyTranslation(TComponent* component, const AnsiString& formName, const AnsiString& property,
                          const AnsiString& value) {
  if (!component) return false;
  if (SamePropertyName(property, "Text")) {
    if (!PublishesText(component) || IsSettingText(formName, component->Name())) return false;
  }
  return SetComponentString(component, property, value);
}

void ApplyLanguageFile(const AnsiString& file) {
  if (file.empty() || !FileExists(file) || !Application) return;
  TStringList lines;
  try {
    TCachedIniFile ini("");
    ini.LoadFromFile(file);
    ini.ReadSectionValues(kTranslations, &lines);
  } catch (Exception&) { return; }
  for (int i = 0; i < lines.Count(); ++i) {
    const AnsiString line = lines.Strings(i);
    const std::size_t eq = line.find('=');
    if (eq == AnsiString::npos) continue;
    const AnsiString key = line.substr(0, eq);
    const AnsiString value = line.substr(eq + 1);
    const std::size_t dot = key.find('.');
    if (dot == AnsiString::npos) continue;
    const AnsiString formName = key.substr(0, dot);
    const AnsiString rest = key.substr(dot + 1);
    AnsiString componentName, property;
    const std::size_t dot2 = rest.find('.');
    if (dot2 == AnsiString::npos) {
      property = rest;
    } else {
      componentName = rest.substr(0, dot2);
      property = rest.substr(dot2 + 1);
      // "Form..Caption" names no component: not the window's own caption.
      if (componentName.empty()) continue;
    }
    if (property.empty()) continue;
    for (TComponent* c : Application->Components()) {
      auto* form = dynamic_cast<TForm*>(c);
      if (!form || !SameText(form->Name(), formName)) continue;
      TComponent* target = componentName.empty() ? form : form->FindComponent(componentName);
      vx::ApplyTranslation(target, form->Name(), property, value);
    }
  }
}

void vx::WriteLanguageTemplate(const AnsiString& fileName) {
  TCachedIniFile ini(fileName);
  const AnsiString section = "Translations";
  for (TComponent* c : Application->Components()) {
    auto* form = dynamic_cast<TForm*>(c);
    if (!form || form->Name().empty()) continue;
    const AnsiString formName = form->Name();
    if (!form->Caption().empty() && form->Caption() != "-")
      ini.WriteString(section, formName + ".Caption", form->Caption());
    for (TComponent* part : form->Components()) {
      if (part->Name().empty()) continue;
      const AnsiString prefix = formName + "." + part->Name();
      const AnsiString caption = StringProperty(part, "Caption");
      if (!caption.empty() && caption != "-") ini.WriteString(section, prefix + ".Caption", caption);
      const AnsiString hint = StringProperty(part, "Hint");
      if (!hint.empty()) ini.WriteString(section, prefix + ".Hint", hint);
      if (PublishesText(part) && !IsSettingText(formName, part->Name())) {
        const AnsiString text = StringProperty(part, "Text");
        if (!text.empty()) ini.WriteString(section, prefix + ".Text", text);
      }
    }
  }
  ini.UpdateFile();
}

AnsiString vx::Tr(const AnsiString& text) {
  AnsiString result = text;
  if (frmLang) frmLang->GetMessageText(text, result);
  return result;
}

void vx::ResetLanguageQuestion() { languageQuestionAsked = false; }
