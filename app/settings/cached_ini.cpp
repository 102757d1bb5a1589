#include "app/settings/cached_ini.h"

#include <algorithm>
#include <vector>

#include "platform/os/program_folder.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/text_lines.h"

namespace {

AnsiString Cut(const AnsiString& s) {
  return s.size() > static_cast<std::size_t>(TCachedIniFile::MaxText) ? s.substr(0, TCachedIniFile::MaxText) : s;
}

}  // namespace

// ---------------------------------------------------------------------------
// TSectionList

TSectionList::~TSectionList() { ClearSections(); }

int TSectionList::FindSection(const AnsiString& name) {
  const int n = Count();
  if (n == 0) return -1;
  if (cursor_ < 0 || cursor_ >= n) cursor_ = 0;
  for (int step = 0; step < n; ++step) {
    const int i = (cursor_ + step) % n;
    if (AnsiCompareText(Strings(i), name) == 0) {
      cursor_ = i;
      return i;
    }
  }
  return -1;
}

int TSectionList::AddSection(const AnsiString& name) {
  cursor_ = AddObject(name, new TStringList);
  return cursor_;
}

TStringList* TSectionList::Lines(int index) const { return static_cast<TStringList*>(Objects(index)); }

void TSectionList::DeleteSection(int index) {
  delete Lines(index);
  Delete(index);
  if (cursor_ >= Count()) cursor_ = 0;
}

void TSectionList::ClearSections() {
  for (int i = 0; i < Count(); ++i) delete Lines(i);
  Clear();
  cursor_ = 0;
}

// ---------------------------------------------------------------------------
// TCachedIniFile

TCachedIniFile::TCachedIniFile(const AnsiString& fileName) : TCustomIniFile("") { SetFileName(fileName); }

TCachedIniFile::~TCachedIniFile() {
  // A destructor must not throw: a file that cannot be written keeps its
  // old contents, and the caller saw the same failure from UpdateFile.
  try {
    UpdateFile();
  } catch (...) {}
}

void TCachedIniFile::SetFileName(const AnsiString& name) {
  UpdateFile();
  sections_.ClearSections();
  // The name is kept whole: Linux paths run longer than 255 characters,
  // and a cut name would write the settings somewhere else.
  SetFileNameField(name);
  modified_ = false;
  // Loading sets the flag when it merged sections, so the merge is written back.
  if (!FileName().empty()) LoadFromFile(FileName());
}

void TCachedIniFile::LoadFromFile(const AnsiString& name) {
  AnsiString bytes;
  if (!FileExists(name) || !vx::ReadFileBytes(name, bytes)) return;
  TStringList* current = nullptr;
  for (const std::string_view text : vx::SplitLines(bytes)) {
    AnsiString line = Cut(AnsiString(text));
    if (line == "\x1A") line.clear();
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
      current = sections_.Lines(sections_.AddSection(line.substr(1, line.size() - 2)));
      continue;
    }
    if (current) current->Add(line);
  }
  sections_.SetCursor(0);
  MergeDuplicates();
}

void TCachedIniFile::MergeDuplicates() {
  const int n = sections_.Count();
  std::vector<int> order(n);
  for (int i = 0; i < n; ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return AnsiCompareText(sections_.Strings(a), sections_.Strings(b)) < 0; });
  std::vector<bool> drop(n, false);
  bool merged = false;
  for (int k = 0; k < n;) {
    int survivor = order[k];
    int j = k + 1;
    for (; j < n && AnsiCompareText(sections_.Strings(order[j]), sections_.Strings(survivor)) == 0; ++j) {
      const int later = order[j];
      bool keepLater = false;
      if (OnDuplicateSection) OnDuplicateSection(this, sections_.Strings(survivor), keepLater);
      if (keepLater) {
        drop[survivor] = true;
        survivor = later;
      } else {
        sections_.Lines(survivor)->AddStrings(*sections_.Lines(later));
        drop[later] = true;
      }
      merged = true;
    }
    k = j;
  }
  for (int i = n - 1; i >= 0; --i)
    if (drop[i]) sections_.DeleteSection(i);
  sections_.SetCursor(0);
  if (merged) modified_ = true;
}

TStringList* TCachedIniFile::SectionLines(const AnsiString& section, bool create) {
  const AnsiString name = Cut(section);
  int i = sections_.FindSection(name);
  if (i < 0) {
    if (!create) return nullptr;
    i = sections_.AddSection(name);
  }
  return sections_.Lines(i);
}

AnsiString TCachedIniFile::ReadString(const AnsiString& section, const AnsiString& key, const AnsiString& def) {
  TStringList* lines = SectionLines(section, false);
  if (!lines) return Cut(def);
  const int i = lines->IndexOfName(Cut(key));
  if (i < 0) return Cut(def);
  return Cut(lines->ValueFromIndex(i));
}

void TCachedIniFile::WriteString(const AnsiString& section, const AnsiString& key, const AnsiString& value) {
  if (key.empty()) {
    if (section.empty() && value.empty()) UpdateFile();
    else EraseSection(section);
    return;
  }
  TStringList* lines = SectionLines(section, true);
  const AnsiString k = Cut(key);
  const AnsiString line = Cut(k + "=" + Cut(value));
  const int i = lines->IndexOfName(k);
  if (i >= 0) {
    if (lines->Strings(i) == line) return;
    lines->SetStrings(i, line);
  } else {
    lines->Add(line);
  }
  modified_ = true;
}

int TCachedIniFile::ReadInteger(const AnsiString& section, const AnsiString& key, int def) {
  AnsiString s = ReadString(section, key, "");
  if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = "$" + s.substr(2);
  if (s.empty()) return def;
  return StrToIntDef(s, def);
}

void TCachedIniFile::WriteInteger(const AnsiString& section, const AnsiString& key, int value) {
  WriteString(section, key, IntToStr(value));
}

bool TCachedIniFile::ReadBool(const AnsiString& section, const AnsiString& key, bool def) {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TCachedIniFile::WriteBool(const AnsiString& section, const AnsiString& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TCachedIniFile::ReadSection(const AnsiString& section, TStrings* strings) {
  TStringList* lines = SectionLines(section, false);
  if (!lines) return;
  for (int i = 0; i < lines->Count(); ++i) {
    const AnsiString line = lines->Strings(i);
    const std::size_t at = line.find('=');
    if (at != AnsiString::npos) strings->Add(line.substr(0, at));
  }
}

void TCachedIniFile::ReadSections(TStrings* strings) {
  strings->Clear();
  for (int i = 0; i < sections_.Count(); ++i) strings->Add(sections_.Strings(i));
}

void TCachedIniFile::ReadSectionValues(const AnsiString& section, TStrings* strings) {
  TStringList* lines = SectionLines(section, false);
  if (lines) strings->AddStrings(*lines);
}

void TCachedIniFile::EraseSection(const AnsiString& section) {
  const int i = sections_.FindSection(Cut(section));
  if (i >= 0) sections_.DeleteSection(i);
  if (sections_.Cursor() >= sections_.Count()) sections_.SetCursor(0);
  modified_ = true;
}

void TCachedIniFile::DeleteKey(const AnsiString& section, const AnsiString& key) {
  TStringList* lines = SectionLines(section, true);
  const int i = lines->IndexOfName(Cut(key));
  if (i < 0) return;
  lines->Delete(i);
  modified_ = true;
}

void TCachedIniFile::GetStrings(TStrings* list) {
  for (int i = 0; i < sections_.Count(); ++i) {
    const TStringList* lines = sections_.Lines(i);
    if (lines->Count() == 0) continue;
    list->Add("[" + sections_.Strings(i) + "]");
    list->AddStrings(*lines);
    list->Add("");
  }
}

void TCachedIniFile::UpdateFile() {
  if (!modified_ || FileName().empty()) return;
  AnsiString text;
  text.reserve(BufferSize);
  for (int i = 0; i < sections_.Count(); ++i) {
    const TStringList* lines = sections_.Lines(i);
    if (lines->Count() == 0) continue;
    text += "[" + sections_.Strings(i) + "]\r\n";
    for (int j = 0; j < lines->Count(); ++j) text += lines->Strings(j) + "\r\n";
    text += "\r\n";
  }
  if (!vx::WriteFileBytes(FileName(), text)) throw EInOutError("Cannot write file " + FileName(), 5);
  modified_ = false;
}

// ---------------------------------------------------------------------------

int TCachedIniFileEx::ReadHexInteger(const AnsiString& section, const AnsiString& key, int def) {
  const AnsiString s = ReadString(section, key, IntToHex(def, 8));
  return StrToInt("$" + s);
}

void TCachedIniFileEx::WriteHexInteger(const AnsiString& section, const AnsiString& key, int value) {
  WriteString(section, key, IntToHex(value, 8));
}

TAppIniFile::TAppIniFile() : TCachedIniFileEx(vx::SettingsFileName()) {}

AnsiString vx::SettingsFileName() { return vx::ProgramFolder() + "Vexamund.ini"; }
