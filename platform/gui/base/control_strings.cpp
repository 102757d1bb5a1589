#include "platform/gui/base/control_strings.h"

namespace vx {

void ControlStrings::Insert(int index, const AnsiString& s) {
  const bool append = index == Count() && OnAppended && !Sorted() && UpdateCount() == 0;
  appending_ = append;
  try {
    TStringList::Insert(index, s);
  } catch (...) {
    appending_ = false;
    throw;
  }
  appending_ = false;
  if (append) OnAppended(s);
}

int ControlStrings::Add(const AnsiString& s) {
  if (Sorted()) return TStringList::Add(s);
  Insert(Count(), s);
  return Count() - 1;
}

void ControlStrings::LoadFromControl(const std::vector<AnsiString>& lines) {
  loading_ = true;
  BeginUpdate();
  try {
    TStringList::Clear();
    for (const AnsiString& l : lines) TStringList::Insert(Count(), l);
  } catch (...) {
    EndUpdate();
    loading_ = false;
    throw;
  }
  EndUpdate();
  loading_ = false;
}

void ControlStrings::Changed() {
  TStringList::Changed();
  if (UpdateCount() > 0 || appending_ || loading_) return;
  if (OnListChanged) OnListChanged();
}

void ControlStrings::SetUpdateState(bool updating) {
  TStringList::SetUpdateState(updating);
  if (!updating && !loading_ && OnListChanged) OnListChanged();
}

}  // namespace vx
