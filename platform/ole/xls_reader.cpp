#include "platform/ole/xls_reader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <map>

#include "platform/ole/compound_file.h"

namespace vx {

namespace {

// Record types, frozen by the file format.
constexpr std::uint16_t kBOF = 0x0809, kEOF = 0x000A, kFilePass = 0x002F, kWindow1 = 0x003D, kBoundSheet = 0x0085,
                        kSST = 0x00FC, kContinue = 0x003C, kLabelSST = 0x00FD, kLabel = 0x0204, kRString = 0x00D6,
                        kNumber = 0x0203, kRK = 0x027E, kMulRK = 0x00BD, kBoolErr = 0x0205, kFormula = 0x0006,
                        kString = 0x0207, kFormat = 0x041E, kXF = 0x00E0, kDateMode = 0x0022;
constexpr std::uint16_t kBiff8 = 0x0600, kGlobals = 0x0005, kWorksheet = 0x0010;

[[noreturn]] void Damaged(const char* why) { throw EOleException(AnsiString("Damaged spreadsheet file: ") + why); }

std::uint16_t Get16(std::string_view s, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}

std::uint32_t Get32(std::string_view s, std::size_t at) { return Get16(s, at) | std::uint32_t{Get16(s, at + 2)} << 16; }

double GetDouble(std::string_view s, std::size_t at) {
  return std::bit_cast<double>(std::uint64_t{Get32(s, at)} | std::uint64_t{Get32(s, at + 4)} << 32);
}

double RKValue(std::uint32_t rk) {
  double v = (rk & 2) ? static_cast<double>(static_cast<std::int32_t>(rk) >> 2)
                      : std::bit_cast<double>(std::uint64_t{rk & 0xFFFFFFFCu} << 32);
  return (rk & 1) ? v / 100 : v;
}

struct RecordView {
  std::uint16_t type = 0;
  std::string_view data;
};

// The records of the stream from an offset, each checked to lie inside it.
class Records {
 public:
  Records(std::string_view stream, std::size_t at) : s_(stream), at_(at) {}
  bool Next(RecordView& r) {
    if (at_ + 4 > s_.size()) return false;
    r.type = Get16(s_, at_);
    const std::size_t size = Get16(s_, at_ + 2);
    if (at_ + 4 + size > s_.size()) Damaged("a record runs past the end of the stream");
    r.data = s_.substr(at_ + 4, size);
    at_ += 4 + size;
    return true;
  }
  std::size_t Offset() const { return at_; }
  // The next record, if it is a CONTINUE, without moving otherwise.
  bool NextContinue(RecordView& r) {
    const std::size_t keep = at_;
    if (Next(r) && r.type == kContinue) return true;
    at_ = keep;
    return false;
  }

 private:
  std::string_view s_;
  std::size_t at_;
};

// Bytes spread over a record and its CONTINUE records. Characters of a
// text that runs on into the next part are preceded there by a new
// encoding flag.
class Pieces {
 public:
  void Add(std::string_view piece) { pieces_.push_back(piece); }
  bool AtEnd() {
    Skip();
    return part_ >= pieces_.size();
  }
  std::uint32_t Take(std::size_t bytes) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < bytes; ++i) v |= std::uint32_t{Byte()} << (8 * i);
    return v;
  }
  void Drop(std::size_t bytes) {
    while (bytes > 0) {
      Skip();
      if (part_ >= pieces_.size()) Damaged("shared strings run past their records");
      const std::size_t n = std::min(bytes, pieces_[part_].size() - at_);
      at_ += n;
      bytes -= n;
    }
  }
  std::u16string Text(std::size_t count, bool wide) {
    std::u16string out;
    out.reserve(std::min<std::size_t>(count, 1 << 16));
    while (out.size() < count) {
      if (part_ < pieces_.size() && at_ >= pieces_[part_].size()) {
        ++part_;
        at_ = 0;
        if (part_ >= pieces_.size()) break;
        wide = Byte() & 1;  // the flag that opens a continued text
        continue;
      }
      if (part_ >= pieces_.size()) break;
      out += wide ? static_cast<char16_t>(Take(2)) : static_cast<char16_t>(Byte());
    }
    if (out.size() < count) Damaged("shared strings run past their records");
    return out;
  }

 private:
  void Skip() {
    while (part_ < pieces_.size() && at_ >= pieces_[part_].size()) {
      ++part_;
      at_ = 0;
    }
  }
  std::uint8_t Byte() {
    Skip();
    if (part_ >= pieces_.size()) Damaged("shared strings run past their records");
    return static_cast<std::uint8_t>(pieces_[part_][at_++]);
  }
  std::vector<std::string_view> pieces_;
  std::size_t part_ = 0, at_ = 0;
};

// A text as records hold it: a count of 8 or 16 bits, flags (16-bit
// characters, rich runs, phonetic data), the characters and what follows.
std::u16string UnicodeText(Pieces& p, bool shortCount) {
  const std::size_t count = p.Take(shortCount ? 1 : 2);
  const std::uint8_t flags = static_cast<std::uint8_t>(p.Take(1));
  const std::size_t runs = (flags & 8) ? p.Take(2) : 0;
  const std::size_t extra = (flags & 4) ? p.Take(4) : 0;
  std::u16string text = p.Text(count, flags & 1);
  p.Drop(runs * 4);
  p.Drop(extra);
  return text;
}

std::u16string RecordText(std::string_view data, std::size_t at) {
  if (at > data.size()) Damaged("a text runs past its record");
  Pieces p;
  p.Add(data.substr(at));
  return UnicodeText(p, false);
}

// What a number format shows of a number: the number, a date (with or
// without its time), a time of day alone, or time elapsed ("[h]:mm").
enum class Shown : std::uint8_t { Number, Date, Time, Elapsed };

// The built-in date and time formats, or a format with a day, month, year,
// hour or second in it outside quoted text, escaped characters and
// brackets. A time alone has hours or seconds and no day, year or month
// name ("mmm"): its "m" are minutes. Elapsed time has its hours, minutes or
// seconds in brackets.
Shown FormatShows(std::uint16_t index, const std::u16string* code) {
  if (!code) {
    if (index == 46) return Shown::Elapsed;
    if ((index >= 18 && index <= 21) || index == 45 || index == 47) return Shown::Time;
    return (index >= 14 && index <= 22) || (index >= 27 && index <= 36) || (index >= 50 && index <= 58)
               ? Shown::Date
               : Shown::Number;
  }
  bool quoted = false, bracket = false, dayOrYear = false, hourOrSecond = false, elapsed = false;
  std::u16string inBracket;
  int ms = 0, longestMs = 0;
  for (std::size_t i = 0; i < code->size(); ++i) {
    const char16_t c = (*code)[i];
    const bool m = !quoted && !bracket && (c == u'm' || c == u'M');
    ms = m ? ms + 1 : 0;
    longestMs = std::max(longestMs, ms);
    if (quoted) {
      quoted = c != u'"';
    } else if (bracket) {
      bracket = c != u']';
      if (bracket) {
        inBracket += static_cast<char16_t>(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c);
      } else if (!inBracket.empty() && (inBracket.find_first_not_of(u'h') == std::u16string::npos ||
                                        inBracket.find_first_not_of(u'm') == std::u16string::npos ||
                                        inBracket.find_first_not_of(u's') == std::u16string::npos)) {
        elapsed = true;
      }
    } else if (c == u'"') {
      quoted = true;
    } else if (c == u'[') {
      bracket = true;
      inBracket.clear();
    } else if (c == u'\\' || c == u'_' || c == u'*') {
      ++i;  // the next character is shown, or fills
    } else if (std::u16string_view(u"dDyY").find(c) != std::u16string_view::npos) {
      dayOrYear = true;
    } else if (std::u16string_view(u"hHsS").find(c) != std::u16string_view::npos) {
      hourOrSecond = true;
    }
  }
  if (elapsed && !dayOrYear) return Shown::Elapsed;
  if (hourOrSecond && !dayOrYear && longestMs < 3) return Shown::Time;
  return dayOrYear || hourOrSecond || longestMs > 0 ? Shown::Date : Shown::Number;
}

// What the workbook globals tell the sheets: the shared strings, what each
// cell format (XF) shows, and the date system.
struct Globals {
  std::vector<std::u16string> strings;
  std::vector<Shown> shown;  // by XF index
  bool from1904 = false;
  // A number of a cell of that format. A date or time format makes it a
  // date when the number is the serial of a moment before the year 10000
  // (its time rounded to the second), a time alone when the format shows
  // only a time or the serial is below 1 (a time without a date, in either
  // date system). Any other number (negative, too great, or a day or more
  // of elapsed time) is the number the file holds.
  OleVariant Number(double v, std::uint16_t xf) const {
    if (xf >= shown.size() || shown[xf] == Shown::Number) return v;
    const double lastDay = from1904 ? 2958466 - 1462 : 2958466;  // 1 January 10000
    const double days = std::floor(v);
    if (!(v >= 0) || days + (std::nearbyint((v - days) * 86400) >= 86400 ? 1 : 0) >= lastDay) return v;
    if (v < 1) return OleDate{v, true};
    if (shown[xf] == Shown::Elapsed) return v;
    double date = v;
    if (from1904) date += 1462;
    else if (v < 60) date += 1;  // the serials before 1 March 1900 count a 29 February that was not
    return OleDate{date, shown[xf] == Shown::Time};
  }
};

struct SheetEntry {
  std::uint32_t offset = 0;
  std::uint8_t kind = 0;
  std::u16string name;
};

void Need(const RecordView& r, std::size_t size) {
  if (r.data.size() < size) Damaged("a record is shorter than its kind");
}

// The text the cells of a workbook hold, counted against kXlsMaxWorkbookText.
class TextBudget {
 public:
  void Spend(std::size_t characters) {
    left_ -= std::min(left_, characters);
    if (left_ == 0 && characters > 0)
      throw EOleException("File too large: its cells hold more than " + IntToStr(static_cast<int>(kXlsMaxWorkbookText)) +
                          " characters of text");
  }

 private:
  std::size_t left_ = kXlsMaxWorkbookText + 1;
};

// One sheet from its BOF: nullptr for a sheet other than a worksheet. `end`
// is where its records end.
std::unique_ptr<XlsSheet> ReadSheet(std::string_view stream, const SheetEntry& entry, const Globals& globals,
                                    XlsWorkbook& book, TextBudget& text, std::size_t& end) {
  const std::vector<std::u16string>& strings = globals.strings;
  if (entry.offset >= stream.size()) Damaged("a sheet lies outside the stream");
  Records records(stream, entry.offset);
  RecordView r;
  if (!records.Next(r) || r.type != kBOF || r.data.size() < 4 || Get16(r.data, 0) != kBiff8)
    Damaged("a sheet does not begin with its BOF");
  end = records.Offset();
  if (Get16(r.data, 2) != kWorksheet) {
    book.HadOtherSheets = true;
    return nullptr;
  }
  auto sheet = std::make_unique<XlsSheet>();
  sheet->Name = entry.name;
  int depth = 1, formulaRow = -1, formulaCol = -1;
  auto put = [&](std::size_t row, std::size_t col, OleVariant v) {
    if (row >= static_cast<std::size_t>(kXlsMaxRows) || col >= static_cast<std::size_t>(kXlsMaxCols)) return;
    if (const auto* s = std::get_if<std::u16string>(&v)) text.Spend(s->size());
    sheet->Cells.Set(static_cast<int>(row), static_cast<int>(col), std::move(v));
  };
  while (depth > 0) {
    if (!records.Next(r)) Damaged("a sheet has no end");
    if (r.type == kBOF) {
      ++depth;  // a substream (an embedded chart) inside the sheet
      continue;
    }
    if (r.type == kEOF) {
      --depth;
      continue;
    }
    if (depth > 1) continue;
    switch (r.type) {
      case kLabelSST: {
        Need(r, 10);
        const std::uint32_t index = Get32(r.data, 6);
        if (index >= strings.size()) Damaged("a cell names a shared string that does not exist");
        put(Get16(r.data, 0), Get16(r.data, 2), strings[index]);
        break;
      }
      case kLabel:
      case kRString:
        Need(r, 9);
        put(Get16(r.data, 0), Get16(r.data, 2), RecordText(r.data, 6));
        break;
      case kNumber:
        Need(r, 14);
        put(Get16(r.data, 0), Get16(r.data, 2), globals.Number(GetDouble(r.data, 6), Get16(r.data, 4)));
        break;
      case kRK:
        Need(r, 10);
        put(Get16(r.data, 0), Get16(r.data, 2), globals.Number(RKValue(Get32(r.data, 6)), Get16(r.data, 4)));
        break;
      case kMulRK: {
        Need(r, 6);
        const std::size_t row = Get16(r.data, 0), first = Get16(r.data, 2);
        const std::size_t n = (r.data.size() - 6) / 6;
        for (std::size_t i = 0; i < n; ++i)
          put(row, first + i, globals.Number(RKValue(Get32(r.data, 4 + 6 * i + 2)), Get16(r.data, 4 + 6 * i)));
        break;
      }
      case kBoolErr:
        Need(r, 8);
        if (r.data[7]) put(Get16(r.data, 0), Get16(r.data, 2), OleError{static_cast<std::uint8_t>(r.data[6])});
        else put(Get16(r.data, 0), Get16(r.data, 2), r.data[6] != 0);
        break;
      case kFormula: {
        Need(r, 20);
        book.HadFormulas = true;
        const std::size_t row = Get16(r.data, 0), col = Get16(r.data, 2);
        formulaRow = formulaCol = -1;
        if (Get16(r.data, 12) != 0xFFFF) {
          put(row, col, globals.Number(GetDouble(r.data, 6), Get16(r.data, 4)));
          break;
        }
        switch (r.data[6]) {
          case 0:  // the text follows in a STRING record
            formulaRow = static_cast<int>(row);
            formulaCol = static_cast<int>(col);
            break;
          case 1: put(row, col, r.data[8] != 0); break;
          case 2: put(row, col, OleError{static_cast<std::uint8_t>(r.data[8])}); break;
          default: put(row, col, std::u16string()); break;
        }
        break;
      }
      case kString: {
        if (formulaRow < 0) break;
        Pieces p;
        p.Add(r.data);
        RecordView more;
        while (records.NextContinue(more)) p.Add(more.data);
        put(static_cast<std::size_t>(formulaRow), static_cast<std::size_t>(formulaCol), UnicodeText(p, false));
        formulaRow = formulaCol = -1;
        break;
      }
      default: break;
    }
  }
  end = records.Offset();
  return sheet;
}

}  // namespace

XlsWorkbook ReadXlsFile(std::string_view file) {
  std::string storage;
  std::string_view stream;
  if (!IsCompoundFile(file)) Damaged("not an Excel 97-2003 workbook");
  if (!FindCompoundStream(file, u"Workbook", storage, stream)) {
    std::string old;
    if (ReadCompoundStream(file, u"Book", old)) Damaged("a workbook older than Excel 97 is not supported");
    Damaged("no workbook stream");
  }
  Records records(stream, 0);
  RecordView r;
  if (!records.Next(r) || r.type != kBOF || r.data.size() < 4 || Get16(r.data, 0) != kBiff8 ||
      Get16(r.data, 2) != kGlobals)
    Damaged("not an Excel 97-2003 workbook");

  XlsWorkbook book;
  std::vector<SheetEntry> sheets;
  Globals globals;
  std::vector<std::u16string>& strings = globals.strings;
  std::vector<std::uint16_t> xfFormats;
  std::map<std::uint16_t, std::u16string> formats;
  int activeTab = 0;
  for (;;) {
    if (!records.Next(r)) Damaged("the workbook globals have no end");
    if (r.type == kEOF) break;
    switch (r.type) {
      case kFilePass: throw EOleException("The workbook is protected by a password");
      case kWindow1:
        if (r.data.size() >= 12) activeTab = Get16(r.data, 10);
        break;
      case kDateMode:
        if (r.data.size() >= 2) globals.from1904 = Get16(r.data, 0) == 1;
        break;
      case kXF:
        Need(r, 4);
        xfFormats.push_back(Get16(r.data, 2));
        break;
      case kFormat: {
        Need(r, 5);
        Pieces p;
        p.Add(r.data.substr(2));
        formats[Get16(r.data, 0)] = UnicodeText(p, false);
        break;
      }
      case kBoundSheet: {
        Need(r, 8);
        SheetEntry e;
        e.offset = Get32(r.data, 0);
        e.kind = static_cast<std::uint8_t>(r.data[5]);
        Pieces p;
        p.Add(r.data.substr(6));
        e.name = UnicodeText(p, true);
        sheets.push_back(std::move(e));
        break;
      }
      case kSST: {
        Need(r, 8);
        const std::uint32_t unique = Get32(r.data, 4);
        Pieces p;
        p.Add(r.data.substr(8));
        RecordView more;
        while (records.NextContinue(more)) p.Add(more.data);
        // Each text takes at least 3 bytes, which bounds what a count may claim.
        strings.reserve(std::min<std::size_t>(unique, stream.size() / 3));
        for (std::uint32_t i = 0; i < unique && !p.AtEnd(); ++i) strings.push_back(UnicodeText(p, false));
        break;
      }
      default: break;
    }
  }
  for (std::uint16_t index : xfFormats) {
    const auto code = formats.find(index);
    globals.shown.push_back(FormatShows(index, code == formats.end() ? nullptr : &code->second));
  }
  if (activeTab >= 0 && static_cast<std::size_t>(activeTab) < sheets.size()) book.ActiveName = sheets[static_cast<std::size_t>(activeTab)].name;
  // Each sheet is read once, in the order of the stream: a sheet must begin
  // after the globals and after the sheet before it has ended.
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    if (sheets[i].kind == 0) order.push_back(i);
    else book.HadOtherSheets = true;
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return sheets[a].offset < sheets[b].offset; });
  std::vector<std::unique_ptr<XlsSheet>> read(sheets.size());
  std::size_t unread = records.Offset();
  TextBudget text;
  for (std::size_t i : order) {
    if (sheets[i].offset < unread) Damaged("two sheets share their records");
    read[i] = ReadSheet(stream, sheets[i], globals, book, text, unread);
  }
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    if (!read[i]) continue;
    if (static_cast<int>(i) == activeTab) book.ActiveSheet = static_cast<int>(book.Sheets.size());
    book.Sheets.push_back(std::move(read[i]));
  }
  if (book.ActiveSheet >= static_cast<int>(book.Sheets.size())) book.ActiveSheet = 0;
  return book;
}

}  // namespace vx
