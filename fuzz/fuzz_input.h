// Turning a fuzzer's bytes into the inputs of the core: wide text and files.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

// Lenient UTF-8: well-formed sequences become their code point (so seeds can
// be plain text and still reach the typographic quotes); any other byte is
// taken as a code point of its own. NULs end the text as they would in a box.
inline std::wstring FuzzWideText(const uint8_t* data, size_t size) {
    std::wstring text;
    size_t i = 0;
    while (i < size) {
        uint8_t b = data[i];
        size_t extra = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : 0;
        uint32_t cp = b;
        if (extra && i + extra < size) {
            cp = b & (0x3F >> extra);
            for (size_t k = 1; k <= extra; ++k) {
                if ((data[i + k] & 0xC0) != 0x80) {
                    extra = 0;
                    cp = b;
                    break;
                }
                cp = (cp << 6) | (data[i + k] & 0x3F);
            }
        } else {
            extra = 0;
        }
        if (cp == 0) break;
        text.push_back((wchar_t)cp);
        i += extra + 1;
    }
    return text;
}

inline char* FuzzPathBuffer() {
    static char path[256];
    return path;
}

inline void RemoveFuzzFile() { remove(FuzzPathBuffer()); }

// A file of this process for the bytes under test, named once per run and
// removed when the run ends.
inline const char* FuzzFilePath(const char* stem) {
    char* path = FuzzPathBuffer();
    if (!path[0]) {
        snprintf(path, 256, "/tmp/%s-%d.ini", stem, (int)getpid());
        atexit(RemoveFuzzFile);
    }
    return path;
}

inline std::wstring FuzzWidePath(const char* narrow) {
    std::wstring wide;
    for (; *narrow; ++narrow) wide.push_back((wchar_t)(unsigned char)*narrow);
    return wide;
}

inline bool FuzzWriteFile(const char* path, const uint8_t* data, size_t size) {
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    bool ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}
