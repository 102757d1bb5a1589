// TfrmProbability ("Вероятность"): the weight array shown and edited by
// hand, one vertical slider per number, and weight files ("*.prb").
//
// Sliders 1..81 (created at run time, tagged with their number) stand for
// the weights: position p means weight 100 - p (top 100, bottom 0); the
// edit under each slider shows the weight and sets the slider when typed
// into (a typed value is never rewritten by the slider it moved, so 150
// stays "150" with the slider at the top). Slider 0 exists unplaced and
// only carries key "0" of a weight file. Sliders above the game's highest
// number are hidden but keep their positions.
//
// The Apply button's font turns red while the sliders differ from the
// weight array and black after Apply or Undo; loading a file reaches the
// array only through Apply.
//
// Weight file: section "Probability", keys "0".."81", value = the weight of
// that slider (100 - position); a missing key reads as 0.
//
// The window works on the weight array it is given (Weights, whose length
// is the highest number) and calls OnClosed when it closes.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gui/core/dialogs.h"
#include "platform/gui/core/forms.h"
#include "platform/gui/controls/spin.h"
#include "platform/gui/controls/stdctrls.h"

class TfrmProbability : public TForm {
 public:
  static constexpr int Count = 82;

  explicit TfrmProbability(TComponent* AOwner);

  std::vector<std::int32_t>* Weights = nullptr;
  std::function<void()> OnClosed;

  std::array<TScrollBar*, Count> ScrollBars{};
  std::array<TLabel*, Count> Labels{};
  std::array<TEdit*, Count> Edits{};
  TButton *btnApply, *btnZeroProb, *btnUndoProb, *btnSaveProb, *btnLoadProb;
  TLabel *lblHint1, *lblHint2;
  TOpenDialog* OpenDialogProb;
  TSaveDialog* SaveDialogProb;

  void FormCreate(TObject* Sender);
  void ScrollBarsCreate();
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void btnApplyClick(TObject* Sender);
  void btnZeroProbClick(TObject* Sender);
  void btnUndoProbClick(TObject* Sender);
  void btnSaveProbClick(TObject* Sender);
  void btnLoadProbClick(TObject* Sender);
  void ProbabilitySave(const AnsiString& fileName);
  void ProbabilityOpen(const AnsiString& fileName);
  void ScrollBarChange(TObject* Sender);
  void EditChange(TObject* Sender);
  void ResizeAll();
  // True while the Apply button shows pending changes (red).
  bool ChangesPending() const;

 private:
  int Highest() const { return Weights ? static_cast<int>(Weights->size()) : 0; }
  void MarkPending(bool pending);
  int typedNumber_ = -1;  // the number whose edit is moving its slider
};

extern TfrmProbability* frmProbability;
