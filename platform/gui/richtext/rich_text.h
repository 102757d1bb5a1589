// The rich-text document of the rich edit, independent of any widget: a
// list of paragraphs, each with its paragraph format and runs of text in
// one character format. The RTF reader and writer work on it; the rich
// edit moves it in and out of its editor.
//
// Text is UTF-16, so a document keeps characters that code page 1251 does
// not have; the program's CP1251 view of it (PlainText, TRichEdit's Lines)
// is made at the edge. A soft line break inside a paragraph is U+2028.
//
// Indents are in points, as the rich edit's paragraph attributes give
// them: the first line starts FirstIndent from the left edge, the other
// lines FirstIndent + LeftIndent; RightIndent from the right edge.
#pragma once

#include <string>
#include <vector>

#include "platform/gui/draw/graphics.h"

namespace vx {

enum class RichAlignment { Left, Right, Center };

struct RichCharFormat {
  AnsiString Name = "Arial";
  int Size = 10;  // points
  TFontStyles Style;
  bool operator==(const RichCharFormat&) const = default;
};

struct RichParagraphFormat {
  RichAlignment Alignment = RichAlignment::Left;
  int FirstIndent = 0, LeftIndent = 0, RightIndent = 0;
  bool Bullet = false;
  bool operator==(const RichParagraphFormat&) const = default;
};

struct RichRun {
  std::u16string Text;
  RichCharFormat Format;
  bool operator==(const RichRun&) const = default;
};

struct RichParagraph {
  RichParagraphFormat Format;
  std::vector<RichRun> Runs;
  std::u16string Text() const;
  // Appends text in that format, joining the last run when it has the same one.
  void Append(const std::u16string& text, const RichCharFormat& format);
  bool operator==(const RichParagraph&) const = default;
};

struct RichDocument {
  std::vector<RichParagraph> Paragraphs;
  // The paragraphs' texts in CP1251, each followed by CR LF.
  AnsiString PlainText() const;
  // One paragraph per line of CP1251 text (split at CR LF, LF or CR) in `format`.
  static RichDocument FromPlainText(const AnsiString& text, const RichCharFormat& format = {});
  bool operator==(const RichDocument&) const = default;
};

}  // namespace vx
