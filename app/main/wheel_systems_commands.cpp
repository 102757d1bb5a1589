// The Systems page: the wheel files of the program's "wheels" folder listed
// by their type, and the chosen system expanded over N numbers (picked by
// the weights or by hand) into the temporary results table. The work on
// the files themselves lives in wheel_systems.cpp.
#include <algorithm>

#include "app/analysis/wheel_systems.h"
#include "app/main/command_scope.h"
#include "app/main/formmain.h"
#include "app/settings/language.h"
#include "app/windows/number_picker.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/sysutils.h"

namespace {

AnsiString WheelFolder() { return vx::ProgramFolder() + "wheels/"; }

}  // namespace

void TFormMain::ConnectWheelCommands() {
  btnLoadSystems->OnClick = Command(&TFormMain::btnLoadSystemsClick);
  btnGiveSystem->OnClick = Command(&TFormMain::lbSystemsDblClick);
  lbSystems->OnDblClick = Command(&TFormMain::lbSystemsDblClick);
}

void TFormMain::btnLoadSystemsClick(TObject*) { LoadSystems(); }

void TFormMain::LoadSystems() {
  lbSystems->Clear();
  for (const AnsiString& name : vx::WheelFiles(WheelFolder())) {
    int k = 0;
    const AnsiString description = Decrypt(name, k);
    if (k > 0 && k == seSystem->Value()) lbSystems->Items()->Add(description);
  }
}

AnsiString TFormMain::Decrypt(const AnsiString& fileName, int& K) {
  vx::WheelType type;
  if (!vx::DecodeWheelName(fileName, type)) {
    ShowMessage(vx::Tr("Ошибка распознавания типа системы"_cp));
    K = 0;
    return vx::Tr("неизвестно"_cp);
  }
  K = type.numbers;
  return vx::Tr("по"_cp) + " " + IntToStr(type.numbers) + " " + vx::Tr("номеров из"_cp) + " " + IntToStr(type.covered) +
         " " + vx::Tr("чисел"_cp) + " " + vx::Tr("на"_cp) + " " + IntToStr(type.variants) + " " +
         vx::Tr("варианта"_cp) + "(" + fileName + ")";
}

AnsiString TFormMain::GetFileName(const AnsiString& description) { return vx::WheelFileName(description); }

bool TFormMain::ChooseWheelNumbers(std::vector<int>& chosen) {
  const int count = seNum->Value(), highest = seFrom->Value();
  if (cbxSetNumbers->Checked()) {
    if (!frmSetNumbers) return false;
    frmSetNumbers->PickCount = count;
    frmSetNumbers->HighestNumber = highest;
    if (frmSetNumbers->ShowModal() != mrOk) {
      lblRandom->SetCaption(vx::Tr("Останов"_cp));
      return false;
    }
    chosen.assign(frmSetNumbers->Numbers.begin(), frmSetNumbers->Numbers.begin() + count);
  } else {
    // Only numbers of the pool 1..highest with a weight can be picked.
    const auto poolEnd = Weights.begin() + std::clamp(highest, 0, static_cast<int>(Weights.size()));
    if (std::count_if(Weights.begin(), poolEnd, [](std::int32_t w) { return w > 0; }) < count) {
      ShowMessage(vx::Tr("Номеров с ненулевой вероятностью меньше выбираемых номеров!"_cp));
      return false;
    }
    PickNumbers(count, highest, cbxAscend->Checked(), nullptr, chosen);
  }
  if (StopFlag) {
    lblRandom->SetCaption(vx::Tr("Останов"_cp));
    return false;
  }
  return true;
}

void TFormMain::lbSystemsDblClick(TObject*) {
  if (lbSystems->ItemIndex() < 0) {
    ShowMessage(vx::Tr("Ничего не выбрано"_cp));
    return;
  }
  vx::BusyScope busy(*this);
  const AnsiString before = lblRandom->Caption();
  const AnsiString working = vx::Tr("Процесс идет ... подождите"_cp);
  lblRandom->SetCaption(working);
  lblRandom->Repaint();
  // However the command ends, the progress text does not stay behind.
  vx::ScopeGuard restore([&] {
    if (lblRandom->Caption() == working) lblRandom->SetCaption(before);
  });
  try {
    vx::WheelSystem system;
    TStrings& lines = *MemoBase->Lines();
    MemoBase->Clear();
    lines.LoadFromFile(WheelFolder() + GetFileName(lbSystems->Items()->Strings(lbSystems->ItemIndex())));
    bool valid = vx::ReadWheelHeader(lines, system);
    if (valid) {
      seNum->SetValue(system.N);
      if (lines.Count() - 5 != system.V)
        ShowMessage(vx::Tr("Количество вариантов в системе не совпадает с длиной файла"_cp));
      // N beyond the count the page can pick cannot be covered.
      valid = vx::ReadWheelVariants(lines, system) && seNum->Value() == system.N;
    }
    if (!valid) throw Exception("wheel file");

    std::vector<int> chosen;
    if (!ChooseWheelNumbers(chosen)) return;
    AnsiString shown;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
      if (chosen[i] == 0) chosen[i] = static_cast<int>(i) + 1;
      shown += " " + IntToStr(chosen[i]);
    }
    lblRandom->SetCaption(shown);

    RowsToResults(system.K, vx::ExpandWheel(system, chosen));
  } catch (std::exception&) { ShowMessage(vx::Tr("ошибка генерации системы - проверьте корректность файла"_cp)); }
}
