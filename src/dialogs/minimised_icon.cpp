#include "dialogs/minimised_icon.h"

namespace setup {

bool PaintMinimisedIcon(platform::DialogWindow& window, int iconId) {
    if (!window.IsIconic()) return false;
    const platform::Size client = window.ClientSize();
    const platform::Size icon = window.SystemIconSize();
    window.PaintIcon(iconId, (client.width - icon.width + 1) / 2, (client.height - icon.height + 1) / 2);
    return true;
}

}  // namespace setup
