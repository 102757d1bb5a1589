#include "platform/db/field_defs.h"

#include "platform/db/dataset.h"
#include "platform/db/field_types.h"

TField* TFieldDef::CreateField(TComponent* Owner, TDataSet* DataSet) const {
  TField* field = CreateFieldOfType(FDataType, Owner);
  if (field == nullptr) return nullptr;
  try {
    if (FDataType == ftString) field->SetSize(FSize);
    field->SetFieldName(FName);
    field->SetRequired(FRequired);
    field->SetDataSet(DataSet);
  } catch (...) {
    delete field;
    throw;
  }
  return field;
}

const TFieldDef& TFieldDefs::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FItems[static_cast<std::size_t>(Index)];
}

void TFieldDefs::Add(const AnsiString& Name, TFieldType DataType, int Size, bool Required, int FieldNo) {
  if (IndexOf(Name) >= 0) DatabaseErrorFmt("Duplicate name '%s' in %s", {Name, "TFieldDefs"}, FDataSet);
  if (FieldNo <= 0) FieldNo = Count() + 1;
  FItems.emplace_back(Name, DataType, Size, Required, FieldNo);
}

int TFieldDefs::IndexOf(const AnsiString& Name) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (AnsiSameText(FItems[i].Name(), Name)) return static_cast<int>(i);
  return -1;
}

const TFieldDef* TFieldDefs::Find(const AnsiString& Name) const {
  int i = IndexOf(Name);
  return i < 0 ? nullptr : &FItems[static_cast<std::size_t>(i)];
}

void TFieldDefs::Update() {
  if (!FUpdated && FDataSet != nullptr) FDataSet->InitFieldDefs();
}

const TIndexDef& TIndexDefs::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FItems[static_cast<std::size_t>(Index)];
}

void TIndexDefs::Add(const AnsiString& Name, const AnsiString& Fields, TIndexOptions Options) {
  FItems.emplace_back(Name, Fields, Options);
}

int TIndexDefs::IndexOf(const AnsiString& Name) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (AnsiSameText(FItems[i].Name(), Name)) return static_cast<int>(i);
  return -1;
}

const TIndexDef* TIndexDefs::Find(const AnsiString& Name) const {
  int i = IndexOf(Name);
  return i < 0 ? nullptr : &FItems[static_cast<std::size_t>(i)];
}

void TIndexDefs::Update() {
  if (FUpdated || FDataSet == nullptr) return;
  FDataSet->UpdateIndexDefs();
  FUpdated = true;
}
