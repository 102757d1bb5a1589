#include "platform/gui/richtext/rtf_reader.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vx {

namespace {

// Code page 1252 bytes 0x80..0x9F (0xA0..0xFF are Latin-1 as they stand).
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t DecodeByte(unsigned char b, int codePage) {
  if (b < 0x80) return b;
  if (codePage == 1252) return b < 0xA0 ? kCp1252High[b - 0x80] : b;
  return cp1251::kToUnicode[b];
}

int CodePageOfCharset(int charset, int fallback) {
  switch (charset) {
    case 0: return 1252;
    case 204: return 1251;
    default: return fallback;
  }
}

enum class Dest { Text, Skip, FontTable, Pn };

// Limits that keep sizes and indents within what an editor can lay out
// (and every sum of them within int).
constexpr int kMaxSize = 1638;      // points (\fs 3276)
constexpr int kMaxTwips = 1000000;  // one indent as read
constexpr int kMaxIndent = 20000;   // points, one indent of a paragraph
// Groups deeper than this are read as part of the group at this depth, so
// the reader's state stays small whatever the nesting; documents that
// programs write nest a few dozen levels.
constexpr std::size_t kMaxGroupDepth = 3000;
// Font table entries kept (numbers beyond are read as unknown fonts), and
// the length a font name is cut to.
constexpr std::size_t kMaxFonts = 4096;
constexpr std::size_t kMaxFontName = 255;

struct Font {
  AnsiString name;
  int codePage = 0;  // 0: the document's
};

struct GroupState {
  RichCharFormat format;
  int font = -1;
  int unicodeSkip = 1;
  Dest dest = Dest::Text;
};

// The control words this reader acts on.
enum class Keyword {
  Unknown,
  Bin,
  U,
  FontTable,
  Pn,
  NestTableProps,
  SkippedDestination,  // read before the destination's state
  Par,
  Line,
  Tab,
  Row,
  Pard,
  Plain,
  F,
  Fs,
  B,
  I,
  Strike,
  Ul,
  UlNone,
  Ql,
  Qr,
  Qc,
  Fi,
  Li,
  Ri,
  Ls,
  Uc,
  AnsiCpg,
  Deff,
  FCharset,
  Emdash,
  Endash,
  Bullet,
  LQuote,
  RQuote,
  LDblQuote,
  RDblQuote
};

Keyword KeywordOf(std::string_view word) {
  static const std::unordered_map<std::string_view, Keyword> words = [] {
    std::unordered_map<std::string_view, Keyword> m = {
        {"bin", Keyword::Bin},
        {"u", Keyword::U},
        {"fonttbl", Keyword::FontTable},
        {"pn", Keyword::Pn},
        // Properties of a nested table's row, which end it with \nestrow.
        {"nesttableprops", Keyword::NestTableProps},
        {"par", Keyword::Par},
        {"sect", Keyword::Par},
        {"line", Keyword::Line},
        {"tab", Keyword::Tab},
        {"cell", Keyword::Tab},
        {"nestcell", Keyword::Tab},
        {"row", Keyword::Row},
        {"nestrow", Keyword::Row},
        {"pard", Keyword::Pard},
        {"plain", Keyword::Plain},
        {"f", Keyword::F},
        {"fs", Keyword::Fs},
        {"b", Keyword::B},
        {"i", Keyword::I},
        {"strike", Keyword::Strike},
        {"ulnone", Keyword::UlNone},
        {"ulc", Keyword::Unknown},  // the underline's colour
        {"ql", Keyword::Ql},
        {"qj", Keyword::Ql},
        {"qr", Keyword::Qr},
        {"qc", Keyword::Qc},
        {"fi", Keyword::Fi},
        {"li", Keyword::Li},
        {"ri", Keyword::Ri},
        {"ls", Keyword::Ls},
        {"uc", Keyword::Uc},
        {"ansicpg", Keyword::AnsiCpg},
        {"deff", Keyword::Deff},
        {"fcharset", Keyword::FCharset},
        {"emdash", Keyword::Emdash},
        {"endash", Keyword::Endash},
        {"bullet", Keyword::Bullet},
        {"lquote", Keyword::LQuote},
        {"rquote", Keyword::RQuote},
        {"ldblquote", Keyword::LDblQuote},
        {"rdblquote", Keyword::RDblQuote},
    };
    // Destinations whose text the document does not show, even without \*.
    for (std::string_view name :
         {"colortbl", "stylesheet", "info", "pict", "object", "header", "headerl", "headerr", "headerf", "footer",
          "footerl", "footerr", "footerf", "footnote", "listtext", "pntext", "listtable", "listoverridetable", "revtbl",
          "rsidtbl", "xmlnstbl", "themedata", "fldinst", "datastore", "latentstyles", "generator", "pgdptbl", "filetbl",
          "shpinst", "nonshppict",
          // The text for readers that do not know nested tables.
          "nonesttables"})
      m.emplace(name, Keyword::SkippedDestination);
    return m;
  }();
  const auto it = words.find(word);
  if (it != words.end()) return it->second;
  // Every kind of underline (\uld, \ulwave, ...).
  return word.starts_with("ul") ? Keyword::Ul : Keyword::Unknown;
}

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {
    stack_.emplace_back();
    stack_.back().format.Size = 12;  // RTF's default size (\fs24)
  }

  RichDocument Read() {
    while (pos_ < in_.size()) {
      const char c = in_[pos_++];
      switch (c) {
        case '{': OpenGroup(); break;
        case '}': CloseGroup(); break;
        case '\\': Control(); break;
        case '\r':
        case '\n': break;
        case '\t': Text(u"\t"); break;
        default:
          if (static_cast<unsigned char>(c) < 0x20) break;
          if (State().dest == Dest::Text && skipLeft_ == 0) PlainText();
          else Byte(static_cast<unsigned char>(c));
      }
      if (ended_) break;
    }
    EndParagraph(false);
    if (doc_.Paragraphs.empty()) doc_.Paragraphs.emplace_back();
    return std::move(doc_);
  }

 private:
  GroupState& State() { return stack_.back(); }

  void OpenGroup() {
    starred_ = false;
    skipLeft_ = 0;
    if (stack_.size() >= kMaxGroupDepth) {
      ++flattened_;
      return;
    }
    GroupState copy = State();
    stack_.push_back(copy);
  }

  void CloseGroup() {
    if (flattened_ > 0) {
      --flattened_;
      skipLeft_ = 0;
      return;
    }
    const bool fontTable = State().dest == Dest::FontTable;
    if (fontTable) FinishFontName();
    skipLeft_ = 0;
    if (stack_.size() <= 1) {
      ended_ = true;  // the document's own closing brace
      return;
    }
    stack_.pop_back();
    // Text without \f is in the default font, known once the table is read.
    if (fontTable && State().dest == Dest::Text && State().font < 0) State().format.Name = DefaultFormat().Name;
  }

  // A control word (letters, an optional signed number, an optional blank)
  // or a control symbol.
  void Control() {
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    if (!IsLetter(c)) {
      ++pos_;
      Symbol(c);
      return;
    }
    const std::size_t start = pos_;
    while (pos_ < in_.size() && IsLetter(in_[pos_])) ++pos_;
    const std::string_view word = in_.substr(start, pos_ - start);
    bool hasParam = false, negative = false;
    long long param = 0;
    if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() && IsDigit(in_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    while (pos_ < in_.size() && IsDigit(in_[pos_])) {
      hasParam = true;
      param = std::min<long long>(param * 10 + (in_[pos_++] - '0'), 1LL << 40);
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    const int value = static_cast<int>(std::clamp<long long>(negative ? -param : param, -(1LL << 30), 1LL << 30));
    Word(KeywordOf(word), hasParam, value);
  }

  void Symbol(char c) {
    switch (c) {
      case '\'': {
        int v = 0, digits = 0;
        while (digits < 2 && pos_ < in_.size() && IsHex(in_[pos_])) v = v * 16 + HexValue(in_[pos_++]), ++digits;
        if (digits == 2) Byte(static_cast<unsigned char>(v));
        break;
      }
      case '\\':
      case '{':
      case '}': Byte(static_cast<unsigned char>(c)); break;
      case '~': Text(u"\u00A0"); break;
      case '_': Text(u"\u2011"); break;
      case '*': starred_ = true; break;
      case '\r':
      case '\n': ControlWordInText(Keyword::Par); break;
      default: break;  // \- and the rest show nothing
    }
  }

  void Word(Keyword word, bool hasParam, int value) {
    const bool starred = starred_;
    starred_ = false;
    if (word == Keyword::Bin) {
      pos_ += std::min<std::size_t>(static_cast<std::size_t>(std::max(value, 0)), in_.size() - pos_);
      return;
    }
    GroupState& state = State();
    if (state.dest == Dest::Skip) return;
    if (word == Keyword::U) {
      if (state.dest == Dest::Text && skipLeft_ == 0) {
        const auto unit = static_cast<char16_t>(static_cast<std::uint16_t>(value));
        EmitChar(unit);
      }
      skipLeft_ = state.unicodeSkip;
      return;
    }
    if (skipLeft_ > 0) {
      --skipLeft_;
      return;
    }
    switch (word) {
      case Keyword::NestTableProps: return;
      case Keyword::FontTable: state.dest = Dest::FontTable; return;
      case Keyword::Pn:
        state.dest = Dest::Pn;
        para_.Bullet = true;
        return;
      case Keyword::SkippedDestination: state.dest = Dest::Skip; return;
      default:
        // Every other \* destination is one this reader does not know.
        if (starred) {
          state.dest = Dest::Skip;
          return;
        }
    }
    if (state.dest == Dest::FontTable) {
      FontTableWord(word, value);
      return;
    }
    if (state.dest == Dest::Pn) return;
    ControlWordInText(word, hasParam, value);
  }

  void FontTableWord(Keyword word, int value) {
    if (word == Keyword::F) {
      FinishFontName();
      if (fonts_.size() >= kMaxFonts && !fonts_.count(value)) {
        fontEntry_ = -1;
        return;
      }
      fontEntry_ = value;
      fonts_[value];
    } else if (word == Keyword::FCharset && fontEntry_ >= 0) {
      fonts_[fontEntry_].codePage = CodePageOfCharset(value, 0);
    }
  }

  // Font name bytes up to the ';' that ends the entry (longer names are cut).
  void FontNameByte(unsigned char b) {
    if (b < 0x20) return;
    if (b == ';') {
      fontNameEnded_ = true;
      FinishFontName();
    } else if (fontName_.size() < kMaxFontName) {
      fontName_ += static_cast<char>(b);
    }
  }

  void FinishFontName() {
    const std::size_t first = fontName_.find_first_not_of(' ');
    const std::size_t last = fontName_.find_last_not_of(' ');
    if (fontEntry_ >= 0 && first != AnsiString::npos)
      fonts_[fontEntry_].name = fontName_.substr(first, last - first + 1);
    fontName_.clear();
    if (fontNameEnded_) fontEntry_ = -1;
    fontNameEnded_ = false;
  }

  void ControlWordInText(Keyword word, bool hasParam = false, int value = 0) {
    RichCharFormat& f = State().format;
    const bool on = !hasParam || value != 0;
    auto style = [&](TFontStyle s) {
      if (on) f.Style.Include(s);
      else f.Style.Exclude(s);
    };
    switch (word) {
      case Keyword::Par:
      case Keyword::Row: EndParagraph(true); break;
      case Keyword::Line: Text(u"\u2028"); break;
      case Keyword::Tab: Text(u"\t"); break;
      case Keyword::Pard:
        para_ = {};
        indentTwips_[0] = indentTwips_[1] = indentTwips_[2] = 0;
        break;
      case Keyword::Plain:
        f = DefaultFormat();
        State().font = defaultFont_;
        break;
      case Keyword::F: {
        State().font = value;
        const auto it = fonts_.find(value);
        if (it != fonts_.end() && !it->second.name.empty()) f.Name = it->second.name;
        break;
      }
      case Keyword::Fs:
        if (value > 0) f.Size = std::clamp(value / 2, 1, kMaxSize);
        break;
      case Keyword::B: style(fsBold); break;
      case Keyword::I: style(fsItalic); break;
      case Keyword::Strike: style(fsStrikeOut); break;
      case Keyword::Ul: style(fsUnderline); break;
      case Keyword::UlNone: f.Style.Exclude(fsUnderline); break;
      case Keyword::Ql: para_.Alignment = RichAlignment::Left; break;
      case Keyword::Qr: para_.Alignment = RichAlignment::Right; break;
      case Keyword::Qc: para_.Alignment = RichAlignment::Center; break;
      case Keyword::Fi: indentTwips_[0] = std::clamp(value, -kMaxTwips, kMaxTwips); break;
      case Keyword::Li: indentTwips_[1] = std::clamp(value, -kMaxTwips, kMaxTwips); break;
      case Keyword::Ri: indentTwips_[2] = std::clamp(value, -kMaxTwips, kMaxTwips); break;
      case Keyword::Ls:
        if (value > 0) para_.Bullet = true;
        break;
      case Keyword::Uc: State().unicodeSkip = std::clamp(value, 0, 16); break;
      case Keyword::AnsiCpg: codePage_ = value == 1252 ? 1252 : 1251; break;
      case Keyword::Deff: defaultFont_ = value; break;
      case Keyword::Emdash: Text(u"\u2014"); break;
      case Keyword::Endash: Text(u"\u2013"); break;
      case Keyword::Bullet: Text(u"\u2022"); break;
      case Keyword::LQuote: Text(u"\u2018"); break;
      case Keyword::RQuote: Text(u"\u2019"); break;
      case Keyword::LDblQuote: Text(u"\u201C"); break;
      case Keyword::RDblQuote: Text(u"\u201D"); break;
      default: break;
    }
  }

  RichCharFormat DefaultFormat() const {
    RichCharFormat f;
    f.Size = 12;
    const auto it = fonts_.find(defaultFont_);
    if (it != fonts_.end() && !it->second.name.empty()) f.Name = it->second.name;
    return f;
  }

  int CurrentCodePage() const {
    const auto it = fonts_.find(stack_.back().font);
    if (it != fonts_.end() && it->second.codePage) return it->second.codePage;
    return codePage_;
  }

  void Byte(unsigned char b) {
    if (skipLeft_ > 0) {
      --skipLeft_;
      return;
    }
    switch (State().dest) {
      case Dest::FontTable: FontNameByte(b); break;
      case Dest::Text: EmitChar(DecodeByte(b, CurrentCodePage())); break;
      default: break;
    }
  }

  void Text(const std::u16string& text) {
    if (State().dest != Dest::Text) return;
    if (skipLeft_ > 0) {
      --skipLeft_;
      return;
    }
    paragraph_.Append(text, State().format);
  }

  // The text bytes from the one just read up to the next brace, backslash
  // or control character, as one piece.
  void PlainText() {
    const int codePage = CurrentCodePage();
    text_.clear();
    for (--pos_; pos_ < in_.size(); ++pos_) {
      const auto b = static_cast<unsigned char>(in_[pos_]);
      if (b < 0x20 || b == '{' || b == '}' || b == '\\') break;
      text_ += DecodeByte(b, codePage);
    }
    paragraph_.Append(text_, State().format);
  }

  // Control characters other than tab are not text.
  void EmitChar(char16_t c) {
    if (c < 0x20 && c != u'\t') return;
    paragraph_.Append(std::u16string(1, c), State().format);
  }

  // Ends the paragraph being read; at the end of the input only when it
  // has text (writers end the last paragraph with \par or not).
  void EndParagraph(bool explicitEnd) {
    if (State().dest != Dest::Text && explicitEnd) return;
    if (!explicitEnd && paragraph_.Runs.empty()) return;
    paragraph_.Format = para_;
    const int fi = indentTwips_[0], li = indentTwips_[1], ri = indentTwips_[2];
    paragraph_.Format.FirstIndent = std::clamp(Points(li + fi), -kMaxIndent, kMaxIndent);
    paragraph_.Format.LeftIndent = std::clamp(-Points(fi), -kMaxIndent, kMaxIndent);
    paragraph_.Format.RightIndent = std::clamp(Points(ri), -kMaxIndent, kMaxIndent);
    doc_.Paragraphs.push_back(std::move(paragraph_));
    paragraph_ = RichParagraph{};
  }

  static int Points(int twips) { return twips >= 0 ? (twips + 10) / 20 : -((-twips + 10) / 20); }
  static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  static bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
  static int HexValue(char c) { return IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }

  std::string_view in_;
  std::size_t pos_ = 0;
  std::vector<GroupState> stack_;
  std::size_t flattened_ = 0;  // groups open beyond kMaxGroupDepth
  std::map<int, Font> fonts_;
  int fontEntry_ = -1;
  AnsiString fontName_;
  bool fontNameEnded_ = false;
  int defaultFont_ = 0;
  int codePage_ = 1251;
  int skipLeft_ = 0;
  bool starred_ = false;
  bool ended_ = false;
  RichParagraphFormat para_;
  int indentTwips_[3] = {0, 0, 0};  // \fi, \li, \ri of the paragraph being read
  RichParagraph paragraph_;
  std::u16string text_;  // PlainText's piece
  RichDocument doc_;
};

}  // namespace

bool LooksLikeRtf(std::string_view bytes) { return bytes.substr(0, 5) == "{\\rtf"; }

RichDocument ReadRtf(std::string_view bytes) { return Reader(bytes).Read(); }

}  // namespace vx
