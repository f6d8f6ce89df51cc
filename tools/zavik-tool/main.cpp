// zavik-tool: the developer's view of the portable core. Renders a crosshair
// to PNG or raw pixels, shows what the code reader makes of a text, and prints
// the code line of a crosshair, all with the program's own reading rules.
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include "codes/codes.h"
#include "codes/sharecode.h"
#include "crosshair/crosshair.h"
#include "crosshair/image_decode.h"
#include "overlay/placement.h"
#include "storage/settings.h"
#include "tool.h"

namespace {

const int kExitBadUse = 2;
const int kRenderSize = kOverlaySize;  // the overlay's buffer while it draws its own crosshair
// One line, like every complaint of the tool.
const char kUsage[] =
    "usage: zavik-tool render --height H [--ini FILE [--section NAME]] [--code FILE]"
    " [--image FILE [--image-scale P]] [--out FILE]"
    " | parse [--ini FILE [--section NAME]] < text | export [--format commands|share] [--height H]"
    " [--ini FILE [--section NAME]] [--code FILE]";
const int kDefaultExportHeight = kDefaultScreenHeight;

enum OptionBit {
    kOptHeight = 1, kOptIni = 2, kOptSection = 4, kOptCode = 8, kOptOut = 16, kOptFormat = 32,
    kOptImage = 64, kOptImageScale = 128,
};

struct OptionName {
    const char* name;
    int bit;
};
const OptionName kOptionNames[] = {
    {"--height", kOptHeight}, {"--ini", kOptIni},  {"--section", kOptSection},
    {"--code", kOptCode},     {"--out", kOptOut},      {"--format", kOptFormat},
    {"--image", kOptImage},   {"--image-scale", kOptImageScale},
};

struct ToolArgs {
    int given;  // OptionBit set
    const char* height;
    const char* ini;
    const char* section;
    const char* code;
    const char* out;
    const char* format;
    const char* image;
    const char* imageScale;
};

int Fail(const char* format, ...) {
    fputs("zavik-tool: ", stderr);
    va_list ap;
    va_start(ap, format);
    vfprintf(stderr, format, ap);
    va_end(ap);
    fputc('\n', stderr);
    return kExitBadUse;
}

const char** SlotOf(ToolArgs* args, int bit) {
    switch (bit) {
        case kOptHeight: return &args->height;
        case kOptIni: return &args->ini;
        case kOptSection: return &args->section;
        case kOptCode: return &args->code;
        case kOptFormat: return &args->format;
        case kOptImage: return &args->image;
        case kOptImageScale: return &args->imageScale;
        default: return &args->out;
    }
}

// Reads "--name value" pairs allowed by the subcommand; false after reporting.
bool ReadArgs(int argc, char** argv, int allowed, ToolArgs* args) {
    memset(args, 0, sizeof *args);
    for (int i = 2; i < argc; i += 2) {
        int bit = 0;
        for (const OptionName& option : kOptionNames) {
            if (strcmp(argv[i], option.name) == 0) bit = option.bit;
        }
        if (!(bit & allowed)) {
            Fail("unknown argument for %s: %s", argv[1], argv[i]);
            return false;
        }
        if (i + 1 >= argc) {
            Fail("%s needs a value", argv[i]);
            return false;
        }
        *SlotOf(args, bit) = argv[i + 1];
        args->given |= bit;
    }
    if ((args->given & kOptSection) && !(args->given & kOptIni)) {
        Fail("--section needs --ini");
        return false;
    }
    if ((args->given & kOptImageScale) && !(args->given & kOptImage)) {
        Fail("--image-scale needs --image");
        return false;
    }
    return true;
}

// The first built-in, then the INI section over it. The INI layer answers
// defaults for a file it cannot open, so a wrong path is caught here first.
bool LoadCrosshair(const ToolArgs& args, CrosshairSettings* crosshair) {
    *crosshair = kBuiltinPresets[0].settings;
    if (!args.ini) return true;
    FILE* probe = fopen(args.ini, "rb");
    if (!probe) {
        Fail("cannot open %s", args.ini);
        return false;
    }
    fclose(probe);
    std::wstring file = WideFromUtf8(args.ini);
    std::wstring section = args.section ? WideFromUtf8(args.section) : kSectionCrosshair;
    ReadCrosshairSection(file.c_str(), section.c_str(), crosshair);
    return true;
}

// The crosshair of LoadCrosshair with the text of --code, when given, read
// over it, as an import over a worn crosshair.
bool LoadCrosshairAndCode(const ToolArgs& args, CrosshairSettings* crosshair) {
    if (!LoadCrosshair(args, crosshair)) return false;
    if (!args.code) return true;
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(args.code, &bytes)) {
        Fail("cannot read %s", args.code);
        return false;
    }
    std::wstring text = DecodeText(bytes);
    ParseCrosshairCode(text.c_str(), crosshair);
    return true;
}

bool ParseHeight(const char* text, int32_t* height) {
    char* end = nullptr;
    long v = strtol(text, &end, 10);
    if (end == text || *end || v < 1 || v > kPixelLimit) return false;
    *height = (int32_t)v;
    return true;
}

bool EndsWithPng(const char* path) {
    size_t n = strlen(path);
    return n >= 4 && strcasecmp(path + n - 4, ".png") == 0;
}

// The buffer's own byte order: blue, green, red, alpha (premultiplied).
bool WriteRaw(FILE* stream, const std::vector<uint32_t>& pixels) {
    std::vector<unsigned char> bytes;
    bytes.reserve(pixels.size() * 4);
    for (uint32_t p : pixels) {
        bytes.push_back((unsigned char)p);
        bytes.push_back((unsigned char)(p >> 8));
        bytes.push_back((unsigned char)(p >> 16));
        bytes.push_back((unsigned char)(p >> 24));
    }
    return fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

bool ParseImageScale(const char* text, int32_t* percent) {
    char* end = nullptr;
    long v = strtol(text, &end, 10);
    if (end == text || *end || v < kImageScaleMin || v > kImageScaleMax) return false;
    *percent = (int32_t)v;
    return true;
}

// The image of --image drawn as the overlay draws it, on a canvas grown as the
// overlay grows; false after reporting.
bool RenderImageArgs(const ToolArgs& args, const CrosshairSettings& crosshair, int32_t height,
                     std::vector<uint32_t>* pixels, int* side) {
    int32_t percent = kImageScaleDefault;
    if (args.imageScale && !ParseImageScale(args.imageScale, &percent)) {
        Fail("bad image scale: %s (10 to 400)", args.imageScale);
        return false;
    }
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(args.image, &bytes)) {
        Fail("cannot read %s", args.image);
        return false;
    }
    CrosshairImage image = {};
    switch (DecodeImage(bytes.data(), bytes.size(), &image)) {
        case kImageDecoded: break;
        case kImageTooBig: Fail("image too big: %s (256 x 256 pixels, 4 MiB)", args.image); return false;
        case kImageUnreadable: Fail("not a PNG image: %s", args.image); return false;
    }
    ImageDrawSize size = MeasureImage(image.width, image.height, height, percent);
    *side = OverlaySideFor(size.width, size.height);
    pixels->assign((size_t)*side * (size_t)*side, 0);
    RenderImage(image, height, percent, crosshair.alpha, pixels->data(), *side, *side);
    FreeCrosshairImage(&image);
    return true;
}

int RunRender(int argc, char** argv) {
    ToolArgs args;
    if (!ReadArgs(argc, argv,
                  kOptHeight | kOptIni | kOptSection | kOptCode | kOptOut | kOptImage | kOptImageScale,
                  &args)) {
        return kExitBadUse;
    }
    int32_t height = 0;
    if (!args.height) return Fail("render needs --height");
    if (!ParseHeight(args.height, &height)) return Fail("bad height: %s", args.height);
    CrosshairSettings crosshair;
    if (!LoadCrosshairAndCode(args, &crosshair)) return kExitBadUse;
    int side = kRenderSize;
    std::vector<uint32_t> pixels((size_t)side * side);
    if (args.image) {
        if (!RenderImageArgs(args, crosshair, height, &pixels, &side)) return kExitBadUse;
    } else {
        RenderCrosshair(crosshair, pixels.data(), side, side, height);
    }

    if (args.out && EndsWithPng(args.out)) {
        if (!WritePng(args.out, pixels.data(), side, side)) return Fail("cannot write %s", args.out);
        return 0;
    }
    FILE* stream = args.out ? fopen(args.out, "wb") : stdout;
    if (!stream) return Fail("cannot write %s", args.out);
    bool ok = WriteRaw(stream, pixels);
    ok = (args.out ? fclose(stream) == 0 : fflush(stream) == 0) && ok;
    return ok ? 0 : Fail("cannot write %s", args.out ? args.out : "stdout");
}

void PrintCrosshair(const CrosshairSettings& c) {
    printf("size %.9g\n", (double)c.size);
    printf("gap %.9g\n", (double)c.gap);
    printf("thickness %.9g\n", (double)c.thickness);
    printf("outline %d\n", (int)c.outline);
    printf("outlineThickness %.9g\n", (double)c.outlineThickness);
    printf("dot %d\n", (int)c.dot);
    printf("tStyle %d\n", (int)c.tStyle);
    printf("red %d\n", (int)c.red);
    printf("green %d\n", (int)c.green);
    printf("blue %d\n", (int)c.blue);
    printf("alpha %d\n", (int)c.alpha);
    printf("offsetX %d\n", (int)c.offsetX);
    printf("offsetY %d\n", (int)c.offsetY);
}

int RunParse(int argc, char** argv) {
    ToolArgs args;
    if (!ReadArgs(argc, argv, kOptIni | kOptSection, &args)) return kExitBadUse;
    CrosshairSettings crosshair;
    if (!LoadCrosshair(args, &crosshair)) return kExitBadUse;
    std::vector<unsigned char> bytes;
    if (!ReadAllBytes(stdin, &bytes)) return Fail("cannot read stdin");
    std::wstring text = DecodeText(bytes);
    int count = ParseCrosshairCode(text.c_str(), &crosshair);
    printf("count %d\n", count);
    PrintCrosshair(crosshair);
    return 0;
}

const char kFormatCommands[] = "commands";
const char kFormatShare[] = "share";

// The command line (the default) or the share code at --height (1080 unless given).
int RunExport(int argc, char** argv) {
    ToolArgs args;
    if (!ReadArgs(argc, argv, kOptFormat | kOptHeight | kOptIni | kOptSection | kOptCode, &args)) {
        return kExitBadUse;
    }
    const char* format = args.format ? args.format : kFormatCommands;
    bool share = strcmp(format, kFormatShare) == 0;
    if (!share && strcmp(format, kFormatCommands) != 0) return Fail("bad format: %s", format);
    if (args.height && !share) return Fail("--height needs --format share");
    int32_t height = kDefaultExportHeight;
    if (args.height && (!ParseHeight(args.height, &height) || height > kShareCodeMaxHeight)) {
        return Fail("bad height: %s", args.height);
    }
    CrosshairSettings crosshair;
    if (!LoadCrosshairAndCode(args, &crosshair)) return kExitBadUse;
    wchar_t line[kCodeLineChars];
    if (share) {
        FormatShareCode(crosshair, height, line, kCodeLineChars);
    } else {
        FormatCrosshairCode(crosshair, line, kCodeLineChars);
    }
    printf("%s\n", Utf8FromWide(line).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail("%s", kUsage);
    if (strcmp(argv[1], "render") == 0) return RunRender(argc, argv);
    if (strcmp(argv[1], "parse") == 0) return RunParse(argc, argv);
    if (strcmp(argv[1], "export") == 0) return RunExport(argc, argv);
    return Fail("unknown command %s; %s", argv[1], kUsage);
}
