// The " Miras salvas " tab: the list of built-in and saved crosshairs, the
// import box that tries a pasted code at once, and saving it under a name.
#include "ui/settings_win.h"

#include <commctrl.h>
#include <stdlib.h>

#include "base/wtext.h"
#include "codes/codes.h"
#include "state/hotkey.h"
#include "ui/window_text.h"
#include "storage/store.h"

namespace {

const wchar_t kNameCue[] = L"Nome da mira";

const ControlRow kSavedTab[] = {
    {L"STATIC", L"MIRAS SALVAS  (clique para usar)", 0, 24, 134, 278, 18, kIdHeading},
    {L"ListBox", L"", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 24,
     154, 368, 108, kIdSavedList},
    {L"BUTTON", L"Excluir mira", WS_TABSTOP, 292, 266, 100, 26, kIdDeleteButton},
    {L"STATIC", kSwitchHotkeyCaption, 0, 24, 270, 96, 20, kIdUnnamed},
    {HOTKEY_CLASSW, L"", WS_BORDER | WS_TABSTOP, 122, 267, 164, 24, kIdSwitchHotkey},
    {L"STATIC", L"IMPORTAR MIRA FIXA  (cole os comandos cl_crosshair...)", 0, 24, 300, 368, 18,
     kIdHeading},
    {L"Edit", L"",
     WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 24, 320,
     368, 56, kIdImportBox},
    {L"STATIC", kStatusHintText, 0, 24, 380, 368, 18, kIdStatusLine},
    {L"Edit", L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 24, 402, 268, 26, kIdNameBox},
    {L"BUTTON", kSaveCaption, WS_TABSTOP, 298, 401, 94, 28, kIdSaveButton},
};

// List lines of more than this many characters cannot be applied or deleted.
enum { kListLineChars = kListTextLimit + 1 };

void AddListLine(void* context, const wchar_t* text, int32_t itemData) {
    HWND list = (HWND)context;
    LRESULT index = SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)text);
    if (index >= 0) SendMessageW(list, LB_SETITEMDATA, index, (LPARAM)itemData);
}

// The selected line's item data and, unless it is too long to use, its text.
enum LineResult { kLineNone, kLineTooLong, kLineRead };
LineResult ReadSelectedLine(wchar_t* text, int32_t* itemData) {
    LRESULT index = SendToControl(kIdSavedList, LB_GETCURSEL, 0, 0);
    if (index < 0) return kLineNone;
    *itemData = (int32_t)SendToControl(kIdSavedList, LB_GETITEMDATA, index, 0);
    LRESULT length = SendToControl(kIdSavedList, LB_GETTEXTLEN, index, 0);
    if (length < 0 || length > kListTextLimit) return kLineTooLong;
    text[0] = 0;
    SendToControl(kIdSavedList, LB_GETTEXT, index, (LPARAM)text);
    text[kListTextLimit] = 0;
    return kLineRead;
}

// The list box compares whole lines without regard to case, accented letters
// included, as the INI functions compare section names.
void SelectLineNamed(HWND list, const wchar_t* name) {
    LRESULT line = SendMessageW(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)name);
    if (line != LB_ERR) SendMessageW(list, LB_SETCURSEL, (WPARAM)line, 0);
}

// The whole import box, allocated with malloc; null when empty or unreadable.
wchar_t* ReadImportBox() {
    HWND box = SettingsControl(kIdImportBox);
    int length = box ? GetWindowTextLengthW(box) : 0;
    if (length <= 0) return nullptr;
    wchar_t* text = (wchar_t*)malloc(sizeof(wchar_t) * ((size_t)length + 1));
    if (!text) return nullptr;
    text[0] = 0;
    GetWindowTextW(box, text, length + 1);
    return text;
}

void SetControlText(int id, const wchar_t* text) {
    HWND control = SettingsControl(id);
    if (control) SetWindowTextW(control, text);
}

void FocusControl(int id) {
    HWND control = SettingsControl(id);
    if (control) SetFocus(control);
}

// A built-in worn from the list leaves no name behind to save it under.
void EmptyNameBoxForBuiltin(int32_t itemData) {
    if (itemData >= 0 && itemData < kBuiltinPresetCount) SetControlText(kIdNameBox, L"");
}

}  // namespace

void CreateSavedTab(HWND window) {
    CreateControlRows(window, kSavedTab, sizeof(kSavedTab) / sizeof(kSavedTab[0]));
    SendToControl(kIdNameBox, EM_LIMITTEXT, kNameBoxLimit, 0);
    // Shown also while the box has the focus, which is when the user needs it.
    SendToControl(kIdNameBox, EM_SETCUEBANNER, TRUE, (LPARAM)kNameCue);
    SetHotkeyRules(SettingsControl(kIdSwitchHotkey));
    g_settings.statusKind = kStatusHint;
}

void FillSavedList(const wchar_t* name) {
    HWND list = SettingsControl(kIdSavedList);
    if (!list) return;
    // Drawn once when full: line by line, thousands of saved crosshairs
    // would freeze the window for seconds.
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    BuildSavedList(g_paths.miras, AddListLine, list);
    if (name) SelectLineNamed(list, name);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void ApplyListEntry() {
    wchar_t text[kListLineChars];
    int32_t itemData = kItemDataSaved;
    if (ReadSelectedLine(text, &itemData) != kLineRead) return;
    CrosshairSettings next = g_crosshair;
    if (!ApplyListLine(g_paths.miras, text, itemData, &next)) return;
    EmptyNameBoxForBuiltin(itemData);
    ChangeCrosshair(next, kCrosshairPicked);
}

void ShowSwitchedLine() {
    HWND list = SettingsControl(kIdSavedList);
    if (!list) return;
    const ListEntry& line = LastSwitchedLine();
    // Selecting from here sends no LBN_SELCHANGE: the line is not worn twice.
    SendMessageW(list, LB_SETCURSEL, (WPARAM)-1, 0);
    SelectLineNamed(list, line.text);
    EmptyNameBoxForBuiltin(line.itemData);
}

void TakeSwitchHotkeyFromControl(HWND hotkeyControl) {
    uint32_t value = (uint32_t)SendMessageW(hotkeyControl, HKM_GETHOTKEY, 0, 0);
    HotkeyCombo combo = {0, 0};
    if (!SwitchHotkeyFromControlValue(value, &combo)) return;
    // A lone modifier pressed in the box notifies with the keys it holds already.
    if (combo.key == g_options.switchKey && combo.modifiers == g_options.switchModifiers) return;
    HotkeyCombo toggle = {g_options.hotkeyKey, g_options.hotkeyModifiers};
    if (HotkeyClashes(combo, toggle)) {
        uint32_t own = HotkeyControlValue(g_options.switchKey, g_options.switchModifiers);
        RefuseHotkey(hotkeyControl, own, kSameAsToggleText);
        return;
    }
    ChangeSwitchHotkey(combo.key, combo.modifiers);
}

void SaveImportedCrosshair() {
    wchar_t name[kNameBoxChars] = {0};
    HWND nameBox = SettingsControl(kIdNameBox);
    if (nameBox) GetWindowTextW(nameBox, name, kNameBoxChars);
    ApplyNameRules(name);

    CrosshairSettings copy = g_crosshair;
    int count = 0;
    bool unreadableCode = false;
    wchar_t* code = ReadImportBox();
    if (code) {
        count = ParseCrosshairCode(code, &copy, &unreadableCode);
        free(code);
    }
    SaveDecision decision = DecideSave(name, count, unreadableCode, CrosshairUsesImage(copy));
    if (!decision.goOn) {
        SetStatusLine(decision.kind, SaveNoteText(decision.note));
        FocusControl(decision.focus == kFocusNameBox ? kIdNameBox : kIdImportBox);
        return;
    }
    bool replacing = SavedCrosshairExists(g_paths.miras, name);
    if (replacing) {
        wchar_t question[kQuestionChars];
        FormatW(question, kQuestionChars, kAskReplaceFormat, name);
        if (SettingsMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    }
    // The old crosshair of that name goes in the same step, so a failure keeps it.
    // On a failure the boxes keep what was typed, and the list, filled from the
    // file the failure left as it was, still shows what it holds (reading it
    // again could show less: a file held by another program cannot be read either).
    if (!SaveCrosshairToFile(g_paths.miras, name, copy, replacing)) {
        SetStatusLine(kStatusError, kStatusSaveFailedText);
        return;
    }
    SetControlText(kIdNameBox, L"");
    SetControlText(kIdImportBox, L"");
    FillSavedList(name);
    SetStatusLine(kStatusSuccess, SaveNoteText(kNoteSaved));
}

void DeleteSavedCrosshair() {
    wchar_t text[kListLineChars];
    int32_t itemData = kItemDataSaved;
    LineResult line = ReadSelectedLine(text, &itemData);
    if (line == kLineNone) {
        SettingsMessageBox(kDeleteNoneText, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (itemData >= 0) {
        SettingsMessageBox(kDeleteBuiltinText, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (line == kLineTooLong) return;
    wchar_t question[kQuestionChars];
    FormatW(question, kQuestionChars, kAskDeleteFormat, text);
    if (SettingsMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    if (!DeleteSavedSection(g_paths.miras, text)) {
        SetStatusLine(kStatusError, kStatusDeleteFailedText);
        return;
    }
    SetControlText(kIdNameBox, L"");
    FillSavedList(nullptr);
}

void ApplyImportBox() {
    HWND box = SettingsControl(kIdImportBox);
    if (!box) return;
    if (GetWindowTextLengthW(box) <= 0) {
        SetStatusLine(kStatusHint, kStatusHintText);
        return;
    }
    wchar_t* text = ReadImportBox();
    if (!text) return;
    CrosshairSettings copy = g_crosshair;
    bool unreadableCode = false;
    int count = ParseCrosshairCode(text, &copy, &unreadableCode);
    free(text);
    if (count == 0) {
        SetStatusLine(kStatusError, ImportFailureText(unreadableCode));
        return;
    }
    SendToControl(kIdSavedList, LB_SETCURSEL, (WPARAM)-1, 0);
    // What the player now sees is the crosshair they chose, as a whole.
    ChangeCrosshair(copy, kCrosshairPicked);
    SetStatusLine(kStatusSuccess, kStatusImportOkText);
}

void SetStatusLine(int kind, const wchar_t* text) {
    g_settings.statusKind = kind;
    HWND line = SettingsControl(kIdStatusLine);
    if (!line) return;
    SetWindowTextW(line, text);
    // The colour follows the kind, so the whole line is drawn again.
    InvalidateRect(line, nullptr, TRUE);
}
