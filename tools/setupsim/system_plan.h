// For each Windows version and each driver setup.ini lets it take: the
// folder the driver is staged from and the applications installer the
// program starts, found with the program's own functions on a machine that
// holds the medium.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "environment/install_options.h"
#include "environment/package_layout.h"
#include "platform/vm/machine.h"
#include "setupsim/check_findings.h"

namespace setupsim {

// The top folders of a layout, each ending in a backslash.
struct LayoutFolders {
    const char* vxd;  // "W95-98\", "WIN_9x\"
    const char* wdm;  // "W2K-ME\", "WIN_ME\"
    const char* nt4;  // "NT40\", "WIN_NT40\"
};
const LayoutFolders& FoldersOf(setup::PackageLayout layout);

// A folder some system stages its driver from.
struct DriverFolderUse {
    std::string folder;          // on the machine, ending in a backslash
    bool exists = false;
    bool vxd = false;            // some system stages the VxD driver from it
    bool wdm = false;            // ... the WDM driver
    bool installsOemInf = false; // Windows installs its OVAUDIO.INF (SetupCopyOEMInf)
    bool flat = false;           // the package folder itself (WebSetup not 0)
};

// A run that stages a driver, as the check expects it to go.
struct PlannedDriver {
    vm::WindowsVersion version = vm::WindowsVersion::Win95;
    bool vxd = false;
    bool asked = false;        // the user's answer to the VxD/WDM question
    std::string driverFolder;  // on the machine, ending in a backslash
    // The applications installer started after staging (the main dialog's
    // OK with both boxes checked); none when setup.ini starts no dialog.
    std::optional<std::string> installer;
};

struct SystemsCheck {
    std::vector<Finding> findings;
    std::vector<DriverFolderUse> driverFolders;
    std::vector<PlannedDriver> drivers;
};

// machine holds the medium at kMediumRoot.
SystemsCheck CheckSystems(vm::VirtualMachine& machine, const setup::InstallOptions& options);

}  // namespace setupsim
