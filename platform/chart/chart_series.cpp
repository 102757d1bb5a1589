#include "platform/chart/chart_series.h"

#include "platform/chart/chart_model.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"

void TChartValueList::SetValueSource(const AnsiString& v) {
  if (source_ == v) return;
  source_ = v;
  series_->SourceChanged();
}

TChartSeries::TChartSeries(TComponent* AOwner) : TComponent(AOwner) {}

TChartSeries::~TChartSeries() {
  if (chart_) chart_->Forget(this);
  if (dataSource_) dataSource_->RemoveFreeNotification(this);
}

void TChartSeries::SetParentChart(vx::ChartModel* chart) {
  if (chart_ == chart) return;
  if (chart_) chart_->RemoveSeries(this);
  if (chart) chart->AddSeries(this);
}

void TChartSeries::SetDataSource(TDataSet* dataSet) {
  if (dataSource_ == dataSet) return;
  if (dataSource_) dataSource_->RemoveFreeNotification(this);
  dataSource_ = dataSet;
  if (dataSource_) dataSource_->FreeNotification(this);
  SourceChanged();
}

void TChartSeries::SetXLabelsSource(const AnsiString& v) {
  if (xLabelsSource_ == v) return;
  xLabelsSource_ = v;
  SourceChanged();
}

void TChartSeries::SetTitle(const AnsiString& v) {
  title_ = v;
  Changed();
}

void TChartSeries::SetSeriesColor(TColor v) {
  color_ = v;
  Changed();
}

void TChartSeries::SetActive(bool v) {
  if (active_ == v) return;
  active_ = v;
  Changed();
}

void TChartSeries::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == dataSource_) {
    dataSource_ = nullptr;
    SourceChanged();
  }
}

void TChartSeries::SourceChanged() {
  stale_ = true;
  Changed();
}

void TChartSeries::Changed() {
  if (chart_) chart_->DataChanged();
}

int TChartSeries::Count() {
  EnsurePoints();
  return static_cast<int>(y_.size());
}

double TChartSeries::XValue(int index) {
  EnsurePoints();
  return index >= 0 && index < static_cast<int>(x_.size()) ? x_[index] : 0.0;
}

double TChartSeries::YValue(int index) {
  EnsurePoints();
  return index >= 0 && index < static_cast<int>(y_.size()) ? y_[index] : 0.0;
}

AnsiString TChartSeries::XLabel(int index) {
  EnsurePoints();
  return index >= 0 && index < static_cast<int>(labels_.size()) ? labels_[index] : AnsiString();
}

void TChartSeries::AddXY(double x, double y, const AnsiString& label) {
  EnsurePoints();
  x_.push_back(x);
  y_.push_back(y);
  labels_.push_back(label);
  Changed();
}

void TChartSeries::Clear() {
  stale_ = false;
  x_.clear();
  y_.clear();
  labels_.clear();
  Changed();
}

void TChartSeries::EnsurePoints() {
  if (stale_) CheckDataSource();
}

void TChartSeries::CheckDataSource() {
  stale_ = false;
  x_.clear();
  y_.clear();
  labels_.clear();
  TDataSet* ds = dataSource_;
  if (!ds || !ds->Active() || yValues_.ValueSource().empty()) {
    Changed();
    return;
  }
  TField* value = ds->FindField(yValues_.ValueSource());
  TField* label = xLabelsSource_.empty() ? nullptr : ds->FindField(xLabelsSource_);
  if (!value) {
    Changed();
    return;
  }
  ds->DisableControls();
  const bool hadBookmark = ds->BookmarkAvailable();
  const TBookmark bookmark = hadBookmark ? ds->GetBookmark() : TBookmark();
  try {
    ds->First();
    for (int j = 0; !ds->Eof(); ++j) {
      x_.push_back(j);
      y_.push_back(value->AsFloat());
      labels_.push_back(label ? label->AsString() : AnsiString());
      ds->Next();
    }
    if (hadBookmark) ds->GotoBookmark(bookmark);
  } catch (...) {
    ds->EnableControls();
    Changed();
    throw;
  }
  ds->EnableControls();
  Changed();
}
