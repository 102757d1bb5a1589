#include "app/windows/visual_view.h"

#include "app/analysis/probability.h"
#include "app/bases/base_grids.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/sysutils.h"

TfrmVisual* frmVisual = nullptr;

namespace {

// The smallest side whose square holds every number 1..highest.
int TableSide(int highest) {
  int side = 0;
  while (side < TLottoTable::MaxSide && side * side < highest) ++side;
  return side;
}

}  // namespace

TfrmVisual::TfrmVisual(TComponent* AOwner) : TForm(AOwner) {
  SetName("frmVisual");
  SetCaption("Визуальное представление"_cp);
  SetBounds(0, 0, 660, 540);
  SetVisible(false);

  for (int i = 0; i < TableCount; ++i) {
    const int left = 8 + (i % 3) * 215, top = 48 + (i / 3) * 235;
    auto* label = new TLabel(this, this);
    label->SetName("lbl" + IntToStr(i + 1));
    label->SetTag(i + 1);
    label->SetCaption("");
    label->SetBounds(left, top - 18, 200, 16);
    Labels[static_cast<std::size_t>(i)] = label;
    auto* table = new TLottoTable(this, this);
    table->SetName("LottoTable" + IntToStr(i + 1));
    table->SetBounds(left, top, 200, 200);
    table->SetNumberOfColumns(9);
    table->SetNumberOfRows(9);
    table->SetBackColor(clYellow);
    table->SetButtonColor(clBtnFace);
    table->SetInActiveColor(clBlack);
    table->SetBorderColor(clBlack);
    table->SetThroughRow(false);
    LottoTables[static_cast<std::size_t>(i)] = table;
  }

  // A captioned spin edit: the label at `left`, the edit after it.
  auto spin = [this](const char* label, const AnsiString& caption, const char* name, int left, int min, int max,
                     int value) {
    auto* l = new TLabel(this, this);
    l->SetName(label);
    l->SetCaption(caption);
    l->SetBounds(left, 8, 40, 16);
    auto* s = new TSpinEdit(this, this);
    s->SetName(name);
    s->SetBounds(left + 42, 4, 66, 22);
    s->SetMinValue(min);
    s->SetMaxValue(max);
    s->SetValue(value);
    return s;
  };
  seYearFromVisual = spin("lblYearVisual", "Год"_cp, "seYearFromVisual", 8, 0, 3000, 2000);
  seDrawFromVisual = spin("lblDrawVisual", "Тираж"_cp, "seDrawFromVisual", 122, 1, 999, 1);

  auto button = [this](const char* name, const AnsiString& caption, int left) {
    auto* b = new TButton(this, this);
    b->SetName(name);
    b->SetCaption(caption);
    b->SetBounds(left, 3, 110, 25);
    return b;
  };
  btnPrev = button("btnPrev", "Предыдущие"_cp, 240);
  btnNext = button("btnNext", "Следующие"_cp, 355);
  btnRefresh = button("btnRefresh", "Обновить"_cp, 470);
  btnPrev->OnClick = [this](TObject*) { Prev(); };
  btnNext->OnClick = [this](TObject*) { Next(); };
  btnRefresh->OnClick = [this](TObject*) {
    SetInitValue();
    Fill();
  };
  const TNotifyEvent changed = [this](TObject*) {
    if (!Updating) Fill();
  };
  seYearFromVisual->OnChange = changed;
  seDrawFromVisual->OnChange = changed;

  OnShow = [this](TObject* s) { FormShow(s); };
  frmVisual = this;
  OnDestroy = [this](TObject*) {
    Refill.Cancel(this);
    if (frmVisual == this) frmVisual = nullptr;
  };
}

void TfrmVisual::SetInitValue() {
  const Shape shape = GameShape ? GameShape() : Shape{};
  const int highest = shape.Highest, drawn = shape.Drawn;
  const int side = TableSide(highest);
  for (TComponent* c : Components()) {
    auto* table = dynamic_cast<TLottoTable*>(c);
    if (!table) continue;
    table->SetNumberOfColumns(side);
    table->SetNumberOfRows(side);
    table->SetMaxSelected(drawn);
    table->SetMaxTotal(highest);
    table->Reset();
  }
}

void TfrmVisual::FormShow(TObject*) {
  Updating = false;
  SetInitValue();
  Fill();
}

void TfrmVisual::Fill() { FillFrom(0); }

void TfrmVisual::Next() { FillFrom(1); }

void TfrmVisual::Prev() { FillFrom(-1); }

void TfrmVisual::FillFrom(int step) {
  // While a command walks the base the view waits for it to end.
  Refill.Run(this, [this, step] { FillNow(step); });
}

void TfrmVisual::FillNow(int step) {
  TDataSet* base = OpenDrawBase ? OpenDrawBase() : nullptr;
  if (!base) return;
  vx::ControlsDisabled quiet(base);
  vx::KeepCursor keep(base);
  {
    vx::DataSetDrawSource source(base);
    if (vx::SeekDraw(source, seYearFromVisual->Value(), seDrawFromVisual->Value(), nullptr) != vx::SeekResult::Found)
      return;
  }
  if (step > 0) base->Next();
  else if (step < 0) base->Prior();

  Updating = true;
  seYearFromVisual->SetValue(base->Fields()[0]->AsInteger());
  seDrawFromVisual->SetValue(base->Fields()[1]->AsInteger());
  Updating = false;

  int filled = 0;
  bool end = false;
  for (TComponent* c : Components()) {
    auto* table = dynamic_cast<TLottoTable*>(c);
    if (!table) continue;
    table->Reset();
    if (end) continue;
    ++filled;
    const AnsiString caption = base->Fields()[0]->AsString() + " - " + base->Fields()[1]->AsString();
    for (TComponent* l : Components())
      if (auto* label = dynamic_cast<TLabel*>(l); label && label->Tag() == filled) label->SetCaption(caption);
    for (int i = 2; i < base->FieldCount(); ++i) table->SelectNumber(base->Fields()[i]->AsInteger());
    base->Next();
    end = base->Eof();
  }
  for (TComponent* l : Components())
    if (auto* label = dynamic_cast<TLabel*>(l); label && label->Tag() > filled) label->SetCaption("");
}
