#include "platform/rtl/inifiles.h"

#include <vector>

#include "platform/rtl/codepages.h"
#include "platform/rtl/filebytes.h"
#include "platform/rtl/text_lines.h"

namespace {

bool SameName(const AnsiString& a, const AnsiString& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (vx::Cp1251Upper(static_cast<unsigned char>(a[i])) != vx::Cp1251Upper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The file as lines, with the structure found in them.
struct Profile {
  struct Line {
    AnsiString text;
    int kind = 0;      // 0 other, 1 section header, 2 key
    AnsiString name;   // section or key name
    AnsiString value;  // key value, trimmed and unquoted
  };
  std::vector<Line> lines;

  void Parse(const AnsiString& bytes) {
    // An editor's UTF-8 mark before the first line: that line is still
    // read, and kept as it was when the file is rewritten.
    const bool marked = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    for (const std::string_view text : vx::SplitLines(bytes)) {
      if (marked && lines.empty()) {
        Line first = Classify(AnsiString(text.substr(3)));
        first.text = AnsiString(text);
        lines.push_back(first);
      } else {
        lines.push_back(Classify(AnsiString(text)));
      }
    }
  }

  static Line Classify(const AnsiString& text) {
    Line line;
    line.text = text;
    const AnsiString t = Trim(text);
    if (t.empty() || t[0] == ';') return line;
    if (t[0] == '[') {
      const std::size_t close = t.find(']');
      line.kind = 1;
      line.name = Trim(t.substr(1, close == AnsiString::npos ? AnsiString::npos : close - 1));
      return line;
    }
    const std::size_t eq = t.find('=');
    if (eq == AnsiString::npos) return line;
    line.kind = 2;
    line.name = Trim(t.substr(0, eq));
    AnsiString v = Trim(t.substr(eq + 1));
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
    line.value = v;
    return line;
  }

  AnsiString Text() const {
    AnsiString out;
    for (const Line& l : lines) {
      out += l.text;
      out += "\r\n";
    }
    return out;
  }

  // Index of the first header of the section, or -1.
  int FindSection(const AnsiString& section) const {
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i].kind == 1 && SameName(lines[i].name, section)) return static_cast<int>(i);
    return -1;
  }

  // One past the section's last line (the next header or the end).
  int SectionEnd(int header) const {
    std::size_t i = static_cast<std::size_t>(header) + 1;
    while (i < lines.size() && lines[i].kind != 1) ++i;
    return static_cast<int>(i);
  }

  int FindKey(int header, const AnsiString& key) const {
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i)
      if (lines[static_cast<std::size_t>(i)].kind == 2 && SameName(lines[static_cast<std::size_t>(i)].name, key))
        return i;
    return -1;
  }
};

Profile Load(const AnsiString& fileName) {
  Profile p;
  AnsiString bytes;
  if (vx::ReadFileBytes(fileName, bytes)) p.Parse(bytes);
  return p;
}

void Save(const AnsiString& fileName, const Profile& p) {
  if (!vx::WriteFileBytes(fileName, p.Text())) throw EIniFileException("Unable to write to " + fileName);
}

// Fills `strings`, in one update, with add(profile, header, line) for each
// key line of the section's first header in the file; empty when the
// section is missing.
template <class Add>
void ListSectionKeys(const AnsiString& fileName, const AnsiString& section, TStrings* strings, Add add) {
  const Profile p = Load(fileName);
  vx::WhileUpdating(*strings, [&] {
    strings->Clear();
    const int header = p.FindSection(section);
    if (header < 0) return;
    const int end = p.SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
      const auto& l = p.lines[static_cast<std::size_t>(i)];
      if (l.kind == 2) strings->Add(add(p, header, l));
    }
  });
}

}  // namespace

// ---------------------------------------------------------------------------
// TCustomIniFile

int TCustomIniFile::ReadInteger(const AnsiString& section, const AnsiString& key, int def) {
  AnsiString s = ReadString(section, key, "");
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.replace(0, 2, 1, '$');
  return StrToIntDef(s, def);
}

void TCustomIniFile::WriteInteger(const AnsiString& section, const AnsiString& key, int value) {
  WriteString(section, key, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const AnsiString& section, const AnsiString& key, bool def) {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const AnsiString& section, const AnsiString& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const AnsiString& section, const AnsiString& key, double def) {
  const AnsiString s = ReadString(section, key, "");
  double v;
  return !s.empty() && TryStrToFloat(s, v) ? v : def;
}

void TCustomIniFile::WriteFloat(const AnsiString& section, const AnsiString& key, double value) {
  WriteString(section, key, FloatToStr(value));
}

bool TCustomIniFile::SectionExists(const AnsiString& section) {
  TStringList keys;
  ReadSection(section, &keys);
  return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const AnsiString& section, const AnsiString& key) {
  TStringList keys;
  ReadSection(section, &keys);
  return keys.IndexOf(key) >= 0;
}

// ---------------------------------------------------------------------------
// TIniFile

AnsiString TIniFile::ReadString(const AnsiString& section, const AnsiString& key, const AnsiString& def) {
  const Profile p = Load(FileName());
  const int header = p.FindSection(section);
  if (header < 0) return def;
  const int k = p.FindKey(header, key);
  return k < 0 ? def : p.lines[static_cast<std::size_t>(k)].value;
}

void TIniFile::WriteString(const AnsiString& section, const AnsiString& key, const AnsiString& value) {
  Profile p = Load(FileName());
  const int header = p.FindSection(section);
  const AnsiString line = key + "=" + value;
  if (header < 0) {
    p.lines.push_back(Profile::Classify("[" + section + "]"));
    p.lines.push_back(Profile::Classify(line));
  } else if (const int k = p.FindKey(header, key); k >= 0) {
    // Keep the key as the file spells it.
    p.lines[static_cast<std::size_t>(k)] = Profile::Classify(p.lines[static_cast<std::size_t>(k)].name + "=" + value);
  } else {
    // After the section's last non-blank line.
    int at = p.SectionEnd(header);
    while (at > header + 1 && Trim(p.lines[static_cast<std::size_t>(at - 1)].text).empty()) --at;
    p.lines.insert(p.lines.begin() + at, Profile::Classify(line));
  }
  Save(FileName(), p);
}

void TIniFile::ReadSection(const AnsiString& section, TStrings* strings) {
  ListSectionKeys(FileName(), section, strings, [](const Profile&, int, const auto& l) { return l.name; });
}

void TIniFile::ReadSections(TStrings* strings) {
  const Profile p = Load(FileName());
  vx::WhileUpdating(*strings, [&] {
    strings->Clear();
    std::vector<AnsiString> seen;
    for (const auto& l : p.lines) {
      if (l.kind != 1) continue;
      bool dup = false;
      for (const AnsiString& s : seen) dup = dup || SameName(s, l.name);
      if (dup) continue;
      seen.push_back(l.name);
      strings->Add(l.name);
    }
  });
}

void TIniFile::ReadSectionValues(const AnsiString& section, TStrings* strings) {
  ListSectionKeys(FileName(), section, strings, [](const Profile& p, int header, const auto& l) {
    // A repeated key shows the value that reads back (the first).
    const int first = p.FindKey(header, l.name);
    return l.name + "=" + p.lines[static_cast<std::size_t>(first)].value;
  });
}

void TIniFile::EraseSection(const AnsiString& section) {
  Profile p = Load(FileName());
  bool changed = false;
  for (int header = p.FindSection(section); header >= 0; header = p.FindSection(section)) {
    p.lines.erase(p.lines.begin() + header, p.lines.begin() + p.SectionEnd(header));
    changed = true;
  }
  if (changed) Save(FileName(), p);
}

void TIniFile::DeleteKey(const AnsiString& section, const AnsiString& key) {
  Profile p = Load(FileName());
  const int header = p.FindSection(section);
  if (header < 0) return;
  const int k = p.FindKey(header, key);
  if (k < 0) return;
  p.lines.erase(p.lines.begin() + k);
  Save(FileName(), p);
}
