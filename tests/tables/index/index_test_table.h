// A table stand-in for index tests: records of named values, the key and FOR
// expressions of the tests ("YEAR+(0.001*DRAW)" and bare field names), an
// image of the record as it was read, and a status log.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tables/index/xb_index.h"

namespace vx::test {

class IndexTestTable : public IndexTableLink {
 public:
  using Record = std::map<std::string, IndexValue>;

  std::string folder = ".";
  std::string baseName = "TEST";
  std::vector<Record> records;  // record n is records[n - 1]
  int32_t current = 0;
  Record oldImage;
  bool useOld = false;
  bool modified = true;
  bool exact = false;
  bool structuralMarked = false;
  std::string cipherKey;  // enciphers pages when not empty
  std::vector<std::array<int, 3>> statusLog;

  static IndexValue Num(double v) {
    IndexValue x;
    x.kind = IndexValue::Kind::Number;
    x.number = v;
    return x;
  }
  static IndexValue Text(std::string s) {
    IndexValue x;
    x.kind = IndexValue::Kind::Text;
    x.text = std::move(s);
    return x;
  }
  static IndexValue Day(int32_t d) {
    IndexValue x;
    x.kind = IndexValue::Kind::Date;
    x.day = d;
    return x;
  }
  static IndexValue Bool(bool b) {
    IndexValue x;
    x.kind = IndexValue::Kind::Logical;
    x.logical = b;
    return x;
  }

  int32_t Append(Record r) {
    records.push_back(std::move(r));
    current = static_cast<int32_t>(records.size());
    oldImage = records.back();
    return current;
  }
  // Reads record n as the handler would before editing it.
  void Go(int32_t n) {
    current = n;
    oldImage = records[static_cast<size_t>(n - 1)];
  }
  const Record& Active() const { return useOld ? oldImage : records[static_cast<size_t>(current - 1)]; }

  std::string Folder() const override { return folder; }
  std::string BaseName() const override { return baseName; }
  int32_t RecordCount() const override { return static_cast<int32_t>(records.size()); }
  int32_t CurrentRecord() const override { return current; }
  void ReadForIndex(int32_t record) override { Go(record); }
  bool HasOldImage() const override { return true; }
  void UseOldImage(bool on) override { useOld = on; }
  bool RecordModified() const override { return modified; }
  bool Exact() const override { return exact; }
  void Status(int code, int value, int total) override { statusLog.push_back({code, value, total}); }
  bool Enciphered() const override { return !cipherKey.empty(); }
  void EncipherBlock(uint8_t* block, size_t size) override { Xor(block, size); }
  void DecipherBlock(uint8_t* block, size_t size) override { Xor(block, size); }
  void MarkStructuralIndex() override { structuralMarked = true; }

  std::unique_ptr<IndexExpr> Compile(const std::string& text) override;

 private:
  void Xor(uint8_t* block, size_t size) const {
    for (size_t i = 0; i < size; ++i)
      block[i] ^= static_cast<uint8_t>((i & 0xFF) | static_cast<uint8_t>(cipherKey[i % cipherKey.size()]));
  }
};

class IndexTestExpr : public IndexExpr {
 public:
  IndexTestExpr(IndexTestTable* t, std::string text) : table_(t), text_(std::move(text)) {}
  IndexValue Evaluate() override {
    const IndexTestTable::Record empty;
    const IndexTestTable::Record& r = table_->current >= 1 ? table_->Active() : empty;
    auto get = [&](const std::string& name) {
      auto it = r.find(name);
      return it == r.end() ? IndexTestTable::Num(0) : it->second;
    };
    if (text_ == "YEAR+(0.001*DRAW)") return IndexTestTable::Num(get("YEAR").number + (0.001 * get("DRAW").number));
    auto it = r.find(text_);
    if (it == r.end()) {
      // The blank record: a field's empty value of its kind.
      if (text_ == "NAME") return IndexTestTable::Text(std::string(20, ' '));
      if (text_ == "DAY") return IndexTestTable::Day(0);
      if (text_ == "KEEP") return IndexTestTable::Bool(false);
      return IndexTestTable::Num(0);
    }
    return it->second;
  }
  std::string Text() const override { return text_; }

 private:
  IndexTestTable* table_;
  std::string text_;
};

inline std::unique_ptr<IndexExpr> IndexTestTable::Compile(const std::string& text) {
  return std::make_unique<IndexTestExpr>(this, text);
}

}  // namespace vx::test
