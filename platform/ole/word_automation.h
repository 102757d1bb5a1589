// The word processor's automation objects, as far as the program calls
// them ("word.application"). Objects returned by pointer belong to the
// server and live until it quits; ranges and cells are the caller's. Texts
// are UTF-16. Failures raise EOleException.
#pragma once

#include <memory>
#include <string>

#include "platform/ole/automation.h"

// Paragraph alignment: 0 left, 1 centre, 2 right, 3 justified.
class WordParagraphFormat {
 public:
  virtual ~WordParagraphFormat() = default;
  virtual void SetAlignment(int alignment) = 0;
};

class WordRange {
 public:
  virtual ~WordRange() = default;
  virtual void InsertAfter(const std::u16string& text) = 0;
  virtual WordParagraphFormat& ParagraphFormat() = 0;
};

class WordCell {
 public:
  virtual ~WordCell() = default;
  virtual std::unique_ptr<WordRange> Range() = 0;
};

class WordTable {
 public:
  virtual ~WordTable() = default;
  // 1-based.
  virtual std::unique_ptr<WordCell> Cell(int row, int column) = 0;
};

class WordTables {
 public:
  virtual ~WordTables() = default;
  virtual WordTable* Add(WordRange& range, int numrows, int numcolumns) = 0;
};

class WordDocument {
 public:
  virtual ~WordDocument() = default;
  virtual std::unique_ptr<WordRange> Range(int start, int end) = 0;
  virtual WordTables& Tables() = 0;
  virtual void SaveAs(const std::u16string& fileName) = 0;
};

class WordDocuments {
 public:
  virtual ~WordDocuments() = default;
  virtual WordDocument* Add() = 0;
};

class WordApplication : public TAutomationObject {
 public:
  virtual WordDocuments& Documents() = 0;
};
