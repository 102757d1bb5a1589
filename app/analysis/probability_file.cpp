#include "app/analysis/probability_file.h"

#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"

namespace vx {

Weights ReadProbabilityLines(const TStrings& lines, int highest) {
  if (lines.Count() == 0) throw EConvertError("Файл вероятностей пуст"_cp);
  Weights weights(static_cast<std::size_t>(std::max(highest, 0)), 0);
  for (int i = 0; i < lines.Count(); ++i) {
    const AnsiString line = lines.Strings(i);
    const AnsiString where = Format("Строка %d файла вероятностей (\"%s\"): "_cp, {i + 1, line});
    const AnsiString rest = line.size() > 2 ? line.substr(2) : AnsiString();
    const auto colon = rest.find(':');
    if (colon == AnsiString::npos) throw EConvertError(where + "нет \":\""_cp);
    int number = 0, weight = 0;
    try {
      number = StrToInt(rest.substr(0, colon));
      weight = StrToInt(rest.substr(colon + 1, rest.find(':', colon + 1) - colon - 1));
    } catch (EConvertError& e) { throw EConvertError(where + e.Message()); }
    if (number < 1 || number > highest) throw EConvertError(where + Format("номер вне 1..%d"_cp, {highest}));
    if (weight < 0) throw EConvertError(where + "отрицательный вес"_cp);
    weights[static_cast<std::size_t>(number - 1)] = weight;
  }
  NormalizeProbabilities(weights);
  return weights;
}

}  // namespace vx
