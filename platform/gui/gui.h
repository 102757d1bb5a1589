// The whole visual class library in one include, for window code:
// application, forms, every control, menus, actions, dialogs, graphics,
// printer, clipboard, timers and the desktop calls.
// (The data-aware grid, which needs the data-set framework, is in dbgrids.h.)
#pragma once

#include "platform/gui/actions.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/busy_cursor.h"
#include "platform/gui/buttons.h"
#include "platform/gui/canvas.h"
#include "platform/gui/clipbrd.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/component_props.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/gdi.h"
#include "platform/gui/graphics.h"
#include "platform/gui/hintwindow.h"
#include "platform/gui/menus.h"
#include "platform/gui/printers.h"
#include "platform/gui/shell.h"
#include "platform/gui/spin.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/timers.h"
