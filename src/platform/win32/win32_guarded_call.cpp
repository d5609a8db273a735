#include "platform/win32/win32_guarded_call.h"

#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

// One guarded call in progress. Guards nest through `previous`.
struct Guard {
    void* jump[5];  // __builtin_setjmp's buffer
    Guard* previous;
    DWORD thread;  // a DLL's own threads are not guarded
#if defined(__i386__)
    EXCEPTION_REGISTRATION_RECORD* exceptionList;
#endif
};

// The vectored handler has no context parameter, so the guard in progress
// lives here. Only the program's one thread makes guarded calls.
Guard* activeGuard = nullptr;

#if defined(__i386__)
// The head of the thread's chain of structured exception handlers, at
// fs:[0]. (NtCurrentTeb() trips GCC's array-bounds check.)
EXCEPTION_REGISTRATION_RECORD* ExceptionList() {
    EXCEPTION_REGISTRATION_RECORD* list;
    __asm__ volatile("movl %%fs:0, %0" : "=r"(list));
    return list;
}

void SetExceptionList(EXCEPTION_REGISTRATION_RECORD* list) {
    __asm__ volatile("movl %0, %%fs:0" : : "r"(list) : "memory");
}
#endif

using AddVectoredExceptionHandlerFunction = PVOID WINAPI(ULONG first, PVECTORED_EXCEPTION_HANDLER handler);

// Exceptions that would end the process: errors and Wine's unimplemented-stub
// exception (a warning code, raised as non-continuable). Debug prints and
// breakpoints pass on to their usual handling; C++ exceptions are the
// callee's own business. The vectored handler sees an exception before the
// callee's own handlers do, so an error the callee would have handled itself
// ends the call too: a failed call, never a crash.
bool EndsTheCall(const EXCEPTION_RECORD& record) {
    constexpr DWORD kCppException = 0xE06D7363;
    if (record.ExceptionCode == kCppException) return false;
    if ((record.ExceptionFlags & EXCEPTION_NONCONTINUABLE) != 0) return true;
    return (record.ExceptionCode & 0xC0000000) == 0xC0000000;
}

// Runs on the faulting thread once the system has finished dispatching.
[[noreturn]] __attribute__((noinline)) void LandAtGuard() {
    __builtin_longjmp(activeGuard->jump, 1);
}

// Makes the thread resume in LandAtGuard, on a fresh stretch of stack below
// the fault, as if LandAtGuard had been called there. The dispatcher then
// returns normally and releases whatever it holds; jumping straight out of
// the handler would leave that behind.
void ResumeAtGuard(CONTEXT& context) {
    constexpr std::uintptr_t kScratch = 512;
#if defined(__x86_64__)
    const DWORD64 stack = (context.Rsp - kScratch) & ~DWORD64{15};
    context.Rsp = stack - sizeof(DWORD64);
    context.Rip = reinterpret_cast<DWORD64>(&LandAtGuard);
#elif defined(__i386__)
    const DWORD stack = (context.Esp - kScratch) & ~DWORD{15};
    context.Esp = stack - sizeof(DWORD);
    context.Eip = reinterpret_cast<DWORD>(&LandAtGuard);
#else
#error "guarded calls support x86 and x86-64 only"
#endif
}

LONG CALLBACK OnException(EXCEPTION_POINTERS* exception) {
    if (activeGuard == nullptr || activeGuard->thread != ::GetCurrentThreadId() ||
        !EndsTheCall(*exception->ExceptionRecord)) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    ResumeAtGuard(*exception->ContextRecord);
    return EXCEPTION_CONTINUE_EXECUTION;
}

// Installed on first use and kept for the life of the process: it passes
// every exception on while no guarded call runs.
bool InstallHandlerOnce() {
    static const bool installed = [] {
        const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
        if (kernel == nullptr) return false;
        auto* add = reinterpret_cast<AddVectoredExceptionHandlerFunction*>(
            reinterpret_cast<void*>(::GetProcAddress(kernel, "AddVectoredExceptionHandler")));
        return add != nullptr && add(1, &OnException) != nullptr;
    }();
    return installed;
}

}  // namespace

bool RunGuarded(void (*body)(void*), void* context) {
    if (!InstallHandlerOnce()) {
        body(context);
        return true;
    }
    Guard guard;
    guard.previous = activeGuard;
    guard.thread = ::GetCurrentThreadId();
#if defined(__i386__)
    guard.exceptionList = ExceptionList();
#endif
    activeGuard = &guard;
    if (__builtin_setjmp(guard.jump) == 0) {
        body(context);
        activeGuard = guard.previous;
        return true;
    }
#if defined(__i386__)
    // The abandoned frames' structured handlers are gone with their stack.
    SetExceptionList(guard.exceptionList);
#endif
    activeGuard = guard.previous;
    return false;
}

}  // namespace platform::win32
