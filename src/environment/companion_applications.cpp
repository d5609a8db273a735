#include "environment/companion_applications.h"

namespace setup {

namespace {

constexpr std::uint32_t kCloseWait = 500;

// SendMessage waits until the window has handled it.
bool CloseWindowTitled(platform::Platform& platform, const char* title) {
    const platform::Hwnd window = platform.FindWindowEx(std::nullopt, std::string(title));
    if (window == 0) return false;
    platform.SendMessage(window, platform::WM_CLOSE, 0, 0);
    return true;
}

}  // namespace

void CloseMixerWindow(platform::Platform& platform) { CloseWindowTitled(platform, "Mixer"); }

void CloseCompanionApplications(platform::Platform& platform, bool alsoMixer) {
    if (CloseWindowTitled(platform, "SoundDeck")) {
        platform.Sleep(kCloseWait);
    } else {
        for (const char* title : {"CD Player", "MIDI Player", "MP3 Player"}) CloseWindowTitled(platform, title);
    }
    if (alsoMixer) CloseMixerWindow(platform);
    platform.Sleep(kCloseWait);
}

}  // namespace setup
