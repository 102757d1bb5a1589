#include "tables/expr/xb_expr_functions.h"

#include <cmath>

#include "tables/expr/xb_expr_builtins.h"
#include "tables/expr/xb_expr_compare.h"
#include "tables/expr/xb_expr_support.h"

namespace vx::expr {

namespace {

class TxbBuiltinFunction : public TxbUserDefFunction {
 public:
  TxbBuiltinFunction(const char* name, builtin::Fn fn) : TxbUserDefFunction(name), fn_(fn) {}
  bool Evaluate(TxbExpFunction& node, ExprValue& out) override {
    fn_(node, out);
    return true;
  }

 private:
  builtin::Fn fn_;
};

TxbFunctionReg* MakeRegistry() {
  struct Entry {
    const char* name;
    builtin::Fn fn;
  };
  static const Entry kEntries[] = {
      {"ALLTRIM", builtin::Alltrim}, {"ASC", builtin::Asc},         {"AT", builtin::At},
      {"ATC", builtin::Atc},         {"BETWEEN", builtin::Between}, {"CEILING", builtin::Ceiling},
      {"CHR", builtin::Chr},         {"CTOD", builtin::Ctod},       {"DATE", builtin::Date},
      {"DESCEND", builtin::Descend}, {"DOW", builtin::Dow},         {"DTOC", builtin::Dtoc},
      {"DTOS", builtin::Dtos},       {"EMPTY", builtin::Empty},     {"FLOOR", builtin::Floor},
      {"IIF", builtin::Iif},         {"INT", builtin::Int},         {"LEFT", builtin::Left},
      {"LEN", builtin::Len},         {"LOWER", builtin::Lower},     {"LTRIM", builtin::Ltrim},
      {"MOD", builtin::Mod},         {"PADC", builtin::Padc},       {"PADL", builtin::Padl},
      {"PADR", builtin::Padr},       {"PROPER", builtin::Proper},   {"RIGHT", builtin::Right},
      {"TRIM", builtin::Trim},       {"RTRIM", builtin::Trim},      {"SOUNDEX", builtin::Soundex},
      {"SPACE", builtin::Space},     {"STR", builtin::Str},         {"STRTRAN", builtin::Strtran},
      {"STRZERO", builtin::Strzero}, {"SUBSTR", builtin::Substr},   {"UPPER", builtin::Upper},
      {"VAL", builtin::Val},
  };
  auto* reg = new TxbFunctionReg;
  for (const Entry& e : kEntries) reg->Add(std::make_unique<TxbBuiltinFunction>(e.name, e.fn));
  return reg;
}

// Date value of a numeric argument.
std::int32_t DayArg(TxbExpFunction& call, int i) {
  ExprValue v;
  call.Arg(i, xtDate, v);
  return DayChecked(v.Number);
}

}  // namespace

const TxbFunctionReg& BuiltinFunctions() {
  static const std::unique_ptr<TxbFunctionReg> registry(MakeRegistry());
  return *registry;
}

namespace builtin {

void Between(TxbExpFunction& call, ExprValue& out) {
  ExprValue v, lo, hi;
  call.EvaluateArg(0, v);
  call.Arg(1, v.Type, lo);
  call.Arg(2, v.Type, hi);
  bool result = false;
  if (v.Type == xtText || v.Type == xtOther) {
    result = CompareExprTexts(lo.Text, v.Text, *call.Handler, false) <= 0 &&
             CompareExprTexts(v.Text, hi.Text, *call.Handler, false) <= 0;
  } else if (IsNumericType(v.Type)) {
    result = lo.Number <= v.Number && v.Number <= hi.Number;
  } else if (v.Type == xtBoolean) {
    result = lo.Boolean <= v.Boolean && v.Boolean <= hi.Boolean;
  }
  out.SetBoolean(result);
}

void Ceiling(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtNumber, out);
  const std::int64_t t = TruncChecked(out.Number);
  out.SetNumber(static_cast<double>(t) + (out.Number - static_cast<double>(t) > 0 ? 1 : 0));
}

void Floor(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtNumber, out);
  const std::int64_t t = TruncChecked(out.Number);
  out.SetNumber(static_cast<double>(t) - (out.Number - static_cast<double>(t) < 0 ? 1 : 0));
}

void Int(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtNumber, out);
  out.SetNumber(static_cast<double>(TruncChecked(out.Number)));
}

void Mod(TxbExpFunction& call, ExprValue& out) {
  ExprValue b;
  call.Arg(0, xtNumber, out);
  call.Arg(1, xtNumber, b);
  const std::int64_t x = TruncChecked(out.Number);
  const std::int64_t y = TruncChecked(b.Number);
  if (y == 0) RaiseValueInvalid("Number");
  // x % -1 is 0; computing it would overflow for the smallest x.
  out.SetNumber(y == -1 ? 0.0 : static_cast<double>(x % y));
}

void Ctod(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtText, out);
  out.SetDate(TextToDay(out.Text));
}

void Date(TxbExpFunction&, ExprValue& out) { out.SetDate(TodayDay()); }

void Descend(TxbExpFunction& call, ExprValue& out) {
  call.EvaluateArg(0, out);
  switch (out.Type) {
    case xtDate:
      if (out.Number != 0) out.Number = 5231808.0 - out.Number;
      break;
    case xtNumber:
    case 5:
    case 7:
      if (out.Number != 0) out.Number = -out.Number;
      break;
    case xtText:
      for (char& c : out.Text) c = static_cast<char>((256 - static_cast<unsigned char>(c)) & 0xFF);
      break;
    case xtBoolean: out.Boolean = !out.Boolean; break;
    default: out.SetBoolean(false); break;
  }
}

void Dow(TxbExpFunction& call, ExprValue& out) { out.SetNumber(DayOfWeekOf(DayArg(call, 0))); }

void Dtoc(TxbExpFunction& call, ExprValue& out) {
  const std::int32_t day = DayArg(call, 0);
  ExprValue form;
  call.EvaluateArg(1, form);
  const bool sortable = IsNumericType(form.Type) && form.Number == 1;
  out.SetText(sortable ? DayToSortText(day) : DayToText(day));
}

void Dtos(TxbExpFunction& call, ExprValue& out) { out.SetText(DayToSortText(DayArg(call, 0))); }

void Empty(TxbExpFunction& call, ExprValue& out) {
  call.EvaluateArg(0, out);
  bool empty = false;
  switch (out.Type) {
    case xtText: empty = out.Text.find_first_not_of(' ') == AnsiString::npos; break;
    case xtBoolean: empty = !out.Boolean; break;
    default: empty = IsNumericType(out.Type) && out.Number == 0; break;
  }
  out.SetBoolean(empty);
}

void Iif(TxbExpFunction& call, ExprValue& out) {
  ExprValue condition;
  call.Arg(0, xtBoolean, condition);
  // Only the chosen branch is evaluated, so IIF(X=0,0,1/X) is safe.
  call.EvaluateArg(condition.Boolean ? 1 : 2, out);
}

}  // namespace builtin
}  // namespace vx::expr
