#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_whole_text.h"

namespace platform::win32 {

int Win32Platform::GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                                        const std::string& file) {
    // The UINT result carries a signed value ("-1" gives 0xFFFFFFFF).
    return static_cast<int>(::GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, file.c_str()));
}

std::string Win32Platform::GetPrivateProfileString(const std::string& section, const std::string& key,
                                                   const std::string& defaultValue, const std::string& file) {
    return ReadWholeText(
        [&](char* buffer, DWORD size) {
            return ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer, size,
                                              file.c_str());
        },
        CutSignal::kResultSizeMinusOne);
}

bool Win32Platform::WritePrivateProfileString(const std::string& section, const std::string& key,
                                              const std::string& value, const std::string& file) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

}  // namespace platform::win32
