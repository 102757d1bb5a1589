// TCachedIniFile: an INI file held in memory and written back whole.
//
// The file is read once (SetFileName / LoadFromFile); every read and write
// then works on the lines in memory, and the file is rewritten only when
// something changed: by UpdateFile, when the object is pointed at another
// file, and when it is destroyed.
//
// File layout (CP1251 bytes, no byte-order mark):
//
//   | line                       | read                                         | written                   |
//   |----------------------------|----------------------------------------------|---------------------------|
//   | "[" name "]"               | starts a section named by the inner text,    | for every section holding |
//   |                            | not trimmed                                  | at least one line         |
//   | any other non-empty line   | kept verbatim in the current section; lines  | verbatim, in file order   |
//   |                            | before the first header are dropped          |                           |
//   | empty, or only ^Z (26)     | skipped                                      | one empty line after each |
//   |                            |                                              | section                   |
//
// Lines end in CR LF when written; CR LF, LF or CR when read. A line longer
// than 255 characters is cut to its first 255. Sections that occur more than
// once (names compared without regard to case, CP1251) are merged into the
// first one in file order, and the merged file counts as modified.
//
// The file name is used whole (not cut), since a Linux path may be longer
// than 255 characters.
//
// Keys are the text before the first "=" of a line, compared without regard
// to case and not trimmed; values are the rest of the line. Keys, section
// names and values are cut at 255 characters, and so is a written line of
// key "=" value as a whole.
//
// TCachedIniFileEx adds integers as 8 hexadecimal digits. TAppIniFile opens
// the program's settings file "Vexamund.ini" in the program's folder.
#pragma once

#include <functional>

#include "platform/rtl/classes.h"
#include "platform/rtl/inifiles.h"

// The section names of a cached INI file, in file order; the object of each
// is the TStringList of the section's lines, owned by this list. Look-ups
// start at the section found last and wrap around.
class TSectionList : public TStringList {
 public:
  ~TSectionList() override;
  // Index of the section (without regard to case), -1 when missing.
  int FindSection(const AnsiString& name);
  // Appends an empty section and makes it the one found last.
  int AddSection(const AnsiString& name);
  TStringList* Lines(int index) const;
  // Removes and frees the section's lines.
  void DeleteSection(int index);
  void ClearSections();
  int Cursor() const { return cursor_; }
  void SetCursor(int v) { cursor_ = v; }

 private:
  int cursor_ = 0;
};

// Chooses which of two sections of the same name survives a merge. Without
// a handler (or with KeepLater false) the later section's lines are appended
// to the earlier one; with KeepLater true the earlier section is dropped.
using TDuplicateSectionEvent = std::function<void(TObject* Sender, const AnsiString& Section, bool& KeepLater)>;

class TCachedIniFile : public TCustomIniFile {
 public:
  static constexpr int MaxText = 255;
  static constexpr int BufferSize = 28672;

  explicit TCachedIniFile(const AnsiString& fileName);
  ~TCachedIniFile() override;

  // Writes the current file if modified, drops every section, then loads
  // the new name (when not empty). The modified flag ends up clear unless
  // loading merged duplicate sections.
  void SetFileName(const AnsiString& name);

  AnsiString ReadString(const AnsiString& section, const AnsiString& key, const AnsiString& def) override;
  void WriteString(const AnsiString& section, const AnsiString& key, const AnsiString& value) override;
  // "0x" in front reads as hexadecimal, like "$"; the default when empty
  // or not a number.
  int ReadInteger(const AnsiString& section, const AnsiString& key, int def) override;
  void WriteInteger(const AnsiString& section, const AnsiString& key, int value) override;
  bool ReadBool(const AnsiString& section, const AnsiString& key, bool def) override;
  void WriteBool(const AnsiString& section, const AnsiString& key, bool value) override;
  void ReadSection(const AnsiString& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  void ReadSectionValues(const AnsiString& section, TStrings* strings) override;
  void EraseSection(const AnsiString& section) override;
  void DeleteKey(const AnsiString& section, const AnsiString& key) override;
  // Every section that has lines: "[name]", its lines, an empty line.
  void GetStrings(TStrings* list);
  // Writes the file when modified and a name is set; EInOutError when the
  // file cannot be written (the old contents then stay as they were).
  void UpdateFile() override;
  // Reads a file into memory (nothing when it does not exist); the name
  // of the object is not changed.
  void LoadFromFile(const AnsiString& name);

  bool Modified() const { return modified_; }
  TDuplicateSectionEvent OnDuplicateSection;

 protected:
  TSectionList sections_;

 private:
  // Lines of the section, nullptr when missing (created when `create`).
  TStringList* SectionLines(const AnsiString& section, bool create);
  void MergeDuplicates();
  bool modified_ = false;
};

class TCachedIniFileEx : public TCachedIniFile {
 public:
  using TCachedIniFile::TCachedIniFile;
  // The text read (default written as 8 hex digits) as hexadecimal;
  // EConvertError when it is not.
  int ReadHexInteger(const AnsiString& section, const AnsiString& key, int def);
  void WriteHexInteger(const AnsiString& section, const AnsiString& key, int value);
};

class TAppIniFile : public TCachedIniFileEx {
 public:
  // Opens ProgramFolder() + "Vexamund.ini".
  TAppIniFile();
};

namespace vx {
// Full name of the settings file: the program's folder + "Vexamund.ini".
AnsiString SettingsFileName();
}  // namespace vx
