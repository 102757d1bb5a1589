// The print-settings dialog of a rich grid: a component that edits the
// PrintSettings of one grid in a modal window with a sketch of the first
// printed page.
//
// The window (TRichGridPrintSettingsForm, "Print Settings") holds four
// pages of controls, each control bound to one setting:
//
// | page              | groups                               |
// |-------------------|--------------------------------------|
// | General           | Borders:, General:, Fonts:           |
// | Headers / Footers | Date / Time:, Title:, Page Numbers:  |
// | Margins           | Margins:, Orientation:, Spacing:     |
// | Preferences       | Save settings                        |
//
// Every change of a control is written into the grid's settings at once
// (lengths are shown in millimetres or inches and kept in tenths of a
// millimetre, rounded); Execute keeps a copy of all the settings and puts
// it back unless the window closed with OK. A list whose setting has a
// value without an item (a custom border or fit) shows no item and leaves
// that value as it is.
//
// The component owns its window; the grid must outlive an Execute, and
// the component forgets a grid that is destroyed.
#pragma once

#include <memory>

#include "RichGrid/print_settings.h"
#include "platform/gui/controls/comctrls.h"
#include "platform/gui/core/dialogs.h"
#include "platform/gui/controls/extctrls.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/controls/stdctrls.h"
#include "platform/rtl/set.h"

class TRichStringGrid;
class TRichSpinEdit;

enum TPrintSettingsOption {
  psBorders,
  psGeneral,
  psFonts,
  psDateTime,
  psTitle,
  psPages,
  psMargins,
  psSpacing,
  psOrientation,
  psSaveSettings
};
using TPrintSettingsOptions = TSet<TPrintSettingsOption>;
inline constexpr TPrintSettingsOptions AllPrintSettingsOptions = TPrintSettingsOptions::FromBits(1023);

enum TPrintDimensions { pdmm, pdinch };

class TRichGridPrintSettingsForm : public TForm {
 public:
  explicit TRichGridPrintSettingsForm(TComponent* AOwner);

  // The grid whose settings the controls show and write.
  TRichStringGrid* Grid() const { return grid_; }
  void SetGrid(TRichStringGrid* grid) { grid_ = grid; }
  // Shows or hides the sketch panel and places OK and Cancel below.
  void SetShowSketch(bool show);
  bool ShowSketch() const { return showSketch_; }
  // Enables each group (and every control in it) by its option and shows
  // a page after the first only while one of its groups is enabled.
  void ApplyOptions(TPrintSettingsOptions options);
  void SetDimensions(TPrintDimensions dimensions);
  TPrintDimensions Dimensions() const { return rbInch->Checked() ? pdinch : pdmm; }

  // Sets every control from the grid's settings (a title text moves into
  // the title lines first).
  void FillControls();
  // Writes every setting from its control, then repaints the sketch.
  void ReadControls();

  // Handlers of the buttons (also for tests).
  void FontClick(TFont* setting);
  void btnLoadClick(TObject* Sender);
  void btnSaveClick(TObject* Sender);

  TPageControl* PageControl;
  TTabSheet *tsGeneral, *tsHeaders, *tsMargins, *tsPreferences;
  TGroupBox *gbBorders, *gbGeneral, *gbFonts, *gbDateTime, *gbTitle, *gbPages, *gbMargins, *gbOrientation, *gbSpacing,
      *gbSaveSettings;
  TComboBox *cbBorders, *cbBorderStyle, *cbFitToPage, *cbDatePos, *cbTimePos, *cbTitlePos, *cbPagesPos, *cbOrientation;
  TCheckBox *ckAutoSize, *ckCenter, *ckRepeatRows, *ckRepeatCols, *ckPrintGraphics;
  TButton *btnHeaderFont, *btnFooterFont, *btnTableFont;
  TEdit *edDateFormat, *edPrefix, *edSeparator, *edSuffix;
  TMemo* meTitle;
  TRichSpinEdit *seTop, *seLeft, *seRight, *seBottom, *seRowSpacing, *seColSpacing, *seTitleMargin;
  TRadioButton *rbMM, *rbInch;
  TLabel* UnitLabels[7];
  TButton *btnLoad, *btnSave;
  TPanel* pnlSketch;
  TPaintBox* pbSketch;
  TButton *btnOK, *btnCancel;
  TFontDialog* FontDialog;
  TOpenDialog* OpenDialog;
  TSaveDialog* SaveDialog;

 private:
  // The spin editors with the setting each shows, in the order of the
  // unit labels.
  struct Length {
    TRichSpinEdit* edit;
    int (TPrintsettings::*get)() const;
    void (TPrintsettings::*set)(int);
  };
  Length lengths_[7];
  void ApplyEnableRules();
  void ShowLengths();
  void UnitChanged();
  void SpinChanged(TRichSpinEdit* edit);
  void Changed();
  void PaintSketch();
  // ".ini" is added to a name without '.' when the first filter is chosen.
  static AnsiString IniName(const TOpenDialog& dialog);

  TRichStringGrid* grid_ = nullptr;
  TPrintSettingsOptions options_ = AllPrintSettingsOptions;
  bool showSketch_ = true;
  bool updatingControls_ = false;
  bool updatingSettings_ = false;
};

class TRichGridPrintSettingsDialog : public TCommonDialog {
 public:
  explicit TRichGridPrintSettingsDialog(TComponent* AOwner);
  ~TRichGridPrintSettingsDialog() override;
  vx::DialogKind Kind() const override { return vx::DialogKind::Modal; }

  // True when the user pressed OK. Raises Exception "The dialog does not
  // have a grid component." without a grid.
  bool Execute() override;

  TRichStringGrid* Grid() const { return grid_; }
  void SetGrid(TRichStringGrid* grid);
  TPrintSettingsOptions Options() const { return options_; }
  void SetOptions(TPrintSettingsOptions v);
  bool PrintPreview() const { return printPreview_; }
  void SetPrintPreview(bool v);
  TPrintDimensions PrintDimensions() const { return form_->Dimensions(); }
  void SetPrintDimensions(TPrintDimensions v) { form_->SetDimensions(v); }
  bool Executing() const { return executing_; }
  TRichGridPrintSettingsForm* Form() const { return form_; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TRichStringGrid* grid_ = nullptr;
  TRichGridPrintSettingsForm* form_;
  TPrintSettingsOptions options_ = AllPrintSettingsOptions;
  bool printPreview_ = true;
  bool executing_ = false;
};
