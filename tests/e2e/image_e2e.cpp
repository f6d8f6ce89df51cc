// End-to-end cases of the " Imagem " tab: a PNG picked in the Open dialog is
// worn on screen, exactly centred, until "Usar a mira desenhada"; a GIF's frame
// stands where it lies on its canvas; files the program refuses show their box
// and change nothing.
#include "settings_helpers.h"

#include "base/ids.h"
#include "conformance/conformance.h"
#include "conformance/sample_images.h"
#include "crosshair/image.h"

using namespace e2e;

namespace {

using samples::kGreyJpeg;
using samples::kOffsetGif;
using samples::kWidePng;

enum { kImageTab = 3, kFileNameBox = 1148, kScreenCentreX = 960, kScreenCentreY = 540 };
const wchar_t kDialogTitle[] = L"Escolher imagem da mira";
const wchar_t kNoImageText[] = L"Nenhuma imagem: a mira é desenhada.";
// 5 x 3 RGBA of kPickedPixels (straight alpha); its centre (2, 1) is pure green.
const char kPickedPng[] =
    "89504e470d0a1a0a0000000d49484452000000050000000308060000005b36c5f80000002c4944415478da2d8b"
    "810900300cc27a9aa7799a9f65954e0483e2cc8a35fc28b99ddd0abbc3718d2492d0e303bb261fe73ede0397"
    "0000000049454e44ae426082";
const uint32_t kPickedPixels[] = {
    0x00000000, 0xFFFF0000, 0xFFFFFF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF800000, 0xFF008080, 0xFF00FF00,
    0xFF808000, 0xFF000080, 0xFFFF00FF, 0xFF00FFFF, 0xFF404040, 0xFFC0C0C0, 0xFF000000,
};


// The Open dialog, found by its title (the program's message boxes are dialogs too).
HWND FindOpenDialog(HWND settings) {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, L"#32770", kDialogTitle)) != nullptr) {
        if (GetWindow(w, GW_OWNER) == settings && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

// "Escolher imagem...", then the file's path in the dialog's name box and OK.
::testing::AssertionResult PickInOpenDialog(HWND settings, const wchar_t* file,
                                            const std::string& bytes) {
    std::wstring path = CaseTempFolder() + L"\\" + file;
    conformance::WriteBytes(path, bytes);
    PostClick(Control(settings, kIdChooseImage));
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = FindOpenDialog(settings)) != nullptr; }, kStartMs))
        return ::testing::AssertionFailure() << "no dialog titled " << Utf8(kDialogTitle);
    SetWindowTextW(GetDlgItem(dialog, kFileNameBox), path.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (WaitFor([&] { return FindOpenDialog(settings) == nullptr; }, kReactMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the dialog stayed open";
}

class ImageTab : public E2eCase {};

TEST_F(ImageTab, PickedPngIsWornOnTheCentreUntilTheDrawnCrosshairComesBack) {
    SettingsScene scene = OpenSettingsWithOverlay();
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(ClickTab(scene.window, kImageTab));
    ASSERT_TRUE(PickInOpenDialog(scene.window, L"mira.png", FromHex(kPickedPng)));
    // Opaque and clear pixels are their own premultiplied form.
    std::vector<uint32_t> pixels(std::begin(kPickedPixels), std::end(kPickedPixels));
    std::vector<uint32_t> overlay((size_t)kOverlaySize * kOverlaySize);
    RenderImage({pixels.data(), 5, 3}, kImageNativeHeight, kImageScaleDefault, 255, overlay.data(),
                kOverlaySize, kOverlaySize);
    EXPECT_TRUE(ScreenShowsImageWithin(kCentredX, kCentredY, overlay, kBackdrop, kReactMs));
    EXPECT_TRUE(PixelBecomes(kScreenCentreX, kScreenCentreY, RGB(0, 255, 0), 0));
    HWND status = Control(scene.window, kIdImageStatus);
    EXPECT_TRUE(TextBecomes(status, L"mira.png — 5 × 3 pixels, 5 × 3 na tela", kReactMs));
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Mira", "imagem", "mira.png", kReactMs));
    EXPECT_EQ(FromHex(kPickedPng), ReadFileBytes(SettingsFolder() + L"\\imagens\\mira.png"));
    EXPECT_FALSE(IsWindowEnabled(Control(scene.window, kIdSliderSize)));
    // No code describes an image: the copy button says so and copies nothing.
    const std::wstring clipboard = ClipboardText();
    PostClick(Control(scene.window, kIdCopyCode));
    EXPECT_TRUE(AnswerMessageBox(scene.process.pid,
                                 L"Uma mira de imagem não vira código. Use a mira desenhada "
                                 L"para copiar um código.",
                                 IDOK));
    EXPECT_EQ(Utf8(clipboard), Utf8(ClipboardText()));

    Click(Control(scene.window, kIdUseDrawn));
    EXPECT_TRUE(OverlayShows(kBuiltinPresets[0].settings, kReactMs));
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Mira", "imagem", "", kReactMs));
    EXPECT_TRUE(TextBecomes(status, kNoImageText, kReactMs));
    EXPECT_TRUE(IsWindowEnabled(Control(scene.window, kIdSliderSize)));
}

// The canvas's middle pixel (8, 8) sits on the screen's centre, so the frame
// covers 964-967 x 544-547 and the canvas around it shows the backdrop.
TEST_F(ImageTab, GifFrameStandsAtItsOffsetOnItsCanvas) {
    SettingsScene scene = OpenSettingsWithOverlay();
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(ClickTab(scene.window, kImageTab));
    ASSERT_TRUE(PickInOpenDialog(scene.window, L"deslocada.gif", FromHex(kOffsetGif)));
    EXPECT_TRUE(PixelBecomes(964, 544, RGB(255, 0, 0), kReactMs));
    EXPECT_TRUE(PixelBecomes(967, 547, RGB(255, 0, 0), 0));
    EXPECT_TRUE(PixelBecomes(963, 544, kBackdrop, 0));
    EXPECT_TRUE(PixelBecomes(kScreenCentreX, kScreenCentreY, kBackdrop, 0));
}

TEST_F(ImageTab, RefusedFilesShowTheirBoxAndChangeNothing) {
    struct Row {
        const wchar_t* file;
        std::string bytes;
        const wchar_t* box;
    };
    const Row rows[] = {
        {L"cortada.png", FromHex(kPickedPng).substr(0, 50),
         L"Não consegui abrir essa imagem. Use um arquivo PNG, BMP, GIF ou ICO."},
        {L"larga.png", FromHex(kWidePng),
         L"Essa imagem é grande demais: o limite é 256 × 256 pixels."},
        {L"cinza.jpg", FromHex(kGreyJpeg),
         L"Não consegui abrir essa imagem. Use um arquivo PNG, BMP, GIF ou ICO."},
    };
    SettingsScene scene = OpenSettingsWithOverlay();
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(ClickTab(scene.window, kImageTab));
    const std::string before = ReadSettingsBytes(L"config.ini");
    for (const Row& row : rows) {
        SCOPED_TRACE(Utf8(row.file));
        ASSERT_TRUE(PickInOpenDialog(scene.window, row.file, row.bytes));
        EXPECT_TRUE(AnswerMessageBox(scene.process.pid, row.box, IDOK));
        PumpFor(kQuietMs);
        EXPECT_EQ(before, ReadSettingsBytes(L"config.ini"));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
                  GetFileAttributesW((SettingsFolder() + L"\\imagens").c_str()));
        EXPECT_TRUE(OverlayShows(kBuiltinPresets[0].settings, 0));
        EXPECT_TRUE(TextBecomes(Control(scene.window, kIdImageStatus), kNoImageText, 0));
    }
}

}  // namespace
