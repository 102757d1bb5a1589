#include "tables/dataset/tcreatexbasedataset.h"

#include <vector>

#include "platform/rtl/fileutils.h"
#include "tables/dataset/txbasedataset.h"
#include "tables/dbf/xb_builders.h"

std::function<bool(const AnsiString&)> TCreateXBaseDataSet::ConfirmOverwrite;

namespace {

struct FieldLine {
  AnsiString Name;
  char Type = 'C';
  int Length = 0;
  int Decimals = 0;
};

bool WholeNumber(const AnsiString& s, int& out) {
  const AnsiString t = Trim(s);
  if (t.empty() || t.size() > 9) return false;
  for (char c : t)
    if (c < '0' || c > '9') return false;
  out = std::stoi(t);
  return true;
}

// Reads one line; false when it is invalid.
bool ParseLine(AnsiString line, FieldLine& out) {
  while (!line.empty() && (line.back() == ' ' || line.back() == ';' || line.back() == '\t')) line.pop_back();
  const auto p1 = line.find(';');
  if (p1 == AnsiString::npos) return false;
  const auto p2 = line.find(';', p1 + 1);
  if (p2 == AnsiString::npos) return false;
  const auto p3 = line.find(';', p2 + 1);
  if (p3 == AnsiString::npos) return false;
  out.Name = Trim(line.substr(0, p1)).substr(0, 10);
  const AnsiString type = line.substr(p1 + 1, p2 - p1 - 1);
  if (out.Name.empty() || type.size() != 1) return false;
  out.Type = type[0];
  return WholeNumber(line.substr(p2 + 1, p3 - p2 - 1), out.Length) && WholeNumber(line.substr(p3 + 1), out.Decimals);
}

}  // namespace

TCreateXBaseDataSet::TCreateXBaseDataSet(TComponent* AOwner)
    : TComponent(AOwner), FCreateFields(std::make_unique<TStringList>()) {}

TCreateXBaseDataSet::~TCreateXBaseDataSet() = default;

void TCreateXBaseDataSet::SetDBFTable(TXBaseDataSet* Value) {
  if (FDBFTable) FDBFTable->RemoveFreeNotification(this);
  FDBFTable = Value;
  if (Value) Value->FreeNotification(this);
}

void TCreateXBaseDataSet::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FDBFTable) FDBFTable = nullptr;
}

bool TCreateXBaseDataSet::Execute() {
  if (!FDBFTable) DatabaseError("A table is not assigned to this object", this);
  if (FDBFTable->Active()) DatabaseError("Cannot perform this operation on an open table", this);
  const AnsiString fileName = FDBFTable->FullTableName();
  if (FileExists(fileName) && !AutoOverwrite) {
    if (!ConfirmOverwrite || !ConfirmOverwrite(OverwriteQuestion)) return false;
  }
  if (FCreateFields->Count() == 0) DatabaseError("Field list is invalid", this);
  std::vector<FieldLine> fields;
  for (int i = 0; i < FCreateFields->Count(); ++i) {
    FieldLine f;
    if (!ParseLine(FCreateFields->Strings(i), f)) DatabaseError("Field list is invalid", this);
    for (const FieldLine& earlier : fields)
      if (AnsiUpperCase(earlier.Name) == AnsiUpperCase(f.Name)) DatabaseError("Field list is invalid", this);
    fields.push_back(f);
  }
  std::unique_ptr<XBO_DBFBuild> builder;
  switch (DBFType) {
    case DBaseIV: builder = std::make_unique<XBO_DB4Build>(fileName); break;
    case FoxPro2: builder = std::make_unique<XBO_DBFoxBuild>(fileName); break;
    default: builder = std::make_unique<XBO_DBFBuild>(fileName); break;
  }
  try {
    for (const FieldLine& f : fields) builder->AddField(f.Name, f.Type, f.Length, f.Decimals);
    builder->Write();
  } catch (const Exception&) { return false; }
  FDBFTable->Open();
  return true;
}
