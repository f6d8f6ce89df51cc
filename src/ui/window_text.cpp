// The settings window's own texts and the status line's colours.
#include "ui/window_text.h"

#include "base/colour.h"
#include "base/wtext.h"

const wchar_t kSaveCaption[] = ZAVIK_SAVE_CAPTION;
const wchar_t kStatusHintText[] =
    L"Cole o código acima, dê um nome e clique em " ZAVIK_SAVE_CAPTION L".";
const wchar_t kStatusImportOkText[] =
    L"✔ Mira lida e aplicada! Dê um nome e clique em " ZAVIK_SAVE_CAPTION L".";
const wchar_t kStatusSaveFailedText[] =
    L"✖ Não consegui salvar a mira: o arquivo miras.ini não pôde ser gravado.";
const wchar_t kStatusDeleteFailedText[] =
    L"✖ Não consegui excluir a mira: o arquivo miras.ini não pôde ser gravado.";
const wchar_t kAskReplaceFormat[] = L"Já existe uma mira chamada \"%ls\".\nQuer substituir?";
const wchar_t kDeleteNoneText[] = L"Selecione na lista a mira que quer excluir.";
const wchar_t kDeleteBuiltinText[] =
    L"As miras padrão do aplicativo (com estrela) não podem ser excluídas.";
const wchar_t kAskDeleteFormat[] = L"Excluir a mira \"%ls\"?";
const wchar_t kResetQuestion[] =
    L"Voltar a mira e todas as configurações para o padrão?\n\n"
    L"Suas miras salvas NÃO serão apagadas.";
const wchar_t kSwitchHotkeyCaption[] = L"Trocar de mira:";
const wchar_t kSameAsToggleText[] = L"Esse atalho já liga e desliga a mira. Escolha outro.";
const wchar_t kSameAsSwitchText[] = L"Esse atalho já troca de mira. Escolha outro.";

namespace {
const wchar_t kStatusImportNoneText[] = L"✖ Não achei nenhum comando de mira nesse texto.";
const wchar_t kStatusCodeDamagedText[] =
    L"✖ Esse código de mira não pôde ser lido: confira se copiou o código inteiro.";

// By SaveNote.
const wchar_t* const kSaveNoteTexts[] = {
    L"✔ Mira salva na lista!",
    L"✖ Cole o código da mira e dê um nome para salvar.",
    L"✖ Cole um código de mira válido na caixa acima.",
    L"✖ Dê um nome para a mira.",
    kStatusCodeDamagedText,
};

// By StatusKind.
const uint32_t kStatusColours[] = {
    Rgb(110, 110, 110),  // kStatusHint
    Rgb(0, 130, 60),     // kStatusSuccess
    Rgb(190, 30, 30),    // kStatusError
};

const wchar_t kEnabledCaptionFormat[] = ZAVIK_ENABLED_CAPTION L"  (%ls)";
const wchar_t kHotkeyTakenNoteFormat[] = L"Outro programa já usa %ls. Escolha outro atalho.";
}  // namespace

const wchar_t* SaveNoteText(SaveNote note) {
    size_t index = (size_t)note;
    return index < sizeof kSaveNoteTexts / sizeof kSaveNoteTexts[0] ? kSaveNoteTexts[index]
                                                                    : kSaveNoteTexts[0];
}

const wchar_t* ImportFailureText(bool unreadableCode) {
    return unreadableCode ? kStatusCodeDamagedText : kStatusImportNoneText;
}

uint32_t StatusKindColour(int kind) {
    if (kind < kStatusHint || kind > kStatusError) kind = kStatusHint;
    return kStatusColours[kind];
}

void FormatEnabledCaption(const wchar_t* hotkeyText, wchar_t* buf, size_t count) {
    FormatW(buf, count, kEnabledCaptionFormat, hotkeyText);
}

void FormatHotkeyTakenNote(const wchar_t* hotkeyText, wchar_t* buf, size_t count) {
    FormatW(buf, count, kHotkeyTakenNoteFormat, hotkeyText);
}
