// The " Configurações " tab: when the crosshair shows, the toggle hotkey, start
// with Windows, the settings folder and the reset of everything.
#include "ui/settings_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include "state/hotkey.h"
#include "ui/window_text.h"
#include "base/wtext.h"

namespace {

const wchar_t kOpenVerb[] = L"open";
const wchar_t kHotkeyNoteText[] = L"Clique e aperte as teclas. Funciona com o FiveM na frente.";

const ControlRow kOptionsTab[] = {
    {L"STATIC", L"QUANDO MOSTRAR A MIRA", 0, 24, 134, 368, 18, kIdHeading},
    // One line of note, so that the four check boxes fit above the next heading.
    {L"STATIC", L"Automático: (APENAS NA RESOLUÇÃO FULL SCREEN)", 0, 24, 156, 368, 20, kIdNoteAuto},
    {L"BUTTON", L"Mostrar a mira também fora do jogo", BS_AUTOCHECKBOX | WS_TABSTOP, 24, 180, 368,
     20, kIdCheckOutsideGame},
    {L"BUTTON", L"Só enquanto estiver mirando (botão direito segurado)",
     BS_AUTOCHECKBOX | WS_TABSTOP, 24, 204, 368, 20, kIdCheckAimOnly},
    // Its text is the longest: the box reaches to the right column, so that
    // fonts wider than Segoe UI (Wine's stand-ins) still show it whole.
    {L"BUTTON", L"Esconder quando o jogo mostrar o cursor (menus, celular)",
     BS_AUTOCHECKBOX | WS_TABSTOP, 24, 228, 384, 20, kIdCheckHideWithCursor},
    {L"BUTTON", L"Lembrar a mira de cada servidor do FiveM", BS_AUTOCHECKBOX | WS_TABSTOP, 24,
     252, 368, 20, kIdCheckPerServer},
    {L"STATIC", L"ATALHO PARA LIGAR / DESLIGAR A MIRA", 0, 24, 278, 368, 18, kIdHeading},
    {HOTKEY_CLASSW, L"", WS_BORDER | WS_TABSTOP, 24, 298, 160, 24, kIdHotkeyControl},
    {L"STATIC", kHotkeyNoteText, 0, 192, 294, 200, 34, kIdNoteHotkey},
    {L"STATIC", L"SISTEMA", 0, 24, 336, 368, 18, kIdHeading},
    {L"BUTTON", L"Iniciar junto com o Windows", BS_AUTOCHECKBOX | WS_TABSTOP, 24, 356, 368, 20,
     kIdCheckAutostart},
    {L"BUTTON", L"Abrir pasta das configurações", WS_TABSTOP, 24, 382, 196, 28, kIdOpenFolder},
    {L"BUTTON", L"Redefinir tudo", WS_TABSTOP, 226, 382, 120, 28, kIdResetAll},
    {L"STATIC",
     L"Tudo é salvo na hora. A mira não mexe nos arquivos nem na memória do jogo.", 0, 24, 424,
     568, 18, kIdFooter},
};

}  // namespace

void CreateOptionsTab(HWND window) {
    for (const ControlRow& row : kOptionsTab) {
        HWND control = CreateChildControl(window, row.className, row.text, row.style, row.x, row.y,
                                          row.width, row.height, row.id);
        if (row.id == kIdHotkeyControl) SetHotkeyRules(control);
    }
}

bool OnOptionBoxClicked(int id) {
    for (const OptionRow& row : kOptionRows) {
        if (row.checkBox != id || id == kIdUnnamed) continue;
        ChangeOption(row.id, OptionValueOfBox(row, IsControlChecked(id)));
        return true;
    }
    return false;
}

// The Run value is the only store of this option; config.ini is not written.
// The box then shows what Windows holds, so a refused write is no false tick.
void OnAutostartClicked() {
    SetStartWithWindows(IsControlChecked(kIdCheckAutostart));
    ReadStartWithWindows();
}

void TakeHotkeyFromControl(HWND hotkeyControl) {
    uint32_t value = (uint32_t)SendMessageW(hotkeyControl, HKM_GETHOTKEY, 0, 0);
    HotkeyCombo combo = {0, 0};
    if (!HotkeyFromControlValue(value, &combo.key, &combo.modifiers)) return;
    // These keys already switch crosshairs, and the box says so.
    HotkeyCombo forward = {g_options.switchKey, g_options.switchModifiers};
    if (HotkeyClashes(combo, forward)) {
        uint32_t own = HotkeyControlValue(g_options.hotkeyKey, g_options.hotkeyModifiers);
        RefuseHotkey(hotkeyControl, own, kSameAsSwitchText);
        return;
    }
    // The old combination stops at once; the next tick with the game in
    // front registers the new one.
    ChangeHotkey(combo.key, combo.modifiers);
}

void ShowHotkeyNote() {
    HWND note = SettingsControl(kIdNoteHotkey);
    if (!note) return;
    wchar_t hotkey[kHotkeyTextChars];
    wchar_t text[kHotkeyNoteChars];
    g_settings.hotkeyTaken = FormatTakenHotkeyText(hotkey, kHotkeyTextChars);
    if (g_settings.hotkeyTaken) {
        FormatHotkeyTakenNote(hotkey, text, kHotkeyNoteChars);
    } else {
        CopyW(text, kHotkeyNoteChars, kHotkeyNoteText);
    }
    SetWindowTextW(note, text);
    // The colour changes with the text, so the whole note is drawn again.
    InvalidateRect(note, nullptr, TRUE);
}

void OpenSettingsFolder() {
    ShellExecuteW(g_settingsWindow, kOpenVerb, g_paths.folder, nullptr, nullptr,
                  SW_SHOWNORMAL);
}

// Leaves start with Windows, the saved crosshairs, the list selection and the boxes alone.
void ResetAllSettings() {
    if (SettingsMessageBox(kResetQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    ResetEverything();
}
