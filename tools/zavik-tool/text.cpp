// UTF-8 and UTF-16LE to wide text and back, and whole-file reading, for the tool.
#include "tool.h"

namespace {

const wchar_t kReplacement = 0xFFFD;

void AppendCodePoint(std::wstring* out, uint32_t cp) {
    if (sizeof(wchar_t) == 2 && cp >= 0x10000) {
        cp -= 0x10000;
        out->push_back((wchar_t)(0xD800 + (cp >> 10)));
        out->push_back((wchar_t)(0xDC00 + (cp & 0x3FF)));
    } else {
        out->push_back((wchar_t)cp);
    }
}

std::wstring DecodeUtf16Le(const unsigned char* p, size_t n) {
    std::wstring out;
    for (size_t i = 0; i + 1 < n; i += 2) {
        uint32_t unit = (uint32_t)p[i] | ((uint32_t)p[i + 1] << 8);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < n) {
            uint32_t low = (uint32_t)p[i + 2] | ((uint32_t)p[i + 3] << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                AppendCodePoint(&out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendCodePoint(&out, unit);
    }
    return out;
}

std::wstring DecodeUtf8(const unsigned char* p, size_t n) {
    std::wstring out;
    size_t i = 0;
    while (i < n) {
        unsigned char b = p[i];
        size_t extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2
                                 : (b & 0xF8) == 0xF0 ? 3 : 4;
        if (extra == 0) {
            out.push_back((wchar_t)b);
            ++i;
            continue;
        }
        // A stray or truncated sequence costs one replacement character per byte.
        uint32_t cp = b & (0x3F >> extra);
        bool ok = extra < 4 && i + extra < n;
        for (size_t k = 1; ok && k <= extra; ++k) {
            ok = (p[i + k] & 0xC0) == 0x80;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        AppendCodePoint(&out, cp);
        i += extra + 1;
    }
    return out;
}

}  // namespace

std::wstring DecodeText(const std::vector<unsigned char>& bytes) {
    const unsigned char* p = bytes.data();
    size_t n = bytes.size();
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) return DecodeUtf16Le(p + 2, n - 2);
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) return DecodeUtf8(p + 3, n - 3);
    return DecodeUtf8(p, n);
}

std::wstring WideFromUtf8(const char* text) {
    const unsigned char* p = (const unsigned char*)text;
    size_t n = 0;
    while (p[n]) ++n;
    return DecodeUtf8(p, n);
}

std::string Utf8FromWide(const wchar_t* text) {
    std::string out;
    for (; *text; ++text) {
        uint32_t cp = (uint32_t)*text;
        if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp < 0xDC00 && text[1] >= 0xDC00 &&
            text[1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + ((uint32_t)text[1] - 0xDC00);
            ++text;
        }
        if (cp < 0x80) {
            out += (char)cp;
        } else if (cp < 0x800) {
            out += (char)(0xC0 | (cp >> 6));
            out += (char)(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += (char)(0xE0 | (cp >> 12));
            out += (char)(0x80 | ((cp >> 6) & 0x3F));
            out += (char)(0x80 | (cp & 0x3F));
        } else {
            out += (char)(0xF0 | (cp >> 18));
            out += (char)(0x80 | ((cp >> 12) & 0x3F));
            out += (char)(0x80 | ((cp >> 6) & 0x3F));
            out += (char)(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

bool ReadAllBytes(FILE* stream, std::vector<unsigned char>* bytes) {
    unsigned char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, stream)) > 0) {
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
    return !ferror(stream);
}

bool ReadFileBytes(const char* path, std::vector<unsigned char>* bytes) {
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    bool ok = ReadAllBytes(f, bytes);
    fclose(f);
    return ok;
}
