// TStrings (the abstract list of strings with attached objects) and
// TStringList (its in-memory implementation).
//
// Text conventions:
//   - Text() puts CR LF after every line, the last one included.
//   - SetText() splits at CR LF, LF or CR; a final line break adds no empty
//     last line ("a\r\nb\r\n" is two lines, "" none, "\r\n" one empty line).
//   - LoadFromFile reads the bytes as they are (CP1251) and splits like
//     SetText; SaveToFile writes Text() (so CR LF after every line). The file
//     is replaced only once the new contents are completely written.
//   - Names/Values: a line "name=value" (NameValueSeparator '='); names
//     compare without regard to case.
//
// Objects are not owned: the caller frees what it attached.
// Index errors raise EStringListError "List index out of bounds (<index>)".
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/classes.h"

class TStream;

enum class TDuplicates { dupIgnore, dupAccept, dupError };
using enum TDuplicates;

class TStrings : public TPersistent {
 public:
  ~TStrings() override = default;

  // --- the storage interface a descendant implements
  virtual int Count() const = 0;
  virtual AnsiString Strings(int index) const = 0;
  virtual TObject* Objects(int /*index*/) const { return nullptr; }
  virtual void SetStrings(int index, const AnsiString& s);
  virtual void SetObjects(int /*index*/, TObject* /*object*/) {}
  virtual void Insert(int index, const AnsiString& s) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  // --- built on it
  AnsiString operator[](int index) const { return Strings(index); }
  virtual int Add(const AnsiString& s);
  int AddObject(const AnsiString& s, TObject* object);
  void Append(const AnsiString& s) { Add(s); }
  void InsertObject(int index, const AnsiString& s, TObject* object);
  void AddStrings(const TStrings& strings);
  void Assign(TPersistent* source) override;
  virtual void Exchange(int index1, int index2);
  virtual void Move(int curIndex, int newIndex);
  // Index of the first line equal to s (case as CompareStrings decides), -1 when none.
  virtual int IndexOf(const AnsiString& s) const;
  int IndexOfObject(TObject* object) const;
  bool Equals(const TStrings& other) const;

  // "name=value" lines.
  AnsiString Names(int index) const;
  AnsiString ValueFromIndex(int index) const;
  AnsiString Values(const AnsiString& name) const;
  // Replaces the value of the first line named `name`, appends a line when
  // there is none, and deletes the line when `value` is empty.
  void SetValues(const AnsiString& name, const AnsiString& value);
  int IndexOfName(const AnsiString& name) const;
  char NameValueSeparator = '=';

  AnsiString Text() const;
  virtual void SetText(const AnsiString& text);
  // Delimited form: items separated by Delimiter; an item holding a blank,
  // the delimiter, a quote or a control character is quoted with QuoteChar
  // (inner quotes doubled). CommaText uses ',' and '"'.
  AnsiString DelimitedText() const;
  void SetDelimitedText(const AnsiString& text);
  AnsiString CommaText() const;
  void SetCommaText(const AnsiString& text);
  char Delimiter = ',';
  char QuoteChar = '"';

  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName) const;
  // From the stream's position to its end / Text() at the position.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;

  // Nested; change events are held back while the count is above zero.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

 protected:
  virtual void SetUpdateState(bool /*updating*/) {}
  // <0, 0, >0; the base compares without regard to case (AnsiCompareText).
  virtual int CompareStrings(const AnsiString& a, const AnsiString& b) const;
  [[noreturn]] static void IndexError(int index);

 private:
  AnsiString DelimitedWith(char delimiter, char quote) const;
  void SetDelimitedWith(const AnsiString& text, char delimiter, char quote);
  int updateCount_ = 0;
};

namespace vx {

// Runs fill between strings.BeginUpdate() and EndUpdate(); EndUpdate also
// runs when fill raises, and the exception goes on.
template <class Fill>
void WhileUpdating(TStrings& strings, Fill&& fill) {
  strings.BeginUpdate();
  try {
    fill();
  } catch (...) {
    strings.EndUpdate();
    throw;
  }
  strings.EndUpdate();
}

}  // namespace vx

using TStringListSortCompare = std::function<int(class TStringList* list, int index1, int index2)>;

class TStringList : public TStrings {
 public:
  TStringList() = default;
  ~TStringList() override;

  int Count() const override { return static_cast<int>(items_.size()); }
  AnsiString Strings(int index) const override;
  TObject* Objects(int index) const override;
  void SetStrings(int index, const AnsiString& s) override;
  void SetObjects(int index, TObject* object) override;
  void Insert(int index, const AnsiString& s) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const AnsiString& s) override;
  void Exchange(int index1, int index2) override;
  int IndexOf(const AnsiString& s) const override;
  void SetText(const AnsiString& text) override;

  // On a sorted list: binary search; true with the index of the first
  // match, or false with the index where s would go.
  virtual bool Find(const AnsiString& s, int& index) const;
  virtual void Sort();
  void CustomSort(const TStringListSortCompare& compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  void SetUpdateState(bool updating) override;
  int CompareStrings(const AnsiString& a, const AnsiString& b) const override;
  virtual void Changed();
  virtual void Changing();

 private:
  struct Item {
    AnsiString text;
    TObject* object = nullptr;
  };
  void CheckIndex(int index) const;
  void InsertItem(int index, const AnsiString& s, TObject* object);
  // Items live on the heap so that inserting moves pointers, not strings.
  std::vector<std::unique_ptr<Item>> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
};
