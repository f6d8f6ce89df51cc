// Reads a crosshair out of pasted cl_crosshair console commands: tolerant of
// everything it does not know, never an error, one heap copy of the text.
#include "codes/codes.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "base/wtext.h"

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
};
const int kCodeCommandCount = (int)(sizeof kCodeCommands / sizeof kCodeCommands[0]);

// What the walk collects besides the fields it sets directly: the colour is
// decided only after every command has been read.
struct PendingColour {
    uint8_t rgb[3];
    int choice;
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

// Cuts the copy into at most kCodeMaxTokens terminated tokens in one pass.
// A "//" ends the line for us: players paste whole config files, and the words
// of a comment would otherwise be read as commands and values. Whatever lies
// beyond the last kept token is never looked at.
int SplitTokens(wchar_t* p, wchar_t** tokens) {
    int count = 0;
    bool inToken = false;
    while (*p) {
        if (p[0] == L'/' && p[1] == L'/') {
            *p = 0;
            inToken = false;
            if (count == kCodeMaxTokens) break;
            ++p;
            while (*p && !IsLineEnd(*p)) ++p;
        } else if (IsSeparator(*p)) {
            *p = 0;
            inToken = false;
            if (count == kCodeMaxTokens) break;
            ++p;
        } else {
            if (!inToken) {
                if (count == kCodeMaxTokens) break;
                tokens[count++] = p;
                inToken = true;
            }
            ++p;
        }
    }
    return count;
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

void ApplyCommand(CodeField field, const wchar_t* value, CrosshairSettings* crosshair,
                  PendingColour* pending) {
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
    }
}

int WalkTokens(wchar_t* const* tokens, int count, CrosshairSettings* crosshair,
               PendingColour* pending) {
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

void ResolveColour(const PendingColour& pending, CrosshairSettings* crosshair) {
    const uint8_t* rgb = pending.rgb;
    if (pending.choice >= 0 && pending.choice < kCodeColourRows) {
        rgb = CodeColourTable[pending.choice];
    }
    crosshair->red = rgb[0];
    crosshair->green = rgb[1];
    crosshair->blue = rgb[2];
}

}  // namespace

int ParseCrosshairCode(const wchar_t* text, CrosshairSettings* crosshair) {
    if (!text || !crosshair) return 0;
    size_t length = wcslen(text);
    if (length >= ((size_t)-1) / sizeof(wchar_t)) return 0;
    size_t bytes = (length + 1) * sizeof(wchar_t);
    wchar_t* copy = (wchar_t*)malloc(bytes);
    if (!copy) return 0;
    memcpy(copy, text, bytes);

    wchar_t* tokens[kCodeMaxTokens];
    int tokenCount = SplitTokens(copy, tokens);

    PendingColour pending = {{crosshair->red, crosshair->green, crosshair->blue},
                             kNoColourChoice};
    int recognised = WalkTokens(tokens, tokenCount, crosshair, &pending);
    ResolveColour(pending, crosshair);

    free(copy);
    return recognised;
}
