// TDataSet: its fields (creation, binding, access by name) and the
// calculated and lookup fields.
#include "platform/db/dataset.h"
#include "platform/db/field_types.h"

using namespace vx;

TField* TDataSet::FieldByName(const AnsiString& FieldName) {
  TField* field = FFields.FindField(FieldName);
  if (field == nullptr) DatabaseErrorFmt(dbtext::FieldNotFound, {FieldName}, this);
  return field;
}

void TDataSet::GetFieldList(std::vector<TField*>& List, const AnsiString& FieldNames) {
  std::size_t start = 0;
  while (start <= FieldNames.size()) {
    std::size_t end = FieldNames.find(';', start);
    if (end == AnsiString::npos) end = FieldNames.size();
    AnsiString name = Trim(FieldNames.substr(start, end - start));
    if (!name.empty()) List.push_back(FieldByName(name));
    start = end + 1;
  }
}

void TDataSet::GetFieldNames(std::vector<AnsiString>& List) {
  if (FFields.Count() > 0) {
    for (TField* field : FFields) List.push_back(field->FieldName());
    return;
  }
  FFieldDefs.Update();
  for (int i = 0; i < FFieldDefs.Count(); ++i) List.push_back(FFieldDefs[i].Name());
}

Variant TDataSet::FieldValues(const AnsiString& FieldName) {
  if (FieldName.find(';') == AnsiString::npos) return FieldByName(FieldName)->Value();
  std::vector<TField*> fields;
  GetFieldList(fields, FieldName);
  std::vector<Variant> values;
  values.reserve(fields.size());
  for (TField* field : fields) values.push_back(field->Value());
  return Variant::Array(std::move(values));
}

void TDataSet::SetFieldValues(const AnsiString& FieldName, const Variant& Value) {
  if (FieldName.find(';') == AnsiString::npos) {
    FieldByName(FieldName)->SetValue(Value);
    return;
  }
  std::vector<TField*> fields;
  GetFieldList(fields, FieldName);
  if (!Value.IsArray() || Value.ArrayHighBound() + 1 != static_cast<int>(fields.size()))
    throw EVariantError("Invalid variant type conversion");
  for (std::size_t i = 0; i < fields.size(); ++i) fields[i]->SetValue(Value[static_cast<int>(i)]);
}

void TDataSet::CreateFields() {
  for (int i = 0; i < FFieldDefs.Count(); ++i) {
    const TFieldDef& def = FFieldDefs[i];
    if (def.DataType() != ftUnknown) def.CreateField(this, this);
  }
}

void TDataSet::DestroyFields() {
  std::vector<TField*> fields(FFields.begin(), FFields.end());
  FFields.Clear();
  for (TField* field : fields) {
    field->FDataSet = nullptr;
    delete field;
  }
}

void TDataSet::BindFields(bool Binding) {
  FCalcFieldsSize = 0;
  for (TField* field : FFields) {
    if (!Binding) continue;
    if (field->FieldKind() == fkCalculated || field->FieldKind() == fkLookup) {
      field->FFieldNo = -1;
      field->FOffset = FCalcFieldsSize;
      FCalcFieldsSize += field->DataSize() + 1;
      if (field->FieldKind() == fkLookup && (field->LookupDataSet() == nullptr || field->KeyFields().empty() ||
                                             field->LookupKeyFields().empty() || field->LookupResultField().empty()))
        DatabaseErrorFmt(dbtext::LookupInfoError, {field->DisplayName()}, this);
    } else {
      const TFieldDef* def = FFieldDefs.Find(field->FieldName());
      if (def == nullptr) DatabaseErrorFmt(dbtext::FieldNotFound, {field->DisplayName()}, this);
      if (def->DataType() != field->DataType())
        DatabaseErrorFmt(dbtext::FieldTypeMismatch,
                         {field->DisplayName(), FieldTypeName(field->DataType()), FieldTypeName(def->DataType())},
                         this);
      field->FFieldNo = def->FieldNo();
    }
  }
}

void TDataSet::GetCalcFields(TRecordBuffer Buffer) {
  if (FCalcFieldsSize <= 0) return;
  TDataSetState saved = SetTempState(dsCalcFields);
  try {
    CalculateFields(Buffer);
  } catch (...) {
    RestoreState(saved);
    throw;
  }
  RestoreState(saved);
}

void TDataSet::CalculateFields(TRecordBuffer Buffer) {
  FCalcBuffer = Buffer;
  ClearCalcFields(Buffer);
  for (TField* field : FFields)
    if (field->FieldKind() == fkLookup) CalcLookupValue(field);
  DoOnCalcFields();
}

void TDataSet::CalcLookupValue(TField* Field) {
  TDataSet* source = Field->LookupDataSet();
  if (source == nullptr || !source->Active()) return;
  Variant key = FieldValues(Field->KeyFields());
  Field->SetValue(source->Lookup(Field->LookupKeyFields(), key, Field->LookupResultField()));
}
