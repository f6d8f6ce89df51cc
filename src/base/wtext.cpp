// Bounded wide formatting, copies, ASCII case folding and C-locale numbers.
#include "base/wtext.h"

#include <float.h>
#include <math.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdlib.h>
#if defined(_MSC_VER)
#include <locale.h>
#elif !defined(_WIN32)
#include <locale.h>
#endif

namespace {
// Large enough for every text the program formats (the code line is 1,024).
const size_t kScratchChars = 2048;
}

int FormatW(wchar_t* buf, size_t count, const wchar_t* fmt, ...) {
    if (!buf || count == 0) return 0;
    wchar_t scratch[kScratchChars];
    scratch[0] = 0;  // a failure before the first character leaves an empty text
    va_list ap;
    va_start(ap, fmt);
    vswprintf(scratch, kScratchChars, fmt, ap);
    va_end(ap);
    // An overflow of the scratch buffer is reported as -1 and may leave it
    // unterminated on one C library and cut on the other: terminate it ourselves.
    scratch[kScratchChars - 1] = 0;
    return (int)CopyW(buf, count, scratch);
}

size_t CopyW(wchar_t* dst, size_t count, const wchar_t* src) {
    if (!dst || count == 0) return 0;
    size_t i = 0;
    if (src) {
        for (; i + 1 < count && src[i]; ++i) dst[i] = src[i];
    }
    dst[i] = 0;
    return i;
}

size_t LengthW(const wchar_t* s, size_t max) {
    size_t n = 0;
    if (!s) return 0;
    while (n < max && s[n]) ++n;
    return n;
}

const wchar_t kCutMark[] = L"\u2026";

namespace {
enum : uint32_t {
    kBmpLast = 0xFFFF,
    kHighSurrogateFirst = 0xD800,
    kHighSurrogateLast = 0xDBFF,
    kLowSurrogateFirst = 0xDC00,
    kLowSurrogateLast = 0xDFFF,
};
}  // namespace

bool IsHighSurrogateW(wchar_t c) {
    return (uint32_t)c >= kHighSurrogateFirst && (uint32_t)c <= kHighSurrogateLast;
}

bool IsLowSurrogateW(wchar_t c) {
    return (uint32_t)c >= kLowSurrogateFirst && (uint32_t)c <= kLowSurrogateLast;
}

size_t FittingUnits(const wchar_t* text, size_t units) {
    size_t kept = 0, used = 0;
    while (text[kept]) {
        size_t step = 1, need = (uint32_t)text[kept] > kBmpLast ? 2 : 1;
        if (IsHighSurrogateW(text[kept]) && IsLowSurrogateW(text[kept + 1])) step = need = 2;
        if (used + need > units) break;
        kept += step;
        used += need;
    }
    return kept;
}

void CutW(wchar_t* dst, size_t count, const wchar_t* src, size_t units) {
    if (count == 0) return;
    size_t kept = FittingUnits(src, units);
    if (kept >= count) kept = count - 1;
    for (size_t i = 0; i < kept; ++i) dst[i] = src[i];
    dst[kept] = 0;
    if (src[kept]) CopyW(dst + kept, count - kept, kCutMark);
}

bool IsWhiteSpaceW(wchar_t c) {
    unsigned u = (unsigned)c;
    return (u >= 0x09 && u <= 0x0D) || u == 0x20 || u == 0x85 || u == 0xA0 || u == 0x1680 ||
           (u >= 0x2000 && u <= 0x200A) || u == 0x2028 || u == 0x2029 || u == 0x202F ||
           u == 0x205F || u == 0x3000;
}

wchar_t FoldAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? (wchar_t)(c - L'A' + L'a') : c;
}

bool EqualsNoCase(const wchar_t* a, const wchar_t* b) {
    if (!a || !b) return a == b;
    for (;; ++a, ++b) {
        if (FoldAscii(*a) != FoldAscii(*b)) return false;
        if (!*a) return true;
    }
}

bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix) {
    if (!text || !prefix) return false;
    for (; *prefix; ++text, ++prefix) {
        if (!*text || FoldAscii(*text) != FoldAscii(*prefix)) return false;
    }
    return true;
}

bool ContainsNoCase(const wchar_t* text, const wchar_t* needle) {
    if (!text || !needle) return false;
    size_t n = LengthW(needle, (size_t)-1);
    for (const wchar_t* start = text; *start; ++start) {
        size_t i = 0;
        while (i < n && start[i] && FoldAscii(start[i]) == FoldAscii(needle[i])) ++i;
        if (i == n) return true;
    }
    return false;
}

namespace {
bool IsCSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

double NarrowStrtodC(const char* s, char** end) {
#if defined(_MSC_VER)
    static _locale_t c = _create_locale(LC_NUMERIC, "C");
    return _strtod_l(s, end, c);
#elif defined(_WIN32)
    // MinGW's strtod; the program never changes the C locale, so it is "C".
    return strtod(s, end);
#else
    static locale_t c = newlocale(LC_ALL_MASK, "C", (locale_t)0);
    return strtod_l(s, end, c);
#endif
}
}  // namespace

float NarrowToFloat(double v) {
    // Half a float ulp above FLT_MAX: from here on the nearest float is infinity.
    const double overflow = (double)FLT_MAX + ldexp(1.0, FLT_MAX_EXP - FLT_MANT_DIG - 1);
    if (v >= overflow) return HUGE_VALF;
    if (v <= -overflow) return -HUGE_VALF;
    if (v > (double)FLT_MAX) return FLT_MAX;
    if (v < -(double)FLT_MAX) return -FLT_MAX;
    return (float)v;
}

int ParseProfileInteger(const wchar_t* s) {
    if (!s) return 0;
    while (*s && (uint32_t)*s <= L' ') ++s;
    bool minus = false;
    if (*s == L'+' || *s == L'-') minus = *s++ == L'-';
    uint32_t base = 10;
    if (s[0] == L'0' && s[1] == L'x') base = 16, s += 2;
    else if (s[0] == L'0' && s[1] == L'o') base = 8, s += 2;
    else if (s[0] == L'0' && s[1] == L'b') base = 2, s += 2;
    uint32_t total = 0;
    for (;; ++s) {
        uint32_t digit;
        wchar_t c = *s;
        if (c >= L'0' && c <= L'9') digit = (uint32_t)(c - L'0');
        else if (c >= L'a' && c <= L'z') digit = (uint32_t)(c - L'a') + 10;
        else if (c >= L'A' && c <= L'Z') digit = (uint32_t)(c - L'A') + 10;
        else break;
        if (digit >= base) break;
        total = total * base + digit;
    }
    if (minus) total = 0u - total;
    return (int)total;
}

double ParseDoubleC(const wchar_t* s, const wchar_t** end) {
    if (end) *end = s;
    if (!s) return 0.0;
    const wchar_t* p = s;
    while (IsCSpace(*p)) ++p;
    // Every character a C-locale number can hold is ASCII; copy the run of
    // ASCII graphic characters and let the C library decide where it stops.
    char narrow[512];
    size_t n = 0;
    const wchar_t* q = p;
    if (*q == L'+' || *q == L'-') narrow[n++] = (char)*q++;
    // A long run of leading zeros adds nothing but length: keep two of them
    // ("00x1" must still stop after the zeros) so the digits after it fit.
    const wchar_t* zeros = q;
    while (*q == L'0') ++q;
    if (q - zeros > 2) zeros = q - 2;
    q = zeros;
    while (n + 1 < sizeof narrow && *q > 0x20 && *q < 0x7F) narrow[n++] = (char)*q++;
    narrow[n] = 0;
    char* stop = narrow;
    double v = NarrowStrtodC(narrow, &stop);
    if (stop == narrow) return 0.0;
    if (end) {
        // Map the stop back into the wide text: the skipped zeros come before it.
        size_t skipped = (size_t)(zeros - p) - ((*p == L'+' || *p == L'-') ? 1 : 0);
        *end = p + skipped + (size_t)(stop - narrow);
    }
    return v;
}
