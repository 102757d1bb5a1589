// Evaluation of operator nodes and the language's text comparison.
#include <cmath>

#include "tables/expr/xb_expr_compare.h"
#include "tables/expr/xb_expr_handler.h"
#include "tables/expr/xb_expr_support.h"
#include "tables/expr/xb_expr_tree.h"

using vx::ExprValue;
using namespace vx::expr;

namespace {

bool IsComparison(std::uint8_t code) { return code >= opEqual && code <= opLessEqual; }

bool CompareResult(std::uint8_t code, int cmp) {
  switch (code) {
    case opEqual: return cmp == 0;
    case opNotEqual: return cmp != 0;
    case opGreater: return cmp > 0;
    case opLess: return cmp < 0;
    case opGreaterEqual: return cmp >= 0;
    case opLessEqual: return cmp <= 0;
    default: return false;
  }
}

std::string_view TrimTrailingBlanks(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

namespace vx::expr {

int CompareExprTexts(std::string_view left, std::string_view right, const TxbExpHandler& settings, bool wildcards) {
  left = TrimTrailingBlanks(left);
  right = TrimTrailingBlanks(right);
  if (left.empty() || right.empty()) return left.empty() ? (right.empty() ? 0 : -1) : 1;
  const int plain = CollateTexts(left, right, settings.CaseInsensitive);
  if (!wildcards || !settings.Wildcards || plain == 0) return plain;
  const char w = settings.ManyWildcard;
  const bool lead = right.front() == w;
  const bool trail = right.back() == w;
  if (!lead && !trail) return plain;
  if (right.size() == 1) return 0;
  std::string_view pattern = right;
  if (lead) pattern.remove_prefix(1);
  if (trail && !pattern.empty()) pattern.remove_suffix(1);
  AnsiString l(left), p(pattern);
  if (settings.CaseInsensitive) {
    l = UpperText(l);
    p = UpperText(p);
  }
  bool match;
  if (lead && trail) match = l.find(p) != AnsiString::npos;
  else if (trail) match = l.compare(0, p.size(), p) == 0 && l.size() >= p.size();
  else match = l.size() >= p.size() && l.compare(l.size() - p.size(), p.size(), p) == 0;
  return match ? 0 : plain;
}

}  // namespace vx::expr

void TxbExpOperator::Evaluate(ExprValue& out) {
  if (!Right || (Code != opNot && !Left)) RaiseTargetMissing(OperatorMessageName(Code));
  Right->Evaluate(out);
  if (Code == opNot) {
    if (out.Type != vx::xtBoolean) RaiseValueInvalid("boolean");
    out.Boolean = !out.Boolean;
    ValueType = vx::xtBoolean;
    return;
  }
  ExprValue left;
  Left->Evaluate(left);
  if (left.Type != out.Type && !(vx::IsNumericType(left.Type) && vx::IsNumericType(out.Type))) RaiseSidesMismatch();
  switch (out.Type) {
    case vx::xtBoolean: EvaluateBoolean(left, out, out); break;
    case vx::xtText: EvaluateText(left, out, out); break;
    default:
      if (vx::IsNumericType(out.Type)) EvaluateNumeric(left, out, out);
      else RaiseValueInvalid("assigned");
      break;
  }
  ValueType = out.Type;
}

void TxbExpOperator::EvaluateBoolean(const ExprValue& l, const ExprValue& r, ExprValue& out) const {
  bool result;
  switch (Code) {
    case opEqual:
    case opExactEqual: result = l.Boolean == r.Boolean; break;
    case opNotEqual: result = l.Boolean != r.Boolean; break;
    case opAnd: result = l.Boolean && r.Boolean; break;
    case opOr: result = l.Boolean || r.Boolean; break;
    case opPlus:
    case opMinus:
    case opTimes:
    case opDivide:
    case opPower: RaiseValueInvalid("number");
    default: RaiseValueInvalid("assigned");
  }
  out.SetBoolean(result);
}

void TxbExpOperator::EvaluateNumeric(const ExprValue& l, const ExprValue& r, ExprValue& out) const {
  const double a = l.Number, b = r.Number;
  if (IsComparison(Code) || Code == opExactEqual) {
    out.SetBoolean(CompareResult(Code == opExactEqual ? std::uint8_t{opEqual} : Code, a < b ? -1 : (a > b ? 1 : 0)));
    return;
  }
  const double result = Arithmetic(Code, a, b);
  out.Type = r.Type;
  out.Number = result;
}

void TxbExpOperator::EvaluateText(ExprValue& l, ExprValue& r, ExprValue& out) const {
  if (IsComparison(Code)) {
    out.SetBoolean(CompareResult(Code, CompareExprTexts(l.Text, r.Text, *Handler)));
    return;
  }
  switch (Code) {
    // Exact equality: the same length and the same bytes, blanks included,
    // whatever the comparison settings say.
    case opExactEqual: out.SetBoolean(l.Text == r.Text); return;
    case opContains: out.SetBoolean(r.Text.find(l.Text) != AnsiString::npos); return;
    case opPlus:
      if (l.Text.size() + r.Text.size() > vx::kMaxBuiltText) RaiseValueInvalid("Text");
      l.Text += r.Text;
      out.Text.swap(l.Text);
      out.Type = vx::xtText;
      return;
    case opMinus: {
      const std::size_t total = l.Text.size() + r.Text.size();
      if (total > vx::kMaxBuiltText) RaiseValueInvalid("Text");
      while (!l.Text.empty() && l.Text.back() == ' ') l.Text.pop_back();
      l.Text += r.Text;
      l.Text.resize(total, ' ');
      out.Text.swap(l.Text);
      out.Type = vx::xtText;
      return;
    }
    default: RaiseValueInvalid("assigned");
  }
}
