// Component ownership and notifications; collections.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/rtl/classes.h"

namespace {

// Records what it hears and who was destroyed.
struct Probe : TComponent {
  Probe(TComponent* owner, const char* name, std::vector<AnsiString>* log) : TComponent(owner), log_(log) {
    SetName(name);
  }
  ~Probe() override { log_->push_back("~" + Name()); }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    log_->push_back(Name() + (op == opInsert ? "+" : "-") + c->Name());
    if (op == opRemove && c == watched) watched = nullptr;
  }
  void Loaded() override {
    TComponent::Loaded();
    log_->push_back(Name() + ".Loaded");
  }
  TComponent* watched = nullptr;
  std::vector<AnsiString>* log_;
};

}  // namespace

TEST(ComponentOwnership, OwnerListsInCreationOrderAndDestroysLatestFirst) {
  std::vector<AnsiString> log;
  auto* form = new Probe(nullptr, "Form", &log);
  auto* a = new Probe(form, "A", &log);
  new Probe(form, "B", &log);
  auto* c = new Probe(form, "C", &log);
  c->SetTag(7);
  ASSERT_EQ(form->ComponentCount(), 3);
  EXPECT_EQ(form->Components(0), a);
  EXPECT_EQ(form->Components(2), c);
  EXPECT_EQ(c->ComponentIndex(), 2);
  EXPECT_EQ(form->FindComponent("b")->Name(), "B");
  EXPECT_EQ(form->FindComponent("Z"), nullptr);
  EXPECT_EQ(c->Tag(), 7);
  EXPECT_EQ(a->Owner(), form);
  EXPECT_THROW(form->Components(3), EListError);

  EXPECT_THROW(c->SetName("a"), EComponentError);  // unique without regard to case
  EXPECT_THROW(c->SetName("1x"), EComponentError);
  EXPECT_EQ(c->Name(), "C");

  log.clear();
  delete a;  // leaves its owner first
  EXPECT_EQ(form->ComponentCount(), 2);
  EXPECT_EQ(log, (std::vector<AnsiString>{"~A", "C-A", "B-A", "Form-A"}));

  log.clear();
  delete form;
  EXPECT_EQ(log.front(), "~Form");
  // C (created last) goes before B.
  std::vector<AnsiString> destroyed;
  for (const auto& e : log)
    if (e[0] == '~') destroyed.push_back(e);
  EXPECT_EQ(destroyed, (std::vector<AnsiString>{"~Form", "~C", "~B"}));
}

TEST(ComponentOwnership, FreeNotificationReachesComponentsOfOtherOwners) {
  std::vector<AnsiString> log;
  auto* form1 = new Probe(nullptr, "Form1", &log);
  auto* form2 = new Probe(nullptr, "Form2", &log);
  auto* source = new Probe(form1, "Source", &log);
  auto* grid = new Probe(form2, "Grid", &log);
  grid->watched = source;
  source->FreeNotification(grid);
  delete form1;
  EXPECT_EQ(grid->watched, nullptr);  // it dropped its reference in time
  // The link is mutual: the grid going first does not leave the source
  // holding a dangling link.
  auto* form3 = new Probe(nullptr, "Form3", &log);
  auto* other = new Probe(form3, "Other", &log);
  auto* grid2 = new Probe(form2, "Grid2", &log);
  other->FreeNotification(grid2);
  delete grid2;
  delete form3;
  delete form2;
}

TEST(ComponentState, LoadingEndsWithLoadedAndDestroyingIsMarked) {
  std::vector<AnsiString> log;
  Probe form(nullptr, "Form", &log);
  auto* child = new Probe(&form, "Child", &log);
  form.SetLoading();
  EXPECT_TRUE(child->ComponentState().Contains(csLoading));
  child->Loaded();
  form.Loaded();
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  EXPECT_FALSE(child->ComponentState().Contains(csLoading));

  bool seen = false;
  {
    TComponent owner(nullptr);
    struct Flag : TComponent {
      Flag(TComponent* o, bool* s) : TComponent(o), seen(s) {}
      ~Flag() override { *seen = Owner() == nullptr && ComponentState().Contains(csDestroying); }
      bool* seen;
    };
    new Flag(&owner, &seen);
  }
  EXPECT_TRUE(seen);
}

namespace {
struct Column : TCollectionItem {
  using TCollectionItem::TCollectionItem;
  int width = 64;
  void Assign(TPersistent* source) override {
    if (auto* c = dynamic_cast<Column*>(source)) {
      width = c->width;
      return;
    }
    TCollectionItem::Assign(source);
  }
};
}  // namespace

TEST(Collection, OwnsItemsKeepsIndexesAndIds) {
  TCollection columns(TCollection::Of<Column>());
  int updates = 0;
  columns.OnUpdate = [&](TCollectionItem*) { ++updates; };
  auto* a = static_cast<Column*>(columns.Add());
  auto* b = static_cast<Column*>(columns.Add());
  auto* c = static_cast<Column*>(columns.Insert(0));
  EXPECT_EQ(c->Index(), 0);
  EXPECT_EQ(a->Index(), 1);
  EXPECT_EQ(c->ID(), 2);
  EXPECT_EQ(columns.FindItemID(1), b);
  b->SetIndex(0);
  EXPECT_EQ(columns[0], b);
  delete a;
  EXPECT_EQ(columns.Count(), 2);
  EXPECT_GT(updates, 0);
  EXPECT_THROW(columns.Items(2), EListError);

  b->width = 100;
  TCollection copy(TCollection::Of<Column>());
  copy.Assign(&columns);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(static_cast<Column*>(copy[0])->width, 100);
  EXPECT_EQ(copy.FindItemID(0), copy[0]);  // ids are the copy's own

  updates = 0;
  columns.BeginUpdate();
  columns.Add();
  columns.Delete(0);
  EXPECT_EQ(updates, 0);
  columns.EndUpdate();
  EXPECT_EQ(updates, 1);
}

TEST(List, HoldsPointersInOrder) {
  TList list;
  int x = 1, y = 2, z = 3;
  list.Add(&y);
  list.Add(&x);
  list.Insert(0, &z);
  list.Add(nullptr);
  EXPECT_EQ(list.IndexOf(&x), 2);
  list.Pack();
  EXPECT_EQ(list.Count(), 3);
  list.Sort([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
  EXPECT_EQ(list.First(), &x);
  EXPECT_EQ(list.Last(), &z);
  EXPECT_EQ(list.Remove(&y), 1);
  EXPECT_EQ(list.Remove(&y), -1);
  EXPECT_THROW(list.Items(2), EListError);
  EXPECT_THROW(list.Move(0, 5), EListError);
  list.SetCount(4);
  EXPECT_EQ(list[3], nullptr);
}

TEST(ComponentOwnership, InsertAndRemoveTellTheOwnerAndItsComponents) {
  std::vector<AnsiString> log;
  Probe form1(nullptr, "Form1", &log);
  Probe form2(nullptr, "Form2", &log);
  auto* a = new Probe(&form1, "A", &log);
  auto* b = new Probe(&form1, "B", &log);
  EXPECT_EQ(log, (std::vector<AnsiString>{"Form1+", "A+", "Form1+"}));  // names are set after insertion
  log.clear();
  form2.InsertComponent(b);  // moves it
  EXPECT_EQ(b->Owner(), &form2);
  EXPECT_EQ(form1.ComponentCount(), 1);
  EXPECT_EQ(log, (std::vector<AnsiString>{"A-B", "Form1-B", "Form2+B"}));
  auto* dup = new Probe(nullptr, "A", &log);
  EXPECT_THROW(form1.InsertComponent(dup), EComponentError);
  EXPECT_EQ(dup->Owner(), nullptr);
  delete dup;
  form1.RemoveComponent(a);
  EXPECT_EQ(a->Owner(), nullptr);
  delete a;
  EXPECT_EQ(form1.ComponentCount(), 0);
}

TEST(ComponentOwnership, WatchedSiblingsAnnounceTheirEndWhenTheOwnerGoes) {
  std::vector<AnsiString> log;
  auto* form = new Probe(nullptr, "Form", &log);
  auto* grid = new Probe(form, "Grid", &log);
  auto* source = new Probe(form, "Source", &log);  // created last, destroyed first
  grid->watched = source;
  grid->FreeNotification(source);
  log.clear();
  delete form;
  // The grid heard of the source's end while it was still alive.
  const auto heard = std::find(log.begin(), log.end(), "Grid-Source");
  const auto gridGone = std::find(log.begin(), log.end(), "~Grid");
  ASSERT_NE(heard, log.end());
  EXPECT_LT(heard, gridGone);
}
