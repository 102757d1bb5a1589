#include "platform/chart/chart_series.h"

#include <algorithm>
#include <map>

#include "platform/chart/chart_model.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"

namespace vx {

AnsiString ChartLabels::At(int index) const {
  if (index < 0 || index >= Count()) return AnsiString();
  const std::size_t end = ends_[static_cast<std::size_t>(index)];
  const std::size_t start = index == 0 ? 0 : ends_[static_cast<std::size_t>(index) - 1];
  return text_.substr(start, end - start);
}

void ChartLabels::Add(std::string_view text) {
  text_.append(text);
  ends_.push_back(text_.size());
}

void ChartLabels::ShrinkToFit() {
  text_.shrink_to_fit();
  ends_.shrink_to_fit();
}

}  // namespace vx

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
  if (index < 0 || index >= static_cast<int>(y_.size())) return 0.0;
  return x_.empty() ? index : x_[static_cast<std::size_t>(index)];
}

double TChartSeries::YValue(int index) {
  EnsurePoints();
  return index >= 0 && index < static_cast<int>(y_.size()) ? y_[static_cast<std::size_t>(index)] : 0.0;
}

AnsiString TChartSeries::XLabel(int index) {
  EnsurePoints();
  return labels_ ? labels_->At(index) : AnsiString();
}

void TChartSeries::AddXY(double x, double y, const AnsiString& label) {
  EnsurePoints();
  const std::size_t n = y_.size();
  if (x_.empty() && x != static_cast<double>(n)) {
    x_.reserve(n + 1);
    for (std::size_t i = 0; i < n; ++i) x_.push_back(static_cast<double>(i));
  }
  if (!x_.empty()) x_.push_back(x);
  y_.push_back(y);
  if (!label.empty() && !labels_) labels_ = std::make_shared<vx::ChartLabels>();
  if (labels_) {
    // Labels read with other series are theirs too.
    if (labels_.use_count() > 1) labels_ = std::make_shared<vx::ChartLabels>(*labels_);
    while (static_cast<std::size_t>(labels_->Count()) < n) labels_->Add("");
    labels_->Add(label);
  }
  Changed();
}

void TChartSeries::ClearPoints() {
  x_.clear();
  y_.clear();
  x_.shrink_to_fit();
  y_.shrink_to_fit();
  labels_.reset();
}

void TChartSeries::Clear() {
  stale_ = false;
  ClearPoints();
  Changed();
}

void TChartSeries::EnsurePoints() {
  if (stale_) CheckDataSource();
}

void TChartSeries::CheckDataSource() {
  // The series of the chart that wait for the same data set come along.
  std::vector<TChartSeries*> series{this};
  if (chart_ && dataSource_)
    for (int i = 0; i < chart_->SeriesCount(); ++i) {
      TChartSeries* s = chart_->Series(i);
      if (s != this && s->stale_ && s->dataSource_ == dataSource_) series.push_back(s);
    }
  ReadPoints(series);
}

void TChartSeries::ReadPoints(const std::vector<TChartSeries*>& series) {
  struct Reading {
    TChartSeries* series;
    TField* value;
  };
  std::vector<Reading> readings;
  std::map<AnsiString, std::pair<TField*, std::shared_ptr<vx::ChartLabels>>> labels;
  TDataSet* ds = series.front()->dataSource_;
  for (TChartSeries* s : series) {
    s->stale_ = false;
    s->ClearPoints();
    if (!ds || !ds->Active() || s->yValues_.ValueSource().empty()) continue;
    TField* value = ds->FindField(s->yValues_.ValueSource());
    if (!value) continue;
    readings.push_back({s, value});
    if (s->xLabelsSource_.empty()) continue;
    if (TField* label = ds->FindField(s->xLabelsSource_)) {
      auto& shared = labels[s->xLabelsSource_];
      if (!shared.second) shared = {label, std::make_shared<vx::ChartLabels>()};
      s->labels_ = shared.second;
    }
  }
  const auto changed = [&] {
    for (TChartSeries* s : series) s->Changed();
  };
  if (readings.empty()) {
    changed();
    return;
  }
  const std::size_t expected = static_cast<std::size_t>(std::max(ds->RecordCount(), 0));
  for (Reading& r : readings) r.series->y_.reserve(expected);
  for (auto& [name, label] : labels) label.second->Reserve(expected);

  try {
    vx::ControlsDisabled quiet(ds);
    vx::KeepCursor keep(ds);
    for (ds->First(); !ds->Eof(); ds->Next()) {
      for (Reading& r : readings) r.series->y_.push_back(r.value->AsFloat());
      for (auto& [name, label] : labels) label.second->Add(label.first->AsString());
    }
  } catch (...) {
    changed();
    throw;
  }
  for (Reading& r : readings) r.series->y_.shrink_to_fit();
  for (auto& [name, label] : labels) label.second->ShrinkToFit();
  changed();
}
