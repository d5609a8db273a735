// The companion applications are closed before their files are replaced.
#pragma once

#include "platform/platform.h"

namespace setup {

// "SoundDeck" closed and 500 ms given; else "CD Player", "MIDI Player" and
// "MP3 Player" closed; with alsoMixer the "Mixer" window too; then 500 ms.
void CloseCompanionApplications(platform::Platform& platform, bool alsoMixer = false);

// WM_CLOSE to the top-level window titled "Mixer", if there is one.
void CloseMixerWindow(platform::Platform& platform);

}  // namespace setup
