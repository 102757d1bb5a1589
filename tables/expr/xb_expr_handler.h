// TxbExpHandler: one compiled expression (an index key, a FOR condition, a
// filter, a locate condition).
//
//   TxbExpHandler h(link, false, "(YEAR=2001) AND (DRAW=5)");
//   vx::ExprValue v;
//   h.Evaluate(v);     // v.Type == 8, v.Boolean
//
// The text is parsed once, when the handler is created or given a new text;
// parse errors raise EXBaseExpression at once and leave the handler without
// a tree. Each evaluation walks the tree against the link's current values
// (for a table link, the current record buffer).
//
// The handler owns its tree; the user link (may be null) is not owned and
// must outlive the handler. Comparison settings (case-insensitive, wildcard
// matching and the wildcard characters) are read by every operator node at
// evaluation time, so changing them needs no new parse.
#pragma once

#include <memory>

#include "tables/expr/xb_expr_tree.h"
#include "tables/expr/xb_expr_userlink.h"
#include "tables/expr/xb_expr_value.h"

class TxbVariant;

class TxbExpHandler {
 public:
  // sqlMode: wildcards "%" and "_" instead of "*" and "?".
  TxbExpHandler(TxbExpUserLink* userLink, bool sqlMode, const AnsiString& text);
  ~TxbExpHandler();
  TxbExpHandler(const TxbExpHandler&) = delete;
  TxbExpHandler& operator=(const TxbExpHandler&) = delete;

  // Frees the tree, clears the result values and parses text. On a parse
  // error the handler is left without a tree and the error is raised.
  void SetExpression(const AnsiString& text);

  // Evaluates the tree; value.Type is the result type (0 and an empty
  // value when there is no tree).
  void Evaluate(vx::ExprValue& value);
  // Evaluates into a value holder: text as text, numbers as numbers, dates
  // as day numbers, booleans as logicals; any other result (and no tree)
  // leaves the holder empty. Returns the expression's value type.
  std::uint8_t Evaluate(TxbVariant& out);

  // The tree written back as text ("" without a tree).
  AnsiString ExpressionText() const;
  // The text given to SetExpression.
  const AnsiString& Expression() const { return FText; }
  // Type of the last evaluation's result.
  std::uint8_t ResultType() const { return FResultType; }
  // The result type the tree's form tells without evaluating it: logical
  // for comparisons and logical operators, the literal's type for a
  // literal, a number for arithmetic (its texts and numbers are never
  // logical); xtNone for a field, a function call or no tree.
  std::uint8_t TypeByForm() const;
  bool HasTree() const { return FTree != nullptr; }
  TxbExpBaseObject* Tree() const { return FTree.get(); }

  // Reads a field variable through the user link; false when unknown.
  bool GetFieldValue(const AnsiString& name, vx::ExprValue& out) const;
  TxbExpUserLink* UserLink() const { return FUserLink; }

  // Largest length and decimal count of any literal or field in the text,
  // and the count of operands.
  int ResultLength() const { return FResultLength; }
  int ResultDecimals() const { return FResultDecimals; }
  int OperandCount() const { return FOperandCount; }
  // Used while building.
  void NoteOperand(int length, int decimals);

  // Comparison settings of every operator node.
  bool CaseInsensitive = false;
  bool Wildcards = true;
  char ManyWildcard = '*';
  char OneWildcard = '?';

 private:
  TxbExpUserLink* FUserLink;
  AnsiString FText;
  std::unique_ptr<TxbExpBaseObject> FTree;
  std::uint8_t FResultType = vx::xtNone;
  int FResultLength = 0;
  int FResultDecimals = 0;
  int FOperandCount = 0;
};
