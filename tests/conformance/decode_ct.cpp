// Decoding image bytes, checked against whichever decoder is linked: the
// Imaging Component under Windows or Wine, or the host's libpng stand-in. The
// host reads PNG only, so the rows of the other formats run on Windows alone.
#include <stdint.h>

#include <string>

#include "conformance.h"
#include "sample_images.h"
#include "crosshair/image_decode.h"

namespace samples {
const char kWidePng[] =
    "89504e470d0a1a0a0000000d4948445200000101000000010800000000fbf044950000000c4944415478da63"
    "6018e900000102000116e0d52a0000000049454e44ae426082";

const char kOffsetGif[] =
    "47494638396110001000800000000000ff00002c0c000c000400040000020d0cc3300cc3300cc3300cc33005"
    "003b";

const char kGreyJpeg[] =
    "ffd8ffe000104a46494600010100000100010000ffdb004300100b0c0e0c0a100e0d0e1211101318281a1816"
    "16183123251d283a333d3c3933383740485c4e404457453738506d51575f626768673e4d71797064785c6567"
    "63ffc0000b080001000101011100ffc40014000100000000000000000000000000000001ffc4001410010000"
    "0000000000000000000000000000ffda0008010100003f001fffd9";
}  // namespace samples

namespace {
using samples::kGreyJpeg;
using samples::kOffsetGif;
using samples::kWidePng;

// Tiny files made for these rows, as hexadecimal.
// 2 x 1 RGBA: opaque red, then white at alpha 128.
const char kPixelsPng[] =
    "89504e470d0a1a0a0000000d4948445200000002000000010806000000f4227f8a0000000f4944415478da63"
    "f8cfc0f01f081a001673057c9fecbd950000000049454e44ae426082";
#ifdef _WIN32
// 2 x 1, 24 bits: blue, green.
const char kPixelsBmp[] =
    "424d3e0000000000000036000000280000000200000001000000010018000000000008000000130b0000130b"
    "00000000000000000000ff000000ff000000";
// Two frames of 2 x 1: red, then blue.
const char kFramesGif[] =
    "47494638396102000100f00000ff000000000021f904000a00000021ff0b4e45545343415045322e30030100"
    "00002c0000000002000100000202040a0021f904000a0000002c0000000002000100800000ff000000020204"
    "0a003b";
// Three 32-bit images: 1 x 1 red, 3 x 3 green, 2 x 2 blue.
const char kSizesIco[] =
    "0000010003000101000001002000300000003600000003030000010020005800000066000000020200000100"
    "200040000000be00000028000000010000000200000001002000000000000000000000000000000000000000"
    "0000000000000000ffff00000000280000000300000006000000010020000000000000000000000000000000"
    "0000000000000000000000ff00ff00ff00ff00ff00ff00ff00ff00ff00ff00ff00ff00ff00ff00ff00ff00ff"
    "00ff000000000000000000000000280000000200000004000000010020000000000000000000000000000000"
    "00000000000000000000ff0000ffff0000ffff0000ffff0000ff0000000000000000";
#endif

std::string FromHex(const char* hex) {
    std::string bytes;
    for (; hex[0] && hex[1]; hex += 2) bytes += (char)std::stoi(std::string(hex, 2), nullptr, 16);
    return bytes;
}

struct DecodeRow {
    const char* name;
    std::string bytes;
    ImageDecodeResult result;
    int w, h;
    uint32_t first, last;  // premultiplied BGRA of the first and last pixel
};

TEST(ImageDecode, Rows) {
    const DecodeRow rows[] = {
        {"PNG, premultiplied", FromHex(kPixelsPng), kImageDecoded, 2, 1, 0xFFFF0000u, 0x80808080u},
        {"PNG a pixel too wide", FromHex(kWidePng), kImageTooBig, 0, 0, 0, 0},
        {"PNG cut short", FromHex(kPixelsPng).substr(0, 50), kImageUnreadable, 0, 0, 0, 0},
        {"not an image", "Zavik Crosshair", kImageUnreadable, 0, 0, 0, 0},
        {"nothing", "", kImageUnreadable, 0, 0, 0, 0},
        {"over 4 MiB", std::string(kImageFileMaxBytes + 1, '\0'), kImageTooBig, 0, 0, 0, 0},
#ifdef _WIN32
        {"BMP", FromHex(kPixelsBmp), kImageDecoded, 2, 1, 0xFF0000FFu, 0xFF00FF00u},
        {"GIF: the first frame", FromHex(kFramesGif), kImageDecoded, 2, 1, 0xFFFF0000u,
         0xFFFF0000u},
        {"GIF: the frame at its offset on its screen", FromHex(kOffsetGif), kImageDecoded, 16,
         16, 0u, 0xFFFF0000u},
        {"JPEG refused", FromHex(kGreyJpeg), kImageUnreadable, 0, 0, 0, 0},
        {"ICO: the largest image", FromHex(kSizesIco), kImageDecoded, 3, 3, 0xFF00FF00u,
         0xFF00FF00u},
#endif
    };
    for (const DecodeRow& row : rows) {
        SCOPED_TRACE(row.name);
        CrosshairImage image = {};
        EXPECT_EQ(row.result, DecodeImage((const unsigned char*)row.bytes.data(), row.bytes.size(),
                                          &image));
        EXPECT_EQ(row.w, image.width);
        EXPECT_EQ(row.h, image.height);
        EXPECT_EQ(row.result == kImageDecoded, image.pixels != nullptr);
        if (image.pixels) {
            EXPECT_EQ(row.first, image.pixels[0]);
            EXPECT_EQ(row.last, image.pixels[row.w * row.h - 1]);
        }
        FreeCrosshairImage(&image);
    }
}

}  // namespace
