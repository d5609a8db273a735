#include "dialogs/option_dialog.h"

#include "resources/resource_ids.h"

namespace setup {

namespace {
constexpr int kJackBoxes[] = {IDC_LINEIN_REAR, IDC_LINEIN_BASS, IDC_MIC_BASS};
}

OptionDialog::OptionDialog(platform::Platform& platform, int templateId, std::string packageFolder)
    : platform_(platform), templateId_(templateId), packageFolder_(std::move(packageFolder)) {}

int OptionDialog::DoModal() { return platform_.DialogBox(templateId_, 0, *this); }

void OptionDialog::OnInit(platform::DialogWindow& window) {
    window.SetCheck(IDC_MOTHERBOARD, true);
    window.SetCheck(IDC_SOUND_CARD, false);
    window.SetCheck(IDC_LINEIN_REAR, true);
}

void OptionDialog::OnCommand(platform::DialogWindow& window, int control) {
    switch (control) {
        case IDC_MOTHERBOARD:
        case IDC_SOUND_CARD: {
            // The two radio buttons start groups of their own, so the
            // toolkit does not make them exclusive: this does. The jack
            // boxes keep their ticks while disabled.
            const bool motherboard = control == IDC_MOTHERBOARD;
            window.SetCheck(IDC_MOTHERBOARD, motherboard);
            window.SetCheck(IDC_SOUND_CARD, !motherboard);
            for (int box : kJackBoxes) window.EnableControl(box, motherboard);
            break;
        }
        // A jack box is ticked again after the toolkit's toggle: only a box
        // that excludes it unticks it. 1012 excludes both others.
        case IDC_LINEIN_REAR:
            window.SetCheck(IDC_LINEIN_REAR, true);
            window.SetCheck(IDC_LINEIN_BASS, false);
            break;
        case IDC_LINEIN_BASS:
            window.SetCheck(IDC_LINEIN_REAR, false);
            window.SetCheck(IDC_LINEIN_BASS, true);
            window.SetCheck(IDC_MIC_BASS, false);
            break;
        case IDC_MIC_BASS:
            window.SetCheck(IDC_LINEIN_BASS, false);
            window.SetCheck(IDC_MIC_BASS, true);
            break;
        default:
            break;
    }
}

OptionState OptionDialog::ReadOptions(platform::DialogWindow& window) const {
    OptionState options;
    options.motherboard = window.IsChecked(IDC_MOTHERBOARD);
    options.lineInRear = window.IsChecked(IDC_LINEIN_REAR);
    options.lineInBass = window.IsChecked(IDC_LINEIN_BASS);
    options.micBass = window.IsChecked(IDC_MIC_BASS);
    return options;
}

void OptionDialog::OnOk(platform::DialogWindow& window) { Install(window, ReadOptions(window)); }

}  // namespace setup
