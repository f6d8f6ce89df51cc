// Reads a crosshair out of pasted text: the first share code in it, else the
// first VALORANT code, then the cl_crosshair console commands over it.
// Tolerant of everything it does not know, never an error; one heap buffer
// the size of the text (only the tokens kept are copied into it) and fixed
// tables besides.
#include "codes/codes.h"

#include <math.h>
#include <stdlib.h>
#include <wchar.h>

#include "base/wtext.h"
#include "codes/sharecode.h"
#include "codes/valorant.h"

const uint8_t CodeColourTable[kCodeColourRows][3] = {
    {250, 50, 50},
    {50, 250, 50},
    {250, 250, 50},
    {50, 50, 250},
    {50, 250, 250},
};

namespace {

const wchar_t kCommandPrefix[] = L"cl_crosshair";
const wchar_t kValueIsCommandPrefix[] = L"cl_";
const wchar_t kFlagTrueWord[] = L"true";
const int kNoColourChoice = -1;
const double kByteMax = 255.0;

enum CodeField {
    kFieldSize,
    kFieldGap,
    kFieldThickness,
    kFieldDot,
    kFieldTStyle,
    kFieldOutline,
    kFieldOutlineThickness,
    kFieldAlpha,
    kFieldColourChoice,
    kFieldRed,
    kFieldGreen,
    kFieldBlue,
    kFieldLengthPixels,
    kFieldGapPixels,
    kFieldThicknessPixels,
    kFieldScreenHeight,
};

struct CodeCommand {
    const wchar_t* name;
    CodeField field;
};

const CodeCommand kCodeCommands[] = {
    {L"cl_crosshairsize", kFieldSize},
    {L"cl_crosshairgap", kFieldGap},
    {L"cl_crosshairthickness", kFieldThickness},
    {L"cl_crosshairdot", kFieldDot},
    {L"cl_crosshair_t", kFieldTStyle},
    {L"cl_crosshair_drawoutline", kFieldOutline},
    {L"cl_crosshair_outlinethickness", kFieldOutlineThickness},
    {L"cl_crosshairalpha", kFieldAlpha},
    {L"cl_crosshaircolor", kFieldColourChoice},
    {L"cl_crosshaircolor_r", kFieldRed},
    {L"cl_crosshaircolor_g", kFieldGreen},
    {L"cl_crosshaircolor_b", kFieldBlue},
    // The names the game has used since its crosshair moved to pixel sizes.
    {L"cl_crosshaircolor_a", kFieldAlpha},
    {L"cl_crosshair_length", kFieldLengthPixels},
    {L"cl_crosshair_gap", kFieldGapPixels},
    {L"cl_crosshair_thickness", kFieldThicknessPixels},
    {L"cl_crosshair_screen_height", kFieldScreenHeight},
};
const int kCodeCommandCount = (int)(sizeof kCodeCommands / sizeof kCodeCommands[0]);

// What the walk collects besides the fields it sets directly: the colour and
// the pixel sizes are decided only after every command has been read.
struct Pending {
    uint8_t rgb[3];
    int choice;
    PixelSizes pixels;  // screenHeight holds the last height given, 0 for none
};

bool IsSeparator(wchar_t c) {
    switch (c) {
        case L' ':
        case L'\t':
        case L'\n':
        case L'\r':
        case L'"':
        case L'(':
        case L')':
        case L';':
        case 0x201C:
        case 0x201D:
            return true;
        default:
            return false;
    }
}

bool IsLineEnd(wchar_t c) { return c == L'\n' || c == L'\r'; }

// What one pass over the copy finds: the first tokens, and the first valid
// share code and VALORANT code anywhere in the text.
struct TextScan {
    wchar_t* tokens[kCodeMaxTokens];
    int tokenCount;
    bool codeFound;
    bool damagedCode;  // something shaped like a share code failed a check
    ShareCode code;
    bool valorantFound;
    ValorantCode valorant;
};

void LookForShareCode(const wchar_t* p, const wchar_t* end, TextScan* scan) {
    ShareCodeRead read = ReadShareCodeAt(p, end, &scan->code);
    if (read == kShareCodeValid) scan->codeFound = true;
    if (read == kShareCodeDamaged) scan->damagedCode = true;
}

// Reads the VALORANT code that may start at p into the scan, unless one was
// found already or a share code, which wins anyway. The run ahead of p must
// be as pasted. True when the scan took it.
bool LookForValorantCode(const wchar_t* p, const wchar_t* end, TextScan* scan) {
    if (scan->valorantFound || scan->codeFound) return false;
    scan->valorantFound = ReadValorantCode(p, ValorantRunEnd(p, end), &scan->valorant);
    return scan->valorantFound;
}

const wchar_t kCodeStart = L'C';
const wchar_t kValorantFirst = kValorantCodeStart[0], kValorantSecond = kValorantCodeStart[1];

bool StartsValorantCode(const wchar_t* p) {
    return p[0] == kValorantFirst && p[1] == kValorantSecond;
}

// A "//" where a token would start ends the line for us: players paste whole
// config files, and the words of a comment would otherwise be read as commands
// and values. Inside a word ("https://...") it is an ordinary character.
bool OpensComment(const wchar_t* p) { return p[0] == L'/' && p[1] == L'/'; }

// Copies the text's first kCodeMaxTokens tokens into copy, at the places they
// have in the text, each cut off by a 0, and looks for codes on the way in the
// text as pasted. Nothing past the last token is copied: a long paste costs
// no more than its head. Returns where the token after the last one kept
// starts (length when the table did not fill).
size_t ScanHead(const wchar_t* text, size_t length, wchar_t* copy, TextScan* scan) {
    const wchar_t* const end = text + length;
    bool inToken = false;
    bool afterWord = false;    // an ASCII letter or digit precedes p
    bool afterOpening = true;  // p starts the text or follows what cannot be in a code
    const wchar_t* p = text;
    while (p < end) {
        wchar_t c = *p;
        if (!inToken && OpensComment(p)) {
            while (p < end && !IsLineEnd(*p)) ++p;
            continue;
        }
        if (afterOpening && StartsValorantCode(p)) LookForValorantCode(p, end, scan);
        afterOpening = OpensValorantCode(c);
        wchar_t* to = copy + (p - text);
        if (IsSeparator(c)) {
            *to = 0;
            inToken = false;
            afterWord = false;
            ++p;
            continue;
        }
        if (!inToken) {
            if (scan->tokenCount == kCodeMaxTokens) break;
            scan->tokens[scan->tokenCount++] = to;
            inToken = true;
        }
        if (c == kCodeStart && !afterWord && !scan->codeFound) LookForShareCode(p, end, scan);
        afterWord = IsAsciiLetterOrDigit(c);
        *to = c;
        ++p;
    }
    copy[p - text] = 0;  // ends the last token (or stands where the next one starts)
    return (size_t)(p - text);
}

// Where the comment rule stands at a point of the text. Only the line of that
// point matters, so it is found by looking back for the line's start, and
// read forward from there (or from the last point asked, on the same line):
// every character is looked at no more than twice however many points are asked.
struct LineState {
    const wchar_t* at;
    bool inComment;
    bool tokenStart;
};

void FollowLine(LineState* line, const wchar_t* to) {
    const wchar_t* q = to;
    while (q > line->at && !IsLineEnd(q[-1])) --q;
    if (q > line->at) {
        line->at = q;
        line->inComment = false;
        line->tokenStart = true;
    }
    for (q = line->at; q < to && !line->inComment; ++q) {
        line->inComment = line->tokenStart && OpensComment(q);
        line->tokenStart = IsSeparator(*q);
    }
    line->at = to;
}

// The next 'C' or "0;" (where a code may start), or end. Blocks are tested
// without a branch, which the compiler does several characters at a time, so
// that a long paste costs little more than its copy; only a block that holds
// a candidate is looked at one character at a time.
const wchar_t* NextCandidate(const wchar_t* p, const wchar_t* end) {
    enum { kBlock = 64 };
    while (end - p > kBlock) {
        unsigned hits = 0;
        for (int i = 0; i < kBlock; ++i) {
            hits |= (unsigned)(p[i] == kCodeStart) |
                    ((unsigned)(p[i] == kValorantFirst) & (unsigned)(p[i + 1] == kValorantSecond));
        }
        if (hits) break;
        p += kBlock;
    }
    for (; p < end; ++p)
        if (*p == kCodeStart || StartsValorantCode(p)) return p;
    return end;
}

// Past the token table only codes matter: jump from one place where a code
// may start to the next (from one 'C' to the next once a VALORANT code is
// found).
void ScanTail(const wchar_t* p, const wchar_t* end, TextScan* scan) {
    LineState line = {p, false, true};
    while (!scan->codeFound && p < end) {
        if (scan->valorantFound) {
            p = wmemchr(p, kCodeStart, (size_t)(end - p));
            if (!p) return;
        } else {
            p = NextCandidate(p, end);
            if (p == end) return;
        }
        // Neither kind of code starts stuck to what comes before it. Nearly
        // every "0;" is no code, so the comment rule is asked only of a code.
        if (*p == kCodeStart) {
            if (!IsAsciiLetterOrDigit(p[-1])) {
                FollowLine(&line, p);
                if (!line.inComment) LookForShareCode(p, end, scan);
            }
        } else if (OpensValorantCode(p[-1]) && LookForValorantCode(p, end, scan)) {
            FollowLine(&line, p);
            scan->valorantFound = !line.inComment;
        }
        ++p;
    }
}

// One pass over the text: the first tokens, then codes in the whole text.
void ScanText(const wchar_t* text, size_t length, wchar_t* copy, TextScan* scan) {
    const size_t at = ScanHead(text, length, copy, scan);
    if (at < length && !scan->codeFound) ScanTail(text + at, text + length, scan);
}

const CodeCommand* FindCodeCommand(const wchar_t* token) {
    for (int i = 0; i < kCodeCommandCount; ++i) {
        if (EqualsNoCase(token, kCodeCommands[i].name)) return &kCodeCommands[i];
    }
    return nullptr;
}

double NumberOf(const wchar_t* value) { return ParseDoubleC(value, nullptr); }

// A number beyond the float range narrows to an infinity, which the rasterizer
// makes harmless.
float FloatOf(const wchar_t* value) { return NarrowToFloat(NumberOf(value)); }

// "Not 0" in the C sense: NaN is not 0, so it switches the flag on.
int32_t FlagOf(const wchar_t* value) {
    if (EqualsNoCase(value, kFlagTrueWord)) return 1;
    return NumberOf(value) != 0.0 ? 1 : 0;
}

// Truncated toward zero, then clamped; compared before converting because a
// double outside the int range (or NaN) converted to int is undefined.
uint8_t ByteOf(const wchar_t* value) {
    double v = NumberOf(value);
    if (!(v > 0.0)) return 0;
    if (v >= kByteMax) return (uint8_t)kByteMax;
    return (uint8_t)(int)v;
}

// Only 0..4 select a table row; every other value (NaN, infinities and huge
// numbers too) means "take the separate channels", so they all map to one
// value outside the table before any conversion to int.
int ColourChoiceOf(const wchar_t* value) {
    double v = NumberOf(value);
    if (v > -1.0 && v < (double)kCodeColourRows) return (int)v;
    return kNoColourChoice;
}

// Truncated toward zero; a height that is not above 0 counts as none given.
float ScreenHeightOf(const wchar_t* value) {
    double v = trunc(NumberOf(value));
    return v > 0.0 ? NarrowToFloat(v) : 0.0f;
}

void ApplyCommand(CodeField field, const wchar_t* value, CrosshairSettings* crosshair,
                  Pending* pending) {
    PixelSizes& pixels = pending->pixels;
    switch (field) {
        case kFieldSize: crosshair->size = FloatOf(value); break;
        case kFieldGap: crosshair->gap = FloatOf(value); break;
        case kFieldThickness: crosshair->thickness = FloatOf(value); break;
        case kFieldDot: crosshair->dot = FlagOf(value); break;
        case kFieldTStyle: crosshair->tStyle = FlagOf(value); break;
        case kFieldOutline: crosshair->outline = FlagOf(value); break;
        case kFieldOutlineThickness: crosshair->outlineThickness = FloatOf(value); break;
        case kFieldAlpha: crosshair->alpha = ByteOf(value); break;
        case kFieldColourChoice: pending->choice = ColourChoiceOf(value); break;
        case kFieldRed: pending->rgb[0] = ByteOf(value); break;
        case kFieldGreen: pending->rgb[1] = ByteOf(value); break;
        case kFieldBlue: pending->rgb[2] = ByteOf(value); break;
        case kFieldLengthPixels:
            pixels.length = FloatOf(value);
            pixels.hasLength = true;
            break;
        case kFieldGapPixels:
            pixels.gap = FloatOf(value);
            pixels.hasGap = true;
            break;
        case kFieldThicknessPixels:
            pixels.thickness = FloatOf(value);
            pixels.hasThickness = true;
            break;
        case kFieldScreenHeight: pixels.screenHeight = ScreenHeightOf(value); break;
    }
}

int WalkTokens(wchar_t* const* tokens, int count, CrosshairSettings* crosshair,
               Pending* pending) {
    int recognised = 0;
    int i = 0;
    while (i + 1 < count) {
        const wchar_t* token = tokens[i];
        const wchar_t* value = tokens[i + 1];
        if (!StartsWithNoCase(token, kCommandPrefix) ||
            StartsWithNoCase(value, kValueIsCommandPrefix)) {
            ++i;
            continue;
        }
        const CodeCommand* command = FindCodeCommand(token);
        if (!command) {
            ++i;
            continue;
        }
        ApplyCommand(command->field, value, crosshair, pending);
        ++recognised;
        i += 2;
    }
    return recognised;
}

void ResolveColour(const Pending& pending, CrosshairSettings* crosshair) {
    const uint8_t* rgb = pending.rgb;
    if (pending.choice >= 0 && pending.choice < kCodeColourRows) {
        rgb = CodeColourTable[pending.choice];
    }
    crosshair->red = rgb[0];
    crosshair->green = rgb[1];
    crosshair->blue = rgb[2];
}

// Pixel sizes given by name win over the same field given in units, in any
// order; they are measured at the last height the text gives, else 1080.
void ResolvePixelSizes(const Pending& pending, CrosshairSettings* crosshair) {
    PixelSizes pixels = pending.pixels;
    if (!(pixels.screenHeight > 0.0f)) pixels.screenHeight = (float)kDefaultScreenHeight;
    ApplyPixelSizes(pixels, crosshair);
}

}  // namespace

int ParseCrosshairCode(const wchar_t* text, CrosshairSettings* crosshair, bool* unreadableCode) {
    if (unreadableCode) *unreadableCode = false;
    if (!text || !crosshair) return 0;
    size_t length = wcslen(text);
    if (length >= ((size_t)-1) / sizeof(wchar_t)) return 0;
    size_t bytes = (length + 1) * sizeof(wchar_t);
    wchar_t* copy = (wchar_t*)malloc(bytes);
    if (!copy) return 0;

    TextScan scan;
    scan.tokenCount = 0;
    scan.codeFound = false;
    scan.damagedCode = false;
    scan.valorantFound = false;
    ScanText(text, length, copy, &scan);

    // A code first, counted as the commands it stands for; commands refine it.
    int recognised = 0;
    if (scan.codeFound) {
        ApplyShareCode(scan.code, crosshair);
        recognised = kShareCodeCommands;
    } else if (scan.valorantFound) {
        ApplyValorantCode(scan.valorant, crosshair);
        recognised = kShareCodeCommands;
    }
    Pending pending = {{crosshair->red, crosshair->green, crosshair->blue},
                       kNoColourChoice,
                       {0.0f, 0.0f, 0.0f, 0.0f, false, false, false}};
    recognised += WalkTokens(scan.tokens, scan.tokenCount, crosshair, &pending);
    ResolveColour(pending, crosshair);
    ResolvePixelSizes(pending, crosshair);

    free(copy);
    // A code describes a drawn crosshair: an image it is read over goes.
    if (recognised > 0) SetCrosshairImage(crosshair, nullptr);
    if (unreadableCode) *unreadableCode = recognised == 0 && scan.damagedCode;
    return recognised;
}
