// The editing state machine over the record window: insert, append, edit,
// post, cancel, delete, the posting done by navigation and by Close, with
// the flags, events and states the application relies on.
#include "tests/platform/db/dataset_fixture.h"

namespace {

using Events = std::vector<std::string>;

class Editing : public ::testing::TestWithParam<int> {};

TEST_P(Editing, InsertAtTheEndKeepsTheFlagsTheApplicationTests) {
  DataSetFixture f(GetParam(), 5);
  f.ds.AppendOnPost = true;  // as a table's natural order does
  f.ds.Last();
  f.TakeEvents();
  int keptId = 0;
  f.ds.BeforeInsert = [&](TDataSet* d) {
    f.events.push_back(std::string("BeforeInsert") + (d->Bof() ? ":B" : "") + (d->Eof() ? ":E" : ""));
    keptId = d->FieldByName("ID")->AsInteger();
  };
  f.ds.OnNewRecord = [&](TDataSet* d) {
    f.events.push_back(std::string("NewRecord:") + StateName(d->State()) + (d->Bof() ? ":B" : "") +
                       (d->Eof() ? ":E" : ""));
    if (d->Bof() != d->Eof()) d->FieldByName("ID")->SetAsInteger(keptId + 1);
  };
  f.ds.Insert();
  EXPECT_EQ(f.TakeEvents(), (Events{"BeforeInsert:E", "BeforeScroll:browse:E", "NewRecord:insert:E",
                                    "AfterInsert:insert:E", "AfterScroll:insert:E"}));
  EXPECT_EQ(f.ds.State(), dsInsert);
  EXPECT_FALSE(f.ds.Modified());  // values set by OnNewRecord do not count
  EXPECT_EQ(f.ActiveId(), 6);
  f.CheckWindow();
  f.ds.FieldByName("NAME")->SetAsString("new");
  f.ds.Post();
  EXPECT_EQ(f.TakeEvents(), (Events{"BeforePost:insert:E", "AfterPost:browse"}));
  EXPECT_EQ(f.TableIds(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(PositionOf(f), (Position{6, false, false}));
  f.CheckWindow();
  f.ds.Next();
  EXPECT_EQ(PositionOf(f), (Position{6, false, true}));
}

TEST_P(Editing, InsertInTheMiddleGoesBeforeTheActiveRecord) {
  DataSetFixture f(GetParam(), 5);
  f.ds.MoveBy(2);
  f.ds.Insert();
  EXPECT_EQ(PositionOf(f), (Position{0, false, false}));
  EXPECT_EQ(f.ds.BufferFlag(f.ds.ActiveRecord()), bfInserted);
  f.CheckWindow();
  f.ds.FieldByName("ID")->SetAsInteger(10);
  EXPECT_TRUE(f.ds.Modified());
  f.ds.Post();
  EXPECT_EQ(f.TableIds(), (std::vector<int>{1, 2, 10, 3, 4, 5}));
  EXPECT_EQ(PositionOf(f), (Position{10, false, false}));
  f.CheckWindow();
  f.ds.Next();
  EXPECT_EQ(f.ActiveId(), 3);
  f.ds.Prior();
  f.ds.Prior();
  EXPECT_EQ(f.ActiveId(), 2);
}

TEST_P(Editing, InsertIntoAnEmptySet) {
  DataSetFixture f(GetParam(), 0);
  f.ds.Insert();
  EXPECT_EQ(PositionOf(f), (Position{0, true, true}));
  EXPECT_EQ(f.ds.BufferFlag(0), bfBOF);
  f.ds.FieldByName("ID")->SetAsInteger(7);
  f.ds.Post();
  EXPECT_EQ(f.TableIds(), std::vector<int>{7});
  EXPECT_EQ(PositionOf(f), (Position{7, false, false}));
  EXPECT_FALSE(f.ds.IsEmpty());
  f.CheckWindow();
}

TEST_P(Editing, AppendThenCancelReturnsToTheLastRecord) {
  DataSetFixture f(GetParam(), 30);
  f.ds.MoveBy(4);
  f.TakeEvents();
  f.ds.Calls.clear();
  f.ds.Append();
  // The appended buffer is positioned by InternalLast, then the records
  // before it are fetched backwards (when the window has room for them).
  EXPECT_EQ(f.ds.Calls[0], "InternalInitRecord");
  if (f.ds.BufferCount() > 1) {
    ASSERT_GE(f.ds.Calls.size(), 3u);
    EXPECT_EQ(f.ds.Calls[1], "InternalLast");
    EXPECT_EQ(f.ds.Calls[2], "Get prior=OK");
  }
  EXPECT_EQ(f.TakeEvents(), (Events{"BeforeInsert:browse", "BeforeScroll:browse", "NewRecord:insert:E",
                                    "AfterInsert:insert:E", "AfterScroll:insert:E"}));
  EXPECT_EQ(PositionOf(f), (Position{0, false, true}));
  EXPECT_EQ(f.ds.ActiveRecord(), f.ds.WindowRecordCount() - 1);
  f.CheckWindow();
  f.ds.Cancel();
  EXPECT_EQ(f.TakeEvents(),
            (Events{"BeforeCancel:insert:E", "BeforeScroll:insert:E", "AfterCancel:browse", "AfterScroll:browse"}));
  EXPECT_EQ(f.ds.RowCount(), 30);
  EXPECT_EQ(PositionOf(f), (Position{30, false, false}));
  f.CheckWindow();
  f.ds.Next();
  EXPECT_EQ(PositionOf(f), (Position{30, false, true}));
}

TEST_P(Editing, AppendPostsAtTheEnd) {
  DataSetFixture f(GetParam(), 3);
  f.ds.Append();
  f.ds.FieldByName("ID")->SetAsInteger(4);
  f.ds.Post();
  EXPECT_EQ(f.TableIds(), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(PositionOf(f), (Position{4, false, false}));
  f.CheckWindow();
  f.ds.Prior();
  EXPECT_EQ(f.ActiveId(), 3);
}

TEST_P(Editing, InsertThenCancelReturnsToTheRecord) {
  DataSetFixture f(GetParam(), 25);
  f.ds.MoveBy(12);
  f.ds.Insert();
  f.ds.FieldByName("ID")->SetAsInteger(99);
  f.ds.Cancel();
  EXPECT_EQ(f.ds.RowCount(), 25);
  EXPECT_EQ(PositionOf(f), (Position{13, false, false}));
  EXPECT_EQ(f.ds.State(), dsBrowse);
  f.CheckWindow();
}

TEST_P(Editing, CancelOfAnInsertIntoAnEmptySetLeavesItEmpty) {
  DataSetFixture f(GetParam(), 0);
  f.ds.Append();
  f.ds.Cancel();
  EXPECT_TRUE(f.ds.IsEmpty());
  EXPECT_EQ(PositionOf(f), (Position{0, true, true}));
}

TEST_P(Editing, DeleteFirstMiddleAndLast) {
  DataSetFixture f(GetParam(), 6);
  f.ds.Delete();
  EXPECT_EQ(f.TakeEvents(),
            (Events{"BeforeDelete:browse:B", "BeforeScroll:browse:B", "AfterDelete:browse", "AfterScroll:browse"}));
  EXPECT_EQ(f.TableIds(), (std::vector<int>{2, 3, 4, 5, 6}));
  EXPECT_EQ(PositionOf(f), (Position{2, false, false}));
  f.CheckWindow();

  f.ds.MoveBy(2);  // 4
  f.ds.Delete();
  EXPECT_EQ(f.TableIds(), (std::vector<int>{2, 3, 5, 6}));
  EXPECT_EQ(PositionOf(f), (Position{5, false, false}));
  f.CheckWindow();

  f.ds.Last();
  f.ds.Delete();
  EXPECT_EQ(f.TableIds(), (std::vector<int>{2, 3, 5}));
  EXPECT_EQ(PositionOf(f), (Position{5, false, false}));
  f.CheckWindow();
  f.ds.Next();
  EXPECT_EQ(PositionOf(f), (Position{5, false, true}));
}

TEST_P(Editing, DeletingEveryRecordFromTheTopEmptiesTheSet) {
  DataSetFixture f(GetParam(), 8);
  f.ds.DisableControls();
  f.ds.First();
  while (!f.ds.Eof()) f.ds.Delete();
  f.ds.EnableControls();
  EXPECT_EQ(f.ds.RowCount(), 0);
  EXPECT_TRUE(f.ds.IsEmpty());
  EXPECT_EQ(PositionOf(f), (Position{0, true, true}));
  try {
    f.ds.Delete();
    FAIL() << "deleted from an empty set";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Table: Cannot perform this operation on an empty dataset");
  }
}

TEST_P(Editing, PostingAChangedRecord) {
  DataSetFixture f(GetParam(), 4);
  f.ds.Next();
  f.TakeEvents();
  f.ds.Edit();
  EXPECT_EQ(f.ds.State(), dsEdit);
  EXPECT_FALSE(f.ds.Modified());
  f.ds.FieldByName("NAME")->SetAsString("changed");
  EXPECT_TRUE(f.ds.Modified());
  f.ds.Post();
  EXPECT_EQ(f.TakeEvents(), (Events{"BeforeEdit:browse", "AfterEdit:edit", "BeforePost:edit", "AfterPost:browse"}));
  EXPECT_EQ(f.ds.RowValue(1, 1).AsString(), "changed");
  EXPECT_EQ(PositionOf(f), (Position{2, false, false}));
  EXPECT_EQ(f.ds.FieldByName("NAME")->AsString(), "changed");
  f.CheckWindow();
}

TEST_P(Editing, NavigationPostsAModifiedRecordAndCancelsAnUnmodifiedOne) {
  DataSetFixture f(GetParam(), 4);
  f.ds.Edit();
  f.ds.FieldByName("NAME")->SetAsString("posted");
  f.TakeEvents();
  f.ds.Next();
  EXPECT_EQ(f.TakeEvents(),
            (Events{"BeforePost:edit:B", "AfterPost:browse", "BeforeScroll:browse", "AfterScroll:browse"}));
  EXPECT_EQ(f.ds.RowValue(0, 1).AsString(), "posted");
  EXPECT_EQ(f.ActiveId(), 2);

  f.ds.Edit();
  f.ds.Next();
  Events e = f.TakeEvents();
  EXPECT_EQ(e[2], "BeforeCancel:edit");
  EXPECT_EQ(f.ActiveId(), 3);

  // An unmodified insert disappears when the user moves on.
  f.ds.Insert();
  f.ds.First();
  EXPECT_EQ(f.ds.RowCount(), 4);
  EXPECT_EQ(PositionOf(f), (Position{1, true, false}));
  f.CheckWindow();
}

TEST_P(Editing, AppendAndInsertPostThePendingRecordFirst) {
  DataSetFixture f(GetParam(), 2);
  f.ds.Append();
  f.ds.FieldByName("ID")->SetAsInteger(3);
  f.ds.Append();
  f.ds.FieldByName("ID")->SetAsInteger(4);
  f.ds.Post();
  EXPECT_EQ(f.TableIds(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_P(Editing, CloseDiscardsAPendingInsert) {
  DataSetFixture f(GetParam(), 3);
  f.ds.Insert();
  f.ds.FieldByName("ID")->SetAsInteger(50);
  f.ds.Calls.clear();
  f.ds.Close();
  EXPECT_EQ(f.ds.State(), dsInactive);
  EXPECT_EQ(std::count(f.ds.Calls.begin(), f.ds.Calls.end(), "InternalPost"), 0);
  f.ds.Open();
  EXPECT_EQ(f.TableIds(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(PositionOf(f), (Position{1, true, false}));
}

TEST_P(Editing, EditOnAnEmptySetInsertsAndDeleteInInsertStateCancels) {
  DataSetFixture f(GetParam(), 0);
  f.ds.Edit();
  EXPECT_EQ(f.ds.State(), dsInsert);
  f.ds.FieldByName("ID")->SetAsInteger(1);
  f.ds.Delete();
  EXPECT_EQ(f.ds.State(), dsBrowse);
  EXPECT_EQ(f.ds.RowCount(), 0);
}

TEST_P(Editing, RefreshRereadsAroundTheActiveRecord) {
  DataSetFixture f(GetParam(), 10);
  f.ds.MoveBy(5);
  f.ds.Calls.clear();
  f.ds.Refresh();
  EXPECT_NE(std::find(f.ds.Calls.begin(), f.ds.Calls.end(), "InternalRefresh"), f.ds.Calls.end());
  EXPECT_EQ(PositionOf(f), (Position{6, false, false}));
  f.CheckWindow();
}

INSTANTIATE_TEST_SUITE_P(BufferCounts, Editing, ::testing::Values(1, 3, 20),
                         [](const auto& info) { return "Buffers" + std::to_string(info.param); });

// ---------------------------------------------------------------------------
// Rules that do not depend on the window size

TEST(EditingRules, RecordSourceIsPositionedBeforeEachChangeAndReadAgainAfter) {
  DataSetFixture f(20, 5);
  f.ds.MoveBy(2);  // the cursor stands on the last record fetched (5)
  f.ds.Calls.clear();
  f.ds.Edit();
  EXPECT_EQ(f.ds.Calls, (std::vector<std::string>{"SetToRecord 3", "InternalEdit"}));
  f.ds.FieldByName("NAME")->SetAsString("e");
  f.ds.Calls.clear();
  f.ds.Post();
  ASSERT_GE(f.ds.Calls.size(), 2u);
  EXPECT_EQ(f.ds.Calls[0], "InternalPost");
  EXPECT_EQ(f.ds.Calls[1], "Get current=OK");
  f.ds.Last();
  f.ds.Prior();
  f.ds.Calls.clear();
  f.ds.Delete();
  ASSERT_GE(f.ds.Calls.size(), 3u);
  EXPECT_EQ(f.ds.Calls[0], "SetToRecord 4");
  EXPECT_EQ(f.ds.Calls[1], "InternalDelete");
  EXPECT_EQ(f.ds.Calls[2], "Get current=OK");
  EXPECT_EQ(f.ActiveId(), 5);
}

TEST(EditingRules, WritingOutsideEditStatesIsRefused) {
  DataSetFixture f(1, 2);
  try {
    f.ds.FieldByName("ID")->SetAsInteger(5);
    FAIL() << "wrote in browse state";
  } catch (const EDatabaseError& e) { EXPECT_EQ(e.Message(), "Table: Dataset not in edit or insert mode"); }
  EXPECT_THROW(f.ds.Post(), EDatabaseError);
}

TEST(EditingRules, ReadOnlyDataSetRefusesChanges) {
  class ReadOnlySet : public TMemoryDataSet {
   public:
    ReadOnlySet() : TMemoryDataSet({{"ID", ftInteger}}) { SetName("Ro"); }

   protected:
    bool GetCanModify() override { return false; }
  } ds;
  ds.AddRow({1});
  ds.Open();
  for (auto op : {&TDataSet::Edit, &TDataSet::Insert, &TDataSet::Append}) {
    try {
      (ds.*op)();
      FAIL() << "modified a read-only set";
    } catch (const EDatabaseError& e) { EXPECT_EQ(e.Message(), "Ro: Cannot modify a read-only dataset"); }
    EXPECT_EQ(ds.State(), dsBrowse);
  }
}

TEST(EditingRules, PostErrorEventCanRetryAbortOrFail) {
  DataSetFixture f(1, 1);
  f.ds.FieldByName("NAME")->SetRequired(true);
  int calls = 0;
  TDataAction answer = daRetry;
  f.ds.OnPostError = [&](TDataSet* d, EDatabaseError& e, TDataAction& action) {
    ++calls;
    EXPECT_EQ(e.Message(), "Field 'NAME' must have a value");
    if (answer == daRetry) d->FieldByName("NAME")->SetAsString("fixed");
    action = answer;
  };
  f.ds.Append();
  f.ds.FieldByName("ID")->SetAsInteger(2);
  f.ds.Post();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(f.ds.RowValue(1, 1).AsString(), "fixed");

  answer = daAbort;
  f.ds.Append();
  f.ds.FieldByName("ID")->SetAsInteger(3);
  EXPECT_THROW(f.ds.Post(), EAbort);
  EXPECT_EQ(f.ds.State(), dsInsert);  // nothing lost: the record is still there to fix

  answer = daFail;
  EXPECT_THROW(f.ds.Post(), EDatabaseError);
  f.ds.Cancel();
  EXPECT_EQ(f.ds.RowCount(), 2);
}

TEST(EditingRules, ExceptionInOnNewRecordLeavesBrowseState) {
  DataSetFixture f(3, 3);
  f.ds.MoveBy(1);
  f.ds.OnNewRecord = [](TDataSet*) { throw EDatabaseError("no new records today"); };
  EXPECT_THROW(f.ds.Insert(), EDatabaseError);
  EXPECT_EQ(f.ds.State(), dsBrowse);
  EXPECT_EQ(f.ActiveId(), 2);
  f.CheckWindow();
}

TEST(EditingRules, FailedOpenStillClosesTheSource) {
  class FailingSet : public TMemoryDataSet {
   public:
    FailingSet() : TMemoryDataSet({{"ID", ftInteger}}) {}

   protected:
    void InternalOpen() override {
      TMemoryDataSet::InternalOpen();
      throw EDatabaseError("cannot open");
    }
  } ds;
  EXPECT_THROW(ds.Open(), EDatabaseError);
  EXPECT_FALSE(ds.Active());
  EXPECT_EQ(ds.Calls.back(), "InternalClose");
}

}  // namespace

namespace {

TEST(Lifetime, AnOwnerBeingFreedClosesItsDataSetsWithoutEvents) {
  int closes = 0;
  auto* form = new TComponent(nullptr);
  auto* ds = new TMemoryDataSet({{"ID", ftInteger}}, form);
  ds->AddRow({1});
  ds->Open();
  ds->AfterClose = [&](TDataSet*) { ++closes; };
  auto* source = new TDataSource(form);
  source->SetDataSet(ds);
  delete form;
  EXPECT_EQ(closes, 0);
}

}  // namespace
