// TPrintsettings: every choice that printing and print preview of the grid
// read (header and footer contents, fonts, margins, spacing, borders,
// repeated fixed cells, fitting, orientation), and its INI section.
//
// Sizes and spacings are in tenths of a millimetre. The object owns its
// three fonts and the title lines; the setters copy what they are given.
//
// The INI section (SavePrintSettings / LoadPrintSettings) holds 41 keys in a
// fixed order: integers in decimal (colours as signed numbers), Booleans as
// "Y"/"N" (only "Y" reads as true), enumerations as ordinals, the title
// lines as one value with "\n" between the lines. JobName and PrintGraphics
// are not stored. A missing file or key gives the read defaults, which
// differ from the constructor's (spacings 20, margins 100, "Arial" 10,
// centred). Values out of range leave the setting as it was: sizes,
// margins and spacings go from 0 to 10000 (a metre), font sizes from 1 to
// 1638 points. Texts with blanks at an end are written in double quotes,
// which reading takes off again.
#pragma once

#include <memory>

#include "platform/gui/draw/graphics.h"
#include "platform/rtl/classes.h"

#include "platform/gui/draw/printers.h"

enum TPrintPosition { ppNone, ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomRight, ppBottomCenter };
enum TPrintBorders {
  pbNoborder,
  pbSingle,
  pbDouble,
  pbVertical,
  pbHorizontal,
  pbAround,
  pbAroundVertical,
  pbAroundHorizontal,
  pbCustom
};
enum TFitToPage { fpNever, fpGrow, fpShrink, fpAlways, fpCustom };

class TPrintsettings : public TPersistent {
 public:
  TPrintsettings();
  ~TPrintsettings() override;

  // Copies every property (fonts and title lines deeply) from another
  // TPrintsettings.
  void Assign(TPersistent* source) override;

  TPrintPosition Time() const { return time_; }
  void SetTime(TPrintPosition v) { time_ = v; }
  TPrintPosition Date() const { return date_; }
  void SetDate(TPrintPosition v) { date_ = v; }
  TPrintPosition PageNr() const { return pageNr_; }
  void SetPageNr(TPrintPosition v) { pageNr_ = v; }
  const AnsiString& PageNumSep() const { return pageNumSep_; }
  void SetPageNumSep(const AnsiString& v) { pageNumSep_ = v; }
  const AnsiString& DateFormat() const { return dateFormat_; }
  void SetDateFormat(const AnsiString& v) { dateFormat_ = v; }
  TPrintPosition Title() const { return title_; }
  void SetTitle(TPrintPosition v) { title_ = v; }
  const AnsiString& TitleText() const { return titleText_; }
  void SetTitleText(const AnsiString& v) { titleText_ = v; }
  TStringList* TitleLines() const { return titleLines_.get(); }
  void SetTitleLines(TStrings* v) { titleLines_->Assign(v); }

  TFont* Font() const { return font_.get(); }
  void SetFont(const TFont& v) { font_->Assign(v); }
  TFont* HeaderFont() const { return headerFont_.get(); }
  void SetHeaderFont(const TFont& v) { headerFont_->Assign(v); }
  TFont* FooterFont() const { return footerFont_.get(); }
  void SetFooterFont(const TFont& v) { footerFont_->Assign(v); }

  TPrintBorders Borders() const { return borders_; }
  void SetBorders(TPrintBorders v) { borders_ = v; }
  TPenStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TPenStyle v) { borderStyle_ = v; }
  bool Centered() const { return centered_; }
  void SetCentered(bool v) { centered_ = v; }
  bool RepeatFixedRows() const { return repeatFixedRows_; }
  void SetRepeatFixedRows(bool v) { repeatFixedRows_ = v; }
  bool RepeatFixedCols() const { return repeatFixedCols_; }
  void SetRepeatFixedCols(bool v) { repeatFixedCols_ = v; }

  int FooterSize() const { return footerSize_; }
  void SetFooterSize(int v) { footerSize_ = v; }
  int HeaderSize() const { return headerSize_; }
  void SetHeaderSize(int v) { headerSize_ = v; }
  int LeftSize() const { return leftSize_; }
  void SetLeftSize(int v) { leftSize_ = v; }
  int RightSize() const { return rightSize_; }
  void SetRightSize(int v) { rightSize_ = v; }
  int ColumnSpacing() const { return columnSpacing_; }
  void SetColumnSpacing(int v) { columnSpacing_ = v; }
  int RowSpacing() const { return rowSpacing_; }
  void SetRowSpacing(int v) { rowSpacing_ = v; }
  int TitleSpacing() const { return titleSpacing_; }
  void SetTitleSpacing(int v) { titleSpacing_ = v; }

  TPrinterOrientation Orientation() const { return orientation_; }
  void SetOrientation(TPrinterOrientation v) { orientation_ = v; }
  const AnsiString& PagePrefix() const { return pagePrefix_; }
  void SetPagePrefix(const AnsiString& v) { pagePrefix_ = v; }
  const AnsiString& PageSuffix() const { return pageSuffix_; }
  void SetPageSuffix(const AnsiString& v) { pageSuffix_ = v; }
  int FixedWidth() const { return fixedWidth_; }
  void SetFixedWidth(int v) { fixedWidth_ = v; }
  int FixedHeight() const { return fixedHeight_; }
  void SetFixedHeight(int v) { fixedHeight_ = v; }
  bool UseFixedHeight() const { return useFixedHeight_; }
  void SetUseFixedHeight(bool v) { useFixedHeight_ = v; }
  bool UseFixedWidth() const { return useFixedWidth_; }
  void SetUseFixedWidth(bool v) { useFixedWidth_ = v; }
  TFitToPage FitToPage() const { return fitToPage_; }
  void SetFitToPage(TFitToPage v) { fitToPage_ = v; }
  const AnsiString& JobName() const { return jobName_; }
  void SetJobName(const AnsiString& v) { jobName_ = v; }
  bool NoAutoSize() const { return noAutoSize_; }
  void SetNoAutoSize(bool v) { noAutoSize_ = v; }
  bool PrintGraphics() const { return printGraphics_; }
  void SetPrintGraphics(bool v) { printGraphics_ = v; }

 private:
  TPrintPosition time_ = ppNone, date_ = ppNone, pageNr_ = ppNone, title_ = ppNone;
  AnsiString pageNumSep_ = "/", dateFormat_ = "dd/mm/yyyy", titleText_;
  std::unique_ptr<TStringList> titleLines_;
  std::unique_ptr<TFont> font_, headerFont_, footerFont_;
  TPrintBorders borders_ = pbNoborder;
  TPenStyle borderStyle_ = psSolid;
  bool centered_ = false, repeatFixedRows_ = false, repeatFixedCols_ = false;
  int footerSize_ = 0, headerSize_ = 0, leftSize_ = 0, rightSize_ = 0;
  int columnSpacing_ = 0, rowSpacing_ = 0, titleSpacing_ = 0;
  TPrinterOrientation orientation_ = poPortrait;
  AnsiString pagePrefix_, pageSuffix_, jobName_;
  int fixedWidth_ = 0, fixedHeight_ = 0;
  bool useFixedHeight_ = false, useFixedWidth_ = false;
  TFitToPage fitToPage_ = fpNever;
  bool noAutoSize_ = false, printGraphics_ = false;
};

// Writes the settings into `section` of the INI file (created when missing;
// other keys and sections stay).
void SavePrintSettings(const TPrintsettings& settings, const AnsiString& fileName, const AnsiString& section);
// Reads every key of `section`, each with its read default when missing.
void LoadPrintSettings(TPrintsettings& settings, const AnsiString& fileName, const AnsiString& section);
