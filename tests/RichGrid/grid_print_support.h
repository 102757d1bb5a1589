// Shared pieces of the printing tests: a printer on the recording back end
// at 254 dots per inch, so a device pixel is a tenth of a millimetre and a
// recorded point (x, y) is the layout's (x, -y); the texts of a recorded
// page; and plain print settings with 10-point fonts, whose fixed metrics
// give a line of "gh" 40 high (unit 5) and a character 21 wide.
#pragma once

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "platform/gui/draw/printers.h"
#include "rich_grid_test_support.h"

namespace richgridtest {

struct TextAt {
  int x = 0, y = 0;  // layout units: y is negative on the page
  std::string text;
  std::string angle;
};

inline std::vector<TextAt> RecordedTexts(const std::vector<std::string>& calls) {
  static const std::regex re(R"re(^Text (-?\d+),(-?\d+) "(.*)" font=\w+(?: angle=(-?\d+))?)re");
  std::vector<TextAt> out;
  std::smatch m;
  for (const std::string& c : calls)
    if (std::regex_search(c, m, re)) out.push_back(TextAt{std::stoi(m[1]), -std::stoi(m[2]), m[3], m[4]});
  return out;
}

// The first text that equals s; an x of -1 when there is none.
inline TextAt Find(const std::vector<TextAt>& texts, const std::string& s) {
  for (const TextAt& t : texts)
    if (t.text == s) return t;
  return TextAt{-1, 0, "", ""};
}

inline int Count(const std::vector<std::string>& calls, const std::string& prefix) {
  int n = 0;
  for (const std::string& c : calls) n += c.rfind(prefix, 0) == 0;
  return n;
}

// Column letter and two-digit row: "A00", "B07" ...
inline AnsiString Label(int col, int row) {
  return AnsiString(1, static_cast<char>('A' + col % 26)) + static_cast<char>('0' + row / 10 % 10) +
         static_cast<char>('0' + row % 10);
}

inline void Fill(TRichStringGrid& g, int cols, int rows) {
  g.SetColCount(cols);
  g.SetRowCount(rows);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) g.SetCells(c, r, Label(c, r));
}

inline void PlainSettings(TPrintsettings* ps) {
  for (TFont* f : {ps->Font(), ps->HeaderFont(), ps->FooterFont()}) {
    f->SetName("Arial");
    f->SetSize(10);
  }
  ps->SetLeftSize(100);
  ps->SetRightSize(100);
  ps->SetHeaderSize(100);
  ps->SetFooterSize(100);
  ps->SetColumnSpacing(0);
  ps->SetRowSpacing(0);
  ps->SetTitleSpacing(0);
  ps->SetPageNumSep("/");
}

// Installs a printer on a recording back end of pageWidth x pageHeight
// tenths of a millimetre for the test's life.
class RecordingPrinter {
 public:
  RecordingPrinter(int pageWidth, int pageHeight) {
    previous_ = SetPrinter(&printer_);
    auto backend = std::make_unique<vx::RecordingPrintBackend>(254, TSize{pageWidth, pageHeight});
    backend_ = backend.get();
    printer_.SetBackend(std::move(backend));
  }
  ~RecordingPrinter() { SetPrinter(previous_ == &printer_ ? nullptr : previous_); }
  RecordingPrinter(const RecordingPrinter&) = delete;
  RecordingPrinter& operator=(const RecordingPrinter&) = delete;

  vx::RecordingPrintBackend* Backend() const { return backend_; }
  std::vector<std::vector<std::string>> Pages() const { return backend_->Pages(); }
  std::vector<TextAt> PageTexts(std::size_t page) const {
    const auto pages = Pages();
    return page < pages.size() ? RecordedTexts(pages[page]) : std::vector<TextAt>{};
  }
  TPrinter& Printer() { return printer_; }

 private:
  TPrinter printer_;
  TPrinter* previous_ = nullptr;
  vx::RecordingPrintBackend* backend_ = nullptr;
};

}  // namespace richgridtest
