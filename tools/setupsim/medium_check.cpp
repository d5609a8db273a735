#include "setupsim/medium_check.h"

#include "environment/install_options.h"
#include "environment/package_layout.h"
#include "setupsim/package_files_check.h"
#include "setupsim/setup_ini_check.h"
#include "setupsim/system_plan.h"

namespace setupsim {

namespace {

FindingGroup LayoutGroup(vm::VirtualMachine& machine, const setup::InstallOptions& options) {
    FindingGroup group{"Layout", {}};
    const std::string root = kMediumRoot;
    if (options.WebSetup != 0) {
        group.Ok("WebSetup " + std::to_string(options.WebSetup) +
                 ": the driver files are taken from the package folder itself; the layout folders are not used");
        return group;
    }
    const setup::PackageLayout layout = setup::ProbeLayout(machine, root);
    const LayoutFolders& used = FoldersOf(layout);
    const LayoutFolders& other = FoldersOf(layout == setup::PackageLayout::Grouped ? setup::PackageLayout::PerSystem
                                                                                   : setup::PackageLayout::Grouped);
    group.Ok(std::string(setup::ToString(layout)) + (layout == setup::PackageLayout::Grouped ? ": W2K-ME\\ is present"
                                                                                          : ": there is no W2K-ME\\") +
             ", so the program uses " + used.vxd + ", " + used.wdm + " and " + used.nt4);
    std::string unused;
    for (const char* folder : {other.vxd, other.wdm, other.nt4}) {
        if (machine.SetCurrentDirectory(root + folder)) unused += std::string(unused.empty() ? "" : ", ") + folder;
    }
    if (!unused.empty()) {
        const bool several = unused.find(',') != std::string::npos;
        group.Warning(unused + (several ? " are present too, but the program never uses them: "
                                        : " is present too, but the program never uses it: ") +
                      (layout == setup::PackageLayout::Grouped ? "with W2K-ME\\ present" : "without W2K-ME\\") +
                      " it reads only " + used.vxd + ", " + used.wdm + " and " + used.nt4);
    }
    return group;
}

FindingGroup SetupIniGroup(vm::VirtualMachine& machine, const setup::InstallOptions& options) {
    FindingGroup group{"setup.ini", {}};
    const std::string root = kMediumRoot;
    group.Add(CheckSetupIni(machine.Files().ReadFile(setup::SetupIniPath(root))));
    const int usingCdda = setup::ReadUsingCdda(machine, root);
    const int fullPackage = machine.GetPrivateProfileInt("InstallOption", "FullPackage", 0, setup::SetupIniPath(root));
    group.Ok("the program reads DriverOnly " + std::to_string(options.DriverOnly) + ", WindowsMEDriverAskUser " +
             std::to_string(options.WindowsMEDriverAskUser) + ", WindowsMEDriver " +
             std::to_string(options.WindowsMEDriver) + ", Windows98SEDriverAskUser " +
             std::to_string(options.Windows98SEDriverAskUser) + ", Windows98SEDriver " +
             std::to_string(options.Windows98SEDriver) + ", WebSetup " + std::to_string(options.WebSetup) +
             ", InstallWDMDriver " + std::to_string(options.InstallWDMDriver) + ", FullPackage " +
             std::to_string(fullPackage) + ", UsingCDDA " + std::to_string(usingCdda));
    return group;
}

}  // namespace

CheckReport CheckMedium(const Medium& medium) {
    vm::VirtualMachine machine;
    PutMedium(machine.Files(), medium);
    const setup::InstallOptions options = setup::ReadInstallOptions(machine, kMediumRoot);

    CheckReport report;
    report.origin = medium.origin;
    report.groups.push_back(LayoutGroup(machine, options));
    report.groups.push_back(SetupIniGroup(machine, options));
    SystemsCheck systems = CheckSystems(machine, options);
    report.groups.push_back({"Windows versions", std::move(systems.findings)});
    report.groups.push_back({"Package files", CheckPackageFiles(machine, options, systems.driverFolders)});
    report.groups.push_back({"INF files", CheckDriverInfFiles(machine, systems.driverFolders)});
    return report;
}

}  // namespace setupsim
