#include "app/analysis/probability.h"

#include <algorithm>
#include <climits>

#include "platform/db/dataset.h"
#include "platform/db/field.h"

namespace vx {

// ---------------------------------------------------------------------------
// Draws of a data set

DataSetDrawSource::DataSetDrawSource(TDataSet* dataSet, int firstNumber) : dataSet_(dataSet) {
  const int count = dataSet->FieldCount();
  if (count > 0) year_ = dataSet->Fields()[0];
  if (count > 1) draw_ = dataSet->Fields()[1];
  for (int i = firstNumber; i < count; ++i) numbers_.push_back(dataSet->Fields()[i]);
}

void DataSetDrawSource::First() { dataSet_->First(); }
void DataSetDrawSource::Next() { dataSet_->Next(); }
bool DataSetDrawSource::Eof() { return dataSet_->Eof(); }
int DataSetDrawSource::Year() { return year_ ? year_->AsInteger() : 0; }
int DataSetDrawSource::Draw() { return draw_ ? draw_->AsInteger() : 0; }
int DataSetDrawSource::Number(int i) { return numbers_[static_cast<std::size_t>(i)]->AsInteger(); }

// ---------------------------------------------------------------------------
// Walks

namespace {

bool IsDraw(DrawSource& source, int year, int draw) { return source.Year() == year && source.Draw() == draw; }

void AddIfInRange(Weights& weights, int number, std::int32_t amount) {
  if (number >= 1 && number <= static_cast<int>(weights.size()))
    weights[static_cast<std::size_t>(number - 1)] += amount;
}

}  // namespace

SeekResult SeekDraw(DrawSource& source, int year, int draw, const StopPoll& poll,
                    const std::function<void(DrawSource&)>& each) {
  source.First();
  while (!source.Eof()) {
    if (each) each(source);
    if (IsDraw(source, year, draw)) return SeekResult::Found;
    if (poll && poll()) return SeekResult::Stopped;
    source.Next();
  }
  return SeekResult::NotFound;
}

ScanEnd CountHot(DrawSource& source, int yearTo, int drawTo, Weights& weights, const StopPoll& poll) {
  while (!source.Eof()) {
    const int count = source.NumberCount();
    for (int i = 0; i < count; ++i) AddIfInRange(weights, source.Number(i), 1);
    if (IsDraw(source, yearTo, drawTo)) return ScanEnd::EndDraw;
    if (poll && poll()) return ScanEnd::Stopped;
    source.Next();
  }
  return ScanEnd::EndOfBase;
}

void MakeCold(Weights& weights) {
  std::int32_t largest = 0;
  for (std::int32_t w : weights) largest = std::max(largest, w);
  for (std::int32_t& w : weights) w = largest - w + 1;
}

void MarkNeighbours(DrawSource& source, Weights& weights) {
  const int n = static_cast<int>(weights.size());
  const int count = source.NumberCount();
  for (int i = 0; i < count; ++i) {
    const int v = source.Number(i);
    if (v < 1 || v > n) continue;
    weights[static_cast<std::size_t>(v - 1)] = 1;
    if (v >= 2) weights[static_cast<std::size_t>(v - 2)] = 1;
    if (v < n) weights[static_cast<std::size_t>(v)] = 1;
  }
}

ScanEnd CountFollowers(DrawSource& source, int yearTo, int drawTo, int side, Weights& weights, const StopPoll& poll) {
  side = std::max(side, 0);
  const auto cells = static_cast<std::size_t>(side) * static_cast<std::size_t>(side);
  std::vector<std::int32_t> follow(cells, 0);
  const int count = source.NumberCount();
  std::vector<int> previous(static_cast<std::size_t>(count), 0);
  auto takeNumbers = [&] {
    for (int i = 0; i < count; ++i) previous[static_cast<std::size_t>(i)] = source.Number(i);
  };
  auto inSide = [side](int v) { return v >= 1 && v <= side; };

  takeNumbers();
  source.Next();
  ScanEnd end = source.Eof() ? ScanEnd::NothingAfterStart : ScanEnd::EndOfBase;
  while (!source.Eof()) {
    for (int i = 0; i < count; ++i) {
      const int b = source.Number(i);
      if (!inSide(b)) continue;
      for (int a : previous)
        if (inSide(a))
          ++follow[static_cast<std::size_t>(a - 1) * static_cast<std::size_t>(side) + static_cast<std::size_t>(b - 1)];
    }
    if (IsDraw(source, yearTo, drawTo)) {
      end = ScanEnd::EndDraw;
      break;
    }
    if (poll && poll()) return ScanEnd::Stopped;
    takeNumbers();
    source.Next();
  }
  // On the end draw its own numbers predict; at the end of the table the
  // last record's numbers are already in `previous`.
  if (end == ScanEnd::EndDraw) takeNumbers();
  const int reach = std::min(static_cast<int>(weights.size()), side);
  for (int a : previous) {
    if (!inSide(a)) continue;
    for (int j = 1; j <= reach; ++j)
      weights[static_cast<std::size_t>(j - 1)] +=
          follow[static_cast<std::size_t>(a - 1) * static_cast<std::size_t>(side) + static_cast<std::size_t>(j - 1)];
  }
  return end;
}

// ---------------------------------------------------------------------------
// Rescaling and the most probable numbers

void NormalizeProbabilities(Weights& weights) {
  NormalizeProbabilities(std::vector<std::int64_t>(weights.begin(), weights.end()), weights);
}

void NormalizeProbabilities(const std::vector<std::int64_t>& wide, Weights& weights) {
  weights.resize(wide.size());
  if (wide.empty()) return;
  const std::int64_t largest = *std::max_element(wide.begin(), wide.end());
  if (largest <= 100) {
    std::copy(wide.begin(), wide.end(), weights.begin());
    return;
  }
  const double divisor = static_cast<double>(static_cast<long double>(largest) / 100.0L);
  for (std::size_t i = 0; i < wide.size(); ++i) {
    long double q = static_cast<long double>(wide[i]) / static_cast<long double>(divisor);
    q = std::max(q, static_cast<long double>(INT32_MIN));
    weights[i] = static_cast<std::int32_t>(q);  // truncates toward zero
  }
}

void QuickSortInts(std::vector<std::int32_t>& values, int lo, int hi) {
  while (lo < hi) {
    int i = lo, j = hi;
    const std::int32_t pivot = values[static_cast<std::size_t>((lo + hi) / 2)];
    while (i <= j) {
      while (values[static_cast<std::size_t>(i)] < pivot) ++i;
      while (values[static_cast<std::size_t>(j)] > pivot) --j;
      if (i <= j) {
        std::swap(values[static_cast<std::size_t>(i)], values[static_cast<std::size_t>(j)]);
        ++i;
        --j;
      }
    }
    // Recurse on the smaller side, loop on the larger (bounded depth).
    if (j - lo < hi - i) {
      if (j > lo) QuickSortInts(values, lo, j);
      lo = i;
    } else {
      if (i < hi) QuickSortInts(values, i, hi);
      hi = j;
    }
  }
}

std::vector<int> MostProbableNumbers(const Weights& weights, int count) {
  const int length = static_cast<int>(weights.size());
  std::vector<std::int32_t> sorted(weights);
  if (length > 1) QuickSortInts(sorted, 0, length - 1);
  // Taken entries are marked apart from their value, so that a weight of
  // -1 is not mistaken for a taken one.
  std::vector<bool> taken(weights.size(), false);
  const int start = std::max(length - std::max(count, 0), 0);
  std::vector<int> result;
  result.reserve(static_cast<std::size_t>(length - start));
  for (int p = length - 1; p >= start; --p) {
    const std::int32_t value = sorted[static_cast<std::size_t>(p)];
    for (int i = 0; i < length; ++i) {
      if (!taken[static_cast<std::size_t>(i)] && weights[static_cast<std::size_t>(i)] == value) {
        taken[static_cast<std::size_t>(i)] = true;
        result.push_back(i + 1);
        break;
      }
    }
  }
  return result;
}

AnsiString JoinNumbers(const std::vector<int>& numbers) {
  AnsiString text;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i) text += ',';
    text += std::to_string(numbers[i]);
  }
  return text;
}

int CountNonZero(const Weights& weights) {
  return static_cast<int>(std::count_if(weights.begin(), weights.end(), [](std::int32_t w) { return w > 0; }));
}

}  // namespace vx
