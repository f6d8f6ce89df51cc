// The settings window's own texts: the status line of the saved-crosshairs
// tab, its questions, the hotkey controls' warnings and captions, and the
// status line's colours. Texts that name a control name it by its caption
// constant, so a caption is written once.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "state/tray_text.h"
#include "storage/store.h"

#define ZAVIK_SAVE_CAPTION L"Salvar mira"

enum {
    kQuestionChars = 160,
    kEnabledCaptionChars = 128,  // caption of check box 405
    kHotkeyNoteChars = 128,      // note 707 beside the toggle's control
};

extern const wchar_t kSaveCaption[];           // the saved-crosshairs tab's save button
extern const wchar_t kStatusHintText[];        // "Cole o código acima, ..."
extern const wchar_t kStatusImportOkText[];    // "✔ Mira lida e aplicada! ..."
extern const wchar_t kStatusSaveFailedText[];    // "✖ Não consegui salvar a mira: ..."
extern const wchar_t kStatusDeleteFailedText[];  // "✖ Não consegui excluir a mira: ..."
extern const wchar_t kAskReplaceFormat[];      // "Já existe uma mira chamada ..."
extern const wchar_t kDeleteNoneText[];
extern const wchar_t kDeleteBuiltinText[];
extern const wchar_t kAskDeleteFormat[];       // "Excluir a mira ..."
extern const wchar_t kResetQuestion[];         // "Voltar a mira e todas as configurações ..."
extern const wchar_t kSwitchHotkeyCaption[];   // "Trocar de mira:"
// The warning box of a hotkey control given the other hotkey's combination:
// in the switch's control (604), and in the toggle's (703).
extern const wchar_t kSameAsToggleText[];      // "Esse atalho já liga e desliga a mira. ..."
extern const wchar_t kSameAsSwitchText[];      // "Esse atalho já troca de mira. ..."

// The status line's text of a save decision's note.
const wchar_t* SaveNoteText(SaveNote note);
// The status of a paste into the import box that read nothing.
const wchar_t* ImportFailureText(bool unreadableCode);
// Colour of the status line for a status kind (any other kind draws as a hint).
uint32_t StatusKindColour(int kind);  // 0x00BBGGRR like COLORREF

// "Mira ligada  (<hotkey>)"
void FormatEnabledCaption(const wchar_t* hotkeyText, wchar_t* buf, size_t count);
// Note 707 while RegisterHotKey fails for a combination: "Outro programa já
// usa <hotkey>. Escolha outro atalho."
void FormatHotkeyTakenNote(const wchar_t* hotkeyText, wchar_t* buf, size_t count);
