// The string list behind a control's Items or Lines: a TStringList that
// tells its control after every change (or once after EndUpdate) so the
// widget shows the same lines.
#pragma once

#include <functional>

#include "platform/rtl/classes.h"

namespace vx {

class ControlStrings : public TStringList {
 public:
  // Called after each change with the list as it now is.
  std::function<void()> OnListChanged;
  // Appending one line at the end; when set, used instead of a full
  // refill for the common Add case (a memo filled line by line).
  std::function<void(const AnsiString&)> OnAppended;

  void Insert(int index, const AnsiString& s) override;
  int Add(const AnsiString& s) override;

  // Replaces the lines without telling the control (it is the source).
  void LoadFromControl(const std::vector<AnsiString>& lines);

 protected:
  void Changed() override;
  void SetUpdateState(bool updating) override;

 private:
  bool appending_ = false;
  bool loading_ = false;
};

}  // namespace vx
