#include "tables/expr/xb_expr_scanner.h"

#include <cstring>

#include "platform/rtl/sysutils.h"
#include "tables/expr/xb_expr_support.h"
#include "tables/expr/xb_expr_userlink.h"

namespace vx::expr {

namespace {

struct SymbolForm {
  const char* text;
  std::uint8_t code;
};

constexpr SymbolForm kSymbolForms[] = {
    {"=", opEqual},    {"<>", opNotEqual},     {"!=", opNotEqual},     {"#", opNotEqual},   {">", opGreater},
    {"<", opLess},     {">=", opGreaterEqual}, {"=>", opGreaterEqual}, {"<=", opLessEqual}, {"=<", opLessEqual},
    {"$", opContains}, {"==", opExactEqual},   {"+", opPlus},          {"-", opMinus},      {"*", opTimes},
    {"/", opDivide},   {"^", opPower},         {"**", opPower},
};

constexpr SymbolForm kWordForms[] = {
    {"AND", opAnd},         {"OR", opOr},        {"EQ", opEqual}, {"NE", opNotEqual},
    {"GE", opGreaterEqual}, {"LE", opLessEqual}, {"LT", opLess},  {"GT", opGreater},
};

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNameStart(char c) { return c == '_' || IsNameLetter(static_cast<unsigned char>(c)); }
bool IsNameChar(char c) { return IsNameStart(c) || IsDigit(c); }

char ClosingOf(char open) {
  switch (open) {
    case '"': return '"';
    case '\'': return '\'';
    case '[': return ']';
    case '{': return '}';
    default: return 0;
  }
}

// Index of the ")" matching the "(" at open, skipping quoted text; npos when
// there is none.
std::size_t MatchingParenthesis(std::string_view s, std::size_t open) {
  int depth = 0;
  for (std::size_t i = open; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"' || c == '\'' || c == '[') {
      const std::size_t close = s.find(ClosingOf(c), i + 1);
      if (close == std::string_view::npos) return std::string_view::npos;
      i = close;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) return i;
    }
  }
  return std::string_view::npos;
}

std::size_t NameEnd(std::string_view s, std::size_t i) {
  while (i < s.size() && IsNameChar(s[i])) ++i;
  return i;
}

class Scanner {
 public:
  Scanner(std::string_view text, const TxbExpUserLink* link) : link_(link) {
    std::size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    s_ = text.substr(b, e - b);
  }

  std::vector<Token> Run() {
    bool expectOperand = true;
    for (;;) {
      while (pos_ < s_.size() && IsBlank(s_[pos_])) ++pos_;
      if (pos_ >= s_.size()) break;
      expectOperand = expectOperand ? ScanOperand() : ScanOperator();
    }
    return std::move(tokens_);
  }

 private:
  // Each returns whether an operand is expected next.
  bool ScanOperand() {
    const char c = s_[pos_];
    if (TryNot()) return true;
    if (c == '(') {
      const std::size_t close = MatchingParenthesis(s_, pos_);
      if (close == std::string_view::npos) RaiseMissingParenthesis();
      Token t;
      t.Kind = TokenKind::SubExpression;
      t.Inner = AnsiString(s_.substr(pos_ + 1, close - pos_ - 1));
      tokens_.push_back(std::move(t));
      pos_ = close + 1;
      return false;
    }
    if (c == '.') {
      const std::size_t close = s_.find('.', pos_ + 1);
      if (close == std::string_view::npos) RaiseMissingPeriod();
      const AnsiString word = UpperCase(AnsiString(s_.substr(pos_ + 1, close - pos_ - 1)));
      if (word != "T" && word != "F") RaiseExpectingLogical();
      Token t;
      t.Kind = TokenKind::LogicalLit;
      t.Text = word;
      tokens_.push_back(std::move(t));
      pos_ = close + 1;
      return false;
    }
    if (IsNameStart(c)) {
      ScanName();
      return false;
    }
    if (c == '"' || c == '\'' || c == '[' || c == '{') {
      const char closing = ClosingOf(c);
      const std::size_t close = s_.find(closing, pos_ + 1);
      if (close == std::string_view::npos) RaiseMissingDelimiter(c);
      Token t;
      t.Kind = c == '{' ? TokenKind::DateLit : TokenKind::TextLit;
      t.Delimiter = c;
      t.Text = AnsiString(s_.substr(pos_ + 1, close - pos_ - 1));
      tokens_.push_back(std::move(t));
      pos_ = close + 1;
      return false;
    }
    if (c == '+' || c == '-' || IsDigit(c)) {
      std::size_t i = pos_ + 1;
      while (i < s_.size() && (IsDigit(s_[i]) || s_[i] == '.')) ++i;
      Token t;
      t.Kind = TokenKind::NumberLit;
      t.Text = AnsiString(s_.substr(pos_, i - pos_));
      tokens_.push_back(std::move(t));
      pos_ = i;
      return false;
    }
    RaiseSyntaxError(AnsiString(s_));
  }

  bool TryNot() {
    std::size_t end = 0;
    if (s_[pos_] == '!') {
      // "!" alone; "!=" belongs to no operand.
      if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '=') return false;
      end = pos_ + 1;
    } else if (s_[pos_] == '.') {
      const std::size_t wordEnd = NameEnd(s_, pos_ + 1);
      if (wordEnd >= s_.size() || s_[wordEnd] != '.') return false;
      if (UpperCase(AnsiString(s_.substr(pos_ + 1, wordEnd - pos_ - 1))) != "NOT") return false;
      end = wordEnd + 1;
    } else if (IsNameStart(s_[pos_])) {
      const std::size_t wordEnd = NameEnd(s_, pos_);
      if (UpperCase(AnsiString(s_.substr(pos_, wordEnd - pos_))) != "NOT") return false;
      end = wordEnd;
    } else {
      return false;
    }
    PushOperator(opNot, s_.substr(pos_, end - pos_));
    pos_ = end;
    return true;
  }

  void ScanName() {
    std::size_t end = NameEnd(s_, pos_);
    const std::string_view name = s_.substr(pos_, end - pos_);
    std::size_t after = end;
    while (after < s_.size() && IsBlank(s_[after])) ++after;
    if (after < s_.size() && s_[after] == '(') {
      const std::size_t close = MatchingParenthesis(s_, after);
      if (close == std::string_view::npos) RaiseMissingParenthesis();
      Token t;
      t.Kind = TokenKind::Function;
      t.Text = AnsiString(name);
      t.Inner = AnsiString(s_.substr(after + 1, close - after - 1));
      tokens_.push_back(std::move(t));
      pos_ = close + 1;
      return;
    }
    AnsiString upper = vx::expr::UpperText(AnsiString(name));
    for (;;) {
      if (link_ != nullptr && link_->FindFieldVar(upper) != nullptr) break;
      if (end + 1 < s_.size() && s_[end] == '.' && IsNameStart(s_[end + 1])) {
        const std::size_t next = NameEnd(s_, end + 1);
        upper += vx::expr::UpperText(AnsiString(s_.substr(end, next - end)));
        end = next;
        continue;
      }
      RaiseUnknownName(upper);
    }
    Token t;
    t.Kind = TokenKind::FieldVar;
    t.Text = std::move(upper);
    tokens_.push_back(std::move(t));
    pos_ = end;
  }

  bool ScanOperator() {
    static constexpr char kStarts[] = "!#$*+-/<=>^";
    static constexpr char kContinues[] = "*<=>";
    const char c = s_[pos_];
    if (std::memchr(kStarts, c, sizeof kStarts - 1) != nullptr) {
      std::size_t end = pos_ + 1;
      while (end < s_.size() && std::memchr(kContinues, s_[end], sizeof kContinues - 1) != nullptr) ++end;
      const std::string_view run = s_.substr(pos_, end - pos_);
      for (const SymbolForm& f : kSymbolForms) {
        if (run == f.text) {
          PushOperator(f.code, run);
          pos_ = end;
          return true;
        }
      }
      RaiseSyntaxError(AnsiString(s_));
    }
    std::size_t wordBegin = pos_, end = 0;
    if (c == '.') {
      wordBegin = pos_ + 1;
      const std::size_t wordEnd = NameEnd(s_, wordBegin);
      if (wordEnd >= s_.size() || s_[wordEnd] != '.') RaiseSyntaxError(AnsiString(s_));
      end = wordEnd + 1;
      const AnsiString word = UpperCase(AnsiString(s_.substr(wordBegin, wordEnd - wordBegin)));
      for (const SymbolForm& f : kWordForms) {
        if (word == f.text) {
          PushOperator(f.code, s_.substr(pos_, end - pos_));
          pos_ = end;
          return true;
        }
      }
    } else if (IsNameStart(c)) {
      end = NameEnd(s_, pos_);
      const AnsiString word = UpperCase(AnsiString(s_.substr(pos_, end - pos_)));
      for (const SymbolForm& f : kWordForms) {
        if (word == f.text) {
          PushOperator(f.code, s_.substr(pos_, end - pos_));
          pos_ = end;
          return true;
        }
      }
    }
    RaiseSyntaxError(AnsiString(s_));
  }

  void PushOperator(std::uint8_t code, std::string_view written) {
    Token t;
    t.Kind = TokenKind::Operator;
    t.OpCode = code;
    t.Level = OperatorLevel(code);
    t.Text = AnsiString(written);
    tokens_.push_back(std::move(t));
  }

  std::string_view s_;
  std::size_t pos_ = 0;
  const TxbExpUserLink* link_;
  std::vector<Token> tokens_;
};

}  // namespace

bool IsNameLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0xC0 || c == 0xA8 || c == 0xB8;
}

std::uint8_t OperatorLevel(std::uint8_t code) {
  switch (code) {
    case opPower: return 2;
    case opTimes:
    case opDivide:
    case opAnd: return 3;
    case opPlus:
    case opMinus:
    case opOr: return 4;
    case opNot: return 6;
    default: return 5;  // the comparisons, "$" and "=="
  }
}

const char* OperatorMessageName(std::uint8_t code) {
  switch (code) {
    case opEqual: return "=";
    case opNotEqual: return "#";
    case opGreater: return ">";
    case opLess: return "<";
    case opGreaterEqual: return ">=";
    case opLessEqual: return "<=";
    case opContains: return "in string";
    case opExactEqual: return "exactly equal";
    case opPlus: return "+";
    case opMinus: return "-";
    case opTimes: return "*";
    case opDivide: return "/";
    case opPower: return "^";
    case opAnd: return ".AND.";
    case opOr: return ".OR.";
    case opNot: return ".NOT.";
    default: return "?";
  }
}

std::vector<Token> Scan(std::string_view text, const TxbExpUserLink* link) { return Scanner(text, link).Run(); }

std::vector<AnsiString> SplitArguments(std::string_view text) {
  std::vector<AnsiString> pieces;
  auto push = [&](std::size_t b, std::size_t e) {
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    pieces.emplace_back(text.substr(b, e - b));
  };
  bool any = false;
  for (char c : text)
    if (!IsBlank(c)) any = true;
  if (!any) return pieces;
  std::size_t start = 0;
  int depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"' || c == '\'' || c == '[' || c == '{') {
      const std::size_t close = text.find(ClosingOf(c), i + 1);
      if (close == std::string_view::npos) break;  // the piece's own scan reports it
      i = close;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (c == ',' && depth == 0) {
      push(start, i);
      start = i + 1;
    }
  }
  push(start, text.size());
  return pieces;
}

}  // namespace vx::expr
