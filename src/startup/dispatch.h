// The one outcome a run takes, chosen from the command line, the Windows
// version and setup.ini.
#pragma once

#include "environment/install_options.h"
#include "environment/os_kind.h"
#include "startup/command_line.h"

namespace setup {

enum class Outcome {
    ApplicationsLaunch,         // /AP with "WebSetup" 0
    Windows2000Handover,        // Windows 2000/XP: the package's own setup program
    SilentEnd,                  // NT 4.0 asked for an unattended driver installation
    UnattendedFromMedium,       // /DRIVER or "DriverOnly" with "WebSetup" 0
    MainDialog,                 // "WebSetup" 0
    WdmOptionsDialog,           // "WebSetup" 1 with "InstallWDMDriver"
    VxdOptionsDialog,           // "WebSetup" 1 without it
    UnattendedFromFlatPackage,  // any other "WebSetup"
};

const char* ToString(Outcome outcome);

Outcome ChooseOutcome(CommandLineMode mode, const OsKind& os, const InstallOptions& options);

// Whether the run gets as far as the dialog outcomes and the flat package,
// which first turn on the three-dimensional control look.
bool TurnsOn3dLook(Outcome outcome, const InstallOptions& options);

}  // namespace setup
