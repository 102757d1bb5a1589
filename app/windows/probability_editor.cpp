#include "app/windows/probability_editor.h"

#include <algorithm>

#include "app/settings/cached_ini.h"
#include "app/settings/language.h"
#include "platform/gui/core/application.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/sysutils.h"

TfrmProbability* frmProbability = nullptr;

namespace {

constexpr int kStep = 19;  // slider pitch
constexpr int kEditTop = 220;
constexpr int kEditHeight = 13;
const char* const kSection = "Probability";

}  // namespace

TfrmProbability::TfrmProbability(TComponent* AOwner) : TForm(AOwner) {
  SetName("frmProbability");
  SetCaption("Вероятность"_cp);
  SetBounds(0, 0, 710, 330);
  SetVisible(false);
  auto button = [this](const char* name, const AnsiString& caption) {
    auto* b = new TButton(this, this);
    b->SetName(name);
    b->SetCaption(caption);
    b->SetBounds(0, 0, 100, 25);
    return b;
  };
  btnApply = button("btnApply", "Применить"_cp);
  btnZeroProb = button("btnZeroProb", "Обнулить"_cp);
  btnUndoProb = button("btnUndoProb", "Откат"_cp);
  btnSaveProb = button("btnSaveProb", "Сохранить"_cp);
  btnLoadProb = button("btnLoadProb", "Загрузить"_cp);
  lblHint1 = new TLabel(this, this);
  lblHint1->SetName("lblHint1");
  lblHint1->SetCaption("Вверху - 100, внизу - 0"_cp);
  lblHint2 = new TLabel(this, this);
  lblHint2->SetName("lblHint2");
  lblHint2->SetCaption("Изменения вступают в силу после \"Применить\""_cp);
  OpenDialogProb = new TOpenDialog(this);
  OpenDialogProb->SetName("OpenDialogProb");
  SaveDialogProb = new TSaveDialog(this);
  SaveDialogProb->SetName("SaveDialogProb");

  btnApply->OnClick = [this](TObject* s) { btnApplyClick(s); };
  btnZeroProb->OnClick = [this](TObject* s) { btnZeroProbClick(s); };
  btnUndoProb->OnClick = [this](TObject* s) { btnUndoProbClick(s); };
  btnSaveProb->OnClick = [this](TObject* s) { btnSaveProbClick(s); };
  btnLoadProb->OnClick = [this](TObject* s) { btnLoadProbClick(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  frmProbability = this;
  OnDestroy = [this](TObject*) {
    if (frmProbability == this) frmProbability = nullptr;
  };
  FormCreate(this);
}

void TfrmProbability::FormCreate(TObject*) { ScrollBarsCreate(); }

void TfrmProbability::ScrollBarsCreate() {
  for (int i = 0; i < Count; ++i) {
    auto* bar = new TScrollBar(this, this);
    bar->SetKind(sbVertical);
    bar->SetParams(0, 0, 100);
    bar->SetTag(i);
    bar->SetShowHint(true);
    bar->SetHint(IntToStr(i));
    auto* label = new TLabel(this, this);
    label->SetTag(i);
    label->SetCaption(IntToStr(i));
    auto* edit = new TEdit(this, this);
    edit->SetTag(i);
    edit->Font()->SetName("Small Fonts");
    edit->Font()->SetSize(5);
    edit->SetText("100");
    if (i == 0) {
      for (TControl* c : {static_cast<TControl*>(bar), static_cast<TControl*>(label), static_cast<TControl*>(edit)})
        c->SetVisible(false);
    } else {
      const int left = (i - 1) * kStep + 7;
      bar->SetBounds(left, 32, 19, 177);
      label->SetBounds(left, 8, 19, 13);
      edit->SetBounds(left, kEditTop, 19, kEditHeight);
    }
    bar->OnChange = [this](TObject* s) { ScrollBarChange(s); };
    edit->OnChange = [this](TObject* s) { EditChange(s); };
    ScrollBars[static_cast<std::size_t>(i)] = bar;
    Labels[static_cast<std::size_t>(i)] = label;
    Edits[static_cast<std::size_t>(i)] = edit;
  }
}

void TfrmProbability::FormShow(TObject*) {
  const int n = Highest();
  for (int i = 1; i < Count; ++i) {
    const bool shown = i <= n;
    for (TControl* c :
         {static_cast<TControl*>(ScrollBars[i]), static_cast<TControl*>(Labels[i]), static_cast<TControl*>(Edits[i])}) {
      c->SetEnabled(shown);
      c->SetVisible(shown);
    }
    if (shown) ScrollBars[i]->SetPosition(100 - (*Weights)[static_cast<std::size_t>(i - 1)]);
  }
  ResizeAll();
}

void TfrmProbability::ResizeAll() {
  const int n = Highest();
  int width = std::max((n + 1) * kStep + 20, 710);
  if (Screen && Screen->Width() > 0) width = std::min(width, Screen->Width());
  SetWidth(width);
  const int top = kEditTop + kEditHeight + 10;
  int left = 10;
  for (TButton* b : {btnApply, btnZeroProb, btnUndoProb, btnSaveProb, btnLoadProb}) {
    b->SetBounds(left, top, 100, 25);
    left += 110;
  }
  lblHint1->SetBounds(10, top + 35, 600, 16);
  lblHint2->SetBounds(10, top + 55, 600, 16);
  SetClientHeight(top + 80);
  if (Screen && Screen->Width() > 0) SetLeft((Screen->Width() - Width()) / 2);
}

void TfrmProbability::FormClose(TObject*, TCloseAction&) {
  if (OnClosed) OnClosed();
}

void TfrmProbability::MarkPending(bool pending) { btnApply->Font()->SetColor(pending ? RGB(255, 0, 0) : clBlack); }

bool TfrmProbability::ChangesPending() const { return btnApply->Font()->Color() == RGB(255, 0, 0); }

void TfrmProbability::ScrollBarChange(TObject* Sender) {
  auto* bar = static_cast<TScrollBar*>(Sender);
  const int i = bar->Tag();
  if (i == typedNumber_) return;  // the edit moved it: keep what was typed
  Edits[static_cast<std::size_t>(i)]->SetText(IntToStr(100 - bar->Position()));
}

void TfrmProbability::EditChange(TObject* Sender) {
  auto* edit = static_cast<TEdit*>(Sender);
  const int i = edit->Tag();
  if (edit->Text().empty()) return;
  int value = 0;
  if (!TryStrToInt(edit->Text(), value) || value < 0) {
    ShowMessage(vx::Tr("Введите числовое значение"_cp));
    return;
  }
  TScrollBar* bar = ScrollBars[static_cast<std::size_t>(i)];
  const int previous = typedNumber_;
  typedNumber_ = i;
  bar->SetPosition(100 - std::min(value, 100));
  typedNumber_ = previous;
  if (i >= 1 && i <= Highest() && 100 - bar->Position() != (*Weights)[static_cast<std::size_t>(i - 1)])
    MarkPending(true);
}

void TfrmProbability::btnApplyClick(TObject*) {
  for (int i = 1; i <= Highest() && i < Count; ++i)
    (*Weights)[static_cast<std::size_t>(i - 1)] = 100 - ScrollBars[static_cast<std::size_t>(i)]->Position();
  MarkPending(false);
}

void TfrmProbability::btnZeroProbClick(TObject*) {
  for (int i = 1; i < Count; ++i)
    if (ScrollBars[static_cast<std::size_t>(i)]->Visible()) ScrollBars[static_cast<std::size_t>(i)]->SetPosition(100);
}

void TfrmProbability::btnUndoProbClick(TObject*) {
  for (int i = 1; i <= Highest() && i < Count; ++i)
    ScrollBars[static_cast<std::size_t>(i)]->SetPosition(100 - (*Weights)[static_cast<std::size_t>(i - 1)]);
  MarkPending(false);
}

void TfrmProbability::btnSaveProbClick(TObject*) {
  SaveDialogProb->SetFilter("Probability Files|*.prb");
  SaveDialogProb->SetDefaultExt("prb");
  SaveDialogProb->SetInitialDir(vx::ProgramFolder());
  if (SaveDialogProb->Execute()) ProbabilitySave(SaveDialogProb->FileName());
}

void TfrmProbability::btnLoadProbClick(TObject*) {
  OpenDialogProb->SetFilter("Probability Files|*.prb");
  OpenDialogProb->SetDefaultExt("prb");
  OpenDialogProb->SetInitialDir(vx::ProgramFolder());
  if (OpenDialogProb->Execute()) ProbabilityOpen(OpenDialogProb->FileName());
}

void TfrmProbability::ProbabilitySave(const AnsiString& fileName) {
  TCachedIniFile ini(fileName);
  for (int k = 0; k < Count; ++k)
    ini.WriteInteger(kSection, IntToStr(k), 100 - ScrollBars[static_cast<std::size_t>(k)]->Position());
  ini.UpdateFile();
}

void TfrmProbability::ProbabilityOpen(const AnsiString& fileName) {
  // Read without a file name: a reader with one writes a file whose
  // sections it merged back on its end, and the user only loaded it.
  TCachedIniFile ini("");
  ini.LoadFromFile(fileName);
  for (int k = 0; k < Count; ++k)
    ScrollBars[static_cast<std::size_t>(k)]->SetPosition(100 -
                                                         std::clamp(ini.ReadInteger(kSection, IntToStr(k), 0), 0, 100));
  MarkPending(true);
}
