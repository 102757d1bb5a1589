#include "app/main/generation_run.h"

namespace vx {

GenerationRun::GenerationRun(TFormMain& form) : form_(form), outer_(form.CurrentGenerationRun) {
  form_.CurrentGenerationRun = this;
}

GenerationRun::~GenerationRun() { form_.CurrentGenerationRun = outer_; }

const CoincidenceTable& GenerationRun::Copy::Read(TDataSet* dataSet) {
  if (!table) {
    off = std::make_unique<ControlsDisabled>(dataSet);
    DataSetDrawSource source(dataSet);
    table = std::make_unique<CoincidenceTable>(source);
  }
  return *table;
}

void GenerationRun::ResultAppended(const std::vector<int>& numbers) {
  // Not read yet: the first read finds the record in the table.
  if (!results_.table) return;
  // The record as the table holds it: one number per number field, an
  // empty field reading 0.
  std::vector<int> record(static_cast<std::size_t>(std::max(form_.TableRes->FieldCount() - 2, 0)), 0);
  std::copy_n(numbers.begin(), std::min(numbers.size(), record.size()), record.begin());
  results_.table->Append(record);
}

}  // namespace vx
