// The tree of an expression: one node per operand, operator, function call
// and parenthesised sub-expression.
//
// Node kinds (the Kind byte): 1 container (a parenthesised sub-expression
// holding its own tree), 2 operator with its operands attached (3 while still
// unbound during building), 4 function call, 5 field variable, 6 text
// literal, 7 number literal, 8 date literal, 9 logical literal.
//
// Every node owns its operands, arguments and inner tree. Field-variable and
// function nodes point at objects owned by a user link or by the built-in
// registry; the handler that owns the tree keeps the link alive.
//
// BuildTree binds operators level by level (2 ^; 3 * / AND; 4 + - OR;
// 5 comparisons, $ and ==; 6 NOT): at each level the leftmost unbound
// operator takes its right neighbour and, unless it is NOT, its left one.
// A NOT that follows another operator is bound first, so "a AND NOT b" is
// a AND (NOT b). Trees deeper than kMaxTreeDepth are refused.
#pragma once

#include <cmath>
#include <memory>
#include <vector>

#include "tables/expr/xb_expr_scanner.h"
#include "tables/expr/xb_expr_value.h"

class TxbExpHandler;
class TxbUserDefFunction;
class TxbUserDefFieldVar;

class TxbExpBaseObject {
 public:
  enum : std::uint8_t {
    nkContainer = 1,
    nkOperator = 2,
    nkUnboundOperator = 3,
    nkFunction = 4,
    nkFieldvar = 5,
    nkTextLit = 6,
    nkNumLit = 7,
    nkDateLit = 8,
    nkBlnLit = 9,
  };

  TxbExpBaseObject(std::uint8_t kind, TxbExpHandler* handler) : Kind(kind), Handler(handler) {}
  virtual ~TxbExpBaseObject() = default;
  TxbExpBaseObject(const TxbExpBaseObject&) = delete;
  TxbExpBaseObject& operator=(const TxbExpBaseObject&) = delete;

  // Slot 0: the node's own text (operator, literal, function or field name).
  virtual AnsiString NodeText() const = 0;
  // Slot 1: a numeric property of the node (-1 when it has none).
  virtual double NumericProperty() const { return -1; }
  // Slot 2: the text of the sub-tree: left + own + right.
  virtual AnsiString ExpressionText() const;
  // Slot 3: appends to list (";"-separated) the node texts of every node
  // of the given kind in the sub-tree.
  virtual void CollectTexts(std::uint8_t kind, AnsiString& list) const;
  // Slot 4: evaluates the sub-tree; out.Type is the value's type.
  virtual void Evaluate(vx::ExprValue& out) = 0;

  std::uint8_t Kind;
  std::uint8_t ValueType = vx::xtNone;
  int ResultLength = 0;
  int Decimals = 0;
  int Depth = 1;
  std::unique_ptr<TxbExpBaseObject> Left;
  std::unique_ptr<TxbExpBaseObject> Right;
  TxbExpHandler* Handler;
};

class TxbExpContainer : public TxbExpBaseObject {
 public:
  TxbExpContainer(TxbExpHandler* h, std::unique_ptr<TxbExpBaseObject> tree);
  AnsiString NodeText() const override { return "()"; }
  AnsiString ExpressionText() const override;
  void CollectTexts(std::uint8_t kind, AnsiString& list) const override;
  void Evaluate(vx::ExprValue& out) override;

  std::unique_ptr<TxbExpBaseObject> Tree;
};

class TxbExpOperator : public TxbExpBaseObject {
 public:
  TxbExpOperator(TxbExpHandler* h, std::uint8_t code, AnsiString written);
  AnsiString NodeText() const override;
  double NumericProperty() const override { return Code; }
  void Evaluate(vx::ExprValue& out) override;
  // The arithmetic operators (+ - * / ^) on numbers a (left) and b (right);
  // raises for a division by zero and a result that is no finite number.
  static double Arithmetic(std::uint8_t code, double a, double b);

  std::uint8_t Code;
  std::uint8_t Level;
  AnsiString Written;  // the form found in the text

 private:
  void EvaluateBoolean(const vx::ExprValue& l, const vx::ExprValue& r, vx::ExprValue& out) const;
  void EvaluateNumeric(const vx::ExprValue& l, const vx::ExprValue& r, vx::ExprValue& out) const;
  void EvaluateText(vx::ExprValue& l, vx::ExprValue& r, vx::ExprValue& out) const;
};

// Inline: the flat form of number keys works it out at every step of a walk.
inline double TxbExpOperator::Arithmetic(std::uint8_t code, double a, double b) {
  double result;
  switch (code) {
    case vx::expr::opPlus: result = a + b; break;
    case vx::expr::opMinus: result = a - b; break;
    case vx::expr::opTimes: result = a * b; break;
    case vx::expr::opDivide:
      if (b == 0) vx::expr::RaiseValueInvalid("Number");
      result = a / b;
      break;
    case vx::expr::opPower: result = std::pow(a, b); break;
    default: vx::expr::RaiseValueInvalid("assigned");
  }
  // Overflow, 0^-1 and roots of negatives end here instead of travelling on
  // as infinities or NaNs into keys and fields.
  if (!std::isfinite(result)) vx::expr::RaiseValueInvalid("Number");
  return result;
}

class TxbExpFunction : public TxbExpBaseObject {
 public:
  TxbExpFunction(TxbExpHandler* h, TxbUserDefFunction* function, AnsiString name);
  AnsiString NodeText() const override { return Name; }
  AnsiString ExpressionText() const override;
  void CollectTexts(std::uint8_t kind, AnsiString& list) const override;
  void Evaluate(vx::ExprValue& out) override;

  // Arguments as written: an empty place holds nullptr.
  int ArgCount() const { return static_cast<int>(Args.size()); }
  // Evaluates argument i (from 0); a missing one gives type 1.
  void EvaluateArg(int i, vx::ExprValue& out);
  // Evaluates argument i and checks it against the wanted type: 2 takes
  // anything, a numeric type takes every numeric type; otherwise a
  // differing type raises "%s needed for Argument %d of %s".
  void Arg(int i, std::uint8_t wanted, vx::ExprValue& out);

  TxbUserDefFunction* Function;
  AnsiString Name;  // upper case
  std::vector<std::unique_ptr<TxbExpBaseObject>> Args;
};

class TxbExpFieldvar : public TxbExpBaseObject {
 public:
  TxbExpFieldvar(TxbExpHandler* h, TxbUserDefFieldVar* var, AnsiString name);
  AnsiString NodeText() const override { return Name; }
  void Evaluate(vx::ExprValue& out) override;

  TxbUserDefFieldVar* Var;
  AnsiString Name;
};

class TxbExpTextLit : public TxbExpBaseObject {
 public:
  TxbExpTextLit(TxbExpHandler* h, AnsiString text, char delimiter);
  AnsiString NodeText() const override;
  void Evaluate(vx::ExprValue& out) override { out.SetText(Text); }

  AnsiString Text;
  char Delimiter;
};

class TxbExpNumLit : public TxbExpBaseObject {
 public:
  TxbExpNumLit(TxbExpHandler* h, AnsiString written);
  AnsiString NodeText() const override { return Written; }
  double NumericProperty() const override { return Value; }
  void Evaluate(vx::ExprValue& out) override { out.SetNumber(Value); }

  double Value = 0;
  AnsiString Written;
};

class TxbExpDateLit : public TxbExpBaseObject {
 public:
  TxbExpDateLit(TxbExpHandler* h, AnsiString written);
  AnsiString NodeText() const override { return "{" + Written + "}"; }
  double NumericProperty() const override { return Day; }
  void Evaluate(vx::ExprValue& out) override { out.SetDate(Day); }

  std::int32_t Day = 0;
  AnsiString Written;
};

class TxbExpBlnLit : public TxbExpBaseObject {
 public:
  TxbExpBlnLit(TxbExpHandler* h, bool value);
  AnsiString NodeText() const override { return Value ? ".T." : ".F."; }
  void Evaluate(vx::ExprValue& out) override { out.SetBoolean(Value); }

  bool Value;
};

namespace vx::expr {

// Deepest tree accepted (nesting of operators, parentheses and calls).
inline constexpr int kMaxTreeDepth = 400;

// Scans and builds text against the handler's user link. An empty (blank)
// text gives nullptr when allowEmpty, else "Expression cannot be evaluated".
// Raises EXBaseExpression on every error.
std::unique_ptr<TxbExpBaseObject> BuildTree(std::string_view text, TxbExpHandler& handler, bool allowEmpty,
                                            int depth = 0);

}  // namespace vx::expr
