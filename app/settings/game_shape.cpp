#include "app/settings/game_shape.h"

#include <algorithm>

#include "app/settings/language.h"
#include "platform/rtl/sysutils.h"

namespace vx {

namespace {

bool WholeNumber(const AnsiString& text, int& value) { return TryStrToInt(Trim(text), value); }

}  // namespace

GameShape LimitedShape(GameShape shape) {
  shape.highestNumber = std::clamp(shape.highestNumber, 1, MaxHighestNumber);
  shape.drawnCount = std::clamp(shape.drawnCount, 1, shape.highestNumber);
  return shape;
}

void LimitShapeTexts(AnsiString& drawnCount, AnsiString& highestNumber) {
  int k = 0, n = 0;
  const bool hasK = WholeNumber(drawnCount, k), hasN = WholeNumber(highestNumber, n);
  // A missing number limits nothing.
  const GameShape limited = LimitedShape({hasK ? k : 1, hasN ? n : MaxHighestNumber});
  if (hasK && limited.drawnCount != k) drawnCount = IntToStr(limited.drawnCount);
  if (hasN && limited.highestNumber != n) highestNumber = IntToStr(limited.highestNumber);
}

AnsiString ShapeNumberError(bool highest, const AnsiString& text, const AnsiString& other) {
  int value = 0, otherValue = 0;
  if (!WholeNumber(text, value)) return Tr("Введите числовое значение"_cp);
  int low = 1, high = MaxHighestNumber;
  if (WholeNumber(other, otherValue)) {
    if (highest) low = std::clamp(otherValue, 1, MaxHighestNumber);
    else high = std::clamp(otherValue, 1, MaxHighestNumber);
  }
  if (value > high) return Tr("Установите это значение не более"_cp) + " " + IntToStr(high);
  if (value < low) return Tr("Слишком мало номеров"_cp);
  return "";
}

}  // namespace vx
