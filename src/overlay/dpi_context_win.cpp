// Switches the thread's DPI awareness for the windows that need another one
// than the process's. The manifest makes the process per-monitor aware, so the
// overlay, the monitor list and the game's client area are physical pixels on
// every monitor and the crosshair is never stretched. The settings window is
// created system-aware so that it keeps scaling by the DPI read at start-up.
// Windows runs a window's procedure in the context the window was created in,
// so work for the overlay that starts in the settings window (a changed
// setting re-presents the overlay or runs the visibility tick) first enters
// the overlay's own context. The entries are looked up at run time: before
// Windows 10 version 1607 they do not exist, the whole process is then
// system-aware through the manifest's older entry, and nothing here switches.
#include "overlay/dpi_context_win.h"

namespace {
const wchar_t kUser32[] = L"user32.dll";
const char kSetThreadContextName[] = "SetThreadDpiAwarenessContext";
const char kWindowContextName[] = "GetWindowDpiAwarenessContext";

typedef DPI_AWARENESS_CONTEXT(WINAPI* SetThreadContextFn)(DPI_AWARENESS_CONTEXT);
typedef DPI_AWARENESS_CONTEXT(WINAPI* WindowContextFn)(HWND);

struct DpiEntries {
    bool lookedUp;
    SetThreadContextFn setThreadContext;
    WindowContextFn windowContext;
};
DpiEntries g_dpiEntries;

const DpiEntries& Entries() {
    if (!g_dpiEntries.lookedUp) {
        // user32 is loaded in every process with windows; no reference is taken.
        HMODULE user32 = GetModuleHandleW(kUser32);
        if (user32) {
            g_dpiEntries.setThreadContext =
                (SetThreadContextFn)(void*)GetProcAddress(user32, kSetThreadContextName);
            g_dpiEntries.windowContext =
                (WindowContextFn)(void*)GetProcAddress(user32, kWindowContextName);
        }
        g_dpiEntries.lookedUp = true;
    }
    return g_dpiEntries;
}

DPI_AWARENESS_CONTEXT EnterDpiContext(DPI_AWARENESS_CONTEXT context) {
    const DpiEntries& entries = Entries();
    if (!entries.setThreadContext || !context) return NULL;
    // Null when Windows does not know the context; the thread then stays as it was.
    return entries.setThreadContext(context);
}
}  // namespace

DPI_AWARENESS_CONTEXT EnterSystemDpiContext() {
    return EnterDpiContext(DPI_AWARENESS_CONTEXT_SYSTEM_AWARE);
}

DPI_AWARENESS_CONTEXT EnterWindowDpiContext(HWND window) {
    const DpiEntries& entries = Entries();
    if (!entries.windowContext || !window) return NULL;
    return EnterDpiContext(entries.windowContext(window));
}

void LeaveDpiContext(DPI_AWARENESS_CONTEXT previous) {
    if (previous) Entries().setThreadContext(previous);
}
