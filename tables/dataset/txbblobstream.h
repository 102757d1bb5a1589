// TXBBlobStream: the stream a TXBaseDataSet hands out for a memo or blob
// field.
//
// The whole memo entry is loaded into a block (converted OEM to ANSI byte by
// byte when the field transliterates; zero bytes pass unchanged). Read, Write
// and Seek work on that block; a Write drops whatever followed the written
// bytes, and a Write after a Seek past the end fills the gap with zeros.
//
// Commit() writes a modified block back as the field's memo entry (into the
// record buffer of the data set's state) and reports a failure by raising;
// the destructor commits what is still pending and swallows any failure, so
// callers that care call Commit() themselves.
#pragma once

#include <vector>

#include "platform/db/field_types.h"
#include "platform/rtl/streams.h"

class TXBaseDataSet;

class TXBBlobStream : public TStream {
 public:
  TXBBlobStream(TBlobField* Field, TBlobStreamMode Mode);
  ~TXBBlobStream() override;

  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  std::int64_t Size() override { return std::int64_t(FData.size()); }
  // Cuts or extends (with zeros) the data; the position stays.
  void SetSize(std::int64_t NewSize) override;

  // Writes the memo back when modified; raises on failure.
  void Commit();
  bool Modified() const { return FModified; }

 private:
  TBlobField* FField;
  TXBaseDataSet* FDataSet;
  char* FRecord = nullptr;
  std::vector<char> FData;
  std::int64_t FPosition = 0;
  bool FModified = false;
};
