// The application icon drawn centred in a minimised dialog.
#pragma once

#include "platform/dialog.h"

namespace setup {

// False when the dialog is not minimised: it then paints as usual.
bool PaintMinimisedIcon(platform::DialogWindow& window, int iconId);

}  // namespace setup
