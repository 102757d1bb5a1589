// Windows created at start-up whose contents come with their own commands
// (number series). Until then each is an empty form with its name and
// caption, created in its place in the start-up order; a window that gets
// its real class moves out of this file.
#pragma once

#include "platform/gui/forms.h"

#define VX_PENDING_WINDOW(Class, FormName, Caption) \
  class Class : public TForm {                      \
   public:                                          \
    explicit Class(TComponent* AOwner);             \
  };                                                \
  extern Class* FormName;

VX_PENDING_WINDOW(TfrmRowNum, frmRowNum, "Ряды номеров")

#undef VX_PENDING_WINDOW

// The new-base dialogs, the probability editor, the preliminary questions,
// the visual view, the number picker and the base viewer have their real
// classes.
#include "app/bases/newbase_dialogs.h"
#include "app/windows/base_viewer.h"
#include "app/windows/number_picker.h"
#include "app/windows/probability_editor.h"
#include "app/windows/type5_dialog.h"
#include "app/windows/visual_view.h"
