#include "platform/rtl/stringlist.h"

#include <algorithm>
#include <numeric>

#include "platform/rtl/filebytes.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text_lines.h"

// ---------------------------------------------------------------------------
// TStrings

void TStrings::IndexError(int index) { throw EStringListError("List index out of bounds (" + IntToStr(index) + ")"); }

void TStrings::SetStrings(int index, const AnsiString& s) {
  TObject* object = Objects(index);
  Delete(index);
  InsertObject(index, s, object);
}

int TStrings::Add(const AnsiString& s) {
  const int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const AnsiString& s, TObject* object) {
  const int index = Add(s);
  SetObjects(index, object);
  return index;
}

void TStrings::InsertObject(int index, const AnsiString& s, TObject* object) {
  Insert(index, s);
  SetObjects(index, object);
}

void TStrings::AddStrings(const TStrings& strings) {
  vx::WhileUpdating(*this, [&] {
    for (int i = 0; i < strings.Count(); ++i) AddObject(strings.Strings(i), strings.Objects(i));
  });
}

void TStrings::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TStrings*>(source)) {
    if (other == this) return;
    vx::WhileUpdating(*this, [&] {
      Clear();
      NameValueSeparator = other->NameValueSeparator;
      Delimiter = other->Delimiter;
      QuoteChar = other->QuoteChar;
      AddStrings(*other);
    });
    return;
  }
  TPersistent::Assign(source);
}

void TStrings::Exchange(int index1, int index2) {
  BeginUpdate();
  const AnsiString s1 = Strings(index1), s2 = Strings(index2);
  TObject* o1 = Objects(index1);
  TObject* o2 = Objects(index2);
  SetStrings(index1, s2);
  SetObjects(index1, o2);
  SetStrings(index2, s1);
  SetObjects(index2, o1);
  EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  vx::WhileUpdating(*this, [&] {
    const AnsiString s = Strings(curIndex);
    TObject* o = Objects(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, o);
  });
}

int TStrings::CompareStrings(const AnsiString& a, const AnsiString& b) const { return AnsiCompareText(a, b); }

int TStrings::IndexOf(const AnsiString& s) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Strings(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (Objects(i) == object) return i;
  return -1;
}

bool TStrings::Equals(const TStrings& other) const {
  if (Count() != other.Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Strings(i) != other.Strings(i)) return false;
  return true;
}

AnsiString TStrings::Names(int index) const {
  const AnsiString s = Strings(index);
  const std::size_t at = s.find(NameValueSeparator);
  return at == AnsiString::npos ? AnsiString() : s.substr(0, at);
}

AnsiString TStrings::ValueFromIndex(int index) const {
  const AnsiString s = Strings(index);
  const std::size_t at = s.find(NameValueSeparator);
  return at == AnsiString::npos ? AnsiString() : s.substr(at + 1);
}

int TStrings::IndexOfName(const AnsiString& name) const {
  for (int i = 0; i < Count(); ++i) {
    const AnsiString s = Strings(i);
    const std::size_t at = s.find(NameValueSeparator);
    if (at != AnsiString::npos && CompareStrings(s.substr(0, at), name) == 0) return i;
  }
  return -1;
}

AnsiString TStrings::Values(const AnsiString& name) const {
  const int i = IndexOfName(name);
  return i < 0 ? AnsiString() : ValueFromIndex(i);
}

void TStrings::SetValues(const AnsiString& name, const AnsiString& value) {
  int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  const AnsiString line = name + NameValueSeparator + value;
  if (i < 0) Add(line);
  else SetStrings(i, line);
}

AnsiString TStrings::Text() const {
  AnsiString out;
  for (int i = 0; i < Count(); ++i) {
    out += Strings(i);
    out += "\r\n";
  }
  return out;
}

void TStrings::SetText(const AnsiString& text) {
  vx::WhileUpdating(*this, [&] {
    Clear();
    for (const std::string_view line : vx::SplitLines(text)) Add(AnsiString(line));
  });
}

AnsiString TStrings::DelimitedWith(char delimiter, char quote) const {
  if (Count() == 1 && Strings(0).empty()) return AnsiString(2, quote);
  AnsiString out;
  for (int i = 0; i < Count(); ++i) {
    const AnsiString s = Strings(i);
    const bool needsQuote = std::any_of(s.begin(), s.end(), [&](char c) {
      return static_cast<unsigned char>(c) <= ' ' || c == delimiter || c == quote;
    });
    if (i > 0) out += delimiter;
    if (needsQuote) {
      out += quote;
      for (char c : s) {
        out += c;
        if (c == quote) out += quote;
      }
      out += quote;
    } else {
      out += s;
    }
  }
  return out;
}

void TStrings::SetDelimitedWith(const AnsiString& text, char delimiter, char quote) {
  vx::WhileUpdating(*this, [&] {
    Clear();
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
      while (i < n && static_cast<unsigned char>(text[i]) <= ' ' && text[i] != delimiter) ++i;
    };
    skipBlanks();
    while (i < n) {
      AnsiString item;
      if (text[i] == quote) {
        ++i;
        while (i < n) {
          if (text[i] == quote) {
            if (i + 1 < n && text[i + 1] == quote) {
              item += quote;
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          item += text[i++];
        }
      } else {
        // An unquoted item ends at the delimiter or a blank.
        while (i < n && text[i] != delimiter && static_cast<unsigned char>(text[i]) > ' ') item += text[i++];
      }
      Add(item);
      skipBlanks();
      if (i < n && text[i] == delimiter) {
        ++i;
        if (i == n) Add(AnsiString());  // a delimiter at the very end adds an empty item
        skipBlanks();
      }
    }
  });
}

AnsiString TStrings::DelimitedText() const { return DelimitedWith(Delimiter, QuoteChar); }
void TStrings::SetDelimitedText(const AnsiString& text) { SetDelimitedWith(text, Delimiter, QuoteChar); }
AnsiString TStrings::CommaText() const { return DelimitedWith(',', '"'); }
void TStrings::SetCommaText(const AnsiString& text) { SetDelimitedWith(text, ',', '"'); }

void TStrings::LoadFromFile(const AnsiString& fileName) {
  AnsiString bytes;
  if (!vx::ReadFileBytes(fileName, bytes)) throw EFOpenError("Cannot open file \"" + fileName + "\"");
  SetText(bytes);
}

void TStrings::SaveToFile(const AnsiString& fileName) const {
  if (!vx::WriteFileBytes(fileName, Text())) throw EFCreateError("Cannot create file \"" + fileName + "\"");
}

void TStrings::LoadFromStream(TStream& stream) {
  AnsiString bytes;
  char buf[65536];
  while (true) {
    const std::int64_t n = stream.Read(buf, sizeof buf);
    if (n <= 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  SetText(bytes);
}

void TStrings::SaveToStream(TStream& stream) const {
  const AnsiString text = Text();
  stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

void TStrings::BeginUpdate() {
  if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

// ---------------------------------------------------------------------------
// TStringList

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating) {
    if (OnChanging) OnChanging(this);
  } else {
    if (OnChange) OnChange(this);
  }
}

int TStringList::CompareStrings(const AnsiString& a, const AnsiString& b) const {
  return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

AnsiString TStringList::Strings(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)]->text;
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)]->object;
}

void TStringList::SetStrings(int index, const AnsiString& s) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted string list");
  CheckIndex(index);
  Changing();
  items_[static_cast<std::size_t>(index)]->text = s;
  Changed();
}

void TStringList::SetObjects(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  items_[static_cast<std::size_t>(index)]->object = object;
  Changed();
}

void TStringList::InsertItem(int index, const AnsiString& s, TObject* object) {
  Changing();
  items_.insert(items_.begin() + index, std::make_unique<Item>(Item{s, object}));
  Changed();
}

void TStringList::Insert(int index, const AnsiString& s) {
  if (sorted_) throw EStringListError("Operation not allowed on sorted string list");
  if (index < 0 || index > Count()) IndexError(index);
  InsertItem(index, s, nullptr);
}

int TStringList::Add(const AnsiString& s) {
  int index = Count();
  if (sorted_) {
    if (Find(s, index)) {
      if (duplicates_ == dupIgnore) return index;
      if (duplicates_ == dupError) throw EStringListError("String list does not allow duplicates");
      // dupAccept: after the equal ones, so equal entries keep their order
      while (index < Count() && CompareStrings(items_[static_cast<std::size_t>(index)]->text, s) == 0) ++index;
    }
  }
  InsertItem(index, s, nullptr);
  return index;
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(items_[static_cast<std::size_t>(index1)], items_[static_cast<std::size_t>(index2)]);
  Changed();
}

int TStringList::IndexOf(const AnsiString& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

void TStringList::SetText(const AnsiString& text) { TStrings::SetText(text); }

bool TStringList::Find(const AnsiString& s, int& index) const {
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int c = CompareStrings(items_[static_cast<std::size_t>(mid)]->text, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) found = true;  // keep going left to the first match
    }
  }
  index = lo;
  return found;
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
  if (Count() < 2) return;
  Changing();
  // Sort a permutation against the unchanged list, then apply it: the
  // comparer sees indexes into the list as it stood.
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(this, a, b) < 0; });
  std::vector<std::unique_ptr<Item>> sorted;
  sorted.reserve(items_.size());
  for (int i : order) sorted.push_back(std::move(items_[static_cast<std::size_t>(i)]));
  items_ = std::move(sorted);
  Changed();
}

void TStringList::Sort() {
  CustomSort([](TStringList* list, int a, int b) {
    return list->CompareStrings(list->items_[static_cast<std::size_t>(a)]->text,
                                list->items_[static_cast<std::size_t>(b)]->text);
  });
}

void TStringList::SetSorted(bool value) {
  if (sorted_ == value) return;
  if (value) Sort();
  sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (caseSensitive_ == value) return;
  caseSensitive_ = value;
  if (sorted_) Sort();
}
