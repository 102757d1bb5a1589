// String properties by name, as a language file sets Form.Component.Property.
#include <gtest/gtest.h>

#include "tests/platform/gui/gui_test_support.h"
#include "platform/gui/controls/comctrls.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/menus.h"
#include "platform/gui/controls/spin.h"
#include "platform/gui/controls/stdctrls.h"

namespace {

using Translation = GuiTest;

TEST_F(Translation, EveryKindAnswersItsStringPropertiesByName) {
  auto* f = new TForm(nullptr);
  f->SetName("FormMain");
  auto* btn = new TButton(f, f);
  btn->SetName("btnStop");
  auto* edit = new TEdit(f, f);
  edit->SetName("URLEditSrv");
  auto* memo = new TMemo(f, f);
  memo->SetName("mMM");
  auto* list = new TComboBox(f, f);
  list->SetName("cbList");
  auto* pc = new TPageControl(f, f);
  auto* ts = new TTabSheet(f, pc);
  ts->SetName("tsResult");
  auto* item = new TMenuItem(f);
  item->SetName("mnuEdit");
  auto* dlg = new TOpenDialog(f);
  dlg->SetName("OpenDialogMain");

  struct Case {
    const char* component;
    const char* property;
    AnsiString value;
  };
  const Case cases[] = {
      {"FormMain", "Caption", "Вексамун"_cp},
      {"btnStop", "caption", "Стоп"_cp},
      {"btnStop", "Hint", "Остановить"_cp},
      {"URLEditSrv", "Text", "host/path"},
      {"mMM", "Lines", "a\r\nb\r\n"},
      {"cbList", "Items", "x\r\ny\r\n"},
      {"tsResult", "Caption", "Результат"_cp},
      {"mnuEdit", "Caption", "&Правка"_cp},
      {"OpenDialogMain", "Filter", "Bases|*.dbf"},
  };
  for (const Case& c : cases) {
    TComponent* target = std::string(c.component) == "FormMain" ? f : f->FindComponent(c.component);
    ASSERT_NE(target, nullptr) << c.component;
    EXPECT_TRUE(vx::SetComponentString(target, c.property, c.value)) << c.component << "." << c.property;
    EXPECT_EQ(vx::GetComponentString(target, c.property), c.value) << c.component << "." << c.property;
  }
  EXPECT_EQ(memo->Lines()->Count(), 2);
  EXPECT_EQ(list->Items()->Strings(1), "y");
  EXPECT_EQ(edit->Text(), "host/path");
  EXPECT_FALSE(vx::SetComponentString(btn, "Bogus", "x"));
  EXPECT_FALSE(vx::GetComponentString(btn, "Bogus").has_value());
  delete f;
}

TEST_F(Translation, TypedCp1251TextComesBackByteForByte) {
  auto* f = new TForm(nullptr);
  auto* e = new TEdit(f, f);
  AnsiString typed = "Ёж №1 «ў» "_cp;
  for (int b = 0xC0; b <= 0xFF; ++b) typed.push_back(static_cast<char>(b));
  vx::SendText(e, typed);
  EXPECT_EQ(e->Text(), typed);
  delete f;
}

}  // namespace
