// End-to-end cases of the settings window's frame and its " Mira " tab: the
// layout at 96 and 144 DPI, the painted header, the sliders, check boxes and
// colours with what they save and show, the live preview, the tabs, the game
// status label, closing the window and the hotkey's effect on an open window.
// Suites whose names begin "Dpi144" run in the 144-DPI prefix.
#include "settings_helpers.h"

#include <commctrl.h>

#include "base/ids.h"

using namespace e2e;

namespace {

enum { kClientW = 600, kClientH = 452 };

// One control of the window as laid out in 96-DPI units; unnamed texts are
// found by their text. checkHeight is false for the combo box, whose window is
// only as tall as its closed box.
struct LayoutRow {
    int id;
    const wchar_t* text;
    int x, y, width, height;
    bool checkHeight;
};

const LayoutRow kLayout[] = {
    {kIdTabStrip, nullptr, 12, 92, 392, 28, true},
    {kIdUnnamed, L"PRÉVIA (ampliada)", 408, 96, 176, 18, true},
    {kIdCheckEnabled, nullptr, 408, 290, 176, 20, true},
    {kIdRestoreDefault, nullptr, 408, 318, 176, 28, true},
    {kIdCopyCode, nullptr, 408, 350, 176, 28, true},
    {kIdGameStatus, nullptr, 408, 388, 176, 18, true},
    {kIdServerLabel, nullptr, 408, 406, 176, 18, true},
    // " Mira ": seven slider rows, then the check boxes and the colour row.
    {kIdUnnamed, L"Tamanho", 24, 138, 100, 20, true},
    {kIdSliderSize, nullptr, 124, 134, 186, 26, true},
    {kIdLabelSize, nullptr, 314, 138, 60, 20, true},
    {kIdUnnamed, L"Espaçamento", 24, 168, 100, 20, true},
    {kIdSliderGap, nullptr, 124, 164, 186, 26, true},
    {kIdLabelGap, nullptr, 314, 168, 60, 20, true},
    {kIdUnnamed, L"Espessura", 24, 198, 100, 20, true},
    {kIdSliderThickness, nullptr, 124, 194, 186, 26, true},
    {kIdLabelThickness, nullptr, 314, 198, 60, 20, true},
    {kIdCheckOutline, nullptr, 24, 226, 100, 20, true},
    {kIdSliderOutline, nullptr, 124, 224, 186, 26, true},
    {kIdLabelOutline, nullptr, 314, 228, 60, 20, true},
    {kIdUnnamed, L"Opacidade", 24, 258, 100, 20, true},
    {kIdSliderAlpha, nullptr, 124, 254, 186, 26, true},
    {kIdLabelAlpha, nullptr, 314, 258, 60, 20, true},
    {kIdUnnamed, L"Posição X", 24, 288, 100, 20, true},
    {kIdSliderOffsetX, nullptr, 124, 284, 186, 26, true},
    {kIdLabelOffsetX, nullptr, 314, 288, 60, 20, true},
    {kIdUnnamed, L"Posição Y", 24, 318, 100, 20, true},
    {kIdSliderOffsetY, nullptr, 124, 314, 186, 26, true},
    {kIdLabelOffsetY, nullptr, 314, 318, 60, 20, true},
    {kIdCheckDot, nullptr, 24, 348, 120, 20, true},
    {kIdCheckTStyle, nullptr, 150, 348, 230, 20, true},
    {kIdUnnamed, L"Cor", 24, 382, 100, 20, true},
    {kIdColourList, nullptr, 124, 378, 124, 300, false},
    {kIdColourChoose, nullptr, 254, 377, 90, 26, true},
    {kIdColourSwatch, nullptr, 352, 380, 22, 22, true},
    // " Miras salvas ".
    {kIdUnnamed, L"MIRAS SALVAS  (clique para usar)", 24, 134, 278, 18, true},
    {kIdSavedList, nullptr, 24, 154, 368, 108, true},
    {kIdDeleteButton, nullptr, 292, 266, 100, 26, true},
    {kIdUnnamed, L"Trocar de mira:", 24, 270, 96, 20, true},
    {kIdSwitchHotkey, nullptr, 122, 267, 164, 24, true},
    {kIdUnnamed, L"IMPORTAR MIRA FIXA  (cole os comandos cl_crosshair...)", 24, 300, 368, 18,
     true},
    {kIdImportBox, nullptr, 24, 320, 368, 56, true},
    {kIdStatusLine, nullptr, 24, 380, 368, 18, true},
    {kIdNameBox, nullptr, 24, 402, 268, 26, true},
    {kIdSaveButton, nullptr, 298, 401, 94, 28, true},
    // " Configurações ".
    {kIdUnnamed, L"QUANDO MOSTRAR A MIRA", 24, 134, 368, 18, true},
    {kIdNoteAuto, nullptr, 24, 156, 368, 20, true},
    {kIdCheckOutsideGame, nullptr, 24, 180, 368, 20, true},
    {kIdCheckAimOnly, nullptr, 24, 204, 368, 20, true},
    {kIdCheckHideWithCursor, nullptr, 24, 228, 384, 20, true},
    {kIdCheckPerServer, nullptr, 24, 252, 368, 20, true},
    {kIdUnnamed, L"ATALHO PARA LIGAR / DESLIGAR A MIRA", 24, 278, 368, 18, true},
    {kIdHotkeyControl, nullptr, 24, 298, 160, 24, true},
    {kIdNoteHotkey, nullptr, 192, 294, 200, 34, true},
    {kIdUnnamed, L"SISTEMA", 24, 336, 368, 18, true},
    {kIdCheckAutostart, nullptr, 24, 356, 368, 20, true},
    {kIdOpenFolder, nullptr, 24, 382, 196, 28, true},
    {kIdResetAll, nullptr, 226, 382, 120, 28, true},
    {kIdUnnamed, L"Tudo é salvo na hora. A mira não mexe nos arquivos nem na memória do jogo.",
     24, 424, 568, 18, true},
    // " Imagem ".
    {kIdUnnamed, L"IMAGEM COMO MIRA", 24, 134, 368, 18, true},
    {kIdImageStatus, nullptr, 24, 156, 368, 48, true},
    {kIdChooseImage, nullptr, 24, 210, 150, 28, true},
    {kIdUseDrawn, nullptr, 180, 210, 170, 28, true},
    {kIdUnnamed, L"Escala", 24, 252, 100, 20, true},
    {kIdSliderImageScale, nullptr, 124, 248, 186, 26, true},
    {kIdLabelImageScale, nullptr, 314, 252, 60, 20, true},
    {kIdNoteImage, nullptr, 24, 286, 368, 64, true},
};

std::string RowName(const LayoutRow& row) {
    return row.text ? Utf8(row.text) : "control " + std::to_string(row.id);
}

std::string RectText(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

// Every control of the table lies where the layout puts it, scaled one value at a time.
void ExpectLayout(HWND window) {
    for (const LayoutRow& row : kLayout) {
        SCOPED_TRACE(RowName(row));
        HWND control = row.text ? ChildWithText(window, row.text) : Control(window, row.id);
        ASSERT_TRUE(control) << "missing";
        RECT got = ControlRect(window, control);
        RECT want = {Scale(row.x), Scale(row.y), Scale(row.x) + Scale(row.width),
                     Scale(row.y) + Scale(row.height)};
        if (!row.checkHeight) got.bottom = want.bottom;
        EXPECT_TRUE(EqualRect(&got, &want)) << "at " << RectText(got) << ", expected "
                                            << RectText(want);
    }
}

// The header band and its stripe down one column at the right of the client
// area, clear of the icon and the title; below the band the window's face.
struct HeaderRows {
    int dpi;
    int bandRows;     // rows 0 .. bandRows - 1 are painted
    int stripeFirst;  // rows stripeFirst .. bandRows - 1 are cyan
};
const HeaderRows kHeaderRows[] = {{96, 74, 71}, {144, 111, 106}};
const COLORREF kBand = RGB(18, 20, 26);
const COLORREF kStripe = RGB(0, 255, 255);
enum { kFaceRowsChecked = 4, kColumnFromRight = 4 };

void ExpectHeaderColumn(HWND window) {
    const HeaderRows* rows = nullptr;
    for (const HeaderRows& r : kHeaderRows) {
        if (r.dpi == ScreenDpi()) rows = &r;
    }
    ASSERT_TRUE(rows) << "no header rows for " << ScreenDpi() << " DPI";
    ASSERT_TRUE(BringToFront(window));
    RECT client = ClientRectOnScreen(window);
    int x = client.right - kColumnFromRight;
    int height = rows->bandRows + kFaceRowsChecked;
    uint32_t face = RgbOf(GetSysColor(COLOR_BTNFACE));
    std::string differences;
    WaitFor([&] {
        Capture cap;
        if (!CaptureScreen(x, client.top, 1, height, &cap)) return false;
        differences.clear();
        for (int row = 0; row < height; ++row) {
            uint32_t want = row >= rows->bandRows      ? face
                            : row >= rows->stripeFirst ? RgbOf(kStripe)
                                                       : RgbOf(kBand);
            uint32_t got = cap.At(x, client.top + row);
            if (got != want && differences.size() < 400) {
                char buf[80];
                snprintf(buf, sizeof buf, "\n  row %d: %06X, expected %06X", row, got, want);
                differences += buf;
            }
        }
        return differences.empty();
    },
            kReactMs);
    EXPECT_TRUE(differences.empty()) << "header column at client x " << x - client.left << ":"
                                     << differences;
}

CrosshairSettings Default() { return kBuiltinPresets[0].settings; }

class Settings : public E2eCase {};
class Dpi144Settings : public E2eCase {};

TEST_F(Settings, ClientAreaAndControlsFollowTheLayout) {
    ASSERT_EQ(96, ScreenDpi());
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    RECT client = {};
    GetClientRect(scene.window, &client);
    EXPECT_EQ(kClientW, client.right);
    EXPECT_EQ(kClientH, client.bottom);
    ExpectLayout(scene.window);
}

TEST_F(Dpi144Settings, EveryControlIsOneAndAHalfTimesItsPlace) {
    ASSERT_EQ(144, ScreenDpi());
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    ExpectLayout(scene.window);
}

TEST_F(Settings, HeaderBandAndStripeArePainted) {
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    ExpectHeaderColumn(scene.window);
}

TEST_F(Dpi144Settings, HeaderBandAndStripeArePainted) {
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    ExpectHeaderColumn(scene.window);
}

TEST_F(Settings, DraggingTheSizeThumbFollowsLiveAndSavesOnRelease) {
    SettingsScene scene = OpenSettingsWithOverlay();
    ASSERT_TRUE(scene.window);
    CrosshairSettings s = Default();
    ASSERT_TRUE(OverlayShows(s, kReactMs));
    const std::string before = ReadSettingsBytes(L"config.ini");
    struct Step {
        int position;
        const wchar_t* label;
    };
    const Step steps[] = {{0, L"0.0"}, {6, L"3.0"}, {12, L"6.0"}};
    for (const Step& step : steps) {
        SCOPED_TRACE("thumb at " + std::to_string(step.position));
        MoveTrackbar(scene.window, kIdSliderSize, step.position, TB_THUMBTRACK);
        s.size = step.position * 0.5f;
        EXPECT_TRUE(OverlayShows(s, kReactMs));
        EXPECT_TRUE(PreviewShows(scene.window, s, kReactMs));
        EXPECT_TRUE(TextBecomes(Control(scene.window, kIdLabelSize), step.label, kReactMs));
        EXPECT_EQ(before, ReadSettingsBytes(L"config.ini")) << "saved during the drag";
    }
    MoveTrackbar(scene.window, kIdSliderSize, 12, TB_ENDTRACK);
    EXPECT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", s, kReactMs));
    EXPECT_TRUE(OverlayShows(s, kReactMs));
}

TEST_F(Settings, EveryArrowKeyStepIsSaved) {
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    struct Step {
        int position;
        const char* saved;
    };
    // The default size -1.5 is position -3.
    const Step steps[] = {{-2, "-1.000"}, {-1, "-0.500"}, {0, "0.000"}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.saved);
        MoveTrackbar(scene.window, kIdSliderSize, step.position, TB_LINEDOWN);
        EXPECT_TRUE(IniValueBecomes(L"config.ini", "Mira", "tamanho", step.saved, kReactMs));
    }
}

TEST_F(Settings, OutlineOffDisablesItsSliderAndKeepsTheWidth) {
    SettingsScene scene = OpenSettings({{"espessura_contorno", "2.500"}});
    ASSERT_TRUE(scene.window);
    HWND slider = Control(scene.window, kIdSliderOutline);
    ASSERT_TRUE(IsWindowEnabled(slider));
    Click(Control(scene.window, kIdCheckOutline));
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Mira", "contorno", "0", kReactMs));
    EXPECT_FALSE(IsWindowEnabled(slider));
    EXPECT_EQ("2.500", MiraValue("espessura_contorno"));
    Click(Control(scene.window, kIdCheckOutline));
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Mira", "contorno", "1", kReactMs));
    EXPECT_TRUE(IsWindowEnabled(slider));
    EXPECT_EQ(5, SendTo(slider, TBM_GETPOS, 0, 0));
    EXPECT_EQ("2.500", MiraValue("espessura_contorno"));
}

TEST_F(Settings, RedFromTheListKeepsTheOpacity) {
    SettingsScene scene = OpenSettings({{"opacidade", "200"}});
    ASSERT_TRUE(scene.window);
    const int kRed = 5;  // "Vermelho" in the list's order
    ChooseComboItem(scene.window, kIdColourList, kRed);
    CrosshairSettings s = Default();
    s.red = 250;
    s.green = 50;
    s.blue = 50;
    s.alpha = 200;
    EXPECT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", s, kReactMs));
}

const wchar_t kRestoreQuestion[] =
    L"Tem certeza que deseja restaurar a mira para o padrão (Zavik Padrão)?\n\n"
    L"A mira atual será substituída. Se quiser guardá-la, salve antes na aba Miras salvas.";

TEST_F(Settings, RestoreDefaultAnsweredNoChangesNothing) {
    SettingsScene scene = OpenSettings({{"tamanho", "4.000"}, {"posicao_x", "30"}});
    ASSERT_TRUE(scene.window);
    const std::string before = ReadSettingsBytes(L"config.ini");
    PostClick(Control(scene.window, kIdRestoreDefault));
    HWND box = WaitForMessageBox(scene.process.pid, kReactMs);
    ASSERT_TRUE(box);
    EXPECT_TRUE(DefaultButtonIs(box, IDNO, kReactMs));
    ASSERT_TRUE(AnswerMessageBox(scene.process.pid, kRestoreQuestion, IDNO));
    PumpFor(kQuietMs);
    EXPECT_EQ(before, ReadSettingsBytes(L"config.ini"));
    EXPECT_TRUE(TextBecomes(Control(scene.window, kIdLabelSize), L"4.0", 0));
}

TEST_F(Settings, RestoreDefaultAnsweredYesResetsEveryFieldAndTheOffsets) {
    SettingsScene scene = OpenSettings({
        {"tamanho", "4.000"}, {"espacamento", "1.000"}, {"espessura", "2.000"},
        {"contorno", "0"}, {"espessura_contorno", "2.500"}, {"ponto", "1"}, {"estilo_t", "1"},
        {"cor_r", "250"}, {"cor_g", "50"}, {"cor_b", "50"}, {"opacidade", "100"},
        {"posicao_x", "30"}, {"posicao_y", "-12"},
    });
    ASSERT_TRUE(scene.window);
    PostClick(Control(scene.window, kIdRestoreDefault));
    ASSERT_TRUE(AnswerMessageBox(scene.process.pid, kRestoreQuestion, IDYES));
    EXPECT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", Default(), kReactMs));
    EXPECT_EQ(0, SendTo(Control(scene.window, kIdSavedList), LB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, SendTo(Control(scene.window, kIdSliderOffsetX), TBM_GETPOS, 0, 0));
    EXPECT_TRUE(TextBecomes(Control(scene.window, kIdLabelOffsetY), L"0 px", 0));
    EXPECT_TRUE(CheckBecomes(Control(scene.window, kIdCheckOutline), true, 0));
    EXPECT_TRUE(IsWindowEnabled(Control(scene.window, kIdSliderOutline)));
}

TEST_F(Settings, PreviewEqualsThePortableComposition) {
    struct Row {
        const char* name;
        const wchar_t* code;  // every field the code knows, so each row stands alone
        CrosshairSettings settings;
    };
    const Row rows[] = {
        {"small dot, magnified 8 times",
         L"cl_crosshairsize 0 cl_crosshairgap 0 cl_crosshairthickness 1 cl_crosshairdot 1 "
         L"cl_crosshair_t 0 cl_crosshair_drawoutline 0 cl_crosshair_outlinethickness 1 "
         L"cl_crosshairalpha 255 cl_crosshaircolor 5 cl_crosshaircolor_r 255 "
         L"cl_crosshaircolor_g 255 cl_crosshaircolor_b 255",
         {0.0f, 0.0f, 1.0f, 0, 1.0f, 1, 0, 255, 255, 255, 255, 0, 0}},
        {"large green cross, cut at the square",
         L"cl_crosshairsize 10 cl_crosshairgap 5 cl_crosshairthickness 2 cl_crosshairdot 0 "
         L"cl_crosshair_t 0 cl_crosshair_drawoutline 1 cl_crosshair_outlinethickness 1 "
         L"cl_crosshairalpha 255 cl_crosshaircolor 1",
         {10.0f, 5.0f, 2.0f, 1, 1.0f, 0, 0, 50, 250, 50, 255, 0, 0}},
        {"see-through red T",
         L"cl_crosshairsize 3 cl_crosshairgap -1 cl_crosshairthickness 1.5 cl_crosshairdot 0 "
         L"cl_crosshair_t 1 cl_crosshair_drawoutline 1 cl_crosshair_outlinethickness 2 "
         L"cl_crosshairalpha 120 cl_crosshaircolor 0",
         {3.0f, -1.0f, 1.5f, 1, 2.0f, 0, 1, 250, 50, 50, 120, 0, 0}},
    };
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(BringToFront(scene.window));
    {
        SCOPED_TRACE("the default crosshair");
        EXPECT_TRUE(PreviewShows(scene.window, Default(), kReactMs));
    }
    HWND importBox = Control(scene.window, kIdImportBox);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Paste(importBox, row.code);
        EXPECT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", row.settings, kReactMs));
        EXPECT_TRUE(PreviewShows(scene.window, row.settings, kReactMs));
    }
}

TEST_F(Dpi144Settings, PreviewEqualsThePortableComposition) {
    SettingsScene scene = OpenSettings({{"ponto", "1"}, {"cor_g", "0"}});
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(BringToFront(scene.window));
    CrosshairSettings s = Default();
    s.dot = 1;
    s.green = 0;
    EXPECT_TRUE(PreviewShows(scene.window, s, kReactMs));
}

TEST_F(Settings, EachTabShowsOnlyItsOwnControls) {
    const int tagged[][6] = {
        {kIdSliderSize, kIdLabelAlpha, kIdCheckOutline, kIdCheckDot, kIdColourList,
         kIdColourSwatch},
        {kIdSavedList, kIdDeleteButton, kIdImportBox, kIdStatusLine, kIdNameBox, kIdSaveButton},
        {kIdNoteAuto, kIdCheckOutsideGame, kIdCheckAimOnly, kIdHotkeyControl, kIdCheckAutostart,
         kIdResetAll},
        {kIdImageStatus, kIdChooseImage, kIdUseDrawn, kIdSliderImageScale, kIdLabelImageScale,
         kIdNoteImage},
    };
    const int kPages = sizeof tagged / sizeof tagged[0];
    const int always[] = {kIdTabStrip, kIdCheckEnabled, kIdRestoreDefault, kIdCopyCode,
                          kIdGameStatus, kIdServerLabel};
    const wchar_t kFooter[] =
        L"Tudo é salvo na hora. A mira não mexe nos arquivos nem na memória do jogo.";
    const int order[] = {1, 3, 2, 0, 2};
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    HWND footer = ChildWithText(scene.window, kFooter);
    for (int tab : order) {
        SCOPED_TRACE("tab " + std::to_string(tab));
        ASSERT_TRUE(ClickTab(scene.window, tab));
        for (int page = 0; page < kPages; ++page) {
            for (int id : tagged[page]) {
                EXPECT_TRUE(BecomesVisible(Control(scene.window, id), page == tab, kReactMs))
                    << "control " << id;
            }
        }
        for (int id : always) {
            EXPECT_TRUE(IsWindowVisible(Control(scene.window, id))) << "control " << id;
        }
        EXPECT_EQ(tab == 2, IsWindowVisible(footer) != FALSE) << "the footer";
        EXPECT_TRUE(PreviewShows(scene.window, Default(), kReactMs));
    }
}

TEST_F(Settings, GameStatusLabelFollowsTheGame) {
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    HWND label = Control(scene.window, kIdGameStatus);
    ASSERT_TRUE(BringToFront(scene.window));
    EXPECT_TRUE(TextBecomes(label, kGameAwayText, kReactMs));
    EXPECT_TRUE(ShowsTextColour(label, kStatusGrey, kReactMs));
    GameScene game = StartGameBeside(scene.window);
    ASSERT_TRUE(game.window);
    EXPECT_TRUE(TextBecomes(label, kGameInFrontText, kReactMs));
    EXPECT_TRUE(ShowsTextColour(label, kGreen, kReactMs));
    ASSERT_TRUE(BringToFront(scene.window));
    EXPECT_TRUE(TextBecomes(label, kGameAwayText, kReactMs));
    EXPECT_TRUE(ShowsTextColour(label, kStatusGrey, kReactMs));
}

TEST_F(Settings, ClosingTheWindowKeepsTheProgramRunning) {
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    PostMessageW(scene.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(scene.window); }, kReactMs)) << "still open";
    PumpFor(kQuietMs);
    EXPECT_TRUE(IsRunning(scene.process));
    EXPECT_TRUE(FindMessageWindow(scene.process.pid)) << "the message window is gone";
    EXPECT_FALSE(FindMessageBox(scene.process.pid)) << "a message box appeared";
    EXPECT_FALSE(FindSettingsWindow(scene.process.pid));
}


TEST_F(Settings, HotkeyFlipsTheEnabledBoxOfAnOpenWindow) {
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    HWND enabled = Control(scene.window, kIdCheckEnabled);
    ASSERT_TRUE(CheckBecomes(enabled, true, 0));
    EXPECT_TRUE(TextBecomes(enabled, L"Mira ligada  (Ctrl + O)", 0));
    GameScene game = StartGameBeside(scene.window);
    ASSERT_TRUE(game.window);
    PressKeys({VK_CONTROL, 'O'});
    EXPECT_TRUE(CheckBecomes(enabled, false, kReactMs));
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "ligada", "0", kReactMs));
    PressKeys({VK_CONTROL, 'O'});
    EXPECT_TRUE(CheckBecomes(enabled, true, kReactMs));
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "ligada", "1", kReactMs));
}

}  // namespace

namespace {

// The colour dialog of the process, owned by the settings window (a #32770 with
// no "Zavik Crosshair" title, so message-box helpers do not find it).
HWND FindColourDialog(HWND settings) {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, L"#32770", nullptr)) != nullptr) {
        if (GetWindow(w, GW_OWNER) == settings && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

TEST_F(Settings, PersonalizadaOpensTheColourDialogAndCancelKeepsTheColour) {
    SettingsScene scene = OpenSettings({{"cor_r", "250"}, {"cor_g", "250"}, {"cor_b", "50"}});
    ASSERT_TRUE(scene.window);
    const int kYellow = 2, kCustom = 7;  // "Amarelo", "Personalizada" in the list's order
    HWND list = Control(scene.window, kIdColourList);
    ASSERT_EQ(kYellow, (int)SendTo(list, CB_GETCURSEL, 0, 0));
    const std::string before = ReadSettingsBytes(L"config.ini");
    ChooseComboItem(scene.window, kIdColourList, kCustom);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = FindColourDialog(scene.window)) != nullptr; },
                        kReactMs))
        << "choosing \"Personalizada\" opened no colour dialog";
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 (LPARAM)GetDlgItem(dialog, IDCANCEL));
    EXPECT_TRUE(WaitFor([&] { return FindColourDialog(scene.window) == nullptr; }, kReactMs));
    // Cancelled: the list goes back to the colour's own name and nothing is saved.
    EXPECT_TRUE(WaitFor([&] { return SendTo(list, CB_GETCURSEL, 0, 0) == kYellow; }, kReactMs));
    EXPECT_EQ(before, ReadSettingsBytes(L"config.ini"));
}

}  // namespace
