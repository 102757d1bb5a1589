#include "app/windows/note_pad.h"

#include <algorithm>

#include "app/settings/cached_ini.h"
#include "app/settings/language.h"
#include "platform/gui/core/application.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/program_arguments.h"
#include "platform/rtl/sysutils.h"

TfrmDuzediv* frmDuzediv = nullptr;

namespace {

const char* const kAppName = "Duzediv";
const char* const kUntitled = "Untitled";
const char* const kFilter = "Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*";
constexpr int kMarkerWidth = 10;

TAction* MakeAction(TActionList* list, const char* name, const char* caption, const char* hint, TNotifyEvent execute) {
  auto* a = new TAction(list->Owner());
  a->SetName(name);
  a->SetCaption(caption);
  a->SetHint(hint);
  a->SetActionList(list);
  a->OnExecute = std::move(execute);
  return a;
}

TMenuItem* Item(TComponent* owner, TMenuItem* parent, const char* name, const char* caption, TAction* action) {
  auto* item = new TMenuItem(owner);
  item->SetName(name);
  item->SetCaption(caption);
  if (action) item->SetAction(action);
  parent->Add(item);
  return item;
}

TToolButton* Button(TComponent* owner, TToolBar* bar, const char* name, const char* caption, const char* hint,
                    TToolButtonStyle style = tbsButton) {
  auto* b = new TToolButton(owner, bar);
  b->SetName(name);
  b->SetStyle(style);
  b->SetCaption(caption);
  b->SetHint(hint);
  b->SetShowHint(true);
  return b;
}

void Separator(TComponent* owner, TToolBar* bar) { (new TToolButton(owner, bar))->SetStyle(tbsSeparator); }

// A ruler marker: a small triangle pointing down (the first-line marker)
// or up (the others).
TPaintBox* Marker(TfrmDuzediv* form, TPanel* ruler, const char* name, int top, bool down) {
  auto* m = new TPaintBox(form, ruler);
  m->SetName(name);
  m->SetBounds(0, top, kMarkerWidth, 8);
  m->SetCursor(crSizeWE);
  m->OnPaint = [m, down](TObject*) {
    TCanvas* c = m->Canvas();
    c->Brush()->SetColor(clBlack);
    c->Pen()->SetColor(clBlack);
    const int w = m->Width() - 1, h = m->Height() - 1;
    if (down) c->Polygon({Point(0, 0), Point(w, 0), Point(w / 2, h)});
    else c->Polygon({Point(w / 2, 0), Point(w, h), Point(0, h)});
  };
  return m;
}

}  // namespace

namespace vx {

RulerMarkers RulerPositions(int first, int left, int right, int width) {
  return {static_cast<int>(Trunc(first * kRulerPixelsPerPoint)) + 2,
          static_cast<int>(Trunc((left + first) * kRulerPixelsPerPoint)) + 2,
          (width - kRulerGutter) - static_cast<int>(Trunc((right + kRulerGutter) * kRulerPixelsPerPoint))};
}

RulerIndents IndentsFromRuler(int firstLeft, int leftLeft, int rightLeft, int offset, int width) {
  RulerIndents r;
  r.First = static_cast<int>(Trunc((firstLeft + offset - kRulerGutter) / kRulerPixelsPerPoint));
  r.Left = static_cast<int>(Trunc((leftLeft + offset - kRulerGutter) / kRulerPixelsPerPoint)) - r.First;
  r.Right = static_cast<int>(Trunc((width - rightLeft + offset - 2) / kRulerPixelsPerPoint)) - 12;
  return r;
}

bool IsRichTextName(const AnsiString& fileName) { return SameText(ExtractFileExt(fileName), ".rtf"); }

}  // namespace vx

TfrmDuzediv::TfrmDuzediv(TComponent* AOwner) : TForm(AOwner) {
  SetName("frmDuzediv");
  SetCaption(kAppName);
  SetBounds(0, 0, 760, 480);
  SetPosition(poDefault);
  SetVisible(false);
  BuildMenuAndActions();
  BuildToolBar();
  BuildRuler();
  Editor = new TRichEdit(this, this);
  Editor->SetName("Editor");
  Editor->SetAlign(alClient);
  StatusBar = new TStatusBar(this, this);
  StatusBar->SetName("StatusBar");
  StatusBar->SetAlign(alBottom);
  StatusBar->SetHeight(20);
  StatusBar->AddPanel()->Width = 200;
  StatusBar->AddPanel()->Width = 100;
  OpenDialog = new TOpenDialog(this);
  OpenDialog->SetName("OpenDialog");
  SaveDialog = new TSaveDialog(this);
  SaveDialog->SetName("SaveDialog");
  for (TOpenDialog* d : {OpenDialog, static_cast<TOpenDialog*>(SaveDialog)}) d->SetFilter(kFilter);
  PrintDialog = new TPrintDialog(this);
  PrintDialog->SetName("PrintDialog");
  FontDialog1 = new TFontDialog(this);
  FontDialog1->SetName("FontDialog1");

  Editor->OnChange = [this](TObject* s) { RichEditChange(s); };
  Editor->OnSelectionChange = [this](TObject* s) { SelectionChange(s); };
  Editor->OnDropFiles = [this](TObject* s, const std::vector<AnsiString>& f) { DropFiles(s, f); };
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
  OnResize = [this](TObject* s) { FormResize(s); };
  OnPaint = [this](TObject* s) { FormPaint(s); };
  OnDestroy = [this](TObject*) {
    if (Application) Application->OnHint = nullptr;
    if (frmDuzediv == this) frmDuzediv = nullptr;
  };
  frmDuzediv = this;
}

void TfrmDuzediv::BuildMenuAndActions() {
  ActionList2 = new TActionList(this);
  ActionList2->SetName("ActionList2");
  auto run = [this](void (TfrmDuzediv::*handler)(TObject*)) {
    return [this, handler](TObject* s) { (this->*handler)(s); };
  };
  FileNewCmd = MakeAction(ActionList2, "FileNewCmd", "&New", "Create a new file", run(&TfrmDuzediv::FileNew));
  FileOpenCmd =
      MakeAction(ActionList2, "FileOpenCmd", "&Open...", "Open an existing file", run(&TfrmDuzediv::FileOpen));
  FileSaveCmd = MakeAction(ActionList2, "FileSaveCmd", "&Save", "Save the current file", run(&TfrmDuzediv::FileSave));
  FileSaveAsCmd = MakeAction(ActionList2, "FileSaveAsCmd", "Save &As...", "Save the current file under a new name",
                             run(&TfrmDuzediv::FileSaveAs));
  FilePrintCmd =
      MakeAction(ActionList2, "FilePrintCmd", "&Print", "Print the current file", run(&TfrmDuzediv::FilePrint));
  FileExitCmd = MakeAction(ActionList2, "FileExitCmd", "E&xit", "Close the note pad", run(&TfrmDuzediv::FileExit));
  EditUndoCmd = MakeAction(ActionList2, "EditUndoCmd", "&Undo", "Undo the last change", run(&TfrmDuzediv::EditUndo));
  EditCutCmd = MakeAction(ActionList2, "EditCutCmd", "Cu&t", "Cut the selection", run(&TfrmDuzediv::EditCut));
  EditCopyCmd = MakeAction(ActionList2, "EditCopyCmd", "&Copy", "Copy the selection", run(&TfrmDuzediv::EditCopy));
  EditPasteCmd = MakeAction(ActionList2, "EditPasteCmd", "&Paste", "Paste the clipboard", run(&TfrmDuzediv::EditPaste));
  EditFontCmd = MakeAction(ActionList2, "EditFontCmd", "&Font...", "Choose the font", run(&TfrmDuzediv::SelectFont));
  ActionList2->OnUpdate = [this](TObject* s) { ActionList2Update(s); };

  MainMenu = new TMainMenu(this);
  MainMenu->SetName("MainMenu");
  TMenuItem* root = MainMenu->Items();
  FileMenu = Item(this, root, "FileMenu", "&File", nullptr);
  FileNewItem = Item(this, FileMenu, "FileNewItem", "&New", FileNewCmd);
  FileOpenItem = Item(this, FileMenu, "FileOpenItem", "&Open...", FileOpenCmd);
  FileSaveItem = Item(this, FileMenu, "FileSaveItem", "&Save", FileSaveCmd);
  FileSaveAsItem = Item(this, FileMenu, "FileSaveAsItem", "Save &As...", FileSaveAsCmd);
  Item(this, FileMenu, "N1", "-", nullptr);
  FilePrintItem = Item(this, FileMenu, "FilePrintItem", "&Print", FilePrintCmd);
  Item(this, FileMenu, "N2", "-", nullptr);
  FileExitItem = Item(this, FileMenu, "FileExitItem", "E&xit", FileExitCmd);
  EditMenu = Item(this, root, "EditMenu", "&Edit", nullptr);
  EditUndoItem = Item(this, EditMenu, "EditUndoItem", "&Undo", EditUndoCmd);
  Item(this, EditMenu, "N3", "-", nullptr);
  EditCutItem = Item(this, EditMenu, "EditCutItem", "Cu&t", EditCutCmd);
  EditCopyItem = Item(this, EditMenu, "EditCopyItem", "&Copy", EditCopyCmd);
  EditPasteItem = Item(this, EditMenu, "EditPasteItem", "&Paste", EditPasteCmd);
  Item(this, EditMenu, "N4", "-", nullptr);
  EditFontItem = Item(this, EditMenu, "EditFontItem", "&Font...", EditFontCmd);
  SetMenu(MainMenu);
}

void TfrmDuzediv::BuildToolBar() {
  StandardToolBar = new TToolBar(this, this);
  StandardToolBar->SetName("StandardToolBar");
  StandardToolBar->SetAlign(alTop);
  StandardToolBar->SetHeight(28);
  StandardToolBar->SetShowCaptions(true);
  StandardToolBar->SetButtonWidth(40);
  NewButton = Button(this, StandardToolBar, "NewButton", "New", "Create a new file");
  OpenButton = Button(this, StandardToolBar, "OpenButton", "Open", "Open an existing file");
  SaveButton = Button(this, StandardToolBar, "SaveButton", "Save", "Save the current file");
  PrintButton = Button(this, StandardToolBar, "PrintButton", "Print", "Print the current file");
  Separator(this, StandardToolBar);
  CutButton = Button(this, StandardToolBar, "CutButton", "Cut", "Cut the selection");
  CopyButton = Button(this, StandardToolBar, "CopyButton", "Copy", "Copy the selection");
  PasteButton = Button(this, StandardToolBar, "PasteButton", "Paste", "Paste the clipboard");
  UndoButton = Button(this, StandardToolBar, "UndoButton", "Undo", "Undo the last change");
  Separator(this, StandardToolBar);
  // The font boxes stand between the file and edit buttons and the styles.
  FontName = new TComboBox(this, StandardToolBar);
  FontName->SetName("FontName");
  FontName->SetBounds(0, 0, 150, 22);
  FontName->SetHint("Font name");
  FontSize = new TEdit(this, StandardToolBar);
  FontSize->SetName("FontSize");
  FontSize->SetBounds(0, 0, 34, 22);
  FontSize->SetHint("Font size");
  BoldButton = Button(this, StandardToolBar, "BoldButton", "B", "Bold", tbsCheck);
  ItalicButton = Button(this, StandardToolBar, "ItalicButton", "I", "Italic", tbsCheck);
  UnderlineButton = Button(this, StandardToolBar, "UnderlineButton", "U", "Underline", tbsCheck);
  Separator(this, StandardToolBar);
  LeftAlign = Button(this, StandardToolBar, "LeftAlign", "Left", "Align left", tbsCheck);
  CenterAlign = Button(this, StandardToolBar, "CenterAlign", "Centre", "Centre", tbsCheck);
  RightAlign = Button(this, StandardToolBar, "RightAlign", "Right", "Align right", tbsCheck);
  BulletsButton = Button(this, StandardToolBar, "BulletsButton", "\x95", "Bullets", tbsCheck);
  LeftAlign->SetTag(taLeftJustify);
  RightAlign->SetTag(taRightJustify);
  CenterAlign->SetTag(taCenter);
  for (TToolButton* b : {LeftAlign, CenterAlign, RightAlign}) {
    b->SetGrouped(true);
    b->OnClick = [this](TObject* s) { AlignButtonClick(s); };
  }
  StandardToolBar->ArrangeButtons();

  for (auto [button, action] : {std::pair{NewButton, FileNewCmd},
                                {OpenButton, FileOpenCmd},
                                {SaveButton, FileSaveCmd},
                                {PrintButton, FilePrintCmd},
                                {CutButton, EditCutCmd},
                                {CopyButton, EditCopyCmd},
                                {PasteButton, EditPasteCmd},
                                {UndoButton, EditUndoCmd}})
    button->OnClick = [command = action](TObject*) { command->Execute(); };
  BoldButton->OnClick = [this](TObject* s) { BoldButtonClick(s); };
  ItalicButton->OnClick = [this](TObject* s) { ItalicButtonClick(s); };
  UnderlineButton->OnClick = [this](TObject* s) { UnderlineButtonClick(s); };
  BulletsButton->OnClick = [this](TObject* s) { BulletsButtonClick(s); };
  FontName->OnChange = [this](TObject* s) { FontNameChange(s); };
  FontSize->OnChange = [this](TObject* s) { FontSizeChange(s); };
}

void TfrmDuzediv::BuildRuler() {
  Ruler = new TPanel(this, this);
  Ruler->SetName("Ruler");
  Ruler->SetAlign(alTop);
  Ruler->SetHeight(26);
  Ruler->SetBevelOuter(bvNone);
  Ruler->SetCaption("");
  Ruler->Font()->SetName("Arial");
  Ruler->Font()->SetSize(8);
  RulerLine = new TBevel(this, Ruler);
  RulerLine->SetName("RulerLine");
  RulerLine->SetShape(bsTopLine);
  RulerLine->SetBounds(4, 12, 740, 2);
  // Tab stops every half inch, as the tab-and-bar caption drew them.
  Ruler->OnPaint = [this](TObject*) {
    TCanvas* c = Ruler->Canvas();
    c->Pen()->SetColor(clGray);
    for (int x = vx::kRulerGutter + 48; x < Ruler->ClientWidth(); x += 48) {
      c->MoveTo(x, 9);
      c->LineTo(x, 17);
    }
  };
  FirstInd = Marker(this, Ruler, "FirstInd", 2, true);
  LeftInd = Marker(this, Ruler, "LeftInd", 15, false);
  RightInd = Marker(this, Ruler, "RightInd", 15, false);
  for (TPaintBox* m : {FirstInd, LeftInd, RightInd}) {
    m->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      RulerItemMouseDown(s, b, sh, x, y);
    };
    m->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { RulerItemMouseMove(s, sh, x, y); };
  }
  FirstInd->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    FirstIndMouseUp(s, b, sh, x, y);
  };
  LeftInd->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    LeftIndMouseUp(s, b, sh, x, y);
  };
  RightInd->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    RightIndMouseUp(s, b, sh, x, y);
  };
  Ruler->OnResize = [this](TObject* s) { RulerResize(s); };
}

// --- creation, showing, closing --------------------------------------------------

void TfrmDuzediv::FormCreate(TObject*) {
  stage_ = 1;
  Application->OnHint = [this](TObject* s) { ShowHint(s); };
  OpenDialog->SetInitialDir(vx::ProgramFolder());
  SaveDialog->SetInitialDir(vx::ProgramFolder());
  SetFileName(kUntitled);
  FontName->Items()->Assign(Screen->Fonts());
  RulerResize(Ruler);
  SelectionChange(this);
  Editor->DefAttributes()->SetName(vx::DefaultFontName());
  Editor->DefAttributes()->SetSize(8);
  stage_ = 2;
}

void TfrmDuzediv::SetFileName(const AnsiString& fileName) {
  fileName_ = fileName;
  SetCaption(Format("%s - %s", {ExtractFileName(fileName), kAppName}));
}

void TfrmDuzediv::FormShow(TObject*) {
  UpdateCursorPos();
  Editor->SetAcceptFiles(true);
  RichEditChange(this);
  if (Editor->CanFocus()) Editor->SetFocus();
  // The file named on the command line opens the first time only.
  if (!commandLineOpened_) {
    commandLineOpened_ = true;
    if (ParamCount() >= 1 && FileExists(ParamStr(1))) PerformFileOpen(ParamStr(1));
  }
}

void TfrmDuzediv::FormActivate(TObject*) {
  AnsiString current = frmLang && frmLang->janLanguage ? frmLang->janLanguage->LanguageFile() : AnsiString();
  AnsiString file;
  try {
    TAppIniFile ini;
    file = ini.ReadString("Language", "frmDuzediv", current);
  } catch (Exception&) { file = current; }
  if (!file.empty() && FileExists(file)) ApplyLanguageFile(file);
  else if (frmLang) frmLang->AskForLanguage("frmDuzediv");
}

void TfrmDuzediv::FormClose(TObject* Sender, TCloseAction&) { FileNew(Sender); }

void TfrmDuzediv::FormCloseQuery(TObject*, bool& CanClose) { CanClose = CheckFileSave(); }

void TfrmDuzediv::FormResize(TObject* Sender) {
  SetEditRect();
  SelectionChange(Sender);
}

void TfrmDuzediv::FormPaint(TObject*) { SetEditRect(); }

void TfrmDuzediv::SetEditRect() {
  Editor->SetFormattingRect(Rect(6, 0, Editor->ClientWidth() - 6, Editor->ClientHeight()));
}

// --- files -------------------------------------------------------------------------

bool TfrmDuzediv::CheckFileSave() {
  if (!Editor->Modified()) return true;
  switch (MessageDlg(Format("Save changes to %s?", {fileName_}), mtConfirmation, mbYesNoCancel)) {
    case mrYes:
      FileSave(this);
      // A save that did not happen (cancelled or failed) keeps the document.
      return !Editor->Modified();
    case mrNo: return true;
    default: return false;
  }
}

void TfrmDuzediv::FileNew(TObject*) {
  SetFileName(kUntitled);
  Editor->Lines()->Clear();
  Editor->SetModified(false);
  SetModified(false);
}

void TfrmDuzediv::PerformFileOpen(const AnsiString& fileName) {
  const bool wasPlain = Editor->PlainText();
  Editor->SetPlainText(!vx::IsRichTextName(fileName));
  try {
    Editor->Lines()->LoadFromFile(fileName);
  } catch (...) {
    Editor->SetPlainText(wasPlain);
    throw;
  }
  SetFileName(fileName);
  if (Editor->CanFocus()) Editor->SetFocus();
  Editor->SetModified(false);
  SetModified(false);
}

bool TfrmDuzediv::OpenAfterQuestion(const AnsiString& fileName) {
  if (!CheckFileSave()) return false;
  PerformFileOpen(fileName);
  return true;
}

void TfrmDuzediv::FileOpen(TObject*) {
  if (!CheckFileSave()) return;
  if (!OpenDialog->Execute()) return;
  PerformFileOpen(OpenDialog->FileName());
  Editor->SetReadOnly(OpenDialog->Options().Contains(ofReadOnly));
}

void TfrmDuzediv::SaveTo(const AnsiString& fileName) {
  Editor->Lines()->SaveToFile(fileName);
  Editor->SetModified(false);
  SetModified(false);
}

void TfrmDuzediv::FileSave(TObject* Sender) {
  if (fileName_ == kUntitled) FileSaveAs(Sender);
  else SaveTo(fileName_);
}

void TfrmDuzediv::FileSaveAs(TObject*) {
  if (!SaveDialog->Execute()) return;
  AnsiString name = SaveDialog->FileName();
  if (ExtractFileExt(name).empty()) {
    if (SaveDialog->FilterIndex() == 1) name += ".rtf";
    if (SaveDialog->FilterIndex() == 2) name += ".txt";
  }
  if (FileExists(name) && MessageDlg(Format("OK to overwrite %s", {name}), mtConfirmation, mbYesNoCancel) != mrYes)
    return;
  const bool wasPlain = Editor->PlainText();
  Editor->SetPlainText(!vx::IsRichTextName(name));
  try {
    SaveTo(name);
  } catch (...) {
    Editor->SetPlainText(wasPlain);
    throw;
  }
  SetFileName(name);
}

void TfrmDuzediv::FilePrint(TObject*) {
  if (PrintDialog->Execute()) Editor->Print(fileName_);
}

void TfrmDuzediv::FileExit(TObject*) { Close(); }

void TfrmDuzediv::DropFiles(TObject*, const std::vector<AnsiString>& Files) {
  if (!Files.empty()) OpenAfterQuestion(Files.front());
}

// --- editing ------------------------------------------------------------------------

void TfrmDuzediv::EditUndo(TObject*) { Editor->Undo(); }
void TfrmDuzediv::EditCut(TObject*) { Editor->CutToClipboard(); }
void TfrmDuzediv::EditCopy(TObject*) { Editor->CopyToClipboard(); }
void TfrmDuzediv::EditPaste(TObject*) { Editor->PasteFromClipboard(); }

void TfrmDuzediv::ActionList2Update(TObject*) {
  const bool selected = Editor->SelLength() > 0;
  EditCutCmd->SetEnabled(selected);
  EditCopyCmd->SetEnabled(selected);
  EditUndoCmd->SetEnabled(Editor->CanUndo());
  EditPasteCmd->SetEnabled(Editor->CanPaste());
}

TTextAttributes* TfrmDuzediv::CurrText() {
  return Editor->SelLength() > 0 ? Editor->SelAttributes() : Editor->DefAttributes();
}

void TfrmDuzediv::SelectFont(TObject*) {
  FontDialog1->Font()->Assign(*Editor->Font());
  if (FontDialog1->Execute()) CurrText()->Assign(*FontDialog1->Font());
  SelectionChange(this);
  if (Editor->CanFocus()) Editor->SetFocus();
}

void TfrmDuzediv::SelectionChange(TObject*) {
  updating_ = true;
  TParaAttributes* p = Editor->Paragraph();
  const vx::RulerMarkers m =
      vx::RulerPositions(p->FirstIndent(), p->LeftIndent(), p->RightIndent(), Ruler->ClientWidth());
  FirstInd->SetLeft(m.First);
  LeftInd->SetLeft(m.Left);
  RightInd->SetLeft(m.Right);
  TTextAttributes* t = CurrText();
  const TFontStyles style = t->Style();
  BoldButton->SetDown(style.Contains(fsBold));
  ItalicButton->SetDown(style.Contains(fsItalic));
  UnderlineButton->SetDown(style.Contains(fsUnderline));
  BulletsButton->SetDown(p->Numbering() == nsBullet);
  FontSize->SetText(IntToStr(t->Size()));
  FontName->SetText(t->Name());
  const TAlignment a = p->Alignment();
  LeftAlign->SetDown(a == taLeftJustify);
  RightAlign->SetDown(a == taRightJustify);
  CenterAlign->SetDown(a == taCenter);
  UpdateCursorPos();
  updating_ = false;
}

void TfrmDuzediv::UpdateCursorPos() {
  const int start = Editor->SelStart();
  const int line = Editor->LineFromChar(start);
  const int column = start - Editor->LineIndex(line);
  StatusBar->Panels(0)->Text = Format("Line: %3d   Col: %3d", {line + 1, column + 1});
  StatusBar->PanelsChanged();
}

void TfrmDuzediv::SetModified(bool modified) {
  StatusBar->Panels(1)->Text = modified ? "Modified" : "";
  StatusBar->PanelsChanged();
}

void TfrmDuzediv::RichEditChange(TObject*) {
  if (stage_ == 2) {
    Editor->SetModified(false);
    stage_ = 3;
  }
  SetModified(Editor->Modified());
}

void TfrmDuzediv::ShowHint(TObject*) {
  const AnsiString& hint = Application->Hint();
  if (!hint.empty()) {
    StatusBar->SetSimpleText(hint);
    StatusBar->SetSimplePanel(true);
  } else {
    StatusBar->SetSimplePanel(false);
  }
}

// --- tool bar ------------------------------------------------------------------------

void TfrmDuzediv::ApplyStyle(TFontStyle style, bool on) {
  if (updating_) return;
  TFontStyles s = CurrText()->Style();
  if (on) s.Include(style);
  else s.Exclude(style);
  CurrText()->SetStyle(s);
}

void TfrmDuzediv::BoldButtonClick(TObject*) { ApplyStyle(fsBold, BoldButton->Down()); }
void TfrmDuzediv::ItalicButtonClick(TObject*) { ApplyStyle(fsItalic, ItalicButton->Down()); }
void TfrmDuzediv::UnderlineButtonClick(TObject*) { ApplyStyle(fsUnderline, UnderlineButton->Down()); }

void TfrmDuzediv::AlignButtonClick(TObject* Sender) {
  if (updating_) return;
  Editor->Paragraph()->SetAlignment(static_cast<TAlignment>(static_cast<TComponent*>(Sender)->Tag()));
}

void TfrmDuzediv::BulletsButtonClick(TObject*) {
  if (updating_) return;
  Editor->Paragraph()->SetNumbering(BulletsButton->Down() ? nsBullet : nsNone);
}

void TfrmDuzediv::FontNameChange(TObject*) {
  if (updating_ || FontName->Text().empty()) return;
  CurrText()->SetName(FontName->Text());
}

// A size box holding no number (while it is being typed) changes nothing.
void TfrmDuzediv::FontSizeChange(TObject*) {
  if (updating_) return;
  int size = 0;
  if (TryStrToInt(FontSize->Text(), size) && size > 0) CurrText()->SetSize(size);
}

// --- ruler -----------------------------------------------------------------------------

void TfrmDuzediv::RulerResize(TObject*) { RulerLine->SetWidth(Ruler->ClientWidth() - RulerLine->Left() * 2); }

void TfrmDuzediv::RulerItemMouseDown(TObject* Sender, TMouseButton, TShiftState, int X, int) {
  auto* marker = static_cast<TControl*>(Sender);
  dragOffset_ = marker->Width() / 2;
  marker->SetLeft(std::max(0, marker->Left() + X - dragOffset_));
  dragging_ = true;
}

void TfrmDuzediv::RulerItemMouseMove(TObject* Sender, TShiftState, int X, int) {
  if (!dragging_) return;
  auto* marker = static_cast<TControl*>(Sender);
  marker->SetLeft(marker->Left() + X - dragOffset_);
}

void TfrmDuzediv::FirstIndMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
  dragging_ = false;
  const vx::RulerIndents r =
      vx::IndentsFromRuler(FirstInd->Left(), LeftInd->Left(), RightInd->Left(), dragOffset_, Ruler->ClientWidth());
  Editor->Paragraph()->SetFirstIndent(r.First);
  LeftIndMouseUp(Sender, Button, Shift, X, Y);
}

void TfrmDuzediv::LeftIndMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  dragging_ = false;
  const vx::RulerIndents r =
      vx::IndentsFromRuler(FirstInd->Left(), LeftInd->Left(), RightInd->Left(), dragOffset_, Ruler->ClientWidth());
  Editor->Paragraph()->SetLeftIndent(r.Left + r.First - Editor->Paragraph()->FirstIndent());
  SelectionChange(this);
}

void TfrmDuzediv::RightIndMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  dragging_ = false;
  const vx::RulerIndents r =
      vx::IndentsFromRuler(FirstInd->Left(), LeftInd->Left(), RightInd->Left(), dragOffset_, Ruler->ClientWidth());
  Editor->Paragraph()->SetRightIndent(r.Right);
  SelectionChange(this);
}
