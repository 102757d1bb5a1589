// The expression language's text comparison, shared by the comparison
// operators and BETWEEN.
#pragma once

#include <string_view>

class TxbExpHandler;

namespace vx::expr {

// Compares two texts under the handler's settings; <0, 0, >0.
//  1. Both sides lose their trailing blanks.
//  2. An empty side is smaller than a non-empty one; two empty sides are equal.
//  3. Otherwise the collation order decides (without regard to case when
//     the handler says so) - unless wildcards are on and the right side
//     begins or ends with the many-character wildcard: the wildcard alone
//     matches anything; else the rest of the pattern must stand at the start
//     of the left side (trailing wildcard), at its end (leading wildcard) or
//     anywhere (both). A failed match keeps the collation result.
// wildcards false: step 3's wildcard matching is skipped whatever the
// handler says (BETWEEN compares plainly).
int CompareExprTexts(std::string_view left, std::string_view right, const TxbExpHandler& settings,
                     bool wildcards = true);

}  // namespace vx::expr
