// One run of a generating command of the main window (generation under
// conditions, the random-draw generation). While it lives, the coincidence
// conditions count against copies of the draw base and of the results table
// in memory: each is read once, when a condition first needs it, and the
// table's controls stay disabled from then until the run ends. A result
// appended to the results table during the run joins that table's copy as
// the table holds it, so the combinations accepted earlier in the run count
// as records of the results base. Nothing outlives the run.
#pragma once

#include <memory>
#include <vector>

#include "app/analysis/generation.h"
#include "app/main/command_scope.h"

namespace vx {

class GenerationRun {
 public:
  // Becomes the form's current run until it ends (runs nest).
  explicit GenerationRun(TFormMain& form);
  ~GenerationRun();
  GenerationRun(const GenerationRun&) = delete;
  GenerationRun& operator=(const GenerationRun&) = delete;

  const CoincidenceTable& Draws() { return draws_.Read(form_.TableMain); }
  const CoincidenceTable& Results() { return results_.Read(form_.TableRes); }
  // `numbers` were just written into the number fields of a record
  // appended to TableRes.
  void ResultAppended(const std::vector<int>& numbers);

 private:
  struct Copy {
    const CoincidenceTable& Read(TDataSet* table);
    std::unique_ptr<ControlsDisabled> off;
    std::unique_ptr<CoincidenceTable> table;
  };
  TFormMain& form_;
  GenerationRun* outer_;
  Copy draws_, results_;
};

}  // namespace vx
