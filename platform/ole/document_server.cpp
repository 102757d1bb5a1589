#include "platform/ole/document_server.h"

#include <algorithm>
#include <list>
#include <variant>

#include "platform/gui/richtext/rtf_writer.h"
#include "platform/rtl/codepages.h"
#include "platform/rtl/filebytes.h"

namespace vx {

namespace {

// The text width of an A4 page with the default margins, in twips.
constexpr int kPageTextWidth = 9638;
constexpr int kMaxTableCells = 1 << 26;

struct Paragraph {
  std::u16string Text;
  int Alignment = 0;
};

struct Table {
  int Rows = 0, Cols = 0;
  std::vector<Paragraph> Cells;  // by rows
  Paragraph& At(int row, int col) { return Cells[static_cast<std::size_t>(row) * Cols + col]; }
};

using Block = std::variant<Paragraph, Table>;

class ParagraphFormat : public WordParagraphFormat {
 public:
  explicit ParagraphFormat(Paragraph*& target) : target_(target) {}
  void SetAlignment(int alignment) override {
    if (alignment < 0 || alignment > 3) throw EOleException("Not a paragraph alignment: " + IntToStr(alignment));
    if (target_) target_->Alignment = alignment;
  }

 private:
  Paragraph*& target_;
};

class Document;

// A range is either a table cell's paragraph or a place in the document
// (its start or its end).
class DocRange : public WordRange {
 public:
  DocRange(Document& doc, bool atStart) : doc_(&doc), atStart_(atStart), format_(paragraph_) {}
  explicit DocRange(Paragraph& cell) : paragraph_(&cell), format_(paragraph_) {}
  void InsertAfter(const std::u16string& text) override;
  WordParagraphFormat& ParagraphFormat() override { return format_; }
  Document* Doc() const { return doc_; }
  bool AtStart() const { return atStart_; }

 private:
  Document* doc_ = nullptr;
  bool atStart_ = false;
  Paragraph* paragraph_ = nullptr;
  ::vx::ParagraphFormat format_;
};

class CellObject : public WordCell {
 public:
  explicit CellObject(Paragraph& p) : p_(p) {}
  std::unique_ptr<WordRange> Range() override { return std::make_unique<DocRange>(p_); }

 private:
  Paragraph& p_;
};

class TableObject : public WordTable {
 public:
  explicit TableObject(Table& t) : t_(t) {}
  std::unique_ptr<WordCell> Cell(int row, int column) override {
    if (row < 1 || column < 1 || row > t_.Rows || column > t_.Cols)
      throw EOleException("The table has no cell " + IntToStr(row) + "," + IntToStr(column));
    return std::make_unique<CellObject>(t_.At(row - 1, column - 1));
  }

 private:
  Table& t_;
};

class Document : public WordDocument, public WordTables {
 public:
  std::unique_ptr<WordRange> Range(int start, int) override { return std::make_unique<DocRange>(*this, start == 0); }
  WordTables& Tables() override { return *this; }
  WordTable* Add(WordRange& range, int numrows, int numcolumns) override {
    auto* place = dynamic_cast<DocRange*>(&range);
    if (!place || place->Doc() != this) throw EOleException("The range is not in this document");
    if (numrows < 1 || numcolumns < 1 || static_cast<long long>(numrows) * numcolumns > kMaxTableCells)
      throw EOleException("Not a table size: " + IntToStr(numrows) + " x " + IntToStr(numcolumns));
    Table t;
    t.Rows = numrows;
    t.Cols = numcolumns;
    t.Cells.resize(static_cast<std::size_t>(numrows) * numcolumns);
    Block& b = Insert(std::move(t), place->AtStart());
    tables_.push_back(std::make_unique<TableObject>(std::get<Table>(b)));
    return tables_.back().get();
  }
  Block& Insert(Block b, bool atStart) {
    return atStart ? blocks_.emplace_front(std::move(b)) : blocks_.emplace_back(std::move(b));
  }
  void SaveAs(const std::u16string& fileName) override {
    const AnsiString name = Utf16ToCp1251(fileName);
    if (!WriteFileBytes(name, Rtf())) throw EOleException("Cannot write the file " + name);
  }

 private:
  std::string Rtf() const {
    std::string out =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049"
        "{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}\r\n\\viewkind4\\uc1\\f0\\fs20\r\n";
    static const char* const kAlign[] = {"\\ql", "\\qc", "\\qr", "\\qj"};
    for (const Block& b : blocks_) {
      if (const auto* p = std::get_if<Paragraph>(&b)) {
        out += "\\pard";
        out += kAlign[p->Alignment];
        out += ' ';
        AppendRtfText(out, p->Text);
        out += "\\par\r\n";
        continue;
      }
      const Table& t = std::get<Table>(b);
      const int width = std::max(kPageTextWidth / t.Cols, 200);
      std::string rowHead = "\\trowd\\trgaph108\\trleft0";
      for (int c = 0; c < t.Cols; ++c)
        rowHead +=
            "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
            "\\clbrdrr\\brdrs\\brdrw10\\cellx" +
            std::to_string(width * (c + 1));
      for (int r = 0; r < t.Rows; ++r) {
        out += rowHead + "\r\n";
        for (int c = 0; c < t.Cols; ++c) {
          const Paragraph& p = t.Cells[static_cast<std::size_t>(r) * t.Cols + c];
          out += "\\pard\\intbl";
          out += kAlign[p.Alignment];
          out += ' ';
          AppendRtfText(out, p.Text);
          out += "\\cell\r\n";
        }
        out += "\\row\r\n";
      }
      out += "\\pard\\par\r\n";
    }
    return out + "}\r\n";
  }

  std::list<Block> blocks_;  // addresses stay put as blocks come
  std::vector<std::unique_ptr<TableObject>> tables_;
};

void DocRange::InsertAfter(const std::u16string& text) {
  if (paragraph_) {
    paragraph_->Text += text;
    return;
  }
  Block& b = doc_->Insert(Paragraph{text, 0}, atStart_);
  paragraph_ = &std::get<Paragraph>(b);
}

class Server : public WordApplication, public WordDocuments {
 public:
  WordDocuments& Documents() override { return *this; }
  WordDocument* Add() override {
    docs_.push_back(std::make_unique<Document>());
    return docs_.back().get();
  }
  void Quit() override { docs_.clear(); }

 private:
  std::vector<std::unique_ptr<Document>> docs_;
};

}  // namespace

std::unique_ptr<TAutomationObject> NewDocumentServer() { return std::make_unique<Server>(); }

}  // namespace vx
