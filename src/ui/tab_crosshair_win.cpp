// The " Mira " tab and the right column of the settings window: sliders, check
// boxes and colours of the current crosshair, the live preview, and how the
// window shows the records after a change.
#include "ui/settings_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <stdlib.h>

#include "base/wtext.h"
#include "state/hotkey.h"
#include "ui/window_text.h"
#include "ui/clipboard_win.h"
#include "overlay/dpi_context_win.h"
#include "overlay/worn_image.h"
#include "ui/preview.h"
#include "ui/server_label.h"
#include "ui/sliders.h"
#include "ui/text_colours.h"

namespace {

const wchar_t kRestoreQuestion[] =
    L"Tem certeza que deseja restaurar a mira para o padrão (Zavik Padrão)?\n\n"
    L"A mira atual será substituída. Se quiser guardá-la, salve antes na aba Miras salvas.";
// One line of the game status label; it grows downwards for a longer text.
enum { kGameStatusLineHeight = 18 };
// By GameStatus.
const wchar_t* const kGameStatusTexts[] = {
    L"○ FiveM na frente: não",
    L"● FiveM na frente: SIM",
    L"Não dá para salvar: config.ini está só para leitura.",
};

const ControlRow kRightColumn[] = {
    {L"STATIC", L"PRÉVIA (ampliada)", 0, 408, 96, 176, 18, kIdHeading},
    {L"BUTTON", L"", BS_AUTOCHECKBOX | WS_TABSTOP, 408, 290, 176, 20, kIdCheckEnabled},
    {L"BUTTON", L"Restaurar padrão", WS_TABSTOP, 408, 318, 176, 28, kIdRestoreDefault},
    {L"BUTTON", L"Copiar código da mira", BS_SPLITBUTTON | WS_TABSTOP, 408, 350, 176, 28,
     kIdCopyCode},
    {L"STATIC", L"", 0, 408, 388, 176, kGameStatusLineHeight, kIdGameStatus},
    // One line that never wraps, and a name's "&" is shown, not taken as a mnemonic.
    {L"STATIC", L"", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 408, 406, 176, kGameStatusLineHeight,
     kIdServerLabel},
};

enum { kAlphaPageSize = 15 };

// The menu of the copy button's arrow; each item is the command it sends.
struct CopyMenuItem {
    int id;
    const wchar_t* text;
};
const CopyMenuItem kCopyMenu[] = {
    {kIdCopyCode, L"Copiar comandos (cl_crosshair...)"},
    {kIdCopyShareCode, L"Copiar código de compartilhamento (CS...)"},
};

const ControlRow kCrosshairTabRest[] = {
    {L"BUTTON", L"Ponto central", BS_AUTOCHECKBOX | WS_TABSTOP, 24, 348, 120, 20, kIdCheckDot},
    {L"BUTTON", L"Estilo T (sem a linha de cima)", BS_AUTOCHECKBOX | WS_TABSTOP, 150, 348, 230, 20,
     kIdCheckTStyle},
    {L"STATIC", L"Cor", 0, 24, 382, 100, 20, kIdUnnamed},
    {L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 124, 378, 124, 300,
     kIdColourList},
    {L"BUTTON", L"Escolher...", WS_TABSTOP, 254, 377, 90, 26, kIdColourChoose},
    {L"STATIC", L"", SS_OWNERDRAW, 352, 380, 22, 22, kIdColourSwatch},
};

// The controls of the " Mira " tab, besides its sliders, that shape only the
// drawn crosshair: an image worn leaves them without input.
const int kDrawnOnlyControls[] = {kIdCheckOutline, kIdCheckDot, kIdCheckTStyle, kIdColourList,
                                  kIdColourChoose};

enum { kCustomColourCount = 16 };

// Handed to every colour dialog of the run, never saved.
COLORREF g_customColours[kCustomColourCount];

void FillColourList(HWND list) {
    for (int i = 0; i < kColourPresetCount; ++i) {
        SendMessageW(list, CB_ADDSTRING, 0, (LPARAM)kColourPresets[i].name);
    }
    SendMessageW(list, CB_ADDSTRING, 0, (LPARAM)kColourCustomName);
}

void SelectCurrentColourName() {
    SendToControl(kIdColourList, CB_SETCURSEL, FindColourPresetIndex(), 0);
}

void UpdateValueLabels() {
    if (!g_settingsWindow) return;
    for (const SliderRow& row : kSliderRows) {
        wchar_t text[kSliderLabelChars];
        FormatSliderLabel(row, g_crosshair, text, kSliderLabelChars);
        HWND label = SettingsControl(row.labelId);
        if (label) SetWindowTextW(label, text);
    }
}

void EnableForCrosshairWorn() {
    for (const SliderRow& row : kSliderRows)
        EnableControl(row.trackbarId, SliderEnabled(row, g_crosshair));
    for (int id : kDrawnOnlyControls) EnableControl(id, !CrosshairUsesImage(g_crosshair));
}

void SetColour(uint8_t red, uint8_t green, uint8_t blue) {
    CrosshairSettings next = g_crosshair;
    next.red = red;
    next.green = green;
    next.blue = blue;
    ChangeCrosshair(next, kCrosshairEdited);
}

// A check box of the crosshair sets one flag field.
void SetFlag(int32_t CrosshairSettings::*field, int boxId) {
    CrosshairSettings next = g_crosshair;
    next.*field = IsControlChecked(boxId) ? 1 : 0;
    ChangeCrosshair(next, kCrosshairEdited);
}

// The label grows downwards to hold text that wraps; two lines below it are
// free on every tab.
void FitLabelHeight(HWND label, const wchar_t* text) {
    // The tick asks from the per-monitor message window; the label's size is
    // in the system-aware window's own units.
    DPI_AWARENESS_CONTEXT previous = EnterWindowDpiContext(label);
    RECT rect;
    GetWindowRect(label, &rect);
    RECT wrapped = {0, 0, rect.right - rect.left, 0};
    // Measured as the static control draws it: the font decides how many lines.
    HDC dc = GetDC(label);
    HGDIOBJ oldFont = SelectObject(dc, (HGDIOBJ)SendMessageW(label, WM_GETFONT, 0, 0));
    DrawTextW(dc, text, -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    SelectObject(dc, oldFont);
    ReleaseDC(label, dc);
    int height = DpiScale(kGameStatusLineHeight);
    if (wrapped.bottom > height) height = wrapped.bottom;
    SetWindowPos(label, nullptr, 0, 0, rect.right - rect.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LeaveDpiContext(previous);
}

// The server label stays right under the game status label, however many
// lines that one has grown to.
void KeepServerLabelBelow(HWND statusLabel) {
    HWND serverLabel = SettingsControl(kIdServerLabel);
    if (!serverLabel) return;
    DPI_AWARENESS_CONTEXT previous = EnterWindowDpiContext(statusLabel);
    RECT status;
    GetWindowRect(statusLabel, &status);
    MapWindowPoints(nullptr, g_settingsWindow, (POINT*)&status, 2);
    SetWindowPos(serverLabel, nullptr, status.left, status.bottom, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    LeaveDpiContext(previous);
}

// Cuts text in place so that it and "…" fit the label, measured in the
// label's own font as the static control draws it.
void FitServerLabelText(HWND label, wchar_t* text) {
    int count = (int)LengthW(text, kServerLabelChars);
    if (count == 0) return;
    DPI_AWARENESS_CONTEXT previous = EnterWindowDpiContext(label);
    RECT client;
    GetClientRect(label, &client);
    int extents[kServerLabelChars];
    SIZE whole = {0, 0}, ellipsis = {0, 0};
    HDC dc = GetDC(label);
    HGDIOBJ oldFont = SelectObject(dc, (HGDIOBJ)SendMessageW(label, WM_GETFONT, 0, 0));
    GetTextExtentExPointW(dc, text, count, 0, nullptr, extents, &whole);
    GetTextExtentPoint32W(dc, kCutMark, 1, &ellipsis);
    SelectObject(dc, oldFont);
    ReleaseDC(label, dc);
    LeaveDpiContext(previous);
    int kept = ServerLabelCut(text, extents, count, ellipsis.cx, client.right);
    if (kept < count) CopyW(text + kept, kServerLabelChars - kept, kCutMark);
}


}  // namespace

// Under the copy button, left edges aligned. The chosen item comes back as
// WM_COMMAND to the settings window once the menu closes.
void ShowCopyMenu(HWND button) {
    RECT area;
    GetClientRect(button, &area);
    POINT corner = {area.left, area.bottom};
    ClientToScreen(button, &corner);
    HMENU menu = CreatePopupMenu();
    for (const CopyMenuItem& item : kCopyMenu) {
        AppendMenuW(menu, MF_STRING, (UINT_PTR)item.id, item.text);
    }
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, corner.x, corner.y, 0,
                   g_settingsWindow, nullptr);
    DestroyMenu(menu);
}

// Alt+Down and F4 open a drop-down anywhere. They are taken here, before the
// control and the dialog filter see them, so the menu opens exactly once
// whether or not the common control of the system would react to them too.
bool OpenCopyMenuByKey(const MSG& msg) {
    HWND button = SettingsControl(kIdCopyCode);
    if (!button || msg.hwnd != button) return false;
    bool altDown = msg.message == WM_SYSKEYDOWN && msg.wParam == VK_DOWN;
    bool f4 = msg.message == WM_KEYDOWN && msg.wParam == VK_F4;
    if (!altDown && !f4) return false;
    ShowCopyMenu(button);
    return true;
}

void CopyShareCode() { ExportShareCode(CrosshairTargetHeight()); }

void CreateRightColumn(HWND window) {
    CreateControlRows(window, kRightColumn, sizeof(kRightColumn) / sizeof(kRightColumn[0]));
}

void CreateSliderRows(HWND window, int page) {
    for (const SliderRow& row : kSliderRows) {
        if (row.page != page) continue;
        CreateSliderRow(window, row.caption, row.y, row.trackbarId, row.labelId, row.minimum,
                        row.maximum, row.checkBox);
    }
}

void CreateCrosshairTab(HWND window) {
    CreateSliderRows(window, kTagCrosshair);
    SendToControl(kIdSliderAlpha, TBM_SETPAGESIZE, 0, kAlphaPageSize);
    CreateControlRows(window, kCrosshairTabRest,
                      sizeof(kCrosshairTabRest) / sizeof(kCrosshairTabRest[0]));
    FillColourList(SettingsControl(kIdColourList));
}

void ShowCrosshairValues() {
    if (!g_settingsWindow) return;
    UpdateValueLabels();
    EnableForCrosshairWorn();
    ShowImageStatus();
    HWND swatch = SettingsControl(kIdColourSwatch);
    if (swatch) InvalidateRect(swatch, nullptr, TRUE);
}

void PushStateToControls() {
    if (!g_settingsWindow) return;
    // Setting the controls makes some of them notify; those notifications must not act.
    g_settings.suppressCommands = true;
    for (const SliderRow& row : kSliderRows) {
        SendToControl(row.trackbarId, TBM_SETPOS, TRUE, SliderPositionFor(row, g_crosshair));
    }
    SetControlChecked(kIdCheckOutline, g_crosshair.outline != 0);
    SetControlChecked(kIdCheckDot, g_crosshair.dot != 0);
    SetControlChecked(kIdCheckTStyle, g_crosshair.tStyle != 0);
    SelectCurrentColourName();
    SendToControl(kIdHotkeyControl, HKM_SETHOTKEY,
                  HotkeyControlValue(g_options.hotkeyKey, g_options.hotkeyModifiers), 0);
    SendToControl(kIdSwitchHotkey, HKM_SETHOTKEY,
                  HotkeyControlValue(g_options.switchKey, g_options.switchModifiers), 0);
    g_settings.suppressCommands = false;
}

void ShowHotkeyTexts() {
    ShowEnabledCaption();
    ShowHotkeyNote();
}

void ShowOptionBoxes() {
    for (const OptionRow& row : kOptionRows) {
        if (row.checkBox != kIdUnnamed)
            SetControlChecked(row.checkBox, OptionBoxTicked(row, g_options.*(row.field)));
    }
}

// The server now while the option is on, else nothing.
void ShowServerLabel() {
    HWND label = SettingsControl(kIdServerLabel);
    if (!label) return;
    wchar_t text[kServerLabelChars];
    FormatServerLabel(g_options.perServer ? CurrentServer() : nullptr, text, kServerLabelChars);
    FitServerLabelText(label, text);
    SetWindowTextW(label, text);
}

void ShowEnabledCaption() {
    HWND box = SettingsControl(kIdCheckEnabled);
    if (!box) return;
    wchar_t hotkey[kHotkeyTextChars];
    wchar_t caption[kEnabledCaptionChars];
    FormatHotkeyText(hotkey, kHotkeyTextChars);
    FormatEnabledCaption(hotkey, caption, kEnabledCaptionChars);
    SetWindowTextW(box, caption);
}

bool SetGameStatusLabel(bool inFront) {
    HWND label = SettingsControl(kIdGameStatus);
    if (!label) return false;
    // A refused save outweighs the game: the player can mend it, and must know.
    g_settings.gameStatus = SettingsFileReadOnly(g_settingsFile) ? kGameSaveRefused
                            : inFront                           ? kGameInFront
                                                                : kGameAway;
    SetWindowTextW(label, kGameStatusTexts[g_settings.gameStatus]);
    FitLabelHeight(label, kGameStatusTexts[g_settings.gameStatus]);
    KeepServerLabelBelow(label);
    // The colour changes with the text, so the whole label is drawn again.
    InvalidateRect(label, nullptr, TRUE);
    return true;
}

void OnSliderMoved(HWND trackbar, int scrollCode) {
    const SliderRow* row = FindSliderRow(GetDlgCtrlID(trackbar));
    if (!row) return;
    CrosshairSettings next = g_crosshair;
    StoreSliderPosition(*row, (int32_t)SendMessageW(trackbar, TBM_GETPOS, 0, 0), &next);
    // While the thumb is dragged the file is left alone; the drag's end saves it.
    ChangeCrosshair(next, scrollCode == TB_THUMBTRACK ? kCrosshairDragged : kCrosshairEdited);
}

void OnOutlineClicked() { SetFlag(&CrosshairSettings::outline, kIdCheckOutline); }

void OnDotClicked() { SetFlag(&CrosshairSettings::dot, kIdCheckDot); }

void OnTStyleClicked() { SetFlag(&CrosshairSettings::tStyle, kIdCheckTStyle); }

void OnColourListChanged(int notification) {
    if (notification != CBN_SELCHANGE) return;
    int index = (int)SendToControl(kIdColourList, CB_GETCURSEL, 0, 0);
    if (index >= 0 && index < kColourPresetCount) {
        const ColourPreset& preset = kColourPresets[index];
        SetColour(preset.red, preset.green, preset.blue);
    } else if (index == kColourCustomIndex) {
        // Posted, so the dialog opens after the list has finished its own notification.
        PostMessageW(g_settingsWindow, WM_COMMAND, MAKEWPARAM(kIdColourChoose, 0), 0);
    }
}

// The common dialogs' library pulls in the printing libraries; loading it the
// first time a dialog opens keeps them out of every start of the program.
FARPROC CommonDialogFunction(const char* name) {
    static HMODULE library = NULL;
    if (!library) library = LoadLibraryW(L"comdlg32.dll");
    return library ? GetProcAddress(library, name) : NULL;
}

namespace {
typedef BOOL(WINAPI* ChooseColourFn)(CHOOSECOLORW*);

BOOL RunColourDialog(CHOOSECOLORW* dialog) {
    ChooseColourFn chooseColour = (ChooseColourFn)CommonDialogFunction("ChooseColorW");
    return chooseColour ? chooseColour(dialog) : FALSE;
}
}  // namespace

void ChooseCustomColour() {
    CHOOSECOLORW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = g_settingsWindow;
    dialog.rgbResult = RGB(g_crosshair.red, g_crosshair.green, g_crosshair.blue);
    dialog.lpCustColors = g_customColours;
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (RunColourDialog(&dialog)) {
        SetColour(GetRValue(dialog.rgbResult), GetGValue(dialog.rgbResult),
                  GetBValue(dialog.rgbResult));
    }
    // Also after a cancel: "Personalizada" chosen for a palette colour goes back to its name.
    SelectCurrentColourName();
}

void RestoreDefaultCrosshair() {
    if (SettingsMessageBox(kRestoreQuestion, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        return;
    }
    // The first line is the default built-in; selecting it from here applies nothing.
    SendToControl(kIdSavedList, LB_SETCURSEL, 0, 0);
    ChangeCrosshair(kBuiltinPresets[0].settings, kCrosshairRestored);
}

void PaintPreview(HDC dc) {
    int32_t side = DpiScale(kPreviewSide);
    uint32_t* render = (uint32_t*)malloc(sizeof(uint32_t) * kPreviewSource * kPreviewSource);
    uint32_t* image = (uint32_t*)malloc(sizeof(uint32_t) * (size_t)side * (size_t)side);
    if (!render || !image) {
        free(render);
        free(image);
        return;
    }
    RenderCurrentCrosshair(render, kPreviewSource, kPreviewSource, CrosshairTargetHeight());
    int32_t zoom = PreviewZoom(side, PreviewExtent(render));
    ComposePreview(render, side, zoom, DpiScale(kPreviewCell), image);

    BITMAPINFO info = TopDownBitmapInfo(side, side);
    int x = DpiScale(kPreviewX);
    int y = DpiScale(kPreviewY);
    SetDIBitsToDevice(dc, x, y, side, side, 0, 0, 0, side, image, &info, DIB_RGB_COLORS);
    RECT frame = {x - 1, y - 1, x + side + 1, y + side + 1};
    FrameRect(dc, &frame, (HBRUSH)GetStockObject(GRAY_BRUSH));
    free(render);
    free(image);
}
