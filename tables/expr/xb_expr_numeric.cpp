#include "tables/expr/xb_expr_numeric.h"

#include "tables/expr/xb_expr_handler.h"
#include "tables/expr/xb_expr_link.h"
#include "tables/expr/xb_expr_scanner.h"
#include "tables/expr/xb_expr_tree.h"

TxbNumericForm::TxbNumericForm(const TxbExpHandler& handler) {
  if (!Add(handler.Tree(), 0)) steps_.clear();
}

bool TxbNumericForm::Add(const TxbExpBaseObject* node, int depth) {
  using namespace vx::expr;
  if (!node || depth >= kMaxStack) return false;
  if (const auto* literal = dynamic_cast<const TxbExpNumLit*>(node)) {
    steps_.push_back({Step::Kind::Number, 0, 0, literal->Value, nullptr});
    return true;
  }
  if (const auto* container = dynamic_cast<const TxbExpContainer*>(node)) return Add(container->Tree.get(), depth);
  if (const auto* variable = dynamic_cast<const TxbExpFieldvar*>(node)) {
    const auto* field = dynamic_cast<const TxblDBFFieldVars*>(variable->Var);
    if (!field || (field->Type() != 'N' && field->Type() != 'F')) return false;
    steps_.push_back({Step::Kind::Field, 0, field->FieldNumber(), 0, field->Table()});
    return true;
  }
  if (const auto* op = dynamic_cast<const TxbExpOperator*>(node)) {
    const std::uint8_t code = op->Code;
    if (code != opPlus && code != opMinus && code != opTimes && code != opDivide && code != opPower) return false;
    // The tree evaluates the right side first.
    if (!Add(op->Right.get(), depth) || !Add(op->Left.get(), depth + 1)) return false;
    steps_.push_back({Step::Kind::Operator, code, 0, 0, nullptr});
    return true;
  }
  return false;
}

double TxbNumericForm::Evaluate() const {
  double stack[kMaxStack];
  int top = 0;
  for (const Step& step : steps_) {
    switch (step.kind) {
      case Step::Kind::Number: stack[top++] = step.number; break;
      case Step::Kind::Field: {
        double number;
        XBO_dBaseFld& table = *step.table;
        if (!table.GetWholeNumber(table.Fields()[static_cast<std::size_t>(step.field - 1)], number))
          number = table.GetNumber(step.field);
        stack[top++] = number;
        break;
      }
      case Step::Kind::Operator: {
        const double left = stack[--top];
        const double right = stack[top - 1];
        stack[top - 1] = TxbExpOperator::Arithmetic(step.code, left, right);
        break;
      }
    }
  }
  return stack[0];
}
