#include "tables/expr/xb_expr_support.h"

#include "platform/rtl/sysutils.h"
#include "tables/base/xb_dates.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xb_sysapi.h"
#include "tables/base/xb_variant.h"

namespace vx::expr {

AnsiString UpperText(const AnsiString& s) { return SysXb_UpperCase(s); }
AnsiString LowerText(const AnsiString& s) { return SysXb_LowerCase(s); }
char UpperChar(char c) { return SysXb_CharUpper(c); }
char LowerChar(char c) {
  char buffer[1] = {c};
  SysXb_CharLowerBuff(buffer, 1);
  return buffer[0];
}

int CollateTexts(std::string_view a, std::string_view b, bool caseInsensitive) {
  if (a == b) return 0;
  const AnsiString left(a), right(b);
  return caseInsensitive ? AnsiCompareText(left, right) : AnsiCompareStr(left, right);
}

std::int32_t TodayDay() { return xbDBFDate.TodayJulian(); }

std::int32_t TextToDay(const AnsiString& text) {
  try {
    return xbDBFDate.CTOD(text);
  } catch (const EConvertError& e) { throw EXBaseExpression(e.Message()); }
}

AnsiString DayToText(std::int32_t day) { return xbDBFDate.DTOC(day); }
AnsiString DayToSortText(std::int32_t day) { return xbDBFDate.DTOS(day); }
int DayOfWeekOf(std::int32_t day) { return xbDBFDate.DayOfWeek(day); }

AnsiString NumberToText(double value) {
  TxbVariant v;
  v.PutNumber(value);
  return v.GetString();
}

}  // namespace vx::expr
