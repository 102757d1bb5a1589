#include "tables/base/xb_tools.h"

#include <cstring>

#include "platform/rtl/sysutils.h"

namespace {

// Start of the file-name part: after the last folder or drive separator.
std::size_t NameStart(const AnsiString& name) {
  const std::size_t sep = name.find_last_of("\\/:");
  return sep == AnsiString::npos ? 0 : sep + 1;
}

}  // namespace

AnsiString xbDefaultExtension(const AnsiString& name, const AnsiString& extension) {
  if (name.find('.', NameStart(name)) != AnsiString::npos || extension.empty()) return name;
  return extension[0] == '.' ? name + extension : name + "." + extension;
}

AnsiString xbStripExtension(const AnsiString& name) {
  const AnsiString file = name.substr(NameStart(name));
  const std::size_t dot = file.rfind('.');
  return dot == AnsiString::npos ? file : file.substr(0, dot);
}

void xbPadPChar(char* text, char c, int length) {
  if (!text || length < 0) return;
  int n = static_cast<int>(std::strlen(text));
  while (n < length) text[n++] = c;
  text[n] = '\0';
}

void xbTrimPChar(char* text) {
  if (!text) return;
  std::size_t n = std::strlen(text);
  while (n > 0 && text[n - 1] == ' ') --n;
  text[n] = '\0';
}

int xbCompareStr(const char* a, const char* b) { return AnsiCompareStr(a ? a : "", b ? b : ""); }

int xbCompareText(const char* a, const char* b) { return AnsiCompareText(a ? a : "", b ? b : ""); }
