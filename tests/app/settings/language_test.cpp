// Message texts, language files and the template writer, on the started
// program's windows.
#include <gtest/gtest.h>

#include "app/main/formmain.h"
#include "app/settings/cached_ini.h"
#include "app/settings/language.h"
#include "app/settings/message_texts.h"
#include "app/settings/options.h"
#include "app_test_support.h"
#include "platform/rtl/sysutils.h"

namespace {

using Language = AppTest;

TEST(MessageTexts, TableHasItsFixedTexts) {
  const auto& texts = vx::MessageTexts();
  EXPECT_EQ(texts.size(), 107u);
  EXPECT_EQ(texts[0], "не найден"_cp);
  EXPECT_EQ(texts[1], "база не открыта"_cp);
  EXPECT_EQ(texts[28], "Выполните пункт \"Исправить\""_cp);
  EXPECT_EQ(texts[38], texts[53]) << "\"тираж\" appears twice";
  EXPECT_EQ(texts[63], "совпадений c вариантом"_cp);
  EXPECT_EQ(texts[63][11], 'c') << "the key holds a Latin c";
  EXPECT_EQ(texts[106], "Количество вариантов в системе не совпадает с длиной файла"_cp);
}

TEST_F(Language, TemplateOfTheStartedProgram) {
  Start();
  FormMain->btnSaveLang->Click();
  const AnsiString text = apptest::ReadFile(folder + "Language.lng");
  EXPECT_NE(text.find("[Translations]\r\n"), AnsiString::npos);
  for (const AnsiString& line : std::initializer_list<AnsiString>{
           "FormMain.btnCalculate1.Caption=Горячие"_cp,
           "FormMain.tsProbability.Caption=Вероятность"_cp,
           "FormMain.tsDownLoad.Caption=Загрузка"_cp,
           "FormMain.mnuBase.Caption=&База"_cp,
           "FormMain.OpenMain.Caption=&Открыть базу"_cp,
           "FormMain.Caption=Вексамун"_cp,
           "frmOptions.Caption=Настройка"_cp,
           "frmOptions.btnOK.Caption=OK"_cp,
           "frmLang.btnSaveLang.Caption=Сохранить шаблон"_cp,
           "frmNewBase.Label1.Caption=Имя"_cp,  // the new-base dialogs' labels are named
           "frmNewBase.Label4.Caption=Описание"_cp,
           "frmNewTickBase.Label2.Caption=Сколько номеров"_cp,
       })
    EXPECT_NE(text.find(line + "\r\n"), AnsiString::npos) << line;
  EXPECT_EQ(text.find("=-\r\n"), AnsiString::npos) << "separators are not written";
  for (const char* key : {"..Caption", "..Hint", "..Text"})
    EXPECT_EQ(text.find(key), AnsiString::npos) << "unnamed components are not written";
  EXPECT_EQ(text.find("URLEditSrv.Text"), AnsiString::npos) << "settings are not written";
  EXPECT_EQ(text.find("edtDrawCost.Text"), AnsiString::npos);
  EXPECT_EQ(text.find("seYearFrom.Text"), AnsiString::npos);
  EXPECT_EQ(text.find("[Messages]"), AnsiString::npos);
  Stop();
}

TEST_F(Language, LanguageFileChangesExactlyWhatItNames) {
  Start();
  FormMain->URLEditSrv->SetText("my.server/x.srv");
  frmOptions->edtDrawCost->SetText("15");
  const AnsiString before = FormMain->btnCalculate2->Caption();
  apptest::WriteFile(folder + "en.lng",
                     "[TRANSLATIONS]\r\n"
                     "FormMain.btnCalculate1.Caption=Hot\r\n"
                     "frmOptions.btnOK.Width=500\r\n"
                     "FormMain..Caption=81\r\n"
                     "FormMain.URLEditSrv.Text=overwritten\r\n"
                     "frmOptions.edtDrawCost.Text=99\r\n"
                     "FormMain.seYearFrom.Text=1999\r\n"
                     "NoSuchForm.btnOK.Caption=x\r\n"
                     "FormMain.noSuchButton.Caption=x\r\n"
                     "[Messages]\r\n"
                     "база не открыта=base is not open\r\n"_cp);
  vx::WriteLanguageTemplate(folder + "before.lng");
  ApplyLanguageFile(folder + "en.lng");
  frmLang->janLanguage->SetLanguageFile(folder + "en.lng");
  vx::WriteLanguageTemplate(folder + "after.lng");
  TStringList oldTemplate, newTemplate;
  oldTemplate.LoadFromFile(folder + "before.lng");
  newTemplate.LoadFromFile(folder + "after.lng");
  ASSERT_EQ(oldTemplate.Count(), newTemplate.Count());
  int changed = 0;
  for (int i = 0; i < oldTemplate.Count(); ++i)
    if (oldTemplate[i] != newTemplate[i]) {
      ++changed;
      EXPECT_EQ(newTemplate[i], "FormMain.btnCalculate1.Caption=Hot");
    }
  EXPECT_EQ(changed, 1) << "the file changes exactly the one caption it names";

  EXPECT_EQ(FormMain->btnCalculate1->Caption(), "Hot");
  EXPECT_EQ(FormMain->btnCalculate2->Caption(), before);
  EXPECT_EQ(frmOptions->btnOK->Width(), 85);
  EXPECT_EQ(FormMain->Caption(), "Вексамун"_cp);
  EXPECT_EQ(FormMain->URLEditSrv->Text(), "my.server/x.srv");
  EXPECT_EQ(frmOptions->edtDrawCost->Text(), "15");
  EXPECT_EQ(FormMain->seYearFrom->Value(), 2000);

  EXPECT_EQ(vx::Tr("база не открыта"_cp), "base is not open");
  EXPECT_EQ(vx::Tr("не найден"_cp), "не найден"_cp);
  dialogs.Expect(vx::DialogKind::Message, "base is not open", mrOk);
  EXPECT_FALSE(FormMain->CheckOpened());
  Stop();
}

TEST_F(Language, LookupFallsBackToTheDefaultText) {
  Start();
  const AnsiString text = "база не открыта"_cp;
  struct Case {
    const char* name;
    AnsiString file;
    AnsiString contents;
  };
  const Case cases[] = {
      {"no file chosen", "", ""},
      {"missing file", folder + "gone.lng", ""},
      {"no Messages section", folder + "a.lng", "[TRANSLATIONS]\r\nx.y=z\r\n"},
      {"key missing", folder + "b.lng", "[Messages]\r\nдругое=other\r\n"_cp},
      {"binary junk", folder + "c.lng", AnsiString("\0\xFF[\x1A=\r\n]]]", 10)},
  };
  for (const Case& c : cases) {
    if (!c.contents.empty()) apptest::WriteFile(c.file, c.contents);
    frmLang->janLanguage->SetLanguageFile(c.file);
    EXPECT_EQ(vx::Tr(text), text) << c.name;
  }
  Stop();
}

TEST_F(Language, ChosenLanguageIsRememberedAndAppliedAtTheNextStart) {
  apptest::WriteFile(folder + "ru2.lng",
                     "[Translations]\r\nFormMain.btnCalculate1.Caption=Жаркие\r\n"
                     "[Messages]\r\nошибка задания года=wrong year\r\n"_cp);
  dialogs.Expect(vx::DialogKind::Message, "Choose language", mrOk);
  dialogs.ExpectFile(vx::DialogKind::Open, folder + "ru2.lng");
  vx::CreateStartupForms();
  EXPECT_EQ(FormMain->btnCalculate1->Caption(), "Жаркие"_cp);
  Stop();

  vx::ResetLanguageQuestion();
  {
    TAppIniFile ini;
    EXPECT_EQ(ini.ReadString("Language", "frmLang", ""), folder + "ru2.lng");
  }
  Start(false);  // no question: the remembered file exists
  EXPECT_EQ(FormMain->btnCalculate1->Caption(), "Жаркие"_cp);
  FormMain->seYearTo->SetValue(1990);
  EXPECT_EQ(FormMain->lblErrorMessage->Caption(), "wrong year");
  Stop();
}

TEST_F(Language, QuestionIsAskedOncePerRun) {
  Start();
  EXPECT_FALSE(frmLang->AskForLanguage("frmDuzediv"));
  Stop();
}

}  // namespace
