#pragma once
// The standard controls of the program's windows, as event-handler code
// uses them: properties read and set by their names (Caption(),
// setCaption(...)), events as handler members (cmdOK->Click = [this] {...};
// an array's handler may take the Index first), every handler run inside
// platform::dispatch as "<name>_<Event>".

#include "platform/controls_bars.h"
#include "platform/controls_base.h"
#include "platform/controls_buttons.h"
#include "platform/controls_files.h"
#include "platform/controls_lists.h"
#include "platform/controls_menus.h"
#include "platform/controls_text.h"
#include "platform/controls_toolbar.h"
#include "platform/keyboard.h"
#include "platform/metrics.h"
