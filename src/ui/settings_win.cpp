// The settings window's frame: its window procedure, the painted header, the
// colours of static texts, the colour swatch, the control factory and the tabs.
#include "ui/settings_win.h"

#include <commctrl.h>
#include <wchar.h>

#include "state/hotkey.h"
#include "ui/window_text.h"
#include "ui/clipboard_win.h"
#include "overlay/dpi_context_win.h"
#include "res/version.h"
#include "ui/text_colours.h"

SettingsWindowState g_settings;
HWND g_settingsWindow;

namespace {

const wchar_t kTabStripClass[] = L"SysTabControl32";

// The tabs in their order: the strip's text, the tag stamped on the page's
// controls, and what creates them.
struct TabRow {
    const wchar_t* text;
    int tag;
    void (*create)(HWND window);
};
const TabRow kTabs[] = {
    {L" Mira ", kTagCrosshair, CreateCrosshairTab},
    {L" Miras salvas ", kTagSaved, CreateSavedTab},
    {L" Configurações ", kTagOptions, CreateOptionsTab},
    {L" Imagem ", kTagImage, CreateImageTab},
};

// The title is the product name, its words after the first in the accent colour.
const wchar_t kTitle[] = ZAVIK_TITLE;
const wchar_t kSubtitle[] =
    L"Mira fixa para FiveM  •  v" ZAVIK_VERSION_SHORT_TEXT " " ZAVIK_VERSION_STAGE;

const COLORREF kColourHeaderBand = RGB(18, 20, 26);
const COLORREF kColourAccent = RGB(0, 255, 255);
const COLORREF kColourTitle = RGB(255, 255, 255);
const COLORREF kColourSubtitle = RGB(150, 158, 170);

// The system colours that stand for the fixed ones under high contrast, by ContrastColour.
const int kContrastSystemColours[] = {COLOR_WINDOWTEXT, COLOR_GRAYTEXT, COLOR_HOTLIGHT};

// Header geometry in 96-DPI units.
enum {
    kHeaderBottom = 84, kHeaderGap = 10, kAccentHeight = 13,
    kIconX = 14, kIconY = 5, kIconSide = 60,
    kTitleX = 88, kTitleY = 9, kSubtitleX = 90, kSubtitleY = 45,
    kTabStripX = 12, kTabStripY = 92, kTabStripWidth = 392, kTabStripHeight = 28,
};

void FillBand(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    RECT band = {left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &band, brush);
    DeleteObject(brush);
}

void CreateTabStrip(HWND window) {
    HWND strip = CreateChildControl(window, kTabStripClass, L"", WS_CLIPSIBLINGS | WS_TABSTOP,
                                    kTabStripX, kTabStripY, kTabStripWidth, kTabStripHeight,
                                    kIdTabStrip);
    int index = 0;
    for (const TabRow& tab : kTabs) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = (LPWSTR)tab.text;
        SendMessageW(strip, TCM_INSERTITEMW, index++, (LPARAM)&item);
    }
}

bool HighContrastOn() {
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof(contrast);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// A text's colour as shown: the system's own under high contrast, where the
// player's scheme decides what can be read, and otherwise the fixed one.
COLORREF ShownTextColour(uint32_t fixed, ContrastColour contrast) {
    return g_settings.highContrast ? GetSysColor(kContrastSystemColours[contrast]) : fixed;
}

LRESULT OnCreate(HWND window) {
    g_settingsWindow = window;
    g_settings.highContrast = HighContrastOn();
    g_settings.gameStatus = kGameAway;  // until the next tick writes the label
    g_settings.closedByPlayer = false;
    g_settings.creationTag = kTagAlways;
    CreateTabStrip(window);
    CreateRightColumn(window);
    for (const TabRow& tab : kTabs) {
        g_settings.creationTag = tab.tag;
        tab.create(window);
    }
    g_settings.creationTag = 0;
    FillSavedList(nullptr);
    PushStateToControls();
    ShowOptionBoxes();
    ShowHotkeyTexts();
    ShowCrosshairValues();
    ShowServerLabel();
    SelectTab(0);
    return 0;
}

void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    PaintSettingsWindow(dc, &client);
    EndPaint(window, &paint);
}

// Check boxes and trackbars come through here too; they keep the default text colour.
LRESULT OnCtlColorStatic(HDC dc, HWND control) {
    SetBkMode(dc, TRANSPARENT);
    uint32_t colour = 0;
    ContrastColour contrast = kContrastWindowText;
    if (StaticTextColour(GetDlgCtrlID(control), g_settings.gameStatus, g_settings.statusKind,
                         g_settings.hotkeyTaken, &colour, &contrast)) {
        SetTextColor(dc, ShownTextColour(colour, contrast));
    }
    return (LRESULT)GetSysColorBrush(COLOR_BTNFACE);
}

BOOL CALLBACK ForwardColourChange(HWND control, LPARAM) {
    SendMessageW(control, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

// High contrast switched on or off, or the scheme's colours changed: the
// common controls hear of it only from their parent, and every text is drawn
// again in the colours that now apply.
void OnColoursChanged(HWND window, UINT message, WPARAM wParam) {
    if (message == WM_SETTINGCHANGE && wParam != SPI_SETHIGHCONTRAST) return;
    g_settings.highContrast = HighContrastOn();
    if (message == WM_SYSCOLORCHANGE) EnumChildWindows(window, ForwardColourChange, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void DeleteSwatchBrush() {
    if (g_settings.swatchBrush) DeleteObject(g_settings.swatchBrush);
    g_settings.swatchBrush = nullptr;
}

LRESULT OnDrawItem(HWND window, WPARAM wParam, LPARAM lParam) {
    const DRAWITEMSTRUCT* item = (const DRAWITEMSTRUCT*)lParam;
    if (item->CtlID != (UINT)kIdColourSwatch) {
        return DefWindowProcW(window, WM_DRAWITEM, wParam, lParam);
    }
    DeleteSwatchBrush();
    g_settings.swatchBrush =
        CreateSolidBrush(RGB(g_crosshair.red, g_crosshair.green, g_crosshair.blue));
    FillRect(item->hDC, &item->rcItem, g_settings.swatchBrush);
    FrameRect(item->hDC, &item->rcItem, (HBRUSH)GetStockObject(BLACK_BRUSH));
    return TRUE;
}

LRESULT OnNotify(const NMHDR* header) {
    if (header->idFrom == (UINT_PTR)kIdTabStrip && header->code == (UINT)TCN_SELCHANGE) {
        SelectTab((int)SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0));
    }
    if (header->idFrom == (UINT_PTR)kIdCopyCode && header->code == (UINT)BCN_DROPDOWN) {
        ShowCopyMenu(header->hwndFrom);
    }
    return 0;
}

void OnListNotification(int code) {
    if (code == LBN_SELCHANGE || code == LBN_DBLCLK) ApplyListEntry();
}

void OnImportBoxNotification(int code) {
    if (code == EN_CHANGE) ApplyImportBox();
}

void OnHotkeyNotification(HWND control, int code) {
    if (code == EN_CHANGE) TakeHotkeyFromControl(control);
}

void OnSwitchHotkeyNotification(HWND control, int code) {
    if (code == EN_CHANGE) TakeSwitchHotkeyFromControl(control);
}

void CloseSettingsWindow(HWND window, bool byPlayer) {
    g_settings.closedByPlayer = byPlayer;
    DestroyWindow(window);
}

// Esc in the multi-line import box arrives as the WM_CLOSE the box posts
// while the key is down; any other WM_CLOSE comes from another program.
bool EscapeHeld() { return GetKeyState(VK_ESCAPE) < 0; }

// Check boxes act on every notification; lists and edit boxes test theirs.
LRESULT OnCommand(WPARAM wParam, LPARAM lParam) {
    if (g_settings.suppressCommands) return 0;
    int code = HIWORD(wParam);
    switch (LOWORD(wParam)) {
    case kIdCheckOutline: OnOutlineClicked(); break;
    case kIdCheckDot: OnDotClicked(); break;
    case kIdCheckTStyle: OnTStyleClicked(); break;
    case kIdColourList: OnColourListChanged(code); break;
    case kIdColourChoose: ChooseCustomColour(); break;
    case kIdRestoreDefault: RestoreDefaultCrosshair(); break;
    case kIdCopyCode: ExportCrosshairCode(); break;
    case kIdCopyShareCode: CopyShareCode(); break;
    case kIdImportBox: OnImportBoxNotification(code); break;
    case kIdSavedList: OnListNotification(code); break;
    case kIdSaveButton: SaveImportedCrosshair(); break;
    case kIdDeleteButton: DeleteSavedCrosshair(); break;
    case kIdHotkeyControl: OnHotkeyNotification((HWND)lParam, code); break;
    case kIdSwitchHotkey: OnSwitchHotkeyNotification((HWND)lParam, code); break;
    case kIdCheckAutostart: OnAutostartClicked(); break;
    case kIdOpenFolder: OpenSettingsFolder(); break;
    case kIdResetAll: ResetAllSettings(); break;
    case kIdChooseImage: ChooseImageByDialog(); break;
    case kIdUseDrawn: UseDrawnCrosshair(); break;
    case IDCANCEL: CloseSettingsWindow(g_settingsWindow, true); break;  // Esc
    default: OnOptionBoxClicked(LOWORD(wParam)); break;
    }
    return 0;
}

// Only the player's own close is told where the program went: a close sent by
// another program (taskkill, Restart Manager) comes just before the end.
void ShowTrayNoticeOnce() {
    if (g_settings.trayNoticeShown || g_app.quitting || !g_settings.closedByPlayer) return;
    wchar_t hotkey[kHotkeyTextChars];
    FormatHotkeyText(hotkey, kHotkeyTextChars);
    wchar_t text[kClosingNoticeChars];
    FormatClosingNotice(hotkey, text, kClosingNoticeChars);
    g_settings.trayNoticeShown = true;
    if (g_frontEnd.showBalloon) g_frontEnd.showBalloon(kClosingNoticeTitle, text, false);
}

LRESULT OnDestroy() {
    g_settingsWindow = nullptr;
    DeleteSwatchBrush();
    // With no window the tick also forgets the game status it last wrote.
    VisibilityTick();
    ShowTrayNoticeOnce();
    return 0;
}

BOOL CALLBACK ApplyPageRule(HWND control, LPARAM) {
    LONG_PTR tag = GetWindowLongPtrW(control, GWLP_USERDATA);
    // Inner windows of common controls are not ours, whatever their user data holds.
    if (tag <= 0 || GetParent(control) != g_settingsWindow) return TRUE;
    bool visible = tag == kTagAlways || tag == kTabs[g_settings.currentTab].tag;
    ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
    return TRUE;
}

}  // namespace

void PaintSettingsWindow(HDC dc, const RECT* client) {
    int bandBottom = DpiScale(kHeaderBottom) - DpiScale(kHeaderGap);
    FillBand(dc, 0, 0, client->right, bandBottom, kColourHeaderBand);
    FillBand(dc, 0, DpiScale(kHeaderBottom) - DpiScale(kAccentHeight), client->right, bandBottom,
             kColourAccent);
    DrawIconEx(dc, DpiScale(kIconX), DpiScale(kIconY), g_app.largeIcon, DpiScale(kIconSide),
               DpiScale(kIconSide), 0, nullptr, DI_NORMAL);

    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, g_app.titleFont);
    SetTextColor(dc, kColourTitle);
    const wchar_t* rest = wcschr(kTitle, L' ');
    int firstLength = rest ? (int)(rest - kTitle) + 1 : (int)wcslen(kTitle);
    TextOutW(dc, DpiScale(kTitleX), DpiScale(kTitleY), kTitle, firstLength);
    SIZE firstSize = {0, 0};
    GetTextExtentPoint32W(dc, kTitle, firstLength, &firstSize);
    SetTextColor(dc, kColourAccent);
    TextOutW(dc, DpiScale(kTitleX) + firstSize.cx, DpiScale(kTitleY), kTitle + firstLength,
             (int)wcslen(kTitle + firstLength));

    SelectObject(dc, g_app.subtitleFont);
    SetTextColor(dc, kColourSubtitle);
    TextOutW(dc, DpiScale(kSubtitleX), DpiScale(kSubtitleY), kSubtitle, (int)wcslen(kSubtitle));
    SelectObject(dc, oldFont);

    PaintPreview(dc);
}

HWND CreateChildControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                        int x, int y, int width, int height, int id) {
    HWND control = CreateWindowExW(0, className, text, style | WS_CHILD | WS_VISIBLE, DpiScale(x),
                                   DpiScale(y), DpiScale(width), DpiScale(height), parent,
                                   (HMENU)(INT_PTR)id, g_app.instance, nullptr);
    SendMessageW(control, WM_SETFONT, (WPARAM)g_app.controlFont, TRUE);
    SetWindowLongPtrW(control, GWLP_USERDATA, g_settings.creationTag);
    return control;
}

void CreateControlRows(HWND parent, const ControlRow* rows, int count) {
    for (int i = 0; i < count; ++i) {
        const ControlRow& row = rows[i];
        CreateChildControl(parent, row.className, row.text, row.style, row.x, row.y, row.width,
                           row.height, row.id);
    }
}

HWND CreateSliderRow(HWND parent, const wchar_t* caption, int y, int trackbarId, int labelId,
                     int minimum, int maximum, bool checkBox) {
    enum {
        kCaptionX = 24, kCaptionWidth = 100, kCaptionHeight = 20, kCheckDown = 2, kTextDown = 4,
        kTrackX = 124, kTrackWidth = 186, kTrackHeight = 26,
        kLabelX = 314, kLabelWidth = 60, kLabelHeight = 20, kPageSize = 1,
    };
    if (checkBox) {
        CreateChildControl(parent, L"BUTTON", caption, BS_AUTOCHECKBOX | WS_TABSTOP, kCaptionX,
                           y + kCheckDown, kCaptionWidth, kCaptionHeight, kIdCheckOutline);
    } else {
        CreateChildControl(parent, L"STATIC", caption, 0, kCaptionX, y + kTextDown, kCaptionWidth,
                           kCaptionHeight, kIdUnnamed);
    }
    HWND trackbar = CreateChildControl(parent, TRACKBAR_CLASSW, L"", TBS_NOTICKS | WS_TABSTOP,
                                       kTrackX, y, kTrackWidth, kTrackHeight, trackbarId);
    SendMessageW(trackbar, TBM_SETRANGEMIN, FALSE, minimum);
    SendMessageW(trackbar, TBM_SETRANGEMAX, TRUE, maximum);
    SendMessageW(trackbar, TBM_SETPAGESIZE, 0, kPageSize);
    // Wine's trackbar keeps the thumb where the default 0..100 range put it until
    // the position changes; starting at the minimum makes the first real
    // position move it. On Windows it only sets a position that is replaced anyway.
    SendMessageW(trackbar, TBM_SETPOS, TRUE, minimum);
    return CreateChildControl(parent, L"STATIC", L"", SS_RIGHT, kLabelX, y + kTextDown,
                              kLabelWidth, kLabelHeight, labelId);
}

void SelectTab(int index) {
    HWND window = g_settingsWindow;
    if (!window || index < 0 || index >= (int)(sizeof(kTabs) / sizeof(kTabs[0]))) return;
    g_settings.currentTab = index;
    EnumChildWindows(window, ApplyPageRule, 0);
    SendToControl(kIdTabStrip, TCM_SETCURSEL, index, 0);
}

void InvalidatePreview() {
    if (!g_settingsWindow) return;
    RECT preview = {DpiScale(kPreviewX), DpiScale(kPreviewY), DpiScale(kPreviewX + kPreviewSide),
                    DpiScale(kPreviewY + kPreviewSide)};
    // A display change asks from the per-monitor message window; the
    // rectangle is in the system-aware window's own units.
    DPI_AWARENESS_CONTEXT previous = EnterWindowDpiContext(g_settingsWindow);
    InvalidateRect(g_settingsWindow, &preview, FALSE);
    LeaveDpiContext(previous);
}

HWND SettingsControl(int id) {
    return g_settingsWindow ? GetDlgItem(g_settingsWindow, id) : nullptr;
}

bool IsControlChecked(int id) {
    return SendToControl(id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetControlChecked(int id, bool checked) {
    SendToControl(id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void EnableControl(int id, bool enabled) {
    HWND control = SettingsControl(id);
    if (!control || (IsWindowEnabled(control) != FALSE) == enabled) return;
    if (!enabled && GetFocus() == control)
        SetFocus(GetNextDlgTabItem(g_settingsWindow, control, FALSE));
    EnableWindow(control, enabled ? TRUE : FALSE);
}

LRESULT SendToControl(int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = SettingsControl(id);
    return control ? SendMessageW(control, message, wParam, lParam) : 0;
}

int SettingsMessageBox(const wchar_t* text, UINT style) {
    return MessageBoxW(g_settingsWindow, text, ZAVIK_TITLE, style);
}

// No modifier, or Shift alone, is no hotkey: the control adds Ctrl to such an entry.
void SetHotkeyRules(HWND control) {
    SendMessageW(control, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL, 0));
}

void RefuseHotkey(HWND control, uint32_t ownValue, const wchar_t* why) {
    // Before the box: the control must not show keys that were never taken.
    g_settings.suppressCommands = true;
    SendMessageW(control, HKM_SETHOTKEY, ownValue, 0);
    g_settings.suppressCommands = false;
    SettingsMessageBox(why, MB_OK | MB_ICONWARNING);
}

LRESULT CALLBACK SettingsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_PAINT: OnPaint(window); return 0;
    case WM_CTLCOLORSTATIC: return OnCtlColorStatic((HDC)wParam, (HWND)lParam);
    case WM_DRAWITEM: return OnDrawItem(window, wParam, lParam);
    case WM_NOTIFY: return OnNotify((const NMHDR*)lParam);
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case WM_HSCROLL: OnSliderMoved((HWND)lParam, LOWORD(wParam)); return 0;
    case WM_DROPFILES: TakeDroppedFiles((HDROP)wParam); return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE: OnColoursChanged(window, message, wParam); break;
    case WM_SYSCOMMAND:
        if (!IsCloseCommand(wParam)) break;
        CloseSettingsWindow(window, true);  // the caption's button or Alt+F4
        return 0;
    case WM_CLOSE: CloseSettingsWindow(window, EscapeHeld()); return 0;
    case WM_DESTROY: return OnDestroy();
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
