// The end-to-end harness (see harness.h): process control, the settings
// folder, the registry, window queries, input, screen capture and the fixture.
#include "harness.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <algorithm>
#include <string.h>

#include "state/identity.h"

namespace e2e {

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunValueName[] = ZAVIK_RUN_VALUE;
const wchar_t kStartupApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
const wchar_t kFolderName[] = ZAVIK_FOLDER_NAME;
const wchar_t kMessageClass[] = ZAVIK_CLASS_MSG;
const wchar_t kOverlayClass[] = ZAVIK_CLASS_OVERLAY;
const wchar_t kSettingsClass[] = ZAVIK_CLASS_SETTINGS;
const wchar_t kBoxClass[] = L"#32770";
const wchar_t kBoxTitle[] = ZAVIK_TITLE;
const wchar_t kColourClass[] = L"ZavikE2eColourWindow";
const wchar_t kTempFolderName[] = L"zavik-e2e";
enum : DWORD { kPollMs = 10, kTerminateWaitMs = 5000, kCleanQuitMs = 3000 };
enum { kOverlaySide = kOverlaySize, kFirstHotkeyId = 0x2000, kMaxReportedPixels = 6, kCreateAttempts = 3 };
enum { kTitleChars = 256 };  // as much of a title as the program reads
const ULONGLONG kFileTimeSecond = 10000000;  // FILETIME counts 100 ns

struct StartedProcess {
    Process process;
    bool isProgram;
};

// Everything a case acquired and TearDown gives back.
struct HarnessState {
    std::wstring program;
    std::vector<StartedProcess> started;
    std::vector<HWND> windows;
    std::vector<int> hotkeyIds;
    std::wstring caseTemp;
    bool rightButtonDown = false;
};
HarnessState g_state;

std::wstring Quote(const std::wstring& s) { return L"\"" + s + L"\""; }

std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L"..")) continue;
            std::wstring path = folder + L"\\" + fd.cFileName;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

LRESULT CALLBACK ColourWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(window, &r);
        HBRUSH brush = CreateSolidBrush((COLORREF)GetWindowLongPtrW(window, GWLP_USERDATA));
        FillRect((HDC)wParam, &r, brush);
        DeleteObject(brush);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterColourClass() {
    static bool registered = false;  // once per test process
    if (registered) return;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ColourWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
    wc.lpszClassName = kColourClass;
    registered = RegisterClassExW(&wc) != 0;
}

std::string Hex(uint32_t v) {
    char buf[16];
    snprintf(buf, sizeof buf, "%06X", v);
    return buf;
}

std::string RectText(const RECT& r) {
    char buf[96];
    snprintf(buf, sizeof buf, "(%ld, %ld) %ld x %ld", r.left, r.top, r.right - r.left,
             r.bottom - r.top);
    return buf;
}

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    }
    return s;
}

}  // namespace

// ---------------------------------------------------------------- timing ---

bool WaitFor(const std::function<bool()>& pred, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (pred()) return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) break;
        DWORD slice = std::min<DWORD>(kPollMs, ms - elapsed);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return pred();
}

void PumpFor(DWORD ms) {
    WaitFor([] { return false; }, ms);
}

// --------------------------------------------------------------- program ---

void SetProgramPath(const wchar_t* path) {
    std::wstring p = path ? path : L"";
    // A Unix path from the host side: Wine maps the root of the file system to Z:.
    if (!p.empty() && p[0] == L'/') {
        std::replace(p.begin(), p.end(), L'/', L'\\');
        p = L"Z:" + p;
    }
    g_state.program = p;
}

const std::wstring& ProgramPath() { return g_state.program; }

std::wstring HelperPath(const wchar_t* fileName) {
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dir = FolderOf(std::wstring(self, n));
    return dir + L"\\" + fileName;
}

std::wstring CaseTempFolder() {
    if (!g_state.caseTemp.empty()) return g_state.caseTemp;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring root = std::wstring(temp) + kTempFolderName;
    CreateDirectoryW(root.c_str(), nullptr);
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::wstring name = info ? Wide(std::string(info->test_suite_name()) + "." + info->name())
                             : std::wstring(L"case");
    for (wchar_t& c : name) {
        if (!iswalnum(c) && c != L'.' && c != L'_') c = L'_';
    }
    std::wstring folder = root + L"\\" + name;
    RemoveTree(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    g_state.caseTemp = folder;
    return folder;
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

Process Start(const std::wstring& exe, const std::wstring& arguments) {
    std::wstring commandLine = Quote(exe);
    if (!arguments.empty()) commandLine += L" " + arguments;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    Process p;
    // Wine now and then fails a creation with an internal error right after a
    // process was terminated (the kill run meets it about once in a few
    // hundred starts); that failure is Wine's, and the next attempt works.
    BOOL created = FALSE;
    DWORD error = 0;
    for (int attempt = 0; attempt < kCreateAttempts && !created; ++attempt) {
        created = CreateProcessW(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &si, &pi);
        error = created ? 0 : GetLastError();
        if (error != ERROR_INTERNAL_ERROR) break;
    }
    if (!created) {
        ADD_FAILURE() << "CreateProcessW failed (" << error << ") for " << Utf8(commandLine);
        return p;
    }
    CloseHandle(pi.hThread);
    p.process = pi.hProcess;
    p.pid = pi.dwProcessId;
    g_state.started.push_back({p, _wcsicmp(exe.c_str(), g_state.program.c_str()) == 0});
    return p;
}

Process StartProgram(const std::wstring& arguments) { return Start(ProgramPath(), arguments); }

Process StartProgramAndWait(const std::wstring& arguments) {
    Process p = StartProgram(arguments);
    if (!p.process) return p;
    if (!WaitFor([&] { return FindMessageWindow(p.pid) != nullptr || !IsRunning(p); },
                 kStartMs) ||
        !FindMessageWindow(p.pid)) {
        DWORD code = 0;
        GetExitCodeProcess(p.process, &code);
        ADD_FAILURE() << "the program's message window did not appear within " << kStartMs
                      << " ms (process " << (IsRunning(p) ? "still running" : "ended")
                      << ", exit code " << code << ")";
        return Process();
    }
    return p;
}

bool IsRunning(const Process& p) {
    return p.process && WaitForSingleObject(p.process, 0) == WAIT_TIMEOUT;
}

bool WaitExit(const Process& p, DWORD ms, DWORD* exitCode) {
    if (!p.process) return false;
    if (!WaitFor([&] { return !IsRunning(p); }, ms)) return false;
    if (exitCode) GetExitCodeProcess(p.process, exitCode);
    return true;
}

bool QuitCleanly(const Process& p, DWORD ms, DWORD* exitCode) {
    HWND messageWindow = FindMessageWindow(p.pid);
    if (!messageWindow) return false;
    PostMessageW(messageWindow, WM_COMMAND, kCmdQuit, 0);
    return WaitExit(p, ms, exitCode);
}

void Kill(const Process& p) {
    if (!IsRunning(p)) return;
    TerminateProcess(p.process, 1);
    WaitForSingleObject(p.process, kTerminateWaitMs);
}

void EndStartedProcesses() {
    // Programs first with a clean quit, so that they release the tray icon and
    // the hotkey the way the user would see it; anything left is terminated.
    for (StartedProcess& s : g_state.started) {
        if (s.isProgram && IsRunning(s.process)) QuitCleanly(s.process, kCleanQuitMs, nullptr);
    }
    for (StartedProcess& s : g_state.started) {
        Kill(s.process);
        CloseHandle(s.process.process);
    }
    g_state.started.clear();
}

// ------------------------------------------------------- settings folder ---

std::wstring SettingsFolder() {
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    return std::wstring(appData) + L"\\" + kFolderName;
}

std::wstring SettingsFile(const wchar_t* name) { return SettingsFolder() + L"\\" + name; }

void CleanSettingsFolder() {
    std::wstring folder = SettingsFolder();
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L"..")) continue;
        std::wstring path = folder + L"\\" + fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTree(path);  // the image folder
            continue;
        }
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &fd));
    FindClose(find);
}

bool WriteSettingsBytes(const wchar_t* name, const std::string& bytes) {
    CreateDirectoryW(SettingsFolder().c_str(), nullptr);
    std::wstring path = SettingsFile(name);
    FILETIME before = {};
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info))
        before = info.ftLastWriteTime;
    HANDLE f = INVALID_HANDLE_VALUE;
    // The program may be in the middle of writing the file: wait for it to let go.
    WaitFor([&] {
        f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        return f != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION;
    },
            kReactMs);
    if (f == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot write " << Utf8(path) << " (" << GetLastError() << ")";
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(f, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    // Wine's profile layer trusts its cached copy while the file's time is
    // unchanged, and Linux stamps files at timer-tick resolution: a write
    // right after the program's own must show a different time to be seen.
    FILETIME after = {};
    GetFileTime(f, nullptr, nullptr, &after);
    if (CompareFileTime(&after, &before) == 0) {
        ULARGE_INTEGER t;
        t.LowPart = before.dwLowDateTime;
        t.HighPart = before.dwHighDateTime;
        t.QuadPart -= kFileTimeSecond;
        after.dwLowDateTime = t.LowPart;
        after.dwHighDateTime = t.HighPart;
        SetFileTime(f, nullptr, nullptr, &after);
    }
    CloseHandle(f);
    return ok && written == bytes.size();
}

bool WriteSettingsText(const wchar_t* name, const char* utf8) {
    std::string crlf;
    for (size_t i = 0; utf8[i]; ++i) {
        if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r')) crlf += '\r';
        crlf += utf8[i];
    }
    std::wstring wide = Wide(crlf);
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : wide) {
        bytes += (char)(c & 0xFF);
        bytes += (char)((c >> 8) & 0xFF);
    }
    return WriteSettingsBytes(name, bytes);
}

bool SettingsFileExists(const wchar_t* name) {
    return GetFileAttributesW(SettingsFile(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadSettingsBytes(const wchar_t* name) { return ReadFileBytes(SettingsFile(name)); }

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(f, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(f);
    return bytes;
}

std::string ReadSettingsText(const wchar_t* name) {
    std::string bytes = ReadSettingsBytes(name);
    if (bytes.size() < 2 || (unsigned char)bytes[0] != 0xFF || (unsigned char)bytes[1] != 0xFE)
        return bytes;
    std::wstring wide;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        wide += (wchar_t)((unsigned char)bytes[i] | ((unsigned char)bytes[i + 1] << 8));
    }
    return Utf8(wide);
}

std::string IniValue(const std::string& text, const char* section, const char* key) {
    std::string wantedSection = Lower(section), wantedKey = Lower(key), current;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            size_t close = line.find(']');
            current = Lower(line.substr(1, close == std::string::npos ? std::string::npos
                                                                      : close - 1));
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos || current != wantedSection) continue;
        if (Lower(line.substr(0, eq)) == wantedKey) return line.substr(eq + 1);
    }
    return std::string();
}

::testing::AssertionResult IniValueBecomes(const wchar_t* name, const char* section,
                                           const char* key, const char* expected, DWORD ms) {
    std::string last;
    if (WaitFor([&] {
            last = IniValue(ReadSettingsText(name), section, key);
            return last == expected;
        },
                ms))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << Utf8(name) << " [" << section << "] " << key << " is \"" << last
           << "\", expected \"" << expected << "\" within " << ms << " ms";
}

std::string WithoutCr(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '\r') out += c;
    }
    return out;
}

::testing::AssertionResult SettingsTextBecomes(const wchar_t* name, const std::string& expected,
                                               DWORD ms) {
    std::string last;
    if (WaitFor([&] { return (last = WithoutCr(ReadSettingsText(name))) == expected; }, ms))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Utf8(name) << " reads:\n" << last << "expected:\n"
                                         << expected << "(waited " << ms << " ms)";
}

// ------------------------------------------------------------- registry ---

bool ReadRunValue(std::wstring* value) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    wchar_t buf[1024] = {};
    DWORD size = sizeof buf - sizeof(wchar_t), type = 0;
    LONG r = RegQueryValueExW(key, kRunValueName, nullptr, &type, (BYTE*)buf, &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS) return false;
    if (value) *value = buf;
    return true;
}

bool WriteRunValue(const std::wstring& value) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExW(key, kRunValueName, 0, REG_SZ, (const BYTE*)value.c_str(),
                            (DWORD)((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

void DeleteRunValue() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(key, kRunValueName);
    RegCloseKey(key);
}

bool ReadStartupRecord(std::string* bytes, const wchar_t* name) {
    char buf[256];
    DWORD size = sizeof buf;
    if (RegGetValueW(HKEY_CURRENT_USER, kStartupApprovedKey, name ? name : kRunValueName,
                     RRF_RT_ANY, nullptr, buf, &size) != ERROR_SUCCESS)
        return false;
    if (bytes) bytes->assign(buf, size);
    return true;
}

bool WriteStartupRecord(const std::string& bytes, const wchar_t* name) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, kStartupApprovedKey, name ? name : kRunValueName,
                           REG_BINARY, bytes.data(), (DWORD)bytes.size()) == ERROR_SUCCESS;
}

void DeleteStartupRecord(const wchar_t* name) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kStartupApprovedKey, name ? name : kRunValueName);
    // Later cases then meet the missing key of Windows 7 and 8, as the prefix has it.
    SHDeleteEmptyKeyW(HKEY_CURRENT_USER, kStartupApprovedKey);
}

// -------------------------------------------------------------- windows ---

HWND FindMessageWindow(DWORD pid) {
    HWND w = nullptr;
    while ((w = FindWindowExW(HWND_MESSAGE, w, kMessageClass, nullptr)) != nullptr) {
        if (pid == 0 || WindowPid(w) == pid) return w;
    }
    return nullptr;
}

int CountMessageWindows() {
    int n = 0;
    HWND w = nullptr;
    while ((w = FindWindowExW(HWND_MESSAGE, w, kMessageClass, nullptr)) != nullptr) ++n;
    return n;
}

HWND FindTopLevel(const wchar_t* className, DWORD pid) {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, className, nullptr)) != nullptr) {
        if (pid == 0 || WindowPid(w) == pid) return w;
    }
    return nullptr;
}

HWND WaitForTopLevel(const wchar_t* className, DWORD pid, DWORD ms) {
    HWND w = nullptr;
    WaitFor([&] { return (w = FindTopLevel(className, pid)) != nullptr; }, ms);
    return w;
}

HWND FindOverlay(DWORD pid) { return FindTopLevel(kOverlayClass, pid); }
HWND FindSettingsWindow(DWORD pid) { return FindTopLevel(kSettingsClass, pid); }
HWND Control(HWND parent, int id) { return parent ? GetDlgItem(parent, id) : nullptr; }

DWORD WindowPid(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

RECT WindowRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

RECT ClientRectOnScreen(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    POINT tl = {r.left, r.top}, br = {r.right, r.bottom};
    ClientToScreen(window, &tl);
    ClientToScreen(window, &br);
    return RECT{tl.x, tl.y, br.x, br.y};
}

DWORD StyleOf(HWND window) { return (DWORD)GetWindowLongPtrW(window, GWL_STYLE); }
DWORD ExStyleOf(HWND window) { return (DWORD)GetWindowLongPtrW(window, GWL_EXSTYLE); }

std::wstring ClassOf(HWND window) {
    wchar_t buf[256] = {};
    GetClassNameW(window, buf, 256);
    return buf;
}

std::wstring TextOf(HWND window) {
    wchar_t buf[512] = {};
    // WM_GETTEXT rather than GetWindowTextW: the latter does not ask other processes' controls.
    SendMessageTimeoutW(window, WM_GETTEXT, 512, (LPARAM)buf, SMTO_ABORTIFHUNG, kReactMs,
                        nullptr);
    return buf;
}

::testing::AssertionResult SetGameTitle(HWND game, const std::wstring& title) {
    SendMessageTimeoutW(game, WM_SETTEXT, 0, (LPARAM)title.c_str(), SMTO_ABORTIFHUNG, kReactMs,
                        nullptr);
    wchar_t now[kTitleChars] = {};
    if (WaitFor([&] { return GetWindowTextW(game, now, kTitleChars) >= 0 && title == now; },
                kReactMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the game's title is \"" << Utf8(now)
                                         << "\", expected \"" << Utf8(title) << "\"";
}

::testing::AssertionResult HasWindowRect(HWND window, int x, int y, int width, int height) {
    if (!window) return ::testing::AssertionFailure() << "no window";
    RECT r = WindowRect(window);
    RECT want = {x, y, x + width, y + height};
    if (EqualRect(&r, &want)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "window rectangle is " << RectText(r) << ", expected " << RectText(want);
}

::testing::AssertionResult HasExStyleBits(HWND window, DWORD bits) {
    if (!window) return ::testing::AssertionFailure() << "no window";
    DWORD ex = ExStyleOf(window);
    if ((ex & bits) == bits) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "extended style 0x" << std::hex << ex
                                         << " lacks bits 0x" << (bits & ~ex);
}

::testing::AssertionResult BecomesVisible(HWND window, bool visible, DWORD ms) {
    if (!window) return ::testing::AssertionFailure() << "no window";
    if (WaitFor([&] { return (IsWindowVisible(window) != FALSE) == visible; }, ms))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "window still " << (visible ? "hidden" : "visible") << " after " << ms << " ms";
}

::testing::AssertionResult StaysVisible(HWND window, bool visible, DWORD ms) {
    if (!window) return ::testing::AssertionFailure() << "no window";
    DWORD start = GetTickCount();
    bool changed = WaitFor([&] { return (IsWindowVisible(window) != FALSE) != visible; }, ms);
    if (!changed) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "window became " << (visible ? "hidden" : "visible")
                                         << " after " << GetTickCount() - start << " ms";
}

::testing::AssertionResult MovesTo(HWND window, int x, int y, DWORD ms) {
    if (!window) return ::testing::AssertionFailure() << "no window";
    RECT r = {};
    if (WaitFor([&] {
            r = WindowRect(window);
            return r.left == x && r.top == y;
        },
                ms))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "window is at (" << r.left << ", " << r.top
                                         << "), expected (" << x << ", " << y << ") within "
                                         << ms << " ms";
}

// -------------------------------------------------- the case's own window ---

HWND CreateColourWindow(COLORREF colour, const RECT& rect, bool noActivate) {
    RegisterColourClass();
    HWND w = CreateWindowExW(0, kColourClass, L"Zavik e2e", WS_POPUP, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (!w) {
        ADD_FAILURE() << "cannot create the test's colour window (" << GetLastError() << ")";
        return nullptr;
    }
    g_state.windows.push_back(w);
    SetWindowLongPtrW(w, GWLP_USERDATA, (LONG_PTR)colour);
    ShowWindow(w, noActivate ? SW_SHOWNOACTIVATE : SW_SHOW);
    UpdateWindow(w);
    EXPECT_TRUE(BringToFront(w, !noActivate));
    return w;
}

::testing::AssertionResult BringToFront(HWND window, bool foreground) {
    if (!window) return ::testing::AssertionFailure() << "no window";
    // Wine restacks the X windows only when a window is really raised: the
    // topmost/not-topmost pair does that without leaving it always on top.
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    if (!foreground) return ::testing::AssertionSuccess();
    SetForegroundWindow(window);
    return IsForegroundWithin(window, kReactMs);
}

::testing::AssertionResult IsForegroundWithin(HWND window, DWORD ms) {
    if (WaitFor([&] { return GetForegroundWindow() == window; }, ms))
        return ::testing::AssertionSuccess();
    HWND fg = GetForegroundWindow();
    return ::testing::AssertionFailure() << "foreground is " << fg << " (class \""
                                         << Utf8(fg ? ClassOf(fg) : L"") << "\"), expected "
                                         << window << " (class \"" << Utf8(ClassOf(window))
                                         << "\")";
}

// ---------------------------------------------------------------- input ---

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD vk : keys) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.wScan = (WORD)MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
        inputs.push_back(in);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        --it;
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *it;
        in.ki.wScan = (WORD)MapVirtualKeyW(*it, MAPVK_VK_TO_VSC);
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
}

void RightButton(bool down) {
    g_state.rightButtonDown = down;
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    SendInput(1, &in, sizeof(INPUT));
}

void LeftClick() {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

void ParkCursor() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

bool HoldTestHotkey(UINT modifiers, UINT key) {
    int id = kFirstHotkeyId + (int)g_state.hotkeyIds.size();
    if (!RegisterHotKey(nullptr, id, modifiers, key)) return false;
    g_state.hotkeyIds.push_back(id);
    return true;
}

void ReleaseTestHotkeys() {
    for (int id : g_state.hotkeyIds) UnregisterHotKey(nullptr, id);
    g_state.hotkeyIds.clear();
}

// --------------------------------------------------------------- pixels ---

uint32_t Capture::At(int screenX, int screenY) const {
    int cx = screenX - x, cy = screenY - y;
    if (cx < 0 || cy < 0 || cx >= width || cy >= height) return 0xFFFFFFFF;
    return pixels[(size_t)cy * width + cx];
}

bool CaptureScreen(int x, int y, int width, int height, Capture* out) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib && bits) {
        HGDIOBJ old = SelectObject(memory, dib);
        // CAPTUREBLT: on Windows layered windows are left out of a screen copy without it.
        ok = BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY | CAPTUREBLT) != FALSE;
        GdiFlush();
        if (ok) {
            out->x = x;
            out->y = y;
            out->width = width;
            out->height = height;
            const uint32_t* p = (const uint32_t*)bits;
            out->pixels.assign(p, p + (size_t)width * height);
            for (uint32_t& v : out->pixels) v &= 0x00FFFFFF;
        }
        SelectObject(memory, old);
    }
    if (dib) DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

uint32_t RgbOf(COLORREF c) {
    return ((uint32_t)GetRValue(c) << 16) | ((uint32_t)GetGValue(c) << 8) | GetBValue(c);
}

uint32_t ExpectedScreenPixel(uint32_t premultiplied, uint32_t background) {
    uint32_t a = premultiplied >> 24;
    if (a == 0) return background;
    if (a == 255 || RunningUnderWine()) return premultiplied & 0x00FFFFFF;
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t src = (premultiplied >> shift) & 0xFF, dst = (background >> shift) & 0xFF;
        uint32_t v = src + (dst * (255 - a) + 127) / 255;
        out |= std::min<uint32_t>(v, 255) << shift;
    }
    return out;
}

std::vector<uint32_t> RenderOverlay(const CrosshairSettings& settings, int referenceHeight) {
    std::vector<uint32_t> image((size_t)kOverlaySide * kOverlaySide);
    RenderCrosshair(settings, image.data(), kOverlaySide, kOverlaySide, referenceHeight);
    return image;
}

::testing::AssertionResult ScreenShowsImage(int x, int y, const std::vector<uint32_t>& image,
                                            COLORREF background) {
    Capture cap;
    if (!CaptureScreen(x, y, kOverlaySide, kOverlaySide, &cap))
        return ::testing::AssertionFailure() << "cannot capture the screen";
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    uint32_t bg = RgbOf(background);
    int differences = 0, drawn = 0;
    std::string detail;
    for (int row = 0; row < kOverlaySide; ++row) {
        for (int col = 0; col < kOverlaySide; ++col) {
            int sx = x + col, sy = y + row;
            if (sx < 0 || sy < 0 || sx >= screenW || sy >= screenH) continue;
            uint32_t src = image[(size_t)row * kOverlaySide + col];
            if (src >> 24) ++drawn;
            uint32_t want = ExpectedScreenPixel(src, bg);
            uint32_t got = cap.At(sx, sy);
            if (got == want) continue;
            if (++differences <= kMaxReportedPixels) {
                char buf[128];
                snprintf(buf, sizeof buf, "\n  image (%d, %d) screen (%d, %d): %s, expected %s",
                         col, row, sx, sy, Hex(got).c_str(), Hex(want).c_str());
                detail += buf;
            }
        }
    }
    if (differences == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differences << " of the pixels at (" << x << ", "
                                         << y << ") differ (" << drawn
                                         << " crosshair pixels in the image, background "
                                         << Hex(bg) << "):" << detail;
}

::testing::AssertionResult ScreenShowsImageWithin(int x, int y,
                                                  const std::vector<uint32_t>& image,
                                                  COLORREF background, DWORD ms) {
    ::testing::AssertionResult last = ::testing::AssertionFailure();
    WaitFor([&] {
        last = ScreenShowsImage(x, y, image, background);
        return (bool)last;
    },
            ms);
    return last;
}

::testing::AssertionResult PixelBecomes(int x, int y, COLORREF colour, DWORD ms) {
    uint32_t got = 0, want = RgbOf(colour);
    if (WaitFor([&] {
            Capture cap;
            got = CaptureScreen(x, y, 1, 1, &cap) ? cap.pixels[0] : 0xFFFFFFFF;
            return got == want;
        },
                ms))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << Hex(got)
                                         << ", expected " << Hex(want) << " within " << ms
                                         << " ms";
}

// --------------------------------------------------------- message boxes ---

HWND FindMessageBox(DWORD pid) {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, kBoxClass, kBoxTitle)) != nullptr) {
        if (pid == 0 || WindowPid(w) == pid) return w;
    }
    return nullptr;
}

bool PressMessageBoxButton(HWND box, int id) {
    HWND button = box ? GetDlgItem(box, id) : nullptr;
    if (!button) return false;
    // A posted command works whatever window has the focus (BM_CLICK needs the box active).
    return PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button) != FALSE;
}

// ------------------------------------------------------------ test files ---

namespace {

struct ConfigRow {
    const char* section;
    const char* key;
    const char* value;
};

// The settings file of a first run, in the program's order.
const ConfigRow kFirstRunRows[] = {
    {"Opcoes", "so_com_fivem", "1"},    {"Opcoes", "ligada", "1"},
    {"Opcoes", "so_mirando", "0"},      {"Opcoes", "atalho_tecla", "79"},
    {"Opcoes", "atalho_mod", "2"},      {"Opcoes", "monitor", "0"},
    {"Opcoes", "versao_miras", "2"},    {"Opcoes", "esconder_com_cursor", "0"},
    {"Mira", "tamanho", "-1.500"},
    {"Mira", "espacamento", "-3.000"},  {"Mira", "espessura", "1.000"},
    {"Mira", "contorno", "1"},          {"Mira", "espessura_contorno", "1.000"},
    {"Mira", "ponto", "0"},             {"Mira", "estilo_t", "0"},
    {"Mira", "cor_r", "255"},           {"Mira", "cor_g", "255"},
    {"Mira", "cor_b", "255"},           {"Mira", "opacidade", "255"},
    {"Mira", "posicao_x", "0"},         {"Mira", "posicao_y", "0"},
};
const char kVersionKey[] = "versao_miras";

}  // namespace

std::string ConfigText(std::initializer_list<std::pair<const char*, const char*>> overrides,
                       bool withMirasVersion) {
    std::string text, section;
    for (const ConfigRow& row : kFirstRunRows) {
        if (!withMirasVersion && !strcmp(row.key, kVersionKey)) continue;
        if (section != row.section) {
            section = row.section;
            text += "[" + section + "]\n";
        }
        std::string value = row.value;
        for (const auto& o : overrides) {
            if (!strcmp(o.first, row.key)) value = o.second;
        }
        text += std::string(row.key) + "=" + value + "\n";
    }
    return text;
}

// ---------------------------------------------------------------- fixture ---

void E2eCase::SetUp() {
    ASSERT_FALSE(ProgramPath().empty()) << "no program: pass --program=PATH or set ZAVIK_EXE";
    ASSERT_NE(GetFileAttributesW(ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES)
        << "the program is missing: " << Utf8(ProgramPath());
    // A program left running by an earlier case would take the single-instance
    // hand-off of this one; it is not ours to end, so say so instead.
    ASSERT_TRUE(WaitFor([] { return CountMessageWindows() == 0; }, kExitMs))
        << "a ZavikCrosshairMsg window of an earlier run still exists";
    ParkCursor();
    CleanSettingsFolder();
    DeleteRunValue();
    DeleteStartupRecord();
}

void E2eCase::TearDown() {
    EndStartedProcesses();
    for (HWND w : g_state.windows) DestroyWindow(w);
    g_state.windows.clear();
    ReleaseTestHotkeys();
    if (!g_state.caseTemp.empty()) RemoveTree(g_state.caseTemp);
    g_state.caseTemp.clear();
    if (g_state.rightButtonDown) RightButton(false);
    CleanSettingsFolder();
    DeleteRunValue();
    DeleteStartupRecord();
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0, nullptr,
                                nullptr);
    std::string out((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &out[0], n, nullptr,
                        nullptr);
    return out;
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
    std::wstring out((size_t)n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &out[0], n);
    return out;
}

}  // namespace e2e
