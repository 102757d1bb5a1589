#include "tables/handler/index_table_link.h"

#include "tables/base/xb_cipher.h"
#include "tables/base/xb_tools.h"
#include "tables/expr/xb_expr_handler.h"
#include "tables/expr/xb_expr_link.h"
#include "tables/expr/xb_expr_numeric.h"

namespace vx {
namespace {

class DbfIndexExpr : public IndexExpr {
 public:
  DbfIndexExpr(XBO_dBaseFld& table, const std::string& text)
      : handler_(&xbTableExpLink(table), false, text), raw_(xbReadsRawFields(handler_, table)), numeric_(handler_) {}

  IndexValue Evaluate() override {
    IndexValue out;
    EvaluateInto(out);
    return out;
  }
  void EvaluateInto(IndexValue& out) override {
    if (!numeric_.Empty()) {
      const double number = numeric_.Evaluate();
      out.kind = IndexValue::Kind::Number;
      out.number = number;
      out.day = 0;
      out.logical = false;
      out.text.clear();
      return;
    }
    // A fresh value each time, its text's storage kept.
    value_.Type = xtNone;
    value_.Number = 0;
    value_.Boolean = false;
    value_.Text.clear();
    handler_.Evaluate(value_);
    out.number = 0;
    out.day = 0;
    out.logical = false;
    out.text.clear();
    switch (value_.Type) {
      case xtNumber:
        out.kind = IndexValue::Kind::Number;
        out.number = value_.Number;
        break;
      case xtDate:
        out.kind = IndexValue::Kind::Date;
        out.day = static_cast<int32_t>(value_.Number);
        break;
      case xtBoolean:
        out.kind = IndexValue::Kind::Logical;
        out.logical = value_.Boolean;
        break;
      default:
        out.kind = IndexValue::Kind::Text;
        out.text.assign(value_.Text);
        break;
    }
  }
  std::string Text() const override { return handler_.ExpressionText(); }
  bool ReadsRawFields() const override { return raw_; }

 private:
  TxbExpHandler handler_;
  bool raw_;
  ExprValue value_;  // the evaluation's result, kept for its text's storage
  // Arithmetic on number fields, the usual shape of a key on numbers,
  // evaluated without the tree.
  TxbNumericForm numeric_;
};

}  // namespace

std::string DbfIndexLink::Folder() const {
  const std::string path = table_->PathName();
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string DbfIndexLink::BaseName() const { return xbStripExtension(table_->PathName()); }

std::unique_ptr<IndexExpr> DbfIndexLink::Compile(const std::string& text) {
  return std::make_unique<DbfIndexExpr>(*table_, text);
}

bool DbfIndexLink::NumericFieldShape(const std::string& name, int& width, int& decimals) const {
  const int n = table_->FieldNumber(Trim(name));
  if (n < 1 || n > static_cast<int>(table_->Fields().size())) return false;
  const XBFieldDesc& f = table_->Fields()[static_cast<std::size_t>(n - 1)];
  if (f.Type != 'N' && f.Type != 'F') return false;
  width = f.Length;
  decimals = f.Decimals;
  return true;
}

void DbfIndexLink::UseOldImage(bool on) {
  table_->CurRecord = on && !table_->SavedRecord.empty() ? table_->SavedRecord.data() : table_->RecordBuffer.data();
}

void DbfIndexLink::EncipherBlock(uint8_t* block, size_t size) {
  xbEncryptBuffer(table_->WriteKey, block, block, static_cast<int>(size), 1);
}

void DbfIndexLink::DecipherBlock(uint8_t* block, size_t size) {
  xbEncryptBuffer(table_->ReadKey, block, block, static_cast<int>(size), 0);
}

void DbfIndexLink::MarkStructuralIndex() {
  if (table_->StructuralIndex || !table_->ReadWrite()) return;
  table_->StructuralIndex = true;
  table_->HeaderImage[28] |= 0x01;
  table_->HeaderDirty = true;
  table_->WriteHeader();
}

}  // namespace vx
