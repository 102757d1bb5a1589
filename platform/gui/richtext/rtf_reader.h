// Reading RTF into a rich-text document.
//
// Understood: groups; \ansicpg and the font table (\fN with \fcharset,
// the name up to ';') for the code page of \'xx bytes (1251 Cyrillic,
// 1252 Western; other code pages read as 1251); \uN with \ucN fallback
// skipping; \plain, \fN, \fsN, \b, \i, \ul (every underline kind) and
// \ulnone, \strike; \pard, \ql, \qr, \qc, \qj (as left), \fiN, \liN, \riN
// (twips); bullets in both forms writers use: the \pn destination with a
// level (\pnlvlblt ...) and list references (\lsN); \par and \sect (a
// paragraph end), \line, \tab, \cell and \nestcell (as tab), \row and
// \nestrow (as paragraph end), the typographic symbols (\emdash, \bullet,
// \lquote ...), \~ and \_; \bin N is skipped.
// Destinations the document does not show (colour and style tables,
// information, pictures, headers, footnotes, the rendered list and bullet
// texts, the text for readers without nested tables, and every \* group
// we do not know) are skipped whole.
//
// The reader never fails: any bytes give a document (at least one empty
// paragraph). Unbalanced braces end the document or are ignored; numbers
// are clamped; nothing is read past the end. Its own state is bounded
// whatever the input: groups nested deeper than 3,000 levels are read as
// part of the group at that depth, a font table keeps 4,096 fonts and a
// font name 255 bytes; the document read grows with the text it holds.
#pragma once

#include <string_view>

#include "platform/gui/richtext/rich_text.h"

namespace vx {

RichDocument ReadRtf(std::string_view bytes);

// True when the bytes start with "{\rtf" (how the rich edit tells RTF from text).
bool LooksLikeRtf(std::string_view bytes);

}  // namespace vx
