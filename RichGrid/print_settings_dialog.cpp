#include "RichGrid/print_settings_dialog.h"

#include <cmath>

#include "RichGrid/rich_grid.h"
#include "RichGrid/spin_edit.h"
#include "platform/gui/core/control_placing.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"

namespace {

const char* const kPositions[] = {"(none)",      "Top Left",     "Top Right",    "Top Center",
                                  "Bottom Left", "Bottom Right", "Bottom Center"};
const char* const kIniFilter = "INI files (*.ini)|*.ini|All files (*.*)|*.*";
const char* const kSection = "PRINTSETTINGS";

using vx::NewControl;

TLabel* LabelAt(TComponent* owner, TWinControl* parent, const AnsiString& text, int left, int top) {
  auto* l = new TLabel(owner, parent);
  l->SetCaption(text);
  l->SetLeft(left);
  l->SetTop(top + 3);
  return l;
}

TComboBox* List(TComponent* owner, TWinControl* parent, const char* name, int top,
                std::initializer_list<const char*> items) {
  auto* c = NewControl<TComboBox>(owner, parent, name, 120, top, 190, 22);
  c->SetStyle(csDropDownList);
  for (const char* item : items) c->Items()->Add(item);
  return c;
}

TComboBox* PositionList(TComponent* owner, TWinControl* parent, const char* name, int top) {
  auto* c = NewControl<TComboBox>(owner, parent, name, 120, top, 190, 22);
  c->SetStyle(csDropDownList);
  for (const char* item : kPositions) c->Items()->Add(item);
  return c;
}

TCheckBox* Check(TComponent* owner, TWinControl* parent, const char* name, const char* caption, int left, int top) {
  auto* c = NewControl<TCheckBox>(owner, parent, name, left, top, 150, 20);
  c->SetCaption(caption);
  return c;
}

TButton* Button(TComponent* owner, TWinControl* parent, const char* name, const char* caption, int left, int top,
                int width) {
  auto* b = NewControl<TButton>(owner, parent, name, left, top, width, 25);
  b->SetCaption(caption);
  return b;
}

TRichSpinEdit* Spin(TComponent* owner, TWinControl* parent, const char* name, int top, double max) {
  auto* s = NewControl<TRichSpinEdit>(owner, parent, name, 140, top, 90, 22);
  s->SetSpinType(sptFloat);
  s->SetPrecision(2);
  s->SetIncrementFloat(0.1);
  s->SetMinFloatValue(0);
  s->SetMaxFloatValue(max);
  return s;
}

// A list shows the item of its setting's ordinal, none for a value
// without an item.
void ShowItem(TComboBox* list, int ordinal) { list->SetItemIndex(ordinal < list->Items()->Count() ? ordinal : -1); }

}  // namespace

// ---------------------------------------------------------------------------
// The window

TRichGridPrintSettingsForm::TRichGridPrintSettingsForm(TComponent* AOwner) : TForm(AOwner) {
  SetName("RichGridPrintSettingsForm");
  SetCaption("Print Settings");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetVisible(false);
  SetBounds(0, 0, 560, 410);

  PageControl = NewControl<TPageControl>(this, this, "PageControl", 0, 0, 340, 360);
  auto page = [this](const char* name, const char* caption) {
    auto* p = new TTabSheet(this, PageControl);
    p->SetName(name);
    p->SetCaption(caption);
    return p;
  };
  tsGeneral = page("tsGeneral", "General");
  tsHeaders = page("tsHeaders", "Headers / Footers");
  tsMargins = page("tsMargins", "Margins");
  tsPreferences = page("tsPreferences", "Preferences");
  auto group = [this](TWinControl* parent, const char* name, const char* caption, int top, int height) {
    auto* g = NewControl<TGroupBox>(this, parent, name, 6, top, 318, height);
    g->SetCaption(caption);
    return g;
  };

  gbBorders = group(tsGeneral, "gbBorders", "Borders:", 4, 78);
  LabelAt(this, gbBorders, "&Border:", 10, 18);
  cbBorders =
      List(this, gbBorders, "cbBorders", 18,
           {"(none)", "Single", "Double", "Vertical", "Horizontal", "Around", "Around Vertical", "Around Horizontal"});
  LabelAt(this, gbBorders, "Border &Style:", 10, 46);
  cbBorderStyle =
      List(this, gbBorders, "cbBorderStyle", 46, {"Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot", "(none)"});
  gbGeneral = group(tsGeneral, "gbGeneral", "General:", 86, 120);
  LabelAt(this, gbGeneral, "Fit to &Page:", 10, 18);
  cbFitToPage = List(this, gbGeneral, "cbFitToPage", 18, {"Never", "Grow to Fit", "Shrink to Fit", "Always"});
  ckAutoSize = Check(this, gbGeneral, "ckAutoSize", "&AutoSize Columns", 10, 46);
  ckCenter = Check(this, gbGeneral, "ckCenter", "&Center on Page", 164, 46);
  ckRepeatRows = Check(this, gbGeneral, "ckRepeatRows", "Repeat Fixed Ro&ws", 10, 70);
  ckRepeatCols = Check(this, gbGeneral, "ckRepeatCols", "Repeat Fi&xed Columns", 164, 70);
  ckPrintGraphics = Check(this, gbGeneral, "ckPrintGraphics", "Print graphics", 10, 94);
  gbFonts = group(tsGeneral, "gbFonts", "Fonts:", 210, 116);
  btnHeaderFont = Button(this, gbFonts, "btnHeaderFont", "Select the Header Font", 10, 20, 200);
  btnFooterFont = Button(this, gbFonts, "btnFooterFont", "Select the Footer Font", 10, 52, 200);
  btnTableFont = Button(this, gbFonts, "btnTableFont", "Select the Table Font", 10, 84, 200);

  gbDateTime = group(tsHeaders, "gbDateTime", "Date / Time:", 4, 104);
  LabelAt(this, gbDateTime, "&Date Position:", 10, 18);
  cbDatePos = PositionList(this, gbDateTime, "cbDatePos", 18);
  LabelAt(this, gbDateTime, "&Time Position:", 10, 46);
  cbTimePos = PositionList(this, gbDateTime, "cbTimePos", 46);
  LabelAt(this, gbDateTime, "Date &Format:", 10, 74);
  edDateFormat = NewControl<TEdit>(this, gbDateTime, "edDateFormat", 120, 74, 190, 22);
  gbTitle = group(tsHeaders, "gbTitle", "Title:", 112, 104);
  LabelAt(this, gbTitle, "Title Te&xt:", 10, 18);
  meTitle = NewControl<TMemo>(this, gbTitle, "meTitle", 120, 18, 190, 48);
  meTitle->SetWordWrap(false);
  LabelAt(this, gbTitle, "Title Po&sition:", 10, 74);
  cbTitlePos = PositionList(this, gbTitle, "cbTitlePos", 74);
  gbPages = group(tsHeaders, "gbPages", "Page Numbers:", 220, 112);
  LabelAt(this, gbPages, "Pr&efix:", 10, 18);
  edPrefix = NewControl<TEdit>(this, gbPages, "edPrefix", 120, 18, 190, 20);
  LabelAt(this, gbPages, "Sep&arator:", 10, 40);
  edSeparator = NewControl<TEdit>(this, gbPages, "edSeparator", 120, 40, 190, 20);
  LabelAt(this, gbPages, "S&uffix:", 10, 62);
  edSuffix = NewControl<TEdit>(this, gbPages, "edSuffix", 120, 62, 190, 20);
  LabelAt(this, gbPages, "&Pages Position:", 10, 84);
  cbPagesPos = PositionList(this, gbPages, "cbPagesPos", 84);

  int unit = 0;
  auto length = [this, &unit](TGroupBox* box, const char* name, const char* caption, int top, double max) {
    LabelAt(this, box, caption, 10, top);
    TRichSpinEdit* s = Spin(this, box, name, top, max);
    UnitLabels[unit] = NewControl<TLabel>(this, box, ("lblUnit" + IntToStr(unit + 1)).c_str(), 236, top + 3, 40, 16);
    ++unit;
    return s;
  };
  gbMargins = group(tsMargins, "gbMargins", "Margins:", 4, 150);
  seTop = length(gbMargins, "seTop", "&Top Margin :", 18, 500);
  seLeft = length(gbMargins, "seLeft", "&Left Margin :", 44, 500);
  seRight = length(gbMargins, "seRight", "&Right Margin :", 70, 500);
  seBottom = length(gbMargins, "seBottom", "&Bottom Margin :", 96, 500);
  rbMM = NewControl<TRadioButton>(this, gbMargins, "rbMM", 140, 124, 60, 20);
  rbMM->SetCaption("mm");
  rbInch = NewControl<TRadioButton>(this, gbMargins, "rbInch", 210, 124, 60, 20);
  rbInch->SetCaption("inch");
  rbMM->SetChecked(true);
  gbOrientation = group(tsMargins, "gbOrientation", "Orientation:", 158, 50);
  LabelAt(this, gbOrientation, "&Page Orientation:", 10, 18);
  cbOrientation = List(this, gbOrientation, "cbOrientation", 18, {"Portrait", "Landscape"});
  gbSpacing = group(tsMargins, "gbSpacing", "Spacing:", 212, 104);
  seRowSpacing = length(gbSpacing, "seRowSpacing", "Row &Spacing :", 18, 100);
  seColSpacing = length(gbSpacing, "seColSpacing", "C&olumn Spacing :", 44, 100);
  seTitleMargin = length(gbSpacing, "seTitleMargin", "Title &Margin :", 70, 100);

  gbSaveSettings = group(tsPreferences, "gbSaveSettings", "Save settings", 4, 60);
  btnLoad = Button(this, gbSaveSettings, "btnLoad", "&Load settings", 10, 22, 140);
  btnSave = Button(this, gbSaveSettings, "btnSave", "&Save settings", 164, 22, 140);

  pnlSketch = NewControl<TPanel>(this, this, "pnlSketch", 340, 0, 220, 360);
  pnlSketch->SetBevelOuter(bvLowered);
  pnlSketch->SetColor(clWindow);
  pbSketch = NewControl<TPaintBox>(this, pnlSketch, "pbSketch", 12, 28, 196, 277);
  btnOK = Button(this, this, "btnOK", "OK", 0, 370, 75);
  btnOK->SetDefault(true);
  btnOK->SetModalResult(mrOk);
  btnCancel = Button(this, this, "btnCancel", "Cancel", 0, 370, 75);
  btnCancel->SetCancel(true);
  btnCancel->SetModalResult(mrCancel);
  FontDialog = new TFontDialog(this);
  OpenDialog = new TOpenDialog(this);
  OpenDialog->SetFilter(kIniFilter);
  SaveDialog = new TSaveDialog(this);
  SaveDialog->SetFilter(kIniFilter);

  lengths_[0] = {seTop, &TPrintsettings::HeaderSize, &TPrintsettings::SetHeaderSize};
  lengths_[1] = {seLeft, &TPrintsettings::LeftSize, &TPrintsettings::SetLeftSize};
  lengths_[2] = {seRight, &TPrintsettings::RightSize, &TPrintsettings::SetRightSize};
  lengths_[3] = {seBottom, &TPrintsettings::FooterSize, &TPrintsettings::SetFooterSize};
  lengths_[4] = {seRowSpacing, &TPrintsettings::RowSpacing, &TPrintsettings::SetRowSpacing};
  lengths_[5] = {seColSpacing, &TPrintsettings::ColumnSpacing, &TPrintsettings::SetColumnSpacing};
  lengths_[6] = {seTitleMargin, &TPrintsettings::TitleSpacing, &TPrintsettings::SetTitleSpacing};

  const TNotifyEvent changed = [this](TObject*) { Changed(); };
  for (TComboBox* c :
       {cbBorders, cbBorderStyle, cbFitToPage, cbDatePos, cbTimePos, cbTitlePos, cbPagesPos, cbOrientation})
    c->OnChange = changed;
  for (TCheckBox* c : {ckAutoSize, ckCenter, ckRepeatRows, ckRepeatCols, ckPrintGraphics}) c->OnClick = changed;
  for (TEdit* e : {edDateFormat, edPrefix, edSeparator, edSuffix}) e->OnChange = changed;
  meTitle->OnChange = changed;
  for (const Length& l : lengths_) {
    TRichSpinEdit* edit = l.edit;
    edit->OnChange = [this, edit](TObject*) { SpinChanged(edit); };
  }
  rbMM->OnClick = [this](TObject*) { UnitChanged(); };
  rbInch->OnClick = [this](TObject*) { UnitChanged(); };
  btnHeaderFont->OnClick = [this](TObject*) {
    if (grid_) FontClick(grid_->PrintSettings()->HeaderFont());
  };
  btnFooterFont->OnClick = [this](TObject*) {
    if (grid_) FontClick(grid_->PrintSettings()->FooterFont());
  };
  btnTableFont->OnClick = [this](TObject*) {
    if (grid_) FontClick(grid_->PrintSettings()->Font());
  };
  btnLoad->OnClick = [this](TObject* s) { btnLoadClick(s); };
  btnSave->OnClick = [this](TObject* s) { btnSaveClick(s); };
  pbSketch->OnPaint = [this](TObject*) { PaintSketch(); };

  UnitChanged();
  SetShowSketch(true);
}

void TRichGridPrintSettingsForm::SetShowSketch(bool show) {
  showSketch_ = show;
  pnlSketch->SetVisible(show);
  const int width = PageControl->Width() + (show ? pnlSketch->Width() : 0);
  SetClientWidth(width);
  btnOK->SetLeft(static_cast<int>(Round(width / 2.0 - btnOK->Width() - 8)));
  btnCancel->SetLeft(static_cast<int>(Round(width / 2.0 + 8)));
}

void TRichGridPrintSettingsForm::ApplyOptions(TPrintSettingsOptions options) {
  options_ = options;
  ApplyEnableRules();
  const struct {
    TTabSheet* page;
    std::initializer_list<TPrintSettingsOption> groups;
  } pages[] = {{tsHeaders, {psDateTime, psTitle, psPages}},
               {tsMargins, {psMargins, psSpacing, psOrientation}},
               {tsPreferences, {psSaveSettings}}};
  for (const auto& p : pages) {
    bool any = false;
    for (TPrintSettingsOption o : p.groups) any = any || options.Contains(o);
    p.page->SetTabVisible(any);
  }
}

void TRichGridPrintSettingsForm::ApplyEnableRules() {
  const TPrintsettings* s = grid_ ? grid_->PrintSettings() : nullptr;
  // A control works when its group's option is on and its own rule holds.
  auto enable = [](std::initializer_list<TControl*> controls, bool on) {
    for (TControl* c : controls) c->SetEnabled(on);
  };
  auto groupOn = [this](TGroupBox* box, TPrintSettingsOption option) {
    const bool on = options_.Contains(option);
    box->SetEnabled(on);
    for (int i = 0; i < box->ControlCount(); ++i) box->Controls(i)->SetEnabled(on);
    return on;
  };
  if (groupOn(gbBorders, psBorders)) enable({cbBorderStyle}, s && s->Borders() != pbNoborder);
  groupOn(gbGeneral, psGeneral);
  groupOn(gbFonts, psFonts);
  if (groupOn(gbDateTime, psDateTime)) enable({edDateFormat}, s && s->Date() != ppNone);
  if (groupOn(gbTitle, psTitle)) enable({meTitle}, s && s->Title() != ppNone);
  if (groupOn(gbPages, psPages)) enable({edPrefix, edSeparator, edSuffix}, s && s->PageNr() != ppNone);
  groupOn(gbMargins, psMargins);
  groupOn(gbSpacing, psSpacing);
  groupOn(gbOrientation, psOrientation);
  groupOn(gbSaveSettings, psSaveSettings);
}

void TRichGridPrintSettingsForm::SetDimensions(TPrintDimensions dimensions) {
  (dimensions == pdinch ? rbInch : rbMM)->SetChecked(true);
}

// ---------------------------------------------------------------------------
// Controls and settings

void TRichGridPrintSettingsForm::FillControls() {
  if (!grid_) return;
  TPrintsettings* s = grid_->PrintSettings();
  updatingControls_ = true;
  ShowItem(cbBorders, s->Borders());
  ShowItem(cbBorderStyle, s->BorderStyle());
  ShowItem(cbFitToPage, s->FitToPage());
  ckAutoSize->SetChecked(!s->NoAutoSize());
  ckCenter->SetChecked(s->Centered());
  ckRepeatRows->SetChecked(s->RepeatFixedRows());
  ckRepeatCols->SetChecked(s->RepeatFixedCols());
  ckPrintGraphics->SetChecked(s->PrintGraphics());
  ShowItem(cbDatePos, s->Date());
  ShowItem(cbTimePos, s->Time());
  edDateFormat->SetText(s->DateFormat());
  if (!s->TitleText().empty()) {
    s->TitleLines()->Add(s->TitleText());
    s->SetTitleText("");
  }
  meTitle->Lines()->Assign(s->TitleLines());
  ShowItem(cbTitlePos, s->Title());
  edPrefix->SetText(s->PagePrefix());
  edSeparator->SetText(s->PageNumSep());
  edSuffix->SetText(s->PageSuffix());
  ShowItem(cbPagesPos, s->PageNr());
  ShowItem(cbOrientation, s->Orientation());
  ShowLengths();
  ApplyEnableRules();
  updatingControls_ = false;
}

void TRichGridPrintSettingsForm::ShowLengths() {
  if (!grid_) return;
  const double divisor = Dimensions() == pdinch ? 254.0 : 10.0;
  for (const Length& l : lengths_) l.edit->SetFloatValue((grid_->PrintSettings()->*l.get)() / divisor);
}

void TRichGridPrintSettingsForm::ReadControls() {
  if (!grid_ || updatingControls_ || updatingSettings_) return;
  TPrintsettings* s = grid_->PrintSettings();
  updatingSettings_ = true;
  // A list without a chosen item leaves its setting alone.
  auto item = [](TComboBox* list, auto set) {
    if (list->ItemIndex() >= 0) set(list->ItemIndex());
  };
  item(cbBorders, [s](int i) { s->SetBorders(static_cast<TPrintBorders>(i)); });
  item(cbBorderStyle, [s](int i) { s->SetBorderStyle(static_cast<TPenStyle>(i)); });
  item(cbFitToPage, [s](int i) { s->SetFitToPage(static_cast<TFitToPage>(i)); });
  s->SetNoAutoSize(!ckAutoSize->Checked());
  s->SetCentered(ckCenter->Checked());
  s->SetRepeatFixedRows(ckRepeatRows->Checked());
  s->SetRepeatFixedCols(ckRepeatCols->Checked());
  s->SetPrintGraphics(ckPrintGraphics->Checked());
  item(cbDatePos, [s](int i) { s->SetDate(static_cast<TPrintPosition>(i)); });
  item(cbTimePos, [s](int i) { s->SetTime(static_cast<TPrintPosition>(i)); });
  s->SetDateFormat(edDateFormat->Text());
  s->TitleLines()->Assign(meTitle->Lines());
  item(cbTitlePos, [s](int i) { s->SetTitle(static_cast<TPrintPosition>(i)); });
  s->SetPagePrefix(edPrefix->Text());
  s->SetPageNumSep(edSeparator->Text());
  s->SetPageSuffix(edSuffix->Text());
  item(cbPagesPos, [s](int i) { s->SetPageNr(static_cast<TPrintPosition>(i)); });
  item(cbOrientation, [s](int i) { s->SetOrientation(static_cast<TPrinterOrientation>(i)); });
  const double factor = Dimensions() == pdinch ? 254.0 : 10.0;
  for (const Length& l : lengths_) {
    // A length being typed (empty, or past its limit) keeps its setting.
    double value = 0;
    if (l.edit->Text().empty() || !TryStrToFloat(l.edit->Text(), value) || value > l.edit->MaxFloatValue()) continue;
    (s->*l.set)(static_cast<int>(Round(static_cast<long double>(value) * factor)));
  }
  updatingSettings_ = false;
  updatingControls_ = true;
  ApplyEnableRules();
  updatingControls_ = false;
  if (showSketch_) pbSketch->Invalidate();
}

void TRichGridPrintSettingsForm::Changed() {
  if (!updatingControls_ && !updatingSettings_) ReadControls();
}

void TRichGridPrintSettingsForm::SpinChanged(TRichSpinEdit* edit) {
  double value = 0;
  if (edit->Text().empty() || !TryStrToFloat(edit->Text(), value) || value > edit->MaxFloatValue()) return;
  Changed();
}

void TRichGridPrintSettingsForm::UnitChanged() {
  const bool inch = rbInch->Checked();
  for (TLabel* l : UnitLabels) l->SetCaption(inch ? "inch" : "mm");
  const bool wasUpdating = updatingControls_;
  updatingControls_ = true;
  ShowLengths();
  updatingControls_ = wasUpdating;
}

void TRichGridPrintSettingsForm::FontClick(TFont* setting) {
  FontDialog->Font()->Assign(*setting);
  if (!FontDialog->Execute()) return;
  setting->Assign(*FontDialog->Font());
  ReadControls();
}

AnsiString TRichGridPrintSettingsForm::IniName(const TOpenDialog& dialog) {
  AnsiString name = dialog.FileName();
  // Only the file's own name counts: its folders may hold dots.
  if (dialog.FilterIndex() == 1 && ExtractFileName(name).find('.') == AnsiString::npos) name += ".ini";
  return name;
}

void TRichGridPrintSettingsForm::btnLoadClick(TObject*) {
  if (!grid_ || !OpenDialog->Execute()) return;
  grid_->LoadPrintSettings(IniName(*OpenDialog), kSection);
  FillControls();
  ReadControls();
  if (showSketch_) pbSketch->Invalidate();
}

void TRichGridPrintSettingsForm::btnSaveClick(TObject*) {
  if (!grid_ || !SaveDialog->Execute()) return;
  grid_->SavePrintSettings(IniName(*SaveDialog), kSection);
}

void TRichGridPrintSettingsForm::PaintSketch() {
  if (!grid_ || !showSketch_) return;
  TCanvas* canvas = pbSketch->Canvas();
  canvas->Brush()->SetColor(clWhite);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(pbSketch->ClientRect());
  grid_->PrintSketch(canvas, pbSketch->ClientRect());
}

// ---------------------------------------------------------------------------
// The component

TRichGridPrintSettingsDialog::TRichGridPrintSettingsDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), form_(new TRichGridPrintSettingsForm(this)) {}

TRichGridPrintSettingsDialog::~TRichGridPrintSettingsDialog() { SetGrid(nullptr); }

void TRichGridPrintSettingsDialog::SetGrid(TRichStringGrid* grid) {
  if (grid_ == grid) return;
  if (grid_) grid_->RemoveFreeNotification(this);
  grid_ = grid;
  if (grid_) grid_->FreeNotification(this);
}

void TRichGridPrintSettingsDialog::Notification(TComponent* AComponent, TOperation Operation) {
  TCommonDialog::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == grid_) {
    grid_ = nullptr;
    if (form_ && form_->Grid() == AComponent) form_->SetGrid(nullptr);
  }
  if (Operation == opRemove && AComponent == form_) form_ = nullptr;
}

void TRichGridPrintSettingsDialog::SetOptions(TPrintSettingsOptions v) {
  options_ = v;
  form_->ApplyOptions(v);
}

void TRichGridPrintSettingsDialog::SetPrintPreview(bool v) {
  printPreview_ = v;
  form_->SetShowSketch(v);
}

bool TRichGridPrintSettingsDialog::Execute() {
  if (!grid_) throw Exception("The dialog does not have a grid component.");
  executing_ = true;
  form_->SetGrid(grid_);
  form_->SetShowSketch(printPreview_);
  TPrintsettings saved;
  saved.Assign(grid_->PrintSettings());
  TModalResult result = mrNone;
  try {
    form_->FillControls();
    form_->ApplyOptions(options_);
    result = form_->ShowModal();
  } catch (...) {
    grid_->PrintSettings()->Assign(&saved);
    executing_ = false;
    throw;
  }
  if (result != mrOk) grid_->PrintSettings()->Assign(&saved);
  executing_ = false;
  return result == mrOk;
}
