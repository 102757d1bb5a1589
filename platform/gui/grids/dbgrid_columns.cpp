// The data-aware grid's columns: titles, fonts, widths and alignment, and
// the list that is either built from the data set's fields or the
// program's own.
#include <algorithm>

#include "platform/db/field.h"
#include "platform/gui/grids/dbgrids.h"

namespace {

bool IsNumeric(TField* f) {
  if (!f) return false;
  switch (f->DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftAutoInc: return true;
    default: return false;
  }
}

}  // namespace

TColumnTitle::TColumnTitle(TColumn* column) : column_(column) {}

AnsiString TColumnTitle::Caption() const {
  if (captionSet_) return caption_;
  TField* f = column_->Field();
  return f ? f->DisplayLabel() : column_->FieldName();
}

void TColumnTitle::SetCaption(const AnsiString& v) {
  caption_ = v;
  captionSet_ = true;
  column_->Changed();
}

void TColumnTitle::SetAlignment(TAlignment v) {
  alignment_ = v;
  column_->Changed();
}

TColumn::TColumn(TCustomDBGrid* grid) : grid_(grid), title_(std::make_unique<TColumnTitle>(this)) {
  font_.Assign(*grid->Font());
  title_->Font()->Assign(*grid->TitleFont());
  font_.OnChange = [this](TObject*) { Changed(); };
  title_->Font()->OnChange = [this](TObject*) { Changed(); };
}

void TColumn::SetFieldName(const AnsiString& v) {
  fieldName_ = v;
  Changed();
}

TField* TColumn::Field() const {
  TDataSet* ds = grid_->link_->DataSet();
  if (!ds || fieldName_.empty()) return nullptr;
  return ds->FindField(fieldName_);
}

int TColumn::Width() const {
  if (width_ >= 0) return width_;
  TField* f = Field();
  const TSize digit = vx::FixedTextExtent("0", *const_cast<TColumn*>(this)->Font());
  const int chars = f ? std::max(f->DisplayWidth(), static_cast<int>(title_->Caption().size())) : 10;
  return std::min(chars, 40) * digit.cx + 4;
}

void TColumn::SetWidth(int v) {
  width_ = std::max(0, v);
  Changed();
}

TAlignment TColumn::Alignment() const {
  if (alignmentSet_) return alignment_;
  return IsNumeric(Field()) ? taRightJustify : taLeftJustify;
}

void TColumn::SetAlignment(TAlignment v) {
  alignment_ = v;
  alignmentSet_ = true;
  Changed();
}

void TColumn::SetColor(TColor v) {
  color_ = v;
  Changed();
}

void TColumn::SetVisible(bool v) {
  visible_ = v;
  Changed();
}

void TColumn::Changed() { grid_->LayoutColumns(); }

TColumn* TDBGridColumns::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return columns_[static_cast<std::size_t>(index)].get();
}

TColumn* TDBGridColumns::Add() {
  if (state_ == csDefault) {
    columns_.clear();
    state_ = csCustomized;
  }
  columns_.push_back(std::make_unique<TColumn>(grid_));
  grid_->LayoutColumns();
  return columns_.back().get();
}

void TDBGridColumns::Clear() {
  grid_->DiscardEdit();
  columns_.clear();
  state_ = csCustomized;
  grid_->LayoutColumns();
}

void TDBGridColumns::RebuildColumns() {
  grid_->DiscardEdit();
  columns_.clear();
  state_ = csCustomized;
  if (TDataSet* ds = grid_->link_->DataSet())
    for (int i = 0; i < ds->FieldCount(); ++i) {
      columns_.push_back(std::make_unique<TColumn>(grid_));
      columns_.back()->SetFieldName(ds->Fields()[i]->FieldName());
    }
  grid_->LayoutColumns();
}

void TDBGridColumns::SetState(TDBGridColumnsState v) {
  state_ = v;
  if (v == csDefault) BuildDefault();
}

void TDBGridColumns::BuildDefault() {
  columns_.clear();
  TDataSet* ds = grid_->link_->DataSet();
  if (ds && ds->Active())
    for (int i = 0; i < ds->FieldCount(); ++i) {
      TField* f = ds->Fields()[i];
      if (!f->Visible()) continue;
      columns_.push_back(std::make_unique<TColumn>(grid_));
      columns_.back()->SetFieldName(f->FieldName());
    }
  grid_->LayoutColumns();
}
