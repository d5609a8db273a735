// Calls into code the program does not control (exports of DLLs loaded at run
// time) so that an exception raised inside ends the call, not the process:
// Wine's stubs of unimplemented exports raise one instead of returning.
#pragma once

namespace platform::win32 {

// Runs body(context). Returns false when it raised an exception (the call is
// then abandoned where it stood), true when it returned. Where the system has
// no vectored exception handlers (Windows 9x), body runs unguarded.
bool RunGuarded(void (*body)(void*), void* context);

template <typename Body>
bool RunGuarded(Body& body) {
    return RunGuarded([](void* context) { (*static_cast<Body*>(context))(); }, &body);
}

}  // namespace platform::win32
