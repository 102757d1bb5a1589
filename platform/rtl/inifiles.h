// INI files with the Windows profile semantics.
//
// File layout (CP1251 bytes, no byte-order mark; lines end in CR LF when we
// write, CR LF, LF or CR when we read):
//
//     ; comment            ignored
//     [Section]            section header; the name is trimmed
//     Key=Value            key and value are trimmed; a value enclosed in a
//                          matching pair of ' or " loses the pair
//     anything else        ignored (kept as it is when the file is rewritten)
//
// A UTF-8 byte-order mark before the first line is skipped (and kept).
//
// Sections and keys compare without regard to case (CP1251 letters,
// Cyrillic included); the first matching section and, in it, the first
// matching key count. A missing file, section or key reads as the default.
//
// TIniFile works on the file itself: every read reads it, every write
// rewrites it at once (creating it, but not its folder). A rewrite keeps
// every other line as it was and replaces the file only once the new
// contents are completely written; when that fails, EIniFileException
// "Unable to write to <file>" and the old file is unchanged.
#pragma once

#include "platform/rtl/classes.h"

VX_DECLARE_EXCEPTION(EIniFileException, Exception)

class TCustomIniFile : public TObject {
 public:
  explicit TCustomIniFile(const AnsiString& fileName) : fileName_(fileName) {}
  ~TCustomIniFile() override = default;

  const AnsiString& FileName() const { return fileName_; }

 protected:
  void SetFileNameField(const AnsiString& fileName) { fileName_ = fileName; }

 public:
  virtual AnsiString ReadString(const AnsiString& section, const AnsiString& key, const AnsiString& def) = 0;
  virtual void WriteString(const AnsiString& section, const AnsiString& key, const AnsiString& value) = 0;
  // Key names of the section, in file order.
  virtual void ReadSection(const AnsiString& section, TStrings* strings) = 0;
  // Section names, in file order, each once.
  virtual void ReadSections(TStrings* strings) = 0;
  // "key=value" for every key of the section.
  virtual void ReadSectionValues(const AnsiString& section, TStrings* strings) = 0;
  virtual void EraseSection(const AnsiString& section) = 0;
  virtual void DeleteKey(const AnsiString& section, const AnsiString& key) = 0;
  virtual void UpdateFile() = 0;

  // Decimal, '$'hex or "0x" hex; the default when missing or not a number.
  virtual int ReadInteger(const AnsiString& section, const AnsiString& key, int def);
  virtual void WriteInteger(const AnsiString& section, const AnsiString& key, int value);
  // A number other than 0 is true; written as "1" / "0".
  virtual bool ReadBool(const AnsiString& section, const AnsiString& key, bool def);
  virtual void WriteBool(const AnsiString& section, const AnsiString& key, bool value);
  // With the format settings' decimal separator; the default when missing or not a number.
  virtual double ReadFloat(const AnsiString& section, const AnsiString& key, double def);
  virtual void WriteFloat(const AnsiString& section, const AnsiString& key, double value);
  // A section counts as existing when it holds at least one key.
  bool SectionExists(const AnsiString& section);
  virtual bool ValueExists(const AnsiString& section, const AnsiString& key);

 private:
  AnsiString fileName_;
};

class TIniFile : public TCustomIniFile {
 public:
  explicit TIniFile(const AnsiString& fileName) : TCustomIniFile(fileName) {}

  AnsiString ReadString(const AnsiString& section, const AnsiString& key, const AnsiString& def) override;
  void WriteString(const AnsiString& section, const AnsiString& key, const AnsiString& value) override;
  void ReadSection(const AnsiString& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  void ReadSectionValues(const AnsiString& section, TStrings* strings) override;
  void EraseSection(const AnsiString& section) override;
  void DeleteKey(const AnsiString& section, const AnsiString& key) override;
  // Every write already reached the file; nothing is pending.
  void UpdateFile() override {}
};
