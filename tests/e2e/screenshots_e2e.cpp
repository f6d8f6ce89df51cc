// The picture-taking driver of tests/e2e/screenshots.sh, not a test: disabled,
// so only a run with --gtest_also_run_disabled_tests (the script's) starts it.
// It opens the settings window on each tab (the " Imagem " tab wearing a
// small ring), and the crosshair over a fake game, waits until the screen stops changing, and writes the whole screen as
// a PPM file plus one crop line ("name WxH+X+Y scale%") for ImageMagick into
// the folder named by ZAVIK_SHOTS.
#include "settings_helpers.h"

#include <stdio.h>
#include <stdlib.h>

#include "conformance/conformance.h"
#include "state/identity.h"

using namespace e2e;

namespace {

const wchar_t kFolderVariable[] = L"ZAVIK_SHOTS";
const wchar_t kCropsFile[] = L"crops.txt";
const wchar_t kTraySwitch[] = ZAVIK_TRAY_SWITCH;
const char* const kTabNames[] = {"mira", "miras-salvas", "configuracoes", "imagem"};
enum { kDrawnTabs = 3, kImageTab = 3, kSettleMs = 5000, kSettledFrames = 3 };
// A cyan ring with a centre dot, 15 x 15, worn at twice its size.
const char kRingPng[] =
    "89504e470d0a1a0a0000000d494844520000000f0000000f08060000003bd6954a000000434944415478da63"
    "60c007feffffcf40120069c085c9d688d700420a70ca13eb34acea88f2132eb5646bc6e7645c62580da0afb3"
    "290e6d8ae299e2144671da26315701003618f20ebfe19e470000000049454e44ae426082";
const char kImageKeys[] = "imagem=mira.png\nescala_imagem=200\n";
// A fake game in a muted green, like a daytime scene, so the white crosshair reads.
const wchar_t kGameArguments[] =
    L"--class grcWindow --x 100 --y 50 --w 1280 --h 720 --colour 4F6B4A";
const RECT kGameRect = {100, 50, 1380, 770};
// The middle of the game, magnified so that single pixels show.
const RECT kGameMiddle = {700, 370, 780, 450};
enum { kMiddleScale = 600 };
const char kSavedExamples[] =
    "[Minha mira]\ntamanho=2.000\nespacamento=1.000\nespessura=1.000\ncontorno=1\n"
    "espessura_contorno=1.000\nponto=1\nestilo_t=0\ncor_r=50\ncor_g=250\ncor_b=50\n"
    "opacidade=255\nposicao_x=0\nposicao_y=0\n"
    "[Treino]\ntamanho=3.000\nespacamento=-1.000\nespessura=1.500\ncontorno=0\n"
    "espessura_contorno=1.000\nponto=0\nestilo_t=1\ncor_r=255\ncor_g=64\ncor_b=200\n"
    "opacidade=200\nposicao_x=0\nposicao_y=0\n";

std::wstring ShotsFolder() {
    const wchar_t* folder = _wgetenv(kFolderVariable);
    std::wstring path = folder ? folder : L"";
    // A Unix path from the script: Wine shows the root of the file system as Z:.
    if (!path.empty() && path[0] == L'/') {
        for (wchar_t& c : path) {
            if (c == L'/') c = L'\\';
        }
        path = L"Z:" + path;
    }
    return path;
}

bool CaptureWholeScreen(Capture* cap) {
    return CaptureScreen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), cap);
}

// The screen once it has shown the same pixels for a few captures in a row.
bool SettledScreen(Capture* out) {
    int same = 0;
    Capture previous;
    WaitFor([&] {
        Capture now;
        if (!CaptureWholeScreen(&now)) return false;
        same = now.pixels == previous.pixels ? same + 1 : 0;
        previous = now;
        return same >= kSettledFrames;
    },
            kSettleMs);
    *out = previous;
    return !out->pixels.empty();
}

::testing::AssertionResult SaveShot(const std::string& name, const RECT& crop,
                                    int scalePercent = 100) {
    std::wstring folder = ShotsFolder();
    if (folder.empty())
        return ::testing::AssertionFailure() << "set ZAVIK_SHOTS to the folder for the pictures";
    Capture cap;
    if (!SettledScreen(&cap)) return ::testing::AssertionFailure() << "cannot capture the screen";
    std::wstring ppm = folder + L"\\" + Wide(name) + L".ppm";
    FILE* f = _wfopen(ppm.c_str(), L"wb");
    if (!f) return ::testing::AssertionFailure() << "cannot write " << Utf8(ppm);
    fprintf(f, "P6\n%d %d\n255\n", cap.width, cap.height);
    std::vector<unsigned char> row((size_t)cap.width * 3);
    for (int y = 0; y < cap.height; ++y) {
        for (int x = 0; x < cap.width; ++x) {
            uint32_t p = cap.pixels[(size_t)y * cap.width + x];
            row[(size_t)x * 3] = (unsigned char)(p >> 16);
            row[(size_t)x * 3 + 1] = (unsigned char)(p >> 8);
            row[(size_t)x * 3 + 2] = (unsigned char)p;
        }
        fwrite(row.data(), 1, row.size(), f);
    }
    fclose(f);
    FILE* crops = _wfopen((folder + L"\\" + kCropsFile).c_str(), L"ab");
    if (!crops) return ::testing::AssertionFailure() << "cannot write the crop list";
    fprintf(crops, "%s %ldx%ld+%ld+%ld %d%%\n", name.c_str(), crop.right - crop.left,
            crop.bottom - crop.top, crop.left, crop.top, scalePercent);
    fclose(crops);
    return ::testing::AssertionSuccess();
}

class DISABLED_Screenshots : public E2eCase {};

TEST_F(DISABLED_Screenshots, SettingsTabs) {
    ASSERT_TRUE(WriteSettingsText(L"miras.ini", kSavedExamples));
    SettingsScene scene = OpenSettings();
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(BringToFront(scene.window));
    const std::string dpi = std::to_string(ScreenDpi());
    for (int tab = 0; tab < kDrawnTabs; ++tab) {
        SCOPED_TRACE(kTabNames[tab]);
        ASSERT_TRUE(ClickTab(scene.window, tab));
        ParkCursor();
        EXPECT_TRUE(SaveShot(std::string("settings-") + kTabNames[tab] + "-" + dpi,
                             WindowRect(scene.window)));
    }
}

TEST_F(DISABLED_Screenshots, ImageTab) {
    CreateDirectoryW((SettingsFolder() + L"\\imagens").c_str(), nullptr);
    conformance::WriteBytes(SettingsFolder() + L"\\imagens\\mira.png", FromHex(kRingPng));
    ASSERT_TRUE(WriteSettingsText(L"config.ini", (ConfigText() + kImageKeys).c_str()));
    Process p = StartProgramAndWait();
    ASSERT_TRUE(p.process);
    HWND window = WaitForTopLevel(ZAVIK_CLASS_SETTINGS, p.pid, kReactMs);
    ASSERT_TRUE(window);
    ASSERT_TRUE(ClickTab(window, kImageTab));
    ParkCursor();
    EXPECT_TRUE(SaveShot(std::string("settings-") + kTabNames[kImageTab] + "-" +
                             std::to_string(ScreenDpi()),
                         WindowRect(window)));
}

TEST_F(DISABLED_Screenshots, CrosshairOverGame) {
    ASSERT_TRUE(WriteSettingsText(L"config.ini", ConfigText().c_str()));
    Process p = StartProgramAndWait(kTraySwitch);
    ASSERT_TRUE(p.process);
    HWND overlay = WaitForTopLevel(ZAVIK_CLASS_OVERLAY, p.pid, kReactMs);
    Process game = Start(HelperPath(L"fakegame.exe"), kGameArguments);
    HWND window = WaitForTopLevel(L"grcWindow", game.pid, kStartMs);
    ASSERT_TRUE(window);
    ASSERT_TRUE(BringToFront(window));
    ASSERT_TRUE(BecomesVisible(overlay, true, kReactMs));
    ParkCursor();
    EXPECT_TRUE(SaveShot("crosshair-over-game", kGameRect));
    EXPECT_TRUE(SaveShot("crosshair-over-game-magnified", kGameMiddle, kMiddleScale));
}

}  // namespace
