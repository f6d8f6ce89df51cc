// End-to-end cases of the " Miras salvas " tab: a pasted code (console
// commands or a share code) is tried at once, saved under a name (the four outcomes of "Salvar mira", the name
// rules, overwriting), the list of built-in and saved crosshairs, wearing a
// line and deleting one; the crosshair copied from the right column.
#include "settings_helpers.h"

#include <commctrl.h>
#include <stdio.h>

#include "codes/codes.h"
#include "codes/sharecode.h"
#include "base/ids.h"
#include "state/identity.h"
#include "ui/window_text.h"
#include "ui/sliders.h"

using namespace e2e;

namespace {

const wchar_t kHint[] = L"Cole o código acima, dê um nome e clique em Salvar mira.";
const wchar_t kImportOk[] = L"✔ Mira lida e aplicada! Dê um nome e clique em Salvar mira.";
const wchar_t kImportNone[] = L"✖ Não achei nenhum comando de mira nesse texto.";
const wchar_t kCodeDamaged[] =
    L"✖ Esse código de mira não pôde ser lido: confira se copiou o código inteiro.";
const wchar_t* const kSaved = SaveNoteText(kNoteSaved);
const wchar_t kNeedBoth[] = L"✖ Cole o código da mira e dê um nome para salvar.";
const wchar_t kNeedCode[] = L"✖ Cole um código de mira válido na caixa acima.";
const wchar_t kNeedName[] = L"✖ Dê um nome para a mira.";
const wchar_t kDeleteNone[] = L"Selecione na lista a mira que quer excluir.";
const wchar_t kDeleteBuiltin[] =
    L"As miras padrão do aplicativo (com estrela) não podem ser excluídas.";
const COLORREF kSuccessGreen = RGB(0, 130, 60);
const COLORREF kErrorRed = RGB(190, 30, 30);
const COLORREF kHintGrey = RGB(110, 110, 110);
const char kEmptyFile[] = "\xFF\xFE";
enum { kSavedTab = 1, kBuiltinLines = 4 };

const CrosshairSettings kAlfa = {2.5f, 1.0f, 2.0f, 0, 1.5f, 1, 1, 10, 20, 30, 180, 5, 5};
const CrosshairSettings kBeta = {4.0f, -2.0f, 0.5f, 1, 2.0f, 0, 0, 50, 50, 250, 255, 0, 0};

// The section names of a file's text, in file order.
std::vector<std::string> SectionNames(const std::string& text) {
    std::vector<std::string> names;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= 2 && line[0] == '[' && line.back() == ']')
            names.push_back(line.substr(1, line.size() - 2));
    }
    return names;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += "[" + n + "]";
    return out;
}

std::string Joined(const std::vector<std::wstring>& lines) {
    std::string out;
    for (const std::wstring& l : lines) out += "<" + Utf8(l) + ">";
    return out;
}

CrosshairSettings Default() { return kBuiltinPresets[0].settings; }

class Saved : public E2eCase {
protected:
    // The settings window on its " Miras salvas " tab, miras.ini written first when given.
    SettingsScene OpenOnSavedTab(const std::string& miras = std::string(),
                                 std::initializer_list<std::pair<const char*, const char*>>
                                     overrides = {}) {
        if (!miras.empty()) {
            EXPECT_TRUE(WriteSettingsText(L"miras.ini", miras.c_str()));
        }
        SettingsScene scene = OpenSettings(overrides);
        if (scene.window) {
            EXPECT_TRUE(ClickTab(scene.window, kSavedTab));
        }
        window_ = scene.window;
        return scene;
    }

    HWND Ctl(int id) { return Control(window_, id); }

    void SetName(const std::wstring& name) {
        SendTo(Ctl(kIdNameBox), WM_SETTEXT, 0, (LPARAM)name.c_str());
    }

    HWND window_ = nullptr;
};

TEST_F(Saved, PastedCodeIsAppliedAtOnce) {
    SettingsScene scene = OpenSettingsWithOverlay();
    ASSERT_TRUE(scene.window);
    window_ = scene.window;
    ASSERT_TRUE(ClickTab(scene.window, kSavedTab));
    const int kDotLine = 1;  // "★ Ponto branco"
    ChooseListLine(scene.window, kIdSavedList, kDotLine);
    CrosshairSettings s = kBuiltinPresets[kDotLine].settings;
    ASSERT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", s, kReactMs));
    SetName(L"Minha");

    Paste(Ctl(kIdImportBox), L"cl_crosshairsize 4; cl_crosshairgap 2; cl_crosshaircolor 1");
    s.size = 4.0f;
    s.gap = 2.0f;
    s.red = 50;
    s.green = 250;
    s.blue = 50;
    EXPECT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", s, kReactMs));
    EXPECT_TRUE(OverlayShows(s, kReactMs));
    EXPECT_EQ(8, SendTo(Ctl(kIdSliderSize), TBM_GETPOS, 0, 0));
    EXPECT_EQ(4, SendTo(Ctl(kIdSliderGap), TBM_GETPOS, 0, 0));
    EXPECT_EQ(LB_ERR, SendTo(Ctl(kIdSavedList), LB_GETCURSEL, 0, 0)) << "a line stays selected";
    EXPECT_TRUE(TextBecomes(Ctl(kIdStatusLine), kImportOk, kReactMs));
    EXPECT_TRUE(ShowsTextColour(Ctl(kIdStatusLine), kSuccessGreen, kReactMs));
    EXPECT_TRUE(TextBecomes(Ctl(kIdNameBox), L"Minha", 0));
}

// A share code the game made (SyberiaK/csxhair tests, 1.cfg): 1080 lines,
// length 6, thickness 1, gap 3 pixels, full outline, colour (0, 255, 255).
const wchar_t kShareCodePost[] =
    L"Minha mira do outro jogo: \u201CCS2YzM7EJwGv3sYsU4qmobJcPLZhFjKhr5q4Wb99W5xkPG\u201D (1080p)";
// One whose checksum fails (csgo-sharecode tests).
const wchar_t kDamagedShareCode[] = L"CSkSCHQKunGr2yPsJr2U3RTd8ycMA2pEs9jWnxK5KjMmWL";

CrosshairSettings SharedCrosshair() {
    CrosshairSettings s = Default();
    const float height = 1080.0f;
    const float k = height / 480.0f;
    s.size = 6.0f / k;
    s.thickness = 1.0f / k;
    float shift = height * 4.0f;
    shift = shift / 1200.0f;
    float gap = 3.0f - shift;
    s.gap = gap - 0.5f;
    s.outline = 1;
    s.outlineThickness = 1.0f;
    s.dot = 0;
    s.tStyle = 0;
    s.red = 0;
    s.green = 255;
    s.blue = 255;
    s.alpha = 255;
    return s;
}

TEST_F(Saved, PastedShareCodeIsAppliedAndSaved) {
    SettingsScene scene = OpenSettingsWithOverlay();
    ASSERT_TRUE(scene.window);
    window_ = scene.window;
    ASSERT_TRUE(ClickTab(scene.window, kSavedTab));
    Paste(Ctl(kIdImportBox), kShareCodePost);
    const CrosshairSettings s = SharedCrosshair();
    EXPECT_TRUE(TextBecomes(Ctl(kIdStatusLine), kImportOk, kReactMs));
    EXPECT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", s, kReactMs));
    EXPECT_TRUE(OverlayShows(s, kReactMs));
    EXPECT_TRUE(PreviewShows(scene.window, s, kReactMs));
    const int sliders[] = {kIdSliderSize, kIdSliderGap, kIdSliderThickness};
    for (int id : sliders) {
        EXPECT_EQ(SliderPositionFor(*FindSliderRow(id), s), SendTo(Ctl(id), TBM_GETPOS, 0, 0))
            << "slider " << id;
    }

    SetName(L"Importada");
    Click(Ctl(kIdSaveButton));
    EXPECT_TRUE(TextBecomes(Ctl(kIdStatusLine), kSaved, kReactMs));
    EXPECT_TRUE(FileHoldsCrosshair(L"miras.ini", "Importada", s, kReactMs));
    EXPECT_EQ(L"Importada", ListLines(Ctl(kIdSavedList)).back());
}

TEST_F(Saved, DamagedShareCodeSaysSoAndChangesNothing) {
    SettingsScene scene = OpenOnSavedTab();
    ASSERT_TRUE(scene.window);
    const std::string before = ReadSettingsBytes(L"config.ini");
    Paste(Ctl(kIdImportBox), std::wstring(L"Código: ") + kDamagedShareCode);
    EXPECT_TRUE(TextBecomes(Ctl(kIdStatusLine), kCodeDamaged, kReactMs));
    EXPECT_TRUE(ShowsTextColour(Ctl(kIdStatusLine), kErrorRed, kReactMs));
    SetName(L"Quebrada");
    SendTo(Ctl(kIdStatusLine), WM_SETTEXT, 0, (LPARAM)L"");
    Click(Ctl(kIdSaveButton));
    EXPECT_TRUE(TextBecomes(Ctl(kIdStatusLine), kCodeDamaged, kReactMs));
    EXPECT_TRUE(FocusBecomes(scene.window, Ctl(kIdImportBox), kReactMs));
    PumpFor(kQuietMs);
    EXPECT_EQ(before, ReadSettingsBytes(L"config.ini")) << "the crosshair changed";
    EXPECT_EQ(kEmptyFile, ReadSettingsBytes(L"miras.ini")) << "something was saved";
}

TEST_F(Saved, OrdinaryWordIsAnErrorAndEmptyingShowsTheHint) {
    SettingsScene scene = OpenOnSavedTab();
    ASSERT_TRUE(scene.window);
    EXPECT_TRUE(TextBecomes(Ctl(kIdStatusLine), kHint, 0));
    const std::string before = ReadSettingsBytes(L"config.ini");
    Paste(Ctl(kIdImportBox), L"olá");
    EXPECT_TRUE(TextBecomes(Ctl(kIdStatusLine), kImportNone, kReactMs));
    EXPECT_TRUE(ShowsTextColour(Ctl(kIdStatusLine), kErrorRed, kReactMs));
    PumpFor(kQuietMs);
    EXPECT_EQ(before, ReadSettingsBytes(L"config.ini")) << "the crosshair changed";
    Paste(Ctl(kIdImportBox), L"");
    EXPECT_TRUE(TextBecomes(Ctl(kIdStatusLine), kHint, kReactMs));
    EXPECT_TRUE(ShowsTextColour(Ctl(kIdStatusLine), kHintGrey, kReactMs));
}

TEST_F(Saved, SaveDecidesByNameAndCodeAndFocusesWhatIsMissing) {
    const wchar_t kCode[] = L"cl_crosshairsize 2";
    struct Row {
        const char* name;
        const wchar_t* nameText;
        const wchar_t* code;
        const wchar_t* status;
        int focus;
    };
    const Row rows[] = {
        {"no name, no code", L"", L"", kNeedBoth, kIdImportBox},
        {"no name, a code", L"", kCode, kNeedName, kIdNameBox},
        {"only blanks and refused characters, a code", L"  [;=]★ ", kCode, kNeedName,
         kIdNameBox},
        {"a name, no code", L"Minha", L"", kNeedCode, kIdImportBox},
        {"a name, an ordinary word", L"Minha", L"palavra", kNeedCode, kIdImportBox},
    };
    SettingsScene scene = OpenOnSavedTab();
    ASSERT_TRUE(scene.window);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Paste(Ctl(kIdImportBox), row.code);
        SetName(row.nameText);
        SendTo(Ctl(kIdStatusLine), WM_SETTEXT, 0, (LPARAM)L"");
        Click(Ctl(kIdSaveButton));
        EXPECT_TRUE(TextBecomes(Ctl(kIdStatusLine), row.status, kReactMs));
        EXPECT_TRUE(FocusBecomes(scene.window, Ctl(row.focus), kReactMs));
        EXPECT_EQ(kEmptyFile, ReadSettingsBytes(L"miras.ini")) << "something was saved";
    }
    {
        SCOPED_TRACE("a name and a code");
        CrosshairSettings before = Default();
        Paste(Ctl(kIdImportBox), L"cl_crosshairsize 3 cl_crosshairalpha 99");
        before.size = 3.0f;
        before.alpha = 99;
        ASSERT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", before, kReactMs));
        SetName(L"Minha");
        Click(Ctl(kIdSaveButton));
        EXPECT_TRUE(TextBecomes(Ctl(kIdStatusLine), kSaved, kReactMs));
        EXPECT_TRUE(FileHoldsCrosshair(L"miras.ini", "Minha", before, kReactMs));
        EXPECT_TRUE(TextBecomes(Ctl(kIdNameBox), L"", 0));
        EXPECT_TRUE(TextBecomes(Ctl(kIdImportBox), L"", 0));
        std::vector<std::wstring> lines = ListLines(Ctl(kIdSavedList));
        ASSERT_EQ(kBuiltinLines + 1u, lines.size()) << Joined(lines);
        EXPECT_EQ(L"Minha", lines.back());
        EXPECT_EQ(kBuiltinLines, SendTo(Ctl(kIdSavedList), LB_GETCURSEL, 0, 0));
    }
}

TEST_F(Saved, RefusedCharactersBecomeBlanksAndTheEndsAreTrimmed) {
    SettingsScene scene = OpenOnSavedTab();
    ASSERT_TRUE(scene.window);
    Paste(Ctl(kIdImportBox), L"cl_crosshairsize 2");
    SetName(L"  [Minha]=mira;★  ");
    Click(Ctl(kIdSaveButton));
    EXPECT_TRUE(TextBecomes(Ctl(kIdStatusLine), kSaved, kReactMs));
    EXPECT_EQ(std::vector<std::string>{"Minha  mira"},
              SectionNames(ReadSettingsText(L"miras.ini")));
    EXPECT_EQ(L"Minha  mira", ListLines(Ctl(kIdSavedList)).back());
}

TEST_F(Saved, NameDifferingOnlyInCaseAsksBeforeReplacing) {
    const std::string miras = SectionText("Minha Mira", kAlfa) + SectionText("Outra", kBeta);
    SettingsScene scene = OpenOnSavedTab(miras);
    ASSERT_TRUE(scene.window);
    const std::string before = ReadSettingsBytes(L"miras.ini");
    const std::wstring question = L"Já existe uma mira chamada \"minha mira\".\nQuer substituir?";
    Paste(Ctl(kIdImportBox), L"cl_crosshairsize 7");
    SetName(L"minha mira");

    PostClick(Ctl(kIdSaveButton));
    ASSERT_TRUE(AnswerMessageBox(scene.process.pid, question, IDNO));
    PumpFor(kQuietMs);
    EXPECT_EQ(before, ReadSettingsBytes(L"miras.ini")) << "answered No";

    PostClick(Ctl(kIdSaveButton));
    ASSERT_TRUE(AnswerMessageBox(scene.process.pid, question, IDYES));
    EXPECT_TRUE(TextBecomes(Ctl(kIdStatusLine), kSaved, kReactMs));
    std::vector<std::string> sections = SectionNames(ReadSettingsText(L"miras.ini"));
    EXPECT_EQ((std::vector<std::string>{"Outra", "minha mira"}), sections) << Joined(sections);
    CrosshairSettings saved = Default();
    saved.size = 7.0f;
    EXPECT_TRUE(FileHoldsCrosshair(L"miras.ini", "minha mira", saved, 0));
    std::vector<std::wstring> lines = ListLines(Ctl(kIdSavedList));
    EXPECT_EQ(L"minha mira", lines.back()) << Joined(lines);
}

TEST_F(Saved, LineBreakInANameCannotSplitTheFile) {
    SettingsScene scene = OpenOnSavedTab();
    ASSERT_TRUE(scene.window);
    Paste(Ctl(kIdImportBox), L"cl_crosshairsize 2");
    SetName(L"Linha\r\nQuebrada");
    // A single-line box may keep or drop the break; what it holds is what is saved.
    std::wstring held = TextOf(Ctl(kIdNameBox));
    std::string expected = Utf8(held);
    for (char& c : expected) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    Click(Ctl(kIdSaveButton));
    EXPECT_TRUE(TextBecomes(Ctl(kIdStatusLine), kSaved, kReactMs));
    const std::string text = ReadSettingsText(L"miras.ini");
    EXPECT_EQ(std::vector<std::string>{expected}, SectionNames(text)) << text;
    // Every line is a section or one of the thirteen keys: nothing leaked out of the name.
    const char* const keys[] = {"tamanho", "espacamento", "espessura", "contorno",
                                "espessura_contorno", "ponto", "estilo_t", "cor_r", "cor_g",
                                "cor_b", "opacidade", "posicao_x", "posicao_y"};
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 2;
        if (line.empty() || line[0] == '[') continue;
        std::string key = line.substr(0, line.find('='));
        bool known = false;
        for (const char* k : keys) known = known || key == k;
        EXPECT_TRUE(known) << "stray line \"" << line << "\"";
    }
}

TEST_F(Saved, ListShowsTheBuiltinsThenTheFilesSections) {
    SettingsScene scene =
        OpenOnSavedTab(SectionText("Alfa", kAlfa) + SectionText("Beta", kBeta));
    ASSERT_TRUE(scene.window);
    const std::vector<std::wstring> expected = {
        L"★ Zavik Padrão", L"★ Ponto branco", L"★ Cruz branca", L"★ Cruz branca vazada",
        L"Alfa", L"Beta",
    };
    std::vector<std::wstring> lines = ListLines(Ctl(kIdSavedList));
    EXPECT_EQ(expected, lines) << Joined(lines);
    const LRESULT itemData[] = {0, 1, 2, 3, -1, -1};
    for (size_t i = 0; i < lines.size() && i < 6; ++i) {
        EXPECT_EQ(itemData[i], SendTo(Ctl(kIdSavedList), LB_GETITEMDATA, i, 0)) << "line " << i;
    }
    EXPECT_EQ(LB_ERR, SendTo(Ctl(kIdSavedList), LB_GETCURSEL, 0, 0));
}

TEST_F(Saved, ChoosingALineWearsItAndKeepsTheOffsets) {
    SettingsScene scene = OpenOnSavedTab(SectionText("Alfa", kAlfa),
                                         {{"posicao_x", "30"}, {"posicao_y", "-12"}});
    ASSERT_TRUE(scene.window);
    struct Row {
        const char* name;
        int line;
        CrosshairSettings settings;
        const wchar_t* nameBoxAfter;  // a built-in empties the name box, a saved one keeps it
    };
    const Row rows[] = {
        {"built-in Cruz branca", 2, kBuiltinPresets[2].settings, L""},
        {"saved Alfa", 4, kAlfa, L"guardado"},
        {"built-in Zavik Padrão", 0, kBuiltinPresets[0].settings, L""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetName(L"guardado");
        ChooseListLine(scene.window, kIdSavedList, row.line);
        CrosshairSettings s = row.settings;
        s.offsetX = 30;
        s.offsetY = -12;
        EXPECT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", s, kReactMs));
        EXPECT_TRUE(TextBecomes(Ctl(kIdNameBox), row.nameBoxAfter, kReactMs));
        EXPECT_EQ(30, SendTo(Ctl(kIdSliderOffsetX), TBM_GETPOS, 0, 0));
    }
}

TEST_F(Saved, DeleteWithNothingOrABuiltinSelectedOnlyInforms) {
    SettingsScene scene = OpenOnSavedTab(SectionText("Alfa", kAlfa));
    ASSERT_TRUE(scene.window);
    const std::string before = ReadSettingsBytes(L"miras.ini");
    {
        SCOPED_TRACE("nothing selected");
        PostClick(Ctl(kIdDeleteButton));
        EXPECT_TRUE(AnswerMessageBox(scene.process.pid, kDeleteNone, IDOK));
    }
    {
        SCOPED_TRACE("a built-in line");
        ChooseListLine(scene.window, kIdSavedList, 3);
        PostClick(Ctl(kIdDeleteButton));
        EXPECT_TRUE(AnswerMessageBox(scene.process.pid, kDeleteBuiltin, IDOK));
    }
    PumpFor(kQuietMs);
    EXPECT_EQ(before, ReadSettingsBytes(L"miras.ini"));
    EXPECT_EQ(kBuiltinLines + 1u, ListLines(Ctl(kIdSavedList)).size());
}

TEST_F(Saved, DeleteOnASavedLineAsksAndDeletes) {
    SettingsScene scene =
        OpenOnSavedTab(SectionText("Alfa", kAlfa) + SectionText("Beta", kBeta));
    ASSERT_TRUE(scene.window);
    const std::string before = ReadSettingsBytes(L"miras.ini");
    const int kAlfaLine = kBuiltinLines;
    ChooseListLine(scene.window, kIdSavedList, kAlfaLine);
    SetName(L"guardado");

    PostClick(Ctl(kIdDeleteButton));
    ASSERT_TRUE(AnswerMessageBox(scene.process.pid, L"Excluir a mira \"Alfa\"?", IDNO));
    PumpFor(kQuietMs);
    EXPECT_EQ(before, ReadSettingsBytes(L"miras.ini")) << "answered No";

    PostClick(Ctl(kIdDeleteButton));
    ASSERT_TRUE(AnswerMessageBox(scene.process.pid, L"Excluir a mira \"Alfa\"?", IDYES));
    EXPECT_TRUE(WaitFor([] {
        return SectionNames(ReadSettingsText(L"miras.ini")) == std::vector<std::string>{"Beta"};
    },
                        kReactMs))
        << Joined(SectionNames(ReadSettingsText(L"miras.ini")));
    std::vector<std::wstring> lines = ListLines(Ctl(kIdSavedList));
    EXPECT_EQ(kBuiltinLines + 1u, lines.size()) << Joined(lines);
    EXPECT_EQ(LB_ERR, SendTo(Ctl(kIdSavedList), LB_GETCURSEL, 0, 0));
    EXPECT_TRUE(TextBecomes(Ctl(kIdNameBox), L"", 0));
}

// ---- The switch hotkey ----

// Long enough that its name needs a wider overlay for a moment.
const char kLongName[] = "MIRA DE NOME COMPRIDO O BASTANTE PARA ALARGAR A SOBREPOSICAO";

LONG OverlayWidth(HWND overlay) {
    RECT r = WindowRect(overlay);
    return r.right - r.left;
}

// Recorded in its control, the switch wears the list's next lines while the
// game is in front: the file and the list follow, and the name shows for a
// moment under the crosshair. Away from the game its keys do nothing.
TEST_F(Saved, SwitchHotkeyWearsTheNextLinesWhileTheGameIsInFront) {
    SettingsScene scene =
        OpenOnSavedTab(SectionText("Alfa", kAlfa) + SectionText(kLongName, kBeta));
    ASSERT_TRUE(scene.window);
    HWND overlay = FindOverlay(scene.process.pid);
    ChooseListLine(scene.window, kIdSavedList, kBuiltinLines - 1);
    ASSERT_TRUE(BringToFront(scene.window));
    ClickCentreOf(Ctl(kIdSwitchHotkey));
    ASSERT_TRUE(FocusBecomes(scene.window, Ctl(kIdSwitchHotkey), kReactMs));
    PressKeys({'K'});
    ASSERT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "troca_tecla", "75", kReactMs));
    EXPECT_EQ("2", OpcoesValue("troca_mod"));

    GameScene game = StartGameBeside(scene.window);
    ASSERT_TRUE(game.window);
    CrosshairSettings alfa = kAlfa;
    alfa.offsetX = alfa.offsetY = 0;  // the player's own offsets stay
    PressKeys({VK_CONTROL, 'K'});
    EXPECT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", alfa, kReactMs));
    PressKeys({VK_CONTROL, 'K'});
    EXPECT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", kBeta, kReactMs));
    EXPECT_TRUE(WaitFor([&] { return OverlayWidth(overlay) > kOverlaySize; }, kReactMs))
        << "no name shown";
    EXPECT_EQ(kBuiltinLines + 1, SendTo(Ctl(kIdSavedList), LB_GETCURSEL, 0, 0));
    EXPECT_TRUE(WaitFor([&] { return OverlayWidth(overlay) == kOverlaySize; }, kReactMs))
        << "the name stayed";

    CreateColourWindow(kBackdrop, kBackdropRect);
    ASSERT_TRUE(TextBecomes(Ctl(kIdGameStatus), kGameAwayText, kReactMs));
    const std::string before = ReadSettingsBytes(L"config.ini");
    PressKeys({VK_CONTROL, 'K'});
    PumpFor(kQuietMs);
    EXPECT_EQ(before, ReadSettingsBytes(L"config.ini")) << "switched away from the game";
}

// ---- Each server's own crosshair ----

std::wstring ServerTitle(const wchar_t* server) {
    return std::wstring(L"FiveM® by Cfx.re - ") + server;
}

// The settings window's server line says when the program has read a new
// title; the game stays in front, the window behind it.
::testing::AssertionResult OnServer(HWND settings, HWND game, const wchar_t* server) {
    if (!SetGameTitle(game, ServerTitle(server))) {
        return ::testing::AssertionFailure() << "the title did not change";
    }
    return TextBecomes(Control(settings, kIdServerLabel), std::wstring(L"Servidor: ") + server,
                       kReactMs);
}

// A switch on one server and a switch and Ctrl+O on another are each worn
// again on arriving there, also after a restart.
TEST_F(Saved, EachServerWearsItsOwnCrosshairAgain) {
    std::string config = ConfigText();
    config.insert(config.find("[Mira]"), "troca_tecla=75\ntroca_mod=2\n");
    ASSERT_TRUE(WriteSettingsText(L"config.ini", config.c_str()));
    CrosshairSettings second = kBuiltinPresets[1].settings, third = kBuiltinPresets[2].settings;
    second.offsetX = second.offsetY = third.offsetX = third.offsetY = 0;
    Process p = StartProgramAndWait();
    HWND settings = WaitForTopLevel(ZAVIK_CLASS_SETTINGS, p.pid, kReactMs);
    ASSERT_TRUE(settings);
    GameScene game = StartGameBeside(settings);
    ASSERT_TRUE(game.window);
    ASSERT_TRUE(OnServer(settings, game.window, L"Servidor A"));
    PressKeys({VK_CONTROL, 'K'});
    ASSERT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", second, kReactMs));
    ASSERT_TRUE(OnServer(settings, game.window, L"Servidor B"));
    PressKeys({VK_CONTROL, 'K'});
    PressKeys({VK_CONTROL, 'O'});
    ASSERT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "ligada", "0", kReactMs));
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "back and forth" : "after a restart");
        if (run == 1) {
            // The game is started again, on A: the first title read is an arrival.
            PostMessageW(FindMessageWindow(p.pid), WM_COMMAND, kCmdQuit, 0);
            ASSERT_TRUE(WaitExit(p, kExitMs, nullptr));
            Kill(game.process);
            p = StartProgramAndWait(ZAVIK_TRAY_SWITCH);
            game = StartGame(L" --title \"" + ServerTitle(L"Servidor A") + L"\"");
        } else {
            ASSERT_TRUE(SetGameTitle(game.window, ServerTitle(L"Servidor A")));
        }
        // Each arrival wears that server's crosshair and flag, into config.ini.
        EXPECT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", second, kReactMs));
        EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "ligada", "1", kReactMs));
        ASSERT_TRUE(SetGameTitle(game.window, ServerTitle(L"Servidor B")));
        EXPECT_TRUE(FileHoldsCrosshair(L"config.ini", "Mira", third, kReactMs));
        EXPECT_TRUE(IniValueBecomes(L"config.ini", "Opcoes", "ligada", "0", kReactMs));
    }
}

// ---- Copying the crosshair ----

const wchar_t kCommandsCopied[] =
    L"Código da mira copiado! Dá pra mandar para um amigo colar em \"Importar mira fixa\".";
const wchar_t kShareCodeCopied[] =
    L"Código de compartilhamento copiado! Dá pra colar na importação de mira do jogo ou mandar "
    L"para um amigo colar em \"Importar mira fixa\".";

// The copy button's menu, a visible popup menu window of the program.
HWND WaitForPopupMenu(DWORD pid) {
    HWND menu = nullptr;
    WaitFor([&] {
        while ((menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(menu, &owner);
            if (owner == pid && IsWindowVisible(menu)) return true;
        }
        return false;
    }, kReactMs);
    return menu;
}

TEST_F(Saved, CopyButtonAndItsMenuCopyTheCommandsOrTheShareCode) {
    SettingsScene scene = OpenSettings({{"tamanho", "3.5"}, {"estilo_t", "1"}});
    ASSERT_TRUE(scene.window);
    CrosshairSettings s = Default();
    s.size = 3.5f;
    s.tStyle = 1;
    wchar_t line[kCodeLineChars], code[kShareCodeChars];
    FormatCrosshairCode(s, line, kCodeLineChars);
    FormatShareCode(s, GetSystemMetrics(SM_CYSCREEN), code, kShareCodeChars);  // no game yet
    HWND button = Control(scene.window, kIdCopyCode);
    EXPECT_EQ((DWORD)BS_SPLITBUTTON, StyleOf(button) & BS_TYPEMASK);
    const RECT r = WindowRect(button);
    // Wine sends BCN_DROPDOWN for a click on the arrow as Windows does, but draws
    // the arrow as a "6" (its glyph in the Marlett font, which the prefix lacks).
    const struct {
        const char* name;
        int x;  // a click there, or else the key message
        UINT message;
        WPARAM key;
        int item;  // of the menu, -1 for none
        const wchar_t *box, *clipboard;
    } rows[] = {
        {"click on the text", r.left + Scale(24), 0, 0, -1, kCommandsCopied, line},
        {"arrow, first item", r.right - Scale(6), 0, 0, 0, kCommandsCopied, line},
        {"F4, second item", 0, WM_KEYDOWN, VK_F4, 1, kShareCodeCopied, code},
        {"Alt+Down, second item", 0, WM_SYSKEYDOWN, VK_DOWN, 1, kShareCodeCopied, code},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        // Keys go to the focused control; posted to it, they arrive the same way.
        if (row.x) ClickAt(row.x, (r.top + r.bottom) / 2);
        else PostMessageW(button, row.message, row.key, 0);
        if (row.item >= 0) {
            HWND menu = WaitForPopupMenu(scene.process.pid);
            ASSERT_TRUE(menu) << "no menu";
            for (int i = 0; i <= row.item; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        }
        ASSERT_TRUE(AnswerMessageBox(scene.process.pid, row.box, IDOK));
        EXPECT_EQ(std::wstring(row.clipboard), ClipboardText());
    }
    // Once the game has been seen, the code is for the height of its client area.
    GameScene game = StartGameBeside(scene.window);
    ASSERT_TRUE(game.window);
    RECT client;
    GetClientRect(game.window, &client);
    ASSERT_NE(GetSystemMetrics(SM_CYSCREEN), client.bottom);
    FormatShareCode(s, client.bottom, code, kShareCodeChars);
    PostMessageW(scene.window, WM_COMMAND, kIdCopyShareCode, 0);
    ASSERT_TRUE(AnswerMessageBox(scene.process.pid, kShareCodeCopied, IDOK));
    EXPECT_EQ(std::wstring(code), ClipboardText());
}

}  // namespace
