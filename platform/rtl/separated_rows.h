// The rows of tab-separated text, as programs put cell ranges on the
// clipboard and into drags: rows end at line breaks, fields at TAB. A field
// that begins with a double quote and ends with one right before a TAB, the
// end of its row or the end of the text is quoted, and the line breaks
// inside it are part of the field, not ends of rows.
//
// Which line breaks end rows: a CR, a CR LF pair, and with `lfEndsRows` a
// lone LF too (without it an LF belongs to its field). A text that holds a
// CR LF pair anywhere ends its rows with CR LF (as Windows programs and
// this program write them), so only a quote before TAB, CR LF or the end
// closes a quoted field there; in other texts a quote before any line break
// that ends rows closes it. A field with no closing quote, or with a TAB
// before it, is not quoted: its opening quote is an ordinary character.
//
// Reading a text of n characters takes O(n) steps, whatever its quotes.
#pragma once

#include <string_view>

namespace vx {

template <class Char>
class SeparatedRows {
 public:
  using View = std::basic_string_view<Char>;

  SeparatedRows(View text, bool lfEndsRows)
      : text_(text), lfEndsRows_(lfEndsRows), crLfRows_(text.find(Crlf()) != View::npos) {}

  // The next row, without its line break; `broken` tells whether a line
  // break ended it (else the text ended). False past the last row: a
  // final line break starts no further row.
  bool Next(View& row, bool& broken) {
    if (at_ >= text_.size()) return false;
    const std::size_t start = at_;
    bool fieldStart = true;
    while (at_ < text_.size()) {
      const Char c = text_[at_];
      if (fieldStart && c == Char('"')) {
        const std::size_t end = QuotedFieldEnd(at_);
        fieldStart = false;
        at_ = end > at_ ? end : at_ + 1;
        continue;
      }
      if (c == Char('\r') || (c == Char('\n') && lfEndsRows_)) {
        row = text_.substr(start, at_ - start);
        at_ += c == Char('\r') && at_ + 1 < text_.size() && text_[at_ + 1] == Char('\n') ? 2 : 1;
        broken = true;
        return true;
      }
      fieldStart = c == Char('\t');
      ++at_;
    }
    row = text_.substr(start);
    broken = false;
    return true;
  }

 private:
  static constexpr Char kCrlf[] = {Char('\r'), Char('\n')};
  static constexpr View Crlf() { return View(kCrlf, 2); }

  // A line break that ends rows begins at `i`.
  bool RowBreakAt(std::size_t i) const {
    if (crLfRows_) return text_.substr(i, 2) == Crlf();
    return text_[i] == Char('\r') || (lfEndsRows_ && text_[i] == Char('\n'));
  }

  // Just past the closing quote of the quoted field that opens at `open`,
  // or `open` when no quoted field opens there. A search that found no
  // closing quote up to a TAB or the end answers every later opening
  // before that point at once.
  std::size_t QuotedFieldEnd(std::size_t open) {
    if (open < unclosedUntil_) return open;
    for (std::size_t i = open + 1; i < text_.size(); ++i) {
      if (text_[i] == Char('\t')) {
        unclosedUntil_ = i;
        return open;
      }
      if (text_[i] != Char('"')) continue;
      const std::size_t after = i + 1;
      if (after == text_.size() || text_[after] == Char('\t') || RowBreakAt(after)) return after;
    }
    unclosedUntil_ = text_.size();
    return open;
  }

  View text_;
  bool lfEndsRows_, crLfRows_;
  std::size_t at_ = 0, unclosedUntil_ = 0;
};

}  // namespace vx
