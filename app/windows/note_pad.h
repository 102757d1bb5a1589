// TfrmDuzediv ("Duzediv"): the note pad, a small rich-text editor for the
// user's notes in ".rtf" or ".txt" files, with a formatting tool bar, a
// ruler whose three markers drag the paragraph indents, a status bar with
// the caret position and the modified mark, printing and dropped files.
// Its texts are English; it is created once, owned by the application,
// and only hidden when closed (it then starts empty).
//
// Files: a name ending in ".rtf" (any case) is rich text, any other is
// plain CP1251 text, on opening as on saving. Before Open, before opening
// a dropped file and on closing, a modified document brings "Save changes
// to %s?" (Yes / No / Cancel); Cancel, or a Yes whose saving did not
// happen, keeps the document and stops the operation.
//
// Ruler: 4/3 pixel per point of indent and a 6-pixel gutter. The markers
// sit at FirstInd = Trunc(first*4/3)+2, LeftInd = Trunc((left+first)*4/3)+2,
// RightInd = (width-6) - Trunc((right+6)*4/3), and a release sets the
// indents back from the marker positions (RulerIndents).
#pragma once

#include "platform/gui/core/actions.h"
#include "platform/gui/controls/comctrls.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/controls/extctrls.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/core/menus.h"
#include "platform/gui/richtext/richedit.h"
#include "platform/gui/controls/stdctrls.h"

class TfrmDuzediv : public TForm {
 public:
  explicit TfrmDuzediv(TComponent* AOwner);

  TMainMenu* MainMenu;
  TMenuItem *FileMenu, *FileNewItem, *FileOpenItem, *FileSaveItem, *FileSaveAsItem, *FilePrintItem, *FileExitItem;
  TMenuItem *EditMenu, *EditUndoItem, *EditCutItem, *EditCopyItem, *EditPasteItem, *EditFontItem;
  TActionList* ActionList2;
  TAction *FileNewCmd, *FileOpenCmd, *FileSaveCmd, *FileSaveAsCmd, *FilePrintCmd, *FileExitCmd;
  TAction *EditUndoCmd, *EditCutCmd, *EditCopyCmd, *EditPasteCmd, *EditFontCmd;
  TToolBar* StandardToolBar;
  TToolButton *NewButton, *OpenButton, *SaveButton, *PrintButton, *CutButton, *CopyButton, *PasteButton, *UndoButton;
  TComboBox* FontName;
  TEdit* FontSize;
  TToolButton *BoldButton, *ItalicButton, *UnderlineButton, *LeftAlign, *CenterAlign, *RightAlign, *BulletsButton;
  TPanel* Ruler;
  TPaintBox *FirstInd, *LeftInd, *RightInd;
  TBevel* RulerLine;
  TRichEdit* Editor;
  TStatusBar* StatusBar;
  TOpenDialog* OpenDialog;
  TSaveDialog* SaveDialog;
  TPrintDialog* PrintDialog;
  TFontDialog* FontDialog1;

  const AnsiString& FileName() const { return fileName_; }
  int Stage() const { return stage_; }

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormActivate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormResize(TObject* Sender);
  void FormPaint(TObject* Sender);
  void FileNew(TObject* Sender);
  void FileOpen(TObject* Sender);
  void FileSave(TObject* Sender);
  void FileSaveAs(TObject* Sender);
  void FilePrint(TObject* Sender);
  void FileExit(TObject* Sender);
  void EditUndo(TObject* Sender);
  void EditCut(TObject* Sender);
  void EditCopy(TObject* Sender);
  void EditPaste(TObject* Sender);
  void SelectFont(TObject* Sender);
  void SelectionChange(TObject* Sender);
  void RichEditChange(TObject* Sender);
  void ShowHint(TObject* Sender);
  void BoldButtonClick(TObject* Sender);
  void ItalicButtonClick(TObject* Sender);
  void UnderlineButtonClick(TObject* Sender);
  void AlignButtonClick(TObject* Sender);
  void BulletsButtonClick(TObject* Sender);
  void FontNameChange(TObject* Sender);
  void FontSizeChange(TObject* Sender);
  void RulerResize(TObject* Sender);
  void RulerItemMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void RulerItemMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void FirstIndMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void LeftIndMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void RightIndMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ActionList2Update(TObject* Sender);
  // What a drop of files on the editor does.
  void DropFiles(TObject* Sender, const std::vector<AnsiString>& Files);

  // Opens a file after the save question (false when it was cancelled).
  bool OpenAfterQuestion(const AnsiString& fileName);

 private:
  void BuildMenuAndActions();
  void BuildToolBar();
  void BuildRuler();
  void SetFileName(const AnsiString& fileName);
  // The save question; false when the operation must stop.
  bool CheckFileSave();
  void PerformFileOpen(const AnsiString& fileName);
  void SaveTo(const AnsiString& fileName);
  void SetModified(bool modified);
  void UpdateCursorPos();
  void SetEditRect();
  void ApplyStyle(TFontStyle style, bool on);
  TTextAttributes* CurrText();
  AnsiString fileName_;
  int stage_ = 0;
  bool updating_ = false;
  bool dragging_ = false;
  int dragOffset_ = 0;
  bool commandLineOpened_ = false;
};

namespace vx {

constexpr double kRulerPixelsPerPoint = 4.0 / 3.0;
constexpr int kRulerGutter = 6;

// Marker positions for the indents (points) on a ruler `width` pixels wide.
struct RulerMarkers {
  int First, Left, Right;
};
RulerMarkers RulerPositions(int first, int left, int right, int width);
// Indents from marker positions after a drag with `offset` (half a marker).
struct RulerIndents {
  int First, Left, Right;
};
RulerIndents IndentsFromRuler(int firstLeft, int leftLeft, int rightLeft, int offset, int width);
// Whether a file name is rich text (".rtf", any case).
bool IsRichTextName(const AnsiString& fileName);

}  // namespace vx

extern TfrmDuzediv* frmDuzediv;
