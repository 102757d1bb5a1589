// Weight methods over a range of draws beyond the counting ones: the
// weighting function (later draws weigh more) and the random-draw system,
// which takes numbers from draws picked at random; and the generation of
// combinations by the same rule.
//
// Numbers outside 1..n (n the length of the weight array, or the highest
// number given) are never picked. Where the rule cannot go on because no
// draw of the range has a number left to take, the method ends with
// Exhausted instead of drawing forever.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "app/analysis/generation.h"
#include "app/analysis/probability.h"

namespace vx {

// From the current record up to and including (yearTo, drawTo): the k-th
// draw of the range (from 0) adds k + 1 to the weight of each of its
// numbers; at the end every weight w becomes S - w, S = 1 + 2 + ... + K for
// K draws, and the weights are rescaled (so the sums cannot overflow). A
// stopped walk leaves the weights unchanged.
ScanEnd WeightByRecency(DrawSource& source, int yearTo, int drawTo, Weights& weights, const StopPoll& poll);

// The numbers of the draws from the current record up to and including
// (yearTo, drawTo), one row per draw; `end` tells how the walk ended.
std::vector<std::vector<int>> ReadRange(DrawSource& source, int yearTo, int drawTo, const StopPoll& poll, ScanEnd& end);

enum class DrawSystemEnd { Done, Stopped, Exhausted };

// Receives "Draw № <d> :  num = <x>" for every number taken.
using DrawLog = std::function<void(const AnsiString& line)>;

// Random-draw system: until `total` numbers are taken, picks a draw of
// `rows` at random and takes `perDraw` numbers of it at random, each one
// whose weight is still 0 getting weight 1 (a number already taken is
// drawn again). A draw with nothing left to take is replaced by another.
// The weights are zeroed first.
DrawSystemEnd RandomDrawSystem(const std::vector<std::vector<int>>& rows, int perDraw, int total, Weights& weights,
                               RandomSource& random, const StopPoll& poll, const DrawLog& log);

// Random-draw generation: combinations of k distinct numbers of 1..n, taken
// perDraw at a time from draws picked at random, in pick order; each one
// that `accept` takes is handed to `store` with its number (1, 2, ...)
// until `count` are stored; `log` gets an empty line where a combination
// begins (its lines replace those of the one before). Exhausted at once when the draws hold fewer
// than k distinct numbers.
DrawSystemEnd GenerateFromDraws(const std::vector<std::vector<int>>& rows, int k, int perDraw, int n, int count,
                                RandomSource& random, const StopPoll& poll, const DrawLog& log,
                                const std::function<bool(const std::vector<int>&)>& accept,
                                const std::function<void(int, const std::vector<int>&)>& store);

}  // namespace vx
