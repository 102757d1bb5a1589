#include "tests/platform/db/memory_dataset.h"

#include <cmath>
#include <cstring>

#include "platform/db/field_types.h"

namespace {

int NativeSize(TFieldType type, int size) {
  switch (type) {
    case ftString: return size + 1;
    case ftSmallint:
    case ftBoolean: return 2;
    case ftInteger:
    case ftDate: return 4;
    case ftFloat:
    case ftDateTime: return 8;
    default: return 0;
  }
}

const char* ModeName(TGetMode mode) {
  switch (mode) {
    case gmCurrent: return "current";
    case gmNext: return "next";
    case gmPrior: return "prior";
  }
  return "?";
}

const char* ResultName(TGetResult r) {
  switch (r) {
    case grOK: return "OK";
    case grBOF: return "BOF";
    case grEOF: return "EOF";
    case grError: return "Error";
  }
  return "?";
}

constexpr int kBookmarkSize = 4;

}  // namespace

void StoreNative(TFieldType Type, int Size, const Variant& Value, char* Out) {
  int n = NativeSize(Type, Size);
  std::memset(Out, 0, static_cast<std::size_t>(n) + 1);
  if (Value.IsNull() || Value.IsEmpty()) return;
  Out[0] = 1;
  char* data = Out + 1;
  switch (Type) {
    case ftString: {
      AnsiString s = Value.AsString();
      std::memcpy(data, s.data(), std::min<std::size_t>(s.size(), static_cast<std::size_t>(Size)));
      break;
    }
    case ftSmallint: {
      auto v = static_cast<std::int16_t>(Value.AsInteger());
      std::memcpy(data, &v, 2);
      break;
    }
    case ftBoolean: {
      std::int16_t v = Value.AsBoolean() ? 1 : 0;
      std::memcpy(data, &v, 2);
      break;
    }
    case ftInteger: {
      std::int32_t v = Value.AsInteger();
      std::memcpy(data, &v, 4);
      break;
    }
    case ftDate: {
      auto v = static_cast<std::int32_t>(std::trunc(Value.AsDateTime()) + vx::dbformat::DateDelta);
      std::memcpy(data, &v, 4);
      break;
    }
    case ftFloat: {
      double v = Value.AsDouble();
      std::memcpy(data, &v, 8);
      break;
    }
    case ftDateTime: {
      double d = Value.AsDateTime();
      double ms = (std::trunc(d) + vx::dbformat::DateDelta) * vx::dbformat::MSecsPerDay +
                  std::round(std::fabs(d - std::trunc(d)) * vx::dbformat::MSecsPerDay);
      std::memcpy(data, &ms, 8);
      break;
    }
    default: break;
  }
}

TMemoryDataSet::TMemoryDataSet(std::vector<MemoryFieldSpec> Specs, TComponent* AOwner)
    : TDataSet(AOwner), FSpecs(std::move(Specs)) {
  for (const auto& spec : FSpecs) {
    FOffsets.push_back(FRecordSize);
    FSizes.push_back(NativeSize(spec.Type, spec.Size));
    FRecordSize += FSizes.back() + 1;
  }
}

TMemoryDataSet::~TMemoryDataSet() {
  LogCalls = false;
  Close();
}

int TMemoryDataSet::AddRow(const std::vector<Variant>& Values) {
  Row row{FNextRecNo++, std::string(static_cast<std::size_t>(FRecordSize), '\0')};
  for (std::size_t i = 0; i < FSpecs.size() && i < Values.size(); ++i)
    StoreNative(FSpecs[i].Type, FSpecs[i].Size, Values[i], row.Image.data() + FOffsets[i]);
  FRows.push_back(std::move(row));
  return FRows.back().RecNo;
}

template <class Read>
auto TMemoryDataSet::OnRowImage(int Position, Read read) {
  struct Back {
    TMemoryDataSet* ds;
    TDataSetState saved;
    ~Back() {
      ds->FFilterImage = nullptr;
      ds->RestoreState(saved);
    }
  } back{this, SetTempState(dsFilter)};
  FFilterImage = &FRows[static_cast<std::size_t>(Position)].Image;
  return read();
}

Variant TMemoryDataSet::RowValue(int Position, int Index) {
  return OnRowImage(Position, [&] { return Fields()[Index]->Value(); });
}

int TMemoryDataSet::PositionOf(int RecNo) const {
  for (std::size_t i = 0; i < FRows.size(); ++i)
    if (FRows[i].RecNo == RecNo) return static_cast<int>(i);
  return -1;
}

int TMemoryDataSet::InfoRecNo(TRecordBuffer Buffer) {
  int v = 0;
  std::memcpy(&v, Buffer + FInfoOffset, sizeof v);
  return v;
}

void TMemoryDataSet::SetInfoRecNo(TRecordBuffer Buffer, int Value) {
  std::memcpy(Buffer + FInfoOffset, &Value, sizeof Value);
}

int TMemoryDataSet::BufferRecNo(int Index) {
  TRecordBuffer b = Buffer(Index);
  return GetBookmarkFlag(b) == bfCurrent ? InfoRecNo(b) : 0;
}

TBookmarkFlag TMemoryDataSet::BufferFlag(int Index) { return GetBookmarkFlag(Buffer(Index)); }

// ---------------------------------------------------------------------------
// Open and close

void TMemoryDataSet::InternalInitFieldDefs() {
  FieldDefs().Clear();
  for (std::size_t i = 0; i < FSpecs.size(); ++i)
    FieldDefs().Add(FSpecs[i].Name, FSpecs[i].Type, FSpecs[i].Type == ftString ? FSpecs[i].Size : 0, false,
                    static_cast<int>(i) + 1);
}

void TMemoryDataSet::InternalOpen() {
  Log("InternalOpen");
  InternalInitFieldDefs();
  if (DefaultFields()) CreateFields();
  BindFields(true);
  FInfoOffset = FRecordSize + CalcFieldsSize();
  FBufferSize = FInfoOffset + 8 + kBookmarkSize;
  SetBookmarkSize(kBookmarkSize);
  FOpen = true;
  FPos = 0;
  InternalFirst();
}

void TMemoryDataSet::InternalClose() {
  Log("InternalClose");
  BindFields(false);
  if (DefaultFields()) DestroyFields();
  FOpen = false;
}

TRecordBuffer TMemoryDataSet::AllocRecordBuffer() { return new char[static_cast<std::size_t>(FBufferSize)](); }

void TMemoryDataSet::FreeRecordBuffer(TRecordBuffer& Buffer) {
  delete[] Buffer;
  Buffer = nullptr;
}

// ---------------------------------------------------------------------------
// The cursor

bool TMemoryDataSet::Accepted(int Position) {
  if (!Filtered() || !OnFilterRecord) return true;
  return OnRowImage(Position, [&] {
    bool accept = true;
    OnFilterRecord(this, accept);
    return accept;
  });
}

bool TMemoryDataSet::HandlerMove(Move How) {
  const int n = static_cast<int>(FRows.size());
  FHandlerBof = FHandlerEof = false;
  auto forward = [&](int from) {
    for (int p = std::max(from, 0); p < n; ++p)
      if (Accepted(p)) return p;
    return -1;
  };
  auto backward = [&](int from) {
    for (int p = std::min(from, n - 1); p >= 0; --p)
      if (Accepted(p)) return p;
    return -1;
  };
  int p = -1;
  switch (How) {
    case Move::Top:
      p = forward(0);
      if (p < 0) FHandlerBof = FHandlerEof = true;
      break;
    case Move::Bottom:
      p = backward(n - 1);
      if (p < 0) FHandlerBof = FHandlerEof = true;
      break;
    case Move::Next:
      p = forward(FPos + 1);
      if (p < 0) FHandlerEof = true;
      break;
    case Move::Prior:
      p = backward(FPos - 1);
      if (p < 0) {
        // Before the first record the cursor stays on the first.
        FHandlerBof = true;
        int first = forward(0);
        FPos = first < 0 ? n : first;
        return false;
      }
      break;
    case Move::Reread:
      // A record that is gone or refused: the next one takes its place.
      p = forward(FPos);
      if (p < 0) FHandlerEof = true;
      break;
  }
  FPos = p < 0 ? n : p;
  return p >= 0;
}

TGetResult TMemoryDataSet::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) {
  TGetResult result;
  if (GetMode == gmCurrent && (FBof || FEof)) {
    result = grError;
  } else {
    switch (GetMode) {
      case gmCurrent: HandlerMove(Move::Reread); break;
      case gmNext:
        HandlerMove(FBof ? Move::Top : Move::Next);
        FBof = FEof = false;
        break;
      case gmPrior:
        HandlerMove(FEof ? Move::Bottom : Move::Prior);
        FEof = false;
        break;
    }
    result = FHandlerEof ? grEOF : FHandlerBof ? grBOF : grOK;
  }
  Log(std::string("Get ") + ModeName(GetMode) + "=" + ResultName(result));
  if (result == grOK) {
    const Row& row = FRows[static_cast<std::size_t>(FPos)];
    std::memcpy(Buffer, row.Image.data(), row.Image.size());
    SetInfoRecNo(Buffer, row.RecNo);
    SetBookmarkFlag(Buffer, bfCurrent);
    std::memcpy(Buffer + FInfoOffset + 8, &row.RecNo, kBookmarkSize);
    GetCalcFields(Buffer);
  } else if (result == grError && DoCheck) {
    DatabaseError("Record request beyond range of table", this);
  }
  return result;
}

void TMemoryDataSet::InternalFirst() {
  Log("InternalFirst");
  FBof = true;
  FEof = false;
}

void TMemoryDataSet::InternalLast() {
  Log("InternalLast");
  HandlerMove(Move::Bottom);
  FEof = true;
}

void TMemoryDataSet::InternalSetToRecord(TRecordBuffer Buffer) {
  int recNo = 0;
  std::memcpy(&recNo, Buffer + FInfoOffset + 8, kBookmarkSize);
  Log("SetToRecord " + std::to_string(recNo));
  InternalGotoBookmark(Buffer + FInfoOffset + 8);
}

void TMemoryDataSet::InternalGotoBookmark(const char* Bookmark) {
  int recNo = 0;
  std::memcpy(&recNo, Bookmark, kBookmarkSize);
  int p = PositionOf(recNo);
  if (p < 0) DatabaseError(vx::dbtext::RecordNotFound, this);
  FPos = p;
  FHandlerBof = FHandlerEof = false;
}

void TMemoryDataSet::GetBookmarkData(TRecordBuffer Buffer, char* Data) {
  std::memcpy(Data, Buffer + FInfoOffset + 8, kBookmarkSize);
}

void TMemoryDataSet::SetBookmarkData(TRecordBuffer Buffer, const char* Data) {
  std::memcpy(Buffer + FInfoOffset + 8, Data, kBookmarkSize);
}

TBookmarkFlag TMemoryDataSet::GetBookmarkFlag(TRecordBuffer Buffer) {
  return static_cast<TBookmarkFlag>(Buffer[FInfoOffset + 4]);
}

void TMemoryDataSet::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) {
  Buffer[FInfoOffset + 4] = static_cast<char>(Value);
}

bool TMemoryDataSet::BookmarkValid(const TBookmark& Bookmark) {
  if (Bookmark.size() != kBookmarkSize) return false;
  int recNo = 0;
  std::memcpy(&recNo, Bookmark.data(), kBookmarkSize);
  return PositionOf(recNo) >= 0;
}

int TMemoryDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
  if (Bookmark1.empty() || Bookmark2.empty()) return Bookmark1.empty() ? (Bookmark2.empty() ? 0 : -1) : 1;
  int a = 0, b = 0;
  std::memcpy(&a, Bookmark1.data(), kBookmarkSize);
  std::memcpy(&b, Bookmark2.data(), kBookmarkSize);
  return a < b ? -1 : a > b ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Editing

void TMemoryDataSet::InternalInitRecord(TRecordBuffer Buffer) {
  Log("InternalInitRecord");
  std::memset(Buffer, 0, static_cast<std::size_t>(FRecordSize));
  SetInfoRecNo(Buffer, 0);
}

void TMemoryDataSet::InternalPost() {
  Log("InternalPost");
  TDataSet::InternalPost();
  TRecordBuffer buffer = ActiveBuffer();
  std::string image(buffer, static_cast<std::size_t>(FRecordSize));
  if (State() == dsInsert) {
    int at = static_cast<int>(FRows.size());
    TBookmarkFlag flag = GetBookmarkFlag(buffer);
    if (!AppendOnPost && flag == bfBOF) {
      at = 0;
    } else if (!AppendOnPost && flag == bfInserted) {
      int before = 0;
      std::memcpy(&before, buffer + FInfoOffset + 8, kBookmarkSize);
      int p = PositionOf(before);
      if (p >= 0) at = p;
    }
    FRows.insert(FRows.begin() + at, Row{FNextRecNo++, std::move(image)});
    FPos = at;
  } else {
    int p = PositionOf(InfoRecNo(buffer));
    if (p < 0) DatabaseError(vx::dbtext::RecordNotFound, this);
    FRows[static_cast<std::size_t>(p)].Image = std::move(image);
    FPos = p;
  }
  FHandlerBof = FHandlerEof = false;
  FBof = FEof = false;
}

void TMemoryDataSet::InternalEdit() {
  Log("InternalEdit");
  // Fresh copy of the record, as another user may have changed it.
  TRecordBuffer buffer = ActiveBuffer();
  int p = PositionOf(InfoRecNo(buffer));
  if (p < 0) DatabaseError(vx::dbtext::RecordNotFound, this);
  std::memcpy(buffer, FRows[static_cast<std::size_t>(p)].Image.data(), static_cast<std::size_t>(FRecordSize));
}

void TMemoryDataSet::InternalCancel() { Log("InternalCancel"); }

void TMemoryDataSet::InternalDelete() {
  Log("InternalDelete");
  int p = PositionOf(InfoRecNo(ActiveBuffer()));
  if (p < 0) DatabaseError("Cannot delete the record", this);
  FRows.erase(FRows.begin() + p);
  FPos = p;
  HandlerMove(Move::Reread);
  if (FHandlerEof) {
    HandlerMove(Move::Prior);
    FEof = true;
  }
}

void TMemoryDataSet::InternalRefresh() { Log("InternalRefresh"); }

void TMemoryDataSet::ClearCalcFields(TRecordBuffer Buffer) {
  std::memset(Buffer + FRecordSize, 0, static_cast<std::size_t>(CalcFieldsSize()));
}

int TMemoryDataSet::GetRecordCount() {
  CheckActive();
  return static_cast<int>(FRows.size());
}

int TMemoryDataSet::GetRecNo() {
  CheckActive();
  TRecordBuffer buffer = State() == dsCalcFields ? CalcBuffer() : ActiveBuffer();
  if (buffer == nullptr || IsEmpty() || GetBookmarkFlag(buffer) != bfCurrent) return 0;
  return PositionOf(InfoRecNo(buffer)) + 1;
}

void TMemoryDataSet::SetRecNo(int Value) {
  CheckBrowseMode();
  if (Value < 1 || Value > static_cast<int>(FRows.size())) return;
  FPos = Value - 1;
  FBof = FEof = false;
  Resync({});
  DoAfterScroll();
}

// ---------------------------------------------------------------------------
// Field data

TRecordBuffer TMemoryDataSet::StateBuffer() {
  switch (State()) {
    case dsBrowse: return IsEmpty() ? nullptr : ActiveBuffer();
    case dsEdit:
    case dsInsert: return ActiveBuffer();
    case dsCalcFields: return CalcBuffer();
    case dsFilter: return FFilterImage != nullptr ? const_cast<char*>(FFilterImage->data()) : nullptr;
    default: return nullptr;
  }
}

char* TMemoryDataSet::FieldPtr(TRecordBuffer Buffer, TField* Field) {
  if (Field->FieldNo() < 1) return Buffer + FRecordSize + Field->Offset();
  return Buffer + FOffsets[static_cast<std::size_t>(Field->FieldNo() - 1)];
}

bool TMemoryDataSet::GetFieldData(TField* Field, void* Buffer) {
  TRecordBuffer record = StateBuffer();
  if (record == nullptr) return false;
  if (Field->FieldNo() < 1 && State() == dsFilter) return false;
  char* p = FieldPtr(record, Field);
  if (p[0] == 0) return false;
  if (Buffer != nullptr) std::memcpy(Buffer, p + 1, static_cast<std::size_t>(Field->DataSize()));
  return true;
}

void TMemoryDataSet::SetFieldData(TField* Field, const void* Buffer) {
  bool calculated = Field->FieldNo() < 1;
  TDataSetState state = State();
  if (!(state == dsEdit || state == dsInsert || (calculated && state == dsCalcFields)))
    DatabaseError(vx::dbtext::NotEditing, this);
  if (!calculated && Field->ReadOnly()) DatabaseErrorFmt(vx::dbtext::FieldReadOnly, {Field->DisplayName()}, this);
  if (!calculated) Field->Validate(Buffer);
  char* p = FieldPtr(StateBuffer(), Field);
  auto n = static_cast<std::size_t>(Field->DataSize());
  p[0] = Buffer != nullptr ? 1 : 0;
  if (Buffer != nullptr) std::memcpy(p + 1, Buffer, n);
  else std::memset(p + 1, 0, n);
  if (state != dsCalcFields) DataEvent(deFieldChange, reinterpret_cast<std::intptr_t>(Field));
}

Variant TMemoryDataSet::Lookup(const AnsiString& KeyFields, const Variant& KeyValues, const AnsiString& ResultFields) {
  TField* key = FieldByName(KeyFields);
  TField* result = FieldByName(ResultFields);
  for (int p = 0; p < static_cast<int>(FRows.size()); ++p)
    if (RowValue(p, key->Index()) == KeyValues) return RowValue(p, result->Index());
  return Variant::Null();
}
