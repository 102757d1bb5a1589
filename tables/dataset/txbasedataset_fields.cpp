// TXBaseDataSet: field values between the record image and the native
// buffers of the framework's fields, and the OEM code-page translation.
#include <cstdio>
#include <cstring>

#include "platform/db/field_types.h"
#include "platform/os/oem_charset.h"
#include "platform/rtl/civil_days.h"
#include "tables/base/xb_dates.h"
#include "tables/base/xb_tools.h"
#include "tables/dataset/txbasedataset.h"

namespace {

// Days from 0001-01-01 (day 1) of a civil date; 0 when the date is invalid.
std::int32_t NativeDays(int y, int m, int d) {
  if (!TxbDBFDate::ValidYMD(y, m, d)) return 0;
  return std::int32_t(vx::DaysFromCivil(y, m, d) + vx::kUnixDayOfYearOne);
}

void CivilFromNative(std::int32_t native, int& y, int& m, int& d) {
  const vx::CivilDate date = vx::CivilFromDays(std::int64_t(native) - vx::kUnixDayOfYearOne);
  y = int(date.year);
  m = date.month;
  d = date.day;
}

bool AllDigits(const AnsiString& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

AnsiString TrimRightBlanks(AnsiString s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

}  // namespace

// ---------------------------------------------------------------- fields

TRecordBuffer TXBaseDataSet::StateRecord() {
  switch (State()) {
    case dsBrowse: return IsEmpty() ? nullptr : ActiveBuffer();
    case dsEdit:
    case dsInsert:
    case dsNewValue: return ActiveBuffer();
    case dsCalcFields:
    case dsInternalCalc: return CalcBuffer();
    case dsFilter: return FFilterRecord ? FFilterRecord : (FHandler ? FHandler->CurRecord : nullptr);
    case dsOldValue: return FEditing ? FBeforeEdit.data() : ActiveBuffer();
    default: return nullptr;
  }
}

bool TXBaseDataSet::GetFieldData(TField* Field, void* Buffer) {
  if (!FHandler) return false;
  char* record = StateRecord();
  if (!record) return false;
  if (Field->FieldNo() < 1) {
    if (State() == dsFilter || State() == dsOldValue) return false;
    const char* p = record + FRecordLength + Field->Offset();
    if (p[0] == 0) return false;
    if (Buffer) std::memcpy(Buffer, p + 1, std::size_t(Field->DataSize()));
    return true;
  }
  bool hasValue = false;
  ReadField(Field, record, Buffer, hasValue);
  return hasValue;
}

void TXBaseDataSet::ReadField(TField* Field, const char* Record, void* Buffer, bool& HasValue) {
  const int size = Field->DataSize();
  // Numbers, dates and logicals fit the small buffer; texts may not.
  char small[8] = {};
  std::vector<char> large;
  if (size > int(sizeof small)) large.assign(std::size_t(size), 0);
  char* out = large.empty() ? small : large.data();
  RecordRedirect redirect(*FHandler, const_cast<char*>(Record));
  const int n = Field->FieldNo();
  HasValue = true;
  switch (Field->DataType()) {
    case ftString: {
      const AnsiString text = TrimRightBlanks(FHandler->GetFieldText(n));
      HasValue = !text.empty();
      std::memcpy(out, text.data(), std::min<std::size_t>(text.size(), std::size_t(size - 1)));
      break;
    }
    case ftSmallint:
    case ftInteger: {
      const double v = xbRoundEven(FHandler->GetNumber(n));
      const bool small = Field->DataType() == ftSmallint;
      const double lo = small ? -32768.0 : -2147483648.0;
      const double hi = small ? 32767.0 : 2147483647.0;
      if (!(v >= lo && v <= hi))
        DatabaseErrorFmt(vx::dbtext::FieldRangeError,
                         {FloatToStr(v), Field->DisplayName(), FloatToStr(lo), FloatToStr(hi)}, this);
      if (small) {
        const auto s = std::int16_t(v);
        std::memcpy(out, &s, 2);
      } else {
        const auto s = std::int32_t(v);
        std::memcpy(out, &s, 4);
      }
      break;
    }
    case ftBoolean: {
      const std::int16_t b = FHandler->GetLogical(n) ? 1 : 0;
      std::memcpy(out, &b, 2);
      break;
    }
    case ftFloat:
    case ftDateTime: {
      const double v = FHandler->GetNumber(n);
      std::memcpy(out, &v, 8);
      break;
    }
    case ftDate: {
      const AnsiString text = TrimRightBlanks(FHandler->GetFieldText(n));
      std::int32_t days = 0;
      if (text.size() == 8 && AllDigits(text) && text != "00000000")
        days = NativeDays(std::stoi(text.substr(0, 4)), std::stoi(text.substr(4, 2)), std::stoi(text.substr(6, 2)));
      HasValue = days != 0;
      std::memcpy(out, &days, 4);
      break;
    }
    case ftMemo:
    case ftBlob: {
      double block = 0;
      try {
        block = FHandler->GetNumber(n);
      } catch (const Exception&) { block = 0; }
      HasValue = block != 0;
      return;
    }
    default: HasValue = false; return;
  }
  if (Buffer && size > 0) std::memcpy(Buffer, out, std::size_t(size));
}

void TXBaseDataSet::SetFieldData(TField* Field, const void* Buffer) {
  const TDataSetState state = State();
  if (!(state == dsEdit || state == dsInsert || state == dsSetKey || state == dsCalcFields || state == dsFilter ||
        state == dsNewValue || state == dsInternalCalc))
    DatabaseError(vx::dbtext::NotEditing, this);
  const bool calculated = Field->FieldNo() < 1;
  if (state == dsSetKey && (calculated || !GetIsIndexField(Field)))
    DatabaseErrorFmt("Field '%s' is not indexed and cannot be modified", {Field->DisplayName()}, this);
  char* record = StateRecord();
  if (!record) DatabaseError(vx::dbtext::NotEditing, this);
  if (calculated) {
    char* p = record + FRecordLength + Field->Offset();
    p[0] = Buffer ? 1 : 0;
    if (Buffer) std::memcpy(p + 1, Buffer, std::size_t(Field->DataSize()));
    else std::memset(p + 1, 0, std::size_t(Field->DataSize()));
  } else {
    if (state == dsCalcFields) DatabaseError(vx::dbtext::NotEditing, this);
    if (Field->ReadOnly() && state != dsSetKey && state != dsFilter)
      DatabaseErrorFmt(vx::dbtext::FieldReadOnly, {Field->DisplayName()}, this);
    Field->Validate(Buffer);
    if (Field->FieldKind() != fkInternalCalc) WriteField(Field, record, Buffer);
  }
  if (state != dsSetKey && state != dsCalcFields && state != dsFilter && state != dsNewValue)
    DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(Field));
}

void TXBaseDataSet::WriteField(TField* Field, char* Record, const void* Buffer) {
  RecordRedirect redirect(*FHandler, Record);
  const int n = Field->FieldNo();
  const char* in = static_cast<const char*>(Buffer);
  switch (Field->DataType()) {
    case ftString:
      FHandler->PutFieldText(n, in ? AnsiString(in, strnlen(in, std::size_t(Field->Size()))) : AnsiString());
      break;
    case ftSmallint: {
      std::int16_t v = 0;
      if (in) std::memcpy(&v, in, 2);
      FHandler->PutNumber(n, v);
      break;
    }
    case ftInteger: {
      std::int32_t v = 0;
      if (in) std::memcpy(&v, in, 4);
      FHandler->PutNumber(n, v);
      break;
    }
    case ftBoolean: {
      std::int16_t v = 0;
      if (in) std::memcpy(&v, in, 2);
      FHandler->PutLogical(n, v != 0);
      break;
    }
    case ftFloat:
    case ftDateTime: {
      double v = 0;
      if (in) std::memcpy(&v, in, 8);
      FHandler->PutNumber(n, v);
      break;
    }
    case ftDate: {
      std::int32_t days = 0;
      if (in) std::memcpy(&days, in, 4);
      if (days <= 0) {
        FHandler->PutFieldText(n, "        ");
      } else {
        int y = 0, m = 0, d = 0;
        CivilFromNative(days, y, m, d);
        char text[3 * 12];  // room for any three ints
        std::snprintf(text, sizeof text, "%04d%02d%02d", y, m, d);
        FHandler->PutFieldText(n, text);
      }
      break;
    }
    default: break;
  }
}

void TXBaseDataSet::FieldChanged(TField* Field) {
  SetModified(true);
  DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(Field));
}

int TXBaseDataSet::Translate(const char* Src, char* Dest, bool ToOem) {
  if (!Src) {
    if (Dest) Dest[0] = 0;
    return 0;
  }
  const auto len = std::uint32_t(std::strlen(Src));
  if (Dest) {
    if (FTranslateASCII && len > 0) {
      if (ToOem) CharToOemBuff(Src, Dest, len);
      else OemToCharBuff(Src, Dest, len);
    } else if (Dest != Src) {
      std::memmove(Dest, Src, len);
    }
    Dest[len] = 0;
  }
  return int(len);
}

void TXBaseDataSet::TranslateBytes(const char* Src, char* Dest, std::size_t Length, bool ToOem) {
  if (Length == 0) return;
  if (!FTranslateASCII) {
    if (Dest != Src) std::memmove(Dest, Src, Length);
    return;
  }
  if (ToOem) CharToOemBuff(Src, Dest, std::uint32_t(Length));
  else OemToCharBuff(Src, Dest, std::uint32_t(Length));
}
