// TxbNumericForm: an expression that is arithmetic on numbers alone - the
// operators + - * / ^ (and parentheses) over number literals and the N and F
// fields of a table - in a flat form that evaluates without walking the
// tree's nodes and values, for expressions evaluated at every step of a walk
// (an index key checked against its entry).
//
// The form gives exactly what the tree gives: each field read as its field
// variable reads it (XBO_dBaseFld::GetNumber, which may raise for a damaged
// number; GetWholeNumber in its usual case), in the tree's order (an
// operator's right side first), each operator worked out by
// TxbExpOperator::Arithmetic, which raises what the tree raises. It leaves
// the nodes' value types and the handler's result type as they were.
#pragma once

#include <cstdint>
#include <vector>

class TxbExpBaseObject;
class TxbExpHandler;
class XBO_dBaseFld;

class TxbNumericForm {
 public:
  // The form of handler's tree; empty when the tree is anything else (or is
  // nested deeper than the form takes).
  explicit TxbNumericForm(const TxbExpHandler& handler);

  bool Empty() const { return steps_.empty(); }
  // The expression's number on the tables' current records; not for an
  // empty form.
  double Evaluate() const;

 private:
  static constexpr int kMaxStack = 32;
  struct Step {
    enum class Kind : std::uint8_t { Number, Field, Operator } kind;
    std::uint8_t code;  // operator
    int field;          // field number
    double number;
    XBO_dBaseFld* table;
  };
  // Appends the steps of node in evaluation order; false when it has a part
  // the form does not take. `depth` is the operands waiting below it.
  bool Add(const TxbExpBaseObject* node, int depth);

  std::vector<Step> steps_;
};
