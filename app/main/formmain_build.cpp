// The main window's controls, pages and menu, as its form resource held them.
#include "app/main/formmain.h"

#include <algorithm>

#include "platform/gui/core/control_placing.h"
#include "platform/rtl/sysutils.h"

namespace {

using vx::NewControl;

TSpinEdit* Spin(TComponent* owner, TWinControl* parent, const char* name, int left, int top, int min, int max,
                int value, int width = 70) {
  auto* s = NewControl<TSpinEdit>(owner, parent, name, left, top, width, 22);
  s->SetMinValue(min);
  s->SetMaxValue(max);
  s->SetValue(value);
  return s;
}

TButton* Button(TComponent* owner, TWinControl* parent, const char* name, const AnsiString& caption, int left, int top,
                int width = 140) {
  auto* b = NewControl<TButton>(owner, parent, name, left, top, width, 25);
  b->SetCaption(caption);
  return b;
}

TCheckBox* Check(TComponent* owner, TWinControl* parent, const char* name, const AnsiString& caption, int left, int top,
                 int width = 260) {
  auto* b = NewControl<TCheckBox>(owner, parent, name, left, top, width, 20);
  b->SetCaption(caption);
  return b;
}

TMenuItem* Item(TComponent* owner, TMenuItem* parent, const char* name, const AnsiString& caption) {
  auto* item = new TMenuItem(owner);
  item->SetName(name);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

// Labels are named Label1, Label2 ... (the first free number) so a
// language file can reach them.
class LabelMaker {
 public:
  explicit LabelMaker(TComponent* owner) : owner_(owner) {}
  TLabel* operator()(TWinControl* parent, const AnsiString& caption, int left, int top) {
    auto* l = new TLabel(owner_, parent);
    AnsiString name;
    do name = "Label" + IntToStr(++count_);
    while (owner_->FindComponent(name));
    l->SetName(name);
    l->SetCaption(caption);
    l->SetLeft(left);
    l->SetTop(top);
    return l;
  }

 private:
  TComponent* owner_;
  int count_ = 0;
};

}  // namespace

void TFormMain::BuildMenu() {
  MainMenu = new TMainMenu(this);
  MainMenu->SetName("MainMenu");
  TMenuItem* root = MainMenu->Items();

  mnuBase = Item(this, root, "mnuBase", "&База"_cp);
  OpenMain = Item(this, mnuBase, "OpenMain", "&Открыть базу"_cp);
  N1 = Item(this, mnuBase, "N1", "-");
  CloseMain = Item(this, mnuBase, "CloseMain", "&Закрыть базу"_cp);
  N2 = Item(this, mnuBase, "N2", "-");
  mnuNewBase = Item(this, mnuBase, "mnuNewBase", "&Создать новую"_cp);
  mnuImport = Item(this, mnuBase, "mnuImport", "Импорт"_cp);
  mnuImportML = Item(this, mnuImport, "mnuImportML", "из Мультилотек"_cp);
  N3 = Item(this, mnuBase, "N3", "-");
  Exit1 = Item(this, mnuBase, "Exit1", "&Выход"_cp);

  mnuEditing = Item(this, root, "mnuEditing", "&Редактирование"_cp);
  mnuEdit = Item(this, mnuEditing, "mnuEdit", "Редактировать"_cp);
  mnuInsert = Item(this, mnuEditing, "mnuInsert", "Вставить"_cp);
  mnuInsert->SetShortCut(::ShortCut(VK_INSERT, {}));
  mnuDelete = Item(this, mnuEditing, "mnuDelete", "Удалить"_cp);
  mnuDelete->SetShortCut(::ShortCut(VK_DELETE, TShiftState{ssShift}));
  mnuClear = Item(this, mnuEditing, "mnuClear", "Очистить базу"_cp);
  N4 = Item(this, mnuEditing, "N4", "-");
  mnuCheckBase = Item(this, mnuEditing, "mnuCheckBase", "Проверить"_cp);
  mnuRegularize = Item(this, mnuEditing, "mnuRegularize", "Упорядочить"_cp);
  mnuRepair = Item(this, mnuEditing, "mnuRepair", "Исправить"_cp);
  mnuReindex = Item(this, mnuEditing, "mnuReindex", "Переиндексировать"_cp);

  mnuOptions = Item(this, root, "mnuOptions", "&Настройка"_cp);

  mnuPages = Item(this, root, "mnuPages", "&Закладки"_cp);
  mnutsProbability = Item(this, mnuPages, "mnutsProbability", "Вероятность"_cp);
  mnutsStatistic = Item(this, mnuPages, "mnutsStatistic", "Статистика"_cp);
  mnutsGeneration = Item(this, mnuPages, "mnutsGeneration", "Генерация"_cp);
  mnutsDyads = Item(this, mnuPages, "mnutsDyads", "Двойки"_cp);
  mnutsIndNumber = Item(this, mnuPages, "mnutsIndNumber", "Хар.Числа"_cp);
  mnutsSystems = Item(this, mnuPages, "mnutsSystems", "Системы"_cp);
  mnutsResult = Item(this, mnuPages, "mnutsResult", "Результат"_cp);
  mnutsCompare = Item(this, mnuPages, "mnutsCompare", "Сравнение"_cp);
  mnutsTickets = Item(this, mnuPages, "mnutsTickets", "Билеты"_cp);
  mnutsDownLoad = Item(this, mnuPages, "mnutsDownLoad", "Загрузка"_cp);
  N5 = Item(this, mnuPages, "N5", "-");
  mnuShowBase = Item(this, mnuPages, "mnuShowBase", "Просмотр"_cp);
  mnuNotePad = Item(this, mnuPages, "mnuNotePad", "Блокнот"_cp);

  mnuAbout = Item(this, root, "mnuAbout", "&О..."_cp);
  mnuHelp = Item(this, mnuAbout, "mnuHelp", "Помощь"_cp);
  mnuAutor = Item(this, mnuAbout, "mnuAutor", "Автор"_cp);
  mnuLang = Item(this, mnuAbout, "mnuLang", "Язык"_cp);

  ResPopUpMenu = new TPopupMenu(this);
  ResPopUpMenu->SetName("ResPopUpMenu");
  mnuNewResBase = Item(this, ResPopUpMenu->Items(), "mnuNewResBase", "Новая база результатов"_cp);
  mnuCloseResBase = Item(this, ResPopUpMenu->Items(), "mnuCloseResBase", "Закрыть базу"_cp);
  mnuResDelete = Item(this, ResPopUpMenu->Items(), "mnuResDelete", "Удалить запись"_cp);
  mnuEmptyResBase = Item(this, ResPopUpMenu->Items(), "mnuEmptyResBase", "Очистить базу"_cp);
  Item(this, ResPopUpMenu->Items(), "N6", "-");
  mnuResSaveToDoc = Item(this, ResPopUpMenu->Items(), "mnuResSaveToDoc", "Save to Doc");
  mnuResSaveToASCII = Item(this, ResPopUpMenu->Items(), "mnuResSaveToASCII", "Save to ASCII");
  mnuResSaveToXLS = Item(this, ResPopUpMenu->Items(), "mnuResSaveToXLS", "Save to XLS");
  mnuResSaveToHTML = Item(this, ResPopUpMenu->Items(), "mnuResSaveToHTML", "Save to HTML");
  TickPopUpMenu = new TPopupMenu(this);
  TickPopUpMenu->SetName("TickPopUpMenu");
  mnuNewTickBase = Item(this, TickPopUpMenu->Items(), "mnuNewTickBase", "Создать базу"_cp);
  mnuCloseTickBase = Item(this, TickPopUpMenu->Items(), "mnuCloseTickBase", "Закрыть базу"_cp);
  mnuTickDelete = Item(this, TickPopUpMenu->Items(), "mnuTickDelete", "Удалить запись"_cp);
  mnuTickDuplicate = Item(this, TickPopUpMenu->Items(), "mnuTickDuplicate", "Дублировать запись"_cp);
  mnuEmptyTickBase = Item(this, TickPopUpMenu->Items(), "mnuEmptyTickBase", "Очистить базу"_cp);
  Item(this, TickPopUpMenu->Items(), "N7", "-");
  mnuTickSaveToDoc = Item(this, TickPopUpMenu->Items(), "mnuTickSaveToDoc", "Save to Doc");
  mnuTickSaveToASCII = Item(this, TickPopUpMenu->Items(), "mnuTickSaveToASCII", "Save to ASCII");
  mnuTickSaveToXLS = Item(this, TickPopUpMenu->Items(), "mnuTickSaveToXLS", "Save to XLS");
  mnuTickSaveToHTML = Item(this, TickPopUpMenu->Items(), "mnuTickSaveToHTML", "Save to HTML");
  StatPopUpMenu = new TPopupMenu(this);
  StatPopUpMenu->SetName("StatPopUpMenu");
  mnuStatSaveToDoc = Item(this, StatPopUpMenu->Items(), "mnuStatSaveToDoc", "Save to DOC");
  mnuStatSaveToASCII = Item(this, StatPopUpMenu->Items(), "mnuStatSaveToASCII", "Save to ASCII");
  mnuStatSaveToXLS = Item(this, StatPopUpMenu->Items(), "mnuStatSaveToXLS", "Save to XLS");
  mnuStatSaveToHTML = Item(this, StatPopUpMenu->Items(), "mnuStatSaveToHTML", "Save to HTML");

  SetMenu(MainMenu);
}

void TFormMain::BuildFrame() {
  // The draw base's grid, on the left, is locked until the user unlocks it;
  // its columns are laid out with the base commands. The pages fill the rest
  // above a strip with the progress bar and the Stop button, so all grow
  // with the window.
  DBGridMain = NewControl<TDBGrid>(this, this, "DBGridMain", 4, 4, 268, 470);
  DBGridMain->SetAlign(alLeft);
  TDBGridOptions options = DBGridMain->Options();
  options.Exclude(dgEditing);
  DBGridMain->SetOptions(options);

  PageControlMain = NewControl<TPageControl>(this, this, "PageControlMain", 277, 4, 820, 470);
  PageControlMain->SetMultiLine(true);
  PageControlMain->SetAlign(alClient);
  struct PageDef {
    TTabSheet** page;
    const char* name;
    AnsiString caption;
  };
  const PageDef pages[] = {
      {&tsProbability, "tsProbability", "Вероятность"_cp},
      {&tsStatistic, "tsStatistic", "Статистика"_cp},
      {&tsGeneration, "tsGeneration", "Генерация"_cp},
      {&tsDyads, "tsDyads", "Двойки"_cp},
      {&tsIndNumber, "tsIndNumber", "Хар.Числа"_cp},
      {&tsSystems, "tsSystems", "Системы"_cp},
      {&tsResult, "tsResult", "Результат"_cp},
      {&tsCompare, "tsCompare", "Сравнение"_cp},
      {&tsTickets, "tsTickets", "Билеты"_cp},
      {&tsDownLoad, "tsDownLoad", "Загрузка"_cp},
  };
  for (const PageDef& p : pages) {
    *p.page = new TTabSheet(this, PageControlMain);
    (*p.page)->SetName(p.name);
    (*p.page)->SetCaption(p.caption);
  }

  auto* bottom = NewControl<TPanel>(this, this, "pnlBottom", 0, 476, 1100, 24);
  bottom->SetBevelOuter(bvNone);
  bottom->SetAlign(alBottom);
  PBar = NewControl<TProgressBar>(this, bottom, "PBar", 4, 3, 980, 18);
  PBar->SetAlign(alClient);
  pnlStop = NewControl<TPanel>(this, bottom, "pnlStop", 989, 0, 90, 24);
  pnlStop->SetBevelOuter(bvNone);
  pnlStop->SetAlign(alRight);
  btnStop = new TButton(this, pnlStop);
  btnStop->SetName("btnStop");
  btnStop->SetCaption("Стоп"_cp);

  SGrid = NewControl<TRichStringGrid>(this, tsStatistic, "SGrid", 4, 40, 580, 390);
  SGrid->SetPopupMenu(StatPopUpMenu);
  SGridRes = NewControl<TRichStringGrid>(this, this, "SGridRes", 0, 0, 100, 50);
  SGridRes->SetVisible(false);
  SGridTick = NewControl<TRichStringGrid>(this, this, "SGridTick", 0, 0, 100, 50);
  SGridTick->SetVisible(false);
  // Printed pages keep margins of 10 mm (the print settings' own defaults
  // when read from a file), so that the headers and footers stand inside
  // them rather than at the paper's edge.
  for (TRichStringGrid* grid : {SGrid, SGridRes, SGridTick}) {
    grid->PrintSettings()->SetLeftSize(100);
    grid->PrintSettings()->SetRightSize(100);
    grid->PrintSettings()->SetFooterSize(100);
  }

  OpenDialogMain = new TOpenDialog(this);
  OpenDialogMain->SetName("OpenDialogMain");
  SaveDialogMain = new TSaveDialog(this);
  SaveDialogMain->SetName("SaveDialogMain");
  PrintDialogMain = new TPrintDialog(this);
  PrintDialogMain->SetName("PrintDialogMain");
}

void TFormMain::BuildProbabilityPage() {
  LabelMaker label(this);
  TWinControl* p = tsProbability;
  label(p, "Диапазон тиражей: с года, тиража"_cp, 8, 8);
  seYearFrom = Spin(this, p, "seYearFrom", 8, 28, 0, 0, 2000);
  seDrawFrom = Spin(this, p, "seDrawFrom", 84, 28, 0, 0, 1);
  label(p, "по год, тираж"_cp, 8, 56);
  seYearTo = Spin(this, p, "seYearTo", 8, 76, 0, 0, 2000);
  seDrawTo = Spin(this, p, "seDrawTo", 84, 76, 0, 0, 20);
  lblErrorMessage = NewControl<TLabel>(this, p, "lblErrorMessage", 170, 56, 200, 16);
  lblErrorMessage->Font()->SetColor(clRed);

  btnCalculate1 = Button(this, p, "btnCalculate1", "Горячие"_cp, 8, 112);
  btnCalculate2 = Button(this, p, "btnCalculate2", "Холодные"_cp, 8, 142);
  btnCalculate3 = Button(this, p, "btnCalculate3", "Равные"_cp, 8, 172);
  btnCalculate4 = Button(this, p, "btnCalculate4", "+/- 1 номер"_cp, 8, 202);
  btnNumForNum = Button(this, p, "btnNumForNum", "Число за числом"_cp, 8, 232);
  btnRegulators = Button(this, p, "btnRegulators", "Регуляторы"_cp, 8, 262);
  btnVisual = Button(this, p, "btnVisual", "Визуально"_cp, 450, 112, 100);
  btnChart = Button(this, p, "btnChart", "График"_cp, 450, 142, 100);
  lblNumWithNonZeroProb = NewControl<TLabel>(this, p, "lblNumWithNonZeroProb", 160, 266, 60, 16);
  btnCalculate5 = Button(this, p, "btnCalculate5", "Горячие+Холодные"_cp, 300, 112);
  btnCalculate5->SetHint(
      "Рассчитывается первый тип,выбирается заданное число номеров,для них расчитывается второй тип"_cp);
  btnCalculateFunc1 = Button(this, p, "btnCalculateFunc1", "Функция 1"_cp, 300, 142);
  btnRandDNSys = Button(this, p, "btnRandDNSys", "система RDN"_cp, 300, 172);
  btnRandDNSys->SetHint("Система случайных тиражей и номеров"_cp);
  speRDNinOne = Spin(this, p, "speRDNinOne", 450, 172, 1, 6, 1, 50);
  speRDNinOne->SetHint("Сколько номеров брать из одного тиража"_cp);
  speRandDNSys = Spin(this, p, "speRandDNSys", 510, 172, 1, 999999, 6, 80);
  speRandDNSys->SetHint("Сколько номеров выбирать по системе RDN"_cp);

  label(p, "Наиболее вероятных номеров"_cp, 8, 302);
  speMaxProbCount = Spin(this, p, "speMaxProbCount", 200, 298, 0, 9999, 6);
  btnShowMaxProbNum = Button(this, p, "btnShowMaxProbNum", "Показать"_cp, 280, 298, 100);
  lblMaxProbNums = NewControl<TLabel>(this, p, "lblMaxProbNums", 8, 330, 560, 16);

  btnSaveLang = Button(this, p, "btnSaveLang", "Сохранить шаблон языка"_cp, 400, 400, 180);
  btnSaveLang->SetVisible(false);
  btnStabilityTest = Button(this, p, "btnStabilityTest", "Stability Test", 400, 370, 180);
  btnStabilityTest->SetVisible(false);
  Memo1 = NewControl<TMemo>(this, p, "Memo1", 8, 360, 300, 60);
  Memo1->SetVisible(false);
}

void TFormMain::BuildStatisticsPage() {
  // A strip with the button and the range note, the choice of statistic
  // with the selection sums on the left, the grid in the rest.
  TWinControl* p = tsStatistic;
  auto* top = NewControl<TPanel>(this, p, "pnlStatTop", 0, 0, 800, 36);
  top->SetBevelOuter(bvNone);
  top->SetAlign(alTop);
  btnCalculateStat = Button(this, top, "btnCalculateStat", "Рассчитать"_cp, 4, 6);
  LabelMaker label(this);
  label(top, "Номера тиражей задаются на закладке Вероятность"_cp, 160, 11);

  auto* left = NewControl<TPanel>(this, p, "pnlStatType", 0, 36, 152, 400);
  left->SetBevelOuter(bvNone);
  left->SetAlign(alLeft);
  gbxType = NewControl<TGroupBox>(this, left, "gbxType", 4, 0, 140, 142);
  gbxType->SetCaption("Тип статистики"_cp);
  struct Choice {
    TRadioButton** button;
    const char* name;
    AnsiString caption;
  };
  const Choice choices[] = {
      {&rbtnAverInterval, "rbtnAverInterval", "Интервалы"_cp},
      {&rbtnNonary, "rbtnNonary", "Девятиричные"_cp},
      {&rbtnFilled, "rbtnFilled", "Заполняемость"_cp},
      {&rbtnAmounts, "rbtnAmounts", "Суммы"_cp},
      {&rbtnPairs, "rbtnPairs", "Пары"_cp},
  };
  int y = 20;
  for (const Choice& c : choices) {
    *c.button = NewControl<TRadioButton>(this, gbxType, c.name, 10, y, 124, 20);
    (*c.button)->SetCaption(c.caption);
    y += 23;
  }
  rbtnPairs->SetChecked(true);
  lblSelCellsCount = NewControl<TLabel>(this, left, "lblSelCellsCount", 8, 156, 136, 16);
  lblSelCellsSum = NewControl<TLabel>(this, left, "lblSelCellsSum", 8, 176, 136, 16);
  lblSelCells9Sum = NewControl<TLabel>(this, left, "lblSelCells9Sum", 8, 196, 136, 16);
  for (TLabel* l : {lblSelCellsCount, lblSelCellsSum, lblSelCells9Sum}) l->SetCaption("");
  btnStatPreview = Button(this, left, "btnStatPreview", "Просмотр"_cp, 4, 224, 140);

  gbxResStat = NewControl<TGroupBox>(this, p, "gbxResStat", 152, 36, 650, 400);
  gbxResStat->SetCaption("Статистика"_cp);
  SGrid->SetParent(gbxResStat);
  // The grid fills the box inside its frame and caption.
  gbxResStat->OnResize = [this](TObject*) {
    SGrid->SetBounds(6, 18, std::max(gbxResStat->Width() - 12, 0), std::max(gbxResStat->Height() - 24, 0));
  };
  gbxResStat->SetAlign(alClient);
  gbxResStat->OnResize(gbxResStat);
}

void TFormMain::BuildGenerationPage() {
  LabelMaker label(this);
  TWinControl* p = tsGeneration;
  label(p, "Сколько номеров"_cp, 8, 10);
  seDrawn = Spin(this, p, "seDrawn", 160, 6, 1, 20, 6);
  label(p, "Из скольких"_cp, 8, 38);
  seHighest = Spin(this, p, "seHighest", 160, 34, 1, 100, 49);
  label(p, "Сколько комбинаций"_cp, 8, 66);
  seVol = Spin(this, p, "seVol", 160, 62, 1, 999999999, 1, 100);

  cbxAmountMustBe = Check(this, p, "cbxAmountMustBe", "Сумма должна быть в диапазоне"_cp, 8, 100);
  speAmountMustBeGreater = Spin(this, p, "speAmountMustBeGreater", 270, 98, 0, 99999999, 100);
  speAmountMustBeLess = Spin(this, p, "speAmountMustBeLess", 350, 98, 0, 99999999, 120);
  lblCurrentAmount = NewControl<TLabel>(this, p, "lblCurrentAmount", 430, 102, 80, 16);

  cbxCointLess = Check(this, p, "cbxCointLess", "Число совпадений с базой"_cp, 8, 130);
  speCointGreater = Spin(this, p, "speCointGreater", 270, 128, 0, 0, 0);
  speCointGreater->SetEnabled(false);
  speCointLess = Spin(this, p, "speCointLess", 350, 128, 0, 0, 4);
  cbxCointLessRes = Check(this, p, "cbxCointLessRes", "Число совпадений с результатами"_cp, 8, 160);
  speCointGreaterRes = Spin(this, p, "speCointGreaterRes", 270, 158, 0, 0, 0);
  speCointGreaterRes->SetEnabled(false);
  speCointLessRes = Spin(this, p, "speCointLessRes", 350, 158, 0, 0, 4);
  cbxRowNumRange = Check(this, p, "cbxRowNumRange", "Диапазон числовых рядов"_cp, 8, 190);
  btnRowNumShow = Button(this, p, "btnRowNumShow", "Показать"_cp, 280, 188, 100);
  cbxAscend = Check(this, p, "cbxAscend", "По возрастанию"_cp, 8, 220);
  cbxAscend->SetChecked(true);

  btnGenerate = Button(this, p, "btnGenerate", "Генерация"_cp, 8, 256);
  lblCurrDrawGen = NewControl<TLabel>(this, p, "lblCurrDrawGen", 160, 260, 120, 16);
  btnGenFromRandDNSys = Button(this, p, "btnGenFromRandDNSys", "Система RDN"_cp, 8, 290);
}

void TFormMain::BuildOtherPages() {
  LabelMaker label(this);

  TWinControl* p = tsDyads;
  label(p, "С года, тиража"_cp, 8, 8);
  seYearFromDyads = Spin(this, p, "seYearFromDyads", 8, 28, 0, 0, 2002);
  seDrawFromDyads = Spin(this, p, "seDrawFromDyads", 84, 28, 0, 0, 1);
  label(p, "по год, тираж"_cp, 8, 56);
  seYearToDyads = Spin(this, p, "seYearToDyads", 8, 76, 0, 0, 2002);
  seDrawToDyads = Spin(this, p, "seDrawToDyads", 84, 76, 0, 0, 20);
  mMM = NewControl<TMemo>(this, p, "mMM", 8, 150, 300, 200);
  Button1 = Button(this, p, "Button1", "Button1", 8, 112, 100);
  btnCalcDyads = Button(this, p, "btnCalcDyads", "Рассчитать"_cp, 200, 28, 110);
  btnShowDyads = Button(this, p, "btnShowDyads", "Показать"_cp, 320, 28, 110);
  btnCreateComb = Button(this, p, "btnCreateComb", "Комбинации"_cp, 200, 58, 110);
  btnAmountCorTo = Button(this, p, "btnAmountCorTo", "Вероятность"_cp, 320, 58, 110);
  label(p, "Выпадений от ... до"_cp, 200, 94);
  seDyadsProbabilityGreater = Spin(this, p, "seDyadsProbabilityGreater", 200, 114, 0, 9999, 1);
  seDyadsProbabilityLess = Spin(this, p, "seDyadsProbabilityLess", 276, 114, 0, 9999, 1);
  label(p, "Макс выпадение:"_cp, 450, 32);
  lblMaxDyadsProbabilityValue = NewControl<TLabel>(this, p, "lblMaxDyadsProbabilityValue", 560, 32, 60, 16);
  lblDyadsCount = NewControl<TLabel>(this, p, "lblDyadsCount", 360, 118, 60, 16);

  p = tsIndNumber;
  label(p, "Год, тираж"_cp, 8, 8);
  seYearIndNumber = Spin(this, p, "seYearIndNumber", 8, 28, 0, 0, 2002);
  seDrawIndNumber = Spin(this, p, "seDrawIndNumber", 84, 28, 0, 0, 1);
  btnCalcIndNumber = Button(this, p, "btnCalcIndNumber", "Рассчитать"_cp, 170, 28, 110);
  btnForming = Button(this, p, "btnForming", "Составляющие"_cp, 290, 28, 110);
  label(p, "По выпадению"_cp, 8, 64);
  lblReal = NewControl<TLabel>(this, p, "lblReal", 130, 64, 300, 16);
  label(p, "По возрастающей"_cp, 8, 84);
  lblIncr = NewControl<TLabel>(this, p, "lblIncr", 130, 84, 300, 16);
  lblNoName = NewControl<TLabel>(this, p, "lblNoName", 8, 108, 600, 16);
  lblNoName->SetHint("Числа,на основе разности между номерами в варианте"_cp);
  lblIndNumbers = NewControl<TLabel>(this, p, "lblIndNumbers", 8, 128, 600, 16);
  lblIndNumbers->SetHint("Хпрактеристические числа для прямого и упорядоченного массива"_cp);
  lblForming = NewControl<TLabel>(this, p, "lblForming", 8, 148, 600, 16);
  mTempReal = NewControl<TMemo>(this, p, "mTempReal", 8, 172, 300, 240);
  mTempIncr = NewControl<TMemo>(this, p, "mTempIncr", 316, 172, 300, 240);
  edCheck = NewControl<TEdit>(this, p, "edCheck", 8, 420, 300, 22);
  edCheck->SetVisible(false);

  p = tsSystems;
  label(p, "система"_cp, 8, 8);
  seSystem = Spin(this, p, "seSystem", 8, 28, 1, 50, 6);
  label(p, "сколько"_cp, 84, 8);
  seNum = Spin(this, p, "seNum", 84, 28, 1, 50, 6);
  label(p, "из"_cp, 158, 32);
  label(p, "скольких"_cp, 174, 8);
  seFrom = Spin(this, p, "seFrom", 174, 28, 1, 100, 49);
  cbxSetNumbers = Check(this, p, "cbxSetNumbers", "", 252, 30, 20);
  cbxSetNumbers->SetHint("Установить номера вручную"_cp);
  cbxSetNumbers->SetShowHint(true);
  btnLoadSystems = Button(this, p, "btnLoadSystems", "Загрузить"_cp, 8, 60, 110);
  btnGiveSystem = Button(this, p, "btnGiveSystem", "Выдать"_cp, 126, 60, 110);
  label(p, "Выпавшие номера :"_cp, 8, 96);
  lblRandom = NewControl<TLabel>(this, p, "lblRandom", 130, 96, 440, 16);
  lbSystems = NewControl<TListBox>(this, p, "lbSystems", 8, 120, 560, 280);
  MemoBase = NewControl<TMemo>(this, p, "MemoBase", 8, 404, 100, 20);
  MemoBase->SetVisible(false);

  p = tsResult;
  DBGridRes = NewControl<TDBGrid>(this, p, "DBGridRes", 4, 4, 420, 400);
  DBGridRes->SetPopupMenu(ResPopUpMenu);
  btnSaveVariants = Button(this, p, "btnSaveVariants", "Сохранить"_cp, 432, 4, 140);
  btnOpenRes = Button(this, p, "btnOpenRes", "Открыть"_cp, 432, 100, 140);
  btnOpenRes->SetHint("Открыть базу с прогнозом"_cp);
  btnResPreview = Button(this, p, "btnResPreview", "Просмотр"_cp, 432, 34, 140);
  gbxAddToTickets = NewControl<TGroupBox>(this, p, "gbxAddToTickets", 432, 136, 180, 90);
  gbxAddToTickets->SetCaption("Добавить в билеты"_cp);
  label(gbxAddToTickets, "год, тираж"_cp, 8, 18);
  speAddToTickYear = Spin(this, gbxAddToTickets, "speAddToTickYear", 8, 36, 1970, 2111, 2002);
  speAddToTickDraw = Spin(this, gbxAddToTickets, "speAddToTickDraw", 84, 36, 1, 999999999, 24, 88);
  btnAddToTickets = Button(this, gbxAddToTickets, "btnAddToTickets", "Добавить"_cp, 8, 62, 100);

  p = tsCompare;
  label(p, "Тиражи: с года, тиража"_cp, 8, 8);
  seYearFromCheck = Spin(this, p, "seYearFromCheck", 8, 28, 0, 0, 2001);
  seDrawFromCheck = Spin(this, p, "seDrawFromCheck", 84, 28, 0, 0, 1);
  label(p, "по год, тираж"_cp, 8, 56);
  seYearToCheck = Spin(this, p, "seYearToCheck", 8, 76, 0, 0, 2001);
  seDrawToCheck = Spin(this, p, "seDrawToCheck", 84, 76, 0, 0, 20);
  label(p, "Результаты: с года, тиража"_cp, 200, 8);
  seYearFromToRes = Spin(this, p, "seYearFromToRes", 200, 28, 0, 0, 2002);
  seDrawFromToRes = Spin(this, p, "seDrawFromToRes", 276, 28, 0, 0, 50);
  label(p, "по год, тираж"_cp, 200, 56);
  seYearToTores = Spin(this, p, "seYearToTores", 200, 76, 0, 0, 2002);
  seDrawToToRes = Spin(this, p, "seDrawToToRes", 276, 76, 0, 0, 50);
  btnDrawToRes = Button(this, p, "btnDrawToRes", "Занести в результаты"_cp, 200, 106, 150);
  btnCheck = Button(this, p, "btnCheck", "Проверка"_cp, 8, 136, 140);
  label(p, "Минимальное число совпадений"_cp, 8, 110);
  seNumOfCoins = Spin(this, p, "seNumOfCoins", 160, 136, 0, 50, 3, 50);
  memoCheck = NewControl<TMemo>(this, p, "memoCheck", 8, 170, 600, 260);
  memoCheck->SetScrollBars(ssBoth);

  p = tsTickets;
  DBGridTick = NewControl<TDBGrid>(this, p, "DBGridTick", 4, 4, 420, 330);
  DBGridTick->SetPopupMenu(TickPopUpMenu);
  btnOpenTick = Button(this, p, "btnOpenTick", "Открыть"_cp, 432, 4, 140);
  btnOpenTick->SetHint("Открыть базу с билетами"_cp);
  btnSaveTick = Button(this, p, "btnSaveTick", "Сохранить"_cp, 432, 34, 140);
  btnSaveTick->SetHint("Сохранить базу с билетами"_cp);
  cbxFiltered = Check(this, p, "cbxFiltered", "фильтрация"_cp, 432, 74, 140);
  speYearFilter = Spin(this, p, "speYearFilter", 432, 98, 0, 0, 2002);
  speDrawFilter = Spin(this, p, "speDrawFilter", 508, 98, 0, 0, 1, 60);
  label(p, "Проверка: с года, тиража"_cp, 4, 344);
  seYearFromTickCheck = Spin(this, p, "seYearFromTickCheck", 4, 364, 0, 0, 2002);
  seDrawFromTickCheck = Spin(this, p, "seDrawFromTickCheck", 80, 364, 0, 0, 1);
  label(p, "по год, тираж"_cp, 200, 344);
  seYearToTickCheck = Spin(this, p, "seYearToTickCheck", 200, 364, 0, 0, 2002);
  seDrawToTickCheck = Spin(this, p, "seDrawToTickCheck", 276, 364, 0, 0, 1);
  btnCheckTick = Button(this, p, "btnCheckTick", "Проверить"_cp, 432, 362, 140);
  btnCheckTick->SetHint("Проверить варианты"_cp);
  btnTickPreview = Button(this, p, "btnTickPreview", "Просмотр"_cp, 432, 140, 140);

  p = tsDownLoad;
  label(p, "Адрес"_cp, 8, 8);
  URLEditSrv = NewControl<TEdit>(this, p, "URLEditSrv", 8, 28, 500, 22);
  label(p, "Файл"_cp, 8, 60);
  FileNameEditSrv = NewControl<TEdit>(this, p, "FileNameEditSrv", 8, 80, 500, 22);
  btnSrvToPrb = Button(this, p, "btnSrvToPrb", "Загрузить"_cp, 516, 79, 100);
  ProgressBarGetFile = NewControl<TProgressBar>(this, p, "ProgressBarGetFile", 8, 116, 608, 18);
  ProgressBarGetFile->SetMax(0);
  // The older download panel, kept hidden.
  URLEdit = NewControl<TEdit>(this, p, "URLEdit", 8, 160, 500, 22);
  FileNameEdit = NewControl<TEdit>(this, p, "FileNameEdit", 8, 188, 500, 22);
  btnDownLoad = Button(this, p, "btnDownLoad", "Загрузить"_cp, 516, 187, 100);
  UseCacheBox = Check(this, p, "UseCacheBox", "Use Cache", 8, 216, 100);
  for (TControl* c : std::initializer_list<TControl*>{URLEdit, FileNameEdit, btnDownLoad, UseCacheBox})
    c->SetVisible(false);
}
