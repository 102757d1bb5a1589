// The game shape a draw base is played with: k numbers drawn (numbers per
// draw) out of 1..n (the highest number), as the options' list of bases
// gives them. The program plays 1 <= n <= 81 and 1 <= k <= n; every value
// that comes from the list (typed, loaded from the settings file, read when
// a base opens) is held to these limits before anything is sized by it.
#pragma once

#include "platform/rtl/cp1251.h"

namespace vx {

inline constexpr int MaxHighestNumber = 81;

struct GameShape {
  int drawnCount = 0;
  int highestNumber = 0;
};

// The shape within the limits: n to 1..81, then k to 1..n.
GameShape LimitedShape(GameShape shape);

// The two numbers of a row of the list, as text, limited the same way; a
// text that is no whole number stays as it is (opening that base then says
// its settings are wrong), and so does a number within the limits.
void LimitShapeTexts(AnsiString& drawnCount, AnsiString& highestNumber);

// Why a number typed into a row cannot stand, as the program says it
// (translated), or "" when it can: `highest` tells whether it is the
// highest number or the numbers per draw, `other` is the row's other
// number as text. Not a whole number: "Введите числовое значение"; above
// 81, or numbers per draw above the highest number: "Установите это
// значение не более" and the limit; below 1, or a highest number below the
// numbers per draw: "Слишком мало номеров".
AnsiString ShapeNumberError(bool highest, const AnsiString& text, const AnsiString& other);

}  // namespace vx
