// What the settings window's source files share: the window-level state, the
// one control factory with its table rows, and each tab's creation and handlers.
#pragma once
#include "base/ids.h"
#include "overlay/overlay_win.h"
#include "state/change.h"
#include "ui/server_label.h"

#include <shellapi.h>  // after windows.h, which overlay_win.h brings

// What the settings window offers the message window and the tray; each does
// nothing while the window is closed.
LRESULT CALLBACK SettingsWindowProc(HWND, UINT, WPARAM, LPARAM);
void InvalidatePreview();
// The sliders, the crosshair's boxes, the colour and the hotkey controls show
// the records again; notifications meanwhile do not act.
void PushStateToControls();
// The value labels, the colour swatch and the image status show the crosshair.
void ShowCrosshairValues();
// The option check boxes show the options, each as its row says.
void ShowOptionBoxes();
// The caption of the enabled box and the hotkey note name the current hotkeys.
void ShowHotkeyTexts();
void ShowEnabledCaption();
// Text of control 701, repainted in its colour; false while the window is closed.
bool SetGameStatusLabel(bool inFront);
// Label 711 names the FiveM server now while the option "por_servidor" is on.
void ShowServerLabel();
// When the main loop hands over a key for the focused copy button: Alt+Down
// or F4 opens its menu (true then).
bool OpenCopyMenuByKey(const MSG& msg);

// One control of a page, as laid out in 96-DPI units.
struct ControlRow {
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
    int x, y, width, height;
    int id;
};

// The painted preview square and its checkerboard cell, in 96-DPI units.
enum { kPreviewX = 416, kPreviewY = 118, kPreviewSide = 160, kPreviewCell = 20 };

// The window-level state; lives as long as the process. Everything but the
// tray notice flag (once per run) and the server's name is set afresh as the
// window comes and goes.
struct SettingsWindowState {
    int currentTab;         // index into the tab table
    int creationTag;        // the page tag CreateChildControl stamps; 0 outside creation
    bool suppressCommands;  // set while PushStateToControls fills the controls
    HBRUSH swatchBrush;     // the one brush kept between paints
    bool trayNoticeShown;   // the closing notice is shown once per run
    bool closedByPlayer;    // the window is closing at the player's own click or key
    int statusKind;         // colour of the status line (StatusKind)
    int gameStatus;         // what the game status label says (GameStatus), written with its text
    bool hotkeyTaken;       // note 707 tells of a hotkey another program holds
    bool highContrast;      // the system's high-contrast mode is on
};
extern SettingsWindowState g_settings;
// Null while the settings window does not exist.
extern HWND g_settingsWindow;

// The control factory: CreateWindowExW scaled with DpiScale, the control font,
// and the creation page tag in the control's user data.
HWND CreateChildControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                        int x, int y, int width, int height, int id);
void CreateControlRows(HWND parent, const ControlRow* rows, int count);
// Caption (a check box 400 when checkBox), trackbar and value label; returns the label.
HWND CreateSliderRow(HWND parent, const wchar_t* caption, int y, int trackbarId, int labelId,
                     int minimum, int maximum, bool checkBox);
void SelectTab(int index);
// The painted part of the window: header band, icon, title, subtitle and the live preview.
void PaintSettingsWindow(HDC dc, const RECT* client);

// Small helpers over the controls of the open window; all do nothing without one.
HWND SettingsControl(int id);
bool IsControlChecked(int id);
void SetControlChecked(int id, bool checked);
// Enables or disables a control; a control that loses its input while it has
// the focus hands the focus to the next one, so the keyboard keeps working.
void EnableControl(int id, bool enabled);
LRESULT SendToControl(int id, UINT message, WPARAM wParam, LPARAM lParam);
// A message box owned by the settings window, titled with the program's name.
int SettingsMessageBox(const wchar_t* text, UINT style);
// The rules of both hotkey controls (703 and 604).
void SetHotkeyRules(HWND control);
// A hotkey control given the other hotkey's combination: it shows its own
// value again, and a warning box says why.
void RefuseHotkey(HWND control, uint32_t ownValue, const wchar_t* why);

// tab_crosshair_win.cpp: the right column, the " Mira " tab and the live preview.
void CreateRightColumn(HWND window);
void CreateCrosshairTab(HWND window);
// The rows of kSliderRows that belong to the page tag.
void CreateSliderRows(HWND window, int page);
// A function of comdlg32.dll, loaded the first time a common dialog opens.
FARPROC CommonDialogFunction(const char* name);
void PaintPreview(HDC dc);
void OnSliderMoved(HWND trackbar, int scrollCode);
void OnOutlineClicked();
void OnDotClicked();
void OnTStyleClicked();
void OnColourListChanged(int notification);
void ChooseCustomColour();
void RestoreDefaultCrosshair();
// The copy button's menu, opened by its arrow (BCN_DROPDOWN) or by a key
// (OpenCopyMenuByKey).
void ShowCopyMenu(HWND button);
// Command 507: the share code at the height of the area the crosshair is drawn for.
void CopyShareCode();

// tab_saved_win.cpp: the " Miras salvas " tab.
void CreateSavedTab(HWND window);
void FillSavedList(const wchar_t* name);  // name may be null: no selection
void ApplyListEntry();
void SaveImportedCrosshair();
void DeleteSavedCrosshair();
void ApplyImportBox();
void SetStatusLine(int kind, const wchar_t* text);
// The switch hotkey wore a line: the list selects it, as a click would have.
void ShowSwitchedLine();
// The switch hotkey's control changed (EN_CHANGE of control 604).
void TakeSwitchHotkeyFromControl(HWND hotkeyControl);

// tab_options_win.cpp: the " Configurações " tab.
void CreateOptionsTab(HWND window);
// A check box of an option row was clicked; false when id is no such box.
bool OnOptionBoxClicked(int id);
void OnAutostartClicked();
// The hotkey control changed (EN_CHANGE of control 703).
void TakeHotkeyFromControl(HWND hotkeyControl);
// Note 707: its usual text, or, in the warning colour, the combination another program holds.
void ShowHotkeyNote();
void OpenSettingsFolder();
void ResetAllSettings();

// tab_image_win.cpp: the " Imagem " tab.
void CreateImageTab(HWND window);
// The status line and the button that puts the image aside follow the crosshair.
void ShowImageStatus();
void ChooseImageByDialog();           // "Escolher imagem..."
void TakeDroppedFiles(HDROP drop);    // WM_DROPFILES: the first file, as if chosen
void UseDrawnCrosshair();             // "Usar a mira desenhada"
