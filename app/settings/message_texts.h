// The fixed message texts of the program.
//
// Every message built in code starts from one of these Russian texts; the
// text is also its own key in section "Messages" of a language file, so a
// translation repeats the Russian text as the key. Look a text up with
// vx::Tr (through TfrmLang::GetMessageText) at the moment it is shown.
#pragma once

#include <array>

#include "platform/rtl/cp1251.h"

namespace vx {

inline constexpr int MessageTextCount = 107;

// The texts in their fixed order ("тираж" appears twice, at 38 and 53).
const std::array<AnsiString, MessageTextCount>& MessageTexts();

}  // namespace vx
