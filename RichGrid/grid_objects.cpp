#include "RichGrid/grid_objects.h"

TCellGraphic::~TCellGraphic() {
  switch (Kind) {
    case ctBitmap:
    case ctPicture:
    case ctFilePicture:
      if (OwnsGraphic) delete Picture();
      break;
    case ctIcon:
      if (OwnsGraphic) delete Graphic2;
      break;
    case ctImages: delete ImageNumbers(); break;
    case ctRadio:
    case ctComment: delete Texts(); break;
    default: break;
  }
}

TGraphic* TCellGraphic::Picture() const {
  auto* p = std::get_if<TGraphic*>(&Graphic);
  return p ? *p : nullptr;
}

TIntList* TCellGraphic::ImageNumbers() const {
  auto* p = std::get_if<TIntList*>(&Graphic);
  return p ? *p : nullptr;
}

TStringList* TCellGraphic::Texts() const {
  auto* p = std::get_if<TStringList*>(&Graphic);
  return p ? *p : nullptr;
}

TCellNode::TCellNode() : expandGlyph_(std::make_unique<TBitmap>()), contractGlyph_(std::make_unique<TBitmap>()) {}

void TCellNode::SetNodeType(TCellNodeType v) {
  if (v == nodeType_) return;
  nodeType_ = v;
  Changed();
}

void TBands::SetActive(bool v) {
  active_ = v;
  Changed();
}

void TBands::ChangedWhileActive() {
  if (active_) Changed();
}

void TBands::SetPrimaryColor(TColor v) {
  primaryColor_ = v;
  ChangedWhileActive();
}

void TBands::SetSecondaryColor(TColor v) {
  secondaryColor_ = v;
  ChangedWhileActive();
}

void TBands::SetPrimaryLength(int v) {
  primaryLength_ = v;
  period_ = primaryLength_ + secondaryLength_;
  ChangedWhileActive();
}

void TBands::SetSecondaryLength(int v) {
  secondaryLength_ = v;
  period_ = primaryLength_ + secondaryLength_;
  ChangedWhileActive();
}

void TBands::SetPrint(bool v) {
  print_ = v;
  ChangedWhileActive();
}

TColor TBands::ColorOfDataRow(int dataRow) const {
  if (period_ < 1 || dataRow < 0) return primaryColor_;
  return dataRow % period_ < primaryLength_ ? primaryColor_ : secondaryColor_;
}

TBackGround::TBackGround() : bitmap_(std::make_unique<TBitmap>()) {}

void TBackGround::SetTop(int v) {
  top_ = v;
  Changed();
}

void TBackGround::SetLeft(int v) {
  left_ = v;
  Changed();
}

void TBackGround::SetDisplay(TBackgroundDisplay v) {
  display_ = v;
  Changed();
}

void TBackGround::SetCells(TBackgroundCells v) {
  cells_ = v;
  Changed();
}

void TBackGround::SetBitmap(const TBitmap& v) {
  bitmap_->Assign(v);
  Changed();
}

void TFilterData::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TFilterData*>(source)) {
    Column = s->Column;
    Condition = s->Condition;
    return;
  }
  TCollectionItem::Assign(source);
}
