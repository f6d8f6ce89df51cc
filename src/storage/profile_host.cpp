// The private-profile contract on the host: our own reading and writing of
// INI files that behaves like kernel32 (as Wine 8 shows it) for the calls the
// program makes, so the tool and the unit tests see the files Windows would.
//
// Model: the file is decoded whole on every call (no cache to go stale), cut
// into lines and read as sections and keys the way the Windows loader reads
// them. A write that changes something rewrites the whole file from that
// reading, in the file's own encoding, with CR LF line ends; a write that
// changes nothing leaves the file's bytes alone.
#include "storage/profile.h"

#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "base/wtext.h"

namespace {

enum Encoding { kEncodingAnsi, kEncodingUtf8, kEncodingUtf16Le, kEncodingUtf16Be };

const unsigned char kBomUtf8[] = {0xEF, 0xBB, 0xBF};
const unsigned char kBomUtf16Le[] = {0xFF, 0xFE};
const unsigned char kBomUtf16Be[] = {0xFE, 0xFF};

const wchar_t kReplacementChar = 0xFFFD;
const unsigned char kAnsiUnmappable = '?';
// A UTF-8 path of a 260-character name fits many times over.
const size_t kPathBytes = 4096;
// Copies of a settings file are made in rounds of this many bytes.
const size_t kCopyChunkBytes = 16384;
const unsigned kCodePointMax = 0x10FFFF;

// Windows-1252, the ANSI code page of a Brazilian Windows (and of Wine's
// default prefix): what 0x80..0x9F stand for. The five unused bytes map to
// the C1 control of the same number, as MultiByteToWideChar does.
const uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
const unsigned kCp1252HighFirst = 0x80;
const unsigned kCp1252HighCount = 32;

// The file, decoded: code points in a heap buffer, the encoding to write back in.
struct ProfileText {
    wchar_t* chars;
    size_t length;
    Encoding encoding;
};

// One line as the loader understands it. Names and values are cut at an
// embedded NUL, as every later use of them in kernel32 is.
struct ProfileLine {
    bool isSection;
    size_t nameStart, nameLength;
    bool hasValue;  // a key line with '='
    size_t valueStart, valueLength;
};

struct LineCursor {
    const ProfileText* text;
    size_t pos;
    bool inSection;      // false while still in the nameless part before any header
    int prevKeyState;    // -1 no key yet in this section, 0 named, 1 empty-named
};

// Growing output in bytes; a failed allocation is remembered, not reported.
struct ByteOut {
    unsigned char* data;
    size_t length, capacity;
    bool failed;
};

bool IsProfileSpace(wchar_t c) {
    // Tab, line feed, vertical tab, form feed, carriage return, space, and
    // ^Z (the DOS end of file): what the Windows loader trims.
    return c == 0x09 || c == 0x0A || c == 0x0B || c == 0x0C || c == 0x0D || c == 0x20 ||
           c == 0x1A;
}

bool IsLineBreak(wchar_t c) { return c == L'\n' || c == L'\r'; }

size_t CutAtNul(const wchar_t* s, size_t length) {
    size_t n = 0;
    while (n < length && s[n]) ++n;
    return n;
}

// ---- paths and raw files -------------------------------------------------

size_t PutUtf8(unsigned char* out, uint32_t cp) {
    if (cp < 0x80) {
        out[0] = (unsigned char)cp;
        return 1;
    }
    if (cp < 0x800) {
        out[0] = (unsigned char)(0xC0 | (cp >> 6));
        out[1] = (unsigned char)(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = (unsigned char)(0xE0 | (cp >> 12));
        out[1] = (unsigned char)(0x80 | ((cp >> 6) & 0x3F));
        out[2] = (unsigned char)(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = (unsigned char)(0xF0 | (cp >> 18));
    out[1] = (unsigned char)(0x80 | ((cp >> 12) & 0x3F));
    out[2] = (unsigned char)(0x80 | ((cp >> 6) & 0x3F));
    out[3] = (unsigned char)(0x80 | (cp & 0x3F));
    return 4;
}

bool IsSurrogate(uint32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }

// Code points that UTF-8 cannot carry become U+FFFD, as WideCharToMultiByte does.
uint32_t Utf8Safe(wchar_t c) {
    uint32_t cp = (uint32_t)c;
    return (IsSurrogate(cp) || cp > kCodePointMax) ? kReplacementChar : cp;
}

bool PathToUtf8(const wchar_t* path, char* out, size_t size) {
    if (!path || !path[0]) return false;
    size_t n = 0;
    for (; *path; ++path) {
        unsigned char bytes[4];
        size_t k = PutUtf8(bytes, Utf8Safe(*path));
        if (n + k + 1 > size) return false;
        memcpy(out + n, bytes, k);
        n += k;
    }
    out[n] = 0;
    return true;
}

// Reads the whole file into a heap buffer the caller frees; false when it
// cannot be opened or read.
bool ReadWholeFile(const char* path, unsigned char** bytes, size_t* count) {
    *bytes = nullptr;
    *count = 0;
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    size_t capacity = 0;
    unsigned char* data = nullptr;
    bool ok = true;
    for (;;) {
        if (*count == capacity) {
            size_t grown = capacity ? capacity * 2 : 4096;
            unsigned char* bigger = (unsigned char*)realloc(data, grown);
            if (!bigger) {
                ok = false;
                break;
            }
            data = bigger;
            capacity = grown;
        }
        size_t got = fread(data + *count, 1, capacity - *count, f);
        *count += got;
        if (got == 0) break;
    }
    if (ferror(f)) ok = false;
    fclose(f);
    if (!ok) {
        free(data);
        *count = 0;
        return false;
    }
    *bytes = data;
    return true;
}

// ---- decoding -------------------------------------------------------------

wchar_t DecodeAnsiByte(unsigned char b) {
    if (b >= kCp1252HighFirst && b < kCp1252HighFirst + kCp1252HighCount)
        return (wchar_t)kCp1252High[b - kCp1252HighFirst];
    return (wchar_t)b;
}

size_t DecodeAnsi(const unsigned char* p, size_t n, wchar_t* out) {
    for (size_t i = 0; i < n; ++i) out[i] = DecodeAnsiByte(p[i]);
    return n;
}

// UTF-8 as MultiByteToWideChar reads it under Wine: a malformed sequence
// becomes one U+FFFD that swallows the continuation bytes read before the
// fault was seen, and a sequence cut by the end of the text swallows the rest.
size_t DecodeUtf8(const unsigned char* p, size_t n, wchar_t* out) {
    size_t i = 0, k = 0;
    while (i < n) {
        unsigned char lead = p[i];
        if (lead < 0x80) {
            out[k++] = (wchar_t)lead;
            ++i;
            continue;
        }
        size_t follow = 0;  // continuation bytes the lead announces
        uint32_t cp = 0;
        if (lead >= 0xC2 && lead <= 0xDF) follow = 1, cp = lead & 0x1F;
        else if (lead >= 0xE0 && lead <= 0xEF) follow = 2, cp = lead & 0x0F;
        else if (lead >= 0xF0 && lead <= 0xF4) follow = 3, cp = lead & 0x07;
        if (follow == 0) {
            out[k++] = kReplacementChar;
            ++i;
            continue;
        }
        if (follow > n - i - 1) {
            out[k++] = kReplacementChar;
            break;
        }
        size_t used = 1;
        bool good = true;
        for (size_t j = 1; j <= follow && good; ++j) {
            unsigned char c = p[i + j];
            if ((c & 0xC0) != 0x80) {
                good = false;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
            ++used;
            // Faults show in the bits gathered so far: overlong forms, values
            // beyond U+10FFFF and surrogates.
            if (follow == 3 && j == 1) good = cp >= 0x10 && cp < 0x110;
            if (follow - j == 1) good = good && cp >= 0x20 && !(cp >= 0x360 && cp < 0x380);
        }
        out[k++] = good ? (wchar_t)cp : kReplacementChar;
        i += used;
    }
    return k;
}

// UTF-16 with pairs joined into one code point; a lone surrogate stays as it
// is so that it is written back unchanged. An odd last byte is read as a unit
// whose other byte is zero.
size_t DecodeUtf16(const unsigned char* p, size_t n, bool bigEndian, wchar_t* out) {
    size_t units = (n + 1) / 2, k = 0;
    for (size_t u = 0; u < units; ++u) {
        unsigned lo = p[2 * u], hi = (2 * u + 1 < n) ? p[2 * u + 1] : 0;
        uint32_t unit = bigEndian ? ((lo << 8) | hi) : ((hi << 8) | lo);
        if (unit >= 0xD800 && unit <= 0xDBFF && u + 1 < units && 2 * u + 3 < n) {
            unsigned lo2 = p[2 * u + 2], hi2 = p[2 * u + 3];
            uint32_t next = bigEndian ? ((lo2 << 8) | hi2) : ((hi2 << 8) | lo2);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                out[k++] = (wchar_t)(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++u;
                continue;
            }
        }
        out[k++] = (wchar_t)unit;
    }
    return k;
}

bool StartsWithBytes(const unsigned char* p, size_t n, const unsigned char* bom, size_t bomLength) {
    return n >= bomLength && memcmp(p, bom, bomLength) == 0;
}

// Loads and decodes the file. A missing file reads as empty ANSI text (which is
// also what a new file is written as); false only when memory runs out or the
// file exists and cannot be read.
bool LoadProfile(const wchar_t* file, ProfileText* text) {
    text->chars = nullptr;
    text->length = 0;
    text->encoding = kEncodingAnsi;
    char path[kPathBytes];
    if (!PathToUtf8(file, path, sizeof path)) return false;
    unsigned char* bytes = nullptr;
    size_t count = 0;
    if (!ReadWholeFile(path, &bytes, &count)) {
        struct stat info;
        return stat(path, &info) != 0;  // missing: empty; present but unreadable: failure
    }
    const unsigned char* body = bytes;
    size_t bodyLength = count;
    if (StartsWithBytes(bytes, count, kBomUtf8, sizeof kBomUtf8)) {
        text->encoding = kEncodingUtf8;
        body += sizeof kBomUtf8;
        bodyLength -= sizeof kBomUtf8;
    } else if (StartsWithBytes(bytes, count, kBomUtf16Le, sizeof kBomUtf16Le)) {
        text->encoding = kEncodingUtf16Le;
        body += sizeof kBomUtf16Le;
        bodyLength -= sizeof kBomUtf16Le;
    } else if (StartsWithBytes(bytes, count, kBomUtf16Be, sizeof kBomUtf16Be)) {
        text->encoding = kEncodingUtf16Be;
        body += sizeof kBomUtf16Be;
        bodyLength -= sizeof kBomUtf16Be;
    }
    // Every encoding yields at most one character per byte.
    text->chars = (wchar_t*)malloc((bodyLength + 1) * sizeof(wchar_t));
    if (!text->chars) {
        free(bytes);
        return false;
    }
    switch (text->encoding) {
        case kEncodingUtf8: text->length = DecodeUtf8(body, bodyLength, text->chars); break;
        case kEncodingUtf16Le: text->length = DecodeUtf16(body, bodyLength, false, text->chars); break;
        case kEncodingUtf16Be: text->length = DecodeUtf16(body, bodyLength, true, text->chars); break;
        default: text->length = DecodeAnsi(body, bodyLength, text->chars); break;
    }
    text->chars[text->length] = 0;
    free(bytes);
    return true;
}

void FreeProfile(ProfileText* text) {
    free(text->chars);
    text->chars = nullptr;
    text->length = 0;
}

// ---- reading lines --------------------------------------------------------

void StartLines(const ProfileText* text, LineCursor* cursor) {
    cursor->text = text;
    cursor->pos = 0;
    cursor->inSection = false;
    cursor->prevKeyState = -1;
}

// The next section or key line. Blank lines are skipped; so is an empty-named
// key that follows another empty-named key of the same section, which the
// Windows loader also folds away.
bool NextLine(LineCursor* cursor, ProfileLine* line) {
    const wchar_t* t = cursor->text->chars;
    size_t end = cursor->text->length;
    while (cursor->pos < end) {
        size_t start = cursor->pos;
        size_t stop = start;
        while (stop < end && !IsLineBreak(t[stop])) ++stop;
        size_t next = stop;
        while (next < end && IsLineBreak(t[next])) ++next;
        cursor->pos = next;

        while (start < stop && IsProfileSpace(t[start])) ++start;
        while (stop > start && IsProfileSpace(t[stop - 1])) --stop;
        if (start >= stop) continue;

        if (t[start] == L'[') {
            size_t close = stop;
            while (close > start && t[close - 1] != L']') --close;
            if (close > start) {
                // close - 1 is the last ']' of the line; the name lies between.
                size_t nameStart = start + 1, nameEnd = close - 1;
                while (nameStart < nameEnd && IsProfileSpace(t[nameStart])) ++nameStart;
                while (nameEnd > nameStart && IsProfileSpace(t[nameEnd - 1])) --nameEnd;
                line->isSection = true;
                line->nameStart = nameStart;
                line->nameLength = CutAtNul(t + nameStart, nameEnd - nameStart);
                line->hasValue = false;
                line->valueStart = line->valueLength = 0;
                cursor->inSection = true;
                cursor->prevKeyState = -1;
                return true;
            }
        }

        size_t equals = start;
        while (equals < stop && t[equals] != L'=') ++equals;
        size_t nameEnd = equals;
        line->hasValue = equals < stop;
        line->valueStart = line->valueLength = 0;
        if (line->hasValue) {
            size_t valueStart = equals + 1;
            while (nameEnd > start && IsProfileSpace(t[nameEnd - 1])) --nameEnd;
            while (valueStart < stop && IsProfileSpace(t[valueStart])) ++valueStart;
            line->valueStart = valueStart;
            line->valueLength = CutAtNul(t + valueStart, stop - valueStart);
        }
        size_t rawNameLength = nameEnd - start;
        if (rawNameLength == 0 && cursor->prevKeyState == 1) continue;
        line->isSection = false;
        line->nameStart = start;
        line->nameLength = CutAtNul(t + start, rawNameLength);
        cursor->prevKeyState = (rawNameLength > 0 && t[start] != 0) ? 0 : 1;
        return true;
    }
    return false;
}

// A request's name with the surrounding blanks the lookup ignores.
struct NameSpan {
    const wchar_t* chars;
    size_t length;
};

NameSpan TrimmedName(const wchar_t* name) {
    NameSpan span = {name, 0};
    if (!name) return span;
    while (IsProfileSpace(*span.chars)) ++span.chars;
    span.length = wcslen(span.chars);
    while (span.length > 0 && IsProfileSpace(span.chars[span.length - 1])) --span.length;
    return span;
}

NameSpan WholeName(const wchar_t* name) {
    NameSpan span = {name, name ? wcslen(name) : 0};
    return span;
}

// Names compare without ASCII case, and only ASCII: Wine folds no other letters.
bool SameName(const wchar_t* a, size_t aLength, NameSpan b) {
    if (aLength != b.length) return false;
    for (size_t i = 0; i < aLength; ++i)
        if (FoldAscii(a[i]) != FoldAscii(b.chars[i])) return false;
    return true;
}

bool LineNameIs(const ProfileText& text, const ProfileLine& line, NameSpan name) {
    return SameName(text.chars + line.nameStart, line.nameLength, name);
}

// Where a key lives: the first section of that name and, in it, the first key
// of that name. Section -1 means the nameless part before any header.
struct KeyPlace {
    bool sectionFound;
    long sectionLine;   // index of the header line, -1 for the nameless part
    bool keyFound;
    long keyLine;       // index of the key line when found
    long lastKeyLine;   // last key line of the section, -1 when it has none
    ProfileLine key;
};

void FindKey(const ProfileText& text, NameSpan section, NameSpan key, KeyPlace* place) {
    place->sectionFound = false;
    place->sectionLine = -1;
    place->keyFound = false;
    place->keyLine = place->lastKeyLine = -1;
    LineCursor cursor;
    StartLines(&text, &cursor);
    ProfileLine line;
    // The nameless part answers to an empty section name.
    bool inTarget = section.length == 0;
    place->sectionFound = inTarget;
    long index = 0;
    for (; NextLine(&cursor, &line); ++index) {
        if (line.isSection) {
            if (inTarget) break;  // the first matching section has ended
            if (LineNameIs(text, line, section)) {
                inTarget = true;
                place->sectionFound = true;
                place->sectionLine = index;
            }
            continue;
        }
        if (!inTarget) continue;
        place->lastKeyLine = index;
        if (!place->keyFound && key.chars && LineNameIs(text, line, key)) {
            place->keyFound = true;
            place->keyLine = index;
            place->key = line;
        }
    }
}

// ---- copying out ------------------------------------------------------------

// Copies value into buf the way kernel32 does, surrounding quotes included:
// a value wrapped in matching ' or " loses them, and when the buffer is large
// enough for the unquoted text its last character is dropped (that is the
// closing quote, or a real character if the buffer cut the text).
unsigned CopyEntry(wchar_t* buf, unsigned size, const wchar_t* value, size_t length) {
    size_t from = 0;
    bool quoted = false;
    if (length >= 2 && (value[0] == L'\'' || value[0] == L'"') && value[length - 1] == value[0]) {
        quoted = true;
        from = 1;
    }
    size_t rest = length - from;
    size_t n = rest < size - 1 ? rest : size - 1;
    memcpy(buf, value + from, n * sizeof(wchar_t));
    buf[n] = 0;
    if (quoted && size >= rest && n > 0) buf[--n] = 0;
    return (unsigned)n;
}

// Section names of the file in order, as GetPrivateProfileSectionNamesW lays
// them out, including its way of cutting the list when buf is too small.
unsigned CopySectionNames(const ProfileText& text, wchar_t* buf, unsigned size) {
    if (!buf || size == 0) return 0;
    if (size == 1) {
        buf[0] = 0;
        return 0;
    }
    unsigned room = size - 1;
    wchar_t* out = buf;
    LineCursor cursor;
    StartLines(&text, &cursor);
    ProfileLine line;
    while (NextLine(&cursor, &line)) {
        if (!line.isSection || line.nameLength == 0) continue;
        size_t need = line.nameLength + 1;
        if (need >= room) {
            if (room > 0) {
                memcpy(out, text.chars + line.nameStart, (room - 1) * sizeof(wchar_t));
                out += room - 1;
                *out++ = 0;
            }
            *out = 0;
            return size - 2;
        }
        memcpy(out, text.chars + line.nameStart, line.nameLength * sizeof(wchar_t));
        out[line.nameLength] = 0;
        out += need;
        room -= (unsigned)need;
    }
    *out = 0;
    return (unsigned)(out - buf);
}

// Key names of one section ("a\0b\0\0"): what GetPrivateProfileStringW gives
// for a null key. Comments (";...") and lines without '=' are left out.
unsigned CopyKeyNames(const ProfileText& text, NameSpan section, wchar_t* buf, unsigned size) {
    LineCursor cursor;
    StartLines(&text, &cursor);
    ProfileLine line;
    bool inTarget = section.length == 0;
    bool found = inTarget;
    unsigned room = size;
    wchar_t* out = buf;
    while (NextLine(&cursor, &line)) {
        if (line.isSection) {
            if (inTarget) break;
            inTarget = LineNameIs(text, line, section);
            found = found || inTarget;
            continue;
        }
        if (!inTarget) continue;
        if (room <= 2) break;
        const wchar_t* name = text.chars + line.nameStart;
        if (line.nameLength == 0 && !line.hasValue) continue;
        if (line.nameLength > 0 && name[0] == L';') continue;
        if (!line.hasValue) continue;
        size_t n = line.nameLength < room - 2 ? line.nameLength : room - 2;
        memcpy(out, name, n * sizeof(wchar_t));
        out[n] = 0;
        room -= (unsigned)n + 1;
        out += n + 1;
        if (room < 2) break;
    }
    if (!found) {
        buf[0] = 0;
        if (size > 1) buf[1] = 0;
        return 0;
    }
    *out = 0;
    if (room <= 1) {
        if (out > buf) out[-1] = 0;
        return size >= 2 ? size - 2 : 0;
    }
    return size - room;
}

// The lines of the first section of that name, as GetPrivateProfileSectionW
// gives them: "key=value" (a line without '=' as its name alone), comments
// left out; a list too long for buf is cut and ends in two NULs.
unsigned CopySectionLines(const ProfileText& text, NameSpan section, wchar_t* buf,
                          unsigned size) {
    if (size < 2) {
        if (size == 1) buf[0] = 0;
        return 0;
    }
    LineCursor cursor;
    StartLines(&text, &cursor);
    ProfileLine line;
    bool inTarget = false, seen = false;
    unsigned used = 0;
    bool cut = false;
    while (!cut && NextLine(&cursor, &line)) {
        if (line.isSection) {
            if (seen) break;
            inTarget = seen = section.length > 0 && LineNameIs(text, line, section);
            continue;
        }
        const wchar_t* name = text.chars + line.nameStart;
        if (!inTarget || (line.nameLength == 0 && !line.hasValue)) continue;
        if (line.nameLength > 0 && name[0] == L';') continue;
        // The line as "name=value", copied while it fits before the final NUL.
        size_t parts = line.hasValue ? 3 : 1;
        for (size_t part = 0; part < parts && !cut; ++part) {
            const wchar_t* from =
                part == 0 ? name : part == 1 ? L"=" : text.chars + line.valueStart;
            size_t length = part == 0 ? line.nameLength : part == 1 ? 1 : line.valueLength;
            for (size_t i = 0; i < length && !cut; ++i) {
                if (used + 2 >= size) cut = true;
                else buf[used++] = from[i];
            }
        }
        if (!cut) buf[used++] = 0;
    }
    if (cut) {
        buf[size - 2] = 0;
        buf[size - 1] = 0;
        return size - 2;
    }
    buf[used] = 0;
    return used;
}

// ---- writing ----------------------------------------------------------------

void PutByte(ByteOut* out, unsigned char b) {
    if (out->failed) return;
    if (out->length == out->capacity) {
        size_t grown = out->capacity ? out->capacity * 2 : 4096;
        unsigned char* bigger = (unsigned char*)realloc(out->data, grown);
        if (!bigger) {
            out->failed = true;
            return;
        }
        out->data = bigger;
        out->capacity = grown;
    }
    out->data[out->length++] = b;
}

void PutUnit16(ByteOut* out, uint32_t unit, bool bigEndian) {
    PutByte(out, (unsigned char)(bigEndian ? unit >> 8 : unit & 0xFF));
    PutByte(out, (unsigned char)(bigEndian ? unit & 0xFF : unit >> 8));
}

unsigned char EncodeAnsiChar(wchar_t c) {
    uint32_t cp = (uint32_t)c;
    if (cp < kCp1252HighFirst || (cp >= kCp1252HighFirst + kCp1252HighCount && cp <= 0xFF)) {
        return (unsigned char)cp;
    }
    for (unsigned i = 0; i < kCp1252HighCount; ++i)
        if (kCp1252High[i] == cp) return (unsigned char)(kCp1252HighFirst + i);
    return kAnsiUnmappable;
}

void PutChar(ByteOut* out, Encoding encoding, wchar_t c) {
    uint32_t cp = (uint32_t)c;
    switch (encoding) {
        case kEncodingUtf16Le:
        case kEncodingUtf16Be: {
            bool be = encoding == kEncodingUtf16Be;
            if (cp > kCodePointMax) cp = kReplacementChar;
            if (cp >= 0x10000) {
                cp -= 0x10000;
                PutUnit16(out, 0xD800 + (cp >> 10), be);
                PutUnit16(out, 0xDC00 + (cp & 0x3FF), be);
            } else {
                PutUnit16(out, cp, be);
            }
            break;
        }
        case kEncodingUtf8: {
            unsigned char bytes[4];
            size_t n = PutUtf8(bytes, Utf8Safe(c));
            for (size_t i = 0; i < n; ++i) PutByte(out, bytes[i]);
            break;
        }
        default: PutByte(out, EncodeAnsiChar(c)); break;
    }
}

void PutChars(ByteOut* out, Encoding encoding, const wchar_t* s, size_t n) {
    for (size_t i = 0; i < n; ++i) PutChar(out, encoding, s[i]);
}

void PutLineEnd(ByteOut* out, Encoding encoding) {
    PutChar(out, encoding, L'\r');
    PutChar(out, encoding, L'\n');
}

void PutMarker(ByteOut* out, Encoding encoding) {
    const unsigned char* bom = nullptr;
    size_t n = 0;
    if (encoding == kEncodingUtf8) bom = kBomUtf8, n = sizeof kBomUtf8;
    if (encoding == kEncodingUtf16Le) bom = kBomUtf16Le, n = sizeof kBomUtf16Le;
    if (encoding == kEncodingUtf16Be) bom = kBomUtf16Be, n = sizeof kBomUtf16Be;
    for (size_t i = 0; i < n; ++i) PutByte(out, bom[i]);
}

void PutSectionLine(ByteOut* out, Encoding encoding, const wchar_t* name, size_t n) {
    // A section with an empty name ("[]") has no header line when written back.
    if (n == 0) return;
    PutChar(out, encoding, L'[');
    PutChars(out, encoding, name, n);
    PutChar(out, encoding, L']');
    PutLineEnd(out, encoding);
}

void PutKeyLine(ByteOut* out, Encoding encoding, const wchar_t* name, size_t nameLength,
                bool hasValue, const wchar_t* value, size_t valueLength) {
    PutChars(out, encoding, name, nameLength);
    if (hasValue) {
        PutChar(out, encoding, L'=');
        PutChars(out, encoding, value, valueLength);
    }
    PutLineEnd(out, encoding);
}

// The change a write makes to the file's lines.
enum EditKind { kEditReplaceValue, kEditInsertKey, kEditAppendSection, kEditDropSection, kEditDropKey };
struct ProfileEdit {
    EditKind kind;
    long line;            // the line concerned (for an insert: the line to follow, -1 at the start)
    const wchar_t* section;  // for a new section
    const wchar_t* key;      // for a new key
    const wchar_t* value;    // new value
};

// A new name keeps its trailing blanks, as Windows writes them; only the
// leading ones are dropped.
const wchar_t* SkipLeadingSpace(const wchar_t* s) {
    while (IsProfileSpace(*s)) ++s;
    return s;
}

bool WriteWholeFile(const wchar_t* file, const ByteOut& out) {
    char path[kPathBytes];
    if (out.failed || !PathToUtf8(file, path, sizeof path)) return false;
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    bool ok = fwrite(out.data, 1, out.length, f) == out.length;
    if (fclose(f) != 0) ok = false;
    return ok;
}

// Writes every line of text back, with the edit applied, and saves the file.
bool RewriteProfile(const wchar_t* file, const ProfileText& text, const ProfileEdit& edit) {
    ByteOut out = {nullptr, 0, 0, false};
    Encoding enc = text.encoding;
    PutMarker(&out, enc);
    const wchar_t* newKey = edit.key ? SkipLeadingSpace(edit.key) : nullptr;
    const wchar_t* newValue = edit.value ? SkipLeadingSpace(edit.value) : nullptr;
    if (edit.kind == kEditInsertKey && edit.line < 0)
        PutKeyLine(&out, enc, newKey, wcslen(newKey), true, newValue, wcslen(newValue));
    LineCursor cursor;
    StartLines(&text, &cursor);
    ProfileLine line;
    // Line -1 stands for the nameless part before the first header.
    bool dropping = edit.kind == kEditDropSection && edit.line < 0;
    for (long index = 0; NextLine(&cursor, &line); ++index) {
        const wchar_t* name = text.chars + line.nameStart;
        if (line.isSection) {
            dropping = edit.kind == kEditDropSection && index == edit.line;
            if (!dropping) PutSectionLine(&out, enc, name, line.nameLength);
        } else if (dropping || (edit.kind == kEditDropKey && index == edit.line)) {
            // left out
        } else if (edit.kind == kEditReplaceValue && index == edit.line) {
            PutKeyLine(&out, enc, name, line.nameLength, true, newValue, wcslen(newValue));
        } else {
            PutKeyLine(&out, enc, name, line.nameLength, line.hasValue,
                       text.chars + line.valueStart, line.valueLength);
        }
        if (edit.kind == kEditInsertKey && index == edit.line)
            PutKeyLine(&out, enc, newKey, wcslen(newKey), true, newValue, wcslen(newValue));
    }
    if (edit.kind == kEditAppendSection) {
        const wchar_t* section = SkipLeadingSpace(edit.section);
        PutSectionLine(&out, enc, section, wcslen(section));
        PutKeyLine(&out, enc, newKey, wcslen(newKey), true, newValue, wcslen(newValue));
    }
    bool ok = WriteWholeFile(file, out);
    free(out.data);
    return ok;
}

bool SetKey(const wchar_t* file, const ProfileText& text, const wchar_t* section,
            const wchar_t* key, const wchar_t* value) {
    KeyPlace place;
    FindKey(text, TrimmedName(section), TrimmedName(key), &place);
    ProfileEdit edit = {kEditReplaceValue, -1, section, key, value};
    if (place.keyFound) {
        const wchar_t* wanted = SkipLeadingSpace(value);
        size_t wantedLength = wcslen(wanted);
        if (place.key.hasValue && place.key.valueLength == wantedLength &&
            wmemcmp(text.chars + place.key.valueStart, wanted, wantedLength) == 0) {
            return true;  // nothing changes: the file keeps its bytes
        }
        edit.line = place.keyLine;
    } else if (place.sectionFound) {
        edit.kind = kEditInsertKey;
        edit.line = place.lastKeyLine >= 0 ? place.lastKeyLine : place.sectionLine;
    } else {
        edit.kind = kEditAppendSection;
    }
    return RewriteProfile(file, text, edit);
}

// Deleting compares the name as given, blanks included, and removes only the
// first section of that name; an empty name is the nameless part at the top.
bool DeleteSection(const wchar_t* file, const ProfileText& text, const wchar_t* section) {
    NameSpan name = WholeName(section);
    if (name.length == 0) {
        ProfileEdit edit = {kEditDropSection, -1, nullptr, nullptr, nullptr};
        return RewriteProfile(file, text, edit);
    }
    LineCursor cursor;
    StartLines(&text, &cursor);
    ProfileLine line;
    for (long index = 0; NextLine(&cursor, &line); ++index) {
        if (line.isSection && LineNameIs(text, line, name)) {
            ProfileEdit edit = {kEditDropSection, index, nullptr, nullptr, nullptr};
            return RewriteProfile(file, text, edit);
        }
    }
    return true;
}

// Deleting a key looks through every section of that name for the first such key.
bool DeleteKey(const wchar_t* file, const ProfileText& text, const wchar_t* section,
               const wchar_t* key) {
    NameSpan sectionName = WholeName(section), keyName = WholeName(key);
    LineCursor cursor;
    StartLines(&text, &cursor);
    ProfileLine line;
    bool inTarget = sectionName.length == 0;
    for (long index = 0; NextLine(&cursor, &line); ++index) {
        if (line.isSection) {
            inTarget = LineNameIs(text, line, sectionName);
        } else if (inTarget && LineNameIs(text, line, keyName)) {
            ProfileEdit edit = {kEditDropKey, index, nullptr, nullptr, nullptr};
            return RewriteProfile(file, text, edit);
        }
    }
    return true;
}

// Puts one "key=value" entry of a section write as its key line; an entry
// without '=' is left out, as kernel32 leaves it.
void PutEntryLine(ByteOut* out, Encoding encoding, const wchar_t* entry) {
    const wchar_t* equals = wcschr(entry, L'=');
    if (!equals) return;
    // Like a single key's write: the name keeps its trailing blanks.
    const wchar_t* key = SkipLeadingSpace(entry);
    size_t keyLength = key < equals ? (size_t)(equals - key) : 0;
    const wchar_t* value = SkipLeadingSpace(equals + 1);
    PutKeyLine(out, encoding, key, keyLength, true, value, wcslen(value));
}

void PutEntryLines(ByteOut* out, Encoding encoding, const wchar_t* entries) {
    for (const wchar_t* entry = entries; *entry; entry += wcslen(entry) + 1)
        PutEntryLine(out, encoding, entry);
}

// The keys of every section of that name go; the entries follow the header of
// the first such section, or a new section at the end. One rewrite of the file.
bool ReplaceSectionKeys(const wchar_t* file, const ProfileText& text, const wchar_t* section,
                        const wchar_t* entries) {
    NameSpan name = TrimmedName(section);
    ByteOut out = {nullptr, 0, 0, false};
    Encoding enc = text.encoding;
    PutMarker(&out, enc);
    LineCursor cursor;
    StartLines(&text, &cursor);
    ProfileLine line;
    bool inTarget = false, placed = false;
    while (NextLine(&cursor, &line)) {
        const wchar_t* lineName = text.chars + line.nameStart;
        if (line.isSection) {
            inTarget = name.length > 0 && LineNameIs(text, line, name);
            PutSectionLine(&out, enc, lineName, line.nameLength);
            if (inTarget && !placed) PutEntryLines(&out, enc, entries);
            placed = placed || inTarget;
        } else if (!inTarget) {
            PutKeyLine(&out, enc, lineName, line.nameLength, line.hasValue,
                       text.chars + line.valueStart, line.valueLength);
        }
    }
    if (!placed) {
        PutSectionLine(&out, enc, name.chars, name.length);
        PutEntryLines(&out, enc, entries);
    }
    bool ok = WriteWholeFile(file, out);
    free(out.data);
    return ok;
}

}  // namespace

unsigned ProfileGetString(const wchar_t* section, const wchar_t* key, const wchar_t* def,
                          wchar_t* buf, unsigned size, const wchar_t* file) {
    if (!buf || size == 0) return 0;
    // The default loses its trailing spaces (only U+0020, and never its first character).
    const wchar_t* fallback = def ? def : L"";
    size_t fallbackLength = wcslen(fallback);
    while (fallbackLength > 1 && fallback[fallbackLength - 1] == L' ') --fallbackLength;

    ProfileText text;
    if (!LoadProfile(file, &text)) return CopyEntry(buf, size, fallback, fallbackLength);
    unsigned result;
    if (!section) {
        result = CopySectionNames(text, buf, size);
    } else if (!key) {
        result = CopyKeyNames(text, TrimmedName(section), buf, size);
        if (!buf[0]) result = CopyEntry(buf, size, fallback, fallbackLength);
    } else {
        KeyPlace place;
        FindKey(text, TrimmedName(section), TrimmedName(key), &place);
        // A key line without '=' has no value: it reads as absent.
        if (place.keyFound && place.key.hasValue) {
            result = CopyEntry(buf, size, text.chars + place.key.valueStart, place.key.valueLength);
        } else {
            result = CopyEntry(buf, size, fallback, fallbackLength);
        }
    }
    FreeProfile(&text);
    return result;
}

int ProfileGetInt(const wchar_t* section, const wchar_t* key, int def, const wchar_t* file) {
    wchar_t value[kProfileIntTextChars];
    // An empty value reads like a missing one: the default.
    if (ProfileGetString(section, key, L"", value, kProfileIntTextChars, file) == 0) return def;
    return ParseProfileInteger(value);
}

bool ProfileWriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                        const wchar_t* file) {
    // Every write goes to disk at once, so a flush has nothing left to do; like
    // kernel32 it still answers false.
    if (!section && !key && !value) return false;
    if (!section) return false;
    ProfileText text;
    if (!LoadProfile(file, &text)) return false;
    bool ok;
    if (!key) ok = DeleteSection(file, text, section);
    else if (!value) ok = DeleteKey(file, text, section, key);
    else ok = SetKey(file, text, section, key, value);
    FreeProfile(&text);
    return ok;
}

unsigned ProfileGetSection(const wchar_t* section, wchar_t* buf, unsigned size,
                           const wchar_t* file) {
    if (!buf || size == 0) return 0;
    ProfileText text;
    if (!LoadProfile(file, &text)) {
        buf[0] = 0;
        if (size > 1) buf[1] = 0;
        return 0;
    }
    unsigned result = CopySectionLines(text, TrimmedName(section), buf, size);
    FreeProfile(&text);
    return result;
}

bool ProfileWriteSection(const wchar_t* section, const wchar_t* entries, const wchar_t* file) {
    if (!section || !entries) return false;
    ProfileText text;
    if (!LoadProfile(file, &text)) return false;
    bool ok = ReplaceSectionKeys(file, text, section, entries);
    FreeProfile(&text);
    return ok;
}

unsigned ProfileGetSectionNames(wchar_t* buf, unsigned size, const wchar_t* file) {
    if (!buf || size == 0) return 0;
    ProfileText text;
    if (!LoadProfile(file, &text)) {
        buf[0] = 0;
        return 0;
    }
    unsigned result = CopySectionNames(text, buf, size);
    FreeProfile(&text);
    return result;
}

bool ProfileFileExists(const wchar_t* path) {
    char narrow[kPathBytes];
    struct stat info;
    return PathToUtf8(path, narrow, sizeof narrow) && stat(narrow, &info) == 0;
}

void CreateUtf16File(const wchar_t* path) {
    if (ProfileFileExists(path)) return;
    char narrow[kPathBytes];
    if (!PathToUtf8(path, narrow, sizeof narrow)) return;
    // O_EXCL: a file that appeared meanwhile is left alone, like CREATE_NEW.
    int fd = open(narrow, O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) return;
    ssize_t written = write(fd, kBomUtf16Le, sizeof kBomUtf16Le);
    (void)written;
    close(fd);
}

// POSIX files have no sharing modes: nothing ever holds them the way a
// scanner holds a file on Windows, so the patience is never needed here.
bool ProfileCopyForChange(const wchar_t* file, const wchar_t* copy, unsigned,
                          unsigned* waitedMs) {
    if (waitedMs) *waitedMs = 0;
    char from[kPathBytes], to[kPathBytes];
    if (!PathToUtf8(file, from, sizeof from) || !PathToUtf8(copy, to, sizeof to)) return false;
    FILE* source = fopen(from, "rb");
    if (!source && errno != ENOENT) return false;
    FILE* target = fopen(to, "wb");
    if (!target) {
        if (source) fclose(source);
        return false;
    }
    bool ok = true;
    size_t copied = 0;
    if (source) {
        unsigned char chunk[kCopyChunkBytes];
        size_t got;
        while (ok && (got = fread(chunk, 1, sizeof chunk, source)) > 0) {
            ok = fwrite(chunk, 1, got, target) == got;
            copied += got;
        }
        if (ferror(source)) ok = false;
        fclose(source);
    }
    // An empty file would be written as ANSI; the marker keeps it UTF-16.
    if (ok && copied == 0)
        ok = fwrite(kBomUtf16Le, 1, sizeof kBomUtf16Le, target) == sizeof kBomUtf16Le;
    if (fclose(target) != 0) ok = false;
    if (!ok) unlink(to);
    return ok;
}

bool ProfileReplaceFile(const wchar_t* copy, const wchar_t* file, unsigned) {
    char from[kPathBytes], to[kPathBytes];
    if (!PathToUtf8(copy, from, sizeof from) || !PathToUtf8(file, to, sizeof to)) return false;
    int fd = open(from, O_WRONLY);
    if (fd < 0) return false;
    bool synced = fsync(fd) == 0;
    close(fd);
    if (!synced) return false;
    // Windows refuses to replace a read-only file (the program asks first, as
    // Wine would replace it), which rename() would not notice, least of all for root.
    struct stat info;
    if (stat(to, &info) == 0 && !(info.st_mode & S_IWUSR)) return false;
    return rename(from, to) == 0;
}

bool ProfileRemoveFile(const wchar_t* path) {
    char narrow[kPathBytes];
    if (!PathToUtf8(path, narrow, sizeof narrow)) return false;
    return unlink(narrow) == 0 || errno == ENOENT;
}

// Nothing holds a POSIX file: only the write bits (what SetReadOnly and
// Wine's read-only attribute change) and the caller's access decide.
ProfileReplaceable ProfileCheckReplaceable(const wchar_t* file, unsigned, unsigned* waitedMs) {
    if (waitedMs) *waitedMs = 0;
    char narrow[kPathBytes];
    struct stat info;
    if (!PathToUtf8(file, narrow, sizeof narrow) || stat(narrow, &info) != 0)
        return kProfileReplaceable;
    if (!(info.st_mode & S_IWUSR)) return kProfileReadOnly;
    return access(narrow, W_OK) != 0 && errno == EACCES ? kProfileAccessDenied
                                                        : kProfileReplaceable;
}

ProfileReadable ProfileCheckReadable(const wchar_t* path, unsigned, ProfileHold* hold,
                                     unsigned* waitedMs) {
    char narrow[kPathBytes];
    if (hold) hold->held = false;
    if (waitedMs) *waitedMs = 0;
    if (!ProfileFileExists(path)) return kProfileMissing;
    if (!PathToUtf8(path, narrow, sizeof narrow)) return kProfileUnreadable;
    int fd = open(narrow, O_RDONLY);
    if (fd < 0) return kProfileUnreadable;
    // Nothing can take a POSIX file exclusively; the descriptor is kept only
    // so that both sides release a hold alike.
    if (hold) {
        hold->held = true;
        hold->handle = fd;
    } else {
        close(fd);
    }
    return kProfileReadable;
}

void ProfileRelease(ProfileHold* hold) {
    if (!hold->held) return;
    close((int)hold->handle);
    hold->held = false;
}

const wchar_t kProfilePathSeparator = L'/';

bool ProfileCreateFolder(const wchar_t* path) {
    char narrow[kPathBytes];
    if (!PathToUtf8(path, narrow, sizeof narrow)) return false;
    if (mkdir(narrow, 0755) == 0) return true;
    struct stat info;
    return stat(narrow, &info) == 0 && S_ISDIR(info.st_mode);
}

ProfileFileRead ProfileReadFile(const wchar_t* path, size_t maxBytes, unsigned char** bytes,
                                size_t* size) {
    *bytes = nullptr;
    *size = 0;
    char narrow[kPathBytes];
    if (!PathToUtf8(path, narrow, sizeof narrow)) return kProfileFileUnread;
    int fd = open(narrow, O_RDONLY);
    if (fd < 0) return kProfileFileUnread;
    struct stat info;
    ProfileFileRead result = kProfileFileUnread;
    unsigned char* data = nullptr;
    size_t length = 0;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        result = kProfileFileUnread;
    } else if ((unsigned long long)info.st_size > maxBytes) {
        result = kProfileFileTooBig;
    } else if ((data = (unsigned char*)malloc(info.st_size ? (size_t)info.st_size : 1))) {
        length = (size_t)info.st_size;
        size_t got = 0;
        ssize_t n = 1;
        while (got < length && (n = read(fd, data + got, length - got)) > 0) got += (size_t)n;
        if (got == length) result = kProfileFileRead;
    }
    close(fd);
    if (result != kProfileFileRead) {
        free(data);
        return result;
    }
    *bytes = data;
    *size = length;
    return result;
}

bool ProfileWriteNewFile(const wchar_t* path, const unsigned char* bytes, size_t size) {
    char narrow[kPathBytes];
    if (!PathToUtf8(path, narrow, sizeof narrow)) return false;
    // O_EXCL: an existing file is refused, like CREATE_NEW.
    int fd = open(narrow, O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    ssize_t n = 1;
    while (done < size && (n = write(fd, bytes + done, size - done)) > 0) done += (size_t)n;
    bool ok = done == size && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok) unlink(narrow);
    return ok;
}

bool ProfileFileOlderThan(const wchar_t* path, unsigned seconds) {
    char narrow[kPathBytes];
    struct stat info;
    if (!PathToUtf8(path, narrow, sizeof narrow) || stat(narrow, &info) != 0) return false;
    const time_t now = time(nullptr);
    return now > info.st_mtime && (unsigned long long)(now - info.st_mtime) > seconds;
}

bool ProfileRenameToNew(const wchar_t* path, const wchar_t* newPath) {
    char from[kPathBytes], to[kPathBytes];
    if (!PathToUtf8(path, from, sizeof from) || !PathToUtf8(newPath, to, sizeof to)) return false;
    // rename() would replace a file of the new name; a second link cannot.
    if (link(from, to) != 0) return false;
    unlink(from);
    return true;
}
