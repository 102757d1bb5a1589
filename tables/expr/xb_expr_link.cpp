#include "tables/expr/xb_expr_link.h"

#include <cstring>

#include "platform/rtl/sysutils.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xb_settings.h"
#include "tables/expr/xb_expr_support.h"

using vx::ExprValue;

namespace {

class TxblDBFFunction : public TxbUserDefFunction {
 public:
  TxblDBFFunction(const char* name, XBO_dBaseFld* table) : TxbUserDefFunction(name), FTable(table) {}

 protected:
  XBO_dBaseFld* FTable;
};

class TxblDBFRecNo : public TxblDBFFunction {
 public:
  explicit TxblDBFRecNo(XBO_dBaseFld* t) : TxblDBFFunction("RECNO", t) {}
  bool Evaluate(TxbExpFunction&, ExprValue& out) override {
    out.SetNumber(FTable->RecNo);
    return true;
  }
};

class TxblDBFDeleted : public TxblDBFFunction {
 public:
  explicit TxblDBFDeleted(XBO_dBaseFld* t) : TxblDBFFunction("DELETED", t) {}
  bool Evaluate(TxbExpFunction&, ExprValue& out) override {
    out.SetBoolean(FTable->IsDeleted());
    return true;
  }
};

class TxblDBFBOF : public TxblDBFFunction {
 public:
  explicit TxblDBFBOF(XBO_dBaseFld* t) : TxblDBFFunction("BOF", t) {}
  bool Evaluate(TxbExpFunction&, ExprValue& out) override {
    out.SetBoolean(FTable->BOFFlag);
    return true;
  }
};

class TxblDBFEOF : public TxblDBFFunction {
 public:
  explicit TxblDBFEOF(XBO_dBaseFld* t) : TxblDBFFunction("EOF", t) {}
  bool Evaluate(TxbExpFunction&, ExprValue& out) override {
    out.SetBoolean(FTable->EOFFlag);
    return true;
  }
};

class TxblDBFType : public TxblDBFFunction {
 public:
  explicit TxblDBFType(XBO_dBaseFld* t) : TxblDBFFunction("TYPE", t) {}
  bool Evaluate(TxbExpFunction& call, ExprValue& out) override {
    call.Arg(0, vx::xtText, out);
    // An unknown name is error 1003 through the engine's error hook.
    const XBFieldDesc* f = FTable->FindFieldDescriptor(vx::expr::UpperText(out.Text));
    if (f == nullptr) return false;
    out.SetText(AnsiString(1, f->Type));
    return true;
  }
};

class TxblDBFLen : public TxblDBFFunction {
 public:
  explicit TxblDBFLen(XBO_dBaseFld* t) : TxblDBFFunction("LEN", t) {}
  bool Evaluate(TxbExpFunction& call, ExprValue& out) override {
    call.Arg(0, vx::xtText, out);
    const XBFieldDesc* f = FTable->FindFieldDescriptor(out.Text);
    if (f == nullptr) return false;
    out.SetNumber(f->LengthByte);
    return true;
  }
};

class TxblDBFFieldNo : public TxblDBFFunction {
 public:
  explicit TxblDBFFieldNo(XBO_dBaseFld* t) : TxblDBFFunction("FIELDNO", t) {}
  bool Evaluate(TxbExpFunction& call, ExprValue& out) override {
    call.Arg(0, vx::xtText, out);
    out.SetNumber(FTable->FieldNumber(out.Text));
    return true;
  }
};

// A function the table offers itself (see ExternalFunction).
class TxblDBFGeneric : public TxbUserDefFunction {
 public:
  TxblDBFGeneric(XBO_dBaseFld* table, AnsiString name) : TxbUserDefFunction(std::move(name)), FTable(table) {}
  bool Evaluate(TxbExpFunction& call, ExprValue& out) override {
    TxbExternalCall exchange;
    exchange.Node = &call;
    char letter = 0;
    if (FTable->ExternalFunction("PARSE", FName, letter, &exchange) == -1) return false;
    switch (letter) {
      case 'C': out.SetText(std::string_view(exchange.Text.c_str())); return true;
      case 'D': out.SetDate(exchange.Day); return true;
      case 'F':
      case 'N': out.SetNumber(exchange.Number); return true;
      case 'L':
        out.SetBoolean(!exchange.Text.empty() && xbTrueLetters.find(exchange.Text[0]) != AnsiString::npos);
        return true;
      default: return false;
    }
  }

 private:
  XBO_dBaseFld* FTable;
};

}  // namespace

TxbDBFExpUserLink::TxbDBFExpUserLink(XBO_dBaseFld* table) : FTable(table) {
  RegisterFunction(std::make_unique<TxblDBFGeneric>(table, "genericfunction"));
  RegisterFunction(std::make_unique<TxblDBFRecNo>(table));
  RegisterFunction(std::make_unique<TxblDBFDeleted>(table));
  RegisterFunction(std::make_unique<TxblDBFBOF>(table));
  RegisterFunction(std::make_unique<TxblDBFEOF>(table));
  RegisterFunction(std::make_unique<TxblDBFType>(table));
  RegisterFunction(std::make_unique<TxblDBFLen>(table));
  RegisterFunction(std::make_unique<TxblDBFFieldNo>(table));
  for (const XBFieldDesc& f : table->Fields()) RegisterFieldVar(std::make_unique<TxblDBFFieldVars>(table, f.Number));
}

TxbUserDefFunction* TxbDBFExpUserLink::UnknownFunction(const AnsiString& name) {
  char letter = 0;
  const AnsiString upper = vx::expr::UpperText(name);
  if (FTable->ExternalFunction("FIND", upper, letter, nullptr) == -1) vx::expr::RaiseNoFunction(name);
  RegisterFunction(std::make_unique<TxblDBFGeneric>(FTable, upper));
  return Functions.At(Functions.Count() - 1);
}

TxblDBFFieldVars::TxblDBFFieldVars(XBO_dBaseFld* table, int fieldNumber)
    : TxbUserDefFieldVar(table->FieldName(fieldNumber)),
      FTable(table),
      FFieldNumber(fieldNumber),
      FLength(table->FieldLength(fieldNumber)),
      FDecimals(table->FieldDecimals(fieldNumber)),
      FType(table->FieldType(fieldNumber)) {}

bool TxblDBFFieldVars::Value(ExprValue& out) {
  switch (FType) {
    case 'N':
    case 'F': out.SetNumber(FTable->GetNumber(FFieldNumber)); return true;
    case 'D':
      // A damaged date text is an expression error like any other bad
      // value met while evaluating, not a stray conversion error.
      try {
        out.SetDate(FTable->GetDate(FFieldNumber));
      } catch (const EConvertError& e) { throw EXBaseExpression(e.Message()); }
      return true;
    case 'L': out.SetBoolean(FTable->GetLogical(FFieldNumber)); return true;
    case 'M': out.SetText(FTable->MemoRead(FFieldNumber)); return true;
    default: {
      const XBFieldDesc& f = FTable->Fields()[static_cast<std::size_t>(FFieldNumber - 1)];
      out.Type = xbFieldGivenRaw(FType) ? vx::xtOther : vx::xtText;
      out.Text.assign(FTable->CurRecord + f.Offset, static_cast<std::size_t>(f.Length));
      return true;
    }
  }
}

bool xbFieldGivenRaw(char type) { return std::strchr("CNFDLM", type) == nullptr || type == 0; }

bool xbReadsRawFields(const TxbExpHandler& expression, const XBO_dBaseFld& table) {
  if (!expression.Tree()) return false;
  AnsiString names;
  expression.Tree()->CollectTexts(TxbExpBaseObject::nkFieldvar, names);
  std::size_t from = 0;
  while (from < names.size()) {
    std::size_t end = names.find(';', from);
    if (end == AnsiString::npos) end = names.size();
    AnsiString name = names.substr(from, end - from);
    from = end + 1;
    // An alias before the name is passed over as the lookup does.
    const std::size_t dot = name.find('.');
    if (dot != AnsiString::npos && table.FieldNumber(name) < 1) name = name.substr(dot + 1);
    const int n = table.FieldNumber(name);
    if (n >= 1 && n <= int(table.Fields().size()) && xbFieldGivenRaw(table.Fields()[std::size_t(n - 1)].Type)) return true;
  }
  return false;
}

TxbDBFExpUserLink& xbTableExpLink(XBO_dBaseFld& table) {
  auto& slot = table.ExpressionLink();
  if (auto* link = dynamic_cast<TxbDBFExpUserLink*>(slot.get())) return *link;
  auto link = std::make_unique<TxbDBFExpUserLink>(&table);
  TxbDBFExpUserLink& result = *link;
  slot = std::move(link);
  return result;
}
