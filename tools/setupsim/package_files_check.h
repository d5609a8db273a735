// The files beside the driver that a run copies or starts, and the INF
// files of every driver folder in use.
#pragma once

#include <vector>

#include "environment/install_options.h"
#include "platform/vm/machine.h"
#include "setupsim/check_findings.h"
#include "setupsim/system_plan.h"

namespace setupsim {

// machine holds the medium at kMediumRoot.
std::vector<Finding> CheckPackageFiles(vm::VirtualMachine& machine, const setup::InstallOptions& options,
                                       const std::vector<DriverFolderUse>& driverFolders);

std::vector<Finding> CheckDriverInfFiles(vm::VirtualMachine& machine, const std::vector<DriverFolderUse>& driverFolders);

}  // namespace setupsim
