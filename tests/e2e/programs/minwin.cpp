// A minimal Win32 program: one window and an empty 15 ms timer. It is the
// baseline against which the cost of starting and idling the real program is
// measured. "--exit-when-ready" ends it as soon as its window exists.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <wchar.h>

namespace {

const wchar_t kClassName[] = L"ZavikMinimalWindow";
const wchar_t kTitle[] = L"minwin";
const wchar_t kExitWhenReady[] = L"--exit-when-ready";
enum { kTimerId = 1, kTimerPeriodMs = 15, kWindowSize = 200 };

LRESULT CALLBACK MinimalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        return 0;  // the point is the wake-up itself, not any work
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MinimalWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    HWND window = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, kWindowSize, kWindowSize, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) return 1;
    if (commandLine && wcsstr(commandLine, kExitWhenReady)) {
        DestroyWindow(window);
        return 0;
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, kTimerId, kTimerPeriodMs, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
