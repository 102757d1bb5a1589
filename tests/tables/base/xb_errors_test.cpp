// The error table's texts, the message rules of the default routine and the
// replaceable hook.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tables/base/xb_errors.h"

namespace {

TEST(EngineErrors, MessagesFollowTheTableAndTheGenericForm) {
  struct Case {
    std::int32_t code, subCode;
    const char* name;
    const char* message;
  };
  const Case cases[] = {
      // In the table: text, " - ", name; the sub-code never shows.
      {2, 1107, "C:\\DATA\\T.DBF", "File not found - C:\\DATA\\T.DBF"},
      {2, xbNoSubCode, "", "File not found - "},
      {5, 1109, "X", "File access denied - X"},
      {32, 1107, "X", "File access denied - X"},
      {33, 1101, "T.DBF", "Record locked by another user - T.DBF"},
      {183, 1106, "N", "File already exists - N"},
      {1011, 1251, "T->F", "Number too large to fit in field - T->F"},
      // Table entries without a text.
      {1269, 1101, "T.DBF", " - T.DBF"},
      {1271, xbNoSubCode, "", " - "},
      // Outside the table.
      {4711, 1101, "T.DBF", "XBase Error 4711, SubCode 1101.\r T.DBF>1101"},
      {4711, xbNoSubCode, "", "XBase Error 4711.\r"},
      {4711, xbNoSubCode, "T.DBF", "XBase Error 4711.\r T.DBF>-7"},
      {-3, 0, "", "XBase Error -3, SubCode 0.\r"},
      // A run-time error request (negative sub-code, small code).
      {5, -1, "", "Runtime error 5"},
      {200, -2, "T.DBF", "Runtime error 200 - T.DBF"},
      // Above 255 the negative sub-code is an ordinary one.
      {4711, -2, "", "XBase Error 4711, SubCode -2.\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(xbErrorMessage(c.code, c.subCode, c.name), c.message);
    try {
      xbDefaultErrorRoutine(c.code, c.subCode, c.name);
      ADD_FAILURE() << "no exception";
    } catch (const EXBaseError& e) { EXPECT_EQ(e.Message(), c.message); }
  }
}

TEST(EngineErrors, TableHasTwentyNineUniqueCodesInSearchOrder) {
  ASSERT_EQ(xbErrorListCount(), 29);
  std::set<std::int32_t> codes;
  for (int i = 0; i < xbErrorListCount(); ++i) codes.insert(xbErrorList()[i].code);
  EXPECT_EQ(codes.size(), 29u);
  EXPECT_EQ(xbErrorList()[0].code, 2);
  EXPECT_EQ(xbErrorList()[28].code, 1271);
}

TEST(EngineErrors, HookReceivesEveryFailureAndCanBeRestored) {
  std::vector<std::tuple<std::int32_t, std::int32_t, AnsiString>> seen;
  xbErrorHook = [&](std::int32_t code, std::int32_t sub, const AnsiString& name) {
    seen.emplace_back(code, sub, name);
  };
  EXPECT_NO_THROW(xbEngineError(1002, 1207, "T.DBF"));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], std::make_tuple(1002, 1207, AnsiString("T.DBF")));

  xbErrorHook = nullptr;  // an empty hook falls back to the default routine
  EXPECT_THROW(xbEngineError(2, 1107, "X"), EXBaseError);
  xbErrorHook = xbDefaultErrorRoutine;
  EXPECT_THROW(xbEngineError(2, 1107, "X"), EXBaseError);
}

}  // namespace
