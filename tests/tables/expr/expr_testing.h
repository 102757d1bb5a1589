// Helpers of the expression tests: a user link with settable variables and
// short ways to evaluate a text, render its value and catch its error.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "tables/base/xb_dates.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xb_variant.h"
#include "tables/expr/xb_expr_handler.h"
#include "tables/expr/xb_expr_userlink.h"

namespace vx::test {

class TestVar : public TxbUserDefFieldVar {
 public:
  TestVar(const AnsiString& name, ExprValue value, int length = 10)
      : TxbUserDefFieldVar(name), value_(std::move(value)), length_(length) {}
  int Length() const override { return length_; }
  bool Value(ExprValue& out) override {
    out = value_;
    return true;
  }
  ExprValue value_;

 private:
  int length_;
};

// Variables: N = 5, T = "ab  ", E = "", BL = "   ", B = .T., D = 1980-01-01,
// NOTE = "x".
class TestLink : public TxbExpUserLink {
 public:
  TestLink() {
    ExprValue v;
    v.SetNumber(5);
    Add("N", v);
    v.SetText("ab  ");
    Add("T", v);
    v.SetText("");
    Add("E", v);
    v.SetText("   ");
    Add("BL", v);
    v.SetBoolean(true);
    Add("B", v);
    v.SetDate(2444240);
    Add("D", v);
    v.SetText("x");
    Add("NOTE", v);
  }
  void Add(const AnsiString& name, const ExprValue& v) { RegisterFieldVar(std::make_unique<TestVar>(name, v)); }
};

// "N 2001.005", "C[ab  ]", "D 19800101", "L T", "U" (undetermined), "0".
inline std::string Render(const ExprValue& v) {
  char buf[64];
  switch (v.Type) {
    case xtNumber: std::snprintf(buf, sizeof buf, "N %.12g", v.Number); return buf;
    case xtDate: return "D " + xbDBFDate.DTOS(static_cast<std::int32_t>(v.Number));
    case xtText: return "C[" + v.Text + "]";
    case xtBoolean: return v.Boolean ? "L T" : "L F";
    case xtOther: return "X[" + v.Text + "]";
    case xtUndetermined: return "U";
    default: return std::to_string(v.Type);
  }
}

// The rendered value of text, or "E:" + the message of the EXBaseExpression
// it raised ("X:" for any other exception of the engine).
inline std::string EvalText(const std::string& text, TxbExpUserLink* link, bool sqlMode = false,
                            bool caseInsensitive = false, bool wildcards = true) {
  try {
    TxbExpHandler h(link, sqlMode, text);
    h.CaseInsensitive = caseInsensitive;
    h.Wildcards = wildcards;
    ExprValue v;
    h.Evaluate(v);
    return Render(v);
  } catch (const EXBaseExpression& e) { return "E:" + e.Message(); } catch (const Exception& e) {
    return "X:" + e.Message();
  }
}

struct ExprCase {
  const char* text;
  const char* expected;
};

}  // namespace vx::test
