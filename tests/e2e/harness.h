// The end-to-end harness: everything a case needs to drive the real program
// from outside and look only at what the user or the system can see (windows,
// their classes, styles and rectangles, the settings files, the Run value,
// screen pixels). Runs inside zavik-e2e.exe under Wine or on Windows.
//
// Rules of the road for a case:
// - Derive the fixture from E2eCase. SetUp empties the settings folder and
//   removes the Run value; TearDown ends every process the case started (a clean
//   "Sair" first, TerminateProcess of its own handle if that does not work),
//   destroys the case's own windows and releases its hotkeys, also after a failure.
// - Never sleep. Wait for a condition with WaitFor(predicate, ms); prove that
//   something does NOT happen with PumpFor(ms) followed by the check, choosing
//   ms as a few visibility ticks (kQuietMs).
// - Assert with the helpers returning ::testing::AssertionResult inside
//   EXPECT_TRUE/ASSERT_TRUE, so a failure names the caller's line and says why.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <gtest/gtest.h>
#include <stdint.h>
#include <functional>
#include <string>
#include <vector>

#include "crosshair/crosshair.h"
#include "overlay/placement.h"

namespace e2e {

// ---------------------------------------------------------------- timing ---
enum : DWORD {
    kStartMs = 10000,   // a start of the program under Wine takes 1-2 s; be patient
    kReactMs = 3000,    // the program reacts within one or a few 200 ms ticks
    kQuietMs = 700,     // long enough for three ticks: "nothing happened" is believable
    kExitMs = 5000,     // a clean quit or a second start ends within this
};

// Runs pred until it returns true or ms have passed, pumping this thread's
// messages meanwhile (the test's own windows stay responsive). Returns the
// last answer of pred, which is asked once more at the deadline.
bool WaitFor(const std::function<bool()>& pred, DWORD ms);
// Pumps this thread's messages for ms. Only for negative checks.
void PumpFor(DWORD ms);

// --------------------------------------------------------------- program ---
// The program under test: set by main from --program=PATH or the environment
// variable ZAVIK_EXE (a Unix path such as /work/... is mapped to drive Z:).
void SetProgramPath(const wchar_t* path);
const std::wstring& ProgramPath();
// A helper program built beside zavik-e2e.exe, e.g. HelperPath(L"fakegame.exe").
std::wstring HelperPath(const wchar_t* fileName);
// A fresh empty folder under the temporary folder for this case's own files;
// removed again by TearDown.
std::wstring CaseTempFolder();
// True when running under Wine (some checks differ: see wine-notes).
bool RunningUnderWine();

struct Process {
    HANDLE process = nullptr;
    DWORD pid = 0;
};
// Starts exe with the argument text (may be empty); the process is remembered
// and ended by TearDown. Fails the case (ADD_FAILURE) and returns an empty
// record when CreateProcessW fails.
Process Start(const std::wstring& exe, const std::wstring& arguments);
// Starts the program under test.
Process StartProgram(const std::wstring& arguments = L"");
// Starts the program and waits until its message window exists. Returns an
// empty record (and fails the case) when it does not appear in time.
Process StartProgramAndWait(const std::wstring& arguments = L"");
bool IsRunning(const Process& p);
// Waits up to ms for the process to end; true with *exitCode when it did.
bool WaitExit(const Process& p, DWORD ms, DWORD* exitCode);
// "Sair": posts WM_COMMAND 102 to the process's message window and waits.
bool QuitCleanly(const Process& p, DWORD ms, DWORD* exitCode);
// Ends one process the case started (TerminateProcess of our own handle).
void Kill(const Process& p);
// Ends every process the case started: a clean quit for the program under
// test, TerminateProcess for whatever is still running. Called by TearDown.
void EndStartedProcesses();

// ------------------------------------------------------- settings folder ---
std::wstring SettingsFolder();  // %APPDATA%\Zavik Crosshair
std::wstring SettingsFile(const wchar_t* name);  // e.g. SettingsFile(L"config.ini")
// Deletes everything in the settings folder, its image folder too (the folder itself stays).
void CleanSettingsFolder();
// Writes UTF-8 test text as UTF-16LE with the byte-order mark, the way the
// program keeps its files; every "\n" not already preceded by "\r" becomes CR LF.
bool WriteSettingsText(const wchar_t* name, const char* utf8);
// Writes the bytes exactly as given (waiting while the program holds the file).
bool WriteSettingsBytes(const wchar_t* name, const std::string& bytes);
bool SettingsFileExists(const wchar_t* name);
// Raw bytes ("" for a missing file).
std::string ReadSettingsBytes(const wchar_t* name);
std::string ReadFileBytes(const std::wstring& path);
// The file as UTF-8 text: UTF-16LE after a byte-order mark, else taken as the
// bytes are. Line ends are left as they are.
std::string ReadSettingsText(const wchar_t* name);
// The value of key in [section] read from the file text (no Windows profile
// call, so nothing is cached); "" when absent. Names compare without case.
std::string IniValue(const std::string& text, const char* section, const char* key);
// Polls the file until IniValue(...) == expected.
::testing::AssertionResult IniValueBecomes(const wchar_t* name, const char* section,
                                           const char* key, const char* expected, DWORD ms);

// The text without its CRs, to compare with "\n"-ended expectations.
std::string WithoutCr(const std::string& text);
// Polls until the file's text (read as ReadSettingsText, CRs removed) is expected.
::testing::AssertionResult SettingsTextBecomes(const wchar_t* name, const std::string& expected,
                                               DWORD ms);

// ------------------------------------------------------------- registry ---
// The Run value "Zavik Crosshair" under HKCU\Software\Microsoft\Windows\CurrentVersion\Run.
bool ReadRunValue(std::wstring* value);
bool WriteRunValue(const std::wstring& value);
void DeleteRunValue();
// Windows' switch record of a Run value (ours unless name is given) under
// HKCU\...\CurrentVersion\Explorer\StartupApproved\Run. Writing creates the
// key, which a Wine prefix lacks; deleting the last record removes it again.
bool ReadStartupRecord(std::string* bytes, const wchar_t* name = nullptr);
bool WriteStartupRecord(const std::string& bytes, const wchar_t* name = nullptr);
void DeleteStartupRecord(const wchar_t* name = nullptr);

// -------------------------------------------------------------- windows ---
// The program's windows. pid 0 means any process.
HWND FindMessageWindow(DWORD pid = 0);
// A top-level window of the class owned by pid (0: any), e.g. the fake game.
HWND FindTopLevel(const wchar_t* className, DWORD pid = 0);
// Waits up to ms for FindTopLevel to find one; null when none appeared.
HWND WaitForTopLevel(const wchar_t* className, DWORD pid, DWORD ms);
int CountMessageWindows();
HWND FindOverlay(DWORD pid = 0);
HWND FindSettingsWindow(DWORD pid = 0);
HWND Control(HWND parent, int id);
DWORD WindowPid(HWND window);
RECT WindowRect(HWND window);
RECT ClientRectOnScreen(HWND window);
DWORD StyleOf(HWND window);
DWORD ExStyleOf(HWND window);
std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);

::testing::AssertionResult HasWindowRect(HWND window, int x, int y, int width, int height);
::testing::AssertionResult HasExStyleBits(HWND window, DWORD bits);
// Waits until the window's visibility equals visible.
::testing::AssertionResult BecomesVisible(HWND window, bool visible, DWORD ms);
// Checks that the visibility stays as it is for ms (a negative check).
::testing::AssertionResult StaysVisible(HWND window, bool visible, DWORD ms);
// Waits until the window's top-left corner is (x, y).
::testing::AssertionResult MovesTo(HWND window, int x, int y, DWORD ms);
// A new title for the stand-in game while it runs, as FiveM names the server
// it joins ("FiveM® by Cfx.re - Servidor A"): WM_SETTEXT, which the system
// carries to the other process; then waits until GetWindowTextW, the program's
// own way of reading it, answers the new title.
::testing::AssertionResult SetGameTitle(HWND game, const std::wstring& title);

// -------------------------------------------------- the case's own window ---
// A borderless window of the test in one plain colour, covering rect (screen
// coordinates). It is raised above the others with the topmost/not-topmost
// pair and, unless noActivate, takes the foreground. Destroyed by TearDown.
HWND CreateColourWindow(COLORREF colour, const RECT& rect, bool noActivate = false);
// Puts any window above the ordinary windows the same way and, when
// foreground, makes it the foreground window; then waits until it is.
::testing::AssertionResult BringToFront(HWND window, bool foreground = true);
// Waits until window is the foreground window.
::testing::AssertionResult IsForegroundWithin(HWND window, DWORD ms);

// ---------------------------------------------------------------- input ---
// Presses and releases a key chord through SendInput, e.g. PressKeys({VK_CONTROL, 'O'}):
// the keys go down in order and come up in reverse order.
void PressKeys(std::initializer_list<WORD> keys);
void RightButton(bool down);
// A left click (down and up) at the pointer's position.
void LeftClick();
// Moves the pointer to the bottom-right corner of the primary screen, away from
// the crosshair and from Wine's fallback tray window at the top left.
void ParkCursor();
// Registers a hotkey on this thread, as another program holding the keys would;
// released by TearDown or by ReleaseTestHotkeys.
bool HoldTestHotkey(UINT modifiers, UINT key);
void ReleaseTestHotkeys();

// ----------------------------------------------------------- test files ---
// The text of "config.ini" as a first run writes it (UTF-8, "\n" line ends, for
// WriteSettingsText), with the values of the named keys replaced. Without
// withMirasVersion the key "versao_miras" is left out, as a plain save writes it.
std::string ConfigText(std::initializer_list<std::pair<const char*, const char*>> overrides = {},
                       bool withMirasVersion = true);

// --------------------------------------------------------------- pixels ---
struct Capture {
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
    uint32_t At(int screenX, int screenY) const;
};
// Copies a screen rectangle (GetDC(NULL) + BitBlt with CAPTUREBLT into a DIB).
bool CaptureScreen(int x, int y, int width, int height, Capture* out);
uint32_t RgbOf(COLORREF colour);  // COLORREF (0x00BBGGRR) -> 0x00RRGGBB
// What the screen should show for one premultiplied overlay pixel over
// background: on Windows the blend, under Wine the pixel unblended when it is
// partly transparent; fully transparent pixels show the background.
uint32_t ExpectedScreenPixel(uint32_t premultiplied, uint32_t background);
// Renders settings with the program's own rasterizer for referenceHeight.
std::vector<uint32_t> RenderOverlay(const CrosshairSettings& settings, int referenceHeight);
// Compares every pixel of the 320 x 320 area at (x, y) with the image over a
// plain background; reports the number of differences and the first few.
::testing::AssertionResult ScreenShowsImage(int x, int y, const std::vector<uint32_t>& image,
                                            COLORREF background);
// Polls until the screen shows the image (the compositor may lag a frame).
::testing::AssertionResult ScreenShowsImageWithin(int x, int y,
                                                  const std::vector<uint32_t>& image,
                                                  COLORREF background, DWORD ms);
// Polls until the screen pixel has the colour.
::testing::AssertionResult PixelBecomes(int x, int y, COLORREF colour, DWORD ms);

// --------------------------------------------------------- message boxes ---
// A message box (#32770) titled "Zavik Crosshair" owned by process pid (0: any).
HWND FindMessageBox(DWORD pid = 0);
// Presses the button with id (IDYES, IDNO, IDOK, ...) of the box.
bool PressMessageBoxButton(HWND box, int id);

// ---------------------------------------------------------------- fixture ---
class E2eCase : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Text helpers for messages and files.
std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

}  // namespace e2e
