// The Win32 backend where it must differ from the raw API, and the program's
// dialogs on it, probed on the real system: `calls`, `driver-type 0|1`,
// or `about`; one line to OUT.
// `contract` runs the platform contract's rows on the backend as on NT:
// a line with the rows checked, then one a failure.
#include <cstdio>
#include <string>

#include "contract/contract.h"
#include "dialogs/about_dialog.h"
#include "dialogs/driver_type_dialog.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_runtime_library.h"

namespace {

using platform::win32::RuntimeLibrary;
using platform::win32::Win32Platform;
constexpr platform::HKey kCurrentUser = 0x80000001u;  // the root as the logic passes it

// The result, then the error the call left.
std::string Outcome(const std::string& result, unsigned long error) { return result + " error=" + std::to_string(error); }

std::string Calls(Win32Platform& platform) {
    int result = RuntimeLibrary("orvanta-absent.dll").Call<int()>("Any", -1);
    std::string line = "missing-dll=" + Outcome(std::to_string(result), GetLastError());
    result = RuntimeLibrary("kernel32.dll").Call<int()>("OvNone", -1);
    line += " missing-export=" + Outcome(std::to_string(result), GetLastError()) + " raising-export=";
    // Wine's SetupQuerySourceListA stub raises: survived twice, as a failure.
    for (int call = 0; call < 2; ++call) {
        const bool listed = platform.SetupQuerySourceList(0x30).has_value();
        line += Outcome(listed ? "list" : "failed", platform.GetLastError()) + (call ? "" : ",");
    }
    volatile int* nowhere = nullptr;
    auto crash = [&] { *nowhere = 1; };
    return line + " access-violation=" + (platform::win32::RunGuarded(crash) ? "returned" : "abandoned");
}

class Win32Host final : public contract::Host {
public:
    explicit Win32Host(Win32Platform& platform) : Host(platform, contract::System::Nt, true) {}
    void CreateKey(platform::HKey root, const std::string& path) override {
        HKEY key = nullptr;
        if (root != kCurrentUser) return;
        RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegCloseKey(key);
    }
};

std::string Contract(Win32Platform& platform) {
    Win32Host host(platform);
    int checked = 0;
    std::string lines;
    for (const std::string& failure : contract::RunAll(host, &checked)) lines += "\r\n" + failure;
    return "checked=" + std::to_string(checked) + lines;
}

std::string Run(Win32Platform& platform, const std::string& command, const std::string& operand) {
    if (command == "calls") return Calls(platform);
    if (command == "contract") return Contract(platform);
    if (command == "driver-type") {
        setup::DriverTypeDialog dialog(platform, 0);
        dialog.SetAnswer(operand == "1" ? 1 : 0);
        const int result = dialog.DoModal();
        return "result=" + std::to_string(result) + " answer=" + std::to_string(dialog.Answer());
    }
    if (command == "about") return "result=" + std::to_string(setup::AboutDialog(platform, 0).DoModal());
    return "unknown command " + command;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    Win32Platform platform;
    const std::string line = Run(platform, argv[1], argc > 3 ? argv[2] : "") + "\r\n";
    std::FILE* out = std::fopen(argv[argc - 1], "wb");
    if (!out) return 3;
    std::fputs(line.c_str(), out);
    return std::fclose(out) == 0 ? 0 : 3;
}
