// Shut-down keeps what the user typed: a modified pending record of every
// open data set is posted before the bases close.
#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

#include "app/windows/visual_view.h"
#include "app_test_support.h"
#include "platform/db/field.h"
#include "tests/platform/db/memory_dataset.h"

namespace {

using Shutdown = AppTest;

std::unique_ptr<TMemoryDataSet> DrawSet() {
  auto d = std::make_unique<TMemoryDataSet>(std::vector<MemoryFieldSpec>{{"YEAR", ftInteger}, {"DRAW", ftInteger}});
  d->LogCalls = false;
  d->AddRow({Variant(2003), Variant(104)});
  d->Open();
  return d;
}

TEST_F(Shutdown, PendingRecordsArePostedAndTheBasesClosed) {
  Start();
  auto draws = DrawSet(), results = DrawSet(), tickets = DrawSet(), untouched = DrawSet();
  FormMain->TableMain = draws.get();
  FormMain->TableRes = results.get();
  FormMain->TableTick = tickets.get();

  draws->Append();
  draws->FieldByName("YEAR")->SetAsInteger(2003);
  draws->FieldByName("DRAW")->SetAsInteger(105);
  results->Edit();
  results->FieldByName("DRAW")->SetAsInteger(7);
  tickets->Append();  // nothing typed: nothing to keep
  untouched->Append();
  untouched->FieldByName("DRAW")->SetAsInteger(1);
  Stop();

  EXPECT_FALSE(draws->Active()) << "the draw base is closed";
  EXPECT_EQ(draws->RowCount(), 2);
  draws->Open();
  EXPECT_EQ(draws->RowValue(1, 1).AsInteger(), 105);
  EXPECT_FALSE(results->Active()) << "every base is closed";
  results->Open();
  EXPECT_EQ(results->RowValue(0, 1).AsInteger(), 7);
  EXPECT_EQ(tickets->RowCount(), 1);
  EXPECT_EQ(untouched->State(), dsInsert) << "only the program's data sets are posted";
}

TEST_F(Shutdown, BasesInUseByACommandCloseAfterItReturned) {
  Start();
  auto draws = DrawSet();
  FormMain->TableMain = draws.get();
  TFormMain* f = FormMain;
  bool activeAfterClose = false;
  f->Command([&](TObject*) {
    f->SetBusy(true);
    draws->Edit();
    draws->FieldByName("DRAW")->SetAsInteger(200);
    f->Close();  // the user closes the window while the command works
    activeAfterClose = draws->Active() && draws->State() == dsEdit;
    f->SetBusy(false);
  })(nullptr);
  EXPECT_TRUE(activeAfterClose) << "the command keeps its base until it returns";
  EXPECT_TRUE(FileExists(folder + "Vexamund.ini")) << "the settings are saved at once";
  vx::DestroyApplicationForms();
  EXPECT_FALSE(draws->Active());
  draws->Open();
  EXPECT_EQ(draws->RowValue(0, 1).AsInteger(), 200);
}

// The windows used to be deleted without their pre-destruction step, so
// a window's OnDestroy ran from the base class's destructor, after the
// window's own members were gone (the visual view's waiting refill).
TEST_F(Shutdown, EveryWindowHearsOnDestroyWhileItIsWhole) {
  Start();
  std::vector<std::string> broken;
  int windows = 0;
  for (int i = 0; i < Application->ComponentCount(); ++i) {
    auto* form = dynamic_cast<TForm*>(Application->Components(i));
    if (!form) continue;
    ++windows;
    const std::type_info& type = typeid(*form);
    TNotifyEvent own = form->OnDestroy;
    form->OnDestroy = [&broken, &type, own](TObject* sender) {
      if (typeid(*sender) != type) broken.push_back(type.name());
      if (own) own(sender);
    };
  }
  EXPECT_EQ(windows, 12);
  // The visual view forgets its waiting refill in its OnDestroy, through
  // a call that the view owns.
  auto forgotten = std::make_shared<int>(0);
  frmVisual->Refill.Forget = [forgotten](const void*) { ++*forgotten; };
  vx::DestroyApplicationForms();
  EXPECT_EQ(Application->ComponentCount(), 0);
  EXPECT_TRUE(broken.empty()) << broken.size() << " window(s), the first " << broken.front();
  EXPECT_EQ(*forgotten, 1);
}

}  // namespace
