// Texts of the tray icon and its notices.
#include "state/tray_text.h"

#include "state/identity.h"
#include "base/wtext.h"

const wchar_t kOpenSettingsMenuText[] = L"Abrir o " ZAVIK_TITLE L"...";
const wchar_t kQuitMenuText[] = L"Sair";
const wchar_t kFullscreenNoticeTitle[] = ZAVIK_TITLE L" - Tela cheia exclusiva";
const wchar_t kFullscreenNoticeText[] =
    L"Nesse modo o Windows não deixa nada aparecer por cima do jogo. No FiveM use Tela cheia "
    L"sem bordas (Borderless) para ver a mira.";
const wchar_t kClosingNoticeTitle[] = ZAVIK_TITLE;

namespace {
const wchar_t kTrayTipFormat[] = L"%ls - %ls liga/desliga";
const wchar_t kToggleMenuItemFormat[] = ZAVIK_ENABLED_CAPTION L"\t%ls";
const wchar_t kClosingNoticeFormat[] = L"Continua rodando aqui na bandeja. %ls liga/desliga a mira.";
const wchar_t kHotkeyTakenTipFormat[] = L"%ls - %ls em uso por outro programa";
}  // namespace

void FormatTrayTipText(const wchar_t* hotkeyText, wchar_t* buf, size_t count) {
    FormatW(buf, count, kTrayTipFormat, ZAVIK_TITLE, hotkeyText);
}


void FormatToggleMenuItem(const wchar_t* hotkeyText, wchar_t* buf, size_t count) {
    FormatW(buf, count, kToggleMenuItemFormat, hotkeyText);
}

void FormatClosingNotice(const wchar_t* hotkeyText, wchar_t* buf, size_t count) {
    FormatW(buf, count, kClosingNoticeFormat, hotkeyText);
}

void CutBalloonTitle(const wchar_t* title, wchar_t (&field)[kBalloonTitleChars]) {
    CopyW(field, kBalloonTitleChars, title);
}

void CutBalloonText(const wchar_t* text, wchar_t (&field)[kBalloonTextChars]) {
    CopyW(field, kBalloonTextChars, text);
}


void FormatHotkeyTakenTip(const wchar_t* hotkeyText, wchar_t* buf, size_t count) {
    FormatW(buf, count, kHotkeyTakenTipFormat, ZAVIK_TITLE, hotkeyText);
}
