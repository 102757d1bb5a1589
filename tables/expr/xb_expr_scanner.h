// Scanner of the expression language: turns an expression text into a list
// of tokens.
//
// The scanner alternates between expecting an operand and expecting an
// operator, starting with an operand.
//   operand:  NOT ("!", "NOT", ".NOT.", any case; an operand is still
//             expected after it); "(" sub-expression ")"; ".T." / ".F.";
//             a name (letters, digits, "_"), a function call when "("
//             follows, else a field variable of the user link (an unknown
//             name followed by "." is extended by ".NAME" and looked up
//             again); "text", 'text', [text]; {date}; a number: "+", "-"
//             or a digit, then digits and ".".
//   operator: the longest run of ! # $ * + - / < = > ^ continued over
//             * < = >, which must be one of the symbol forms below; or a
//             word AND OR EQ NE GE LE LT GT, bare or between periods.
//
// Tokens are structured (kind, operator code and level, texts); sub-
// expressions and function arguments keep their source text and are scanned
// again when the tree is built. Errors raise EXBaseExpression.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "tables/expr/xb_expr_value.h"

class TxbExpUserLink;

namespace vx::expr {

// Operator codes and their binding levels (lower levels bind first).
enum OperatorCode : std::uint8_t {
  opEqual = 129,
  opNotEqual = 130,
  opGreater = 131,
  opLess = 132,
  opGreaterEqual = 133,
  opLessEqual = 134,
  opContains = 135,
  opExactEqual = 136,
  opPlus = 137,
  opMinus = 138,
  opTimes = 139,
  opDivide = 140,
  opPower = 141,
  opAnd = 144,
  opOr = 145,
  opNot = 146,
};

std::uint8_t OperatorLevel(std::uint8_t code);
// The name used in messages ("=", "#", "in string", ".AND." ...).
const char* OperatorMessageName(std::uint8_t code);

enum class TokenKind : std::uint8_t {
  Operator,
  Function,       // Text = name as written, Inner = argument text
  FieldVar,       // Text = upper-cased name as found
  SubExpression,  // Inner = text between the parentheses
  TextLit,        // Text = content, Delimiter = opening character
  DateLit,        // Text = content
  NumberLit,      // Text = the number as written
  LogicalLit,     // Text = "T" or "F"
};

struct Token {
  TokenKind Kind = TokenKind::Operator;
  std::uint8_t OpCode = 0;
  std::uint8_t Level = 0;
  char Delimiter = 0;
  AnsiString Text;
  AnsiString Inner;
};

// Scans text (trimmed first). link may be null: then no name is a field
// variable. Raises EXBaseExpression on the first error.
std::vector<Token> Scan(std::string_view text, const TxbExpUserLink* link);

// Splits a function's argument text at top-level commas (quoted text and
// nested parentheses respected). Every piece is trimmed; an empty piece
// stays in its place. An empty or blank argument text gives no pieces.
std::vector<AnsiString> SplitArguments(std::string_view text);

// Letters of names: ASCII letters and the CP1251 letters.
bool IsNameLetter(unsigned char c);

}  // namespace vx::expr
