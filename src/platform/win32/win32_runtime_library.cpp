#include "platform/win32/win32_runtime_library.h"

namespace platform::win32 {

FARPROC RuntimeLibrary::FindExport(const char* exportName) {
    if (!loadTried_) {
        loadTried_ = true;
        // No "insert disk" or "DLL not found" box when it is missing.
        const UINT previousMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        module_ = ::LoadLibraryA(fileName_);
        ::SetErrorMode(previousMode);
    }
    return module_ != nullptr ? ::GetProcAddress(module_, exportName) : nullptr;
}

}  // namespace platform::win32
