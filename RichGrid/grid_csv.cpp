// TRichStringGrid: reading separated values.
//
// One record per line; fields are split at the delimiter. A field that
// begins with a double quote is quoted: "" inside it is a literal quote,
// the next lone quote closes it, and it may hold the delimiter and line
// breaks; anything between its closing quote and the next delimiter is
// dropped, but in a record's last field it stays (with the closing quote,
// less a quote at its end). Other fields are taken as they stand. A delimiter at the very
// end of a line starts no further field. LF inside a field becomes CR LF
// (a CR LF stays, and so does a CR alone, the grid's own line break); with
// TildeLineBreaks every '~' becomes CR LF. Lines may end in CR LF, LF or
// CR.
//
// A file of more than 10,000,000 records, 16,384 fields in a record or
// 16,777,216 fields in all raises "File too large" before the grid changes.
//
// With Delimiter 0 the delimiter is detected from the first two lines:
// among ',' ';' '#' TAB '|' the first whose count of single occurrences is
// the same, and highest, in both; none found makes every line one field.
#include <algorithm>
#include <array>
#include <climits>

#include "RichGrid/grid_file_io.h"
#include "RichGrid/text_routines.h"
#include "platform/gui/core/application.h"
#include "platform/rtl/scope_guard.h"

namespace {

constexpr int kNoDelimiter = -1;

int DetectDelimiter(std::string_view text) {
  AnsiString lines[2];
  std::size_t start = 0;
  for (AnsiString& line : lines) {
    if (start >= text.size()) break;
    line = AnsiString(vx::NextLine(text, start));
  }
  int best = 0, found = kNoDelimiter;
  for (char c : {',', ';', '#', '\t', '|'}) {
    const int n = SingleCharCount(c, lines[0]);
    if (n == SingleCharCount(c, lines[1]) && n > best) {
      best = n;
      found = static_cast<unsigned char>(c);
    }
  }
  return found;
}

// Walks the records of a text: field(index, raw, quoted, tail) for each
// field (raw is the text between the quotes of a quoted field, its "" still
// doubled; tail what follows the closing quote of a record's last field),
// then recordEnd() once per record.
class RecordScanner {
 public:
  RecordScanner(std::string_view text, int delimiter) : s_(text) {
    stop_['\r'] = stop_['\n'] = true;
    if (delimiter != kNoDelimiter) stop_[static_cast<unsigned char>(delimiter)] = true;
  }

  template <typename Field, typename RecordEnd>
  void Scan(Field&& field, RecordEnd&& recordEnd) {
    std::size_t i = 0;
    const std::size_t n = s_.size();
    while (i < n) {
      int index = 0;
      bool more = !IsLineEnd(i);
      while (more) {
        if (s_[i] == '"') {
          const std::size_t start = ++i;
          std::size_t end = n;
          for (;;) {
            const std::size_t q = s_.find('"', i);
            if (q == std::string_view::npos) {
              i = n;
              break;
            }
            if (q + 1 < n && s_[q + 1] == '"') {
              i = q + 2;
              continue;
            }
            end = q;
            i = q + 1;
            break;
          }
          const std::size_t after = i;
          while (i < n && !IsStop(i)) ++i;
          // Text after the closing quote of the last field stays.
          const std::string_view tail = end < n && IsLineEnd(i) ? s_.substr(after, i - after) : std::string_view();
          field(index, s_.substr(start, end - start), true, tail);
        } else {
          const std::size_t start = i;
          while (i < n && !IsStop(i)) ++i;
          field(index, s_.substr(start, i - start), false, std::string_view());
        }
        ++index;
        more = i < n && !IsLineEnd(i);
        if (more) ++i;  // the delimiter
        more = more && !IsLineEnd(i);
      }
      if (i < n) i += s_[i] == '\r' && i + 1 < n && s_[i + 1] == '\n' ? 2 : 1;
      recordEnd();
    }
  }

 private:
  bool IsStop(std::size_t i) const { return stop_[static_cast<unsigned char>(s_[i])]; }
  bool IsLineEnd(std::size_t i) const { return i >= s_.size() || s_[i] == '\r' || s_[i] == '\n'; }

  std::string_view s_;
  std::array<bool, 256> stop_{};
};

// What a text holds: its records, the fields of its widest record and its
// fields in all. A text without quotes is counted fast, line by line.
struct RecordCounts {
  long long Records = 0, MostFields = 0, Fields = 0;
  void EndRecord(long long fields) {
    ++Records;
    MostFields = std::max(MostFields, fields);
    Fields += fields;
  }
};

RecordCounts CountRecords(std::string_view text, int delimiter, RecordScanner& scanner) {
  RecordCounts counts;
  long long fields = 0;
  if (text.find('"') != std::string_view::npos) {
    scanner.Scan([&](int, std::string_view, bool, std::string_view) { ++fields; },
                 [&] {
                   counts.EndRecord(fields);
                   fields = 0;
                 });
    return counts;
  }
  const char d = delimiter == kNoDelimiter ? '\n' : static_cast<char>(delimiter);
  for (std::size_t start = 0; start < text.size();) {
    const std::string_view line = vx::NextLine(text, start);
    // A delimiter at the end of a line starts no field.
    counts.EndRecord(line.empty() ? 0 : std::count(line.begin(), line.end(), d) + (line.back() != d));
  }
  return counts;
}

// The cell text of a field: quotes undoubled (quoted fields), LF as CR
// LF, '~' as CR LF with tilde.
AnsiString FieldText(std::string_view raw, bool quoted, bool tilde) {
  if (!quoted && (!tilde || raw.find('~') == std::string_view::npos)) return AnsiString(raw);
  AnsiString out;
  out.reserve(raw.size() + 8);
  for (std::size_t j = 0; j < raw.size(); ++j) {
    const char c = raw[j];
    if (c == '"' && quoted) {
      out += '"';
      ++j;
    } else if (c == '\n') {
      out += "\r\n";
    } else if (c == '\r' && j + 1 < raw.size() && raw[j + 1] == '\n') {
      out += "\r\n";
      ++j;
    } else if (c == '~' && tilde) {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

// The text after the closing quote of a record's last field, as the field
// goes on: the closing quote stays, a quote at its end goes, runs of
// quotes become one.
AnsiString LastFieldTail(std::string_view tail, bool tilde) {
  AnsiString text = "\"" + AnsiString(tail);
  if (text.size() > 1 && text.back() == '"') text.pop_back();
  return FieldText(CollapseRepeatedChar('"', text), false, tilde);
}

}  // namespace

void TRichStringGrid::LoadFromCSV(const AnsiString& FileName, bool Append) {
  AnsiString bytes = ReadGridFile(FileName, "Cannot open file ");
  if (oemConvert_) bytes = OemToAnsi(bytes);
  const int delimiter = delimiter_ ? static_cast<unsigned char>(delimiter_) : DetectDelimiter(bytes);
  RecordScanner scanner(bytes, delimiter);

  // A file makes no larger grid than the cell file may.
  const RecordCounts counts = CountRecords(bytes, delimiter, scanner);
  const long long records = counts.Records;
  if (records > kMaxFileRows || counts.MostFields > kMaxFileCols || counts.Fields > kMaxFileCells)
    throw ERichGridError("File too large " + FileName);
  const int colOffset = includeFixedCells_ ? 0 : FixedCols();
  const int firstRow = Append ? RowCount() : includeFixedCells_ ? 0 : FixedRows();
  if (records > INT_MAX - firstRow) throw ERichGridError("File too large " + FileName);
  SetRowCount(firstRow + static_cast<int>(records));

  // A record's row is taken out of the grid, filled and put back whole.
  FileProgress progress(*this);
  int row = firstRow;
  std::vector<AnsiString> cells;
  std::vector<TObject*> objects;
  bool inHand = false;
  // A row is made as wide as the record before it: records are mostly of
  // one shape, and one very long line does not widen every short row.
  std::size_t lastWidth = 0;
  auto putBack = [&] {
    if (!inHand) return;
    lastWidth = cells.size();
    PutRowData(row, std::move(cells), std::move(objects));
    inHand = false;
  };
  vx::ScopeGuard keep(putBack);
  scanner.Scan(
      [&](int index, std::string_view raw, bool quoted, std::string_view tail) {
        const int col = colOffset + index;
        if (col >= ColCount()) SetColCount(col + 1);
        if (!inHand) {
          TakeRowData(row, cells, objects);
          cells.reserve(lastWidth);
          inHand = true;
        }
        if (cells.size() <= static_cast<std::size_t>(col)) cells.resize(static_cast<std::size_t>(col) + 1);
        AnsiString& cell = cells[static_cast<std::size_t>(col)];
        cell = FieldText(raw, quoted, tildeLineBreaks_);
        if (!tail.empty()) cell += LastFieldTail(tail, tildeLineBreaks_);
      },
      [&] {
        putBack();
        ++row;
        progress.Step(row - firstRow, records);
        Application->ProcessMessages();
      });
  InvalidateGrid();
}
