// Reads crosshair share codes and writes the current format, in fixed buffers:
// the two containers, their base-57 number, the checks, and the byte layouts.
#include "codes/sharecode.h"

#include <string.h>

#include "base/wtext.h"
#include "codes/codes.h"

namespace {

// No I, g, l, 0 or 1: a symbol's value is its index.
constexpr wchar_t kCodeAlphabet[] = L"ABCDEFGHJKLMNOPQRSTUVWXYZabcdefhijkmnopqrstuvwxyz23456789";
constexpr int kCodeBase = (int)(sizeof kCodeAlphabet / sizeof kCodeAlphabet[0]) - 1;
enum { kSymbolTableSize = 128, kByteBits = 8, kByteMask = 0xFF };
enum {
    kLegacyGroups = 5, kLegacyGroupSymbols = 5, kLegacyBytes = 18,
    kCs2Symbols = 44, kCs2Bytes = kShareCodeMaxBytes,
    kMaxSymbols = kCs2Symbols,
};

struct SymbolTable {
    int8_t value[kSymbolTableSize];
};

constexpr SymbolTable MakeSymbolTable() {
    SymbolTable table{};
    for (int i = 0; i < kSymbolTableSize; ++i) table.value[i] = -1;
    for (int i = 0; i < kCodeBase; ++i) table.value[kCodeAlphabet[i]] = (int8_t)i;
    return table;
}
constexpr SymbolTable kSymbols = MakeSymbolTable();

int SymbolValue(wchar_t c) {
    if ((unsigned)c >= (unsigned)kSymbolTableSize) return -1;
    return kSymbols.value[c];
}

// A container: its prefix, then groups of symbols, each group opened by the
// separator when there is one.
struct CodeContainer {
    const wchar_t* prefix;
    wchar_t groupSeparator;
    int groups;
    int groupSymbols;
    int bytes;
};

enum { kLegacyContainer, kCs2Container };
const CodeContainer kContainers[] = {
    {L"CSGO", L'-', kLegacyGroups, kLegacyGroupSymbols, kLegacyBytes},
    {L"CS", 0, 1, kCs2Symbols, kCs2Bytes},
};
const int kContainerCount = (int)(sizeof kContainers / sizeof kContainers[0]);

struct FormatRow {
    int container;
    uint8_t version;
    ShareCodeFormat format;
};
// Any other version byte (2 in either container, in particular) is no crosshair.
const FormatRow kFormats[] = {
    {kLegacyContainer, 1, kFormatLegacyV1},
    {kLegacyContainer, 3, kFormatLegacyV3},
    {kLegacyContainer, 4, kFormatLegacyV4},
    {kCs2Container, 1, kFormatCs2V1},
};

enum { kChecksumByte = 0, kVersionByte = 1 };

// Byte positions of the layouts.
enum {
    kV1Gap = 2, kV1OutlineThickness = 3, kV1Red = 4, kV1Alpha = 7, kV1Flags = 10,
    kV1Thickness = 12, kV1Marks = 13, kV1SizeLow = 14, kV1SizeHigh = 15,
};
enum {
    kV3Marks = 2, kV3Red = 3, kV3Gap = 7, kV3Length = 8, kV3Packed = 10,
    kV3ScreenHeight = 14,
};
enum {
    kCs2ScreenHeight = 2, kCs2Marks = 4, kCs2Red = 5, kCs2OutlineColour = 9, kCs2Lines = 13,
    kCs2Gap = 14, kCs2Length = 16, kCs2ScopeDotScale = 22,
};
const uint8_t kV1ColourChoiceMask = 0x07, kV1OutlineBit = 0x08;
const uint8_t kV1DotBit = 0x10, kTStyleBit = 0x80;
const int kV1SizeHighMask = 0x1F;
const uint8_t kV3OutlineBit = 0x20, kDotBit = 0x40, kV3StyleMask = 0x0F, kCs2StyleMask = 0x1F;
const int kV3ThicknessShift = 23, kV3ThicknessMask = 0x1F, kV4OutlineShift = 28,
          kV4OutlineMask = 0x3;
const uint8_t kCs2ThicknessMask = 0x3F;
const int kCs2OutlineShift = 6;
const int kStyleDotOnly = 6;
const double kTenths = 10.0, kHalves = 2.0;
const float kHalfPixel = 0.5f;
const float kFullOutline = 1.0f, kHalfOutline = 0.5f;
enum OutlineMode { kOutlineNone = 0, kOutlineFull = 1 };

// The container whose shape stands at p, with its symbols (least significant
// first) in symbols; -1 when none does.
int MatchShape(const wchar_t* p, const wchar_t* end, int8_t* symbols) {
    for (int c = 0; c < kContainerCount; ++c) {
        const CodeContainer& box = kContainers[c];
        const wchar_t* q = p;
        const wchar_t* prefix = box.prefix;
        while (*prefix && q < end && *q == *prefix) ++q, ++prefix;
        if (*prefix) continue;
        int count = 0;
        bool shaped = true;
        for (int g = 0; shaped && g < box.groups; ++g) {
            if (box.groupSeparator) {
                shaped = q < end && *q == box.groupSeparator;
                if (!shaped) break;
                ++q;
            }
            for (int s = 0; shaped && s < box.groupSymbols; ++s, ++q) {
                int value = q < end ? SymbolValue(*q) : -1;
                shaped = value >= 0;
                symbols[count++] = (int8_t)value;
            }
        }
        if (shaped && !(q < end && IsAsciiLetterOrDigit(*q))) return c;
    }
    return -1;
}

// The symbols as one base-57 number, written big-endian into bytes[0..size).
// False when the number needs more than size bytes. The accumulator is
// little-endian with room for the largest value 44 symbols can hold.
bool DecodeNumber(const int8_t* symbols, int count, uint8_t* bytes, int size) {
    enum { kAccumulatorBytes = kShareCodeMaxBytes + 2 };
    uint8_t acc[kAccumulatorBytes] = {0};
    for (int i = count - 1; i >= 0; --i) {
        unsigned carry = (unsigned)symbols[i];
        for (int j = 0; j < kAccumulatorBytes; ++j) {
            unsigned t = acc[j] * (unsigned)kCodeBase + carry;
            acc[j] = (uint8_t)(t & kByteMask);
            carry = t >> kByteBits;
        }
    }
    for (int j = size; j < kAccumulatorBytes; ++j)
        if (acc[j]) return false;
    for (int j = 0; j < size; ++j) bytes[j] = acc[size - 1 - j];
    return true;
}

bool ChecksumHolds(const uint8_t* bytes, int size) {
    unsigned sum = 0;
    for (int i = kChecksumByte + 1; i < size; ++i) sum += bytes[i];
    return (uint8_t)(sum & kByteMask) == bytes[kChecksumByte];
}

unsigned LittleEndian16(const uint8_t* b) { return b[0] | ((unsigned)b[1] << kByteBits); }

// Two's complement read by value, without relying on narrowing conversions.
int SignedByte(uint8_t v) { return v < 0x80 ? v : v - 0x100; }
int Signed16(unsigned v) { return v < 0x8000 ? (int)v : (int)v - 0x10000; }

uint32_t LittleEndian32(const uint8_t* b) {
    return LittleEndian16(b) | ((uint32_t)LittleEndian16(b + 2) << (2 * kByteBits));
}

unsigned ScreenHeightOf(const ShareCode& code) {
    switch (code.format) {
        case kFormatLegacyV3:
        case kFormatLegacyV4: return LittleEndian16(code.bytes + kV3ScreenHeight);
        case kFormatCs2V1: return LittleEndian16(code.bytes + kCs2ScreenHeight);
        default: return kDefaultScreenHeight;  // sizes in units: no height needed
    }
}

bool KnownFormat(int container, uint8_t version, ShareCodeFormat* format) {
    for (const FormatRow& row : kFormats) {
        if (row.container == container && row.version == version) {
            *format = row.format;
            return true;
        }
    }
    return false;
}

// Everything the pixel formats carry that we use, read out of their layouts.
struct PixelCode {
    unsigned screenHeight;
    int style;
    int outlineMode;
    bool dot, tStyle;
    const uint8_t* rgba;  // red, green, blue, alpha in a row in every layout
    int gap, length, thickness;
};

PixelCode ReadPixelCode(const ShareCode& code) {
    const uint8_t* b = code.bytes;
    PixelCode p;
    p.screenHeight = ScreenHeightOf(code);
    if (code.format == kFormatCs2V1) {
        p.style = b[kCs2Marks] & kCs2StyleMask;
        p.dot = (b[kCs2Marks] & kDotBit) != 0;
        p.tStyle = (b[kCs2Marks] & kTStyleBit) != 0;
        p.rgba = b + kCs2Red;
        p.thickness = b[kCs2Lines] & kCs2ThicknessMask;
        p.outlineMode = b[kCs2Lines] >> kCs2OutlineShift;
        p.gap = Signed16(LittleEndian16(b + kCs2Gap));
        p.length = b[kCs2Length];
        return p;
    }
    p.style = b[kV3Marks] & kV3StyleMask;
    p.dot = (b[kV3Marks] & kDotBit) != 0;
    p.tStyle = (b[kV3Marks] & kTStyleBit) != 0;
    p.rgba = b + kV3Red;
    p.gap = b[kV3Gap];
    p.length = b[kV3Length];
    uint32_t packed = LittleEndian32(b + kV3Packed);
    p.thickness = (int)((packed >> kV3ThicknessShift) & kV3ThicknessMask);
    if (code.format == kFormatLegacyV3) {
        p.outlineMode = (b[kV3Marks] & kV3OutlineBit) ? kOutlineFull : kOutlineNone;
    } else {
        p.outlineMode = (int)((packed >> kV4OutlineShift) & kV4OutlineMask);
    }
    return p;
}

void ApplyOutlineMode(int mode, CrosshairSettings* crosshair) {
    if (mode == kOutlineNone) {
        crosshair->outline = 0;
        return;
    }
    crosshair->outline = 1;
    crosshair->outlineThickness = mode == kOutlineFull ? kFullOutline : kHalfOutline;
}

void ApplyPixelCode(const PixelCode& p, CrosshairSettings* c) {
    PixelSizes sizes = {(float)p.screenHeight, (float)p.length, (float)p.gap,
                        (float)p.thickness, true, true, true};
    ApplyPixelSizes(sizes, c);
    ApplyOutlineMode(p.outlineMode, c);
    c->dot = p.dot ? 1 : 0;
    c->tStyle = p.tStyle ? 1 : 0;
    c->red = p.rgba[0];
    c->green = p.rgba[1];
    c->blue = p.rgba[2];
    c->alpha = p.rgba[3];
    if (p.style == kStyleDotOnly) {
        c->size = 0.0f;
        c->dot = 1;
    }
}

// The values the equivalent cl_crosshair commands would give: tenths become
// the double nearest the decimal text, then a float, as the command reader does.
void ApplyLegacyV1(const uint8_t* b, CrosshairSettings* c) {
    c->gap = NarrowToFloat(SignedByte(b[kV1Gap]) / kTenths);
    c->outlineThickness = NarrowToFloat(b[kV1OutlineThickness] / kHalves);
    c->alpha = b[kV1Alpha];
    c->outline = (b[kV1Flags] & kV1OutlineBit) ? 1 : 0;
    c->thickness = NarrowToFloat(b[kV1Thickness] / kTenths);
    c->dot = (b[kV1Marks] & kV1DotBit) ? 1 : 0;
    c->tStyle = (b[kV1Marks] & kTStyleBit) ? 1 : 0;
    int size = (b[kV1SizeHigh] & kV1SizeHighMask) << kByteBits | b[kV1SizeLow];
    c->size = NarrowToFloat(size / kTenths);
    int choice = b[kV1Flags] & kV1ColourChoiceMask;
    const uint8_t* rgb = choice < kCodeColourRows ? CodeColourTable[choice] : b + kV1Red;
    c->red = rgb[0];
    c->green = rgb[1];
    c->blue = rgb[2];
}

// What a written code holds besides the crosshair's own fields. The outline
// colour is the black this program draws; the split and spread fields of the
// game's dynamic styles are 0, the outer split alpha at its lowest (0.3, stored
// as 0 steps above it); the scope dot keeps the game's usual scale 1.0 (stored
// as 90 hundredths above 0.1) and its own colour.
const uint8_t kWrittenVersion = 1;
const uint8_t kWrittenStyle = 4;  // Static Cross: the only style drawn here
const uint8_t kOutlineBlack[4] = {0, 0, 0, 255};
const uint8_t kScopeDotScaleOne = 90;
const int kMaxLengthPixels = 255, kMaxThicknessPixels = 32, kMaxGapPixels = 3840;

int Clamped(int v, int low, int high) { return v < low ? low : v > high ? high : v; }

void PutLittleEndian16(uint8_t* b, unsigned v) {
    b[0] = (uint8_t)(v & kByteMask);
    b[1] = (uint8_t)((v >> kByteBits) & kByteMask);
}

// The sizes the rasterizer draws at height S. An arm of negative length
// covers the pixels of one of the opposite length whose gap is shorter by that
// length, which the code (whose length has no sign) can hold.
void PutSizes(const CrosshairSettings& c, int32_t screenHeight, uint8_t* b) {
    const CrosshairPixels m = MeasureCrosshair(c, screenHeight);
    int length = m.length, gap = m.gap;
    if (length < 0) {
        gap += length;  // both within kPixelLimit: no overflow
        length = -length;
    }
    if (length == 0) gap = 0;
    int thickness = Clamped(m.thickness, 0, kMaxThicknessPixels);
    int outlineMode = c.outline != 0 ? kOutlineFull : kOutlineNone;
    b[kCs2Lines] = (uint8_t)(thickness | (outlineMode << kCs2OutlineShift));
    PutLittleEndian16(b + kCs2Gap, (unsigned)Clamped(gap, -kMaxGapPixels, kMaxGapPixels));
    b[kCs2Length] = (uint8_t)Clamped(length, 0, kMaxLengthPixels);
}

// bytes, a big-endian number, as count base-57 symbols, least significant
// first: long division by 57, one remainder per symbol.
void EncodeNumber(const uint8_t* bytes, int size, wchar_t* symbols, int count) {
    uint8_t number[kShareCodeMaxBytes];
    memcpy(number, bytes, (size_t)size);
    for (int s = 0; s < count; ++s) {
        unsigned remainder = 0;
        for (int j = 0; j < size; ++j) {
            unsigned t = (remainder << kByteBits) | number[j];
            number[j] = (uint8_t)(t / (unsigned)kCodeBase);
            remainder = t % (unsigned)kCodeBase;
        }
        symbols[s] = kCodeAlphabet[remainder];
    }
}

}  // namespace

bool IsAsciiLetterOrDigit(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}

ShareCodeRead ReadShareCodeAt(const wchar_t* p, const wchar_t* end, ShareCode* code) {
    int8_t symbols[kMaxSymbols];
    int container = MatchShape(p, end, symbols);
    if (container < 0) return kNoShareCode;
    const CodeContainer& box = kContainers[container];
    ShareCode read = {};
    int size = box.bytes;
    if (!DecodeNumber(symbols, box.groups * box.groupSymbols, read.bytes, size))
        return kShareCodeDamaged;
    if (!ChecksumHolds(read.bytes, size)) return kShareCodeDamaged;
    if (!KnownFormat(container, read.bytes[kVersionByte], &read.format)) return kShareCodeDamaged;
    if (ScreenHeightOf(read) == 0) return kShareCodeDamaged;
    *code = read;
    return kShareCodeValid;
}

// In this order, each a float operation of its own: k = S / 480; size = L / k;
// thickness = T / k; gap = G - (S * 4) / 1200 - 0.5. At height S the rasterizer
// then rounds the arms back to exactly L and T pixels and the gap's ceiling to
// exactly G; the half keeps float rounding from pushing that ceiling up.
void ApplyPixelSizes(const PixelSizes& sizes, CrosshairSettings* crosshair) {
    const float perUnit = sizes.screenHeight / kUnitsPerHeight;
    if (sizes.hasLength) crosshair->size = sizes.length / perUnit;
    if (sizes.hasThickness) crosshair->thickness = sizes.thickness / perUnit;
    if (sizes.hasGap) {
        const float base = sizes.screenHeight * kGapBaseFactor;
        const float baseGap = base / kGapBaseDivisor;
        const float shifted = sizes.gap - baseGap;
        crosshair->gap = shifted - kHalfPixel;
    }
}

void ApplyShareCode(const ShareCode& code, CrosshairSettings* crosshair) {
    if (code.format == kFormatLegacyV1) {
        ApplyLegacyV1(code.bytes, crosshair);
    } else {
        ApplyPixelCode(ReadPixelCode(code), crosshair);
    }
}

int FormatShareCode(const CrosshairSettings& crosshair, int32_t screenHeight, wchar_t* buf,
                    size_t count) {
    const int32_t height = Clamped(screenHeight, 1, kShareCodeMaxHeight);
    uint8_t b[kCs2Bytes] = {0};
    b[kVersionByte] = kWrittenVersion;
    PutLittleEndian16(b + kCs2ScreenHeight, (unsigned)height);
    b[kCs2Marks] = (uint8_t)(kWrittenStyle | (crosshair.dot != 0 ? kDotBit : 0) |
                             (crosshair.tStyle != 0 ? kTStyleBit : 0));
    const uint8_t rgba[4] = {crosshair.red, crosshair.green, crosshair.blue, crosshair.alpha};
    memcpy(b + kCs2Red, rgba, sizeof rgba);
    memcpy(b + kCs2OutlineColour, kOutlineBlack, sizeof kOutlineBlack);
    PutSizes(crosshair, height, b);
    b[kCs2ScopeDotScale] = kScopeDotScaleOne;
    unsigned sum = 0;
    for (int i = kChecksumByte + 1; i < kCs2Bytes; ++i) sum += b[i];
    b[kChecksumByte] = (uint8_t)(sum & kByteMask);

    const CodeContainer& box = kContainers[kCs2Container];
    wchar_t code[kShareCodeChars];
    const size_t prefix = wcslen(box.prefix);
    wmemcpy(code, box.prefix, prefix);
    EncodeNumber(b, kCs2Bytes, code + prefix, kCs2Symbols);
    code[prefix + kCs2Symbols] = 0;
    return (int)CopyW(buf, count, code);
}
