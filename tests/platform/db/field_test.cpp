// Fields: conversions through the native buffer formats, nulls, validation,
// transliteration, blobs, calculated and lookup fields, access by name.
#include <cstring>
#include <map>
#include <memory>

#include "platform/rtl/codepages.h"
#include "platform/rtl/dateutils.h"
#include "tests/platform/db/dataset_fixture.h"

namespace {

class TypedSet : public ::testing::Test {
 protected:
  void SetUp() override {
    ds.SetName("Typed");
    ds.AddRow({1});
    ds.Open();
    ds.Edit();
  }
  TField* F(const char* name) { return ds.FieldByName(name); }
  std::string ErrorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const Exception& e) { return e.Message(); }
    return "no error";
  }

  TMemoryDataSet ds{{{"I", ftInteger},
                     {"S", ftString, 5},
                     {"SI", ftSmallint},
                     {"F", ftFloat},
                     {"B", ftBoolean},
                     {"D", ftDate},
                     {"DT", ftDateTime}}};
};

TEST_F(TypedSet, TextRoundTripsThroughEachNativeBuffer) {
  struct Case {
    const char* Field;
    const char* In;
    const char* Out;
  };
  const Case cases[] = {
      {"I", "  42", "42"},
      {"I", "-2147483648", "-2147483648"},
      {"I", "$1F", "31"},
      {"S", "abc", "abc"},
      {"S", "abcdefg", "abcde"},
      {"SI", "-32768", "-32768"},
      {"F", "1.5", "1.5"},
      {"F", "-0.000125", "-0.000125"},
      {"F", "1e20", "1E20"},
      {"B", "T", "True"},
      {"B", "false", "False"},
      {"D", "17.05.2003", "17.05.2003"},
      {"DT", "17.05.2003 13:45:30", "17.05.2003 13:45:30"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Field) + " <- " + c.In);
    F(c.Field)->SetAsString(c.In);
    EXPECT_EQ(F(c.Field)->AsString(), c.Out);
    EXPECT_FALSE(F(c.Field)->IsNull());
  }
  ds.Post();
  EXPECT_EQ(F("S")->AsString(), "abcde");
  EXPECT_EQ(F("F")->AsFloat(), 1e20);
}

TEST_F(TypedSet, BadTextRaisesAndKeepsTheOldValue) {
  F("I")->SetAsInteger(7);
  EXPECT_EQ(ErrorOf([&] { F("I")->SetAsString("x"); }), "'x' is not a valid integer value");
  EXPECT_EQ(ErrorOf([&] { F("I")->SetAsString("12a"); }), "'12a' is not a valid integer value");
  EXPECT_EQ(F("I")->AsInteger(), 7);
  EXPECT_EQ(ErrorOf([&] { F("SI")->SetAsString("40000"); }),
            "40000 is not a valid value for field 'SI'. The allowed range is -32768 to 32767");
  EXPECT_EQ(ErrorOf([&] { F("F")->SetAsString("1,5"); }), "'1,5' is not a valid floating point value");
  EXPECT_EQ(ErrorOf([&] { F("B")->SetAsString("maybe"); }), "'maybe' is not a valid boolean value");
  EXPECT_EQ(ErrorOf([&] { F("D")->SetAsString("31.02.2003"); }), "'31.02.2003' is not a valid date");
  // A number too large for a 32-bit field is an error, never a wrapped value.
  EXPECT_NE(ErrorOf([&] { F("I")->SetAsFloat(3e9); }), "no error");
  EXPECT_EQ(F("I")->AsInteger(), 7);
}

TEST_F(TypedSet, NativeFormatsHoldTheDocumentedBytes) {
  TDateTime day = EncodeDate(2003, 5, 17);
  F("D")->SetAsDateTime(day);
  std::int32_t days = 0;
  ASSERT_TRUE(F("D")->GetData(&days));
  EXPECT_EQ(days, static_cast<std::int32_t>(day) + 693594);
  F("D")->SetAsDateTime(EncodeDate(1, 1, 1));
  ASSERT_TRUE(F("D")->GetData(&days));
  EXPECT_EQ(days, 1);

  TDateTime stamp = day + EncodeTime(13, 45, 30, 250);
  F("DT")->SetAsDateTime(stamp);
  double ms = 0;
  ASSERT_TRUE(F("DT")->GetData(&ms));
  EXPECT_EQ(ms, (static_cast<double>(day) + 693594) * 86400000.0 + 49530250.0);
  EXPECT_NEAR(F("DT")->AsDateTime(), stamp, 1e-9);
  F("DT")->SetAsDateTime(-1.25);  // 1899-12-29 06:00: the time stays positive
  EXPECT_DOUBLE_EQ(F("DT")->AsDateTime(), -1.25);

  F("SI")->SetAsInteger(-2);
  std::int16_t small = 0;
  ASSERT_TRUE(F("SI")->GetData(&small));
  EXPECT_EQ(small, -2);
  F("B")->SetAsBoolean(true);
  std::int16_t flag = 0;
  ASSERT_TRUE(F("B")->GetData(&flag));
  EXPECT_NE(flag, 0);
  F("I")->SetAsFloat(2.5);  // halves round to even
  EXPECT_EQ(F("I")->AsInteger(), 2);
  F("I")->SetAsFloat(3.5);
  EXPECT_EQ(F("I")->AsInteger(), 4);
  EXPECT_EQ(F("S")->DataSize(), 6);
}

TEST_F(TypedSet, NullsAndClear) {
  for (const char* name : {"I", "S", "SI", "F", "B", "D", "DT"}) {
    SCOPED_TRACE(name);
    TField* f = F(name);
    if (f->DataType() == ftString) f->SetAsString("x");
    else if (f->DataType() == ftDate || f->DataType() == ftDateTime) f->SetAsDateTime(1);
    else f->SetAsInteger(1);
    EXPECT_FALSE(f->IsNull());
    f->Clear();
    EXPECT_TRUE(f->IsNull());
    EXPECT_TRUE(f->Value().IsNull());
    EXPECT_EQ(f->AsString(), "");
  }
  F("I")->SetAsInteger(5);
  F("I")->SetAsString("");  // empty text clears
  EXPECT_TRUE(F("I")->IsNull());
  EXPECT_EQ(F("I")->AsInteger(), 0);
  F("I")->SetValue(Variant::Null());
  EXPECT_TRUE(F("I")->IsNull());
}

TEST_F(TypedSet, ValuesAsVariants) {
  F("I")->SetValue(Variant(12));
  F("S")->SetValue(Variant("ab"));
  F("F")->SetValue(Variant(0.1 + 0.2));
  F("D")->SetValue(Variant::FromDateTime(EncodeDate(2000, 1, 2)));
  EXPECT_EQ(F("I")->Value().VarType(), varInteger);
  EXPECT_EQ(F("F")->AsString(), "0.3");
  EXPECT_EQ(F("D")->Value().VarType(), varDate);
  EXPECT_EQ(ds.FieldValues("I").AsInteger(), 12);
  ds.SetFieldValues("I", Variant("13"));
  EXPECT_EQ(F("I")->AsInteger(), 13);
  Variant both = ds.FieldValues("I;S");
  ASSERT_TRUE(both.IsArray());
  EXPECT_EQ(both[0].AsInteger(), 13);
  EXPECT_EQ(both[1].AsString(), "ab");
  ds.SetFieldValues("I;S", VarArrayOf({14, "cd"}));
  EXPECT_EQ(F("S")->AsString(), "cd");
  EXPECT_EQ(ErrorOf([&] { ds.FieldByName("NOPE"); }), "Typed: Field 'NOPE' not found");
  EXPECT_EQ(ErrorOf([&] { ds.FieldValues("I;NOPE"); }), "Typed: Field 'NOPE' not found");
  EXPECT_EQ(ds.FindField("s"), F("S"));  // names without regard to case
  EXPECT_EQ(ErrorOf([&] { ds.Fields()[7]; }), "Typed: Field index out of range");
}

TEST_F(TypedSet, ValidateSeesTheNewValueAndMayVeto) {
  F("I")->SetAsInteger(1);
  int seen = 0;
  F("I")->OnValidate = [&](TField* f) {
    seen = f->AsInteger();
    if (seen < 0) throw EDatabaseError("negative");
  };
  int changes = 0;
  F("I")->OnChange = [&](TField*) { ++changes; };
  F("I")->SetAsInteger(5);
  EXPECT_EQ(seen, 5);
  EXPECT_EQ(changes, 1);
  EXPECT_THROW(F("I")->SetAsInteger(-3), EDatabaseError);
  EXPECT_EQ(F("I")->AsInteger(), 5);
  EXPECT_EQ(changes, 1);
}

TEST_F(TypedSet, TextEventsAndBooleanDisplayValues) {
  F("I")->SetAsInteger(3);
  F("I")->OnGetText = [](TField* f, AnsiString& text, bool display) {
    text = (display ? "#" : "") + IntToStr(f->AsInteger());
  };
  EXPECT_EQ(F("I")->DisplayText(), "#3");
  EXPECT_EQ(F("I")->Text(), "3");
  F("I")->OnSetText = [](TField* f, const AnsiString& text) { f->SetAsInteger(StrToInt(text) * 10); };
  F("I")->SetText("4");
  EXPECT_EQ(F("I")->AsInteger(), 40);

  auto* b = static_cast<TBooleanField*>(F("B"));
  b->SetDisplayValues("Да;Нет"_cp);
  b->SetAsString("нет"_cp);
  EXPECT_FALSE(b->AsBoolean());
  b->SetAsString("Д"_cp);
  EXPECT_TRUE(b->AsBoolean());
  EXPECT_EQ(b->AsString(), AnsiString("Да"_cp));
}

// A record source whose string fields hold OEM (CP866) text.
class OemSet : public TMemoryDataSet {
 public:
  OemSet() : TMemoryDataSet({{"NAME", ftString, 20}}) {}
  int Translate(const char* Src, char* Dest, bool ToOem) override {
    AnsiString s(Src);
    AnsiString t = ToOem ? vx::Cp1251ToCp866(s) : vx::Cp866ToCp1251(s);
    std::memcpy(Dest, t.c_str(), t.size() + 1);
    return static_cast<int>(s.size());
  }
};

TEST(FieldTranslation, StringFieldsTransliterateThroughTheDataSet) {
  OemSet ds;
  ds.Open();
  ds.Append();
  TField* name = ds.FieldByName("NAME");
  name->SetAsString("Горячие"_cp);
  char raw[21] = {};
  ASSERT_TRUE(name->GetData(raw));
  EXPECT_EQ(AnsiString(raw), vx::Cp1251ToCp866("Горячие"_cp));
  EXPECT_EQ(name->AsString(), AnsiString("Горячие"_cp));
  name->SetTransliterate(false);
  EXPECT_EQ(name->AsString(), vx::Cp1251ToCp866("Горячие"_cp));
  ds.Cancel();
}

// Memo contents live beside the records, keyed by record number.
class MemoSet : public TMemoryDataSet {
 public:
  MemoSet() : TMemoryDataSet({{"ID", ftInteger}, {"NOTE", ftMemo}}) {}
  std::map<int, AnsiString> Memos;

  TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode) override { return new Blob(this, Field, Mode); }

 private:
  class Blob : public TStringStream {
   public:
    Blob(MemoSet* owner, TField* field, TBlobStreamMode mode)
        : TStringStream(mode == bmWrite ? AnsiString() : owner->Memos[owner->RecNo()]),
          owner_(owner),
          field_(field),
          mode_(mode) {}
    ~Blob() override {
      if (mode_ == bmRead) return;
      owner_->Memos[owner_->RecNo()] = DataString();
      owner_->SetFieldData(field_, DataString().empty() ? nullptr : "");
    }

   private:
    MemoSet* owner_;
    TField* field_;
    TBlobStreamMode mode_;
  };
};

TEST(BlobFields, MemoTextGoesThroughBlobStreams) {
  MemoSet ds;
  ds.AddRow({1});
  ds.Open();
  auto* note = static_cast<TBlobField*>(ds.FieldByName("NOTE"));
  EXPECT_TRUE(note->IsNull());
  EXPECT_EQ(note->DisplayText(), "(memo)");
  ds.Edit();
  note->SetAsString("line one\r\nline two");
  EXPECT_FALSE(note->IsNull());
  EXPECT_EQ(note->AsString(), "line one\r\nline two");
  EXPECT_EQ(note->DisplayText(), "(MEMO)");
  EXPECT_EQ(note->Value().AsString(), "line one\r\nline two");
  TStringStream out;
  note->SaveToStream(&out);
  EXPECT_EQ(out.DataString(), "line one\r\nline two");
  note->Clear();
  EXPECT_TRUE(note->IsNull());
  EXPECT_EQ(note->AsString(), "");
  TStringStream in("loaded");
  note->LoadFromStream(&in);
  EXPECT_EQ(ds.Memos[1], "loaded");
  ds.Post();
}

TEST(CalculatedFields, ComputedOnEveryFetchAndAfterAChange) {
  DataSetFixture f(3, 4);
  f.ds.Close();
  auto* twice = new TIntegerField(&f.ds);
  twice->SetFieldName("TWICE");
  twice->SetFieldKind(fkCalculated);
  // Persistent fields: the data fields must be declared too.
  auto* id = new TIntegerField(&f.ds);
  id->SetFieldName("ID");
  id->SetDataSet(&f.ds);
  auto* name = new TStringField(&f.ds);
  name->SetSize(10);
  name->SetFieldName("NAME");
  name->SetDataSet(&f.ds);
  twice->SetDataSet(&f.ds);
  int calcs = 0;
  f.ds.OnCalcFields = [&](TDataSet* d) {
    ++calcs;
    EXPECT_EQ(d->State(), dsCalcFields);
    d->FieldByName("TWICE")->SetAsInteger(d->FieldByName("ID")->AsInteger() * 2);
  };
  f.ds.Open();
  EXPECT_FALSE(f.ds.DefaultFields());
  EXPECT_EQ(f.ds.CalcFieldsSize(), 5);
  EXPECT_EQ(twice->AsInteger(), 2);
  f.ds.Last();
  EXPECT_EQ(twice->AsInteger(), 8);
  EXPECT_GT(calcs, 0);
  f.ds.Edit();
  id->SetAsInteger(21);
  EXPECT_EQ(twice->AsInteger(), 42);
  EXPECT_TRUE(f.ds.Modified());
  f.ds.Post();
  EXPECT_EQ(twice->AsInteger(), 42);
  f.ds.Close();
  EXPECT_EQ(f.ds.FieldCount(), 3);  // persistent fields survive closing
}

TEST(LookupFields, ValueComesFromTheOtherDataSet) {
  TMemoryDataSet names({{"ID", ftInteger}, {"NAME", ftString, 10}});
  names.AddRow({1, "one"});
  names.AddRow({2, "two"});
  names.Open();
  TMemoryDataSet main({{"REF", ftInteger}});
  main.AddRow({2});
  main.AddRow({3});
  auto* ref = new TIntegerField(&main);
  ref->SetFieldName("REF");
  ref->SetDataSet(&main);
  auto* look = new TStringField(&main);
  look->SetFieldName("REFNAME");
  look->SetFieldKind(fkLookup);
  look->SetLookupDataSet(&names);
  look->SetKeyFields("REF");
  look->SetLookupKeyFields("ID");
  look->SetLookupResultField("NAME");
  look->SetDataSet(&main);
  main.Open();
  EXPECT_EQ(look->AsString(), "two");
  main.Next();
  EXPECT_TRUE(look->IsNull());
  main.Close();
  look->SetLookupDataSet(nullptr);
  try {
    main.Open();
    FAIL() << "opened with an incomplete lookup field";
  } catch (const EDatabaseError& e) { EXPECT_EQ(e.Message(), "Lookup information for field 'REFNAME' is incomplete"); }
  EXPECT_FALSE(main.Active());
}

TEST(FilterRecord, RefusedRecordsAreSkippedInBothDirections) {
  DataSetFixture f(3, 10);
  f.ds.OnFilterRecord = [](TDataSet* d, bool& accept) {
    EXPECT_EQ(d->State(), dsFilter);
    accept = d->FieldByName("ID")->AsInteger() % 3 == 0;
  };
  f.ds.SetFiltered(true);
  f.ds.SetFilter("ID % 3");  // stored only: this record source filters by event
  EXPECT_EQ(f.ds.Filter(), "ID % 3");
  f.ds.First();
  std::vector<int> seen;
  while (!f.ds.Eof()) {
    seen.push_back(f.ActiveId());
    f.ds.Next();
  }
  EXPECT_EQ(seen, (std::vector<int>{3, 6, 9}));
  f.ds.Last();
  f.ds.Prior();
  EXPECT_EQ(f.ActiveId(), 6);
}

}  // namespace

namespace {

TEST(Definitions, FieldDefsAreReadWhileClosedAndIndexDefsOnDemand) {
  class IndexedSet : public TMemoryDataSet {
   public:
    IndexedSet() : TMemoryDataSet({{"YEAR", ftInteger}, {"DRAW", ftInteger}}), IndexDefs(this) {}
    TIndexDefs IndexDefs;
    int Updates = 0;
    void UpdateIndexDefs() override {
      ++Updates;
      IndexDefs.Clear();
      IndexDefs.Add("INDEX", "YEAR;DRAW", {ixUnique});
    }
  } ds;
  ds.FieldDefs().Update();
  EXPECT_FALSE(ds.Active());
  ASSERT_EQ(ds.FieldDefs().Count(), 2);
  EXPECT_EQ(ds.FieldDefs()[1].Name(), "DRAW");
  EXPECT_EQ(ds.FieldDefs()[1].FieldNo(), 2);
  EXPECT_EQ(ds.FieldDefs().Find("draw"), &ds.FieldDefs()[1]);
  std::vector<AnsiString> names;
  ds.GetFieldNames(names);
  EXPECT_EQ(names, (std::vector<AnsiString>{"YEAR", "DRAW"}));
  EXPECT_THROW(ds.FieldDefs()[2], EListError);

  ds.IndexDefs.Update();
  ds.IndexDefs.Update();
  EXPECT_EQ(ds.Updates, 1);
  ASSERT_NE(ds.IndexDefs.Find("index"), nullptr);
  EXPECT_TRUE(ds.IndexDefs[0].Options().Contains(ixUnique));
  ds.IndexDefs.SetUpdated(false);
  ds.IndexDefs.Update();
  EXPECT_EQ(ds.Updates, 2);
}

TEST(Definitions, APersistentFieldMustMatchItsDefinition) {
  TMemoryDataSet ds({{"ID", ftInteger}});
  ds.SetName("Typed");
  auto* wrong = new TStringField(&ds);
  wrong->SetFieldName("ID");
  wrong->SetDataSet(&ds);
  try {
    ds.Open();
    FAIL() << "opened with a mismatched field";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Typed: Type mismatch for field 'ID', expecting: String actual: Integer");
  }
  EXPECT_FALSE(ds.Active());
  auto* twin = new TIntegerField(&ds);
  twin->SetFieldName("ID");
  EXPECT_THROW(twin->SetDataSet(&ds), EDatabaseError);  // duplicate name
  delete twin;
  delete wrong;
  EXPECT_EQ(ds.FieldCount(), 0);
  ds.Open();
  EXPECT_TRUE(ds.DefaultFields());
  // Fields cannot join an open data set.
  TIntegerField late(nullptr);
  late.SetFieldName("LATE");
  EXPECT_THROW(late.SetDataSet(&ds), EDatabaseError);
}

}  // namespace
