// The forecast service's probability file: one line per number, its first
// two characters ignored, then "number:weight" (more ":" parts may follow
// and are ignored), e.g. "  7:35".
#pragma once

#include "app/analysis/probability.h"

class TStrings;

namespace vx {

// The weights the lines give, for numbers 1..highest: every line is checked
// first (a whole number from 1 to highest, a whole weight of 0 or more, and
// at least one line); numbers without a line get 0, a number given twice
// keeps its last weight. The result is rescaled once with
// NormalizeProbabilities. A bad file raises EConvertError naming the line.
Weights ReadProbabilityLines(const TStrings& lines, int highest);

}  // namespace vx
