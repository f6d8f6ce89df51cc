// End-to-end cases of the " Imagem " tab: a PNG picked in the Open dialog is
// worn on screen, exactly centred, until "Usar a mira desenhada"; files the
// program refuses show their box and change nothing.
#include "settings_helpers.h"

#include "base/ids.h"
#include "conformance/conformance.h"
#include "crosshair/image.h"

using namespace e2e;

namespace {

enum {
    kImageTab = 3,
    kFileNameBox = 1148,  // the Open dialog's file name box (an editable combo box)
    kFileTypeList = 1136,  // its list of filters
    kScreenCentreX = 960, kScreenCentreY = 540,  // of the 1920 x 1080 display
};
const wchar_t kDialogTitle[] = L"Escolher imagem da mira";
const wchar_t* const kFilters[] = {L"Imagens (*.png;*.bmp;*.gif;*.ico)",
                                   L"Todos os arquivos (*.*)"};
const wchar_t kNoImageText[] = L"Nenhuma imagem: a mira é desenhada.";

// The Open dialog of the process, owned by the settings window and found by
// its title (the program's message boxes are dialogs it owns too).
HWND FindOpenDialog(HWND settings) {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, L"#32770", kDialogTitle)) != nullptr) {
        if (GetWindow(w, GW_OWNER) == settings && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

// "Escolher imagem..." opens the dialog with its title and filters; the path
// typed into its file name box and OK pick the file.
::testing::AssertionResult PickInOpenDialog(HWND settings, const std::wstring& path) {
    PostClick(Control(settings, kIdChooseImage));
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = FindOpenDialog(settings)) != nullptr; }, kStartMs))
        return ::testing::AssertionFailure()
               << "\"Escolher imagem...\" opened no dialog titled " << Utf8(kDialogTitle);
    HWND types = GetDlgItem(dialog, kFileTypeList);
    for (int i = 0; i < 2; ++i) {
        wchar_t line[64] = L"";
        SendTo(types, CB_GETLBTEXT, i, (LPARAM)line);
        if (kFilters[i] != std::wstring(line))
            return ::testing::AssertionFailure() << "filter " << i << " reads " << Utf8(line);
    }
    SetWindowTextW(GetDlgItem(dialog, kFileNameBox), path.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (!WaitFor([&] { return FindOpenDialog(settings) == nullptr; }, kReactMs))
        return ::testing::AssertionFailure() << "the dialog stayed open";
    return ::testing::AssertionSuccess();
}

std::wstring TempFile(const wchar_t* name, const std::string& bytes) {
    std::wstring path = CaseTempFolder() + L"\\" + name;
    conformance::WriteBytes(path, bytes);
    return path;
}

class ImageTab : public E2eCase {};

TEST_F(ImageTab, PickedPngIsWornOnTheCentreUntilTheDrawnCrosshairComesBack) {
    // Odd sides: pixel (2, 1), pure green, is the centre; one corner is clear.
    const std::vector<uint32_t> pixels = {
        0x00000000, 0xFFFF0000, 0xFFFFFF00, 0xFF0000FF, 0xFFFFFFFF,
        0xFF800000, 0xFF008080, 0xFF00FF00, 0xFF808000, 0xFF000080,
        0xFFFF00FF, 0xFF00FFFF, 0xFF404040, 0xFFC0C0C0, 0xFF000000,
    };
    const std::string bytes = PngBytes(5, 3, pixels);
    const std::wstring source = TempFile(L"mira.png", bytes);
    SettingsScene scene = OpenSettingsWithOverlay();
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(ClickTab(scene.window, kImageTab));
    ASSERT_TRUE(PickInOpenDialog(scene.window, source));

    // Opaque or clear pixels are premultiplied as they are.
    std::vector<uint32_t> premultiplied = pixels;
    CrosshairImage image = {premultiplied.data(), 5, 3};
    std::vector<uint32_t> overlay((size_t)kOverlaySize * kOverlaySize);
    RenderImage(image, kImageNativeHeight, kImageScaleDefault, 255, overlay.data(), kOverlaySize,
                kOverlaySize);
    EXPECT_TRUE(ScreenShowsImageWithin(kCentredX, kCentredY, overlay, kBackdrop, kReactMs));
    EXPECT_TRUE(PixelBecomes(kScreenCentreX, kScreenCentreY, RGB(0, 255, 0), 0));
    EXPECT_TRUE(TextBecomes(Control(scene.window, kIdImageStatus),
                            L"mira.png — 5 × 3 pixels, 5 × 3 na tela", kReactMs));
    EXPECT_TRUE(IniValueBecomes(L"config.ini", "Mira", "imagem", "mira.png", kReactMs));
    EXPECT_EQ("100", MiraValue("escala_imagem"));
    EXPECT_EQ(bytes, ReadFileBytes(SettingsFolder() + L"\\imagens\\mira.png"));
    EXPECT_FALSE(IsWindowEnabled(Control(scene.window, kIdSliderSize)));
    EXPECT_TRUE(IsWindowEnabled(Control(scene.window, kIdSliderImageScale)));

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
    EXPECT_EQ("", MiraValue("escala_imagem"));
    EXPECT_TRUE(TextBecomes(Control(scene.window, kIdImageStatus), kNoImageText, kReactMs));
    EXPECT_TRUE(IsWindowEnabled(Control(scene.window, kIdSliderSize)));
    EXPECT_FALSE(IsWindowEnabled(Control(scene.window, kIdUseDrawn)));
}

TEST_F(ImageTab, RefusedFilesShowTheirBoxAndChangeNothing) {
    struct Row {
        const wchar_t* file;
        std::string bytes;
        const wchar_t* box;
    };
    const Row rows[] = {
        {L"cortada.png", PngBytes(3, 3, std::vector<uint32_t>(9, 0xFFFFFFFF)).substr(0, 50),
         L"Não consegui abrir essa imagem. Use um arquivo PNG, BMP, GIF ou ICO."},
        {L"larga.png", PngBytes(257, 1, std::vector<uint32_t>(257, 0xFFFFFFFF)),
         L"Essa imagem é grande demais: o limite é 256 × 256 pixels."},
    };
    SettingsScene scene = OpenSettingsWithOverlay();
    ASSERT_TRUE(scene.window);
    ASSERT_TRUE(ClickTab(scene.window, kImageTab));
    const std::string before = ReadSettingsBytes(L"config.ini");
    for (const Row& row : rows) {
        SCOPED_TRACE(Utf8(row.file));
        ASSERT_TRUE(PickInOpenDialog(scene.window, TempFile(row.file, row.bytes)));
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
