// The driver option dialogs' choices at the moment Install is pressed: what
// the INF rules carry into the installed driver's settings.
#pragma once

#include <string>

namespace setup {

struct OptionState {
    bool motherboard = true;       // radio 1006; false when 1007 (the chip on a sound card) is selected
    bool lineInRear = true;        // box 1011: Line-in jack doubles as rear-speaker output
    bool lineInBass = false;       // box 1012: Line-in jack doubles as Center/Subwoofer output
    bool micBass = false;          // box 1013: Microphone jack doubles as Subwoofer output
    bool disableMidi = false;      // box 1000 of the VxD dialog
    bool disableGamePort = false;  // box 1001 of the VxD dialog
    bool disableLegacy = false;    // box 1000 of the WDM dialog: MIDI and game port

    // Bits 1 (Line-in/rear), 2 (Line-in/Center-Subwoofer) and 4
    // (Microphone/Subwoofer); 0 on a sound card, whatever the boxes show.
    int JackConfig() const;
};

// "motherboard=1 jacks=1 midi=0 game=0 legacy=0", for traces.
std::string Describe(const OptionState& options);

constexpr int kJackLineInRear = 1;
constexpr int kJackLineInBass = 2;
constexpr int kJackMicBass = 4;

}  // namespace setup
