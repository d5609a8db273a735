#include "setupsim/package_files_check.h"

#include "driver/staging.h"
#include "environment/paths.h"
#include "platform/vm/ini_text.h"
#include "setupsim/inf_check.h"
#include "setupsim/medium.h"

namespace setupsim {

namespace {

// What the rules call an INF file is case-sensitive; a name a person would
// take for one but the program does not.
bool LooksLikeInfName(const std::string& name) {
    return vm::Lower(name).find(".inf") != std::string::npos && !setup::IsInfName(name);
}

std::string Shown(const std::string& folder) {
    return folder == kMediumRoot ? "the package folder" : OnMedium(folder);
}

class FilesChecker {
public:
    FilesChecker(vm::VirtualMachine& machine, std::vector<Finding>& findings) : machine_(machine), findings_(findings) {}

    bool Exists(const std::string& path) { return setup::CanOpenForReading(machine_, path); }
    bool FolderExists(const std::string& folder) { return machine_.SetCurrentDirectory(folder); }

    void Add(Severity severity, std::string text) { findings_.push_back({severity, std::move(text)}); }

    void DosFiles() {
        const std::string dos = std::string(kMediumRoot) + "Dosdrv\\";
        if (!FolderExists(dos)) {
            Add(Severity::Warning, "Dosdrv\\ is missing: no DOS-mode drivers and tools are staged");
        } else if (!FolderExists(dos + "DOSAPP\\")) {
            Add(Severity::Warning, "Dosdrv\\DOSAPP\\ is missing: no DOS-mode tools are staged");
        } else {
            Add(Severity::Ok, "Dosdrv\\ and Dosdrv\\DOSAPP\\ are present");
        }
    }

    void Windows2000Setup() {
        const std::string root = kMediumRoot;
        if (Exists(root + "W2KSetup.dat") && Exists(root + "W2KSetup.exe")) {
            Add(Severity::Warning, "both W2KSetup.dat and W2KSetup.exe are present: the program starts W2KSetup.dat "
                                   "and never uses W2KSetup.exe");
        }
    }

    void DriverFolder(const DriverFolderUse& use, const setup::InstallOptions& options) {
        const std::string shown = Shown(use.folder);
        // The catalog goes to the INF folder for the WDM driver, and from a
        // flat package for both.
        if (use.wdm || (use.flat && options.WebSetup != 1)) {
            Required(use.folder + "ovaudio.cat", shown, Severity::Error,
                     "Windows gets no catalog for the driver files");
        }
        if (options.WebSetup != 1) {
            Required(use.folder + "Mixer.dat", shown, Severity::Warning, "the mixer program is not replaced");
        }
        if (use.installsOemInf) {
            Required(use.folder + "OVAUDIO.INF", shown, Severity::Warning,
                     "the program asks Windows to install the staged OVAUDIO.INF, which would not be there");
        }
        if (use.flat && use.vxd && !FolderExists(use.folder + "026\\")) {
            Add(Severity::Warning, "026\\ is missing from the package folder: nothing is staged into WIN_9x\\026\\");
        }
        std::size_t infFiles = 0;
        for (const std::string& name : setup::FilesIn(machine_, use.folder)) {
            if (setup::IsInfName(name)) ++infFiles;
            if (LooksLikeInfName(name)) {
                Add(Severity::Error, OnMedium(use.folder + name) +
                                         ": the program looks for \".inf\" or \".INF\" in a name, case counting, so "
                                         "this file is staged but never placed or rewritten as an INF file");
            }
        }
        if (infFiles == 0) {
            Add(Severity::Warning, shown + " holds no INF file: Plug and Play finds no description of the driver");
        }
    }

private:
    void Required(const std::string& path, const std::string& folder, Severity severity, const std::string& effect) {
        const std::string name = path.substr(path.find_last_of('\\') + 1);
        if (Exists(path)) {
            Add(Severity::Ok, OnMedium(path) + " is present");
        } else {
            Add(severity, name + " is missing from " + folder + ": " + effect);
        }
    }

    vm::VirtualMachine& machine_;
    std::vector<Finding>& findings_;
};

}  // namespace

std::vector<Finding> CheckPackageFiles(vm::VirtualMachine& machine, const setup::InstallOptions& options,
                                       const std::vector<DriverFolderUse>& driverFolders) {
    std::vector<Finding> findings;
    FilesChecker files(machine, findings);
    if (!files.Exists(std::string(kMediumRoot) + "setup.exe")) {
        files.Add(Severity::Warning, "setup.exe is not at the medium's root");
    }
    if (!driverFolders.empty() && options.WebSetup != 1) files.DosFiles();
    files.Windows2000Setup();
    for (const DriverFolderUse& use : driverFolders) {
        if (use.exists) files.DriverFolder(use, options);
    }
    return findings;
}

std::vector<Finding> CheckDriverInfFiles(vm::VirtualMachine& machine, const std::vector<DriverFolderUse>& driverFolders) {
    std::vector<Finding> findings;
    for (const DriverFolderUse& use : driverFolders) {
        if (!use.exists) continue;
        for (const std::string& name : setup::FilesIn(machine, use.folder)) {
            if (!setup::IsInfName(name)) continue;
            const std::string content = machine.Files().ReadFile(use.folder + name).value_or("");
            const InfKind kind = use.vxd && use.wdm ? LikelyInfKind(content) : use.vxd ? InfKind::Vxd : InfKind::Wdm;
            const InfKind other = kind == InfKind::Vxd ? InfKind::Wdm : InfKind::Vxd;
            // The source-disk rules pass over the other driver's INF, so a
            // package may carry both.
            if (InfResemblance(content, kind) == 0 && InfResemblance(content, other) > 0) {
                findings.push_back({Severity::Warning, OnMedium(use.folder + name) + " looks like a " +
                                                           ToString(other) + " INF file, but only the " +
                                                           ToString(kind) + " driver is staged from " +
                                                           Shown(use.folder) + ": the rules leave it alone"});
                continue;
            }
            const std::vector<Finding> found = CheckInfFile(OnMedium(use.folder + name), content, kind);
            findings.insert(findings.end(), found.begin(), found.end());
        }
    }
    return findings;
}

}  // namespace setupsim
