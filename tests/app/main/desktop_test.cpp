// The program as a new user meets it, with scripted dialogs: an error
// inside a command, a table that is no draw base, the standard dialogs'
// language, the clear commands of the results and tickets bases, and the
// question before a new table replaces a file.
#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <filesystem>

#include "app/bases/base_tables.h"
#include "app/bases/newbase_dialogs.h"
#include "app/windows/probability_editor.h"
#include "app/windows/visual_view.h"
#include "draw_fixture.h"
#include "platform/db/field.h"
#include "platform/gui/controls/buttons.h"
#include "platform/gui/draw/qt_bridge.h"
#include "platform/rtl/codepages.h"
#include "tables/dataset/tcreatexbasedataset.h"
#include "tables/dataset/txbasedataset.h"

namespace {

using Desktop = AppTest;

// Overwrites number field P1 of record `record` (from 1) with `text`.
void DamageNumber(const std::string& path, int record, const std::string& text) {
  AnsiString bytes = apptest::ReadFile(path);
  const int header = static_cast<unsigned char>(bytes[8]) | static_cast<unsigned char>(bytes[9]) << 8;
  const int length = static_cast<unsigned char>(bytes[10]) | static_cast<unsigned char>(bytes[11]) << 8;
  bytes.replace(static_cast<std::size_t>(header + (record - 1) * length + 1 + 9 + 9), 15,
                std::string(15 - text.size(), ' ') + text);
  apptest::WriteFile(path, bytes);
}

TEST_F(Desktop, AnErrorInsideACommandLeavesTheBusyStateAndTheNextCommandRuns) {
  Start();
  apptest::WriteDrawBase(folder, "lm", 6, 49, 30);
  DamageNumber(folder + "lm.dbf", 5, "abc");
  apptest::OpenDrawBase(dialogs, folder + "lm.dbf");
  TFormMain* f = FormMain;
  f->seYearFrom->SetValue(2000);
  f->seDrawFrom->SetValue(1);
  f->seYearTo->SetValue(2000);
  f->seDrawTo->SetValue(30);
  dialogs.Expect(vx::DialogKind::Exception, "abc", mrOk);
  vx::SendClick(f->btnCalculate1);  // used to stay busy: every later click did nothing
  EXPECT_FALSE(f->Busy);
  EXPECT_TRUE(f->StopFlag);
  EXPECT_FALSE(f->btnStop->Enabled());
  EXPECT_FALSE(f->TableMain->ControlsDisabled());
  vx::SendClick(f->btnCalculate3);
  EXPECT_EQ(f->Weights, std::vector<std::int32_t>(49, 1));

  // Whatever a failing command changed of the cursor and the controls
  // comes back, the results base's too.
  TNotifyEvent failing = f->Command([f](TObject*) {
    f->SetBusy(true);
    Screen->SetCursor(crHourGlass);
    f->TableMain->DisableControls();
    f->TableRes->DisableControls();
    throw Exception("broken");
  });
  EXPECT_THROW(failing(nullptr), Exception);
  EXPECT_FALSE(f->Busy);
  EXPECT_EQ(Screen->Cursor(), crDefault);
  EXPECT_FALSE(f->TableMain->ControlsDisabled());
  EXPECT_FALSE(f->TableRes->ControlsDisabled());
  Stop();
}

TEST_F(Desktop, ATableThatIsNoDrawBaseIsNotOpenedAndNothingIsWritten) {
  Start();
  // Listed in the options as "lm.dbf", but without the key's numbers.
  const struct {
    const char* fields;
    const char* error;
  } cases[] = {
      {"NAME C(10); AGE N(3,0)", "Field 'YEAR' not found"},
      {"YEAR C(4); DRAW N(3,0)", "Type mismatch for field 'YEAR'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fields);
    apptest::RunPython(folder,
                       std::string("import dbf,sys\nt=dbf.Table(sys.argv[1],'") + c.fields +
                           "',dbf_type='db3')\nt.open(dbf.READ_WRITE)\nt.append()\nt.close()\n",
                       folder + "lm.dbf");
    const AnsiString table = apptest::ReadFile(folder + "lm.dbf");
    FormMain->SetRecentFile(folder + "lm.dbf");
    dialogs.Expect(vx::DialogKind::Message, "Отсутствует индексный файл"_cp, mrOk);
    dialogs.Expect(vx::DialogKind::Exception, c.error, mrOk);
    FormMain->RecentFileItem()->QtAction()->trigger();  // the user's click on the entry
    EXPECT_FALSE(FormMain->TableMain->Active());
    EXPECT_FALSE(std::filesystem::exists(folder + "lm.cdx")) << "no stray index";
    EXPECT_EQ(apptest::ReadFile(folder + "lm.dbf"), table) << "the table is untouched";
    EXPECT_FALSE(FormMain->CloseMain->Enabled());
    EXPECT_EQ(FormMain->Caption(), FormMain->Hint());
    EXPECT_EQ(FormMain->DBGridMain->Columns()->Count(), 0);
  }
  Stop();
}

TEST_F(Desktop, StandardButtonsSpeakRussian) {
  Start();
  QMessageBox box;
  box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Отмена"));
  EXPECT_EQ(box.button(QMessageBox::No)->text().remove('&'), QStringLiteral("Нет"));
  Stop();
}

TEST_F(Desktop, ResultsAndTicketsBasesAreEmptiedAfterTheQuestion) {
  Start();
  const struct {
    TNewBaseDialog* dialog;
    TMenuItem* item;
    TDataSet* table;
  } cases[] = {
      {frmNewResBase, FormMain->mnuEmptyResBase, FormMain->TableRes},
      {frmNewTickBase, FormMain->mnuEmptyTickBase, FormMain->TableTick},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dialog->Name());
    c.dialog->btnCreate->Click();  // a new base, open in its data set
    for (int draw = 1; draw <= 3; ++draw) {
      c.table->Append();
      c.table->FieldByName("DRAW")->SetAsInteger(draw);
      c.table->Post();
    }
    dialogs.Expect(vx::DialogKind::Message, "Вы действительно хотите очистить базу?"_cp, mrNo);
    c.item->Click();
    EXPECT_EQ(c.table->RecordCount(), 3);
    dialogs.Expect(vx::DialogKind::Message, "Вы действительно хотите очистить базу?"_cp, mrYes);
    c.item->Click();
    c.table->First();
    EXPECT_TRUE(c.table->Eof());
  }
  Stop();
}

TEST_F(Desktop, ANewTableAsksBeforeReplacingAFile) {
  Start();
  TXBaseDataSet table;
  TCreateXBaseDataSet creator;  // AutoOverwrite off
  creator.SetDBFTable(&table);
  table.SetDatabaseName(folder);
  table.SetTableName("keep.dbf");
  vx::DrawFieldLines(*creator.CreateFields(), 6);
  apptest::WriteFile(folder + "keep.dbf", "precious");
  dialogs.Expect(vx::DialogKind::Message, TCreateXBaseDataSet::OverwriteQuestion, mrCancel);
  EXPECT_FALSE(creator.Execute());
  EXPECT_EQ(apptest::ReadFile(folder + "keep.dbf"), "precious");
  dialogs.Expect(vx::DialogKind::Message, TCreateXBaseDataSet::OverwriteQuestion, mrOk);
  EXPECT_TRUE(creator.Execute());
  EXPECT_TRUE(table.Active());
  table.Close();
  Stop();
}

}  // namespace

namespace {
// A damaged base is named as it lies on disk: the message used to show the
// whole path upper-cased (".../6FROM45.DBF"), which names no file here.
TEST_F(Desktop, ADamagedBaseIsNamedAsItIsOnDisk) {
  Start();
  apptest::WriteFile(folder + "6from45.dbf", AnsiString("\x03\x7d\x01\x01garbage", 11));
  for (const char* spelling : {"6from45.dbf", "6FROM45.DBF"}) {
    SCOPED_TRACE(spelling);
    FormMain->SetRecentFile(folder + spelling);
    dialogs.Expect(vx::DialogKind::Message, "Отсутствует индексный файл,будет проведена индексация"_cp, mrOk);
    dialogs.Expect(vx::DialogKind::Exception, "dBase DBF file header invalid - " + folder + "6from45.dbf.", mrOk);
    FormMain->RecentFileItem()->QtAction()->trigger();
    EXPECT_FALSE(FormMain->TableMain->Active());
  }
  Stop();
}
}  // namespace

namespace {

// What a control's text needs that it does not get, in the fonts of this
// platform ("" when it fits).
std::string CutText(TControl* c) {
  QWidget* w = c->Widget();
  if (!w || c->Caption().empty()) return "";
  int needed = 0;
  if (auto* l = dynamic_cast<TLabel*>(c)) {
    if (l->AutoSize() || l->WordWrap()) return "";
    needed = QFontMetrics(w->font()).horizontalAdvance(vx::ToQString(l->Caption()));
  } else if (dynamic_cast<TButton*>(c) || dynamic_cast<TCheckBox*>(c) || dynamic_cast<TRadioButton*>(c)) {
    needed = w->sizeHint().width();
  } else {
    return "";
  }
  if (needed <= c->Width()) return "";
  return c->Name() + " \"" + vx::Cp1251ToUtf8(c->Caption()) + "\" needs " + std::to_string(needed) + ", has " +
         std::to_string(c->Width());
}

void CollectCutTexts(TWinControl* parent, std::vector<std::string>& cut) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c->Name().empty()) continue;  // a part of a composite control (a grid's cell editors)
    if (const std::string s = CutText(c); !s.empty()) cut.push_back(s);
    // Pages not shown yet are not laid out (0 x 0).
    if (c->Visible() && c->Align() == alNone && parent->ClientWidth() > 0 && parent->ClientHeight() > 0 &&
        (c->Left() + c->Width() > parent->ClientWidth() || c->Top() + c->Height() > parent->ClientHeight()))
      cut.push_back(c->Name() + " reaches past " + parent->Name() + " (" + std::to_string(c->Left() + c->Width()) +
                    "x" + std::to_string(c->Top() + c->Height()) + " in " + std::to_string(parent->ClientWidth()) +
                    "x" + std::to_string(parent->ClientHeight()) + ")");
    if (auto* w = dynamic_cast<TWinControl*>(c)) CollectCutTexts(w, cut);
  }
}

}  // namespace

// Every window of the program, as shown, is as wide as its caption needs in
// the title bar, and its labels, buttons and check boxes show their whole
// texts in this platform's fonts and lie inside their parents.
TEST_F(Desktop, WindowsAndTheirControlsFitTheirTexts) {
  Start();
  FormMain->mnuNotePad->Click();
  std::vector<std::string> cut;
  for (TComponent* owned : Application->Components()) {
    auto* form = dynamic_cast<TForm*>(owned);
    if (!form) continue;
    if (form == frmVisual) dialogs.Expect(vx::DialogKind::Message, "база не открыта"_cp, mrOk);
    form->Show();
    Application->ProcessMessages();
    const int needed = vx::TitleBarWidth(form->Caption());
    if (form->Width() < needed)
      cut.push_back(form->Name() + " caption needs " + std::to_string(needed) + ", has " +
                    std::to_string(form->Width()));
    // The probability editor is as wide as the screen at most (800 pixels
    // here), whatever its sliders need.
    if (form != frmProbability) CollectCutTexts(form, cut);
    if (form != FormMain) form->Hide();
  }
  for (const std::string& s : cut) ADD_FAILURE() << s;
  Stop();
}
