// The stability test: the probability methods, generation and the
// comparison run many times in a row, each step logged before it runs, so
// that after a failure the log ends with the step that was running.
//
// 20 passes; in each, the modes 1 (hot), 2 (cold), 3 (equal), 4 (last draw
// plus and minus one) and Func1 (the weighting function), and for each mode
// three steps: the method, generation, the comparison. Before a step the
// window caption becomes "проход № <pass> режим № <mode>" followed by
// nothing, " Generate" or " Check", and that caption is logged. After a
// step the run waits while the program is busy, pumping messages, then
// pumps once more (not after the last comparison of a pass). A pass ends
// with the caption "проход № <pass>"; the run ends by logging
// "Тестирование завершено". The texts are not translated.
//
// A command that stays busy longer than the wait limit ends the run with
// the logged line StabilityGiveUpText(); so does the application being
// closed (without a line).
#pragma once

#include <array>
#include <chrono>
#include <functional>

#include "platform/rtl/cp1251.h"

namespace vx {

inline constexpr int kStabilityPasses = 20;
inline constexpr int kStabilityModes = 5;

// The commands a run chains.
struct StabilityCommands {
  // Modes 1, 2, 3, 4 and Func1, in that order.
  std::array<std::function<void()>, kStabilityModes> methods;
  std::function<void()> generate;
  std::function<void()> check;
};

// What a run needs of its window.
struct StabilityHost {
  std::function<void(const AnsiString&)> setCaption;
  // Adds a line to the log and saves the log.
  std::function<void(const AnsiString&)> log;
  std::function<bool()> busy;
  // Processes pending window messages once.
  std::function<void()> pump;
  std::function<bool()> terminated;
};

// The mode names as the captions show them: "1" .. "4", "Func1".
AnsiString StabilityModeName(int mode);
AnsiString StabilityGiveUpText();

// Runs the test; false when it gave up or the application was closing.
bool RunStability(const StabilityCommands& commands, const StabilityHost& host, std::chrono::milliseconds waitLimit);

}  // namespace vx
