// Implementations of the built-in functions, shared by the registry
// (xb_expr_functions.cpp) and its two halves: text functions
// (xb_expr_text_functions.cpp) and number, date and logical functions
// (xb_expr_functions.cpp). Each evaluates one call into out.
#pragma once

#include "tables/expr/xb_expr_tree.h"
#include "tables/expr/xb_expr_value.h"

namespace vx::expr::builtin {

using Fn = void (*)(TxbExpFunction& call, ExprValue& out);

// Text functions.
void Alltrim(TxbExpFunction& call, ExprValue& out);
void Asc(TxbExpFunction& call, ExprValue& out);
void At(TxbExpFunction& call, ExprValue& out);
void Atc(TxbExpFunction& call, ExprValue& out);
void Chr(TxbExpFunction& call, ExprValue& out);
void Left(TxbExpFunction& call, ExprValue& out);
void Len(TxbExpFunction& call, ExprValue& out);
void Lower(TxbExpFunction& call, ExprValue& out);
void Ltrim(TxbExpFunction& call, ExprValue& out);
void Padc(TxbExpFunction& call, ExprValue& out);
void Padl(TxbExpFunction& call, ExprValue& out);
void Padr(TxbExpFunction& call, ExprValue& out);
void Proper(TxbExpFunction& call, ExprValue& out);
void Right(TxbExpFunction& call, ExprValue& out);
void Trim(TxbExpFunction& call, ExprValue& out);
void Soundex(TxbExpFunction& call, ExprValue& out);
void Space(TxbExpFunction& call, ExprValue& out);
void Str(TxbExpFunction& call, ExprValue& out);
void Strtran(TxbExpFunction& call, ExprValue& out);
void Strzero(TxbExpFunction& call, ExprValue& out);
void Substr(TxbExpFunction& call, ExprValue& out);
void Upper(TxbExpFunction& call, ExprValue& out);
void Val(TxbExpFunction& call, ExprValue& out);

// Number, date and logical functions.
void Between(TxbExpFunction& call, ExprValue& out);
void Ceiling(TxbExpFunction& call, ExprValue& out);
void Ctod(TxbExpFunction& call, ExprValue& out);
void Date(TxbExpFunction& call, ExprValue& out);
void Descend(TxbExpFunction& call, ExprValue& out);
void Dow(TxbExpFunction& call, ExprValue& out);
void Dtoc(TxbExpFunction& call, ExprValue& out);
void Dtos(TxbExpFunction& call, ExprValue& out);
void Empty(TxbExpFunction& call, ExprValue& out);
void Floor(TxbExpFunction& call, ExprValue& out);
void Iif(TxbExpFunction& call, ExprValue& out);
void Int(TxbExpFunction& call, ExprValue& out);
void Mod(TxbExpFunction& call, ExprValue& out);

}  // namespace vx::expr::builtin
