// End-to-end cases of the " Configurações " tab: when the crosshair shows, the
// hotkey typed into the hotkey control, start with Windows (the Run value and
// Windows' switch record of it), "Redefinir tudo", and the keyboard's Tab order.
#include "settings_helpers.h"

#include <commctrl.h>

#include <algorithm>

#include "state/identity.h"
#include "base/ids.h"
#include "ui/window_text.h"

using namespace e2e;

namespace {

const wchar_t kTraySwitch[] = ZAVIK_TRAY_SWITCH;
const wchar_t kElsewhere[] = L"\"C:\\Antigo\\ZavikCrosshair.exe\" --bandeja";
enum { kOptionsTab = 2, kKeyK = 'K' };
// The stand-in game sets its cursor on this message: hidden, the arrow, no image.
const wchar_t kCursorMessage[] = L"ZavikFakeGameCursor";
enum { kCursorHidden = 0, kCursorArrow = 1, kCursorNoImage = 2 };
// 100 ms on Windows; Wine's timers and its trips to the X server get 150.
enum : DWORD { kCursorReactMs = 150 };
// Switch records as Task Manager leaves them: 02 on, 03 off, then a time stamp.
const std::string kOnRecord("\x02\0\0\0\x4D\x7A\x10\xB2\x9C\x4D\xDA\x01", 12);
const std::string kOffRecord("\x03\0\0\0\x4D\x7A\x10\xB2\x9C\x4D\xDA\x01", 12);
const std::string kOnRecordWritten = std::string("\x02", 1) + std::string(11, '\0');

std::wstring CurrentRunValue() {
    return L"\"" + ProgramPath() + L"\" " + kTraySwitch;
}

::testing::AssertionResult RunValueBecomes(const std::wstring& expected, DWORD ms) {
    std::wstring value;
    bool present = false;
    if (WaitFor([&] {
            present = ReadRunValue(&value);
            return present && _wcsicmp(value.c_str(), expected.c_str()) == 0;
        },
                ms))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the Run value is "
                                         << (present ? "\"" + Utf8(value) + "\"" : "missing")
                                         << ", expected \"" << Utf8(expected) << "\"";
}

::testing::AssertionResult RunValueDisappears(DWORD ms) {
    if (WaitFor([] { return !ReadRunValue(nullptr); }, ms)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the Run value is still there";
}

std::string SavedThree() {
    std::string text;
    const char* const names[] = {"Um", "Dois", "Tres"};
    for (const char* name : names) {
        text += std::string("[") + name +
                "]\ntamanho=1.000\nespacamento=0.000\nespessura=1.000\ncontorno=0\n"
                "espessura_contorno=1.000\nponto=0\nestilo_t=0\ncor_r=255\ncor_g=255\n"
                "cor_b=255\nopacidade=255\nposicao_x=0\nposicao_y=0\n";
    }
    return text;
}

// Where a check box's text begins: 12 horizontal dialog units of its font
// from its left edge by Microsoft's layout rules (the box and its gap), or the
// system's box (SM_CXMENUCHECK) and half a digit, as Wine draws it, if more.
int CheckBoxTextLeft(HDC dc) {
    const wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE alphabet = {};
    GetTextExtentPoint32W(dc, kAlphabet, 52, &alphabet);
    int byLayout = MulDiv(12, (alphabet.cx / 26 + 1) / 2, 4);  // 4 units an average letter
    int digit = 0;
    GetCharWidth32W(dc, L'0', L'0', &digit);
    return std::max(byLayout, GetSystemMetrics(SM_CXMENUCHECK) + digit / 2);
}

// The controls' font, made again in this process from the face and size the
// program gives them. The handle itself is of no use here: a font handle is
// private to the process that made it (Microsoft's "GDI Objects"), and Wine
// answers WM_GETFONT from another process with none at all.
HFONT ControlFontHere() {
    enum { kPointsPerInch = 72 };
    return CreateFontW(-MulDiv(kControlFontPoints, ScreenDpi(), kPointsPerInch), 0, 0, 0,
                       FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       ZAVIK_FONT_FACE);
}

// Every check box of the window holds its whole text, measured in the
// controls' font, beside its box and gap, with a pixel left for the focus frame.
void ExpectEveryCheckBoxTextFits(HWND window) {
    int boxes = 0;
    for (HWND box = GetWindow(window, GW_CHILD); box; box = GetWindow(box, GW_HWNDNEXT)) {
        if (_wcsicmp(ClassOf(box).c_str(), L"Button") != 0 ||
            (StyleOf(box) & BS_TYPEMASK) != BS_AUTOCHECKBOX)
            continue;
        ++boxes;
        const std::wstring text = TextOf(box);
        SCOPED_TRACE(Utf8(text));
        HFONT font = ControlFontHere();
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ oldFont = SelectObject(dc, font);
        SIZE extent = {};
        GetTextExtentPoint32W(dc, text.c_str(), (int)text.size(), &extent);
        int needed = CheckBoxTextLeft(dc) + extent.cx + 1;
        SelectObject(dc, oldFont);
        DeleteDC(dc);
        DeleteObject(font);
        RECT client = {};
        GetClientRect(box, &client);
        EXPECT_LE(needed, client.right) << "the text needs " << needed << " pixels";
    }
    EXPECT_GT(boxes, 0) << "no check box found";
}

class Options : public E2eCase {
protected:
    SettingsScene OpenOnOptionsTab(
        std::initializer_list<std::pair<const char*, const char*>> overrides = {}) {
        SettingsScene scene = OpenSettings(overrides);
        if (scene.window) {
            EXPECT_TRUE(ClickTab(scene.window, kOptionsTab));
        }
        window_ = scene.window;
        return scene;
    }

    HWND Ctl(int id) { return Control(window_, id); }

    // The options tab of a start over a Run value and Windows' switch record of it.
    SettingsScene OpenOverStartupEntry(const std::wstring& runValue, const std::string& record) {
        bool written = WriteRunValue(runValue) && WriteStartupRecord(record);
        EXPECT_TRUE(written) << "the registry values could not be written";
        return written ? OpenOnOptionsTab() : SettingsScene();
    }

    // Closes the settings window and opens it again as the tray menu does; the
    // window shows only after its controls were filled.
    bool Reopen(DWORD pid) {
        PostMessageW(window_, WM_CLOSE, 0, 0);
        if (!WaitFor([&] { return !IsWindow(window_); }, kReactMs)) return false;
        PostMessageW(FindMessageWindow(pid), WM_COMMAND, kCmdOpenSettings, 0);
        return WaitFor([&] { return IsWindowVisible(window_ = FindSettingsWindow(pid)); },
                       kReactMs);
    }

    // Focuses the hotkey control with a click, as the user would before typing.
    ::testing::AssertionResult FocusHotkeyControl() {
        ::testing::AssertionResult front = BringToFront(window_);
        if (!front) return front;
        ClickCentreOf(Ctl(kIdHotkeyControl));
        ::testing::AssertionResult focused =
            FocusBecomes(window_, Ctl(kIdHotkeyControl), kReactMs);
        ParkCursor();
        return focused;
    }

    HWND window_ = nullptr;
};

class Dpi144Options : public Options {};

TEST_F(Options, EveryCheckBoxShowsItsWholeText) {
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    ExpectEveryCheckBoxTextFits(scene.window);
}

TEST_F(Dpi144Options, EveryCheckBoxShowsItsWholeText) {
    ASSERT_EQ(144, ScreenDpi());
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    ExpectEveryCheckBoxTextFits(scene.window);
}

TEST_F(Options, OutsideGameBoxShowsTheCrosshairWithoutTheGame) {
    SettingsScene scene = OpenOnOptionsTab();
    ASSERT_TRUE(scene.window);
    HWND overlay = FindOverlay(scene.process.pid);
    ASSERT_TRUE(overlay);
    EXPECT_TRUE(CheckBecomes(Ctl(kIdCheckOutsideGame), false, 0));
    EXPECT_FALSE(IsWindowVisible(overlay));
    Click(Ctl(kIdCheckOutsideGame));
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "so_com_fivem", "0", kReactMs));
    EXPECT_TRUE(BecomesVisible(overlay, true, kReactMs));
    Click(Ctl(kIdCheckOutsideGame));
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "so_com_fivem", "1", kReactMs));
    EXPECT_TRUE(BecomesVisible(overlay, false, kReactMs));
}

TEST_F(Options, AimingBoxWritesItsOption) {
    SettingsScene scene = OpenOnOptionsTab();
    ASSERT_TRUE(scene.window);
    EXPECT_TRUE(CheckBecomes(Ctl(kIdCheckAimOnly), false, 0));
    Click(Ctl(kIdCheckAimOnly));
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "so_mirando", "1", kReactMs));
    Click(Ctl(kIdCheckAimOnly));
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "so_mirando", "0", kReactMs));
}

TEST_F(Options, CursorBoxHidesTheCrosshairWhileTheGameShowsItsCursor) {
    SettingsScene scene = OpenOnOptionsTab();
    ASSERT_TRUE(scene.window);
    HWND overlay = FindOverlay(scene.process.pid);
    Click(Ctl(kIdCheckHideWithCursor));
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "esconder_com_cursor", "1", kReactMs));
    GameScene game = StartGameBeside(scene.window);
    ASSERT_TRUE(game.window);
    const UINT cursor = RegisterWindowMessageW(kCursorMessage);
    SendTo(game.window, cursor, kCursorHidden, 0);
    ASSERT_TRUE(BecomesVisible(overlay, true, kReactMs));
    const std::pair<WPARAM, bool> steps[] = {
        {kCursorArrow, false}, {kCursorHidden, true}, {kCursorArrow, false}, {kCursorNoImage, true},
        {kCursorArrow, false}};
    for (const auto& step : steps) {
        SCOPED_TRACE("cursor state " + std::to_string(step.first));
        SendTo(game.window, cursor, step.first, 0);
        EXPECT_TRUE(BecomesVisible(overlay, step.second, kCursorReactMs));
    }
    // The click may take the foreground; the game gets it back, its arrow still shown.
    Click(Ctl(kIdCheckHideWithCursor));
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "esconder_com_cursor", "0", kReactMs));
    ASSERT_TRUE(BringToFront(game.window));
    EXPECT_TRUE(BecomesVisible(overlay, true, kReactMs)) << "hidden with the box clear";
}

TEST_F(Options, TypedKeyBecomesTheHotkeyAndTheOldOneStops) {
    SettingsScene scene = OpenOnOptionsTab();
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(FocusHotkeyControl());
    PressKeys({kKeyK});
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "atalho_tecla", "75", kReactMs));
    EXPECT_EQ("2", OpcoesValue("atalho_mod"));
    EXPECT_TRUE(TextBecomes(Ctl(kIdCheckEnabled), L"Mira ligada  (Ctrl + K)", kReactMs));

    GameScene game = StartGameBeside(scene.window);
    ASSERT_TRUE(game.window);
    PressKeys({VK_CONTROL, 'O'});
    PumpFor(kQuietMs);
    EXPECT_EQ("1", OpcoesValue("ligada")) << "the old combination still works";
    EXPECT_TRUE(CheckBecomes(Ctl(kIdCheckEnabled), true, 0));
    PressKeys({VK_CONTROL, kKeyK});
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "ligada", "0", kReactMs));
    EXPECT_TRUE(CheckBecomes(Ctl(kIdCheckEnabled), false, kReactMs));
}

// While another program holds the toggle's keys, the note beside its control
// says so in the warning colour, and goes back once the keys are free.
TEST_F(Options, HotkeyHeldByAnotherProgramIsToldInTheNote) {
    const wchar_t kUsualNote[] = L"Clique e aperte as teclas. Funciona com o FiveM na frente.";
    const COLORREF kWarningRed = RGB(190, 30, 30);
    ASSERT_TRUE(HoldTestHotkey(MOD_CONTROL, 'O'));
    SettingsScene scene = OpenOnOptionsTab();
    ASSERT_TRUE(scene.window);
    HWND note = Ctl(kIdNoteHotkey);
    EXPECT_TRUE(TextBecomes(note, kUsualNote, 0)) << "told before the game was in front";
    GameScene game = StartGameBeside(scene.window);
    ASSERT_TRUE(game.window);
    EXPECT_TRUE(
        TextBecomes(note, L"Outro programa já usa Ctrl + O. Escolha outro atalho.", kReactMs));
    EXPECT_TRUE(ShowsTextColour(note, kWarningRed, kReactMs));
    ReleaseTestHotkeys();
    EXPECT_TRUE(TextBecomes(note, kUsualNote, kReactMs));
}

TEST_F(Options, ControlValuesAreStoredWithCtrlOrAlt) {
    struct Row {
        const char* name;
        WORD controlValue;  // key code in the low byte, HOTKEYF_* flags above
        const char* key;
        const char* modifiers;
        const wchar_t* caption;
    };
    const Row rows[] = {
        {"Shift+K gets Ctrl", MAKEWORD('K', HOTKEYF_SHIFT), "75", "6",
         L"Mira ligada  (Ctrl + Shift + K)"},
        {"K alone gets Ctrl", MAKEWORD('K', 0), "75", "2", L"Mira ligada  (Ctrl + K)"},
        {"Alt+J stays without Ctrl", MAKEWORD('J', HOTKEYF_ALT), "74", "1",
         L"Mira ligada  (Alt + J)"},
        {"the extended flag is dropped", MAKEWORD(VK_INSERT, HOTKEYF_CONTROL | HOTKEYF_EXT), "45",
         "2", nullptr},
    };
    SettingsScene scene = OpenOnOptionsTab();
    ASSERT_TRUE(scene.window);
    HWND hotkey = Ctl(kIdHotkeyControl);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SendTo(hotkey, HKM_SETHOTKEY, row.controlValue, 0);
        SendTo(scene.window, WM_COMMAND, MAKEWPARAM(kIdHotkeyControl, EN_CHANGE), (LPARAM)hotkey);
        EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "atalho_tecla", row.key, kReactMs));
        EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "atalho_mod", row.modifiers, 0));
        if (row.caption) {
            EXPECT_TRUE(TextBecomes(Ctl(kIdCheckEnabled), row.caption, kReactMs));
        }
    }
}

TEST_F(Options, TypedShiftWithAKeyGetsCtrlAdded) {
    if (RunningUnderWine())
        GTEST_SKIP() << "Wine's hotkey control replaces an invalid combination by the rule's "
                        "modifiers (typed Shift+K reads Ctrl+K) where Windows adds them; the "
                        "program's conversion of Shift+K is covered by "
                        "ControlValuesAreStoredWithCtrlOrAlt";
    SettingsScene scene = OpenOnOptionsTab();
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(FocusHotkeyControl());
    PressKeys({VK_SHIFT, kKeyK});
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "atalho_mod", "6", kReactMs));
    EXPECT_EQ("75", OpcoesValue("atalho_tecla"));
    EXPECT_TRUE(TextBecomes(Ctl(kIdCheckEnabled), L"Mira ligada  (Ctrl + Shift + K)", kReactMs));
}

TEST_F(Options, LoneModifierChangesNothing) {
    SettingsScene scene = OpenOnOptionsTab();
    ASSERT_TRUE(scene.window);
    const std::string before = ReadSettingsBytes(L"config.ini");
    ASSERT_TRUE(FocusHotkeyControl());
    const WORD modifiers[] = {VK_CONTROL, VK_SHIFT};
    for (WORD key : modifiers) {
        SCOPED_TRACE("virtual key " + std::to_string(key));
        PressKeys({key});
        PumpFor(kQuietMs);
        EXPECT_EQ(before, ReadSettingsBytes(L"config.ini"));
        EXPECT_TRUE(TextBecomes(Ctl(kIdCheckEnabled), L"Mira ligada  (Ctrl + O)", 0));
    }
}

TEST_F(Options, StartWithWindowsBoxWritesAndDeletesTheRunValue) {
    SettingsScene scene = OpenOnOptionsTab();
    ASSERT_TRUE(scene.window);
    ASSERT_FALSE(ReadRunValue(nullptr));
    const std::string before = ReadSettingsBytes(L"config.ini");
    Click(Ctl(kIdCheckAutostart));
    EXPECT_TRUE(RunValueBecomes(CurrentRunValue(), kReactMs));
    EXPECT_FALSE(ReadStartupRecord(nullptr)) << "a switch record was made where none was";
    Click(Ctl(kIdCheckAutostart));
    EXPECT_TRUE(RunValueDisappears(kReactMs));
    PumpFor(kQuietMs);
    EXPECT_EQ(before, ReadSettingsBytes(L"config.ini")) << "config.ini was written";
}

TEST_F(Options, RunValuePointingElsewhereIsRewrittenAtStartUp) {
    ASSERT_TRUE(WriteRunValue(kElsewhere));
    SettingsScene scene = OpenOnOptionsTab();
    ASSERT_TRUE(scene.window);
    EXPECT_TRUE(RunValueBecomes(CurrentRunValue(), kReactMs));
    EXPECT_TRUE(CheckBecomes(Ctl(kIdCheckAutostart), true, 0));
}

TEST_F(Options, EntrySwitchedOffInWindowsStaysOffAtStartUp) {
    SettingsScene scene = OpenOverStartupEntry(kElsewhere, kOffRecord);
    ASSERT_TRUE(scene.window);
    EXPECT_TRUE(RunValueBecomes(CurrentRunValue(), kReactMs));
    EXPECT_TRUE(CheckBecomes(Ctl(kIdCheckAutostart), false, 0));
    std::string record;
    EXPECT_TRUE(ReadStartupRecord(&record) && record == kOffRecord) << "the entry was switched on";
}

TEST_F(Options, BoxFollowsASwitchInTaskManagerOnReopening) {
    SettingsScene scene = OpenOverStartupEntry(CurrentRunValue(), kOnRecord);
    ASSERT_TRUE(scene.window);
    EXPECT_TRUE(CheckBecomes(Ctl(kIdCheckAutostart), true, 0));
    ASSERT_TRUE(WriteStartupRecord(kOffRecord));  // switched off while the program runs
    ASSERT_TRUE(Reopen(scene.process.pid));
    EXPECT_TRUE(CheckBecomes(Ctl(kIdCheckAutostart), false, 0));
}

TEST_F(Options, TickingSwitchesOnAnEntrySwitchedOffInWindows) {
    SettingsScene scene = OpenOverStartupEntry(CurrentRunValue(), kOffRecord);
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(CheckBecomes(Ctl(kIdCheckAutostart), false, 0));
    Click(Ctl(kIdCheckAutostart));
    std::string record;
    EXPECT_TRUE(WaitFor([&] { return ReadStartupRecord(&record) && record == kOnRecordWritten; },
                        kReactMs))
        << "the switch record holds " << record.size() << " bytes";
    EXPECT_TRUE(RunValueBecomes(CurrentRunValue(), 0));
}

TEST_F(Options, ClearingDeletesTheRunValueAndWindowsSwitch) {
    const wchar_t kOtherEntry[] = L"Outro Programa";
    SettingsScene scene = OpenOverStartupEntry(CurrentRunValue(), kOnRecord);
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(CheckBecomes(Ctl(kIdCheckAutostart), true, 0));
    // Another program's record, which must stay; no assertion may end the case before it goes.
    WriteStartupRecord(kOffRecord, kOtherEntry);
    Click(Ctl(kIdCheckAutostart));
    EXPECT_TRUE(RunValueDisappears(kReactMs));
    EXPECT_TRUE(WaitFor([] { return !ReadStartupRecord(nullptr); }, kReactMs));
    std::string other;
    EXPECT_TRUE(ReadStartupRecord(&other, kOtherEntry) && other == kOffRecord);
    DeleteStartupRecord(kOtherEntry);
}

TEST_F(Options, ResetAllAnsweredNoChangesNothing) {
    SettingsScene scene = OpenOnOptionsTab({{"so_mirando", "1"}, {"tamanho", "4.000"}});
    ASSERT_TRUE(scene.window);
    const std::string before = ReadSettingsBytes(L"config.ini");
    PostClick(Ctl(kIdResetAll));
    HWND box = WaitForMessageBox(scene.process.pid, kReactMs);
    ASSERT_TRUE(box);
    EXPECT_TRUE(DefaultButtonIs(box, IDYES, kReactMs));
    ASSERT_TRUE(AnswerMessageBox(scene.process.pid, kResetQuestion, IDNO));
    PumpFor(kQuietMs);
    EXPECT_EQ(before, ReadSettingsBytes(L"config.ini"));
    EXPECT_TRUE(CheckBecomes(Ctl(kIdCheckAimOnly), true, 0));
}

TEST_F(Options, ResetAllAnsweredYesKeepsSavedCrosshairsAndTheRunValue) {
    ASSERT_TRUE(WriteSettingsText(L"miras.ini", SavedThree().c_str()));
    ASSERT_TRUE(WriteRunValue(CurrentRunValue()));
    SettingsScene scene = OpenOnOptionsTab({
        {"ligada", "0"}, {"so_com_fivem", "0"}, {"so_mirando", "1"}, {"atalho_tecla", "75"},
        {"atalho_mod", "6"}, {"monitor", "1"}, {"tamanho", "4.000"}, {"cor_g", "0"},
        {"posicao_x", "30"}, {"esconder_com_cursor", "1"},
    });
    ASSERT_TRUE(scene.window);
    const std::string miras = ReadSettingsBytes(L"miras.ini");
    PostClick(Ctl(kIdResetAll));
    ASSERT_TRUE(AnswerMessageBox(scene.process.pid, kResetQuestion, IDYES));
    const std::pair<const char*, const char*> options[] = {
        {"ligada", "1"}, {"so_com_fivem", "1"}, {"so_mirando", "0"},
        {"atalho_tecla", "79"}, {"atalho_mod", "2"}, {"monitor", "0"},
        {"esconder_com_cursor", "0"},
    };
    for (const auto& option : options) {
        EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", option.first, option.second,
                                    kReactMs));
    }
    EXPECT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", kBuiltinPresets[0].settings, 0));
    EXPECT_TRUE(RunValueBecomes(CurrentRunValue(), 0));
    EXPECT_TRUE(CheckBecomes(Ctl(kIdCheckAutostart), true, 0));
    EXPECT_EQ(miras, ReadSettingsBytes(L"miras.ini"));
    EXPECT_EQ(7u, ListLines(Ctl(kIdSavedList)).size());
    EXPECT_TRUE(CheckBecomes(Ctl(kIdCheckEnabled), true, 0));
    EXPECT_TRUE(CheckBecomes(Ctl(kIdCheckOutsideGame), false, 0));
    EXPECT_TRUE(CheckBecomes(Ctl(kIdCheckAimOnly), false, 0));
    EXPECT_TRUE(CheckBecomes(Ctl(kIdCheckHideWithCursor), false, 0));
    EXPECT_TRUE(TextBecomes(Ctl(kIdCheckEnabled), L"Mira ligada  (Ctrl + O)", 0));
}

TEST_F(Options, TabKeyVisitsTheControlsInCreationOrder) {
    SettingsScene scene = OpenOnOptionsTab();
    ASSERT_TRUE(scene.window);
    // The click on the tab left the focus on the strip; the right column was
    // created before the tab's own controls.
    ASSERT_TRUE(FocusBecomes(scene.window, Ctl(kIdTabStrip), kReactMs));
    const int order[] = {kIdCheckEnabled,   kIdRestoreDefault, kIdCopyCode,
                         kIdCheckOutsideGame, kIdCheckAimOnly, kIdCheckHideWithCursor,
                         kIdCheckPerServer, kIdHotkeyControl, kIdCheckAutostart, kIdOpenFolder, kIdResetAll,
                         kIdTabStrip};
    for (int id : order) {
        SCOPED_TRACE("Tab to control " + std::to_string(id));
        PressKeys({VK_TAB});
        ASSERT_TRUE(FocusBecomes(scene.window, Ctl(id), kReactMs));
    }
    PressKeys({VK_SHIFT, VK_TAB});
    EXPECT_TRUE(FocusBecomes(scene.window, Ctl(kIdResetAll), kReactMs)) << "Shift+Tab";
}

}  // namespace
