// TBlobField and TMemoField: contents through the data set's blob streams.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/db/dataset.h"
#include "platform/db/field_types.h"

using namespace vx;

TBlobField::TBlobField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBlob); }

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner) {
  SetDataType(ftMemo);
  SetTransliterate(true);
}

static std::unique_ptr<TStream> OpenBlob(TField* field, TBlobStreamMode mode) {
  if (field->DataSet() == nullptr) DatabaseErrorFmt(dbtext::DataSetMissing, {field->DisplayName()});
  return std::unique_ptr<TStream>(field->DataSet()->CreateBlobStream(field, mode));
}

AnsiString TBlobField::GetAsString() {
  auto stream = OpenBlob(this, bmRead);
  if (!stream) return {};
  std::int64_t size = stream->Size();
  if (size <= 0) return {};
  AnsiString text(static_cast<std::size_t>(size), '\0');
  stream->Seek(0, soBeginning);
  std::int64_t n = stream->Read(text.data(), size);
  text.resize(static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, size)));
  return text;
}

void TBlobField::SetAsStringValue(const AnsiString& Value) {
  auto stream = OpenBlob(this, bmWrite);
  if (!stream) return;
  stream->Write(Value.data(), static_cast<std::int64_t>(Value.size()));
}

void TBlobField::Clear() {
  auto stream = OpenBlob(this, bmWrite);
  if (stream) stream->SetSize(0);
}

Variant TBlobField::Value() {
  if (IsNull()) return Variant::Null();
  return Variant(GetAsString());
}

void TBlobField::LoadFromStream(TStream* Stream) {
  std::int64_t size = std::max<std::int64_t>(0, Stream->Size() - Stream->Position());
  AnsiString data(static_cast<std::size_t>(size), '\0');
  std::int64_t n = Stream->Read(data.data(), size);
  data.resize(static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, size)));
  SetAsStringValue(data);
}

void TBlobField::SaveToStream(TStream* Stream) {
  AnsiString data = GetAsString();
  Stream->Write(data.data(), static_cast<std::int64_t>(data.size()));
}

void TBlobField::GetText(AnsiString& Text, bool DisplayText) {
  if (DisplayText) Text = IsNull() ? "(blob)" : "(BLOB)";
  else Text = GetAsString();
}

void TMemoField::GetText(AnsiString& Text, bool DisplayText) {
  if (DisplayText) Text = IsNull() ? "(memo)" : "(MEMO)";
  else Text = GetAsString();
}
