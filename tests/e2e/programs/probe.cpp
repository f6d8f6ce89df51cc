// A measuring probe for the Wine benchmarks: starts a program, waits until a
// top-level window of a given class belongs to it, and prints what it measured
// on standard output; then ends the program (a clean "Sair" for Zavik
// Crosshair, WM_CLOSE for any other window, TerminateProcess as a last resort).
//
//   probe.exe startup CLASS EXE [ARGS...]
//       prints "startup_ms N": from CreateProcess to the window's existence.
//   probe.exe cpu SECONDS CLASS EXE [ARGS...]
//       prints "ready" once the window exists, then after SECONDS "cpu_ms N":
//       the program's user + kernel time over that period (GetProcessTimes;
//       its start-up is left out), before it ends the program.
//   --front CLASS before the mode brings that window (e.g. the fake game) to
//   the foreground once the measured window exists.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

namespace {

const wchar_t kProgramMessageClass[] = L"ZavikCrosshairMsg";
const wchar_t kFrontOption[] = L"--front";
const wchar_t kModeStartup[] = L"startup";
const wchar_t kModeCpu[] = L"cpu";
const WPARAM kQuitCommand = 102;  // the tray menu's "Sair"
enum : DWORD {
    kWindowDeadlineMs = 30000,
    kPollMs = 1,
    kEndMs = 5000,
    kCommandLineChars = 4096,
    kSettleMs = 1000,
};
const double kHundredNsPerMs = 10000.0;

enum ExitCode { kOk = 0, kUsage = 2, kNoStart = 3, kNoWindow = 4, kEndedEarly = 5 };

struct Child {
    PROCESS_INFORMATION pi;
    HWND window;
};

HWND FindWindowOf(const wchar_t* className, HWND parent, DWORD pid) {
    HWND w = nullptr;
    while ((w = FindWindowExW(parent, w, className, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (pid == 0 || owner == pid) return w;
    }
    return nullptr;
}

// The child's command line: the program quoted, then the arguments, each
// quoted when it holds a blank.
bool BuildCommandLine(wchar_t** argv, int first, int argc, wchar_t* out, size_t count) {
    out[0] = 0;
    for (int i = first; i < argc; ++i) {
        bool quote = i == first || wcschr(argv[i], L' ') != nullptr;
        size_t used = wcslen(out);
        int n = _snwprintf(out + used, count - used, quote ? L"%ls\"%ls\"" : L"%ls%ls",
                           i == first ? L"" : L" ", argv[i]);
        if (n < 0 || (size_t)n >= count - used) return false;
    }
    return true;
}

double Ms(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

double CpuMs(HANDLE process) {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return -1.0;
    ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
    ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
    return (double)(k.QuadPart + u.QuadPart) / kHundredNsPerMs;
}

// Waits for the window, waking every millisecond or when the child ends.
HWND WaitForWindow(const Child& child, const wchar_t* className) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindWindowOf(className, nullptr, child.pi.dwProcessId);
        if (w) return w;
        if (GetTickCount() - start > kWindowDeadlineMs) return nullptr;
        if (WaitForSingleObject(child.pi.hProcess, kPollMs) != WAIT_TIMEOUT) return nullptr;
    }
}

void BringToFront(const wchar_t* className) {
    HWND w = FindWindowOf(className, nullptr, 0);
    if (!w) return;
    SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(w, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetForegroundWindow(w);
}

void EndChild(const Child& child) {
    HWND messageWindow = FindWindowOf(kProgramMessageClass, HWND_MESSAGE, child.pi.dwProcessId);
    if (messageWindow) {
        PostMessageW(messageWindow, WM_COMMAND, kQuitCommand, 0);
    } else if (child.window) {
        PostMessageW(child.window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(child.pi.hProcess, kEndMs) == WAIT_TIMEOUT)
        TerminateProcess(child.pi.hProcess, 1);
}

int Usage() {
    fwprintf(stderr, L"usage: probe.exe [--front CLASS] startup CLASS EXE [ARGS...]\n"
                     L"       probe.exe [--front CLASS] cpu SECONDS CLASS EXE [ARGS...]\n");
    return kUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int i = 1;
    const wchar_t* front = nullptr;
    if (i + 1 < argc && !wcscmp(argv[i], kFrontOption)) {
        front = argv[i + 1];
        i += 2;
    }
    if (i >= argc) return Usage();
    bool cpu = !wcscmp(argv[i], kModeCpu);
    if (!cpu && wcscmp(argv[i], kModeStartup)) return Usage();
    ++i;
    DWORD seconds = 0;
    if (cpu) {
        if (i >= argc) return Usage();
        seconds = (DWORD)wcstoul(argv[i++], nullptr, 10);
    }
    if (i + 1 >= argc) return Usage();
    const wchar_t* className = argv[i++];
    static wchar_t commandLine[kCommandLineChars];
    if (!BuildCommandLine(argv, i, argc, commandLine, kCommandLineChars)) return Usage();

    Child child = {};
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    LARGE_INTEGER started, ready;
    QueryPerformanceCounter(&started);
    if (!CreateProcessW(argv[i], commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &child.pi)) {
        fwprintf(stderr, L"probe: cannot start %ls (%lu)\n", argv[i], GetLastError());
        return kNoStart;
    }
    child.window = WaitForWindow(child, className);
    QueryPerformanceCounter(&ready);
    if (!child.window) {
        fwprintf(stderr, L"probe: no window of class %ls\n", className);
        EndChild(child);
        return kNoWindow;
    }
    if (front) {
        // The tray icon comes after the windows; under Wine its fallback tray
        // window then takes the activation. The game goes to the front once
        // start-up is over.
        WaitForSingleObject(child.pi.hProcess, kSettleMs);
        BringToFront(front);
    }
    int result = kOk;
    if (!cpu) {
        wprintf(L"startup_ms %.1f\n", Ms(started, ready));
    } else {
        // Tells a watcher outside (the benchmark script reading /proc, since
        // Wine answers GetProcessTimes for other processes with zeros) that
        // the measured period begins now.
        wprintf(L"ready\n");
        fflush(stdout);
        double before = CpuMs(child.pi.hProcess);
        if (WaitForSingleObject(child.pi.hProcess, seconds * 1000) != WAIT_TIMEOUT) {
            fwprintf(stderr, L"probe: the program ended during the measurement\n");
            result = kEndedEarly;
        } else {
            wprintf(L"cpu_ms %.1f\n", CpuMs(child.pi.hProcess) - before);
        }
    }
    fflush(stdout);
    EndChild(child);
    CloseHandle(child.pi.hThread);
    CloseHandle(child.pi.hProcess);
    return result;
}
