// The rich grid's own objects: its exception, the cell object that gives a
// cell a picture, a check box, a node or a button, the hidden-row item, and
// the property groups the grid owns (bands, mouse actions, column sizes ...).
//
// A property group tells its grid about a change through OnChange (set by
// the grid); groups do not know the grid itself. Bitmaps held by a group are
// owned by it and their setters copy.
#pragma once

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "RichGrid/int_list.h"
#include "RichGrid/rich_grid_types.h"
#include "platform/gui/draw/bitmap.h"
#include "platform/rtl/classes.h"

VX_DECLARE_EXCEPTION(ERichGridError, Exception)

// What a cell object holds; a cell without one reads as ctNone.
enum TCellType : std::uint8_t {
  ctBitmap = 0,        // Graphic: a picture
  ctIcon = 1,          // Graphic2: an icon
  ctImageList = 3,     // Value: an image of the grid's image list
  ctCheckBox = 4,      // State: checked
  ctDataCheckBox = 5,  // checked when the cell text is the grid's check text
  ctValue = 6,         // Mode: the angle the cell text is turned by
  ctImageValue = 7,    // the image-list image numbered by the cell's integer text
  ctNode = 8,          // Value: child rows (0 or less: up to the next node), State: expanded
  ctRadio = 9,         // Graphic: item texts, Value: selected item, State: horizontal
  ctNone = 10,
  ctImages = 11,       // Graphic: image numbers, State: horizontal
  ctPicture = 12,      // Graphic stretched by Mode with margin Value
  ctFilePicture = 13,  // likewise
  ctProgress = 15,     // a bar filled to the cell's integer text, in percent
  ctComment = 16,      // Graphic: the comment's lines
  ctButton = 17        // Value: width (low 16 bits), height (high 16 bits); State: pressed
};

// A cell's object. Graphic holds a picture, a list of image numbers or a
// list of texts, by kind. The destructor frees the picture in Graphic
// (kinds 0, 12, 13) or Graphic2 (kind 1) when OwnsGraphic is set, and
// always the image numbers (11) and the texts (9, 16), which the grid makes.
class TCellGraphic : public TObject {
 public:
  using Content = std::variant<std::monostate, TGraphic*, TIntList*, TStringList*>;

  TCellGraphic() = default;
  ~TCellGraphic() override;

  TGraphic* Picture() const;
  TIntList* ImageNumbers() const;
  TStringList* Texts() const;

  TCellType Kind = ctNone;
  Content Graphic;
  TGraphic* Graphic2 = nullptr;
  std::uint8_t VertPosition = 0;  // 0..5
  std::uint8_t Position = 0;      // 0..5
  std::int32_t Value = 0;
  bool OwnsGraphic = false;
  bool State = false;
  std::int16_t Mode = 0;
  double Origin = 0;
  TColor Color = clNone;
};

// A row held hidden: its real index, its texts with their cell objects
// (moved out of the grid; either may be shorter than the row), and whether
// it was selected when it was hidden.
class TGridItem : public TObject {
 public:
  int Idx = 0;
  std::vector<AnsiString> Items;
  std::vector<TObject*> Objects;
  bool Selected = false;
};

// Base of the property groups: OnChange after every change that the grid
// must see.
class TGridProperties : public TPersistent {
 public:
  TNotifyEvent OnChange;

 protected:
  void Changed() {
    if (OnChange) OnChange(this);
  }
};

class THTMLSettings : public TGridProperties {
 public:
  int BorderSize = 1;
  int CellSpacing = 0;
  int CellPadding = 0;
  bool SaveColor = true;
  bool SaveFonts = true;
  AnsiString FooterFile, HeaderFile, TableStyle, PrefixTag, SuffixTag;
  int Width = 100;
};

class TNavigation : public TGridProperties {
 public:
  bool AllowClipboardColGrow = true;
  bool AllowClipboardRowGrow = true;
  bool CopyHTMLTagsToClipboard = true;
  bool MoveRowOnSort = false;
  bool AdvanceOnEnter = false;
  bool AdvanceInsert = false;
  bool AutoGotoWhenSorted = false;
  bool AutoGotoIncremental = false;
  bool LineFeedOnEnter = false;
  bool AdvanceAuto = false;
  bool CursorWalkEditor = false;
  bool ImproveMaskSel = false;
  bool AllowClipboardShortCuts = false;
  bool AllowInsertRow = false;
  bool AllowDeleteRow = false;
  bool AlwaysEdit = false;
  bool AllowRTFClipboard = false;
  bool AllowSmartClipboard = false;
  bool AllowClipboardAlways = false;
  TAdvanceDirection AdvanceDirection = adLeftRight;
  TInsertPosition InsertPosition = pInsertBefore;
};

enum TColumnSizeLocation { clRegistry, clIniFile };

// Column widths kept between runs, and the last column stretched to the
// client width. OnChange fires when Stretch is set (the grid stretches).
class TColumnSize : public TGridProperties {
 public:
  bool Save = false;
  AnsiString Key, Section;
  TColumnSizeLocation Location = clRegistry;
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v) {
    stretch_ = v;
    Changed();
  }

 private:
  bool stretch_ = false;
};

enum TCellNodeType { cnFlat, cn3D, cnGlyph };

class TCellNode : public TGridProperties {
 public:
  TCellNode();
  TColor Color = clSilver;
  TColor NodeColor = clBlack;
  TCellNodeType NodeType() const { return nodeType_; }
  void SetNodeType(TCellNodeType v);
  TBitmap* ExpandGlyph() const { return expandGlyph_.get(); }
  void SetExpandGlyph(const TBitmap& v) { expandGlyph_->Assign(v); }
  TBitmap* ContractGlyph() const { return contractGlyph_.get(); }
  void SetContractGlyph(const TBitmap& v) { contractGlyph_->Assign(v); }

 private:
  TCellNodeType nodeType_ = cnFlat;
  std::unique_ptr<TBitmap> expandGlyph_, contractGlyph_;
};

// Alternating row colours. Active always repaints; other changes repaint
// while active.
class TBands : public TGridProperties {
 public:
  bool Active() const { return active_; }
  void SetActive(bool v);
  TColor PrimaryColor() const { return primaryColor_; }
  void SetPrimaryColor(TColor v);
  TColor SecondaryColor() const { return secondaryColor_; }
  void SetSecondaryColor(TColor v);
  int PrimaryLength() const { return primaryLength_; }
  void SetPrimaryLength(int v);
  int SecondaryLength() const { return secondaryLength_; }
  void SetSecondaryLength(int v);
  bool Print() const { return print_; }
  void SetPrint(bool v);
  // PrimaryLength + SecondaryLength.
  int Period() const { return period_; }
  // The band colour of a data row counted from the first row below the
  // fixed rows; a period below 1 gives the primary colour.
  TColor ColorOfDataRow(int dataRow) const;

 private:
  void ChangedWhileActive();
  bool active_ = false;
  TColor primaryColor_ = clInfoBk, secondaryColor_ = clWindow;
  int primaryLength_ = 1, secondaryLength_ = 1, period_ = 2;
  bool print_ = false;
};

class TSizeWhileTyping : public TGridProperties {
 public:
  bool Height = false;
  bool Width = false;
};

class TMouseActions : public TGridProperties {
 public:
  bool AllSelect = false;
  bool ColSelect = false;
  bool RowSelect = false;
  bool DirectEdit = false;
  bool DirectComboDrop = false;
  bool DisjunctRowSelect = false;
  bool AllColumnSize = false;
  bool AllRowSize = false;
  bool CaretPositioning = false;
};

enum TBackgroundDisplay { bdTile, bdFixed };
enum TBackgroundCells { bcNormal, bcFixed };

// A picture behind the cells; every change repaints.
class TBackGround : public TGridProperties {
 public:
  TBackGround();
  int Top() const { return top_; }
  void SetTop(int v);
  int Left() const { return left_; }
  void SetLeft(int v);
  TBackgroundDisplay Display() const { return display_; }
  void SetDisplay(TBackgroundDisplay v);
  TBackgroundCells Cells() const { return cells_; }
  void SetCells(TBackgroundCells v);
  TBitmap* Bitmap() const { return bitmap_.get(); }
  void SetBitmap(const TBitmap& v);

 private:
  int top_ = 0, left_ = 0;
  TBackgroundDisplay display_ = bdTile;
  TBackgroundCells cells_ = bcNormal;
  std::unique_ptr<TBitmap> bitmap_;
};

// One condition of the row filter: the text of Column must match Condition.
class TFilterData : public TCollectionItem {
 public:
  explicit TFilterData(TCollection* collection) : TCollectionItem(collection) {}
  void Assign(TPersistent* source) override;
  std::int16_t Column = 0;
  AnsiString Condition;
};

class TFilter : public TCollection {
 public:
  TFilter() : TCollection(TCollection::Of<TFilterData>()) {}
  TFilterData* Add() { return static_cast<TFilterData*>(TCollection::Add()); }
  TFilterData* Items(int index) const { return static_cast<TFilterData*>(TCollection::Items(index)); }
};
