// Helpers shared by the tests that run both natively and under Windows: a
// fresh folder per test, raw file bytes, UTF-16LE text as bytes, and
// assertions that show bytes readably and point at the caller's line.
#pragma once

#include <gtest/gtest.h>

#include <stdio.h>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace conformance {

// An empty folder for one test, removed with its files when the test ends.
class TempDir {
public:
    TempDir() {
#ifdef _WIN32
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        for (unsigned n = GetTickCount() ^ GetCurrentProcessId();; ++n) {
            wchar_t name[MAX_PATH];
            swprintf(name, MAX_PATH, L"%lszavik-ct-%08x", base, n);
            if (CreateDirectoryW(name, nullptr)) {
                dir_ = name;
                break;
            }
            if (GetLastError() != ERROR_ALREADY_EXISTS) break;
        }
#else
        char pattern[] = "/tmp/zavik-ct-XXXXXX";
        if (mkdtemp(pattern)) {
            for (const char* p = pattern; *p; ++p) dir_ += (wchar_t)(unsigned char)*p;
        }
#endif
    }
    ~TempDir() {
        if (!dir_.empty()) RemoveTree(dir_);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool ok() const { return !dir_.empty(); }
    // The full path of a file in the folder (ASCII names only).
    std::wstring Path(const wchar_t* name) const {
#ifdef _WIN32
        return dir_ + L"\\" + name;
#else
        return dir_ + L"/" + name;
#endif
    }

    // Removes a folder with its files and the folders a test made inside it.
    static void RemoveTree(const std::wstring& dir) {
#ifdef _WIN32
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring path = dir + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(path);
                    continue;
                }
                // A file a test left read-only would keep the folder.
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            } while (FindNextFileW(h, &found));
            FindClose(h);
        }
        RemoveDirectoryW(dir.c_str());
#else
        std::string narrow = Narrow(dir);
        if (DIR* d = opendir(narrow.c_str())) {
            while (dirent* e = readdir(d)) {
                std::string name = e->d_name;
                if (name == "." || name == "..") continue;
                std::string path = narrow + "/" + name;
                struct stat info;
                if (lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
                    RemoveTree(dir + L"/" + std::wstring(name.begin(), name.end()));
                } else {
                    unlink(path.c_str());
                }
            }
            closedir(d);
        }
        rmdir(narrow.c_str());
#endif
    }

    static std::string Narrow(const std::wstring& ascii) {
        std::string out;
        for (wchar_t c : ascii) out += (char)c;
        return out;
    }

private:
    std::wstring dir_;
};

inline FILE* OpenRaw(const std::wstring& path, bool write) {
#ifdef _WIN32
    return _wfopen(path.c_str(), write ? L"wb" : L"rb");
#else
    return fopen(TempDir::Narrow(path).c_str(), write ? "wb" : "rb");
#endif
}

// The file's bytes; empty when it cannot be read.
inline std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    if (FILE* f = OpenRaw(path, false)) {
        char chunk[4096];
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
        fclose(f);
    }
    return bytes;
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    if (FILE* f = OpenRaw(path, true)) {
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
}

inline bool FileExists(const std::wstring& path) {
    FILE* f = OpenRaw(path, false);
    if (f) fclose(f);
    return f != nullptr;
}

// Sets or clears the read-only mark: the attribute on Windows, the write bits here.
inline bool SetReadOnly(const std::wstring& path, bool readOnly) {
#ifdef _WIN32
    return SetFileAttributesW(path.c_str(),
                              readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL) != 0;
#else
    return chmod(TempDir::Narrow(path).c_str(), readOnly ? 0444 : 0644) == 0;
#endif
}

const char kUtf16LeBom[] = "\xFF\xFE";
const char kUtf8Bom[] = "\xEF\xBB\xBF";

// Text as UTF-16LE bytes, with the byte-order mark in front when bom is set.
// Characters beyond U+FFFF (one wchar_t on Linux) become surrogate pairs.
inline std::string Utf16Le(const std::wstring& text, bool bom = true) {
    std::string out = bom ? std::string(kUtf16LeBom, 2) : std::string();
    auto unit = [&out](unsigned u) {
        out += (char)(u & 0xFF);
        out += (char)(u >> 8);
    };
    for (wchar_t c : text) {
        unsigned long cp = (unsigned long)c;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(0xD800 + (unsigned)(cp >> 10));
            unit(0xDC00 + (unsigned)(cp & 0x3FF));
        } else {
            unit((unsigned)cp);
        }
    }
    return out;
}

// Code points as a wide text: surrogate pairs where wchar_t has 16 bits.
inline std::wstring Wide(const std::u32string& text) {
    std::wstring out;
    for (char32_t c : text) {
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            out += (wchar_t)(0xD800 + ((c - 0x10000) >> 10));
            out += (wchar_t)(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += (wchar_t)c;
        }
    }
    return out;
}

// Bytes as "FF FE 5B 00 ..." with printable ASCII shown beside, for messages.
inline std::string Describe(const std::string& bytes) {
    std::string hex, text;
    char cell[4];
    for (unsigned char b : bytes) {
        snprintf(cell, sizeof cell, "%02X ", b);
        hex += cell;
        if (b == '\r') text += "\\r";
        else if (b == '\n') text += "\\n";
        else if (b >= 0x20 && b < 0x7F) text += (char)b;
    }
    return hex + "| " + text;
}

inline ::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\n  actual:   " << Describe(actual)
                                         << "\n  expected: " << Describe(expected);
}

// A wide text with its NULs and non-ASCII characters made visible.
inline std::string Show(const std::wstring& text) {
    std::string out;
    char cell[12];
    for (wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += (char)c;
        } else {
            snprintf(cell, sizeof cell, "<%X>", (unsigned)c);
            out += cell;
        }
    }
    return out;
}

inline ::testing::AssertionResult SameText(const std::wstring& actual, const std::wstring& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\n  actual:   \"" << Show(actual)
                                         << "\"\n  expected: \"" << Show(expected) << "\"";
}

}  // namespace conformance
