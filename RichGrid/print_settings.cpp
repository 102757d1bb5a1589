#include "RichGrid/print_settings.h"

#include "RichGrid/text_routines.h"
#include "platform/rtl/inifiles.h"

TPrintsettings::TPrintsettings()
    : titleLines_(std::make_unique<TStringList>()),
      font_(std::make_unique<TFont>()),
      headerFont_(std::make_unique<TFont>()),
      footerFont_(std::make_unique<TFont>()) {}

TPrintsettings::~TPrintsettings() = default;

void TPrintsettings::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TPrintsettings*>(source);
  if (!s) {
    TPersistent::Assign(source);
    return;
  }
  if (s == this) return;
  time_ = s->time_;
  date_ = s->date_;
  pageNr_ = s->pageNr_;
  title_ = s->title_;
  pageNumSep_ = s->pageNumSep_;
  dateFormat_ = s->dateFormat_;
  titleText_ = s->titleText_;
  titleLines_->Assign(s->titleLines_.get());
  font_->Assign(*s->font_);
  headerFont_->Assign(*s->headerFont_);
  footerFont_->Assign(*s->footerFont_);
  borders_ = s->borders_;
  borderStyle_ = s->borderStyle_;
  centered_ = s->centered_;
  repeatFixedRows_ = s->repeatFixedRows_;
  repeatFixedCols_ = s->repeatFixedCols_;
  footerSize_ = s->footerSize_;
  headerSize_ = s->headerSize_;
  leftSize_ = s->leftSize_;
  rightSize_ = s->rightSize_;
  columnSpacing_ = s->columnSpacing_;
  rowSpacing_ = s->rowSpacing_;
  titleSpacing_ = s->titleSpacing_;
  orientation_ = s->orientation_;
  pagePrefix_ = s->pagePrefix_;
  pageSuffix_ = s->pageSuffix_;
  jobName_ = s->jobName_;
  fixedWidth_ = s->fixedWidth_;
  fixedHeight_ = s->fixedHeight_;
  useFixedHeight_ = s->useFixedHeight_;
  useFixedWidth_ = s->useFixedWidth_;
  fitToPage_ = s->fitToPage_;
  noAutoSize_ = s->noAutoSize_;
  printGraphics_ = s->printGraphics_;
}

namespace {

// What a settings file may set: sizes, margins and spacings in tenths of a
// millimetre up to a metre, font sizes in points as word processors offer
// them. A number outside its range keeps the current value.
constexpr int kMaxLength = 10000;
constexpr int kMinFontSize = 1, kMaxFontSize = 1638;

// A text with blanks at an end, or one that the reader would take for a
// quoted value, goes in double quotes; the reader takes one pair off.
AnsiString Quoted(const AnsiString& v) {
  if (v.empty()) return v;
  const bool blank = static_cast<unsigned char>(v.front()) <= ' ' || static_cast<unsigned char>(v.back()) <= ' ';
  const bool quoted = v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
  return blank || quoted ? '"' + v + '"' : v;
}

// One INI section, with the value conventions of the print settings.
class SettingsSection {
 public:
  SettingsSection(const AnsiString& fileName, const AnsiString& section) : ini_(fileName), section_(section) {}

  void Int(const char* key, int v) { ini_.WriteInteger(section_, key, v); }
  void Bool(const char* key, bool v) { ini_.WriteString(section_, key, v ? "Y" : "N"); }
  void Text(const char* key, const AnsiString& v) { ini_.WriteString(section_, key, Quoted(v)); }
  void Font(const char* prefix, const TFont& f) {
    const AnsiString p = prefix;
    Text((p + "FontName").c_str(), f.Name());
    Int((p + "FontSize").c_str(), f.Size());
    Int((p + "FontStyle").c_str(), static_cast<int>(f.Style().Bits()));
    Int((p + "FontColor").c_str(), f.Color());
  }

  int ReadInt(const char* key, int def) { return ini_.ReadInteger(section_, key, def); }
  // The value when it lies within lo..hi, else current.
  int ReadInt(const char* key, int def, int lo, int hi, int current) {
    const int v = ReadInt(key, def);
    return v >= lo && v <= hi ? v : current;
  }
  int ReadLength(const char* key, int def, int current) { return ReadInt(key, def, 0, kMaxLength, current); }
  bool ReadBool(const char* key, const char* def) { return ini_.ReadString(section_, key, def) == "Y"; }
  AnsiString ReadText(const char* key, const char* def) { return ini_.ReadString(section_, key, def); }
  // An ordinal within 0..max, or -1.
  int ReadOrdinal(const char* key, int max) {
    const int v = ReadInt(key, 0);
    return v >= 0 && v <= max ? v : -1;
  }
  TPrintPosition ReadPosition(const char* key) {
    const int v = ReadOrdinal(key, ppBottomCenter);
    return v < 0 ? ppNone : static_cast<TPrintPosition>(v);
  }
  void ReadFont(const char* prefix, TFont& f) {
    const AnsiString p = prefix;
    f.SetName(ReadText((p + "FontName").c_str(), "Arial"));
    f.SetSize(ReadInt((p + "FontSize").c_str(), 10, kMinFontSize, kMaxFontSize, f.Size()));
    // A stored style replaces the font's style; a missing one leaves it.
    const AnsiString styleKey = p + "FontStyle";
    if (ini_.ValueExists(section_, styleKey)) f.SetStyle(TFontStyles::FromBits(ReadInt(styleKey.c_str(), 0) & 15));
    f.SetColor(ReadInt((p + "FontColor").c_str(), 0));
  }

 private:
  TIniFile ini_;
  AnsiString section_;
};

}  // namespace

void SavePrintSettings(const TPrintsettings& s, const AnsiString& fileName, const AnsiString& section) {
  SettingsSection ini(fileName, section);
  ini.Int("ColumnSpacing", s.ColumnSpacing());
  ini.Int("RowSpacing", s.RowSpacing());
  ini.Int("TitleSpacing", s.TitleSpacing());
  ini.Int("FixedHeight", s.FixedHeight());
  ini.Int("FixedWidth", s.FixedWidth());
  ini.Bool("Centered", s.Centered());
  ini.Bool("NoAutoSize", s.NoAutoSize());
  ini.Bool("UseFixedHeight", s.UseFixedHeight());
  ini.Bool("UseFixedWidth", s.UseFixedWidth());
  ini.Bool("RepeatFixedRows", s.RepeatFixedRows());
  ini.Bool("RepeatFixedCols", s.RepeatFixedCols());
  ini.Int("Borders", s.Borders());
  ini.Int("BorderStyle", s.BorderStyle());
  ini.Int("Date", s.Date());
  ini.Int("PageNr", s.PageNr());
  ini.Int("Title", s.Title());
  ini.Int("Time", s.Time());
  ini.Text("DateFormat", s.DateFormat());
  ini.Text("TitleText", s.TitleText());
  ini.Int("FooterSize", s.FooterSize());
  ini.Int("HeaderSize", s.HeaderSize());
  ini.Int("LeftSize", s.LeftSize());
  ini.Int("RightSize", s.RightSize());
  ini.Int("FitToPage", s.FitToPage());
  ini.Font("", *s.Font());
  ini.Font("Header", *s.HeaderFont());
  ini.Font("Footer", *s.FooterFont());
  ini.Text("PageNumSep", s.PageNumSep());
  ini.Text("PageSuffix", s.PageSuffix());
  ini.Text("PagePrefix", s.PagePrefix());
  ini.Int("Orientation", s.Orientation());
  ini.Text("TitleLines", LineBreaksToEscapes(s.TitleLines()->Text()));
}

void LoadPrintSettings(TPrintsettings& s, const AnsiString& fileName, const AnsiString& section) {
  SettingsSection ini(fileName, section);
  s.SetColumnSpacing(ini.ReadLength("ColumnSpacing", 20, s.ColumnSpacing()));
  s.SetRowSpacing(ini.ReadLength("RowSpacing", 20, s.RowSpacing()));
  s.SetTitleSpacing(ini.ReadLength("TitleSpacing", 20, s.TitleSpacing()));
  s.SetFixedHeight(ini.ReadLength("FixedHeight", 0, s.FixedHeight()));
  s.SetFixedWidth(ini.ReadLength("FixedWidth", 0, s.FixedWidth()));
  s.SetCentered(ini.ReadBool("Centered", "Y"));
  s.SetNoAutoSize(ini.ReadBool("NoAutoSize", "N"));
  s.SetUseFixedHeight(ini.ReadBool("UseFixedHeight", "N"));
  s.SetUseFixedWidth(ini.ReadBool("UseFixedWidth", "N"));
  s.SetRepeatFixedRows(ini.ReadBool("RepeatFixedRows", "N"));
  s.SetRepeatFixedCols(ini.ReadBool("RepeatFixedCols", "N"));
  if (const int v = ini.ReadOrdinal("Borders", pbCustom); v >= 0) s.SetBorders(static_cast<TPrintBorders>(v));
  if (const int v = ini.ReadOrdinal("BorderStyle", psInsideFrame); v >= 0) s.SetBorderStyle(static_cast<TPenStyle>(v));
  s.SetDate(ini.ReadPosition("Date"));
  s.SetPageNr(ini.ReadPosition("PageNr"));
  s.SetTitle(ini.ReadPosition("Title"));
  s.SetTime(ini.ReadPosition("Time"));
  s.SetDateFormat(ini.ReadText("DateFormat", ""));
  s.SetTitleText(ini.ReadText("TitleText", ""));
  s.SetFooterSize(ini.ReadLength("FooterSize", 100, s.FooterSize()));
  s.SetHeaderSize(ini.ReadLength("HeaderSize", 100, s.HeaderSize()));
  s.SetLeftSize(ini.ReadLength("LeftSize", 100, s.LeftSize()));
  s.SetRightSize(ini.ReadLength("RightSize", 100, s.RightSize()));
  if (const int v = ini.ReadOrdinal("FitToPage", fpCustom); v >= 0) s.SetFitToPage(static_cast<TFitToPage>(v));
  ini.ReadFont("", *s.Font());
  ini.ReadFont("Header", *s.HeaderFont());
  ini.ReadFont("Footer", *s.FooterFont());
  s.SetPageNumSep(ini.ReadText("PageNumSep", ""));
  s.SetPageSuffix(ini.ReadText("PageSuffix", ""));
  s.SetPagePrefix(ini.ReadText("PagePrefix", ""));
  if (const int v = ini.ReadOrdinal("Orientation", poLandscape); v >= 0)
    s.SetOrientation(static_cast<TPrinterOrientation>(v));
  s.TitleLines()->SetText(EscapesToLineBreaks(ini.ReadText("TitleLines", "")));
}
