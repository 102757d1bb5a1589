// TStringList: text form, name/value pairs, sorting, events, files.
#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/classes.h"
#include "rtl_test_support.h"

namespace {
std::vector<AnsiString> Lines(const TStrings& s) {
  std::vector<AnsiString> out;
  for (int i = 0; i < s.Count(); ++i) out.push_back(s[i]);
  return out;
}
using V = std::vector<AnsiString>;
}  // namespace

TEST(StringListText, SplitsAtCrLfLfAndCrAndJoinsWithCrLf) {
  const struct {
    const char* in;
    V lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: two breaks
      {"\r\n", {""}},
      {"x\r\r\n", {"x", ""}},
  };
  TStringList list;
  for (const auto& c : cases) {
    list.SetText(c.in);
    EXPECT_EQ(Lines(list), c.lines) << '"' << c.in << '"';
    AnsiString expected;
    for (const auto& l : c.lines) expected += l + "\r\n";
    EXPECT_EQ(list.Text(), expected);
    TStringList again;
    again.SetText(list.Text());
    EXPECT_EQ(Lines(again), c.lines);
  }
  list.SetText(AnsiString("a\0b", 3));
  EXPECT_EQ(list[0].size(), 3u);  // a NUL does not end the text
}

TEST(StringListText, NamesValuesAndDelimitedForms) {
  TStringList list;
  list.SetText("Size=10\r\nname = x\r\nNoValue\r\nEmpty=\r\n");
  EXPECT_EQ(list.Values("SIZE"), "10");
  EXPECT_EQ(list.IndexOfName("size"), 0);
  EXPECT_EQ(list.Names(1), "name ");
  EXPECT_EQ(list.Values("novalue"), "");
  EXPECT_EQ(list.IndexOfName("Empty"), 3);
  list.SetValues("size", "20");
  EXPECT_EQ(list[0], "size=20");  // the line takes the name as given
  list.SetValues("New", "1");
  EXPECT_EQ(list[list.Count() - 1], "New=1");
  list.SetValues("Size", "");
  EXPECT_EQ(list.IndexOfName("Size"), -1);

  list.SetCommaText("a,\"b c\",\"d\"\"e\",,f ");
  EXPECT_EQ(Lines(list), (V{"a", "b c", "d\"e", "", "f"}));
  EXPECT_EQ(list.CommaText(), "a,\"b c\",\"d\"\"e\",,f");
  list.SetCommaText("x y");
  EXPECT_EQ(Lines(list), (V{"x", "y"}));
  list.Delimiter = ';';
  list.SetDelimitedText("1;2;");
  EXPECT_EQ(Lines(list), (V{"1", "2", ""}));
}

TEST(StringListObjects, TravelWithTheirStrings) {
  TStringList list;
  TObject a, b;
  list.AddObject("b", &b);
  list.AddObject("a", &a);
  list.Add("c");
  EXPECT_EQ(list.Objects(0), &b);
  EXPECT_EQ(list.Objects(2), nullptr);
  list.Sort();
  EXPECT_EQ(Lines(list), (V{"a", "b", "c"}));
  EXPECT_EQ(list.Objects(0), &a);
  EXPECT_EQ(list.IndexOfObject(&b), 1);
  list.Move(0, 2);
  EXPECT_EQ(list.Objects(2), &a);
  list.Exchange(0, 1);
  EXPECT_EQ(list[0], "c");
  EXPECT_THROW(list.Objects(3), EStringListError);
  EXPECT_THROW(list.Delete(-1), EStringListError);
  EXPECT_THROW(list.Insert(5, "x"), EStringListError);
}

TEST(StringListSorted, KeepsOrderAndHandlesDuplicates) {
  TStringList list;
  list.SetSorted(true);
  for (const AnsiString& s : V{"pear"_cp, "Apple"_cp, "fig"_cp, "apple"_cp, "Яблоко"_cp, "банан"_cp}) list.Add(s);
  EXPECT_EQ(Lines(list), (V{"Apple"_cp, "fig"_cp, "pear"_cp, "банан"_cp, "Яблоко"_cp}));  // dupIgnore dropped "apple"
  int index;
  EXPECT_TRUE(list.Find("FIG", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Find("grape", index));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(list.IndexOf("PEAR"), 2);
  EXPECT_THROW(list.Insert(0, "x"), EStringListError);

  list.SetDuplicates(dupError);
  EXPECT_THROW(list.Add("APPLE"), EStringListError);
  list.SetDuplicates(dupAccept);
  list.Add("apple");
  EXPECT_EQ(list.Count(), 6);
  EXPECT_EQ(list[1], "apple");

  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("APPLE"), -1);
  EXPECT_EQ(list[0], "apple");  // lower case first once case counts

  TStringList plain;
  plain.SetText("b\r\na\r\nc\r\n");
  plain.CustomSort([](TStringList* l, int i, int j) { return CompareStr(l->Strings(j), l->Strings(i)); });
  EXPECT_EQ(Lines(plain), (V{"c", "b", "a"}));
}

TEST(StringListEvents, FireAroundChangesAndOnceAfterAnUpdate) {
  TStringList list;
  int changing = 0, changed = 0;
  list.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++changing;
  };
  list.OnChange = [&](TObject*) { ++changed; };
  list.Add("a");
  list.SetStrings(0, "b");
  list.Delete(0);
  EXPECT_EQ(changing, 3);
  EXPECT_EQ(changed, 3);

  changing = changed = 0;
  list.BeginUpdate();
  list.BeginUpdate();
  list.SetText("1\r\n2\r\n3");
  list.EndUpdate();
  EXPECT_EQ(changed, 0);
  list.EndUpdate();
  EXPECT_EQ(changing, 1);
  EXPECT_EQ(changed, 1);
}

TEST(StringListFiles, SaveWritesCrLfAndLoadAddsNoEmptyLastLine) {
  const std::string dir = rtltest::ScratchDir();
  TStringList list;
  list.SetText("один\nдва"_cp);
  list.SaveToFile(dir + "Out.txt");
  EXPECT_EQ(rtltest::ReadAll(dir + "Out.txt"), "один\r\nдва\r\n"_cp.str());

  TStringList back;
  back.LoadFromFile(dir + "OUT.TXT");  // found without regard to case
  EXPECT_EQ(Lines(back), Lines(list));
  rtltest::WriteAll(dir + "lf.txt", "x\ny\n");
  back.LoadFromFile(dir + "lf.txt");
  EXPECT_EQ(Lines(back), (V{"x", "y"}));

  EXPECT_THROW(back.LoadFromFile(dir + "missing.txt"), EFOpenError);
  EXPECT_EQ(Lines(back), (V{"x", "y"}));  // untouched by the failed load
  EXPECT_THROW(list.SaveToFile(dir + "no/such/folder/x.txt"), EFCreateError);
}

TEST(StringListCopies, AssignAddStringsAndCaseOfLookups) {
  TStringList a;
  a.NameValueSeparator = ':';
  a.SetText("K:1\r\nk:2\r\n");
  TObject tag;
  a.SetObjects(1, &tag);
  TStringList b;
  b.Add("old");
  b.Assign(&a);
  EXPECT_TRUE(b.Equals(a));
  EXPECT_EQ(b.Objects(1), &tag);
  EXPECT_EQ(b.Values("K"), "1");  // the separator came along
  b.AddStrings(a);
  EXPECT_EQ(b.Count(), 4);
  EXPECT_EQ(b.IndexOf("K:2"), 1);  // unsorted look-ups ignore case by default
  b.SetCaseSensitive(true);
  EXPECT_EQ(b.IndexOf("K:2"), -1);
  b.Assign(&b);  // assigning itself changes nothing
  EXPECT_EQ(b.Count(), 4);
  TCollection notStrings(nullptr);
  EXPECT_THROW(b.Assign(&notStrings), EConvertError);
  EXPECT_THROW(b.Assign(nullptr), EConvertError);
}
