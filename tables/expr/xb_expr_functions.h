// The 37 built-in functions of the expression language.
//
// They live in one registry, created on first use and kept for the life of
// the program; expression trees point into it. Names are found without
// regard to case, before any function of a user link.
#pragma once

#include "tables/expr/xb_expr_userlink.h"

namespace vx::expr {

// The registry of built-in functions (ALLTRIM ... VAL).
const TxbFunctionReg& BuiltinFunctions();

}  // namespace vx::expr
