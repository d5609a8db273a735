#include "startup/dispatch.h"

namespace setup {

const char* ToString(Outcome outcome) {
    switch (outcome) {
        case Outcome::ApplicationsLaunch: return "applications launch";
        case Outcome::Windows2000Handover: return "hand-over to the Windows 2000/XP setup program";
        case Outcome::SilentEnd: return "silent end on Windows NT 4.0";
        case Outcome::UnattendedFromMedium: return "unattended driver installation from the medium";
        case Outcome::MainDialog: return "main setup dialog";
        case Outcome::WdmOptionsDialog: return "WDM driver option dialog";
        case Outcome::VxdOptionsDialog: return "VxD driver option dialog";
        case Outcome::UnattendedFromFlatPackage: return "unattended driver installation from a flat package";
    }
    return "?";
}

Outcome ChooseOutcome(CommandLineMode mode, const OsKind& os, const InstallOptions& options) {
    const bool fullMedium = options.WebSetup == 0;
    if (fullMedium && mode == CommandLineMode::AppsMode) return Outcome::ApplicationsLaunch;
    if (os.Win2000) return Outcome::Windows2000Handover;
    if (fullMedium && (mode == CommandLineMode::DriverMode || options.DriverOnly != 0)) {
        return os.NT4 ? Outcome::SilentEnd : Outcome::UnattendedFromMedium;
    }
    if (fullMedium) return Outcome::MainDialog;
    if (options.WebSetup == 1) {
        return options.InstallWDMDriver != 0 ? Outcome::WdmOptionsDialog : Outcome::VxdOptionsDialog;
    }
    return os.NT4 ? Outcome::SilentEnd : Outcome::UnattendedFromFlatPackage;
}

bool TurnsOn3dLook(Outcome outcome, const InstallOptions& options) {
    switch (outcome) {
        case Outcome::MainDialog:
        case Outcome::WdmOptionsDialog:
        case Outcome::VxdOptionsDialog:
        case Outcome::UnattendedFromFlatPackage:
            return true;
        case Outcome::SilentEnd:
            return options.WebSetup != 0;  // NT 4.0 with a flat package, past the dialog step
        default:
            return false;
    }
}

}  // namespace setup
