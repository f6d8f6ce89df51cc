// Tray texts: tip, menu item, check-box caption, closing notice and the cuts
// of the balloon fields.
#include <gtest/gtest.h>

#include <wchar.h>

#include <string>

#include "state/identity.h"
#include "state/tray_text.h"
#include "ui/window_text.h"

namespace {

const wchar_t kCtrlShiftF5[] = L"Ctrl + Shift + F5";

typedef void (*TextFormatter)(const wchar_t*, wchar_t*, size_t);

struct FormatRow {
    const char* name;
    TextFormatter format;
    size_t count;
    const wchar_t* hotkey;
    const wchar_t* expected;
};

const FormatRow kFormatRows[] = {
    {"tray tip", FormatTrayTipText, kTrayTipChars, kCtrlShiftF5,
     ZAVIK_TITLE L" - Ctrl + Shift + F5 liga/desliga"},
    {"tray tip, default hotkey", FormatTrayTipText, kTrayTipChars, L"Ctrl + O",
     ZAVIK_TITLE L" - Ctrl + O liga/desliga"},
    {"enabled caption, two blanks", FormatEnabledCaption, kEnabledCaptionChars, kCtrlShiftF5,
     L"Mira ligada  (Ctrl + Shift + F5)"},
    {"menu item with accelerator column", FormatToggleMenuItem, kToggleMenuItemChars,
     kCtrlShiftF5, L"Mira ligada\tCtrl + Shift + F5"},
    {"closing notice", FormatClosingNotice, kClosingNoticeChars, L"Ctrl + O",
     L"Continua rodando aqui na bandeja. Ctrl + O liga/desliga a mira."},
};

TEST(TrayText, Formats) {
    for (const FormatRow& row : kFormatRows) {
        SCOPED_TRACE(row.name);
        wchar_t buf[256];
        wmemset(buf, L'#', 256);
        row.format(row.hotkey, buf, row.count);
        EXPECT_EQ(std::wstring(row.expected), std::wstring(buf));
    }
}

TEST(TrayText, LongestHotkeyTextStillFits) {
    std::wstring hotkey(63, L'k');  // FormatHotkeyText's longest result
    wchar_t buf[kToggleMenuItemChars];
    FormatToggleMenuItem(hotkey.c_str(), buf, kToggleMenuItemChars);
    EXPECT_EQ(L"Mira ligada\t" + hotkey, std::wstring(buf));
    wchar_t tip[kTrayTipChars];
    FormatTrayTipText(hotkey.c_str(), tip, kTrayTipChars);
    EXPECT_EQ(ZAVIK_TITLE L" - " + hotkey + L" liga/desliga", std::wstring(tip));
    FormatHotkeyTakenTip(hotkey.c_str(), tip, kTrayTipChars);
    EXPECT_EQ(ZAVIK_TITLE L" - " + hotkey + L" em uso por outro programa", std::wstring(tip));
    wchar_t note[kHotkeyNoteChars];
    FormatHotkeyTakenNote(hotkey.c_str(), note, kHotkeyNoteChars);
    EXPECT_EQ(L"Outro programa j\u00e1 usa " + hotkey + L". Escolha outro atalho.",
              std::wstring(note));
}

TEST(TrayText, TipIsCutTo127Characters) {
    std::wstring hotkey(200, L'k');
    wchar_t tip[kTrayTipChars];
    FormatTrayTipText(hotkey.c_str(), tip, kTrayTipChars);
    EXPECT_EQ(127u, wcslen(tip));
    const wchar_t start[] = ZAVIK_TITLE L" - kkk";
    EXPECT_EQ(0, wcsncmp(tip, start, wcslen(start)));
}

struct CutRow {
    const char* name;
    size_t length;
    size_t titleLength, textLength;
};

const CutRow kCutRows[] = {
    {"short", 10, 10, 10},
    {"title limit", 63, 63, 63},
    {"one over the title", 64, 63, 64},
    {"70 characters", 70, 63, 70},
    {"text limit", 255, 63, 255},
    {"300 characters", 300, 63, 255},
    {"empty", 0, 0, 0},
};

TEST(TrayText, BalloonFieldsAreCut) {
    for (const CutRow& row : kCutRows) {
        SCOPED_TRACE(row.name);
        std::wstring source;
        for (size_t i = 0; i < row.length; ++i) source += (wchar_t)(L'a' + i % 26);
        wchar_t title[kBalloonTitleChars];
        wchar_t text[kBalloonTextChars];
        wmemset(title, L'#', kBalloonTitleChars);
        wmemset(text, L'#', kBalloonTextChars);
        CutBalloonTitle(source.c_str(), title);
        CutBalloonText(source.c_str(), text);
        EXPECT_EQ(source.substr(0, row.titleLength), std::wstring(title));
        EXPECT_EQ(source.substr(0, row.textLength), std::wstring(text));
        // A cut field still ends in its terminator, in the record's last element.
        if (row.length >= kBalloonTitleChars - 1) {
            EXPECT_EQ(L'\0', title[kBalloonTitleChars - 1]);
        }
        if (row.length >= kBalloonTextChars - 1) {
            EXPECT_EQ(L'\0', text[kBalloonTextChars - 1]);
        }
    }
}


}  // namespace
