// The word-processor stand-in bound to "word.application": documents made
// of tables and paragraphs in memory, saved as RTF (code page 1251,
// \ansicpg1251, fonts with \fcharset204), which word processors open
// whatever the file's extension.
//
// - Documents.Add gives an empty document. Range(start, end) is the start
//   of the document when start is 0, else its end; Tables.Add puts a table
//   of the given size there.
// - A table becomes one RTF row per table row with equal column widths
//   over the page and thin borders; a cell holds the text inserted into
//   its range (a line break in the text stays a line break in the cell)
//   with its paragraph alignment (\ql, \qc, \qr, \qj).
// - Text inserted into a document range becomes a paragraph there.
// - SaveAs replaces the file only once written whole; Quit drops every
//   document without saving.
#pragma once

#include <memory>

#include "platform/ole/word_automation.h"

namespace vx {

std::unique_ptr<TAutomationObject> NewDocumentServer();

}  // namespace vx
