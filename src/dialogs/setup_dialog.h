// Dialog 102, the interactive mode: applications, driver, or both.
#pragma once

#include <string>

#include "environment/install_options.h"
#include "environment/os_kind.h"
#include "platform/platform.h"

namespace setup {

class SetupDialog : public platform::DialogHandler {
public:
    explicit SetupDialog(platform::Platform& platform) : platform_(platform) {}
    int DoModal();

    void OnInit(platform::DialogWindow& window) override;
    void OnCommand(platform::DialogWindow& window, int control) override;
    void OnOk(platform::DialogWindow& window) override;  // the install action
    bool OnSysCommand(platform::DialogWindow& window, std::uint32_t command) override;
    bool OnPaint(platform::DialogWindow& window) override;
    int QueryDragIcon() override;

private:
    // The setup.ini driver keys as this run applies them: when the user
    // answered the architecture question, the answer wins.
    InstallOptions DriverChoice() const;
    void StageDriver(platform::DialogWindow& window);
    void InstallDriver(platform::DialogWindow& window);
    // Ends the dialog: with the installer started, or without it.
    void LaunchApplications(platform::DialogWindow& window, bool driverChosen);
    void WriteNoteForInstaller(bool wdmStaged);

    platform::Platform& platform_;
    OsKind os_;
    std::string sourceFolder_;
    InstallOptions options_;
    int useVxd_ = 0;
    bool answered_ = false;
};

}  // namespace setup
