#include "setupsim/system_plan.h"

#include "applications/applications_launch.h"
#include "driver/driver_installation.h"
#include "driver/staging.h"
#include "environment/os_kind.h"
#include "environment/paths.h"
#include "setupsim/matrix.h"
#include "setupsim/medium.h"

namespace setupsim {

namespace {

constexpr LayoutFolders kGrouped{"W95-98\\", "W2K-ME\\", "NT40\\"};
constexpr LayoutFolders kPerSystem{"WIN_9x\\", "WIN_ME\\", "WIN_NT40\\"};
constexpr const char* kInstaller = "app\\Setup.exe";

struct Choice {
    bool vxd = false;
    bool asked = false;  // the user picks it in the VxD/WDM question
};

bool StagesVxd(const setup::OsKind& os, const setup::InstallOptions& o) {
    return setup::ChoosesVxdDriver(os, o, o.WebSetup == 0 ? setup::PackageKind::Medium : setup::PackageKind::Flat);
}

std::vector<Choice> Choices(const setup::OsKind& os, const setup::InstallOptions& o) {
    if (o.WebSetup == 0 && ((os.WinME && o.WindowsMEDriverAskUser != 0) ||
                            (os.Win98SE && o.Windows98SEDriverAskUser != 0))) {
        return {{true, true}, {false, true}};
    }
    if (o.WebSetup == 1) {
        if (o.InstallWDMDriver == 0) return {{true, false}};
        return os.Win98SE || os.WinME ? std::vector<Choice>{{false, false}} : std::vector<Choice>{};
    }
    return {{StagesVxd(os, o), false}};
}

// The option dialogs, like a flat package, take the package folder.
std::string DriverFolder(vm::VirtualMachine& machine, const setup::OsKind& os, bool vxd, const setup::InstallOptions& o) {
    return setup::DriverSourceFolder(machine, os, kMediumRoot,
                                     o.WebSetup == 0 ? setup::PackageKind::Medium : setup::PackageKind::Flat, vxd);
}

class SystemsChecker {
public:
    SystemsChecker(vm::VirtualMachine& machine, const setup::InstallOptions& options)
        : machine_(machine), options_(options) {}

    SystemsCheck Run() {
        for (const vm::WindowsVersion version : vm::kAllWindowsVersions) {
            const setup::OsKind os = setup::ClassifyWindows(vm::VersionInfo(version));
            const std::string name = std::string("Windows ") + WindowsName(version);
            if (os.Win2000) {
                Handover(name);
                if (options_.WebSetup == 0) Installer(name + " with /AP", os, 0);
            } else if (os.NT4) {
                if (options_.WebSetup == 0) {
                    Installer(name, os, 0);
                } else if (options_.WebSetup == 1) {
                    Ok(name + ": the option dialog opens, but no driver is installed on NT 4.0");
                } else {
                    Ok(name + ": the program ends at once; no driver is installed on NT 4.0");
                }
            } else {
                NineX(name, version, os);
            }
        }
        return std::move(result_);
    }

private:
    void Ok(std::string text) { result_.findings.push_back({Severity::Ok, std::move(text)}); }
    void Warning(std::string text) { result_.findings.push_back({Severity::Warning, std::move(text)}); }
    void Error(std::string text) { result_.findings.push_back({Severity::Error, std::move(text)}); }

    void NineX(const std::string& name, vm::WindowsVersion version, const setup::OsKind& os) {
        const std::vector<Choice> choices = Choices(os, options_);
        if (choices.empty()) {
            Warning(name + ": the WDM option dialog (WebSetup 1, InstallWDMDriver) refuses to install on this system");
        }
        for (const Choice& choice : choices) {
            const std::string label = name + ", " + (choice.vxd ? "VxD" : "WDM") + " driver" +
                                      (choice.asked ? " (the user's answer)" : "");
            PlannedDriver planned{version, choice.vxd, choice.asked, Driver(label, os, choice.vxd), std::nullopt};
            if (options_.WebSetup == 0) {
                // After staging, the main dialog starts the installer of the
                // driver it staged; /AP goes by setup.ini alone.
                planned.installer = Installer(label, os, choice.vxd ? 1 : 0);
                const int byIni = setup::VxdBySetupIni(os, options_);
                if (!choice.asked && byIni != (choice.vxd ? 1 : 0)) {
                    Warning(name + ": Windows98SEDriver selects the WDM driver on the first edition of 98 as well; "
                                   "the main dialog then starts the WDM set's applications installer, while /AP "
                                   "starts the VxD set's, which the main dialog also looks for when it opens");
                    Installer(name + " with /AP", os, byIni);
                }
            }
            result_.drivers.push_back(planned);
        }
    }

    // The driver folder, which the findings describe.
    std::string Driver(const std::string& label, const setup::OsKind& os, bool vxd) {
        const std::string folder = DriverFolder(machine_, os, vxd, options_);
        DriverFolderUse& use = Use(folder);
        use.vxd |= vxd;
        use.wdm |= !vxd;
        use.installsOemInf |= !vxd && !os.Win98SE;
        use.flat = options_.WebSetup != 0;
        const std::string shown = folder == kMediumRoot ? "the package folder" : OnMedium(folder);
        if (!use.exists) {
            // The VxD driver's folder for the system was looked for first.
            const bool triedFirst = vxd && options_.WebSetup == 0;
            Error(label + (triedFirst ? ": the driver folders " + OnMedium(folder) + (os.Win95 ? "95\\" : "98\\") +
                                            " and " + shown + " are missing"
                                      : ": the driver folder " + shown + " is missing") +
                  ": nothing would be staged");
            return folder;
        }
        const std::size_t files = setup::FilesIn(machine_, folder).size();
        if (files == 0) {
            Error(label + ": the driver folder " + shown + " holds no files: nothing would be staged");
        } else {
            Ok(label + ": staged from " + shown + " (" + std::to_string(files) + (files == 1 ? " file)" : " files)"));
        }
        return folder;
    }

    DriverFolderUse& Use(const std::string& folder) {
        for (DriverFolderUse& use : result_.driverFolders) {
            if (use.folder == folder) return use;
        }
        DriverFolderUse use;
        use.folder = folder;
        use.exists = machine_.SetCurrentDirectory(folder);
        result_.driverFolders.push_back(use);
        return result_.driverFolders.back();
    }

    std::optional<std::string> Installer(const std::string& label, const setup::OsKind& os, int useVxd) {
        const std::string root = kMediumRoot;
        const std::optional<std::string> installer = setup::ChooseApplicationsInstaller(machine_, os, useVxd, root);
        if (!installer) return installer;
        if (!setup::CanOpenForReading(machine_, *installer)) {
            Error(label + ": the applications installer " + OnMedium(*installer) +
                  " is missing: the program says it cannot find it");
            return installer;
        }
        // Only the VxD set's installer has a fallback, to the WDM set's.
        const LayoutFolders& folders = FoldersOf(setup::ProbeLayout(machine_, root));
        const std::string vxdInstaller = std::string(folders.vxd) + kInstaller;
        if ((useVxd || os.Win95) && os.Windows9x() && OnMedium(*installer) != vxdInstaller) {
            Warning(label + ": the applications installer " + vxdInstaller + " is missing; the program falls back to " +
                    OnMedium(*installer) + ", the WDM set's");
            return installer;
        }
        Ok(label + ": applications installer " + OnMedium(*installer));
        return installer;
    }

    void Handover(const std::string& name) {
        const std::string root = kMediumRoot;
        for (const char* program : {"W2KSetup.dat", "W2KSetup.exe"}) {
            if (setup::CanOpenForReading(machine_, root + program)) {
                Ok(name + ": hands over to " + program + (options_.DriverOnly != 0 ? " /DRIVER" : ""));
                return;
            }
        }
        Error(name + ": neither W2KSetup.dat nor W2KSetup.exe is on the medium: the program says it cannot find the "
                     "setup program for Windows 2000/XP");
    }

    vm::VirtualMachine& machine_;
    const setup::InstallOptions& options_;
    SystemsCheck result_;
};

}  // namespace

const LayoutFolders& FoldersOf(setup::PackageLayout layout) {
    return layout == setup::PackageLayout::Grouped ? kGrouped : kPerSystem;
}

SystemsCheck CheckSystems(vm::VirtualMachine& machine, const setup::InstallOptions& options) {
    return SystemsChecker(machine, options).Run();
}

}  // namespace setupsim
