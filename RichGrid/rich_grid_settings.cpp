// TRichStringGrid: settings kept in files. Column widths go to the section
// ColumnSize.Section as "col0", "col1" ... (decimal widths); print settings
// go to a section of their own (print_settings.h).
//
// With ColumnSize.Location clIniFile, ColumnSize.Key names the INI file (a
// bare name lies in the current folder). With clRegistry, Key is a registry
// key path such as "Software\Vexamund\Grids"; the key is kept as an INI
// file of that path below the user's configuration folder
// ($XDG_CONFIG_HOME, else ~/.config), "Vexamund/Software/Vexamund/Grids.ini",
// its sections standing for the key's subkeys.
#include <cstdlib>

#include "RichGrid/rich_grid.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/inifiles.h"

namespace {

AnsiString UserConfigFolder() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') return xdg;
  if (const char* home = std::getenv("HOME"); home && *home) return AnsiString(home) + "/.config";
  return GetCurrentDir();
}

// The INI file standing for a registry key; "" for a key without a usable
// name part.
AnsiString RegistryKeyFile(const AnsiString& key) {
  AnsiString path;
  std::size_t start = 0;
  while (start <= key.size()) {
    std::size_t end = key.find_first_of("\\/", start);
    if (end == AnsiString::npos) end = key.size();
    const AnsiString part = key.substr(start, end - start);
    if (!part.empty() && part != "." && part != "..") path += "/" + part;
    start = end + 1;
  }
  if (path.empty()) return "";
  return UserConfigFolder() + "/Vexamund" + path + ".ini";
}

}  // namespace

namespace {

// The store of the column widths, or nullptr when ColumnSize names none.
std::unique_ptr<TIniFile> ColumnSizeStore(const TColumnSize& cs, bool forWriting) {
  if (cs.Key.empty() || cs.Section.empty()) return nullptr;
  if (cs.Location == clIniFile) return std::make_unique<TIniFile>(cs.Key);
  const AnsiString file = RegistryKeyFile(cs.Key);
  if (file.empty()) return nullptr;
  if (forWriting) ForceDirectories(ExtractFilePath(file));
  return std::make_unique<TIniFile>(file);
}

// The widest column a widths file may set, in pixels: 16,384 columns of it
// still sum within an int.
constexpr int kMaxColumnWidth = 32767;

}  // namespace

void TRichStringGrid::SaveColSizes() {
  if (ComponentState().Contains(csDesigning)) return;
  auto ini = ColumnSizeStore(*columnSize_, true);
  if (!ini) return;
  for (int c = 0; c < ColCount(); ++c) ini->WriteInteger(columnSize_->Section, "col" + IntToStr(c), ColWidths(c));
}

void TRichStringGrid::LoadColSizes() {
  if (ComponentState().Contains(csDesigning)) return;
  auto ini = ColumnSizeStore(*columnSize_, false);
  if (!ini) return;
  for (int c = 0; c < ColCount(); ++c) {
    // A width the grid cannot sum over its columns is not taken.
    const int w = ini->ReadInteger(columnSize_->Section, "col" + IntToStr(c), -1);
    if (w >= 0 && w <= kMaxColumnWidth) SetColWidths(c, w);
  }
}

void TRichStringGrid::SavePrintSettings(const AnsiString& fileName, const AnsiString& section) {
  ::SavePrintSettings(*printSettings_, fileName, section);
}

void TRichStringGrid::LoadPrintSettings(const AnsiString& fileName, const AnsiString& section) {
  ::LoadPrintSettings(*printSettings_, fileName, section);
}
