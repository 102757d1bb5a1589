#include "tables/dataset/txbblobstream.h"

#include <cstring>

#include "tables/dataset/txbasedataset.h"

TXBBlobStream::TXBBlobStream(TBlobField* Field, TBlobStreamMode Mode)
    : FField(Field), FDataSet(static_cast<TXBaseDataSet*>(Field->DataSet())) {
  FRecord = FDataSet ? FDataSet->StateRecord() : nullptr;
  if (!FRecord || !FDataSet->Handler()) return;
  if (Mode != bmRead) {
    if (Field->ReadOnly()) DatabaseErrorFmt(vx::dbtext::FieldReadOnly, {Field->DisplayName()}, FDataSet);
    if (!IsEditState(FDataSet->State())) DatabaseError(vx::dbtext::NotEditing, FDataSet);
  }
  if (Mode == bmWrite) {
    FModified = true;
    return;
  }
  DBFObject& h = *FDataSet->Handler();
  XBO_dBaseDBF::RecordRedirect redirect(h, FRecord);
  const std::int64_t length = h.MemoLength(Field->FieldNo());
  if (length > 0) {
    FData.assign(std::size_t(length), 0);
    const std::int64_t got = h.MemoRead(Field->FieldNo(), FData.data(), length);
    FData.resize(std::size_t(got > 0 ? got : 0));
    if (Field->Transliterate()) FDataSet->TranslateBytes(FData.data(), FData.data(), FData.size(), false);
  }
}

TXBBlobStream::~TXBBlobStream() {
  try {
    Commit();
  } catch (...) {}
}

std::int64_t TXBBlobStream::Read(void* Buffer, std::int64_t Count) {
  if (Count <= 0 || FPosition >= Size()) return 0;
  const std::int64_t n = std::min(Count, Size() - FPosition);
  std::memcpy(Buffer, FData.data() + FPosition, std::size_t(n));
  FPosition += n;
  return n;
}

std::int64_t TXBBlobStream::Write(const void* Buffer, std::int64_t Count) {
  if (Count <= 0) return 0;
  FData.resize(std::size_t(FPosition), 0);  // cuts after the position, or zero-fills a gap
  const char* in = static_cast<const char*>(Buffer);
  FData.insert(FData.end(), in, in + Count);
  FPosition += Count;
  FModified = true;
  return Count;
}

std::int64_t TXBBlobStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  std::int64_t p = FPosition;
  switch (Origin) {
    case soBeginning: p = Offset; break;
    case soCurrent: p = FPosition + Offset; break;
    case soEnd: p = Size() + Offset; break;
  }
  FPosition = p < 0 ? 0 : p;
  return FPosition;
}

void TXBBlobStream::SetSize(std::int64_t NewSize) {
  if (NewSize < 0) NewSize = 0;
  FData.resize(std::size_t(NewSize), 0);
  FModified = true;
}

void TXBBlobStream::Commit() {
  if (!FModified || !FDataSet || !FRecord || !FDataSet->Handler()) return;
  if (!IsEditState(FDataSet->State())) return;
  FModified = false;
  std::vector<char> text(FData);
  text.push_back(0);
  if (FField->Transliterate()) FDataSet->TranslateBytes(FData.data(), text.data(), FData.size(), true);
  DBFObject& h = *FDataSet->Handler();
  {
    XBO_dBaseDBF::RecordRedirect redirect(h, FRecord);
    if (!h.MemoWrite(FField->FieldNo(), text.data(), std::int64_t(FData.size())))
      throw EDatabaseError("Cannot write the memo of field " + FField->DisplayName());
  }
  FDataSet->FieldChanged(FField);
}
