// The index layer's view of an open table file: key and FOR expressions
// compiled by the expression language against the table's fields, records
// read for the bulk build, the record image as it was read (for the old key
// of an edited record), the table's cipher for index pages, and the table
// header's flag for a structural compound index.
#pragma once

#include "tables/dbf/xb_fields.h"
#include "tables/index/ntx_index.h"
#include "tables/index/xb_index.h"

namespace vx {

class DbfIndexLink : public IndexTableLink, public IndexFieldShape {
 public:
  explicit DbfIndexLink(XBO_dBaseFld* table) : table_(table) {}

  std::string Folder() const override;
  std::string BaseName() const override;
  int32_t RecordCount() const override { return table_->RecordCount; }
  int32_t CurrentRecord() const override { return table_->RecNo; }
  std::unique_ptr<IndexExpr> Compile(const std::string& text) override;
  void ReadForIndex(int32_t record) override { table_->ReadRecord(record); }
  bool HasOldImage() const override { return !table_->SavedRecord.empty(); }
  void UseOldImage(bool on) override;
  bool RecordModified() const override { return table_->RecordModified; }
  bool Exact() const override { return table_->ExactMatch; }
  bool Enciphered() const override { return table_->Encrypted; }
  void EncipherBlock(uint8_t* block, size_t size) override;
  void DecipherBlock(uint8_t* block, size_t size) override;
  void MarkStructuralIndex() override;
  // Width and decimals of a numeric field (N, F) named by `name` (blanks
  // around it and case do not count).
  bool NumericFieldShape(const std::string& name, int& width, int& decimals) const override;

  XBO_dBaseFld* Table() const { return table_; }

 private:
  XBO_dBaseFld* table_;
};

}  // namespace vx
