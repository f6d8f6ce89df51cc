// Entry point of Zavik Crosshair: single instance, start-up of settings,
// fonts, icons and windows, the message loop and the shutdown after it.
#include "app/app_win.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include "app/startup.h"
#include "base/wtext.h"
#include "state/change.h"
#include "storage/profile.h"
#include "ui/settings_win.h"

namespace {
const DWORD kCommonControlClasses =
    ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES;
const wchar_t kTaskbarCreated[] = L"TaskbarCreated";
// The shell's documentation asks for an apartment before ShellExecuteW.
const DWORD kComApartment = COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE;
const int kAppIconId = 1;
const int kLargeIconSize = 64;
const UINT kFirstTickPeriod = kTickPeriodIdle;
const DWORD kOverlayExStyle =
    WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_NOACTIVATE;

const wchar_t kKernelModule[] = L"kernel32.dll";
const char kSetDefaultDllDirectories[] = "SetDefaultDllDirectories";
const wchar_t kNoDllDirectory[] = L"";
typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD directoryFlags);

struct FontRow {
    HFONT* font;
    int points;
    int weight;
};

// Players run the program from their Downloads folder, where a planted DLL
// would be found before the system's: every DLL loaded from now on, by the
// program or by a system DLL on its behalf, comes from System32 alone. A
// Windows 7 without the update that brought that call only loses the working
// folder from the search; a static import would keep such a PC from starting
// the program at all.
void LoadDllsFromSystem32Only() {
    HMODULE kernel = GetModuleHandleW(kKernelModule);
    SetDefaultDllDirectoriesFn setDefault =
        kernel ? (SetDefaultDllDirectoriesFn)GetProcAddress(kernel, kSetDefaultDllDirectories)
               : nullptr;
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(kNoDllDirectory);
}

// A second start hands over to the running instance and creates nothing.
void HandOverToRunningInstance() {
    HWND running = FindWindowExW(HWND_MESSAGE, NULL, ZAVIK_CLASS_MSG, NULL);
    if (!running) return;
    DWORD processId = 0;
    GetWindowThreadProcessId(running, &processId);
    // The running instance may take the foreground only if we allow it.
    if (processId != 0) AllowSetForegroundWindow(processId);
    PostMessageW(running, kWmShowSettings, 0, 0);
}

void ReadScreenDpi() {
    HDC screen = GetDC(NULL);
    g_app.dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
}

void InitCommonControlClasses() {
    INITCOMMONCONTROLSEX init;
    init.dwSize = sizeof(init);
    init.dwICC = kCommonControlClasses;
    InitCommonControlsEx(&init);
}

void FindSettingsPaths() {
    wchar_t appData[kPathChars];
    if (SUCCEEDED(SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, appData))) {
        ComposeSettingsPaths(appData, NULL, &g_paths);
        CreateDirectoryW(g_paths.folder, NULL);  // already there or impossible: both ignored
        return;
    }
    // Without a profile folder the files live in the working directory.
    wchar_t working[kPathChars];
    DWORD length = GetCurrentDirectoryW(kPathChars, working);
    if (length == 0 || length >= kPathChars) working[0] = 0;
    ComposeSettingsPaths(NULL, working, &g_paths);
}

HICON LoadAppIcon(int width, int height) {
    return (HICON)LoadImageW(g_app.instance, MAKEINTRESOURCEW(kAppIconId), IMAGE_ICON, width,
                             height, LR_DEFAULTCOLOR);
}

void LoadIcons() {
    g_top.smallIcon = LoadAppIcon(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    g_app.largeIcon = LoadAppIcon(DpiScale(kLargeIconSize), DpiScale(kLargeIconSize));
}

void CreateFonts() {
    const FontRow rows[] = {
        {&g_app.controlFont, kControlFontPoints, FW_NORMAL},
        {&g_app.titleFont, 20, FW_BOLD},
        {&g_app.subtitleFont, kControlFontPoints, FW_NORMAL},
    };
    for (const FontRow& row : rows) {
        *row.font = CreateProgramFont(row.points, row.weight, g_app.dpi, CLEARTYPE_QUALITY);
    }
}

void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background) {
    WNDCLASSEXW windowClass;
    ZeroMemory(&windowClass, sizeof(windowClass));
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = g_app.instance;
    windowClass.hIcon = g_app.largeIcon;
    windowClass.hIconSm = g_top.smallIcon;
    windowClass.hCursor = LoadCursorW(NULL, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

void RegisterWindowClasses() {
    RegisterWindowClass(ZAVIK_CLASS_MSG, MessageWindowProc, NULL);
    RegisterWindowClass(ZAVIK_CLASS_OVERLAY, OverlayWindowProc, NULL);
    RegisterWindowClass(ZAVIK_CLASS_SETTINGS, SettingsWindowProc, (HBRUSH)(COLOR_BTNFACE + 1));
    RegisterWindowClass(ZAVIK_CLASS_TRAY, TrayWindowProc, NULL);
}

void CreateProgramWindows() {
    g_app.messageWindow = CreateWindowExW(0, ZAVIK_CLASS_MSG, ZAVIK_TITLE, 0, 0, 0, 0, 0,
                                          HWND_MESSAGE, NULL, g_app.instance, NULL);
    // Created hidden; only the visibility tick shows it.
    g_app.overlayWindow = CreateWindowExW(kOverlayExStyle, ZAVIK_CLASS_OVERLAY,
                                          ZAVIK_OVERLAY_TITLE, WS_POPUP, 0, 0, kOverlaySize,
                                          kOverlaySize, NULL, NULL, g_app.instance, NULL);
    // Never shown: a tool window has no taskbar button.
    g_top.trayWindow = CreateWindowExW(WS_EX_TOOLWINDOW, ZAVIK_CLASS_TRAY, ZAVIK_TITLE, WS_POPUP,
                                       0, 0, 0, 0, NULL, NULL, g_app.instance, NULL);
}

// A copy started as administrator still hears a normal second start and a
// restarted taskbar, which run with fewer privileges.
void AllowLowerPrivilegeMessages() {
    ChangeWindowMessageFilterEx(g_app.messageWindow, kWmShowSettings, MSGFLT_ALLOW, NULL);
    ChangeWindowMessageFilterEx(g_top.trayWindow, g_top.taskbarCreatedMessage, MSGFLT_ALLOW,
                                NULL);
}

// Ends once the program quits, whether or not WM_QUIT arrives: Wine's menu
// loop swallows it when the quit came while a menu was open.
void RunMessageLoop() {
    MSG msg;
    while (!g_app.quitting && GetMessageW(&msg, NULL, 0, 0) > 0) {
        if (OpenCopyMenuByKey(msg)) continue;
        // Tab and the arrow keys move between the settings window's controls.
        if (g_settingsWindow && IsDialogMessageW(g_settingsWindow, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void ShutDown() {
    ReleaseOverlayBuffer();
    if (g_top.mutex) {
        ReleaseMutex(g_top.mutex);
        CloseHandle(g_top.mutex);
    }
    CoUninitialize();
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    LoadDllsFromSystem32Only();
    g_app.instance = instance;
    InstallFrontEnd();
    g_top.mutex = CreateMutexW(NULL, TRUE, ZAVIK_MUTEX_NAME);
    if (DecideInstanceRole(g_top.mutex != NULL, GetLastError()) == kInstanceHandOver) {
        HandOverToRunningInstance();
        if (g_top.mutex) CloseHandle(g_top.mutex);
        return 0;
    }
    ReadScreenDpi();
    InitCommonControlClasses();
    FindSettingsPaths();
    bool configExisted = LoadStartupSettings();
    CheckStartWithWindowsAtStartup();
    bool trayOnly = commandLine && ContainsNoCase(commandLine, ZAVIK_TRAY_SWITCH);
    PrepareSettingsFiles(configExisted);
    EnumerateMonitors();
    LoadIcons();
    CreateFonts();
    RegisterWindowClasses();
    CreateProgramWindows();
    PresentOverlay();
    g_top.taskbarCreatedMessage = RegisterWindowMessageW(kTaskbarCreated);
    AllowLowerPrivilegeMessages();
    KeepTrayIcon();
    SetTimer(g_app.messageWindow, kVisibilityTimerId, kFirstTickPeriod, NULL);
    VisibilityTick();
    // Only "Abrir pasta das configurações" needs it; made after the crosshair
    // can show, so it costs the start nothing the player waits for.
    CoInitializeEx(NULL, kComApartment);
    // Later starts from the Run key stay in the tray; a first run always shows the window.
    if (!(configExisted && trayOnly)) OpenSettingsWindow();
    RunMessageLoop();
    ShutDown();
    return 0;
}
