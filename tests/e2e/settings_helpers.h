// Helpers of the settings-window cases: opening the window, driving its
// controls from outside the way the user's clicks and keys would, answering
// its message boxes, and reading back what it shows (texts, focus, colours of
// its texts on screen, the live preview, the settings file).
#pragma once
#include "harness.h"

#include <string>
#include <vector>

#include "crosshair/crosshair.h"

namespace e2e {

// The program with its settings window open.
struct SettingsScene {
    Process process;
    HWND window = nullptr;
};

// Where a case parks the settings window when the middle of the screen must
// stay free for the crosshair, and the backdrop it shows the crosshair on.
enum { kParkX = 10, kParkY = 200 };
extern const RECT kBackdropRect;
extern const COLORREF kBackdrop;
enum { kCentredX = 800, kCentredY = 380 };
// The game status label 701 and its two colours.
extern const wchar_t kGameInFrontText[];
extern const wchar_t kGameAwayText[];
extern const COLORREF kGreen;
extern const COLORREF kStatusGrey;

// The screen's LOGPIXELSY and a 96-DPI length scaled to it the way the program does.
int ScreenDpi();
int Scale(int value);

// Writes config.ini (the first-run text with the overrides) and starts the
// program without the tray switch; waits until its settings window is shown
// and the first visibility tick has written the game status label.
SettingsScene OpenSettings(std::initializer_list<std::pair<const char*, const char*>> overrides = {});
// Shows the crosshair away from the settings window: a plain backdrop at the
// centre, the program started with so_com_fivem=0 (plus overrides), the
// settings window moved to the left. Waits until the overlay shows.
SettingsScene OpenSettingsWithOverlay(
    std::initializer_list<std::pair<const char*, const char*>> overrides = {});
// Moves the settings window so that its top-left corner is at (x, y).
void MoveSettingsWindow(HWND window, int x, int y);

// A control's rectangle in its parent's client coordinates.
RECT ControlRect(HWND window, HWND control);
// The first direct child whose text is exactly text (unnamed statics).
HWND ChildWithText(HWND window, const std::wstring& text);

// Sends with a deadline, so that a program stuck on a modal box cannot hang the case.
LRESULT SendTo(HWND target, UINT message, WPARAM wParam, LPARAM lParam);
// A click of a button, waited for (BM_CLICK); not for buttons that open a message box.
void Click(HWND button);
// The same click, posted: for buttons whose handler waits on a message box.
void PostClick(HWND button);
// A real mouse click (SendInput) at a screen point, then the pointer is parked again.
void ClickAt(int x, int y);
void ClickCentreOf(HWND control);
// Clicks item index of the tab strip 700 with the mouse and waits until it is selected.
::testing::AssertionResult ClickTab(HWND window, int index);

// Moves a trackbar the way a user would: TBM_SETPOS, then WM_HSCROLL with the
// scroll code (and the position for the thumb codes) to the settings window.
void MoveTrackbar(HWND window, int id, int position, int scrollCode);
// CB_SETCURSEL + CBN_SELCHANGE, LB_SETCURSEL + LBN_SELCHANGE, as a user's choice.
void ChooseComboItem(HWND window, int id, int index);
void ChooseListLine(HWND window, int id, int index);
// Replaces the whole text of an edit control as a paste does (notifies EN_CHANGE).
void Paste(HWND edit, const std::wstring& text);
// The clipboard's text, "<no text>" or "<clipboard busy>".
std::wstring ClipboardText();
// The lines of a list box.
std::vector<std::wstring> ListLines(HWND list);
int CheckState(HWND button);

// The control with the keyboard focus in the window's thread.
HWND FocusedControl(HWND window);
::testing::AssertionResult FocusBecomes(HWND window, HWND control, DWORD ms);
::testing::AssertionResult TextBecomes(HWND control, const std::wstring& text, DWORD ms);
::testing::AssertionResult CheckBecomes(HWND button, bool checked, DWORD ms);
// The control on screen holds at least a few pixels of exactly this colour
// (its text's colour; anti-aliased edges differ, stems do not).
::testing::AssertionResult ShowsTextColour(HWND control, COLORREF colour, DWORD ms);

// The message box of the program, its text, and the answer to it: waits for
// the box, checks its text, presses the button and waits until it is gone.
HWND WaitForMessageBox(DWORD pid, DWORD ms);
std::wstring MessageBoxText(HWND box);
// The box's default button (the one styled BS_DEFPUSHBUTTON once the box is set up).
::testing::AssertionResult DefaultButtonIs(HWND box, int id, DWORD ms);
::testing::AssertionResult AnswerMessageBox(DWORD pid, const std::wstring& text, int button);

// One section of miras.ini as the program writes it (UTF-8, "\n" line ends).
std::string SectionText(const char* name, const CrosshairSettings& s);

// config.ini read back.
std::string MiraValue(const char* key);
std::string OpcoesValue(const char* key);
// Every one of the thirteen keys of [Mira] (or of a section of miras.ini) as
// the program writes them for s.
::testing::AssertionResult FileHoldsCrosshair(const wchar_t* file, const char* section,
                                              const CrosshairSettings& s, DWORD ms);

// The preview the settings window should paint for s (n x n, 0x00RRGGBB).
std::vector<uint32_t> ExpectedPreview(const CrosshairSettings& s, int n);
// The preview square on screen equals ExpectedPreview, and the 1-pixel grey
// frame surrounds it.
::testing::AssertionResult PreviewShows(HWND window, const CrosshairSettings& s, DWORD ms);
// The overlay, centred on the primary monitor, shows s over the backdrop.
::testing::AssertionResult OverlayShows(const CrosshairSettings& s, DWORD ms);

// Starts the fake game at a place clear of a parked settings window and waits
// until the program has seen it in front (the status label says so).
struct GameScene {
    Process process;
    HWND window = nullptr;
};
GameScene StartGameBeside(HWND settings);
// The stand-in game in front, with extra arguments after the usual ones.
GameScene StartGame(const std::wstring& extra = L"");

// Bytes written as hexadecimal digits (small test files).
std::string FromHex(const char* hex);

}  // namespace e2e
