#include "app/analysis/wheel_systems.h"

#include "platform/rtl/fileutils.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

namespace vx {

namespace {

// A decimal number of one to six digits, nothing else.
bool DecimalPart(const AnsiString& text, int& value) {
  if (text.empty() || text.size() > 6) return false;
  value = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return false;
    value = value * 10 + (ch - '0');
  }
  return true;
}

}  // namespace

bool DecodeWheelName(const AnsiString& name, WheelType& type) {
  const AnsiString stem = name.substr(0, name.find('.'));
  int values[3];
  std::size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const std::size_t end = i < 2 ? stem.find('_', start) : stem.size();
    if (end == AnsiString::npos || !DecimalPart(stem.substr(start, end - start), values[i])) return false;
    start = end + 1;
  }
  type = WheelType{values[0], values[1], values[2]};
  return true;
}

AnsiString WheelFileName(const AnsiString& description) {
  const std::size_t open = description.find('(');
  if (open == AnsiString::npos) return "";
  const std::size_t close = description.find(')', open + 1);
  return description.substr(open + 1, close == AnsiString::npos ? AnsiString::npos : close - open - 1);
}

std::vector<AnsiString> WheelFiles(const AnsiString& folder) {
  std::vector<AnsiString> names;
  TSearchRec rec;
  for (int found = FindFirst(IncludeTrailingPathDelimiter(folder) + "*.lst", faAnyFile, rec); found == 0;
       found = FindNext(rec))
    names.push_back(rec.Name);
  FindClose(rec);
  return names;
}

bool ReadWheelHeader(const TStrings& lines, WheelSystem& system) {
  if (lines.Count() < 5) return false;
  int header[5];
  for (int i = 0; i < 5; ++i)
    if (!TryStrToInt(lines[i], header[i])) return false;
  system.K = header[0];
  system.N = header[1];
  system.V = header[2];
  system.Extra1 = header[3];
  system.Extra2 = header[4];
  return system.K >= 1 && system.K <= system.N && system.N <= MaxWheelCovered && system.V >= 1;
}

bool ReadWheelVariants(const TStrings& lines, WheelSystem& system) {
  system.Variants.clear();
  if (lines.Count() - 5 != system.V) return false;
  for (int line = 5; line < lines.Count(); ++line) {
    const AnsiString text = lines[line];
    if (static_cast<int>(text.size()) != 2 * system.K) return false;
    std::vector<int> variant;
    for (std::size_t at = 0; at < text.size(); at += 2) {
      int position;
      if (!TryStrToInt(text.substr(at, 2), position) || position < 1 || position > system.N) return false;
      variant.push_back(position);
    }
    system.Variants.push_back(std::move(variant));
  }
  return true;
}

std::vector<std::vector<int>> ExpandWheel(const WheelSystem& system, const std::vector<int>& chosen) {
  std::vector<std::vector<int>> rows;
  for (const std::vector<int>& variant : system.Variants) {
    std::vector<int> row;
    for (int position : variant) row.push_back(chosen.at(static_cast<std::size_t>(position - 1)));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace vx
