#include "app/main/formmain.h"

#include <algorithm>

#include "app/bases/draw_base.h"
#include "app/bases/newbase_dialogs.h"
#include "app/main/command_scope.h"
#include "app/settings/language.h"
#include "app/settings/options.h"
#include "app/windows/base_viewer.h"
#include "app/windows/note_pad.h"
#include "app/windows/number_series.h"
#include "app/windows/probability_editor.h"
#include "app/windows/type5_dialog.h"
#include "app/windows/visual_view.h"
#include "platform/gui/core/application.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/dateutils.h"
#include "platform/rtl/random.h"
#include "platform/rtl/sysutils.h"

TFormMain* FormMain = nullptr;

void vx::PostPending(TDataSet* dataSet) {
  if (!dataSet || !dataSet->Active() || !IsEditState(dataSet->State())) return;
  // Text still open in a grid's cell editor goes into its field first.
  dataSet->UpdateRecord();
  if (dataSet->Modified()) dataSet->Post();
}

TFormMain::TFormMain(TComponent* AOwner) : TForm(AOwner) {
  SetName("FormMain");
  SetCaption("Вексамун"_cp);
  SetHint("Вексамун"_cp);
  SetBounds(200, 100, 885, 560);
  FormMain = this;

  BuildMenu();
  BuildFrame();
  BuildProbabilityPage();
  BuildStatisticsPage();
  BuildGenerationPage();
  BuildOtherPages();

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnCloseQuery = [this](TObject* s, bool& canClose) { FormCloseQuery(s, canClose); };

  btnStop->OnClick = [this](TObject* s) { btnStopClick(s); };
  const TNotifyEvent highest = [this](TObject* s) { seHighestChange(s); };
  seHighest->OnChange = highest;
  seFrom->OnChange = highest;
  const TNotifyEvent drawn = [this](TObject* s) { seDrawnChange(s); };
  seDrawn->OnChange = drawn;
  seSystem->OnChange = drawn;
  seNum->OnChange = drawn;
  const TNotifyEvent check = [this](TObject* s) { CheckCorrect(s); };
  for (TSpinEdit* s : {seYearFrom, seDrawFrom, seYearTo, seDrawTo}) s->OnChange = check;

  Exit1->OnClick = [this](TObject* s) { Exit1Click(s); };
  mnuLang->OnClick = Command(&TFormMain::mnuLangClick);
  btnRegulators->OnClick = Command(&TFormMain::btnRegulatorsClick);
  btnSaveLang->OnClick = Command(&TFormMain::btnSaveLangClick);
  Button1->OnClick = Command(&TFormMain::Button1Click);

  ConnectBaseCommands();
  ConnectProbabilityCommands();
  ConnectResultCommands();
  ConnectTicketCommands();
  ConnectExportCommands();
  ConnectGenerationCommands();
  ConnectDyadCommands();
  ConnectWeightingCommands();
  ConnectDownloadCommands();
  ConnectWindowCommands();
  ConnectWheelCommands();
  ConnectStatisticsCommands();
  ConnectStabilityTest();
}

TFormMain::~TFormMain() {
  // Runs here rather than from the base destructor, while this is still
  // a TFormMain.
  FormDestroy(this);
  DisconnectBaseWindows();
  if (FormMain == this) FormMain = nullptr;
}

// ---------------------------------------------------------------------------
// Start-up and shut-down

void TFormMain::FormCreate(TObject*) {
  Randomize();
  lblErrorMessage->SetCaption("");
  SetBusy(false);
  btnStop->SetAlign(alClient);

  DecodeDate(Date(), TodayYear, TodayMonth, TodayDay);

  CreateHttpClient();

  StopFlag = false;
  resizeAll();

  DefaultBaseName = vx::ProgramFolder() + "Untitled";
  TempResultsTable = vx::ProgramFolder() + "tempres.dbf";

  HighestNumber = 49;
  DrawnCount = 6;
  BaseHighestNumber = HighestNumber;
  BaseDrawnCount = DrawnCount;
  ApplyDrawnCount();
  ApplyHighestNumber();

  LoadAll();
  UseCacheBox->SetChecked(HttpFetchFile->UseCache());
}

void TFormMain::FormCloseQuery(TObject*, bool& CanClose) {
  // Quitting ends the program without closing the other windows, so the
  // ones holding the user's work close first, as their own close buttons
  // would: the number-series table is saved, and the note pad asks about
  // unsaved text, its Cancel keeping the program running.
  for (TForm* window : {static_cast<TForm*>(frmRowNum), static_cast<TForm*>(frmDuzediv)}) {
    if (!window || !window->Visible()) continue;
    window->Close();
    if (window->Visible()) {
      CanClose = false;
      return;
    }
  }
  StopFlag = true;
  // A command still on the stack may be using the bases; they are closed
  // when the window goes, after the command has returned.
  if (!Busy && !vx::CommandGuard::Running()) CloseBases();
  SaveAll();
  CanClose = true;
}

void TFormMain::FormDestroy(TObject*) {
  // A running transfer is aborted and its events dropped.
  delete HttpFetchFile;
  HttpFetchFile = nullptr;
  CloseBases();
}

void TFormMain::CloseBases() {
  for (TDataSet* d : {TableMain, TableRes, TableTick}) {
    try {
      vx::PostPending(d);
    } catch (Exception& e) { Application->ShowException(e); }
  }
  for (TDataSet* d : {TableMain, TableRes, TableTick}) {
    if (!d || !d->Active()) continue;
    try {
      d->Close();
    } catch (Exception& e) { Application->ShowException(e); }
  }
}

void TFormMain::ConnectWindows() {
  if (frmOptions) {
    frmOptions->OnTabStyle = [this](bool multiLine) { PageControlMain->SetMultiLine(multiLine); };
    PageControlMain->SetMultiLine(frmOptions->cbxMultilineTab->Checked());
  }
  for (TNewBaseDialog* dialog : std::initializer_list<TNewBaseDialog*>{frmNewBase, frmNewResBase, frmNewTickBase})
    if (dialog)
      dialog->TableInUse = [this](const AnsiString& path) {
        return vx::IsOpenTable(path, {TableMain, TableRes, TableTick});
      };
  if (frmProbability) {
    frmProbability->Weights = &Weights;
    frmProbability->OnClosed = [this] { ShowProbabilityCount(); };
  }
  if (frmType5) {
    frmType5->seFirstSample->SetValue(FirstSample);
    frmType5->OnFirstSample = [this](int count) { FirstSample = count; };
  }
  RowNumRange = [](int position, int& lo, int& hi) {
    if (frmRowNum) frmRowNum->PositionRange(position, lo, hi);
    else lo = hi = StrToInt("");  // as an empty cell
  };
  if (frmNewBase)
    frmNewBase->OnBaseCreated = [this](const AnsiString& path) {
      TMenuItem source(nullptr);
      source.SetHint(path);
      OpenMainClick(&source);
    };
  if (frmNewResBase)
    frmNewResBase->OnBaseCreated = [this](const AnsiString& path) {
      OpenTableAs(TableRes, path);
      LayOutResultGrid();
    };
  if (frmNewTickBase)
    frmNewTickBase->OnBaseCreated = [this](const AnsiString& path) {
      OpenTableAs(TableTick, path);
      LayOutTicketGrid();
    };
  const vx::IdleRefill refill{vx::RefillWhenIdle, vx::ForgetRefill};
  if (frmShowBase) {
    frmShowBase->DrawBase = [this] { return TableMain; };
    frmShowBase->ResultsBase = [this] { return TableRes; };
    frmShowBase->MainWidth = [this] { return Width(); };
    frmShowBase->Refill = refill;
  }
  if (frmVisual) {
    frmVisual->SetPopupMenu(ResPopUpMenu);
    frmVisual->OpenDrawBase = [this] { return CheckOpened() ? TableMain : nullptr; };
    frmVisual->GameShape = [this] { return TfrmVisual::Shape{BaseDrawnCount, BaseHighestNumber}; };
    frmVisual->Refill = refill;
  }
}

void TFormMain::DisconnectBaseWindows() {
  if (frmShowBase) {
    frmShowBase->DrawBase = frmShowBase->ResultsBase = nullptr;
    frmShowBase->MainWidth = nullptr;
  }
  if (frmVisual) {
    frmVisual->OpenDrawBase = nullptr;
    frmVisual->GameShape = nullptr;
  }
}

// ---------------------------------------------------------------------------
// Busy state

void TFormMain::SetBusy(bool busy) {
  if (busy) {
    StopFlag = false;
    btnStop->SetEnabled(true);
    Busy = true;
  } else {
    StopFlag = true;
    btnStop->SetEnabled(false);
    PBar->SetPosition(0);
    Busy = false;
  }
}

bool TFormMain::PollStop() {
  PBar->StepIt();
  Application->ProcessMessages();
  return StopFlag;
}

TNotifyEvent TFormMain::Command(void (TFormMain::*handler)(TObject*)) {
  return Command([this, handler](TObject* s) { (this->*handler)(s); });
}

TNotifyEvent TFormMain::Command(TNotifyEvent handler) {
  return [this, handler](TObject* s) {
    if (Busy || vx::CommandGuard::Running()) return;
    vx::CommandGuard guard(*this);
    handler(s);
  };
}

void TFormMain::btnStopClick(TObject*) { SetBusy(false); }

// ---------------------------------------------------------------------------
// Game shape

void TFormMain::ApplyHighestNumber() {
  seHighest->SetValue(HighestNumber);
  Weights.resize(static_cast<std::size_t>(std::max(HighestNumber, 0)), 0);
}

void TFormMain::ApplyDrawnCount() { seDrawn->SetValue(DrawnCount); }

void TFormMain::seHighestChange(TObject*) {
  if (seHighest->Value() > MaxHighestNumber) {
    ShowMessage(vx::Tr("Установите это значение не более"_cp) + " " + IntToStr(MaxHighestNumber));
    seHighest->SetValue(MaxHighestNumber);
  }
  HighestNumber = seHighest->Value();
  ApplyHighestNumber();
}

void TFormMain::seDrawnChange(TObject*) {
  DrawnCount = seDrawn->Value();
  ApplyDrawnCount();
}

void TFormMain::InitValue() {
  seDrawn->SetValue(DrawnCount);
  seSystem->SetValue(DrawnCount);
  seNum->SetValue(DrawnCount);
  seHighest->SetValue(HighestNumber);
  seFrom->SetValue(HighestNumber);
  seYearIndNumber->SetValue(LastYear);
  seDrawIndNumber->SetValue(LastDraw);
}

void TFormMain::CheckCorrect(TObject*) {
  if (!RangeCheckEnabled) return;
  if (seDrawTo->Value() < seDrawFrom->Value() && seYearTo->Value() <= seYearFrom->Value())
    lblErrorMessage->SetCaption(vx::Tr("ошибка задания тиража"_cp));
  else if (seYearTo->Value() >= seYearFrom->Value()) lblErrorMessage->SetCaption("");
  else lblErrorMessage->SetCaption(vx::Tr("ошибка задания года"_cp));
}

void TFormMain::resizeAll() {
  PageControlMain->SetLeft(DBGridMain->Left() + DBGridMain->Width() + 5);
  SetWidth(PageControlMain->Width() + DBGridMain->Width() + 35);
  PageControlMain->SetTop(DBGridMain->Top());
  SetHeight(DBGridMain->Top() + DBGridMain->Height() + PBar->Height() + 60);
}

int TFormMain::ShowProbabilityCount() {
  const int count = static_cast<int>(std::count_if(Weights.begin(), Weights.end(), [](int w) { return w > 0; }));
  lblNumWithNonZeroProb->SetCaption(IntToStr(count));
  lblNumWithNonZeroProb->Font()->SetColor(count != 0 ? RGB(0, 128, 0) : RGB(255, 0, 0));
  return count;
}

bool TFormMain::CheckOpened() {
  if (TableMain && TableMain->Active()) return true;
  ShowMessage(vx::Tr("база не открыта"_cp));
  return false;
}

// ---------------------------------------------------------------------------
// Recent-file entry of the base menu

TMenuItem* TFormMain::RecentFileItem() const { return mnuBase->Count() > 8 ? mnuBase->Items(8) : nullptr; }

void TFormMain::SetRecentFile(const AnsiString& path) {
  if (TMenuItem* old = RecentFileItem()) {
    mnuBase->Delete(8);
    delete old;
  }
  auto* item = new TMenuItem(this);
  AnsiString caption;
  for (char ch : path) {
    caption += ch;
    if (ch == '&') caption += '&';
  }
  item->SetCaption(caption);
  item->SetHint(path);
  item->OnClick = Command([this](TObject* s) {
    if (OnOpenRecent) OnOpenRecent(s);
  });
  mnuBase->Insert(8, item);
}

// ---------------------------------------------------------------------------
// Commands of the window itself

void TFormMain::Exit1Click(TObject*) { Close(); }

void TFormMain::mnuLangClick(TObject*) {
  if (frmLang) frmLang->ChooseLanguage("frmLang");
}

void TFormMain::btnSaveLangClick(TObject* Sender) {
  if (frmLang) frmLang->btnSaveLangClick(Sender);
}

void TFormMain::btnRegulatorsClick(TObject*) {
  if (!frmProbability) return;
  frmProbability->btnApply->Font()->SetColor(clBlack);
  frmProbability->Show();
}

void TFormMain::Button1Click(TObject*) {
  mMM->Clear();
  for (int v = 0; v <= 6; ++v) {
    const bool in = v >= 1 && v <= 4;
    mMM->Lines()->Add(IntToStr(v) + (in ? " in array" : " Not in array"));
  }
}

void TFormMain::ShowPage(TTabSheet* page) { PageControlMain->SetActivePage(page); }
