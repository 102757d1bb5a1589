// Data sources and links: what they hear, the buffer counts they ask for,
// and the quiet spell of DisableControls.
#include "tests/platform/db/dataset_fixture.h"

namespace {

TEST(DataLink, NestedDisableControlsSendsOneChangeAfterTheOutermostEnable) {
  DataSetFixture f(5, 20);
  f.link.Changes = f.link.Scrolls = f.link.RecordChanges = 0;
  f.ds.DisableControls();
  f.ds.DisableControls();
  f.ds.Next();
  f.ds.Last();
  f.ds.First();
  f.ds.EnableControls();
  EXPECT_TRUE(f.ds.ControlsDisabled());
  f.ds.Next();
  EXPECT_EQ(f.link.Changes + f.link.Scrolls + f.link.RecordChanges, 0);
  f.ds.EnableControls();
  EXPECT_FALSE(f.ds.ControlsDisabled());
  EXPECT_EQ(f.link.Changes, 1);
  EXPECT_EQ(f.link.Scrolls, 0);
  EXPECT_EQ(f.link.RecordChanges, 0);
  f.ds.EnableControls();  // unbalanced: harmless
  EXPECT_EQ(f.link.Changes, 1);
}

TEST(DataLink, StateChangedWhileDisabledIsReportedOnce) {
  DataSetFixture f(1, 3);
  f.link.StateChanges = 0;
  f.link.Changes = 0;
  int stateEvents = 0;
  f.source.OnStateChange = [&](TObject*) { ++stateEvents; };
  f.ds.DisableControls();
  f.ds.Edit();
  f.ds.FieldByName("NAME")->SetAsString("x");
  EXPECT_FALSE(f.link.Editing());
  f.ds.EnableControls();
  EXPECT_TRUE(f.link.Editing());
  EXPECT_EQ(f.link.StateChanges, 1);
  EXPECT_EQ(stateEvents, 1);
  EXPECT_EQ(f.link.Changes, 1);
}

TEST(DataLink, HearsScrollsFieldChangesAndState) {
  DataSetFixture f(4, 10);
  TField* changedField = nullptr;
  int dataChanges = 0;
  f.source.OnDataChange = [&](TObject*, TField* field) {
    ++dataChanges;
    changedField = field;
  };
  f.link.Scrolls = f.link.RecordChanges = 0;
  f.ds.Next();
  EXPECT_EQ(f.link.Scrolls, 1);
  EXPECT_EQ(dataChanges, 1);
  f.ds.Edit();
  EXPECT_TRUE(f.link.Editing());
  f.ds.FieldByName("NAME")->SetAsString("y");
  EXPECT_EQ(changedField, f.ds.FieldByName("NAME"));
  EXPECT_EQ(f.link.RecordChanges, 2);  // record change on Edit, field change
  f.ds.Post();
  EXPECT_FALSE(f.link.Editing());
  f.ds.Close();
  EXPECT_FALSE(f.link.Active());
  EXPECT_EQ(f.source.State(), dsInactive);
}

TEST(DataLink, WindowFollowsTheLargestLinkAndKeepsTheActiveRowVisible) {
  DataSetFixture f(3, 50);
  EXPECT_EQ(f.ds.BufferCount(), 3);
  CountingLink grid;
  grid.SetBufferCount(10);
  grid.SetDataSource(&f.source);
  EXPECT_EQ(f.ds.BufferCount(), 10);
  EXPECT_EQ(f.ds.WindowRecordCount(), 10);
  for (int i = 0; i < 25; ++i) {
    f.ds.Next();
    ASSERT_GE(grid.ActiveRecord(), 0);
    ASSERT_LT(grid.ActiveRecord(), grid.BufferCount());
    ASSERT_GE(f.link.ActiveRecord(), 0);
    ASSERT_LT(f.link.ActiveRecord(), f.link.BufferCount());
  }
  EXPECT_EQ(grid.RecordCount(), 10);
  // Painting row 0 of the grid reads the record shown there.
  int old = grid.ActiveRecord();
  grid.SetActiveRecord(0);
  int top = f.ActiveId();
  grid.SetActiveRecord(old);
  EXPECT_EQ(top, f.ActiveId() - old);
  grid.SetDataSource(nullptr);
  EXPECT_EQ(f.ds.BufferCount(), 3);
  EXPECT_EQ(f.ActiveId(), 26);
  f.CheckWindow();
}

TEST(DataLink, GrowingTheWindowAtTheEndFillsFromAbove) {
  DataSetFixture f(1, 12);
  f.ds.Last();
  f.link.SetBufferCount(5);
  EXPECT_EQ(f.ds.WindowRecordCount(), 5);
  EXPECT_EQ(f.ActiveId(), 12);
  EXPECT_EQ(f.link.ActiveRecord(), 4);
  f.CheckWindow();
}

TEST(DataLink, CircularLinkIsRefused) {
  TMemoryDataSet master({{"ID", ftInteger}});
  TDataSource source(nullptr);
  source.SetName("MasterSource");
  class Detail : public TMemoryDataSet {
   public:
    Detail() : TMemoryDataSet({{"ID", ftInteger}}) {}
    TDataSource* Master = nullptr;

   protected:
    TDataSource* GetDataSource() override { return Master; }
  } detail;
  detail.Master = &source;
  source.SetDataSet(&master);
  EXPECT_TRUE(source.IsLinkedTo(&master));
  EXPECT_FALSE(source.IsLinkedTo(&detail));
  try {
    source.SetDataSet(&detail);
    FAIL() << "accepted a circular link";
  } catch (const EDatabaseError& e) { EXPECT_EQ(e.Message(), "MasterSource: Circular datalinks are not allowed"); }
  EXPECT_EQ(source.DataSet(), &master);
}

TEST(DataLink, MasterLinkReportsMasterChangesOfItsFields) {
  DataSetFixture master(1, 5);
  TMemoryDataSet detail({{"ID", ftInteger}});
  detail.Open();
  TMasterDataLink link(&detail);
  int changes = 0, disables = 0;
  link.OnMasterChange = [&](TObject*) { ++changes; };
  link.OnMasterDisable = [&](TObject*) { ++disables; };
  link.SetFieldNames("ID");
  link.SetDataSource(&master.source);
  ASSERT_EQ(link.Fields().size(), 1u);
  EXPECT_EQ(link.Fields()[0], master.ds.FieldByName("ID"));
  changes = disables = 0;
  master.ds.Next();
  EXPECT_EQ(changes, 1);
  master.ds.Edit();
  master.ds.FieldByName("NAME")->SetAsString("not a key");
  EXPECT_EQ(changes, 2);  // the record change of Edit
  master.ds.FieldByName("ID")->SetAsInteger(9);
  EXPECT_EQ(changes, 3);
  master.ds.Cancel();
  master.ds.Close();
  EXPECT_EQ(disables, 1);
  EXPECT_TRUE(link.Fields().empty());
  link.SetDataSource(nullptr);
}

TEST(DataLink, FreedSourceAndFreedSetDetachCleanly) {
  auto* link = new CountingLink;
  {
    TMemoryDataSet ds({{"ID", ftInteger}});
    ds.Open();
    auto* source = new TDataSource(nullptr);
    source->SetDataSet(&ds);
    link->SetDataSource(source);
    EXPECT_TRUE(link->Active());
    delete source;
    EXPECT_EQ(link->DataSource(), nullptr);
    EXPECT_FALSE(link->Active());
    TDataSource second(nullptr);
    second.SetDataSet(&ds);
    link->SetDataSource(&second);
    EXPECT_TRUE(link->Active());
    link->SetDataSource(nullptr);
  }
  delete link;
  TDataSource source(nullptr);
  {
    TMemoryDataSet ds({{"ID", ftInteger}});
    source.SetDataSet(&ds);
  }
  EXPECT_EQ(source.DataSet(), nullptr);
}

}  // namespace
