// Writing a rich-text document as RTF that other programs read: code page
// 1251 (\ansicpg1251, fonts with \fcharset204), a font table of the fonts
// used, sizes (\fs, half points), bold, italic, underline and strike-out,
// alignment, indents (\fi, \li, \ri in twips) and bullets (the \pn form
// with its rendered \pntext, which rich edits and word processors read).
// Characters of code page 1251 are written as themselves (ASCII) or \'xx;
// any other character as \uN with '?' for readers without Unicode. Every
// paragraph ends with \par and a line break.
#pragma once

#include <string>
#include <string_view>

#include "platform/gui/richtext/rich_text.h"

namespace vx {

std::string WriteRtf(const RichDocument& doc);

// Text as RTF: '\\', '{' and '}' escaped, TAB as \tab, LF, U+2028 and a
// CR not before LF as \line, other control characters left out, CP1251
// characters as \'xx and any other as \uN with '?'.
void AppendRtfText(std::string& out, std::u16string_view text);

}  // namespace vx
