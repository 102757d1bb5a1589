// TField base behaviour and TFields.
#include "platform/db/field.h"

#include <algorithm>
#include <cstring>

#include "platform/db/dataset.h"
#include "platform/db/field_types.h"

using namespace vx;

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::~TField() {
  if (FDataSet != nullptr) FDataSet->FFields.Remove(this);
}

void TField::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (FDataSet != nullptr) FDataSet->CheckInactive();
  if (Value != nullptr) {
    Value->CheckInactive();
    if (Value->FFields.FindField(FFieldName) != nullptr)
      DatabaseErrorFmt(dbtext::DuplicateFieldName, {DisplayName()}, Value);
  }
  if (FDataSet != nullptr) FDataSet->FFields.Remove(this);
  FDataSet = Value;
  if (Value != nullptr) Value->FFields.Add(this);
}

void TField::SetFieldName(const AnsiString& Value) {
  if (FDataSet != nullptr) {
    TField* other = FDataSet->FFields.FindField(Value);
    if (other != nullptr && other != this) DatabaseErrorFmt(dbtext::DuplicateFieldName, {Value}, FDataSet);
  }
  FFieldName = Value;
}

void TField::SetFieldKind(TFieldKind Value) {
  if (FDataSet != nullptr) FDataSet->CheckInactive();
  FFieldKind = Value;
}

void TField::SetSize(int Value) {
  if (FDataSet != nullptr) FDataSet->CheckInactive();
  FSize = Value;
}

int TField::Index() const { return FDataSet != nullptr ? FDataSet->FFields.IndexOf(this) : -1; }

bool TField::IsIndexField() const {
  return FDataSet != nullptr && FFieldKind == fkData && FDataSet->GetIsIndexField(const_cast<TField*>(this));
}

bool TField::CanModify() const {
  if (FReadOnly || FDataSet == nullptr) return false;
  return FFieldKind == fkData || FFieldKind == fkInternalCalc || FDataSet->State() == dsSetKey ||
         FDataSet->State() == dsCalcFields;
}

// ---------------------------------------------------------------------------
// Data access through the data set

bool TField::GetData(void* Buffer) {
  if (FDataSet == nullptr) DatabaseErrorFmt(dbtext::DataSetMissing, {DisplayName()});
  if (FValidating) {
    // OnValidate reads the value that is being set.
    if (FValueBuffer != nullptr && Buffer != nullptr)
      std::memcpy(Buffer, FValueBuffer, static_cast<std::size_t>(DataSize()));
    return FValueBuffer != nullptr;
  }
  return FDataSet->GetFieldData(this, Buffer);
}

void TField::SetData(const void* Buffer) {
  if (FDataSet == nullptr) DatabaseErrorFmt(dbtext::DataSetMissing, {DisplayName()});
  FDataSet->SetFieldData(this, Buffer);
}

void TField::Validate(const void* Buffer) {
  if (!OnValidate) return;
  bool wasValidating = FValidating;
  const void* oldBuffer = FValueBuffer;
  FValidating = true;
  FValueBuffer = Buffer;
  try {
    OnValidate(this);
  } catch (...) {
    FValidating = wasValidating;
    FValueBuffer = oldBuffer;
    throw;
  }
  FValidating = wasValidating;
  FValueBuffer = oldBuffer;
}

bool TField::IsNull() { return !GetData(nullptr); }

void TField::Change() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// Typed access: the base class converts nothing.

void TField::AccessError(const char* TypeName) const {
  DatabaseErrorFmt(dbtext::FieldAccessError, {DisplayName(), TypeName});
}

void TField::ConvertError(const char* Message, const AnsiString& Text) const { DatabaseErrorFmt(Message, {Text}); }

Variant TField::Value() { AccessError("Variant"); }
void TField::SetValue(const Variant& Value) {
  switch (Value.VarType()) {
    case varEmpty:
    case varNull: Clear(); break;
    case varInteger: SetAsIntegerValue(Value.AsInteger()); break;
    case varDouble: SetAsFloatValue(Value.AsDouble()); break;
    case varDate: SetAsDateTimeValue(Value.AsDateTime()); break;
    case varBoolean: SetAsBooleanValue(Value.AsBoolean()); break;
    case varString: SetAsStringValue(Value.AsString()); break;
    case varArray: AccessError("Variant");
  }
}

AnsiString TField::GetAsString() { AccessError("String"); }
void TField::SetAsStringValue(const AnsiString&) { AccessError("String"); }
int TField::GetAsInteger() { AccessError("Integer"); }
void TField::SetAsIntegerValue(int) { AccessError("Integer"); }
double TField::GetAsFloat() { AccessError("Float"); }
void TField::SetAsFloatValue(double) { AccessError("Float"); }
bool TField::GetAsBoolean() { AccessError("Boolean"); }
void TField::SetAsBooleanValue(bool) { AccessError("Boolean"); }
TDateTime TField::GetAsDateTime() { AccessError("DateTime"); }
void TField::SetAsDateTimeValue(TDateTime) { AccessError("DateTime"); }

void TField::GetText(AnsiString& Text, bool) { Text = GetAsString(); }

AnsiString TField::Text() {
  AnsiString text;
  if (OnGetText) OnGetText(this, text, false);
  else GetText(text, false);
  return text;
}

AnsiString TField::DisplayText() {
  AnsiString text;
  if (OnGetText) OnGetText(this, text, true);
  else GetText(text, true);
  return text;
}

void TField::SetText(const AnsiString& Value) {
  if (OnSetText) OnSetText(this, Value);
  else SetTextValue(Value);
}

// ---------------------------------------------------------------------------
// TFields

TField* TFields::Fields(int Index) const {
  if (Index < 0 || Index >= Count()) DatabaseError(dbtext::FieldIndexError, FDataSet);
  return FList[static_cast<std::size_t>(Index)];
}

TField* TFields::FindField(const AnsiString& FieldName) const {
  for (TField* field : FList)
    if (AnsiSameText(field->FieldName(), FieldName)) return field;
  return nullptr;
}

TField* TFields::FieldByName(const AnsiString& FieldName) const {
  TField* field = FindField(FieldName);
  if (field == nullptr) DatabaseErrorFmt(dbtext::FieldNotFound, {FieldName}, FDataSet);
  return field;
}

int TFields::IndexOf(const TField* Field) const {
  auto it = std::find(FList.begin(), FList.end(), Field);
  return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void TFields::Add(TField* Field) { FList.push_back(Field); }

void TFields::Remove(TField* Field) { FList.erase(std::remove(FList.begin(), FList.end(), Field), FList.end()); }
