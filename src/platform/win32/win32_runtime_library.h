// A DLL the program may find missing and therefore never imports: Windows 95
// has no Setup API, and one static import it lacks keeps the program from
// starting at all.
#pragma once

#include "platform/win32/win32_guarded_call.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

// ERROR_UNHANDLED_EXCEPTION, which the MinGW headers lack.
constexpr DWORD kErrorUnhandledException = 574;

class RuntimeLibrary {
public:
    // Loaded on the first call. Never freed: code of it may stay hooked into
    // the program's windows (Ctl3d), and the process ends soon enough.
    explicit RuntimeLibrary(const char* fileName) : fileName_(fileName) {}
    RuntimeLibrary(const RuntimeLibrary&) = delete;
    RuntimeLibrary& operator=(const RuntimeLibrary&) = delete;

    // The export as a function of type Function, or nullptr when the DLL or
    // the export is missing.
    template <typename Function>
    Function* Find(const char* exportName) {
        return reinterpret_cast<Function*>(reinterpret_cast<void*>(FindExport(exportName)));
    }

    // Calls the export with args. A missing DLL or export, or an exception
    // raised inside, gives `failure`, with the last error set to
    // ERROR_PROC_NOT_FOUND or ERROR_UNHANDLED_EXCEPTION.
    template <typename Function, typename Result, typename... Args>
    Result Call(const char* exportName, Result failure, Args... args) {
        Function* function = Find<Function>(exportName);
        if (function == nullptr) {
            ::SetLastError(ERROR_PROC_NOT_FOUND);
            return failure;
        }
        Result result = failure;
        auto call = [&] { result = function(args...); };
        if (!RunGuarded(call)) {
            ::SetLastError(kErrorUnhandledException);
            return failure;
        }
        return result;
    }

private:
    FARPROC FindExport(const char* exportName);

    const char* fileName_;
    HMODULE module_ = nullptr;
    bool loadTried_ = false;
};

}  // namespace platform::win32
