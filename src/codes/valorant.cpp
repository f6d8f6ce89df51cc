// Reads VALORANT crosshair profile codes and maps their primary crosshair
// onto our record, through the same pixel mapping as the share codes.
#include "codes/valorant.h"

#include <math.h>
#include <stddef.h>
#include <string.h>

#include "base/wtext.h"
#include "codes/sharecode.h"

namespace {

enum Section {
    kSectionGeneral, kSectionPrimary, kSectionAimDownSights, kSectionSniper,
    kAnySection,  // in a table of keys: the key means the same in every section
};

struct SectionRow {
    wchar_t letter;
    Section section;
};
const SectionRow kSections[] = {
    {L'P', kSectionPrimary},
    {L'A', kSectionAimDownSights},
    {L'S', kSectionSniper},
};

// The primary keys that reach our crosshair, in the order of the code's
// values; the game's range and what a missing key means.
enum PrimaryKey {
    kKeyColour, kKeyUseHex, kKeyOutlines, kKeyOutlineThickness, kKeyDot, kKeyDotThickness,
    kKeyDotOpacity, kKeyInnerShown, kKeyInnerThickness, kKeyInnerLength, kKeyInnerOffset,
    kKeyInnerOpacity, kKeyOuterShown, kKeyOuterThickness, kKeyOuterLength, kKeyOuterOffset,
    kKeyOuterOpacity, kPrimaryKeyCount,
};
static_assert((int)kPrimaryKeyCount == (int)kValorantPrimaryKeys, "one value per primary key");

struct KeyRow {
    const wchar_t* name;
    double low, high, byDefault;
};
const KeyRow kPrimaryKeys[kPrimaryKeyCount] = {
    {L"c", 0, 8, 0},    {L"b", 0, 1, 0},    {L"h", 0, 1, 1},       {L"t", 1, 6, 1},
    {L"d", 0, 1, 0},    {L"z", 1, 6, 2},    {L"a", 0, 1, 1},       {L"0b", 0, 1, 1},
    {L"0t", 0, 10, 2},  {L"0l", 0, 20, 6},  {L"0o", 0, 20, 3},     {L"0a", 0, 1, 0.8},
    {L"1b", 0, 1, 1},   {L"1t", 0, 10, 2},  {L"1l", 0, 10, 2},     {L"1o", 0, 40, 10},
    {L"1a", 0, 1, 0.35},
};

// Keys whose value is a hex colour (RRGGBB or RRGGBBAA) rather than a number.
struct HexKeyRow {
    Section section;
    const wchar_t* name;
};
const HexKeyRow kHexKeys[] = {
    {kAnySection, L"u"},
    {kSectionSniper, L"t"},
};

const uint8_t kWhite[] = {0xFF, 0xFF, 0xFF};  // what a missing "u" means
enum { kColourRows = 8, kHexColourCustom = 8 };
const uint8_t kColourRowsRgb[kColourRows][sizeof kWhite] = {
    {0xFF, 0xFF, 0xFF}, {0x00, 0xFF, 0x00}, {0x7F, 0xFF, 0x00}, {0xDF, 0xFF, 0x00},
    {0xFF, 0xFF, 0x00}, {0x00, 0xFF, 0xFF}, {0xFF, 0x00, 0xFF}, {0xFF, 0x00, 0x00},
};

// One set of lines: the keys of its switch, sizes and opacity.
struct LineKeys {
    PrimaryKey shown, thickness, length, offset, opacity;
};
const LineKeys kInnerLines = {kKeyInnerShown, kKeyInnerThickness, kKeyInnerLength,
                              kKeyInnerOffset, kKeyInnerOpacity};
const LineKeys kOuterLines = {kKeyOuterShown, kKeyOuterThickness, kKeyOuterLength,
                              kKeyOuterOffset, kKeyOuterOpacity};

const wchar_t kTokenSeparator = L';';
const wchar_t kDecimalPoint = L'.';
const wchar_t kLineSetDigits[] = L"01";  // the optional first character of a key
enum { kLineKeyChars = 2 };

enum {
    kRgbChannels = 3, kHexDigitsPerByte = 2, kHexDigitsRgb = kRgbChannels * kHexDigitsPerByte,
    kHexDigitsRgba = kHexDigitsRgb + kHexDigitsPerByte, kNibbleBits = 4, kHexLetterValue = 10,
};
const double kByteMax = 255.0, kHalf = 0.5;
const double kLeastThickness = 1.0;  // pixels of a crosshair drawn without lines or dot

bool IsAsciiDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsOneOf(wchar_t c, const wchar_t* set) { return c != 0 && wcschr(set, c) != nullptr; }
bool IsLowerLetter(wchar_t c) { return c >= L'a' && c <= L'z'; }

int HexDigitValue(wchar_t c) {
    if (IsAsciiDigit(c)) return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + kHexLetterValue;
    if (c >= L'A' && c <= L'F') return c - L'A' + kHexLetterValue;
    return -1;
}

// What a code is made of: letters and digits (keys, sections, numbers, hex
// colours), the separator and the decimal point. Anything else around a code
// is the chat's wrapping: a label's colon, brackets, backticks, quotes, blanks.
bool IsCodeChar(wchar_t c) {
    return IsAsciiLetterOrDigit(c) || c == kTokenSeparator || c == kDecimalPoint;
}

bool SameName(const wchar_t* p, const wchar_t* end, const wchar_t* name) {
    size_t n = wcslen(name);
    return (size_t)(end - p) == n && wmemcmp(p, name, n) == 0;
}

// One lowercase letter, after the digit of a set of lines or not: "c", "0l".
bool IsKey(const wchar_t* p, const wchar_t* end) {
    if (end - p == kLineKeyChars && IsOneOf(p[0], kLineSetDigits)) ++p;
    return end - p == 1 && IsLowerLetter(p[0]);
}

bool IsSection(const wchar_t* p, const wchar_t* end, Section* section) {
    if (end - p != 1) return false;
    for (const SectionRow& row : kSections) {
        if (row.letter == *p) {
            *section = row.section;
            return true;
        }
    }
    return false;
}

// Digits with an optional fraction: "3", "0.35"; no sign, no exponent.
bool IsNumber(const wchar_t* p, const wchar_t* end) {
    const wchar_t* q = p;
    while (q < end && IsAsciiDigit(*q)) ++q;
    if (q == p) return false;
    if (q == end) return true;
    if (*q != kDecimalPoint) return false;
    const wchar_t* fraction = ++q;
    while (q < end && IsAsciiDigit(*q)) ++q;
    return q > fraction && q == end;
}

bool IsHexColour(const wchar_t* p, const wchar_t* end) {
    if (end - p != kHexDigitsRgb && end - p != kHexDigitsRgba) return false;
    for (; p < end; ++p)
        if (HexDigitValue(*p) < 0) return false;
    return true;
}

bool IsHexKey(Section section, const wchar_t* key, const wchar_t* keyEnd) {
    for (const HexKeyRow& row : kHexKeys) {
        bool inSection = row.section == kAnySection || row.section == section;
        if (inSection && SameName(key, keyEnd, row.name)) return true;
    }
    return false;
}

int FindPrimaryKey(const wchar_t* key, const wchar_t* keyEnd) {
    for (int i = 0; i < kPrimaryKeyCount; ++i)
        if (SameName(key, keyEnd, kPrimaryKeys[i].name)) return i;
    return -1;
}

// The value is well formed, so the C library's number ends where the token
// does (or at the trailing point a sentence may add, which reads the same).
double HeldValue(const wchar_t* value, const KeyRow& row) {
    double v = ParseDoubleC(value, nullptr);
    return v < row.low ? row.low : v > row.high ? row.high : v;
}

void ReadHexColour(const wchar_t* p, uint8_t* rgb) {
    for (int i = 0; i < kRgbChannels; ++i, p += kHexDigitsPerByte)
        rgb[i] = (uint8_t)(HexDigitValue(p[0]) << kNibbleBits | HexDigitValue(p[1]));
}

// Checks the value of one key and keeps it when the primary crosshair uses it.
bool ReadKeyValue(Section section, const wchar_t* key, const wchar_t* keyEnd,
                  const wchar_t* value, const wchar_t* valueEnd, ValorantCode* code) {
    if (IsHexKey(section, key, keyEnd)) {
        if (!IsHexColour(value, valueEnd)) return false;
        if (section == kSectionPrimary) ReadHexColour(value, code->hexColour);
        return true;
    }
    if (!IsNumber(value, valueEnd)) return false;
    int row = section == kSectionPrimary ? FindPrimaryKey(key, keyEnd) : -1;
    if (row >= 0) code->primary[row] = HeldValue(value, kPrimaryKeys[row]);
    return true;
}

const wchar_t* TokenEnd(const wchar_t* p, const wchar_t* end) {
    while (p < end && *p != kTokenSeparator) ++p;
    return p;
}

bool On(double flag) { return flag != 0.0; }

bool LinesShow(const double* v, const LineKeys& lines) {
    return On(v[lines.shown]) && v[lines.thickness] > 0.0 && v[lines.length] > 0.0;
}

// Whole pixels, halves up: the share code's sizes are whole pixels.
float WholePixels(double v) { return (float)floor(v + kHalf); }

// opacity × 255 in double precision, rounded to the nearest whole number with
// halves up; the remainder is exact, so no half is lost to rounding.
uint8_t AlphaOf(double opacity) {
    double v = opacity * kByteMax;
    double whole = floor(v);
    if (v - whole >= kHalf) whole += 1.0;
    return (uint8_t)whole;
}

void ApplyColour(const ValorantCode& code, CrosshairSettings* c) {
    const double* v = code.primary;
    int row = (int)v[kKeyColour];  // held to 0..8: truncation is safe
    const uint8_t* rgb = code.hexColour;
    if (!On(v[kKeyUseHex]) && row != kHexColourCustom) rgb = kColourRowsRgb[row];
    c->red = rgb[0];
    c->green = rgb[1];
    c->blue = rgb[2];
}

}  // namespace

const wchar_t kValorantCodeStart[] = L"0;";

bool OpensValorantCode(wchar_t c) { return !IsCodeChar(c); }

const wchar_t* ValorantRunEnd(const wchar_t* p, const wchar_t* end) {
    const wchar_t* q = p;
    while (q < end && IsCodeChar(*q)) ++q;
    while (q > p && q[-1] == kDecimalPoint) --q;
    // The game's own copy ends without one; a hand-made list of tokens often
    // ends with one. The opening "0;" keeps its separator.
    if (q - p > (ptrdiff_t)wcslen(kValorantCodeStart) && q[-1] == kTokenSeparator) --q;
    return q;
}

bool ReadValorantCode(const wchar_t* p, const wchar_t* runEnd, ValorantCode* code) {
    const size_t opening = wcslen(kValorantCodeStart);
    if ((size_t)(runEnd - p) < opening || wmemcmp(p, kValorantCodeStart, opening) != 0)
        return false;
    ValorantCode read;
    for (int i = 0; i < kPrimaryKeyCount; ++i) read.primary[i] = kPrimaryKeys[i].byDefault;
    memcpy(read.hexColour, kWhite, sizeof kWhite);
    Section section = kSectionGeneral;
    const wchar_t* token = p + opening;
    for (;;) {
        const wchar_t* tokenEnd = TokenEnd(token, runEnd);
        if (IsKey(token, tokenEnd)) {
            if (tokenEnd == runEnd) return false;  // a key without its value
            const wchar_t* value = tokenEnd + 1;
            const wchar_t* valueEnd = TokenEnd(value, runEnd);
            if (!ReadKeyValue(section, token, tokenEnd, value, valueEnd, &read)) return false;
            tokenEnd = valueEnd;
        } else if (!IsSection(token, tokenEnd, &section)) {
            return false;  // empty, or neither a key nor a section letter
        }
        if (tokenEnd == runEnd) break;
        token = tokenEnd + 1;
    }
    *code = read;
    return true;
}

// The inner lines when they show, else the outer ones, else none: then only
// the dot (or nothing) is drawn, as thick as the dot or the inner lines.
void ApplyValorantCode(const ValorantCode& code, CrosshairSettings* c) {
    const double* v = code.primary;
    const bool dot = On(v[kKeyDot]);
    const LineKeys* lines = LinesShow(v, kInnerLines)   ? &kInnerLines
                            : LinesShow(v, kOuterLines) ? &kOuterLines
                                                        : nullptr;
    double length = 0.0, thickness, offset = v[kInnerLines.offset], opacity;
    if (lines) {
        length = v[lines->length];
        thickness = v[lines->thickness];
        offset = v[lines->offset];
        opacity = v[lines->opacity];
    } else if (dot) {
        thickness = v[kKeyDotThickness];
        opacity = v[kKeyDotOpacity];
    } else {
        thickness = fmax(v[kInnerLines.thickness], kLeastThickness);
        opacity = v[kInnerLines.opacity];
    }
    const PixelSizes sizes = {(float)kValorantScreenHeight, WholePixels(length),
                              WholePixels(offset), WholePixels(thickness), true, true, true};
    ApplyPixelSizes(sizes, c);
    c->dot = dot ? 1 : 0;
    c->tStyle = 0;
    c->outline = On(v[kKeyOutlines]) ? 1 : 0;
    if (c->outline) c->outlineThickness = WholePixels(v[kKeyOutlineThickness]);
    ApplyColour(code, c);
    c->alpha = AlphaOf(opacity);
}
