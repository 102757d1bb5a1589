#include "tables/expr/xb_expr_userlink.h"

#include "tables/expr/xb_expr_support.h"

void TxbFunctionReg::Add(std::unique_ptr<TxbUserDefFunction> function) {
  if (function) items_.push_back(std::move(function));
}

TxbUserDefFunction* TxbFunctionReg::Find(const AnsiString& name) const {
  const AnsiString upper = vx::expr::UpperText(name);
  for (const auto& f : items_)
    if (vx::expr::UpperText(f->Name()) == upper) return f.get();
  return nullptr;
}

void TxbFieldVarReg::Add(std::unique_ptr<TxbUserDefFieldVar> variable) {
  if (variable) items_.push_back(std::move(variable));
}

TxbUserDefFieldVar* TxbFieldVarReg::Find(const AnsiString& name) const {
  for (const auto& v : items_)
    if (v->Name() == name) return v.get();
  return nullptr;
}

TxbUserDefFunction* TxbExpUserLink::FindFunction(const AnsiString& name) const { return Functions.Find(name); }

TxbUserDefFieldVar* TxbExpUserLink::FindFieldVar(const AnsiString& name) const {
  if (TxbUserDefFieldVar* v = FieldVars.Find(name)) return v;
  const std::size_t dot = name.find('.');
  if (dot == AnsiString::npos) return nullptr;
  return FieldVars.Find(name.substr(dot + 1));
}

TxbUserDefFunction* TxbExpUserLink::UnknownFunction(const AnsiString& name) { vx::expr::RaiseNoFunction(name); }

void TxbExpUserLink::RegisterFunction(std::unique_ptr<TxbUserDefFunction> function) {
  Functions.Add(std::move(function));
}

void TxbExpUserLink::RegisterFieldVar(std::unique_ptr<TxbUserDefFieldVar> variable) {
  FieldVars.Add(std::move(variable));
}

bool TxbExpUserLink::GetFieldValue(const AnsiString& name, vx::ExprValue& out) const {
  TxbUserDefFieldVar* v = FindFieldVar(name);
  if (v == nullptr) return false;
  return v->Value(out);
}
