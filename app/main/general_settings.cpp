// Section "General" of the settings file: the main window's state.
//
//   | key                                   | type    | default | source                        |
//   |---------------------------------------|---------|---------|-------------------------------|
//   | FormMaximized_Key                     | Boolean | 0       | window maximised              |
//   | FormLeft_Key, FormTop_Key             | integer | 200,100 | position (written only when   |
//   |                                       |         |         | the window is not maximised)  |
//   | LastOpened_File                       | string  | empty   | recent-file entry, base menu  |
//   | <spin edit>.Value                     | integer | below   | the spin edit's value         |
//   | <check box>.Checked                   | Boolean | below   | the check box                 |
//   | Download_SRV, Output_SRV              | string  | below   | download address and file     |
//   | iFirstSample                          | integer | 20      | first-sample count            |
//   | Active_Page                           | integer | 0       | active page of the page       |
//   |                                       |         |         | control                       |
//
// Booleans are "1"/"0". Reading stops at the first failure; what was read
// until then stays.
#include <vector>

#include "app/main/formmain.h"
#include "app/settings/cached_ini.h"
#include "platform/os/program_folder.h"

namespace {

const char* const kGeneral = "General";

struct Setting {
  const char* key;
  TSpinEdit* spin = nullptr;
  TCheckBox* box = nullptr;
  TEdit* edit = nullptr;
  int defInt = 0;
  bool defBool = false;
  AnsiString defText;
};

Setting Spin(const char* key, TSpinEdit* s, int def) { return Setting{key, s, nullptr, nullptr, def, false, {}}; }
Setting Box(const char* key, TCheckBox* b, bool def) { return Setting{key, nullptr, b, nullptr, 0, def, {}}; }
Setting Text(const char* key, TEdit* e, const AnsiString& def) {
  return Setting{key, nullptr, nullptr, e, 0, false, def};
}

void Read(TCachedIniFile& ini, const Setting& s) {
  if (s.spin) s.spin->SetValue(ini.ReadInteger(kGeneral, s.key, s.defInt));
  if (s.box) s.box->SetChecked(ini.ReadBool(kGeneral, s.key, s.defBool));
  if (s.edit) s.edit->SetText(ini.ReadString(kGeneral, s.key, s.defText));
}

void Write(TCachedIniFile& ini, const Setting& s) {
  if (s.spin) ini.WriteInteger(kGeneral, s.key, s.spin->Value());
  if (s.box) ini.WriteBool(kGeneral, s.key, s.box->Checked());
  if (s.edit) ini.WriteString(kGeneral, s.key, s.edit->Text());
}

// The ranges read while the range check is off.
std::vector<Setting> RangeSettings(TFormMain& f) {
  return {
      Spin("seYearFrom.Value", f.seYearFrom, 2000),
      Spin("seDrawFrom.Value", f.seDrawFrom, 1),
      Spin("seYearTo.Value", f.seYearTo, 2000),
      Spin("seDrawTo.Value", f.seDrawTo, 20),
      Spin("seYearFromCheck.Value", f.seYearFromCheck, 2001),
      Spin("seYearToCheck.Value", f.seYearToCheck, 2001),
      Spin("seDrawFromCheck.Value", f.seDrawFromCheck, 1),
      Spin("seDrawToCheck.Value", f.seDrawToCheck, 20),
      Spin("seYearFromToRes.Value", f.seYearFromToRes, 2002),
      Spin("seYearToToRes.Value", f.seYearToTores, 2002),
      Spin("seDrawFromToRes.Value", f.seDrawFromToRes, 50),
      Spin("seDrawToToRes.Value", f.seDrawToToRes, 50),
      Text("Download_SRV", f.URLEditSrv, "lotto.vexamund.example/lmsurvey/survey.srv"),
      // The program's folder: a fixed Windows folder such as c:\temp need not exist.
      Text("Output_SRV", f.FileNameEditSrv, vx::ProgramFolder() + "survey.srv"),
  };
}

// The conditions and ranges read after the active page.
std::vector<Setting> PageSettings(TFormMain& f) {
  return {
      Spin("speAmountMustBeGreater.Value", f.speAmountMustBeGreater, 100),
      Spin("speAmountMustBeLess.Value", f.speAmountMustBeLess, 120),
      Box("cbxAmountMustBe.Checked", f.cbxAmountMustBe, false),
      Box("cbxAscend.Checked", f.cbxAscend, true),
      Spin("speCointGreater.Value", f.speCointGreater, 0),
      Spin("speCointLess.Value", f.speCointLess, 4),
      Box("cbxCointLess.Checked", f.cbxCointLess, false),
      Spin("speCointGreaterRes.Value", f.speCointGreaterRes, 0),
      Spin("speCointLessRes.Value", f.speCointLessRes, 4),
      Box("cbxCointLessRes.Checked", f.cbxCointLessRes, false),
      Box("cbxRowNumRange.Checked", f.cbxRowNumRange, false),
      Spin("seYearFromDyads.Value", f.seYearFromDyads, 2002),
      Spin("seYearToDyads.Value", f.seYearToDyads, 2002),
      Spin("seDrawFromDyads.Value", f.seDrawFromDyads, 1),
      Spin("seDrawToDyads.Value", f.seDrawToDyads, 20),
      Spin("seYearIndNumber.Value", f.seYearIndNumber, 2002),
      Spin("seDrawIndNumber.Value", f.seDrawIndNumber, 1),
      Box("cbxFiltered.Checked", f.cbxFiltered, false),
      Spin("speYearFilter.Value", f.speYearFilter, 2002),
      Spin("speDrawFilter.Value", f.speDrawFilter, 1),
      Spin("seYearFromTickCheck.Value", f.seYearFromTickCheck, 2002),
      Spin("seDrawFromTickCheck.Value", f.seDrawFromTickCheck, 1),
      Spin("seYearToTickCheck.Value", f.seYearToTickCheck, 2002),
      Spin("seDrawToTickCheck.Value", f.seDrawToTickCheck, 1),
  };
}

}  // namespace

void TFormMain::LoadAll() {
  try {
    TAppIniFile ini;
    if (ini.ReadBool(kGeneral, "FormMaximized_Key", false)) {
      SetWindowState(wsMaximized);
    } else {
      SetLeft(ini.ReadInteger(kGeneral, "FormLeft_Key", 200));
      SetTop(ini.ReadInteger(kGeneral, "FormTop_Key", 100));
    }
    const AnsiString last = ini.ReadString(kGeneral, "LastOpened_File", "");
    if (!last.empty()) SetRecentFile(last);

    RangeCheckEnabled = false;
    for (const Setting& s : RangeSettings(*this)) Read(ini, s);
    FirstSample = ini.ReadInteger(kGeneral, "iFirstSample", 20);
    RangeCheckEnabled = true;

    PageControlMain->SetActivePageIndex(ini.ReadInteger(kGeneral, "Active_Page", 0));
    for (const Setting& s : PageSettings(*this)) Read(ini, s);
  } catch (Exception&) { ShowMessage("Error in TFormMain.LoadAll"); }
}

void TFormMain::SaveAll() {
  try {
    TAppIniFile ini;
    const bool maximised = WindowState() == wsMaximized;
    ini.WriteBool(kGeneral, "FormMaximized_Key", maximised);
    if (!maximised) {
      ini.WriteInteger(kGeneral, "FormTop_Key", Top());
      ini.WriteInteger(kGeneral, "FormLeft_Key", Left());
    }
    const TMenuItem* recent = RecentFileItem();
    ini.WriteString(kGeneral, "LastOpened_File", recent ? recent->Hint() : AnsiString());
    for (const Setting& s : RangeSettings(*this)) Write(ini, s);
    ini.WriteInteger(kGeneral, "iFirstSample", FirstSample);
    ini.WriteInteger(kGeneral, "Active_Page", PageControlMain->ActivePageIndex());
    for (const Setting& s : PageSettings(*this)) Write(ini, s);
    ini.UpdateFile();
  } catch (Exception&) { ShowMessage("Error in TFormMain.SaveAll"); }
}
