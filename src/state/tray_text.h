// Texts of the tray icon and its notices, built without Windows so that the
// cut and format rules can be tested: tip, menu item, balloon fields, the
// closing notice and a hotkey another program holds.
#pragma once
#include <stddef.h>

// The enabled box's caption and the tray menu item both begin with it.
#define ZAVIK_ENABLED_CAPTION L"Mira ligada"

enum {
    kTrayTipChars = 128,          // NOTIFYICONDATAW::szTip
    kToggleMenuItemChars = 96,    // tray menu item 100
    kBalloonTitleChars = 64,      // NOTIFYICONDATAW::szInfoTitle (63 + terminator)
    kBalloonTextChars = 256,      // NOTIFYICONDATAW::szInfo (255 + terminator)
    kClosingNoticeChars = 160,
};

extern const wchar_t kOpenSettingsMenuText[];   // "Abrir o Zavik Crosshair..."
extern const wchar_t kQuitMenuText[];           // "Sair"
extern const wchar_t kFullscreenNoticeTitle[];  // "Zavik Crosshair - Tela cheia exclusiva"
extern const wchar_t kFullscreenNoticeText[];   // "Nesse modo o Windows não deixa ..."
extern const wchar_t kClosingNoticeTitle[];     // "Zavik Crosshair"

// "Zavik Crosshair - <hotkey> liga/desliga"
void FormatTrayTipText(const wchar_t* hotkeyText, wchar_t* buf, size_t count);
// "Mira ligada\t<hotkey>": the hotkey goes to the menu's accelerator column.
void FormatToggleMenuItem(const wchar_t* hotkeyText, wchar_t* buf, size_t count);
// "Continua rodando aqui na bandeja. <hotkey> liga/desliga a mira."
void FormatClosingNotice(const wchar_t* hotkeyText, wchar_t* buf, size_t count);
// Copy a notice's title and text into the icon record's fields, cut to fit.
void CutBalloonTitle(const wchar_t* title, wchar_t (&field)[kBalloonTitleChars]);
void CutBalloonText(const wchar_t* text, wchar_t (&field)[kBalloonTextChars]);
// The tray tip meanwhile: "Zavik Crosshair - <hotkey> em uso por outro programa"
void FormatHotkeyTakenTip(const wchar_t* hotkeyText, wchar_t* buf, size_t count);
