#include "tables/expr/xb_expr_tree.h"

#include <algorithm>

#include "tables/expr/xb_expr_functions.h"
#include "tables/expr/xb_expr_handler.h"
#include "tables/expr/xb_expr_support.h"
#include "tables/expr/xb_expr_userlink.h"

using vx::ExprValue;

// ---- texts ------------------------------------------------------------

AnsiString TxbExpBaseObject::ExpressionText() const {
  AnsiString s;
  if (Left) s += Left->ExpressionText();
  s += NodeText();
  if (Right) s += Right->ExpressionText();
  return s;
}

void TxbExpBaseObject::CollectTexts(std::uint8_t kind, AnsiString& list) const {
  if (Left) Left->CollectTexts(kind, list);
  if (Kind == kind) {
    if (!list.empty()) list += ';';
    list += NodeText();
  }
  if (Right) Right->CollectTexts(kind, list);
}

// ---- container --------------------------------------------------------

TxbExpContainer::TxbExpContainer(TxbExpHandler* h, std::unique_ptr<TxbExpBaseObject> tree)
    : TxbExpBaseObject(nkContainer, h), Tree(std::move(tree)) {
  Depth = Tree ? Tree->Depth + 1 : 1;
}

AnsiString TxbExpContainer::ExpressionText() const { return "(" + (Tree ? Tree->ExpressionText() : "") + ")"; }

void TxbExpContainer::CollectTexts(std::uint8_t kind, AnsiString& list) const {
  if (Kind == kind) {
    if (!list.empty()) list += ';';
    list += NodeText();
  }
  if (Tree) Tree->CollectTexts(kind, list);
}

void TxbExpContainer::Evaluate(ExprValue& out) {
  if (!Tree) vx::expr::RaiseCannotEvaluate();
  Tree->Evaluate(out);
  ValueType = out.Type;
}

// ---- operator ---------------------------------------------------------

TxbExpOperator::TxbExpOperator(TxbExpHandler* h, std::uint8_t code, AnsiString written)
    : TxbExpBaseObject(nkUnboundOperator, h),
      Code(code),
      Level(vx::expr::OperatorLevel(code)),
      Written(std::move(written)) {}

AnsiString TxbExpOperator::NodeText() const {
  // Word operators come back between periods so that the text reads the
  // same once the blanks around them are gone.
  switch (Code) {
    case vx::expr::opAnd: return ".AND.";
    case vx::expr::opOr: return ".OR.";
    case vx::expr::opNot: return Written == "!" ? "!" : ".NOT.";
    default: break;
  }
  if (!Written.empty() && vx::expr::IsNameLetter(static_cast<unsigned char>(Written[0]))) {
    return "." + vx::expr::UpperText(Written) + ".";
  }
  return Written;
}

// ---- function ---------------------------------------------------------

TxbExpFunction::TxbExpFunction(TxbExpHandler* h, TxbUserDefFunction* function, AnsiString name)
    : TxbExpBaseObject(nkFunction, h), Function(function), Name(std::move(name)) {}

AnsiString TxbExpFunction::ExpressionText() const {
  AnsiString s = Name + "(";
  for (std::size_t i = 0; i < Args.size(); ++i) {
    if (i > 0) s += ',';
    if (Args[i]) s += Args[i]->ExpressionText();
  }
  return s + ")";
}

void TxbExpFunction::CollectTexts(std::uint8_t kind, AnsiString& list) const {
  if (Kind == kind) {
    if (!list.empty()) list += ';';
    list += NodeText();
  }
  for (const auto& a : Args)
    if (a) a->CollectTexts(kind, list);
}

void TxbExpFunction::Evaluate(ExprValue& out) {
  if (!Function->Evaluate(*this, out)) out = ExprValue();
  ValueType = out.Type;
}

void TxbExpFunction::EvaluateArg(int i, ExprValue& out) {
  if (i < 0 || i >= ArgCount() || !Args[static_cast<std::size_t>(i)]) {
    out.SetMissing();
    return;
  }
  Args[static_cast<std::size_t>(i)]->Evaluate(out);
}

void TxbExpFunction::Arg(int i, std::uint8_t wanted, ExprValue& out) {
  EvaluateArg(i, out);
  if (wanted == vx::xtAny || out.Type == wanted) return;
  if (vx::IsNumericType(wanted) && vx::IsNumericType(out.Type)) return;
  vx::expr::RaiseArgumentNeeded(vx::expr::TypeName(wanted), i + 1, Name);
}

// ---- field variable and literals --------------------------------------

TxbExpFieldvar::TxbExpFieldvar(TxbExpHandler* h, TxbUserDefFieldVar* var, AnsiString name)
    : TxbExpBaseObject(nkFieldvar, h), Var(var), Name(std::move(name)) {
  ResultLength = var->Length();
  Decimals = var->Decimals();
}

void TxbExpFieldvar::Evaluate(ExprValue& out) {
  if (!Var->Value(out)) out = ExprValue();
  ValueType = out.Type;
}

TxbExpTextLit::TxbExpTextLit(TxbExpHandler* h, AnsiString text, char delimiter)
    : TxbExpBaseObject(nkTextLit, h), Text(std::move(text)), Delimiter(delimiter) {
  ValueType = vx::xtText;
  ResultLength = static_cast<int>(std::min<std::size_t>(Text.size(), 0x7FFFFFFF));
}

AnsiString TxbExpTextLit::NodeText() const {
  const char close = Delimiter == '[' ? ']' : Delimiter;
  return AnsiString(1, Delimiter) + Text + AnsiString(1, close);
}

TxbExpNumLit::TxbExpNumLit(TxbExpHandler* h, AnsiString written)
    : TxbExpBaseObject(nkNumLit, h), Written(std::move(written)) {
  ValueType = vx::xtNumber;
  if (!vx::expr::ParseDecimal(Written, Value)) Value = 0;
  ResultLength = static_cast<int>(std::min<std::size_t>(Written.size(), 0x7FFFFFFF));
  const std::size_t dot = Written.find('.');
  if (dot != AnsiString::npos) {
    std::size_t i = dot + 1;
    while (i < Written.size() && Written[i] >= '0' && Written[i] <= '9') ++i;
    Decimals = static_cast<int>(std::min<std::size_t>(i - dot - 1, 0x7FFFFFFF));
  }
}

TxbExpDateLit::TxbExpDateLit(TxbExpHandler* h, AnsiString written)
    : TxbExpBaseObject(nkDateLit, h), Day(vx::expr::TextToDay(written)), Written(std::move(written)) {
  ValueType = vx::xtDate;
  ResultLength = 8;
}

TxbExpBlnLit::TxbExpBlnLit(TxbExpHandler* h, bool value) : TxbExpBaseObject(nkBlnLit, h), Value(value) {
  ValueType = vx::xtBoolean;
  ResultLength = 1;
}

// ---- building ---------------------------------------------------------

namespace vx::expr {

namespace {

using NodePtr = std::unique_ptr<TxbExpBaseObject>;

void CheckDepth(int depth) {
  if (depth > kMaxTreeDepth) RaiseCannotEvaluate();
}

bool IsUnboundNot(const NodePtr& n) {
  return n && n->Kind == TxbExpBaseObject::nkUnboundOperator && static_cast<const TxbExpOperator&>(*n).Code == opNot;
}

// Takes the operand at nodes[i] for an operator. A run of unbound NOTs
// there is bound first, the last one onto the operand after it, so that an
// operator followed by NOT applies to the negated operand.
NodePtr TakeOperand(std::vector<NodePtr>& nodes, std::size_t& i) {
  const std::size_t first = i;
  std::size_t end = i;
  while (end < nodes.size() && IsUnboundNot(nodes[end])) ++end;
  NodePtr operand;
  if (end < nodes.size()) {
    operand = std::move(nodes[end]);
    i = end + 1;
  } else {
    i = end;
  }
  for (std::size_t k = end; k > first; --k) {
    NodePtr op = std::move(nodes[k - 1]);
    const int depth = (operand ? operand->Depth : 0) + 1;
    CheckDepth(depth);
    op->Kind = TxbExpBaseObject::nkOperator;
    op->Depth = depth;
    op->Right = std::move(operand);
    operand = std::move(op);
  }
  return operand;
}

void BindLevel(std::vector<NodePtr>& nodes, std::uint8_t level) {
  std::vector<NodePtr> out;
  out.reserve(nodes.size());
  std::size_t i = 0;
  while (i < nodes.size()) {
    NodePtr node = std::move(nodes[i++]);
    if (node->Kind != TxbExpBaseObject::nkUnboundOperator || static_cast<TxbExpOperator&>(*node).Level != level) {
      out.push_back(std::move(node));
      continue;
    }
    auto& op = static_cast<TxbExpOperator&>(*node);
    op.Kind = TxbExpBaseObject::nkOperator;
    if (op.Code != opNot && !out.empty()) {
      op.Left = std::move(out.back());
      out.pop_back();
    }
    op.Right = TakeOperand(nodes, i);
    int depth = 0;
    if (op.Left) depth = op.Left->Depth;
    if (op.Right) depth = std::max(depth, op.Right->Depth);
    CheckDepth(depth + 1);
    op.Depth = depth + 1;
    out.push_back(std::move(node));
  }
  nodes = std::move(out);
}

NodePtr BuildFunction(const Token& t, TxbExpHandler& handler, int depth) {
  const AnsiString name = UpperText(t.Text);
  TxbUserDefFunction* function = BuiltinFunctions().Find(name);
  TxbExpUserLink* link = handler.UserLink();
  if (function == nullptr && link != nullptr) function = link->FindFunction(name);
  if (function == nullptr) {
    if (link == nullptr) RaiseNoFunction(name);
    function = link->UnknownFunction(name);
    if (function == nullptr) RaiseNoFunction(name);
  }
  auto node = std::make_unique<TxbExpFunction>(&handler, function, name);
  int argDepth = 0;
  for (const AnsiString& piece : SplitArguments(t.Inner)) {
    if (piece.empty()) {
      node->Args.push_back(nullptr);
      continue;
    }
    NodePtr arg = BuildTree(piece, handler, false, depth + 1);
    argDepth = std::max(argDepth, arg->Depth);
    node->Args.push_back(std::move(arg));
  }
  CheckDepth(argDepth + 1);
  node->Depth = argDepth + 1;
  return node;
}

NodePtr BuildNode(const Token& t, TxbExpHandler& handler, int depth) {
  switch (t.Kind) {
    case TokenKind::Operator: return std::make_unique<TxbExpOperator>(&handler, t.OpCode, t.Text);
    case TokenKind::Function: return BuildFunction(t, handler, depth);
    case TokenKind::FieldVar: {
      TxbExpUserLink* link = handler.UserLink();
      TxbUserDefFieldVar* var = link != nullptr ? link->FindFieldVar(t.Text) : nullptr;
      if (var == nullptr) RaiseUnknownName(t.Text);
      auto node = std::make_unique<TxbExpFieldvar>(&handler, var, t.Text);
      handler.NoteOperand(node->ResultLength, node->Decimals);
      return node;
    }
    case TokenKind::SubExpression: {
      NodePtr inner = BuildTree(t.Inner, handler, false, depth + 1);
      CheckDepth(inner->Depth + 1);
      return std::make_unique<TxbExpContainer>(&handler, std::move(inner));
    }
    case TokenKind::TextLit: {
      auto node = std::make_unique<TxbExpTextLit>(&handler, t.Text, t.Delimiter);
      handler.NoteOperand(node->ResultLength, 0);
      return node;
    }
    case TokenKind::DateLit: {
      auto node = std::make_unique<TxbExpDateLit>(&handler, t.Text);
      handler.NoteOperand(node->ResultLength, 0);
      return node;
    }
    case TokenKind::NumberLit: {
      auto node = std::make_unique<TxbExpNumLit>(&handler, t.Text);
      handler.NoteOperand(node->ResultLength, node->Decimals);
      return node;
    }
    case TokenKind::LogicalLit: {
      auto node = std::make_unique<TxbExpBlnLit>(&handler, t.Text == "T");
      handler.NoteOperand(node->ResultLength, 0);
      return node;
    }
  }
  RaiseCannotEvaluate();
}

}  // namespace

std::unique_ptr<TxbExpBaseObject> BuildTree(std::string_view text, TxbExpHandler& handler, bool allowEmpty, int depth) {
  CheckDepth(depth);
  const std::vector<Token> tokens = Scan(text, handler.UserLink());
  if (tokens.empty()) {
    if (allowEmpty) return nullptr;
    RaiseCannotEvaluate();
  }
  std::vector<NodePtr> nodes;
  nodes.reserve(tokens.size());
  for (const Token& t : tokens) nodes.push_back(BuildNode(t, handler, depth));
  for (std::uint8_t level = 2; level <= 8; ++level) BindLevel(nodes, level);
  if (nodes.size() != 1) RaiseCannotEvaluate();
  return std::move(nodes.front());
}

}  // namespace vx::expr
