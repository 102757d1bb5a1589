#include "tables/expr/xb_expr_handler.h"

#include "tables/base/xb_variant.h"

TxbExpHandler::TxbExpHandler(TxbExpUserLink* userLink, bool sqlMode, const AnsiString& text) : FUserLink(userLink) {
  if (sqlMode) {
    ManyWildcard = '%';
    OneWildcard = '_';
  }
  SetExpression(text);
}

TxbExpHandler::~TxbExpHandler() = default;

void TxbExpHandler::SetExpression(const AnsiString& text) {
  FTree.reset();
  FResultType = vx::xtNone;
  FResultLength = 0;
  FResultDecimals = 0;
  FOperandCount = 0;
  FText = text;
  FTree = vx::expr::BuildTree(text, *this, true);
}

std::uint8_t TxbExpHandler::TypeByForm() const {
  using namespace vx::expr;
  const TxbExpBaseObject* node = FTree.get();
  while (node && node->Kind == TxbExpBaseObject::nkContainer)
    node = static_cast<const TxbExpContainer*>(node)->Tree.get();
  if (!node) return vx::xtNone;
  switch (node->Kind) {
    case TxbExpBaseObject::nkOperator: {
      const std::uint8_t code = static_cast<const TxbExpOperator*>(node)->Code;
      const bool logical = (code >= opEqual && code <= opExactEqual) || code == opAnd || code == opOr || code == opNot;
      return logical ? vx::xtBoolean : vx::xtNumber;
    }
    case TxbExpBaseObject::nkBlnLit: return vx::xtBoolean;
    case TxbExpBaseObject::nkTextLit: return vx::xtText;
    case TxbExpBaseObject::nkNumLit: return vx::xtNumber;
    case TxbExpBaseObject::nkDateLit: return vx::xtDate;
    default: return vx::xtNone;
  }
}

void TxbExpHandler::Evaluate(vx::ExprValue& value) {
  if (!FTree) {
    value = vx::ExprValue();
    FResultType = vx::xtNone;
    return;
  }
  FTree->Evaluate(value);
  FResultType = value.Type;
}

std::uint8_t TxbExpHandler::Evaluate(TxbVariant& out) {
  vx::ExprValue v;
  Evaluate(v);
  switch (v.Type) {
    case vx::xtText: out.PutString(v.Text); break;
    case vx::xtNumber:
    case 5:
    case 7: out.PutNumber(v.Number); break;
    case vx::xtDate: out.PutDate(vx::expr::DayChecked(v.Number)); break;
    case vx::xtBoolean: out.PutBoolean(v.Boolean); break;
    default: out.Assign(TxbVariant()); break;
  }
  return v.Type;
}

AnsiString TxbExpHandler::ExpressionText() const { return FTree ? FTree->ExpressionText() : AnsiString(); }

bool TxbExpHandler::GetFieldValue(const AnsiString& name, vx::ExprValue& out) const {
  return FUserLink != nullptr && FUserLink->GetFieldValue(name, out);
}

void TxbExpHandler::NoteOperand(int length, int decimals) {
  ++FOperandCount;
  if (length > FResultLength) FResultLength = length;
  if (decimals > FResultDecimals) FResultDecimals = decimals;
}
