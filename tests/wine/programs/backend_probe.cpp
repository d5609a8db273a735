// Where the Win32 backend must differ from the raw API, probed on the real
// system: a missing DLL or export, an export that raises, an access
// violation inside a guarded call, and RegDeleteKey on a key with sub-keys.
// Writes one "name=result" line per probe to the file named by argv[1].
#include <cstdio>
#include <string>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_runtime_library.h"

namespace {

// The root as the logic passes it (windows.h has taken the name).
constexpr platform::HKey kCurrentUser = 0x80000001u;

std::string Line(const char* name, const std::string& value) { return std::string(name) + "=" + value + "\n"; }

std::string MissingDll() {
    platform::win32::RuntimeLibrary library("orvanta-absent.dll");
    const int result = library.Call<int()>("Anything", -1);
    return std::to_string(result) + " error=" + std::to_string(GetLastError());
}

std::string MissingExport() {
    platform::win32::RuntimeLibrary library("kernel32.dll");
    const int result = library.Call<int()>("OrvantaNoSuchExport", -1);
    return std::to_string(result) + " error=" + std::to_string(GetLastError());
}

std::string RaisingExport(platform::win32::Win32Platform& platform) {
    std::string results;
    for (int call = 0; call < 2; ++call) {
        const auto list = platform.SetupQuerySourceList(0x30);
        results += std::string(call ? " " : "") + (list ? "list" : "failed") + " error=" +
                   std::to_string(platform.GetLastError());
    }
    return results;
}

std::string AccessViolation() {
    volatile int* nowhere = nullptr;
    auto body = [&] { *nowhere = 1; };
    const bool returned = platform::win32::RunGuarded(body);
    return returned ? "returned" : "abandoned";
}

std::string RecursiveDelete(platform::win32::Win32Platform& platform) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\OrvantaProbe\\A\\B\\C", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return "cannot create";
    }
    RegCloseKey(key);
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\OrvantaProbe\\D", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegCloseKey(key);
    const long raw = RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OrvantaProbe");
    const long deleted = platform.RegDeleteKey(kCurrentUser, "Software\\OrvantaProbe");
    const bool gone = RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\OrvantaProbe", 0, KEY_READ, &key) != ERROR_SUCCESS;
    return "raw=" + std::to_string(raw) + " backend=" + std::to_string(deleted) + (gone ? " gone" : " still there");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    platform::win32::Win32Platform platform;
    const std::string report = Line("missing-dll", MissingDll()) + Line("missing-export", MissingExport()) +
                               Line("raising-export", RaisingExport(platform)) +
                               Line("access-violation", AccessViolation()) +
                               Line("recursive-delete", RecursiveDelete(platform));
    FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 3;
    std::fputs(report.c_str(), out);
    std::fclose(out);
    return 0;
}
