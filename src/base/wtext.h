// Small wide-text helpers shared by the whole program: bounded formatting,
// bounded copies, ASCII case-insensitive comparison and locale-free number parsing.
#pragma once
#include <stddef.h>
#include <wchar.h>

// Formats like swprintf into buf (count elements). The result is always
// terminated and, when it does not fit, cut at count - 1 characters. glibc and
// MinGW disagree about overflowing wide printf, so every caller goes through here.
// Returns the number of characters written (without the terminator).
int FormatW(wchar_t* buf, size_t count, const wchar_t* fmt, ...);

// Copies at most count - 1 characters of src and always terminates.
// Returns the number of characters copied.
size_t CopyW(wchar_t* dst, size_t count, const wchar_t* src);

// Length of a terminated text, at most max.
size_t LengthW(const wchar_t* s, size_t max);

// The halves of a UTF-16 surrogate pair, which a cut never splits.
bool IsHighSurrogateW(wchar_t c);
bool IsLowSurrogateW(wchar_t c);
// How many elements of text fit in units UTF-16 units, a surrogate pair kept
// or left whole; where wchar_t holds whole code points (not Windows), one
// beyond the BMP counts two units, as Windows' own texts would hold it.
size_t FittingUnits(const wchar_t* text, size_t units);
// The mark a cut text ends in: "…".
extern const wchar_t kCutMark[];
// src into dst (count elements), cut to the units that fit, with kCutMark
// after a cut: "a long na…".
void CutW(wchar_t* dst, size_t count, const wchar_t* src, size_t units);

// Unicode's white space (the characters of its White_Space property), which
// titles and hand-edited files may carry anywhere.
bool IsWhiteSpaceW(wchar_t c);

// ASCII-only case folding: the program compares names, commands and file
// names the way a player types them, without the process locale.
wchar_t FoldAscii(wchar_t c);
bool EqualsNoCase(const wchar_t* a, const wchar_t* b);
bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix);
// True when needle occurs anywhere in text (ASCII letters compared without case).
// An empty needle is found in every non-empty text; nothing is found in an empty text.
bool ContainsNoCase(const wchar_t* text, const wchar_t* needle);

// The C library's wcstod in the C locale, whatever the process locale says:
// leading white space, sign, decimal or hexadecimal forms, infinity and NaN.
// *end (when not null) receives the first character not used; text that does
// not begin with a number gives 0 and *end == s.
double ParseDoubleC(const wchar_t* s, const wchar_t** end);

// The leading integer of a private-profile value, read the way
// GetPrivateProfileIntW reads it (RtlUnicodeStringToInteger, base 0): blanks
// and control characters skipped, one sign, the lower-case prefixes 0x, 0o and
// 0b, digits until the first that does not belong, and wrapping arithmetic on
// 32 bits ("4294967295" is -1). Text without digits gives 0.
int ParseProfileInteger(const wchar_t* s);

// double to float as IEEE rounding does it, without the undefined behaviour C++
// gives a value beyond the float range: such a value becomes an infinity
// ("1e39" is stored as it comes, and made harmless only where it is drawn).
float NarrowToFloat(double v);
