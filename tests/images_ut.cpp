// The image folder: the names a chosen file is kept under, the numbered names
// and the reuse of an identical copy, and what a choice of file answers.
#include <png.h>
#include <string.h>
#include <sys/time.h>
#include <time.h>

#include <string>
#include <vector>

#include "base/wtext.h"
#include "conformance/conformance.h"
#include "overlay/placement.h"
#include "overlay/worn_image.h"
#include "state/change.h"
#include "storage/images.h"
#include "storage/profile.h"

namespace {

using conformance::FileExists;
using conformance::ReadBytes;
using conformance::SameText;
using conformance::TempDir;
using conformance::WriteBytes;

// An opaque w x h PNG whose pixels all have the given blue value.
std::string Png(int w, int h, unsigned char blue) {
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = w;
    image.height = h;
    image.format = PNG_FORMAT_BGRA;
    std::vector<unsigned char> pixels((size_t)w * h * 4, 255);
    for (size_t i = 0; i < pixels.size(); i += 4) pixels[i] = blue;
    std::vector<unsigned char> out(1 << 16);
    png_alloc_size_t size = out.size();
    png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr);
    return std::string((const char*)out.data(), size);
}

struct NameRow {
    std::wstring source;
    int number;
    std::wstring expected;
};

TEST(ImageNames, KeptUnderTheFilesOwnNameMadeSafeAndNumbered) {
    const std::wstring longStem(200, L'a');
    const NameRow rows[] = {
        {L"C:\\Users\\Ana\\Desktop\\mira.png", 1, L"mira.png"},
        {L"C:\\Users\\Ana\\Desktop\\mira.png", 2, L"mira (2).png"},
        {L"/home/ana/mira.tar.gz", 12, L"mira.tar (12).gz"},
        {L"sem extensao", 3, L"sem extensao (3)"},
        {L".png", 2, L".png (2)"},
        {L"mira..final...png", 1, L"mira.final.png"},
        {L"a:b|c.png", 1, L"a_b_c.png"},
        {L"mira.png. . ", 1, L"mira.png"},
        {L"C:\\Imagens\\ mira.png", 1, L" mira.png"},
        {L"C:\\Imagens\\'mira.png'", 1, L"'mira.png'"},
        {L"C:\\Imagens\\\"mira\".png", 1, L"_mira_.png"},
        {L"C:\\Imagens\\mira.png ", 1, L"mira.png"},
        {L"...", 1, L"imagem"},
        {L"pasta\\", 1, L"imagem"},
        {longStem + L".png", 999, std::wstring(117, L'a') + L" (999).png"},
    };
    for (const NameRow& row : rows) {
        SCOPED_TRACE(conformance::Show(row.source));
        wchar_t base[kImageNameChars], name[kImageNameChars];
        StoredImageName(row.source.c_str(), base);
        ASSERT_TRUE(NumberedImageName(base, row.number, name));
        EXPECT_TRUE(SameText(name, row.expected));
        EXPECT_TRUE(IsSafeImageName(name));
    }
}

TEST(ImageNames, LongPathsOpenInTheirLongForm) {
    const std::wstring deep = L"\\pasta" + std::wstring(260, L'a') + L"\\mira.png";
    const NameRow rows[] = {
        {L"C:\\mira.png", 0, L"C:\\mira.png"},
        {L"C:" + deep, 0, L"\\\\?\\C:" + deep},
        {L"\\\\servidor\\jogos" + deep, 0, L"\\\\?\\UNC\\servidor\\jogos" + deep},
        {L"\\\\?\\C:" + deep, 0, L"\\\\?\\C:" + deep},
    };
    for (const NameRow& row : rows) {
        SCOPED_TRACE(conformance::Show(row.source.substr(0, 24)));
        std::vector<wchar_t> out(kLongPathChars);
        ASSERT_TRUE(LongPathForm(row.source.c_str(), out.data()));
        EXPECT_TRUE(SameText(out.data(), row.expected));
    }
}

class ImageFolder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.ok()); }
    std::wstring Stored(const wchar_t* name) const {
        return dir_.Path(L"imagens") + kProfilePathSeparator + name;
    }
    // Chooses a file holding bytes; returns the stored name, or "" with the choice.
    std::wstring Choose(const std::string& bytes, ImageChoice expected = kImageChosen) {
        const std::wstring source = dir_.Path(L"mira.png");
        WriteBytes(source, bytes);
        wchar_t name[kImageNameChars] = L"";
        CrosshairImage image = {};
        EXPECT_EQ(expected, ChooseImageFile(source.c_str(), dir_.Path(L"").c_str(), name, &image));
        EXPECT_EQ(expected == kImageChosen, ImageIsUsable(image));
        FreeCrosshairImage(&image);
        return name;
    }
    TempDir dir_;
};

TEST_F(ImageFolder, SameBytesReuseTheirFileAndOthersGetTheNextNumber) {
    const std::string first = Png(2, 1, 10), second = Png(2, 1, 20), third = Png(3, 1, 30);
    EXPECT_TRUE(SameText(Choose(first), L"mira.png"));
    EXPECT_TRUE(SameText(Choose(second), L"mira (2).png"));
    EXPECT_TRUE(SameText(Choose(first), L"mira.png"));
    EXPECT_TRUE(SameText(Choose(second), L"mira (2).png"));
    // A copy a crash left is passed over and kept.
    WriteBytes(Stored(L"mira (3).png.tmp"), "half");
    EXPECT_TRUE(SameText(Choose(third), L"mira (4).png"));
    EXPECT_EQ("half", ReadBytes(Stored(L"mira (3).png.tmp")));
    EXPECT_EQ(first, ReadBytes(Stored(L"mira.png")));
    EXPECT_EQ(third, ReadBytes(Stored(L"mira (4).png")));
    EXPECT_FALSE(FileExists(Stored(L"mira (4).png.tmp")));
    // One over a minute old is cleared, and its name taken.
    WriteBytes(Stored(L"mira (5).png.tmp"), "old");
    const struct timeval old[2] = {{time(nullptr) - 61, 0}, {time(nullptr) - 61, 0}};
    ASSERT_EQ(0, utimes(TempDir::Narrow(Stored(L"mira (5).png.tmp")).c_str(), old));
    EXPECT_TRUE(SameText(Choose(Png(5, 1, 50)), L"mira (5).png"));
    EXPECT_FALSE(FileExists(Stored(L"mira (5).png.tmp")));
}

TEST_F(ImageFolder, ChoicesThatChangeNothing) {
    Choose(std::string(kImageFileMaxBytes + 1, 'x'), kImageChoiceTooBig);
    Choose(Png(257, 1, 0), kImageChoiceTooBig);
    Choose("not an image", kImageChoiceUnreadable);
    EXPECT_FALSE(FileExists(dir_.Path(L"imagens")));
    WriteBytes(dir_.Path(L"imagens"), "a file where the folder goes");
    Choose(Png(2, 1, 0), kImageChoiceNotStored);
}

TEST_F(ImageFolder, TheWornImageIsLoadedOncePerName) {
    ASSERT_TRUE(SameText(Choose(Png(3, 2, 40)), L"mira.png"));
    CrosshairSettings crosshair = kBuiltinPresets[0].settings;
    WornImage worn = {};
    EXPECT_FALSE(UpdateWornImage(&worn, dir_.Path(L"").c_str(), crosshair));
    SetCrosshairImage(&crosshair, L"mira.png");
    ASSERT_TRUE(UpdateWornImage(&worn, dir_.Path(L"").c_str(), crosshair));
    EXPECT_EQ(3, worn.image.width);
    EXPECT_EQ(0xFFFFFF28u, worn.image.pixels[0]);
    SetCrosshairImage(&crosshair, L"sumiu.png");
    EXPECT_FALSE(UpdateWornImage(&worn, dir_.Path(L"").c_str(), crosshair));
    ReleaseWornImage(&worn);
}

// The overlay and the preview draw the worn image while its file reads, on a
// canvas grown to hold it, and the drawn crosshair otherwise.
TEST_F(ImageFolder, TheCurrentCrosshairIsTheWornImageWhileItsFileReads) {
    ASSERT_TRUE(SameText(Choose(Png(200, 100, 40)), L"mira.png"));
    CopyW(g_paths.folder, kPathChars, dir_.Path(L"").c_str());
    struct Row {
        const wchar_t* image;
        int32_t height, scale, side;
        bool found;
    } rows[] = {{L"mira.png", 1080, 100, kOverlaySize, true},
                {L"mira.png", 2160, 150, 600, true},
                {L"sumiu.png", 2160, 150, kOverlaySize, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << conformance::Show(row.image) << " at " << row.height);
        CrosshairSettings worn = g_crosshair;
        SetCrosshairImage(&worn, row.image);
        worn.imageScale = row.scale;
        ChangeCrosshair(worn, kCrosshairImageSet);
        ASSERT_EQ(row.side, CurrentCanvasSide(row.height));
        std::vector<uint32_t> canvas((size_t)row.side * row.side), expected(canvas.size());
        RenderCurrentCrosshair(canvas.data(), row.side, row.side, row.height);
        ASSERT_EQ(row.found, CurrentWornImage() != nullptr);
        if (row.found)
            RenderImage(*CurrentWornImage(), row.height, row.scale, 255, expected.data(), row.side,
                        row.side);
        else
            RenderCrosshair(g_crosshair, expected.data(), row.side, row.side, row.height);
        EXPECT_EQ(expected, canvas);
        const size_t centre = (size_t)(row.side / 2) * row.side + row.side / 2;
        EXPECT_EQ(row.found, canvas[centre] == 0xFFFFFF28u);
    }
    ReleaseCurrentWornImage();
    ChangeCrosshair(kBuiltinPresets[0].settings, kCrosshairRestored);
    g_paths.folder[0] = 0;
}

}  // namespace
