// Variant conversions and comparisons.
#include <gtest/gtest.h>

#include "platform/db/variant.h"

namespace {

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EVariantError& e) { return e.Message(); }
  return "no error";
}

TEST(Variant, ConvertsBetweenKinds) {
  EXPECT_EQ(Variant(42).AsString(), "42");
  EXPECT_EQ(Variant(2.5).AsInteger(), 2);  // halves to even
  EXPECT_EQ(Variant(3.5).AsInteger(), 4);
  EXPECT_EQ(Variant("  17").AsInteger(), 17);
  EXPECT_EQ(Variant("2.75").AsDouble(), 2.75);
  EXPECT_EQ(Variant("2.5").AsInteger(), 2);
  EXPECT_EQ(Variant(true).AsInteger(), -1);
  EXPECT_EQ(Variant(true).AsString(), "True");
  EXPECT_TRUE(Variant("true").AsBoolean());
  EXPECT_FALSE(Variant(0).AsBoolean());
  EXPECT_EQ(Variant(0.1 + 0.2).AsString(), "0.3");
  EXPECT_EQ(Variant::FromDateTime(EncodeDate(2003, 5, 17)).AsString(), "17.05.2003");
  EXPECT_EQ(Variant("17.05.2003").AsDateTime(), EncodeDate(2003, 5, 17));
  EXPECT_EQ(Variant().AsInteger(), 0);
  EXPECT_EQ(Variant().AsString(), "");
  EXPECT_EQ(VarToStr(Variant::Null()), "");
}

TEST(Variant, ImpossibleConversionsRaise) {
  EXPECT_EQ(ErrorOf([] { Variant::Null().AsInteger(); }),
            "Could not convert variant of type (Null) into type (Integer)");
  EXPECT_EQ(ErrorOf([] { Variant::Null().AsString(); }), "Could not convert variant of type (Null) into type (String)");
  EXPECT_EQ(ErrorOf([] { Variant("abc").AsDouble(); }),
            "Could not convert variant of type (String) into type (Double)");
  EXPECT_NE(ErrorOf([] { Variant(5000000000LL).AsInteger(); }), "no error");
  EXPECT_NE(ErrorOf([] { Variant(1e300).AsInteger(); }), "no error");
  EXPECT_NE(ErrorOf([] { VarArrayOf({1, 2})[2]; }), "no error");
  EXPECT_NE(ErrorOf([] { Variant(1)[0]; }), "no error");
}

TEST(Variant, ArraysCopyOnWrite) {
  Variant a = VarArrayOf({1, "two", 3.0});
  ASSERT_TRUE(VarIsArray(a));
  EXPECT_EQ(a.ArrayHighBound(), 2);
  Variant b = a;
  b[0] = Variant(10);
  EXPECT_EQ(a[0].AsInteger(), 1);
  EXPECT_EQ(b[0].AsInteger(), 10);
  EXPECT_TRUE(a == VarArrayOf({1, "two", 3}));
  EXPECT_FALSE(a == b);
}

TEST(Variant, Equality) {
  EXPECT_TRUE(Variant(2) == Variant(2.0));
  EXPECT_TRUE(Variant("5") == Variant(5));
  EXPECT_FALSE(Variant(5) == Variant::Null());
  EXPECT_TRUE(Variant::Null() == Variant::Null());
  EXPECT_FALSE(Variant() == Variant::Null());
  EXPECT_FALSE(Variant("a") == Variant("A"));
}

}  // namespace
